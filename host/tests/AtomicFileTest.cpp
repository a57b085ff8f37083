#include "host/AtomicFile.h"

#include <gtest/gtest.h>

#include "core/testing/Thrown.h"
#include "host/testing/FaultyFileSystem.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

namespace fs = std::filesystem;
using testing::thrown;
using Fault = testing::FaultyFileSystem::Fault;
using Code = AtomicFileErrorCode;

class AtomicFileTest : public ::testing::Test {
 protected:
  long entries() const {
    return std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator());
  }
  std::optional<AtomicFileError> writeError(const fs::path& path, std::string_view contents) {
    return thrown<AtomicFileError>([&] { AtomicFile::write(files_, path, contents); });
  }

  testing::TemporaryFolder folder_;
  testing::FaultyFileSystem files_;
};

TEST_F(AtomicFileTest, ReplacesWholeAndLeavesNoTemporaryFiles) {
  AtomicFile::write(files_, folder_ / "f", "old contents that are longer");
  AtomicFile::write(files_, folder_ / "f", "new");
  EXPECT_EQ(files_.read(folder_ / "f"), "new");
  EXPECT_EQ(entries(), 1);
}

TEST_F(AtomicFileTest, ReadAnswersOnlyForRegularFiles) {
  AtomicFile::write(files_, folder_ / "empty", "");
  EXPECT_EQ(files_.read(folder_ / "empty"), "");
  EXPECT_EQ(files_.read(folder_ / "missing"), std::nullopt);
  fs::create_directory(folder_ / "folder");
  EXPECT_EQ(files_.read(folder_ / "folder"), std::nullopt);
  EXPECT_EQ(files_.kind(folder_ / "folder"), FileSystem::Kind::folder);
}

TEST_F(AtomicFileTest, FileWhereAFolderShouldBeFails) {
  AtomicFile::write(files_, folder_ / "plain", "x");
  EXPECT_EQ(writeError(folder_ / "plain/child", "y"),
            AtomicFileError(Code::folderNotCreated, (folder_ / "plain").string()));
}

TEST_F(AtomicFileTest, FailuresLeaveTheOldFileAndNoTemporaryFile) {
  const fs::path file = folder_ / "f";
  AtomicFile::write(files_, file, "old");

  files_.fail(Fault::writeTemporary);
  EXPECT_EQ(writeError(file, "new"), AtomicFileError(Code::writeFailed, folder_.path().string()));
  files_.healAll();

  files_.fail(Fault::rename);
  EXPECT_EQ(writeError(file, "new"), AtomicFileError(Code::renameFailed, file.string()));
  files_.healAll();

  EXPECT_EQ(files_.read(file), "old");
  EXPECT_EQ(entries(), 1);
}

TEST_F(AtomicFileTest, RenameOntoAFolderFailsForReal) {
  fs::create_directories(folder_ / "taken/inner");
  EXPECT_EQ(writeError(folder_ / "taken", "x")->code(), Code::renameFailed);
  EXPECT_TRUE(fs::is_directory(folder_ / "taken/inner"));
  EXPECT_EQ(entries(), 1);
}

TEST_F(AtomicFileTest, NewFilesArePrivate) {
  AtomicFile::write(files_, folder_ / "a/b/f", "x");
  EXPECT_EQ(fs::status(folder_ / "a/b/f").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(folder_ / "a").permissions() & fs::perms::all, fs::perms::owner_all);
}

}  // namespace
}  // namespace mirlet
