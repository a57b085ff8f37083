#include "host/XdgFolders.h"

#include <cstdlib>

namespace mirlet::XdgFolders {
namespace {

// Relative paths in these variables are invalid and must be ignored.
std::filesystem::path folder(const char* variable, const char* fallbackUnderHome) {
  if (const char* value = std::getenv(variable); value && *value == '/') return value;
  const char* home = std::getenv("HOME");
  const std::filesystem::path base =
      home && *home ? std::filesystem::path(home) : std::filesystem::temp_directory_path();
  return base / fallbackUnderHome;
}

}  // namespace

std::filesystem::path configHome() { return folder("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path dataHome() { return folder("XDG_DATA_HOME", ".local/share"); }

}  // namespace mirlet::XdgFolders
