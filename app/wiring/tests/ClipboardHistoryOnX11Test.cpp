#include <gtest/gtest.h>

#include <xcb/xtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QWindow>
#include <fstream>

#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "app/wiring/DesktopFeatures.h"
#include "host/SystemClock.h"
#include "host/linux/QtMainLoop.h"
#include "host/linux/testing/QtRunLoop.h"
#include "host/testing/TemporaryFolder.h"
#include "host/x11/XcbConnection.h"

namespace mirlet {
namespace {

namespace fs = std::filesystem;

// Another application: a process of its own with a window on the display.
class TestClient {
 public:
  TestClient() {
    process_.start(QStringLiteral(MIRLET_TEST_CLIENT), {});
    ready_ = process_.waitForStarted() && expect("ready");
  }
  ~TestClient() {
    process_.write("quit\n");
    if (!process_.waitForFinished(2000)) process_.kill();
  }
  bool isReady() const { return ready_; }
  int pid() const { return static_cast<int>(process_.processId()); }

  bool send(const std::string& command, const std::string& answer) {
    process_.write((command + "\n").c_str());
    return expect(answer);
  }
  // Waits for a line that starts with `prefix`; lines before it are passed over.
  bool expect(const std::string& prefix) {
    bool seen = false;
    testing::runUntil([&] {
      while (!seen && process_.canReadLine()) {
        seen = process_.readLine().trimmed().toStdString().starts_with(prefix);
      }
      if (!seen) process_.waitForReadyRead(10);
      return seen;
    });
    return seen;
  }

 private:
  QProcess process_;
  bool ready_ = false;
};

// The clipboard history on the X display, with another client copying.
class ClipboardHistoryOnX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_ / "tmp");
    feature_ = std::make_unique<ClipboardHistoryFeature>(
        preferences_,
        ClipboardHistoryServices{desktop_.pasteboard, desktop_.workspace, desktop_.accessibility,
                                 desktop_.events, desktop_.hotKeys, desktop_.keyboardLayout,
                                 desktop_.images, desktop_.fileURLs, desktop_.files, history_.keys,
                                 history_.links, loop_, clock_, desktop_.queues,
                                 folder_ / "history", folder_ / "tmp", "app.mirlet.tests"},
        [](const Uuid&) {});
    feature_->update([](ClipboardHistorySettings& settings) { settings.ignorePrivate = false; });
    feature_->start(Uuid::random());
    ASSERT_TRUE(client_.isReady());
  }
  void TearDown() override { feature_->stop(); }

  const HistoryItems& items() { return feature_->store().get().items(); }
  bool clientInFront() {
    const auto front = desktop_.workspace.frontmostApplication();
    return front && front->processIdentifier() == client_.pid();
  }
  // The client takes the focus; whether the desktop then has it in front.
  bool focusClient() {
    return client_.send("focus", "focused") && testing::runUntil([&] { return clientInFront(); });
  }
  // This program's `window` takes the focus from the client.
  bool focusOwnWindow(QWindow& window) {
    window.setGeometry(400, 300, 200, 100);
    window.show();
    window.requestActivate();
    return testing::runUntil([&] { return !clientInFront(); });
  }
  // The files of the history that hold `text` anywhere in their bytes.
  std::vector<fs::path> filesHolding(const std::string& text) {
    std::vector<fs::path> found;
    for (const auto& file : fs::recursive_directory_iterator(folder_ / "history")) {
      if (!file.is_regular_file()) continue;
      std::ifstream stream(file.path(), std::ios::binary);
      const std::string contents((std::istreambuf_iterator<char>(stream)), {});
      if (contents.find(text) != std::string::npos) found.push_back(file.path());
    }
    return found;
  }
  // Copies in the client and waits for the history to take it.
  const ClipboardItem& copy(const std::string& command) {
    const std::size_t before = items().size();
    EXPECT_TRUE(client_.send(command, "copied"));
    EXPECT_TRUE(testing::runUntil([&] { return items().size() > before; })) << command;
    return items().front();
  }

  testing::TemporaryFolder folder_;
  QtMainLoop loop_;
  SystemClock clock_;
  X11Desktop desktop_{loop_, "app.mirlet.tests"};
  X11HistoryServices history_{desktop_, loop_, clock_, "app.mirlet.tests"};
  MemoryDefaultsStore defaults_;
  Preferences preferences_{defaults_};
  std::unique_ptr<ClipboardHistoryFeature> feature_;
  TestClient client_;
};

TEST_F(ClipboardHistoryOnX11Test, EveryKindOfCopyBecomesItsItem) {
  EXPECT_EQ(copy("copy-text hola desde otra app").text, "hola desde otra app");

  const ClipboardItem& html = copy("copy-html <b>negrita</b>");
  EXPECT_EQ(html.kind, ItemKind::richText);
  EXPECT_EQ(html.pasteboardTypes.at(0),
            (std::vector<std::string>{"public.html", "public.utf8-plain-text"}));

  QImage picture(64, 48, QImage::Format_RGB32);
  picture.fill(Qt::darkCyan);
  const fs::path png = folder_ / "picture.png";
  ASSERT_TRUE(picture.save(QString::fromStdString(png.string()), "PNG"));
  const ClipboardItem& image = copy("copy-png " + png.string());
  EXPECT_EQ(image.kind, ItemKind::image);
  EXPECT_TRUE(feature_->thumbnail(image.id).has_value());

  std::ofstream(folder_ / "a.txt") << "a";
  std::ofstream(folder_ / "b.txt") << "b";
  const ClipboardItem& files = copy("copy-files file://" + (folder_ / "a.txt").string() +
                                    " file://" + (folder_ / "b.txt").string());
  EXPECT_EQ(files.kind, ItemKind::files);
  EXPECT_EQ(feature_->fileURLs(files.id).size(), 2u);
}

// A program that offers its copy and then never delivers it (hung, or too slow
// for the read's time-out) still owns the user's copy: Mirlet reads nothing, and
// takes nothing back from it.
TEST_F(ClipboardHistoryOnX11Test, AnOwnerThatNeverDeliversKeepsItsClipboard) {
  copy("copy-text lo de antes");
  const std::size_t before = items().size();
  ASSERT_TRUE(client_.send("copy-withheld lo nuevo", "copied"));
  XcbConnection display;
  ASSERT_TRUE(display.isOpen());
  const xcb_atom_t clipboard = display.atom("CLIPBOARD");
  const auto owner = [&] {
    const auto reply = xcbReply(xcb_get_selection_owner_reply(
        display.get(), xcb_get_selection_owner(display.get(), clipboard), nullptr));
    return reply ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
  };
  const xcb_window_t client = owner();
  ASSERT_NE(client, XCB_WINDOW_NONE);
  // Past the read's time-out (1 s): whatever follows it has happened by then.
  testing::runFor(1800);
  EXPECT_EQ(owner(), client);
  EXPECT_EQ(items().size(), before);
}

// The copy is the selection owner's, whatever window has the focus then: here
// this program's own window, which must never be taken for the source.
TEST_F(ClipboardHistoryOnX11Test, ACopyIsAttributedToItsOwnerWhateverIsInFront) {
  QWindow other;
  ASSERT_TRUE(focusOwnWindow(other));
  const auto client = desktop_.workspace.runningApplication(client_.pid());
  ASSERT_TRUE(client);
  const ClipboardItem& item = copy("copy-text copiado sin el foco");
  EXPECT_EQ(item.sourceBundleID, client->bundleIdentifier());
  EXPECT_NE(item.sourceBundleID, std::optional<std::string>("app.mirlet.tests"));
}

TEST_F(ClipboardHistoryOnX11Test, APasswordIsKeptPrivateAndNoneOfItsBytesReachTheDisk) {
  const std::string secret = "contraseña-muy-secreta-8172";
  const ClipboardItem& item = copy("copy-secret " + secret);
  EXPECT_TRUE(item.isPrivate);
  EXPECT_EQ(feature_->revealedText(item.id), secret);
  EXPECT_EQ(filesHolding(secret), std::vector<fs::path>{});
}

// Left out by default, a secret costs its owner nothing but the target list: none
// of its bytes are asked for, let alone kept.
TEST_F(ClipboardHistoryOnX11Test, AnIgnoredSecretHasNothingButItsTypesRead) {
  feature_->update([](ClipboardHistorySettings& settings) { settings.ignorePrivate = true; });
  const std::size_t before = items().size();
  const auto changes = desktop_.pasteboard.changeCount();
  ASSERT_TRUE(client_.send("copy-secret clave-sin-leer-5120", "copied"));
  ASSERT_TRUE(testing::runUntil([&] { return desktop_.pasteboard.changeCount() != changes; }));
  EXPECT_TRUE(client_.send("asked", "asked nothing"));
  EXPECT_EQ(items().size(), before);
  EXPECT_EQ(filesHolding("clave-sin-leer-5120"), std::vector<fs::path>{});
}

// A password manager that offers its hint and never delivers it: the copy is a
// secret all the same, and its text reaches neither the index nor a payload.
TEST_F(ClipboardHistoryOnX11Test, ASecretWhoseHintNeverComesIsStillPrivate) {
  const std::string secret = "otra-clave-que-no-se-guarda-3391";
  const ClipboardItem& item = copy("copy-secret-unhinted " + secret);
  EXPECT_TRUE(item.isPrivate);
  EXPECT_EQ(filesHolding(secret), std::vector<fs::path>{});
}

TEST_F(ClipboardHistoryOnX11Test, ChoosingPastesIntoTheApplicationInFrontWithCtrlV) {
  const Uuid id = copy("copy-text para pegar").id;
  ASSERT_TRUE(focusClient());
  std::optional<ChooseOutcome> outcome;
  feature_->choose({id}, false, true, desktop_.workspace.frontmostApplication(),
                   [&](ChooseOutcome result) { outcome = result; });
  // V (X key 55) with Control held.
  EXPECT_TRUE(client_.expect("key 55 4"));
  EXPECT_TRUE(testing::runUntil([&] { return outcome.has_value(); }));
  EXPECT_EQ(outcome, ChooseOutcome::pasted);
}

TEST_F(ClipboardHistoryOnX11Test, AnAltStillHeldFromTheHotKeyDoesNotReachThePaste) {
  const Uuid id = copy("copy-text con alt").id;
  ASSERT_TRUE(focusClient());
  XcbConnection keyboard;
  xcb_test_fake_input(keyboard.get(), XCB_KEY_PRESS, 64, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  xcbReply(xcb_get_input_focus_reply(keyboard.get(), xcb_get_input_focus(keyboard.get()), nullptr));
  feature_->choose({id}, false, true, desktop_.workspace.frontmostApplication(),
                   [](ChooseOutcome) {});
  EXPECT_TRUE(client_.expect("key 55 4"));  // Control alone, no Alt (8)
}

// The key-up of a paste comes when another window is in front (the user moved on
// in between): it still releases what the key-down pressed, so no key stays down.
TEST_F(ClipboardHistoryOnX11Test, APasteNeverLeavesAKeyDown) {
  ASSERT_TRUE(focusClient());
  desktop_.events.postToProcess(client_.pid(), InputEvent::keyboard(9, true, EventFlags::command));
  EXPECT_TRUE(client_.expect("key 55 4"));  // V with Control

  QWindow other;
  ASSERT_TRUE(focusOwnWindow(other));
  desktop_.events.postToProcess(client_.pid(), InputEvent::keyboard(9, false, EventFlags::command));

  XcbConnection keyboard;
  const auto keys =
      xcbReply(xcb_query_keymap_reply(keyboard.get(), xcb_query_keymap(keyboard.get()), nullptr));
  ASSERT_TRUE(keys);
  const auto isDown = [&](int key) {
    return (keys->keys[key / 8] >> (key % 8)) & 1;
  };
  EXPECT_FALSE(isDown(37)) << "Control";
  EXPECT_FALSE(isDown(55)) << "V";
}

TEST_F(ClipboardHistoryOnX11Test, TheHotKeyIsHeldAgainstOtherClients) {
  EXPECT_EQ(feature_->hotKeyStatus().get(), HotKeyStatus::registered);
  EXPECT_EQ(feature_->hotKeyLabel(), "Ctrl+Alt+V");
  // Ctrl+Alt (4 | 8) and the key that types V.
  EXPECT_TRUE(client_.send("grab 55 12", "occupied"));

  int presses = 0;
  const Subscription pressed = feature_->observeHotKey([&] { ++presses; });
  XcbConnection keyboard;
  for (const auto& [key, down] : {std::pair<int, bool>{37, true},
                                  {64, true},
                                  {55, true},
                                  {55, false},
                                  {64, false},
                                  {37, false}}) {
    xcb_test_fake_input(keyboard.get(), down ? XCB_KEY_PRESS : XCB_KEY_RELEASE,
                        static_cast<std::uint8_t>(key), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  }
  xcb_flush(keyboard.get());
  EXPECT_TRUE(testing::runUntil([&] { return presses == 1; }));
}

}  // namespace
}  // namespace mirlet
