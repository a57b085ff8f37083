#include "host/linux/FileKeychain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace mirlet
