#include "host/FileDefaultsStore.h"

#include <gtest/gtest.h>

#include <fstream>

#include "host/testing/FaultyFileSystem.h"
#include "host/testing/TemporaryFolder.h"

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

  testing::TemporaryFolder folder_;
  testing::FaultyFileSystem files_;
};

TEST_F(FileDefaultsStoreTest, ChangesSurviveARestart) {
  {
    FileDefaultsStore store(files_, path());
    EXPECT_EQ(store.loadOutcome(), Outcome::absent);
    store.set("mirlet.features.finder-cut.enabled", true);
    store.set("mirlet.features.clipboard-history.limit", "200");
    store.set("gone", 1);
    store.remove("gone");
  }
  FileDefaultsStore store(files_, path());
  EXPECT_EQ(store.loadOutcome(), Outcome::loaded);
  EXPECT_EQ(store.boolean("mirlet.features.finder-cut.enabled"), true);
  EXPECT_EQ(store.string("mirlet.features.clipboard-history.limit"), "200");
  EXPECT_FALSE(store.object("gone"));
}

TEST_F(FileDefaultsStoreTest, RemovingAnAbsentKeyWritesNothing) {
  FileDefaultsStore store(files_, path());
  store.remove("updateRelaunchFromBuild");
  EXPECT_FALSE(fs::exists(path()));
}

TEST_F(FileDefaultsStoreTest, DamagedFileIsSetAsideAndTheStoreStartsEmpty) {
  writeRaw("{\"mirlet.onboarding.completed\": tr");
  FileDefaultsStore store(files_, path());
  EXPECT_EQ(store.loadOutcome(), Outcome::setAside);
  EXPECT_FALSE(store.object("mirlet.onboarding.completed"));
  EXPECT_EQ(files_.read(store.setAsidePath()), "{\"mirlet.onboarding.completed\": tr");

  store.set("fresh", true);
  EXPECT_EQ(FileDefaultsStore(files_, path()).boolean("fresh"), true);
}

TEST_F(FileDefaultsStoreTest, SecondDamagedFileDoesNotReplaceTheFirst) {
  writeRaw("first");
  FileDefaultsStore first(files_, path());
  writeRaw("[\"second\"]");
  FileDefaultsStore second(files_, path());
  EXPECT_EQ(files_.read(first.setAsidePath()), "first");
  EXPECT_EQ(files_.read(second.setAsidePath()), "[\"second\"]");
}

TEST_F(FileDefaultsStoreTest, OddValuesLoseOnlyThemselves) {
  writeRaw(R"({"a": null, "mirlet.features.finder-cut.enabled": true, "n": 1.5})");
  FileDefaultsStore store(files_, path());
  EXPECT_EQ(store.loadOutcome(), Outcome::loaded);
  EXPECT_EQ(store.boolean("mirlet.features.finder-cut.enabled"), true);
  EXPECT_EQ(store.object("n"), PropertyValue(1.5));
}

TEST_F(FileDefaultsStoreTest, FolderInPlaceOfTheFileIsMovedAsideWithItsContents) {
  fs::create_directories(path() / "inner");
  FileDefaultsStore store(files_, path());
  EXPECT_EQ(store.loadOutcome(), Outcome::setAside);
  EXPECT_TRUE(fs::is_directory(store.setAsidePath() / "inner"));
  store.set("key", true);
  EXPECT_TRUE(store.lastSaveSucceeded());
}

TEST_F(FileDefaultsStoreTest, FailedSaveIsReportedAndWrittenWithTheNextChange) {
  using Fault = testing::FaultyFileSystem::Fault;
  FileDefaultsStore store(files_, path());
  store.set("kept", 1);
  for (Fault fault : {Fault::writeTemporary, Fault::rename, Fault::createFolder}) {
    files_.fail(fault);
    store.set("key", true);
    EXPECT_FALSE(store.lastSaveSucceeded());
    EXPECT_EQ(store.boolean("key"), true);
    EXPECT_FALSE(FileDefaultsStore(files_, path()).object("key")) << "old file untouched";
    files_.heal(fault);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(path().parent_path()), fs::directory_iterator()),
            1);
  store.set("other", 2);
  EXPECT_TRUE(store.lastSaveSucceeded());
  EXPECT_EQ(FileDefaultsStore(files_, path()).boolean("key"), true);
}

TEST_F(FileDefaultsStoreTest, DamagedFileThatCannotBeMovedAsideIsNeverOverwritten) {
  writeRaw("{\"mirlet.onboarding.completed\": tr");
  files_.fail(testing::FaultyFileSystem::Fault::rename);
  FileDefaultsStore store(files_, path());
  EXPECT_EQ(store.loadOutcome(), Outcome::leftInPlace);
  files_.healAll();

  store.set("mirlet.features.finder-cut.enabled", true);
  EXPECT_FALSE(store.lastSaveSucceeded());
  EXPECT_EQ(store.boolean("mirlet.features.finder-cut.enabled"), true);
  EXPECT_EQ(files_.writes(), 0);
  EXPECT_EQ(files_.read(path()), "{\"mirlet.onboarding.completed\": tr");
}

TEST_F(FileDefaultsStoreTest, UnreadableFileIsSetAside) {
  writeRaw("{}");
  files_.fail(testing::FaultyFileSystem::Fault::read);
  FileDefaultsStore store(files_, path());
  EXPECT_EQ(store.loadOutcome(), Outcome::setAside);
  EXPECT_TRUE(fs::exists(store.setAsidePath()));
}

}  // namespace
}  // namespace mirlet
