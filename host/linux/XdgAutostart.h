#pragma once

#include <filesystem>
#include <optional>

#include "host/FileSystem.h"
#include "host/LoginState.h"

namespace mirlet {

// The login item as an XDG autostart entry ("app.mirlet.desktop" in the user's
// autostart folder) that starts this executable with "--login-item".
//
// States: no executable to start is `unavailable`; no entry, or an entry the user
// switched off (Hidden, or X-GNOME-Autostart-enabled=false), is `disabled`; an
// entry that starts this executable is `enabled`; an entry that starts anything
// else (a copy that moved) is `notFound`, and registering again repairs it.
class XdgAutostart {
 public:
  static constexpr const char* kLoginItemArgument = "--login-item";

  XdgAutostart(FileSystem& files, std::filesystem::path autostartFolder,
               std::optional<std::filesystem::path> executable);

  LoginState state() const;
  // Both throw LoginItemError(refused) when the entry cannot be written or removed.
  void enable();
  void disable();
  // Creates the autostart folder if it is missing; false when it cannot be made.
  bool createFolder();

  const std::filesystem::path& entryPath() const { return entryPath_; }
  const std::filesystem::path& folder() const { return folder_; }

  // "autostart" in the user's configuration folder.
  static std::filesystem::path defaultFolder();

 private:
  FileSystem& files_;
  std::filesystem::path folder_;
  std::filesystem::path entryPath_;
  std::optional<std::filesystem::path> executable_;
};

}  // namespace mirlet
