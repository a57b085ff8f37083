#include "host/linux/FileKeychain.h"

#include "host/AtomicFile.h"
#include "host/XdgFolders.h"

namespace mirlet {
namespace {

// Service and account as one file name that cannot leave the folder.
std::string fileName(const std::string& service, const std::string& account) {
  std::string name;
  for (const char c : service + "." + account) {
    const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-';
    name += plain ? std::string(1, c) : "_";
  }
  return name;
}

}  // namespace

FileKeychain::FileKeychain(FileSystem& files, std::filesystem::path folder)
    : files_(files), folder_(std::move(folder)) {}

std::filesystem::path FileKeychain::defaultFolder() {
  return XdgFolders::configHome() / "mirlet" / "keys";
}

std::filesystem::path FileKeychain::path(const std::string& service,
                                         const std::string& account) const {
  return folder_ / fileName(service, account);
}

Keychain::ReadResult FileKeychain::read(const std::string& service,
                                        const std::string& account) const {
  const auto file = path(service, account);
  if (files_.kind(file) == FileSystem::Kind::missing) return {itemNotFound, {}};
  const auto contents = files_.read(file);
  if (!contents) return {kCannotRead, {}};
  return {success, Bytes(contents->begin(), contents->end())};
}

int FileKeychain::add(const std::string& service, const std::string& account, const Bytes& data) {
  const auto file = path(service, account);
  // Whatever is there, readable or not, may be the only copy of a key.
  if (files_.kind(file) != FileSystem::Kind::missing) return duplicateItem;
  try {
    AtomicFile::write(files_, file,
                      std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
  } catch (const AtomicFileError&) {
    return kCannotWrite;
  }
  return success;
}

}  // namespace mirlet
