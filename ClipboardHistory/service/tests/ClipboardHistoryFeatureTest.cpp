#include "ClipboardHistory/service/ClipboardHistoryFeature.h"

#include <gtest/gtest.h>

#include <fstream>

#include "ClipboardHistory/model/HistoryIndexCodec.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "core/testing/Thrown.h"
#include "host/sim/DesktopScenario.h"
#include "host/testing/FaultyFileSystem.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;
using Rep = SimPasteboard::Representation;
using Fault = mirlet::testing::FaultyFileSystem::Fault;

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::string contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Link previews answered by the test, when it says so.
class ScriptedLinks : public LinkPreviewer {
 public:
  void fetch(const std::string& url, std::function<void(std::optional<LinkPage>)> done) override {
    requests.push_back(url);
    pending.push_back(std::move(done));
  }
  void answer(std::optional<LinkPage> page) {
    auto done = std::move(pending.front());
    pending.erase(pending.begin());
    done(std::move(page));
  }
  std::vector<std::string> requests;
  std::vector<std::function<void(std::optional<LinkPage>)>> pending;
};

// The clipboard history running on the simulated desktop, over a real folder.
class ClipboardHistoryFeatureTest : public ::testing::Test {
 protected:
  ClipboardHistoryFeatureTest() { scenario_.activate(scenario_.textEdit); }

  ClipboardHistoryServices environment() {
    SimDesktop& d = scenario_.desktop;
    return {d.pasteboard,     d.workspace, d.accessibility, d.events, d.hotKeys,
            d.keyboardLayout, d.images,    d.fileURLs,      files_,   keys_,
            links_,           d.time,      d.time,          d.time,   root(),
            folder_ / "tmp",  "app.mirlet"};
  }
  ClipboardHistoryFeature& feature() {
    if (!feature_) {
      fs::create_directories(folder_ / "tmp");
      feature_ = std::make_unique<ClipboardHistoryFeature>(
          preferences_, environment(), [this](const Uuid& run) { failures_.push_back(run); });
    }
    return *feature_;
  }
  void start() { feature().start(Uuid::random()); }
  fs::path root() const { return folder_ / "ClipboardHistory"; }
  const HistoryStore& store() { return feature().store().get(); }
  // The user copies text in the editor; the monitor sees it at its next poll.
  void copyInEditor(std::string_view text) {
    scenario_.copyText(scenario_.textEdit, text);
    scenario_.rest(0.5);
  }
  std::size_t payloadFolders() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(root() / "items"), fs::directory_iterator()));
  }
  std::optional<ChooseOutcome> choose(std::vector<Uuid> ids, bool plain, bool paste,
                                      std::shared_ptr<RunningApplication> target) {
    std::optional<ChooseOutcome> outcome;
    feature().choose(ids, plain, paste, std::move(target),
                     [&](ChooseOutcome result) { outcome = result; });
    scenario_.rest(1);
    return outcome;
  }

  mirlet::testing::TemporaryFolder folder_;
  DesktopScenario scenario_;
  mirlet::testing::FaultyFileSystem files_;
  KeychainKeyProvider keys_{scenario_.desktop.keychain, "app.mirlet"};
  ScriptedLinks links_;
  MemoryDefaultsStore defaults_;
  Preferences preferences_{defaults_};
  std::vector<Uuid> failures_;
  std::unique_ptr<ClipboardHistoryFeature> feature_;
};

TEST_F(ClipboardHistoryFeatureTest, ACopyInTheEditorBecomesOneItemWithItsSourceAndWindow) {
  scenario_.desktop.pasteboard.copyText("antes de empezar");
  start();
  copyInEditor("Reunión del martes");
  ASSERT_EQ(store().items().size(), 1u);
  const ClipboardItem& item = store().items()[0];
  EXPECT_EQ(item.text, "Reunión del martes");
  EXPECT_EQ(item.kind, ItemKind::text);
  EXPECT_EQ(item.sourceBundleID, "com.apple.TextEdit");
  EXPECT_EQ(item.sourceName, "TextEdit");
  EXPECT_EQ(item.windowTitle, "Sin título");
  EXPECT_EQ(item.pasteboardTypes,
            (std::vector<std::vector<std::string>>{{"public.utf8-plain-text"}}));
}

TEST_F(ClipboardHistoryFeatureTest, CopyingTheSameAgainPromotesItAndWritesNoSecondPayload) {
  start();
  copyInEditor("uno");
  copyInEditor("dos");
  scenario_.rest(HistoryDiskStore::kSaveDelay);  // the index saved
  const int writes = files_.writes();
  copyInEditor("uno");
  ASSERT_EQ(store().items().size(), 2u);
  EXPECT_EQ(store().items()[0].text, "uno");
  EXPECT_EQ(payloadFolders(), 2u);
  EXPECT_EQ(files_.writes(), writes);  // only the new order, saved later
}

TEST_F(ClipboardHistoryFeatureTest, TheHotKeyIsLabelledAsTheDesktopWritesShortcuts) {
  start();
  EXPECT_EQ(feature().hotKeyLabel(), "⌃⌥V");
  scenario_.desktop.keyboardLayout.style = ShortcutStyle::names;
  EXPECT_EQ(feature().hotKeyLabel(), "Ctrl+Alt+V");
}

TEST_F(ClipboardHistoryFeatureTest, WhenTheCopyingApplicationQuitsOnX11TheLatestItemComesBack) {
  scenario_.desktop.pasteboard.ownedByApplications = true;
  start();
  copyInEditor("sigue aquí");
  const HistoryStore before = store();
  scenario_.desktop.workspace.terminate(scenario_.textEdit);
  scenario_.rest(1.5);
  ASSERT_EQ(scenario_.desktop.pasteboard.items().size(), 1u);
  EXPECT_EQ(scenario_.desktop.pasteboard.items()[0]->data("public.utf8-plain-text"),
            bytes("sigue aquí"));
  EXPECT_EQ(store(), before);  // put back, not copied again
}

// An owner that never delivers (a hung program, a slow office suite) reads as
// nothing, yet it still owns the user's copy: nothing of Mirlet's replaces it.
TEST_F(ClipboardHistoryFeatureTest, AnOwnerThatNeverDeliversKeepsItsClipboard) {
  scenario_.desktop.pasteboard.ownedByApplications = true;
  start();
  copyInEditor("de antes");
  const auto owner = scenario_.textEdit->processIdentifier();
  scenario_.desktop.pasteboard.copy({}, owner);
  const auto changes = scenario_.desktop.pasteboard.changeCount();
  scenario_.rest(1.5);
  EXPECT_TRUE(scenario_.desktop.pasteboard.items().empty());
  EXPECT_EQ(scenario_.desktop.pasteboard.changeCount(), changes);
  EXPECT_FALSE(scenario_.desktop.pasteboard.isOwnerless());

  // Once it quits, nobody owns the selection: then the latest item comes back.
  scenario_.desktop.workspace.terminate(scenario_.textEdit);
  scenario_.rest(1.5);
  ASSERT_EQ(scenario_.desktop.pasteboard.items().size(), 1u);
  EXPECT_EQ(scenario_.desktop.pasteboard.items()[0]->data("public.utf8-plain-text"),
            bytes("de antes"));
}

// Where contents belong to whoever copied them, that owner is the source, whatever
// is in front; an owner nobody can name is unknown, and this program is never one.
TEST_F(ClipboardHistoryFeatureTest, CopiesAreAttributedToTheirOwnerNeverToThisProgram) {
  scenario_.desktop.pasteboard.ownedByApplications = true;
  start();
  scenario_.activate(scenario_.mirlet);
  copyInEditor("del editor");
  EXPECT_EQ(store().items()[0].sourceBundleID, "com.apple.TextEdit");

  scenario_.desktop.pasteboard.copyText("de nadie conocido");
  scenario_.rest(0.5);
  ASSERT_EQ(store().items()[0].text, "de nadie conocido");
  EXPECT_EQ(store().items()[0].sourceBundleID, std::nullopt);

  scenario_.desktop.pasteboard.ownedByApplications = false;
  scenario_.desktop.pasteboard.copyText("con este programa delante");
  scenario_.rest(0.5);
  ASSERT_EQ(store().items()[0].text, "con este programa delante");
  EXPECT_EQ(store().items()[0].sourceBundleID, std::nullopt);
}

TEST_F(ClipboardHistoryFeatureTest, NothingComesBackWhenTheLatestIsPrivateOrCaptureIsPaused) {
  scenario_.desktop.pasteboard.ownedByApplications = true;
  feature().update([](auto& settings) { settings.ignorePrivate = false; });
  start();
  copyInEditor("visible");
  auto manager = scenario_.desktop.workspace.launch("com.1password.1password", "1Password");
  scenario_.activate(manager);
  scenario_.desktop.pasteboard.copy({{Rep::text("public.utf8-plain-text", "secreto"),
                                      Rep::bytes("org.nspasteboard.ConcealedType", {})}},
                                    manager->processIdentifier());
  scenario_.rest(0.5);
  ASSERT_TRUE(store().items()[0].isPrivate);
  scenario_.desktop.workspace.terminate(manager);
  scenario_.rest(1);
  EXPECT_TRUE(scenario_.desktop.pasteboard.items().empty());

  copyInEditor("otra");
  feature().setPaused(true);
  scenario_.desktop.workspace.terminate(scenario_.textEdit);
  scenario_.rest(1);
  EXPECT_TRUE(scenario_.desktop.pasteboard.items().empty());
}

TEST_F(ClipboardHistoryFeatureTest, APasswordManagersCopyIsPrivateAndNothingOnDiskHoldsIt) {
  feature().update([](auto& settings) { settings.ignorePrivate = false; });
  start();
  auto manager = scenario_.desktop.workspace.launch("com.1password.1password", "1Password");
  scenario_.activate(manager);
  scenario_.desktop.pasteboard.copy({{Rep::text("public.utf8-plain-text", "Tr0ub4dor&3-secreto"),
                                      Rep::bytes("org.nspasteboard.ConcealedType", {})}});
  scenario_.rest(0.5);
  scenario_.rest(1.5);  // the index is saved too
  ASSERT_EQ(store().items().size(), 1u);
  const ClipboardItem& item = store().items()[0];
  EXPECT_TRUE(item.isPrivate);
  EXPECT_EQ(item.text, "");
  EXPECT_EQ(item.fingerprint.size(), 64u);
  for (const auto& entry : fs::recursive_directory_iterator(root())) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(contents(entry.path()).find("secreto"), std::string::npos) << entry.path();
  }
  EXPECT_EQ(feature().revealedText(item.id), "Tr0ub4dor&3-secreto");
  EXPECT_TRUE(feature().previewFiles(item.id).empty());
}

TEST_F(ClipboardHistoryFeatureTest, ChoosingPastesIntoTheEditorWithTheMarker) {
  start();
  copyInEditor("para pegar");
  const Uuid id = store().items()[0].id;
  scenario_.activate(scenario_.safari);
  scenario_.desktop.pasteboard.copyText("otra cosa");
  scenario_.rest(0.5);
  EXPECT_EQ(choose({id}, false, true, scenario_.textEdit), ChooseOutcome::pasted);
  EXPECT_EQ(scenario_.textEditUI->text(scenario_.textArea), "para pegar");
  for (const auto& [pid, event] : scenario_.desktop.events.postedEvents()) {
    EXPECT_EQ(event.sourceUserData(), kClipboardPasteMarker);
  }
  EXPECT_EQ(store().items().size(), 2u);  // our own write is not captured
  EXPECT_EQ(store().items()[0].id, id);   // promoted on use
}

TEST_F(ClipboardHistoryFeatureTest, ChoosingWhenTheTargetWillNotComeForwardOnlyCopies) {
  start();
  copyInEditor("solo copiar");
  scenario_.activate(scenario_.safari);
  scenario_.textEdit->activation = SimApplication::Activation::refuse;
  EXPECT_EQ(choose({store().items()[0].id}, false, true, scenario_.textEdit),
            ChooseOutcome::copiedWithoutPaste);
  EXPECT_EQ(scenario_.desktop.pasteboard.items()[0]->data("public.utf8-plain-text"),
            bytes("solo copiar"));
  scenario_.desktop.trust.trusted = false;
  EXPECT_EQ(choose({store().items()[0].id}, false, true, scenario_.textEdit),
            ChooseOutcome::copiedWithoutPaste);
  EXPECT_EQ(choose({Uuid::random()}, false, false, nullptr), ChooseOutcome::failed);
}

TEST_F(ClipboardHistoryFeatureTest, SeveralTextsGoBackAsOneItemEachConcealedIfAnyIsPrivate) {
  feature().update([](auto& settings) { settings.ignorePrivate = false; });
  start();
  copyInEditor("uno");
  copyInEditor("dos");
  scenario_.desktop.pasteboard.copy({{Rep::text("public.utf8-plain-text", "tres"),
                                      Rep::bytes("org.nspasteboard.ConcealedType", {})}});
  scenario_.rest(0.5);
  std::vector<Uuid> ids;
  for (const auto& item : store().items()) ids.push_back(item.id);
  EXPECT_EQ(choose(ids, false, false, nullptr), ChooseOutcome::copied);
  const auto items = scenario_.desktop.pasteboard.items();
  ASSERT_EQ(items.size(), 3u);
  for (const auto& item : items) {
    EXPECT_EQ(item->types(),
              (std::vector<std::string>{"public.utf8-plain-text", "org.nspasteboard.source",
                                        "org.nspasteboard.ConcealedType"}));
  }
}

TEST_F(ClipboardHistoryFeatureTest, StoppingAndStartingReloadsTheSameHistory) {
  start();
  copyInEditor("primero");
  copyInEditor("segundo");
  feature().setFavorite(true, {store().items()[1].id});
  const HistoryStore before = store();
  feature().stop();
  feature_.reset();
  start();
  EXPECT_EQ(store(), before);
}

TEST_F(ClipboardHistoryFeatureTest, ADamagedIndexIsSetAsideAndTheHistoryStartsEmpty) {
  fs::create_directories(root());
  std::ofstream(root() / "index.json") << "{\"version\":1,\"items\":[{";
  start();
  EXPECT_TRUE(store().items().empty());
  EXPECT_TRUE(feature().isRunning());
  bool setAside = false;
  for (const auto& entry : fs::directory_iterator(root()))
    setAside |= entry.path().filename().string().starts_with("index.corrupt-");
  EXPECT_TRUE(setAside);
}

TEST_F(ClipboardHistoryFeatureTest, ANewerIndexFailsTheStartAndIsKept) {
  fs::create_directories(root());
  std::ofstream(root() / "index.json") << R"({"version":3,"items":[],"lists":[]})";
  EXPECT_EQ(mirlet::testing::thrown<DiskStoreError>([&] { start(); })->code(),
            DiskStoreErrorCode::newerIndex);
  EXPECT_FALSE(feature().isRunning());
  EXPECT_EQ(contents(root() / "index.json"), R"({"version":3,"items":[],"lists":[]})");
}

TEST_F(ClipboardHistoryFeatureTest, AMissingPayloadFailsTheChoiceAndLeavesThePasteboard) {
  start();
  copyInEditor("sin archivo");
  const Uuid id = store().items()[0].id;
  fs::remove_all(root() / "items" / id.toString());
  scenario_.desktop.pasteboard.copyText("lo de antes");
  scenario_.rest(0.5);
  const auto count = scenario_.desktop.pasteboard.changeCount();
  EXPECT_EQ(choose({id}, false, false, nullptr), ChooseOutcome::failed);
  EXPECT_EQ(scenario_.desktop.pasteboard.changeCount(), count);
}

TEST_F(ClipboardHistoryFeatureTest, ARootThatCannotBeMadeFailsTheStartAndLosesNothing) {
  start();
  copyInEditor("guardado");
  feature().stop();
  const std::string index = contents(root() / "index.json");
  files_.fail(Fault::createFolder);
  EXPECT_EQ(mirlet::testing::thrown<AtomicFileError>([&] { start(); })->code(),
            AtomicFileErrorCode::folderNotCreated);
  EXPECT_FALSE(feature().isRunning());
  EXPECT_EQ(contents(root() / "index.json"), index);
}

TEST_F(ClipboardHistoryFeatureTest, AFailedBackgroundSaveStopsTheRunAndReportsIt) {
  const Uuid run = Uuid::random();
  feature().start(run);
  files_.fail(Fault::writeTemporary);
  copyInEditor("no se puede guardar");  // its payload fails: nothing is recorded
  EXPECT_TRUE(store().items().empty());
  files_.healAll();
  copyInEditor("este sí");
  files_.fail(Fault::rename);
  scenario_.rest(1.5);
  EXPECT_FALSE(feature().isRunning());
  EXPECT_EQ(failures_, std::vector<Uuid>{run});
}

TEST_F(ClipboardHistoryFeatureTest, APrivateHistoryWithoutItsKeySaysPrivateItemsAreUnavailable) {
  fs::create_directories(root());
  HistoryIndex index;
  ClipboardItem secret;
  secret.id = Uuid::random();
  secret.isPrivate = true;
  secret.fingerprint = std::string(64, 'a');
  index.items.push_back(secret);
  std::ofstream(root() / "index.json") << HistoryIndexCodec::encode(index);
  start();
  EXPECT_FALSE(feature().privateItemsAvailable().get());
  EXPECT_EQ(scenario_.desktop.keychain.adds, 0);  // opening never makes a key
}

TEST_F(ClipboardHistoryFeatureTest, APrivateCopyWithoutAKeyIsDropped) {
  feature().update([](auto& settings) { settings.ignorePrivate = false; });
  scenario_.desktop.keychain.failNextAdd = -25308;  // the key made at the start
  start();
  scenario_.desktop.keychain.failNextAdd = -25308;  // and when the copy needs it
  scenario_.desktop.pasteboard.copy({{Rep::text("public.utf8-plain-text", "clave"),
                                      Rep::bytes("org.nspasteboard.ConcealedType", {})}});
  scenario_.rest(0.5);
  EXPECT_TRUE(store().items().empty());
  EXPECT_FALSE(feature().privateItemsAvailable().get());
}

TEST_F(ClipboardHistoryFeatureTest, SettingsPersistAndALowerLimitDeletesTheOldestPayloads) {
  start();
  for (int i = 0; i < 12; ++i) copyInEditor("texto " + std::to_string(i));
  feature().update([](auto& settings) { settings.playSound = true; });
  EXPECT_EQ(preferences_.string("playSound", "clipboard-history"), "true");
  EXPECT_EQ(store().items().size(), 12u);
  feature().update([](auto& settings) {
    settings.limit = HistoryLimit{HistoryLimit::Unit::count, 10};
  });
  EXPECT_EQ(store().items().size(), 10u);
  EXPECT_EQ(payloadFolders(), 10u);
  copyInEditor("con sonido");
  EXPECT_EQ(scenario_.desktop.workspace.playedSounds(), std::vector<std::string>{"Tink"});
}

TEST_F(ClipboardHistoryFeatureTest, AnOccupiedHotKeyKeepsThePreviousOne) {
  start();
  EXPECT_EQ(feature().hotKeyStatus().get(), HotKeyStatus::registered);
  EXPECT_EQ(feature().hotKeyLabel(), "⌃⌥V");
  scenario_.desktop.hotKeys.holdByAnotherApplication(
      0, HotKeyModifiers::control | HotKeyModifiers::shift);
  const HotKeyCombo taken{0, {Modifiers::control | Modifiers::shift}};
  EXPECT_EQ(feature().setHotKey(taken), HotKeyStatus::occupied);
  EXPECT_EQ(feature().settings().get().hotKey, HotKeyCombo::defaultCombo());
  EXPECT_EQ(feature().hotKeyStatus().get(), HotKeyStatus::registered);
  EXPECT_EQ(feature().setHotKey(HotKeyCombo{56, {}}),
            HotKeyStatus::invalid(HotKeyCombo::ValidationError::modifierOnly));
  int presses = 0;
  auto watching = feature().observeHotKey([&] { ++presses; });
  scenario_.desktop.hotKeys.press(9, HotKeyModifiers::control | HotKeyModifiers::option);
  scenario_.settle();
  EXPECT_EQ(presses, 1);
}

TEST_F(ClipboardHistoryFeatureTest, AHotKeySetWhileStoppedIsSavedAndRegisteredAtTheNextStart) {
  const HotKeyCombo combo{11, {Modifiers::control | Modifiers::option}};
  EXPECT_EQ(feature().setHotKey(combo), HotKeyStatus::none);
  EXPECT_TRUE(scenario_.desktop.hotKeys.registered().empty());
  EXPECT_EQ(preferences_.string("hotKey", "clipboard-history"), combo.rawValue());
  start();
  EXPECT_EQ(scenario_.desktop.hotKeys.registered().size(), 1u);
}

TEST_F(ClipboardHistoryFeatureTest, RemovedItemsKeepTheirPayloadUntilTheRemovalIsCommitted) {
  start();
  copyInEditor("borrar");
  copyInEditor("quedarse");
  const Uuid gone = store().items()[1].id;
  const Removal removal = feature().remove({gone});
  EXPECT_EQ(payloadFolders(), 2u);
  feature().restore(removal);
  feature().commitRemovals({removal});
  EXPECT_EQ(payloadFolders(), 2u);
  const Removal again = feature().remove({gone});
  feature().commitRemovals({again});
  EXPECT_EQ(payloadFolders(), 1u);
}

TEST_F(ClipboardHistoryFeatureTest, ClearingWorksRunningAndStoppedAndKeepsFavourites) {
  start();
  copyInEditor("favorito");
  copyInEditor("efímero");
  feature().setFavorite(true, {store().items()[1].id});
  EXPECT_TRUE(feature().clearHistory());
  EXPECT_EQ(store().items().size(), 1u);
  EXPECT_EQ(payloadFolders(), 1u);
  copyInEditor("otro");
  feature().stop();
  EXPECT_TRUE(feature().clearHistory());
  EXPECT_EQ(HistoryIndexCodec::decode(contents(root() / "index.json")).items.size(), 1u);
  EXPECT_EQ(payloadFolders(), 1u);
}

TEST_F(ClipboardHistoryFeatureTest, TextPreviewsLiveInATemporaryFolderOnlyWhileRunning) {
  fs::create_directories(folder_ / "tmp/mirlet-preview-viejo");
  start();
  EXPECT_FALSE(fs::exists(folder_ / "tmp/mirlet-preview-viejo"));
  copyInEditor("vista previa");
  const auto files = feature().previewFiles(store().items()[0].id);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].extension(), ".txt");
  EXPECT_EQ(contents(files[0]), "vista previa");
  feature().stop();
  EXPECT_FALSE(fs::exists(files[0].parent_path()));
}

TEST_F(ClipboardHistoryFeatureTest, ImagesGetAThumbnailAndAnImagePreview) {
  start();
  scenario_.desktop.pasteboard.copy({{Rep::bytes("public.png", SimImageCodec::png(1024, 768))}});
  scenario_.rest(0.5);
  ASSERT_EQ(store().items().size(), 1u);
  const Uuid id = store().items()[0].id;
  EXPECT_EQ(store().items()[0].kind, ItemKind::image);
  const auto thumbnail = feature().thumbnail(id);
  ASSERT_TRUE(thumbnail);
  EXPECT_EQ(scenario_.desktop.images.pixelSize(*thumbnail), (ImagePixelSize{512, 384}));
  EXPECT_EQ(feature().previewFiles(id).at(0).extension(), ".png");
}

TEST_F(ClipboardHistoryFeatureTest, ALinkCopiedTwiceQuicklyIsFetchedOnceAndGetsItsTitle) {
  feature().update([](auto& settings) { settings.fetchLinkTitles = true; });
  start();
  copyInEditor("https://example.com/articulo");
  copyInEditor("https://example.com/articulo");
  ASSERT_EQ(links_.requests, std::vector<std::string>{"https://example.com/articulo"});
  links_.answer(LinkPage{"Un artículo", SimImageCodec::png(64, 64)});
  EXPECT_EQ(store().items()[0].linkTitle, "Un artículo");
  EXPECT_TRUE(feature().thumbnail(store().items()[0].id));

  copyInEditor("http://example.com/inseguro");
  EXPECT_EQ(links_.requests.size(), 1u);  // never fetched
}

TEST_F(ClipboardHistoryFeatureTest, ALinkAnswerFromAnEarlierRunIsIgnored) {
  feature().update([](auto& settings) { settings.fetchLinkTitles = true; });
  start();
  copyInEditor("https://example.com/tarde");
  feature().stop();
  start();
  links_.answer(LinkPage{"Tarde", std::nullopt});
  EXPECT_EQ(store().items()[0].linkTitle, std::nullopt);
}

TEST_F(ClipboardHistoryFeatureTest, LinksAndFilesOpenWithTheirApplications) {
  start();
  copyInEditor("https://example.com/abrir");
  const Uuid link = store().items()[0].id;
  EXPECT_EQ(feature().applicationsToOpen(link).front().bundleIdentifier, "com.apple.Safari");
  feature().open(link);
  feature().open(link, "org.mozilla.firefox");
  copyInEditor("ana@example.com");
  feature().open(store().items()[0].id);
  EXPECT_EQ(
      scenario_.desktop.workspace.opened(),
      (std::vector<SimWorkspace::Opened>{{{"https://example.com/abrir"}, "com.apple.Safari"},
                                         {{"https://example.com/abrir"}, "org.mozilla.firefox"},
                                         {{"mailto:ana@example.com"}, "com.apple.mail"}}));
}

}  // namespace
}  // namespace mirlet::sim
