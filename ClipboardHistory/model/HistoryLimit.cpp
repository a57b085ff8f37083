#include "ClipboardHistory/model/HistoryLimit.h"

#include <algorithm>

namespace mirlet {

std::string HistoryLimit::rawValue() const {
  return (unit == Unit::count ? "count:" : "days:") + std::to_string(value);
}

std::optional<HistoryLimit> HistoryLimit::fromRawValue(std::string_view raw) {
  auto preset = std::find_if(HistoryLimits::presets.begin(), HistoryLimits::presets.end(),
                             [&](const HistoryLimit& limit) { return limit.rawValue() == raw; });
  if (preset == HistoryLimits::presets.end()) return std::nullopt;
  return *preset;
}

}  // namespace mirlet
