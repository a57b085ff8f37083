#pragma once

#include <map>
#include <utility>

#include "host/BundleResources.h"

namespace mirlet::sim {

// Bundles installed on the simulated machine, with their string tables by
// localization.
class SimBundleResources : public BundleResources {
 public:
  std::optional<std::vector<StringTable>> localizedStringTables(
      const std::string& bundlePath, const std::string& tableName) const override {
    auto bundle = bundles_.find(bundlePath);
    if (bundle == bundles_.end()) return std::nullopt;
    std::vector<StringTable> tables;
    for (const auto& [key, table] : bundle->second) {
      if (key.second == tableName) tables.push_back(table);
    }
    return tables;
  }

  void install(const std::string& bundlePath, const std::string& localization,
               const std::string& tableName, StringTable table) {
    bundles_[bundlePath][{localization, tableName}] = std::move(table);
  }
  void uninstall(const std::string& bundlePath) { bundles_.erase(bundlePath); }

 private:
  std::map<std::string, std::map<std::pair<std::string, std::string>, StringTable>> bundles_;
};

}  // namespace mirlet::sim
