#include "host/linux/FileKeychain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "host/testing/FaultyFileSystem.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

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

// A key file that is there but cannot be read (a disk error, a permission a
// restore got wrong) may hold the only copy of a key: it is a failed read, and
// nothing is ever written over it.
TEST(FileKeychainTest, AKeyFileThatCannotBeReadIsAFailureAndIsNeverReplaced) {
  testing::TemporaryFolder folder;
  testing::FaultyFileSystem files;
  FileKeychain keychain(files, folder / "keys");
  ASSERT_EQ(keychain.add("app.mirlet", "clave", Bytes{1, 2, 3}), Keychain::success);
  files.fail(testing::FaultyFileSystem::Fault::read);
  EXPECT_EQ(keychain.read("app.mirlet", "clave").status, FileKeychain::kCannotRead);
  EXPECT_EQ(keychain.read("app.mirlet", "otra").status, Keychain::itemNotFound);
  EXPECT_EQ(keychain.add("app.mirlet", "clave", Bytes{9}), Keychain::duplicateItem);
  files.healAll();
  EXPECT_EQ(keychain.read("app.mirlet", "clave").data, (Bytes{1, 2, 3}));
}

}  // namespace
}  // namespace mirlet
