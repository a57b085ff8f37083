#include "app/AppVersion.h"

namespace mirlet::AppVersion {
namespace {

std::string nonEmptyText(const PropertyDictionary& info, const std::string& key) {
  auto it = info.find(key);
  if (it == info.end()) return {};
  const std::string* text = it->second.as<std::string>();
  return text ? *text : std::string();
}

}  // namespace

std::string description(const PropertyDictionary& info) {
  const std::string shortVersion = nonEmptyText(info, "CFBundleShortVersionString");
  if (shortVersion.empty()) return {};
  const std::string build = nonEmptyText(info, "CFBundleVersion");
  return build.empty() ? shortVersion : shortVersion + " (" + build + ")";
}

std::string settingsDescription(const std::optional<std::string>& bundleIdentifier,
                                const PropertyDictionary& info) {
  if (bundleIdentifier != kProductBundleIdentifier) return "Versión de desarrollo local";
  const std::string version = description(info);
  return version.empty() ? "Versión no disponible" : "Versión " + version;
}

}  // namespace mirlet::AppVersion
