#include "host/linux/XdgAutostart.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/testing/Thrown.h"
#include "host/SystemEnvironment.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

class XdgAutostartTest : public ::testing::Test {
 protected:
  XdgAutostart autostart(std::optional<std::filesystem::path> executable) {
    return XdgAutostart(files_, folder_ / "autostart", std::move(executable));
  }
  void writeEntry(const std::string& text) {
    std::filesystem::create_directories(folder_ / "autostart");
    std::ofstream(folder_ / "autostart/app.mirlet.desktop") << text;
  }

  PosixFileSystem files_;
  testing::TemporaryFolder folder_;
};

TEST_F(XdgAutostartTest, UnknownExecutableIsUnavailable) {
  auto item = autostart(std::nullopt);
  EXPECT_EQ(item.state(), LoginState::unavailable);
  EXPECT_EQ(testing::thrown<LoginItemError>([&] { item.enable(); }),
            LoginItemError(LoginItemErrorCode::refused));
}

TEST_F(XdgAutostartTest, EnableAndDisableRoundTrip) {
  auto item = autostart("/opt/mirlet/bin/mirlet");
  EXPECT_EQ(item.state(), LoginState::disabled);
  item.enable();
  EXPECT_EQ(item.state(), LoginState::enabled);
  auto text = files_.read(item.entryPath());
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("Exec=\"/opt/mirlet/bin/mirlet\" --login-item\n"), std::string::npos);
  item.disable();
  EXPECT_EQ(item.state(), LoginState::disabled);
  item.disable();  // already gone: nothing to do
}

TEST_F(XdgAutostartTest, PathsWithSpecialCharactersSurviveQuoting) {
  for (const char* path : {"/home/ana/Mis programas/mirlet", "/tmp/a\"b$c`d\\e/mirlet"}) {
    auto item = autostart(path);
    item.enable();
    EXPECT_EQ(item.state(), LoginState::enabled) << path;
  }
}

TEST_F(XdgAutostartTest, EntryOfAnotherCopyIsNotFoundUntilRegisteredAgain) {
  autostart("/old/place/mirlet").enable();
  auto item = autostart("/new/place/mirlet");
  EXPECT_EQ(item.state(), LoginState::notFound);
  item.enable();
  EXPECT_EQ(item.state(), LoginState::enabled);
}

TEST_F(XdgAutostartTest, EntrySwitchedOffByTheDesktopIsDisabled) {
  writeEntry("[Desktop Entry]\nExec=/usr/bin/mirlet\nHidden=true\n");
  EXPECT_EQ(autostart("/usr/bin/mirlet").state(), LoginState::disabled);
  writeEntry(
      "[Desktop Entry]\r\nExec=/usr/bin/mirlet "
      "--login-item\r\nX-GNOME-Autostart-enabled=false\r\n");
  EXPECT_EQ(autostart("/usr/bin/mirlet").state(), LoginState::disabled);
  writeEntry("[Desktop Entry]\nExec = /usr/bin/mirlet --login-item\n[Other]\nHidden=true\n");
  EXPECT_EQ(autostart("/usr/bin/mirlet").state(), LoginState::enabled);
}

TEST_F(XdgAutostartTest, GarbageEntryIsNotOurs) {
  writeEntry(std::string("\0\xFF[Desktop Entry\nExec=\"unterminated", 30));
  EXPECT_EQ(autostart("/usr/bin/mirlet").state(), LoginState::notFound);
}

}  // namespace
}  // namespace mirlet
