#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mirlet {

using StringTable = std::map<std::string, std::string>;

// Resources of installed application bundles: their localized string tables.
class BundleResources {
 public:
  virtual ~BundleResources() = default;
  // One table per localization of the bundle that has the named table (the
  // others are skipped); nothing when the bundle cannot be opened.
  virtual std::optional<std::vector<StringTable>> localizedStringTables(
      const std::string& bundlePath, const std::string& tableName) const = 0;
};

}  // namespace mirlet
