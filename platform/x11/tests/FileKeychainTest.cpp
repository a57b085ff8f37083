#include "platform/x11/FileKeychain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/host/testing/KeychainContract.h"
#include "platform/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

// What the keychain below is built over, made before it.
struct KeychainFolder {
  testing::TemporaryFolder folder;
  PosixFileSystem files;
};

// A key file keychain in a folder of its own, gone with it.
class TemporaryFileKeychain : private KeychainFolder, public FileKeychain {
 public:
  TemporaryFileKeychain() : FileKeychain(files, folder / "keys") {}
};

using contract::KeychainContract;
INSTANTIATE_TEST_SUITE_P(File, KeychainContract, ::testing::Values([] {
                           return std::unique_ptr<Keychain>(
                               std::make_unique<TemporaryFileKeychain>());
                         }));

TEST(FileKeychainTest, SecretsAreTheUsersAloneAndStayInTheirFolder) {
  testing::TemporaryFolder folder;
  PosixFileSystem files;
  FileKeychain keychain(files, folder / "keys");
  ASSERT_EQ(keychain.add("app.mirlet", "../../escape", Bytes{1, 2, 3}), Keychain::success);
  const auto names = files.list(folder / "keys");
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names.front().find('/'), std::string::npos);
  struct stat info {};
  ASSERT_EQ(::stat((folder / "keys" / names.front()).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat((folder / "keys").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

}  // namespace
}  // namespace mirlet
