#include "host/AtomicFile.h"

namespace mirlet::AtomicFile {

void write(FileSystem& files, const std::filesystem::path& path, std::string_view contents) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  files.createFolder(folder);
  const std::filesystem::path temporary = files.writeTemporary(folder, contents);
  if (!files.rename(temporary, path)) {
    files.remove(temporary);
    throw AtomicFileError(AtomicFileErrorCode::renameFailed, path.string());
  }
}

}  // namespace mirlet::AtomicFile
