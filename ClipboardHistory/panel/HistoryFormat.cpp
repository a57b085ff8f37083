#include "ClipboardHistory/panel/HistoryFormat.h"

#include <unicode/reldatefmt.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>

#include "core/Overloaded.h"

namespace mirlet::HistoryFormat {
namespace {

std::string counted(std::int64_t count, std::string_view one, std::string_view many) {
  if (count == 1) return "1 " + std::string(one);
  return std::to_string(count) + " " + std::string(many);
}

// The largest unit that fits, counted in whole units.
std::pair<double, URelativeDateTimeUnit> relativeUnit(double seconds) {
  constexpr double minute = 60, hour = 3600, day = 86400;
  if (seconds < hour) return {std::floor(seconds / minute), UDAT_REL_UNIT_MINUTE};
  if (seconds < day) return {std::floor(seconds / hour), UDAT_REL_UNIT_HOUR};
  if (seconds < 7 * day) return {std::floor(seconds / day), UDAT_REL_UNIT_DAY};
  if (seconds < 30 * day) return {std::floor(seconds / (7 * day)), UDAT_REL_UNIT_WEEK};
  if (seconds < 365 * day) return {std::floor(seconds / (30 * day)), UDAT_REL_UNIT_MONTH};
  return {std::floor(seconds / (365 * day)), UDAT_REL_UNIT_YEAR};
}

}  // namespace

std::optional<std::string> info(const ClipboardItem& item) {
  if (item.isPrivate) return std::nullopt;
  namespace D = ItemDetails;
  return std::visit(Overloaded{
                        [](const D::None&) -> std::optional<std::string> { return std::nullopt; },
                        [](const D::Color&) -> std::optional<std::string> { return std::nullopt; },
                        [](const D::Lines& lines) -> std::optional<std::string> {
                          return counted(lines.count, "línea", "líneas");
                        },
                        [](const D::Pixels& size) -> std::optional<std::string> {
                          return std::to_string(size.width) + "×" + std::to_string(size.height) +
                                 " px";
                        },
                        [](const D::FileCount& files) -> std::optional<std::string> {
                          return counted(files.count, "archivo", "archivos");
                        },
                        [](const D::Table& table) -> std::optional<std::string> {
                          return std::to_string(table.rows) + "×" + std::to_string(table.columns);
                        },
                        [](const D::Events& events) -> std::optional<std::string> {
                          return counted(events.count, "evento", "eventos");
                        },
                    },
                    item.detail);
}

std::string age(Date lastUsedAt, Date now) {
  const double seconds = now - lastUsedAt;
  if (seconds < 60) return "ahora";
  UErrorCode status = U_ZERO_ERROR;
  // Formatters are costly to make and a grid shows many ages: one per thread.
  thread_local const std::unique_ptr<icu::RelativeDateTimeFormatter> formatter = [] {
    UErrorCode made = U_ZERO_ERROR;
    auto result = std::make_unique<icu::RelativeDateTimeFormatter>(
        icu::Locale("es"), nullptr, UDAT_STYLE_LONG, UDISPCTX_CAPITALIZATION_NONE, made);
    return U_FAILURE(made) ? nullptr : std::move(result);
  }();
  const auto [count, unit] = relativeUnit(seconds);
  icu::UnicodeString text;
  if (formatter) formatter->format(-count, unit, text, status);
  if (!formatter || U_FAILURE(status))
    return "hace " + std::to_string(static_cast<long>(seconds / 60)) + " min";
  std::string result;
  return text.toUTF8String(result);
}

}  // namespace mirlet::HistoryFormat
