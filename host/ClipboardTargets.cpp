#include "host/ClipboardTargets.h"

#include <algorithm>
#include <array>

#include "core/UnicodeText.h"

namespace mirlet::ClipboardTargets {
namespace {

struct Mapping {
  std::string_view target;
  std::string_view uniformType;
  Conversion conversion;
};

// Per uniform type, its targets from the best to read to the least; writing offers
// all but the lossy ones.
constexpr std::array<Mapping, 20> kMappings{{
    {"text/plain;charset=utf-8", "public.utf8-plain-text", Conversion::none},
    {"UTF8_STRING", "public.utf8-plain-text", Conversion::none},
    {"text/plain", "public.utf8-plain-text", Conversion::none},
    {"STRING", "public.utf8-plain-text", Conversion::latin1},
    {"TEXT", "public.utf8-plain-text", Conversion::latin1},
    {"text/html", "public.html", Conversion::none},
    {"text/rtf", "public.rtf", Conversion::none},
    {"application/rtf", "public.rtf", Conversion::none},
    {"image/png", "public.png", Conversion::none},
    {"image/jpeg", "public.jpeg", Conversion::none},
    {"image/tiff", "public.tiff", Conversion::none},
    {"image/bmp", "com.microsoft.bmp", Conversion::none},
    {"image/x-bmp", "com.microsoft.bmp", Conversion::none},
    {"image/gif", "com.compuserve.gif", Conversion::none},
    {"image/webp", "org.webmproject.webp", Conversion::none},
    {"image/svg+xml", "public.svg-image", Conversion::none},
    {"text/uri-list", "public.file-url", Conversion::none},
    {"application/x-color", "com.apple.cocoa.pasteboard.color", Conversion::none},
    {"x-kde-passwordManagerHint", "org.nspasteboard.ConcealedType", Conversion::none},
    {"text/calendar", "public.calendar-event", Conversion::none},
}};

// The selection protocol's own targets, never content.
constexpr std::array<std::string_view, 7> kBookkeeping{
    "TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE", "INCR", "COMPOUND_TEXT"};

const Mapping* mapping(std::string_view target) {
  const auto found = std::ranges::find(kMappings, target, &Mapping::target);
  return found == kMappings.end() ? nullptr : &*found;
}

std::size_t rank(const Mapping* m) { return static_cast<std::size_t>(m - kMappings.data()); }

}  // namespace

std::vector<Source> sources(const std::vector<std::string>& targets) {
  std::vector<Source> result;
  std::vector<std::size_t> ranks;  // of each result's target, to keep the best
  for (const std::string& target : targets) {
    // An atom without a name is no type anyone can ask for again.
    if (target.empty() || std::ranges::find(kBookkeeping, target) != kBookkeeping.end()) continue;
    const Mapping* known = mapping(target);
    Source source = known ? Source{std::string(known->uniformType), target, known->conversion}
                          : Source{target, target, Conversion::none};
    const std::size_t sourceRank = known ? rank(known) : kMappings.size();
    const auto same = std::ranges::find(result, source.uniformType, &Source::uniformType);
    if (same == result.end()) {
      result.push_back(std::move(source));
      ranks.push_back(sourceRank);
    } else if (const auto at = static_cast<std::size_t>(same - result.begin());
               sourceRank < ranks[at]) {
      *same = std::move(source);
      ranks[at] = sourceRank;
    }
  }
  return result;
}

Bytes converted(Conversion conversion, const Bytes& data) {
  if (conversion == Conversion::none) return data;
  const std::string utf8 = UnicodeText::latin1ToUtf8(
      std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
  return Bytes(utf8.begin(), utf8.end());
}

std::vector<std::string> targets(std::string_view uniformType) {
  std::vector<std::string> result;
  for (const Mapping& m : kMappings) {
    if (m.uniformType == uniformType && m.conversion == Conversion::none) {
      result.emplace_back(m.target);
    }
  }
  if (result.empty()) result.emplace_back(uniformType);
  return result;
}

}  // namespace mirlet::ClipboardTargets
