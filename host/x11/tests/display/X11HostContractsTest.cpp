#include <xcb/xtest.h>

#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <fstream>

#include "host/KeyPositions.h"
#include "host/XdgFolders.h"
#include "host/linux/testing/QtRunLoop.h"
#include "host/testing/HotKeysContract.h"
#include "host/testing/WorkspaceContract.h"
#include "host/x11/X11HotKeys.h"
#include "host/x11/X11Workspace.h"

namespace mirlet {
namespace {

using testing::runFor;

// The X key codes of a combination's modifiers, as the hot keys read them.
std::vector<xcb_keycode_t> modifierKeys(std::uint32_t modifiers) {
  std::vector<xcb_keycode_t> keys;
  if (modifiers & HotKeyModifiers::control) keys.push_back(37);
  if (modifiers & HotKeyModifiers::option) keys.push_back(64);
  if (modifiers & HotKeyModifiers::command) keys.push_back(133);
  if (modifiers & HotKeyModifiers::shift) keys.push_back(50);
  return keys;
}

class X11HotKeysHarness : public contract::HotKeysHarness {
 public:
  HotKeys& hotKeys() override { return hotKeys_; }
  void holdElsewhere(std::uint16_t keyCode, std::uint32_t modifiers) override {
    xcb_grab_key(other_.get(), 0, other_.root(), X11HotKeys::xModifiers(modifiers),
                 static_cast<xcb_keycode_t>(*KeyPositions::xKeyCode(keyCode)), XCB_GRAB_MODE_ASYNC,
                 XCB_GRAB_MODE_ASYNC);
    xcb_aux_sync();
  }
  void press(std::uint16_t keyCode, std::uint32_t modifiers) override {
    const auto key = static_cast<xcb_keycode_t>(*KeyPositions::xKeyCode(keyCode));
    const auto held = modifierKeys(modifiers);
    for (const xcb_keycode_t modifier : held) fake(modifier, true);
    fake(key, true);
    fake(key, false);
    for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier) fake(*modifier, false);
    xcb_flush(other_.get());
    runFor(150);
  }

 private:
  void fake(xcb_keycode_t key, bool down) {
    xcb_test_fake_input(other_.get(), down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, key, XCB_CURRENT_TIME,
                        XCB_NONE, 0, 0, 0);
  }
  void xcb_aux_sync() {
    xcbReply(xcb_get_input_focus_reply(other_.get(), xcb_get_input_focus(other_.get()), nullptr));
  }

  X11Display display_;
  X11HotKeys hotKeys_{display_};
  XcbConnection other_;
};

using contract::HotKeysContract;
INSTANTIATE_TEST_SUITE_P(X11, HotKeysContract, ::testing::Values([] {
                           return std::unique_ptr<contract::HotKeysHarness>(
                               std::make_unique<X11HotKeysHarness>());
                         }));

// Applications are test clients, each a process with a window; this program has
// a window too. An installed desktop entry opens "mirlet-test:" URLs.
class X11WorkspaceHarness : public contract::WorkspaceHarness {
 public:
  X11WorkspaceHarness() {
    const auto applications = XdgFolders::dataHome() / "applications";
    std::filesystem::create_directories(applications);
    std::ofstream(applications / "mirlet-test-opener.desktop")
        << "[Desktop Entry]\nType=Application\nName=Abridor de prueba\nExec=/bin/true %u\n"
           "MimeType=x-scheme-handler/mirlet-test;\n";
    workspace_ = std::make_unique<X11Workspace>(display_, "app.mirlet.tests");
    ownWindow_ = xcb_generate_id(own_.get());
    xcb_create_window(own_.get(), XCB_COPY_FROM_PARENT, ownWindow_, own_.root(), 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const auto pid = static_cast<std::uint32_t>(::getpid());
    xcb_change_property(own_.get(), XCB_PROP_MODE_REPLACE, ownWindow_, own_.atom("_NET_WM_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_map_window(own_.get(), ownWindow_);
    xcb_flush(own_.get());
    runFor(100);
  }
  ~X11WorkspaceHarness() override {
    for (auto& client : clients_) {
      client->kill();
      client->waitForFinished(1000);
    }
  }

  Workspace& workspace() override { return *workspace_; }
  int launchApplication() override {
    auto client = std::make_unique<QProcess>();
    client->start(QStringLiteral(MIRLET_TEST_CLIENT), {});
    client->waitForStarted();
    client->waitForReadyRead(2000);  // "ready": its window is there
    runFor(100);
    // The window manager put the new window in front: this program takes it back.
    workspace_->currentApplication()->activate();
    runFor(100);
    const int pid = static_cast<int>(client->processId());
    clients_.push_back(std::move(client));
    return pid;
  }
  std::string openableURL() override { return "mirlet-test:algo"; }
  void quit(int pid) override {
    for (auto& client : clients_) {
      if (client->processId() == pid) {
        client->kill();
        client->waitForFinished(1000);
      }
    }
  }
  void runMainLoop() override { runFor(200); }

 private:
  X11Display display_;
  XcbConnection own_;
  xcb_window_t ownWindow_ = XCB_WINDOW_NONE;
  std::unique_ptr<X11Workspace> workspace_;
  std::vector<std::unique_ptr<QProcess>> clients_;
};

using contract::WorkspaceContract;
INSTANTIATE_TEST_SUITE_P(X11, WorkspaceContract, ::testing::Values([] {
                           return std::unique_ptr<contract::WorkspaceHarness>(
                               std::make_unique<X11WorkspaceHarness>());
                         }));

}  // namespace
}  // namespace mirlet
