#pragma once

#include <filesystem>

namespace mirlet::XdgFolders {

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::filesystem::path configHome();
// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
std::filesystem::path dataHome();

}  // namespace mirlet::XdgFolders
