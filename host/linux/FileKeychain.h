#pragma once

#include <filesystem>

#include "host/FileSystem.h"
#include "host/Keychain.h"

namespace mirlet {

// Secrets kept as files readable by the user alone (0600, in 0700 folders), one per
// service and account, in a folder of their own: where no keyring service answers.
// A file that is there but cannot be read is a failure, never an absence, and a
// secret is only ever written where there is no file yet.
class FileKeychain : public Keychain {
 public:
  // The keychain's status for a secret that could not be written.
  static constexpr int kCannotWrite = -61;
  // The keychain's status for a secret that is there but could not be read.
  static constexpr int kCannotRead = -36;

  FileKeychain(FileSystem& files, std::filesystem::path folder);

  // The configuration folder's "keys", never beside the history.
  static std::filesystem::path defaultFolder();

  ReadResult read(const std::string& service, const std::string& account) const override;
  int add(const std::string& service, const std::string& account, const Bytes& data) override;

 private:
  std::filesystem::path path(const std::string& service, const std::string& account) const;

  FileSystem& files_;
  std::filesystem::path folder_;
};

}  // namespace mirlet
