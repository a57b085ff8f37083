#include "ClipboardHistory/service/HistoryDiskStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "ClipboardHistory/model/HistoryIndexCodec.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "ClipboardHistory/testing/ItemBuilder.h"
#include "core/testing/Thrown.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "host/ThreadSerialQueue.h"
#include "host/sim/SimKeychain.h"
#include "host/testing/FaultyFileSystem.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

namespace fs = std::filesystem;
using testing::ItemBuilder;
using testing::thrown;
using Fault = testing::FaultyFileSystem::Fault;
using Code = DiskStoreErrorCode;

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::string contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

unsigned mode(const fs::path& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 0777;
}

// A disk store over a temporary folder, on virtual time, with the history it saves.
class HistoryDiskStoreTest : public ::testing::Test {
 protected:
  HistoryDiskStore::Services services() { return {files_, time_, time_, time_}; }
  std::unique_ptr<HistoryDiskStore> makeStore() {
    return std::make_unique<HistoryDiskStore>(services(), root(), PrivateItemCipher(keys_),
                                              [this] { return saved_; });
  }
  HistoryDiskStore& store() {
    if (!store_) store_ = makeStore();
    return *store_;
  }
  fs::path root() const { return folder_ / "ClipboardHistory"; }
  void writeIndex(const std::string& text) {
    fs::create_directories(root());
    std::ofstream(root() / "index.json") << text;
  }
  std::size_t entries(const fs::path& folder) const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

  testing::TemporaryFolder folder_;
  testing::FaultyFileSystem files_;
  testing::VirtualTimeScheduler time_;
  sim::SimKeychain keychain_;
  KeychainKeyProvider keys_{keychain_, "app.mirlet"};
  HistoryIndex saved_;
  std::unique_ptr<HistoryDiskStore> store_;
};

TEST_F(HistoryDiskStoreTest, AFirstStartMakesPrivateFoldersAndWritesNoIndex) {
  EXPECT_EQ(store().start(), HistoryIndex{});
  for (const fs::path& folder : {root(), root() / "items", root() / "thumbs"}) {
    EXPECT_EQ(mode(folder), 0700u) << folder;
  }
  EXPECT_FALSE(fs::exists(root() / "index.json"));
}

TEST_F(HistoryDiskStoreTest, ANewerIndexFailsTheStartAndStaysAsItWas) {
  const std::string newer = R"({"version":2,"items":[],"lists":[]})";
  writeIndex(newer);
  EXPECT_EQ(thrown<DiskStoreError>([&] { store().start(); }),
            DiskStoreError(Code::newerIndex, "2"));
  EXPECT_EQ(contents(root() / "index.json"), newer);
}

TEST_F(HistoryDiskStoreTest, AnUnreadableIndexFailsTheStart) {
  writeIndex("{}");
  files_.fail(Fault::read);
  EXPECT_EQ(thrown<DiskStoreError>([&] { store().start(); })->code(), Code::unreadableIndex);
}

TEST_F(HistoryDiskStoreTest, AnUndecodableIndexIsSetAsideAndItsPayloadsSurvive) {
  fs::create_directories(root() / "items" / Uuid::random().toString());
  writeIndex("{not json");
  EXPECT_EQ(store().start(), HistoryIndex{});
  const auto seconds = std::to_string(static_cast<long long>(time_.now().unixSeconds()));
  EXPECT_EQ(contents(root() / ("index.corrupt-" + seconds + ".json")), "{not json");
  EXPECT_EQ(entries(root() / "items"), 1u);

  writeIndex("[]");
  makeStore()->start();
  EXPECT_EQ(contents(root() / ("index.corrupt-" + seconds + "-1.json")), "[]");

  store().purge({});
  EXPECT_FALSE(store().hasSetAsideIndex());
  EXPECT_EQ(entries(root() / "items"), 0u);
}

TEST_F(HistoryDiskStoreTest, OrphansGoAtStartAndKnownItemsStay) {
  const ClipboardItem kept = ItemBuilder("guardado");
  saved_.items = {kept};
  store().start();
  store().writeItem(kept, {{{"public.utf8-plain-text", bytes("guardado")}}});
  store().writeFile(bytes("png"), store().thumbnailPath(kept.id));
  ASSERT_TRUE(store().write(saved_));
  fs::create_directories(root() / "items/not-a-uuid");
  fs::create_directories(root() / "items" / Uuid::random().toString());
  std::ofstream(root() / "thumbs" / (Uuid::random().toString() + ".png")) << "x";

  EXPECT_EQ(makeStore()->start().items, std::vector<ClipboardItem>{kept});
  EXPECT_EQ(entries(root() / "items"), 1u);
  EXPECT_EQ(entries(root() / "thumbs"), 1u);
}

TEST_F(HistoryDiskStoreTest, PayloadsAreNumberedOverAllPasteboardItems) {
  store().start();
  const ClipboardItem item =
      ItemBuilder("x").types({{"public.utf8-plain-text", "public.html"},
                              {"public.utf8-plain-text", "public.rtf", "public.png"}});
  const CapturedItems captured{
      {{"public.utf8-plain-text", bytes("uno")}, {"public.html", bytes("<b>uno</b>")}},
      {{"public.utf8-plain-text", bytes("dos")},
       {"public.rtf", bytes("{rtf}")},
       {"public.png", bytes("PNG")}}};
  store().writeItem(item, captured);
  const fs::path folder = root() / "items" / item.id.toString();
  EXPECT_EQ(contents(folder / "4.bin"), "PNG");
  EXPECT_EQ(mode(folder / "4.bin"), 0600u);
  EXPECT_EQ(store().readItem(item), captured);

  for (int k = 0; k < 4; ++k) fs::remove(folder / (std::to_string(k) + ".bin"));
  EXPECT_EQ(store().readItem(item, std::set<std::string>{"public.png"}),
            (CapturedItems{{}, {{"public.png", bytes("PNG")}}}));
  EXPECT_EQ(thrown<DiskStoreError>([&] { store().readItem(item); })->code(), Code::missingBlob);
}

TEST_F(HistoryDiskStoreTest, APrivatePayloadHoldsNoPlainBytes) {
  store().start();
  const ClipboardItem item = ItemBuilder("").asPrivate();
  const CapturedItems captured{{{"public.utf8-plain-text", bytes("contraseña-secreta-42")}}};
  store().writeItem(item, captured);
  for (const auto& entry : fs::recursive_directory_iterator(root())) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(contents(entry.path()).find("secreta"), std::string::npos) << entry.path();
  }
  EXPECT_EQ(store().readItem(item), captured);

  sim::SimKeychain otherMachine;
  KeychainKeyProvider noKey(otherMachine, "app.mirlet");
  HistoryDiskStore elsewhere(services(), root(), PrivateItemCipher(noKey), {});
  EXPECT_EQ(thrown<DiskStoreError>([&] { elsewhere.readItem(item); })->code(),
            Code::keyUnavailable);
}

TEST_F(HistoryDiskStoreTest, AFailedPayloadWriteLeavesNothing) {
  store().start();
  const ClipboardItem item = ItemBuilder("x").types({{"a", "b"}});
  files_.fail(Fault::rename);
  EXPECT_EQ(thrown<AtomicFileError>([&] {
              store().writeItem(item, {{{"a", bytes("1")}, {"b", bytes("2")}}});
            })->code(),
            AtomicFileErrorCode::renameFailed);
  files_.healAll();
  keychain_.failNextAdd = -25308;  // the key cannot be made
  const ClipboardItem secret = ItemBuilder("").asPrivate();
  EXPECT_EQ(thrown<DiskStoreError>([&] {
              store().writeItem(secret, {{{"public.utf8-plain-text", bytes("s")}}});
            })->code(),
            Code::keyUnavailable);
  EXPECT_EQ(entries(root() / "items"), 0u);
}

TEST_F(HistoryDiskStoreTest, ChangesWithinASecondAreSavedOnceASecondAfterTheFirst) {
  store().start();
  saved_.items = {ItemBuilder("uno")};
  for (int i = 0; i < 10; ++i) {
    store().markDirty();
    time_.advance(0.09);
  }
  EXPECT_FALSE(fs::exists(root() / "index.json"));
  time_.advance(0.1);
  time_.drainQueues();
  EXPECT_EQ(files_.renames(), 1);
  EXPECT_EQ(HistoryIndexCodec::decode(contents(root() / "index.json")), saved_);
  EXPECT_EQ(mode(root() / "index.json"), 0600u);
  time_.advance(5);
  time_.drainQueues();
  EXPECT_EQ(files_.renames(), 1);
}

TEST_F(HistoryDiskStoreTest, AFailedBackgroundSaveIsReportedOnTheMainLoop) {
  store().start();
  int failures = 0;
  auto watching = store().observeWriteFailure([&] { ++failures; });
  store().markDirty();
  files_.fail(Fault::writeTemporary);
  time_.advance(1);
  time_.drainQueues();
  EXPECT_EQ(failures, 1);
  EXPECT_FALSE(fs::exists(root() / "index.json"));
}

TEST_F(HistoryDiskStoreTest, FlushWritesWhatChangedAndTellsWhetherItCould) {
  store().start();
  saved_.items = {ItemBuilder("uno")};
  store().markDirty();
  EXPECT_TRUE(store().flush());
  EXPECT_EQ(HistoryIndexCodec::decode(contents(root() / "index.json")), saved_);
  EXPECT_TRUE(store().flush());  // nothing changed
  store().markDirty();
  files_.fail(Fault::rename);
  EXPECT_FALSE(store().flush());
  EXPECT_FALSE(store().write(saved_));
}

TEST_F(HistoryDiskStoreTest, OpeningAnExistingHistoryNeedsItsFolder) {
  EXPECT_EQ(HistoryDiskStore::openExisting(services(), root(), PrivateItemCipher(keys_)), nullptr);
  store().start();
  EXPECT_NE(HistoryDiskStore::openExisting(services(), root(), PrivateItemCipher(keys_)), nullptr);
}

TEST(HistoryDiskStoreThreadsTest, SavesOnARealQueueAndFlushWaitsForThem) {
  testing::TemporaryFolder folder;
  PosixFileSystem files;
  testing::VirtualTimeScheduler time;
  ThreadSerialQueueFactory queues;
  sim::SimKeychain keychain;
  KeychainKeyProvider keys(keychain, "app.mirlet");
  HistoryIndex index;
  HistoryDiskStore store({files, time, queues, time}, folder / "h", PrivateItemCipher(keys),
                         [&] { return index; });
  store.start();
  for (int i = 0; i < 20; ++i) {
    index.items.push_back(ItemBuilder("item " + std::to_string(i)));
    store.markDirty();
    time.advance(1);
  }
  ASSERT_TRUE(store.flush());
  EXPECT_EQ(HistoryIndexCodec::decode(contents(folder / "h/index.json")), index);
}

// Queues that run each job at once, where it is given: a forked child should
// start no threads (ThreadSanitizer cannot follow them there).
class InlineQueues : public SerialQueueFactory {
 public:
  std::unique_ptr<SerialQueue> makeQueue(std::string label) override {
    class Inline : public SerialQueue {
     public:
      explicit Inline(std::string label) : label_(std::move(label)) {}
      const std::string& label() const override { return label_; }
      void async(Job job) override { job(); }
      void sync(Job job) override { job(); }

     private:
      std::string label_;
    };
    return std::make_unique<Inline>(std::move(label));
  }
};

// A process that keeps saving a growing history is killed at random moments: the
// index on disk is always one that was completely written, never a mix, never
// missing once one was written.
TEST(HistoryDiskStoreCrashTest, AKilledWriterNeverLeavesAPartialIndex) {
  testing::TemporaryFolder folder;
  const fs::path root = folder / "h";
  std::mt19937 random(20261206);
  auto versionOf = [](int n) {
    HistoryIndex index;
    for (int i = 0; i < n; ++i) {
      index.items.push_back(
          ItemBuilder("elemento " + std::to_string(i) + std::string(200, 'x')).id(Uuid({1})));
    }
    return index;
  };
  int reached = 0;
  for (int run = 0; run < 200; ++run) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipeEnds[0]);
      PosixFileSystem files;
      testing::VirtualTimeScheduler time;
      InlineQueues queues;
      sim::SimKeychain keychain;
      KeychainKeyProvider keys(keychain, "app.mirlet");
      HistoryDiskStore store({files, time, queues, time}, root, PrivateItemCipher(keys), {});
      store.start();
      for (int n = reached + 1;; ++n) {
        if (!store.write(versionOf(n))) ::_exit(2);
        if (::write(pipeEnds[1], &n, sizeof n) != sizeof n) ::_exit(3);
      }
    }
    ::close(pipeEnds[1]);
    ::usleep(std::uniform_int_distribution<useconds_t>(200, 6000)(random));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    int completed = reached;
    for (int n = 0; ::read(pipeEnds[0], &n, sizeof n) == sizeof n;) completed = n;
    ::close(pipeEnds[0]);

    if (completed == 0 && !fs::exists(root / "index.json")) continue;
    ASSERT_TRUE(fs::exists(root / "index.json")) << "run " << run;
    const HistoryIndex onDisk = HistoryIndexCodec::decode(contents(root / "index.json"));
    const int n = static_cast<int>(onDisk.items.size());
    // The version reported last, or the next one if the kill came between its
    // rename and its report.
    EXPECT_TRUE(n == completed || n == completed + 1) << "run " << run << ": " << n;
    EXPECT_EQ(onDisk, versionOf(n)) << "run " << run;
    reached = n;
  }
  EXPECT_GT(reached, 0);
}

}  // namespace
}  // namespace mirlet

namespace mirlet {
namespace {

// Sets an environment variable for one test, then puts back what was there.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(HistoryDiskStoreRootTest, TheHistoryLivesInTheUsersDataFolder) {
  ScopedEnvironment home("HOME", "/home/ana");
  {
    ScopedEnvironment data("XDG_DATA_HOME", "/datos");
    EXPECT_EQ(HistoryDiskStore::defaultRoot("app.mirlet"),
              std::filesystem::path("/datos/app.mirlet/ClipboardHistory"));
  }
  ScopedEnvironment relative("XDG_DATA_HOME", "datos");  // not absolute: ignored
  EXPECT_EQ(HistoryDiskStore::defaultRoot("app.mirlet"),
            std::filesystem::path("/home/ana/.local/share/app.mirlet/ClipboardHistory"));
}

}  // namespace
}  // namespace mirlet
