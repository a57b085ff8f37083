#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mirlet {

enum class AtomicFileError {
  folderNotCreated,  // the folder could not be created or is not a folder
  writeFailed,       // the temporary file could not be written or synced
  renameFailed,      // the finished file could not replace the old one
};

// Files the program owns: written whole through a temporary file and a rename, so
// a reader sees the old or the new contents and never a mix. Folders are created
// with permissions 0700 and files with 0600.
namespace AtomicFile {

// Throws AtomicFileError; on failure the old file is untouched.
void write(const std::filesystem::path& path, std::string_view contents);

// The whole file, or nothing when it does not exist or cannot be read.
std::optional<std::string> read(const std::filesystem::path& path);

// Creates the folder and its missing parents (0700). Throws AtomicFileError.
void createFolder(const std::filesystem::path& folder);

}  // namespace AtomicFile
}  // namespace mirlet
