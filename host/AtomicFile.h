#pragma once

#include <filesystem>
#include <string_view>

#include "host/FileSystem.h"

namespace mirlet::AtomicFile {

// Writes the file whole through a temporary file and a rename, so a reader sees the
// old or the new contents and never a mix; the file is 0600 and missing folders
// are created 0700. Throws AtomicFileError; on failure the old file is untouched
// and no temporary file is left.
void write(FileSystem& files, const std::filesystem::path& path, std::string_view contents);

}  // namespace mirlet::AtomicFile
