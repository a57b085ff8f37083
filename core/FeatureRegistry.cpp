#include "core/FeatureRegistry.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace mirlet {
namespace {

bool isBlank(std::string_view text) {
  // White space and line breaks, ASCII and the common Unicode ones.
  constexpr std::string_view kAsciiSpace = " \t\n\v\f\r";
  constexpr std::string_view kUnicodeSpace[] = {"\u0085", "\u00A0", "\u1680", "\u2000", "\u2001",
                                                "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
                                                "\u2007", "\u2008", "\u2009", "\u200A", "\u2028",
                                                "\u2029", "\u202F", "\u205F", "\u3000"};
  while (!text.empty()) {
    if (kAsciiSpace.find(text.front()) != std::string_view::npos) {
      text.remove_prefix(1);
      continue;
    }
    auto space = std::find_if(std::begin(kUnicodeSpace), std::end(kUnicodeSpace),
                              [&](std::string_view s) { return text.starts_with(s); });
    if (space == std::end(kUnicodeSpace)) return false;
    text.remove_prefix(space->size());
  }
  return true;
}

}  // namespace

FeatureRegistry::FeatureRegistry(Features features) : features_(std::move(features)) {
  std::set<std::string> seen;
  for (const auto& feature : features_) {
    const std::string& id = feature->descriptor().id;
    if (isBlank(id)) throw FeatureRegistryError(FeatureRegistryErrorCode::invalidID);
    if (!seen.insert(id).second)
      throw FeatureRegistryError(FeatureRegistryErrorCode::duplicateID, id);
  }
}

MirletFeature* FeatureRegistry::feature(const std::string& id) const {
  auto it = std::find_if(features_.begin(), features_.end(),
                         [&](const auto& feature) { return feature->descriptor().id == id; });
  return it == features_.end() ? nullptr : it->get();
}

}  // namespace mirlet
