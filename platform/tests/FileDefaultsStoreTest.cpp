#include "platform/FileDefaultsStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/AtomicFile.h"
#include "platform/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

namespace fs = std::filesystem;
using Outcome = FileDefaultsStore::LoadOutcome;

class FileDefaultsStoreTest : public ::testing::Test {
 protected:
  fs::path path() const { return folder_ / "config/mirlet/preferences.json"; }
  void writeRaw(const std::string& text) {
    fs::create_directories(path().parent_path());
    std::ofstream(path(), std::ios::binary) << text;
  }
  static unsigned mode(const fs::path& p) {
    struct stat info {};
    ::stat(p.c_str(), &info);
    return info.st_mode & 0777;
  }

  testing::TemporaryFolder folder_;
};

TEST_F(FileDefaultsStoreTest, ChangesSurviveARestart) {
  {
    FileDefaultsStore store(path());
    EXPECT_EQ(store.loadOutcome(), Outcome::absent);
    store.set("mirlet.features.finder-cut.enabled", true);
    store.set("mirlet.features.clipboard-history.limit", "200");
    store.set("gone", 1);
    store.remove("gone");
  }
  FileDefaultsStore store(path());
  EXPECT_EQ(store.loadOutcome(), Outcome::loaded);
  EXPECT_EQ(store.boolean("mirlet.features.finder-cut.enabled"), true);
  EXPECT_EQ(store.string("mirlet.features.clipboard-history.limit"), "200");
  EXPECT_FALSE(store.object("gone"));
}

TEST_F(FileDefaultsStoreTest, RemovingAnAbsentKeyWritesNothing) {
  FileDefaultsStore store(path());
  store.remove("updateRelaunchFromBuild");
  EXPECT_FALSE(fs::exists(path()));
}

TEST_F(FileDefaultsStoreTest, FileIsPrivateInAPrivateFolder) {
  FileDefaultsStore store(path());
  store.set("key", true);
  EXPECT_EQ(mode(path()), 0600u);
  EXPECT_EQ(mode(path().parent_path()), 0700u);
  EXPECT_EQ(mode(path().parent_path().parent_path()), 0700u);
}

TEST_F(FileDefaultsStoreTest, DamagedFileIsSetAsideAndTheStoreStartsEmpty) {
  writeRaw("{\"mirlet.onboarding.completed\": tr");
  FileDefaultsStore store(path());
  EXPECT_EQ(store.loadOutcome(), Outcome::setAside);
  EXPECT_FALSE(store.object("mirlet.onboarding.completed"));
  EXPECT_EQ(AtomicFile::read(store.setAsidePath()), "{\"mirlet.onboarding.completed\": tr");

  store.set("fresh", true);
  EXPECT_EQ(FileDefaultsStore(path()).boolean("fresh"), true);
}

TEST_F(FileDefaultsStoreTest, SecondDamagedFileDoesNotReplaceTheFirst) {
  writeRaw("first");
  FileDefaultsStore first(path());
  writeRaw("[\"second\"]");
  FileDefaultsStore second(path());
  EXPECT_EQ(AtomicFile::read(first.setAsidePath()), "first");
  EXPECT_EQ(AtomicFile::read(second.setAsidePath()), "[\"second\"]");
}

TEST_F(FileDefaultsStoreTest, OddValuesLoseOnlyThemselves) {
  writeRaw(R"({"a": null, "mirlet.features.finder-cut.enabled": true, "n": 1.5})");
  FileDefaultsStore store(path());
  EXPECT_EQ(store.loadOutcome(), Outcome::loaded);
  EXPECT_EQ(store.boolean("mirlet.features.finder-cut.enabled"), true);
  EXPECT_EQ(store.object("n"), PropertyValue(1.5));
}

TEST_F(FileDefaultsStoreTest, FolderInPlaceOfTheFileIsMovedAsideWithItsContents) {
  fs::create_directories(path() / "inner");
  FileDefaultsStore store(path());
  EXPECT_EQ(store.loadOutcome(), Outcome::setAside);
  EXPECT_TRUE(fs::is_directory(store.setAsidePath() / "inner"));
  store.set("key", true);
  EXPECT_TRUE(store.lastSaveSucceeded());
}

TEST_F(FileDefaultsStoreTest, UnwritableFolderKeepsChangesInMemory) {
  if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  fs::create_directories(path().parent_path());
  fs::permissions(path().parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
  FileDefaultsStore store(path());
  store.set("key", true);
  EXPECT_FALSE(store.lastSaveSucceeded());
  EXPECT_EQ(store.boolean("key"), true);
}

TEST(AtomicFileTest, ReplacesWholeAndLeavesNoTemporaryFiles) {
  testing::TemporaryFolder folder;
  AtomicFile::write(folder / "f", "old contents that are longer");
  AtomicFile::write(folder / "f", "new");
  EXPECT_EQ(AtomicFile::read(folder / "f"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
  EXPECT_EQ(AtomicFile::read(folder / "missing"), std::nullopt);
}

TEST(AtomicFileTest, FileWhereAFolderShouldBeFails) {
  testing::TemporaryFolder folder;
  AtomicFile::write(folder / "plain", "x");
  EXPECT_THROW(AtomicFile::write(folder / "plain/child", "y"), AtomicFileError);
}

}  // namespace
}  // namespace mirlet
