#include "host/linux/DesktopEntries.h"

#include <gtest/gtest.h>

#include <fstream>

#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

namespace fs = std::filesystem;

class DesktopEntriesTest : public ::testing::Test {
 protected:
  void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }
  fs::path user() { return folder_ / "user"; }
  fs::path system() { return folder_ / "system"; }

  testing::TemporaryFolder folder_;
};

TEST_F(DesktopEntriesTest, EntriesAreReadWithTheirSpanishNamesAndTheUsersWin) {
  write(system() / "org.gnome.TextEditor.desktop",
        "[Desktop Entry]\nType=Application\nName=Text Editor\nName[es]=Editor de texto\n"
        "Icon=org.gnome.TextEditor\nExec=gnome-text-editor %U\nMimeType=text/plain;\n"
        "[Desktop Action new-window]\nName=New Window\n");
  write(system() / "hidden.desktop", "[Desktop Entry]\nType=Application\nName=X\nNoDisplay=true\n");
  write(system() / "link.desktop", "[Desktop Entry]\nType=Link\nName=Enlace\n");
  write(user() / "firefox.desktop",
        "[Desktop Entry]\nType=Application\nName=Mi Firefox\nStartupWMClass=Navigator\n");
  write(system() / "firefox.desktop", "[Desktop Entry]\nType=Application\nName=Firefox\n");
  const DesktopEntries entries({user(), system()}, {});

  const auto editor = entries.find("org.gnome.TextEditor");
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->name, "Editor de texto");
  EXPECT_EQ(editor->icon, "org.gnome.TextEditor");
  EXPECT_EQ(entries.find("texteditor")->id, "org.gnome.TextEditor");  // by the id's last part
  EXPECT_EQ(entries.find("FIREFOX")->name, "Mi Firefox");
  EXPECT_EQ(entries.find("navigator")->id, "firefox");  // by the window class
  EXPECT_FALSE(entries.find("hidden"));
  EXPECT_FALSE(entries.find("link"));
}

TEST_F(DesktopEntriesTest, TheDefaultApplicationOfATypeComesFirst) {
  for (const char* id : {"a-viewer", "b-viewer", "c-viewer"}) {
    write(system() / (std::string(id) + ".desktop"),
          std::string("[Desktop Entry]\nType=Application\nName=") + id +
              "\nMimeType=image/png;image/jpeg;\n");
  }
  write(user() / "mimeapps.list", "[Default Applications]\nimage/png=c-viewer.desktop;\n");
  write(system() / "mimeapps.list",
        "[Default Applications]\nimage/png=b-viewer.desktop\nimage/jpeg=b-viewer.desktop\n");
  const DesktopEntries entries({user(), system()},
                               {user() / "mimeapps.list", system() / "mimeapps.list"});
  EXPECT_EQ(entries.handling("image/png").front().id, "c-viewer");
  EXPECT_EQ(entries.handling("image/jpeg").front().id, "b-viewer");
  EXPECT_EQ(entries.handling("image/png").size(), 3u);
  EXPECT_TRUE(entries.handling("video/mp4").empty());
}

TEST_F(DesktopEntriesTest, TheCommandPutsTheURLsWhereTheExecLineSays) {
  const auto command = [](const std::string& exec, const std::vector<std::string>& urls) {
    return DesktopEntries::command(DesktopEntry{"x", "X", {}, exec, {}, {}}, urls);
  };
  EXPECT_EQ(command("viewer %f", {"file:///tmp/a%20b.png"}),
            (std::vector<std::string>{"viewer", "/tmp/a b.png"}));
  EXPECT_EQ(command("browser %U --new", {"https://a", "https://b"}),
            (std::vector<std::string>{"browser", "https://a", "https://b", "--new"}));
  EXPECT_EQ(command("\"/opt/My App/run\" --icon %i %u", {"https://a"}),
            (std::vector<std::string>{"/opt/My App/run", "--icon", "https://a"}));
  EXPECT_EQ(command("plain", {"https://a"}), (std::vector<std::string>{"plain", "https://a"}));
}

}  // namespace
}  // namespace mirlet
