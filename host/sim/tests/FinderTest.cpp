#include "host/sim/SimFinder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFileURLs.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;
using View = SimFinder::View;

// Finder over a real folder "Docs" holding a.txt, b.txt and a folder "Fotos"
// (with c.jpg), and a destination folder "Destino".
class FinderTest : public ::testing::Test {
 protected:
  FinderTest() {
    fs::create_directories(root() / "Docs/Fotos");
    fs::create_directories(root() / "Destino");
    for (const char* name : {"Docs/a.txt", "Docs/b.txt", "Docs/Fotos/c.jpg"})
      std::ofstream(root() / name) << name;
    desktop_.workspace.bringToFront(finder_.application());
    window_ = finder_.openWindow(root() / "Docs");
    desktop_.time.runUntilIdle();
  }
  fs::path root() const { return folder_.path(); }
  SimAccessibility& ax() { return desktop_.accessibility; }
  AXElement app() { return ax().application(finder_.processID()); }
  AXValue attribute(const AXElement& element, const std::string& name) {
    return ax().copyAttribute(element, name).value;
  }
  template <class T>
  T typedAttribute(const AXElement& element, const std::string& name) {
    const AXValue value = attribute(element, name);
    const T* typed = value.as<T>();
    return typed ? *typed : T{};
  }
  AXElement elementAttribute(const AXElement& element, const std::string& name) {
    return typedAttribute<AXElement>(element, name);
  }
  std::string stringAttribute(const AXElement& element, const std::string& name) {
    return typedAttribute<std::string>(element, name);
  }
  AXValue::Array arrayAttribute(const AXElement& element, const std::string& name) {
    return typedAttribute<AXValue::Array>(element, name);
  }
  bool boolAttribute(const AXElement& element, const std::string& name) {
    return typedAttribute<bool>(element, name);
  }
  AXElement focused() { return elementAttribute(app(), "AXFocusedUIElement"); }
  // Every AXURL under an element, in order.
  std::vector<std::string> urls(const AXElement& element) {
    std::vector<std::string> found;
    if (auto url = typedAttribute<AXURL>(element, "AXURL"); !url.text.empty())
      found.push_back(url.text);
    for (const AXValue& child : arrayAttribute(element, "AXChildren")) {
      auto more = urls(*child.as<AXElement>());
      found.insert(found.end(), more.begin(), more.end());
    }
    return found;
  }
  std::string url(const std::string& relative) { return "file://" + (root() / relative).string(); }
  AXElement menuItem(const std::string& identifier) {
    for (const AXValue& barItem :
         arrayAttribute(elementAttribute(app(), "AXMenuBar"), "AXChildren")) {
      for (const AXValue& menu : arrayAttribute(*barItem.as<AXElement>(), "AXChildren")) {
        for (const AXValue& item : arrayAttribute(*menu.as<AXElement>(), "AXChildren")) {
          if (stringAttribute(*item.as<AXElement>(), "AXIdentifier") == identifier)
            return *item.as<AXElement>();
        }
      }
    }
    return {};
  }
  void key(std::uint16_t code, std::uint64_t flags = 0) {
    desktop_.events.inject(InputEvent::keyboard(code, true, flags));
    desktop_.events.inject(InputEvent::keyboard(code, false, flags));
  }
  // Finder's commands take effect on its own time.
  void finderActs() { desktop_.time.advance(finder_.latency); }
  // The path URLs of the files on the pasteboard.
  std::vector<std::string> pasteboardPaths() {
    std::vector<std::string> paths;
    for (const auto& item : desktop_.pasteboard.items()) {
      const auto data = item->data("public.file-url");
      paths.push_back(
          desktop_.fileURLs.filePathURL(std::string(data->begin(), data->end())).value_or("?"));
    }
    return paths;
  }

  testing::TemporaryFolder folder_;
  SimDesktop desktop_;
  SimFinder finder_{desktop_, folder_.path(), folder_.path() / "Papelera"};
  int window_ = 0;
};

TEST_F(FinderTest, FocusedWindowIsAStandardFinderWindow) {
  const AXElement window = elementAttribute(app(), "AXFocusedWindow");
  EXPECT_EQ(stringAttribute(window, "AXRole"), "AXWindow");
  EXPECT_EQ(stringAttribute(window, "AXSubrole"), "AXStandardWindow");
  EXPECT_EQ(stringAttribute(window, "AXIdentifier"), "FinderWindow");
  EXPECT_EQ(boolAttribute(window, "AXMinimized"), false);
  EXPECT_EQ(elementAttribute(focused(), "AXTopLevelUIElement"), window);
  EXPECT_EQ(stringAttribute(window, "AXTitle"), "Docs");
}

TEST_F(FinderTest, ListViewRowsCarryOneFileURLEach) {
  EXPECT_EQ(stringAttribute(focused(), "AXRole"), "AXOutline");
  EXPECT_EQ(stringAttribute(focused(), "AXIdentifier"), "ListView");
  finder_.select(window_, {"b.txt", "Fotos"});
  const auto rows = arrayAttribute(focused(), "AXSelectedRows");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(urls(*rows[0].as<AXElement>()), std::vector<std::string>{url("Docs/b.txt")});
  EXPECT_EQ(urls(*rows[1].as<AXElement>()), std::vector<std::string>{url("Docs/Fotos/")});
}

TEST_F(FinderTest, IconGalleryAndColumnViewsHaveTheirShapes) {
  finder_.setView(window_, View::icon);
  EXPECT_EQ(stringAttribute(focused(), "AXRole"), "AXList");
  EXPECT_EQ(stringAttribute(focused(), "AXIdentifier"), "IconView");
  finder_.select(window_, {"a.txt"});
  EXPECT_EQ(urls(*arrayAttribute(focused(), "AXSelectedChildren").at(0).as<AXElement>()),
            std::vector<std::string>{url("Docs/a.txt")});

  finder_.setView(window_, View::gallery);
  EXPECT_EQ(stringAttribute(focused(), "AXIdentifier"), "GalleryView");

  finder_.setView(window_, View::column);
  EXPECT_EQ(stringAttribute(focused(), "AXRole"), "AXList");
  EXPECT_EQ(stringAttribute(focused(), "AXIdentifier"), "");
  const AXElement browser = elementAttribute(elementAttribute(focused(), "AXParent"), "AXParent");
  EXPECT_EQ(stringAttribute(browser, "AXRole"), "AXBrowser");
  EXPECT_EQ(stringAttribute(browser, "AXIdentifier"), "ColumnView");
  EXPECT_EQ(arrayAttribute(focused(), "AXSelectedChildren").size(), 1u);
}

TEST_F(FinderTest, PathListSitsInTheSplitGroup) {
  const AXElement window = elementAttribute(app(), "AXFocusedWindow");
  std::vector<std::string> path;
  for (const AXValue& child : arrayAttribute(window, "AXChildren")) {
    if (stringAttribute(*child.as<AXElement>(), "AXRole") != "AXSplitGroup") continue;
    for (const AXValue& part : arrayAttribute(*child.as<AXElement>(), "AXChildren")) {
      const AXElement list = *part.as<AXElement>();
      if (stringAttribute(list, "AXRole") == "AXList" &&
          stringAttribute(list, "AXIdentifier").empty()) {
        for (const AXValue& text : arrayAttribute(list, "AXChildren")) {
          EXPECT_EQ(stringAttribute(*text.as<AXElement>(), "AXRole"), "AXStaticText");
        }
        path = urls(list);
      }
    }
  }
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), "file:///");
  EXPECT_EQ(path.back(), url("Docs/"));
}

TEST_F(FinderTest, MenuTitlesFollowTheSelectionAndTheTables) {
  EXPECT_EQ(stringAttribute(menuItem("_NS:8"), "AXTitle"), "Copiar");
  EXPECT_EQ(boolAttribute(menuItem("_NS:8"), "AXEnabled"), false);
  finder_.select(window_, {"a.txt"});
  EXPECT_EQ(stringAttribute(menuItem("_NS:8"), "AXTitle"), "Copiar “a.txt”");
  finder_.select(window_, {"a.txt", "b.txt"});
  EXPECT_EQ(stringAttribute(menuItem("_NS:8"), "AXTitle"), "Copiar 2 ítems");
  finder_.language = SimFinder::Language::english;
  EXPECT_EQ(stringAttribute(menuItem("_NS:8"), "AXTitle"), "Copy 2 Items");

  const auto tables =
      desktop_.bundles.localizedStringTables(FinderBundle::path, "LocalizableMerged");
  ASSERT_TRUE(tables && tables->size() == 2);
  for (const auto& table : *tables) {
    for (const char* key : {"ME2", "N47_V2", "N47_V3", "N66_V1", "N66_V2"})
      EXPECT_TRUE(table.contains(key));
  }
}

TEST_F(FinderTest, NamesAreShownComposedAndWithoutExtensionsWhenHidden) {
  const std::string decomposed = "cafe\xCC\x81.txt";
  std::ofstream(root() / "Docs" / decomposed) << "café";
  finder_.hideExtensions = true;
  finder_.setView(window_, View::icon);
  finder_.select(window_, {decomposed});
  const auto items = arrayAttribute(focused(), "AXSelectedChildren");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(stringAttribute(*items[0].as<AXElement>(), "AXTitle"), "caf\xC3\xA9");
  EXPECT_EQ(stringAttribute(menuItem("_NS:8"), "AXTitle"), "Copiar “caf\xC3\xA9”");
  // The URL still names the file as it is kept.
  EXPECT_EQ(urls(*items[0].as<AXElement>()),
            std::vector<std::string>{SimFileURLs::pathURL(root() / "Docs" / decomposed)});
  finder_.select(window_, {"Fotos"});
  EXPECT_EQ(stringAttribute(menuItem("_NS:8"), "AXTitle"), "Copiar “Fotos”");
}

TEST_F(FinderTest, CopyWritesOneFileURLPerSelectedFileInOneChange) {
  finder_.select(window_, {"a.txt", "Fotos"});
  const auto before = desktop_.pasteboard.changeCount();
  ASSERT_EQ(ax().performAction(menuItem("_NS:8"), "AXPress"), AXError::success);
  EXPECT_EQ(desktop_.pasteboard.changeCount(), before);  // not yet: Finder takes its time
  finderActs();
  EXPECT_EQ(desktop_.pasteboard.changeCount(), before + 1);
  const auto items = desktop_.pasteboard.items();
  ASSERT_EQ(items.size(), 2u);
  const auto first = items[0]->data("public.file-url");
  EXPECT_TRUE(std::string(first->begin(), first->end()).starts_with("file:///.file/id="));
  EXPECT_EQ(pasteboardPaths(), (std::vector<std::string>{url("Docs/a.txt"), url("Docs/Fotos/")}));
}

TEST_F(FinderTest, CopiedReferencesFollowTheFilesWhenTheyMove) {
  finder_.select(window_, {"a.txt"});
  key(8, EventFlags::command);  // ⌘C
  finderActs();
  key(51, EventFlags::command);  // ⌘⌫
  finderActs();
  EXPECT_EQ(pasteboardPaths(), std::vector<std::string>{url("Papelera/a.txt")});
  fs::remove(root() / "Papelera/a.txt");
  EXPECT_EQ(pasteboardPaths(), std::vector<std::string>{"?"});
}

TEST_F(FinderTest, MoveCommandMovesTheCopiedFilesOnDisk) {
  finder_.select(window_, {"a.txt", "b.txt"});
  key(8, EventFlags::command);  // ⌘C
  finderActs();
  const int destination = finder_.openWindow(root() / "Destino");
  EXPECT_EQ(stringAttribute(menuItem("_NS:38"), "AXTitle"), "Mover 2 ítems aquí");
  ASSERT_EQ(ax().performAction(menuItem("_NS:38"), "AXPress"), AXError::success);
  EXPECT_TRUE(fs::exists(root() / "Docs/a.txt"));
  finderActs();
  EXPECT_TRUE(fs::exists(root() / "Destino/a.txt"));
  EXPECT_TRUE(fs::exists(root() / "Destino/b.txt"));
  EXPECT_FALSE(fs::exists(root() / "Docs/a.txt"));
  EXPECT_EQ(finder_.selection(destination), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(FinderTest, ShortcutsActOnTheFilesForReal) {
  finder_.select(window_, {"a.txt"});
  key(8, EventFlags::command);  // ⌘C
  finderActs();
  key(9, EventFlags::command);  // ⌘V pastes a copy
  finderActs();
  EXPECT_TRUE(fs::exists(root() / "Docs/a 2.txt"));
  finder_.select(window_, {"b.txt"});
  key(51, EventFlags::command);  // ⌘⌫
  finderActs();
  EXPECT_TRUE(fs::exists(root() / "Papelera/b.txt"));
  EXPECT_FALSE(fs::exists(root() / "Docs/b.txt"));
  finder_.select(window_, {"a.txt"});
  key(125, EventFlags::command);  // ⌘↓ on a file opens it
  finderActs();
  EXPECT_EQ(finder_.openedFiles(), std::vector<fs::path>{root() / "Docs/a.txt"});
  finder_.select(window_, {"Fotos"});
  key(125, EventFlags::command);  // ⌘↓ on a folder enters it
  finderActs();
  EXPECT_EQ(finder_.folder(window_), root() / "Docs/Fotos");
  key(126, EventFlags::command);  // ⌘↑ goes back, the folder left selected
  finderActs();
  EXPECT_EQ(finder_.folder(window_), root() / "Docs");
  EXPECT_EQ(finder_.selection(window_), std::vector<std::string>{"Fotos"});
}

TEST_F(FinderTest, ReturnStartsAndEndsRenaming) {
  finder_.select(window_, {"a.txt"});
  key(36);
  EXPECT_TRUE(finder_.isRenaming());
  EXPECT_EQ(stringAttribute(focused(), "AXRole"), "AXTextField");
  key(8, EventFlags::command);  // ⌘C while renaming copies no files
  EXPECT_EQ(desktop_.pasteboard.changeCount(), 0);
  key(36);
  EXPECT_FALSE(finder_.isRenaming());
  EXPECT_EQ(stringAttribute(focused(), "AXIdentifier"), "ListView");
  const AXElement row = *arrayAttribute(focused(), "AXSelectedRows").at(0).as<AXElement>();
  for (const AXValue& child : arrayAttribute(row, "AXChildren")) {
    EXPECT_NE(stringAttribute(*child.as<AXElement>(), "AXRole"), "AXTextField");
  }
}

TEST_F(FinderTest, MovingIsOffWhileANameIsTypedOrASearchRuns) {
  finder_.select(window_, {"a.txt"});
  key(8, EventFlags::command);  // ⌘C
  finderActs();
  EXPECT_TRUE(boolAttribute(menuItem("_NS:38"), "AXEnabled"));
  key(36);  // renaming
  EXPECT_FALSE(boolAttribute(menuItem("_NS:38"), "AXEnabled"));
  key(36);
  finder_.focusSearchField(window_);
  EXPECT_FALSE(boolAttribute(menuItem("_NS:38"), "AXEnabled"));
  EXPECT_NE(ax().performAction(menuItem("_NS:38"), "AXPress"), AXError::success);
}

TEST_F(FinderTest, RecentsAndSearchResultsListFilesButShowNoFolder) {
  const int recents = finder_.openRecents({root() / "Docs/a.txt", root() / "Docs/Fotos/c.jpg"});
  EXPECT_EQ(stringAttribute(focused(), "AXIdentifier"), "ListView");
  finder_.select(recents, {"c.jpg"});
  const AXElement row = *arrayAttribute(focused(), "AXSelectedRows").at(0).as<AXElement>();
  EXPECT_EQ(urls(row), std::vector<std::string>{url("Docs/Fotos/c.jpg")});
  const AXElement window = elementAttribute(app(), "AXFocusedWindow");
  EXPECT_EQ(stringAttribute(window, "AXTitle"), "Recientes");
  for (const AXValue& child : arrayAttribute(window, "AXChildren")) {
    for (const AXValue& part : arrayAttribute(*child.as<AXElement>(), "AXChildren")) {
      EXPECT_FALSE(stringAttribute(*part.as<AXElement>(), "AXRole") == "AXList" &&
                   stringAttribute(*part.as<AXElement>(), "AXIdentifier").empty())
          << "a path bar";
    }
  }
  finder_.openSearchResults("b", {root() / "Docs/b.txt"});
  EXPECT_EQ(stringAttribute(elementAttribute(app(), "AXFocusedWindow"), "AXTitle"), "Buscando “b”");
  EXPECT_EQ(finder_.folder(recents), fs::path());
}

TEST_F(FinderTest, ColumnViewShowsTheEnclosingFolderBeforeThisOne) {
  finder_.setView(window_, View::column);
  const AXElement browser = elementAttribute(elementAttribute(focused(), "AXParent"), "AXParent");
  const auto columns = arrayAttribute(browser, "AXChildren");
  ASSERT_EQ(columns.size(), 2u);
  const AXElement enclosing =
      *arrayAttribute(*columns[0].as<AXElement>(), "AXChildren").at(0).as<AXElement>();
  const auto selected = arrayAttribute(enclosing, "AXSelectedChildren");
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(urls(*selected[0].as<AXElement>()), std::vector<std::string>{url("Docs/")});
}

TEST_F(FinderTest, URLsMayComeAsStrings) {
  finder_.urlsAsStrings = true;
  finder_.setView(window_, View::icon);
  finder_.select(window_, {"a.txt"});
  const AXElement item = *arrayAttribute(focused(), "AXSelectedChildren").at(0).as<AXElement>();
  EXPECT_EQ(stringAttribute(item, "AXURL"), url("Docs/a.txt"));
}

TEST(FinderLifetimeTest, OneFinderPerDesktopAndItsEndVoidsWhatItHadNotDone) {
  testing::TemporaryFolder folder;
  fs::create_directories(folder.path() / "Docs");
  std::ofstream(folder.path() / "Docs/a.txt") << "a";
  DesktopScenario scenario;
  auto finder =
      std::make_unique<SimFinder>(scenario.desktop, folder.path(), folder.path() / "Papelera");
  EXPECT_EQ(finder->application(), scenario.finder);
  EXPECT_EQ(scenario.desktop.workspace.runningApplications(FinderBundle::identifier).size(), 1u);
  const int window = finder->openWindow(folder.path() / "Docs");
  finder->select(window, {"a.txt"});
  finder->moveSelectionToTrash();
  finder.reset();
  scenario.rest(1);
  EXPECT_TRUE(scenario.finder->isTerminated());
  EXPECT_TRUE(fs::exists(folder.path() / "Docs/a.txt"));
}

TEST_F(FinderTest, NonFileViewsLookDifferent) {
  finder_.focusSearchField(window_);
  EXPECT_EQ(stringAttribute(focused(), "AXRole"), "AXTextField");
  finder_.showSheet(window_);
  EXPECT_EQ(stringAttribute(focused(), "AXRole"), "AXSheet");
  const AXElement window = elementAttribute(app(), "AXFocusedWindow");
  finder_.minimize(window_);
  EXPECT_EQ(boolAttribute(window, "AXMinimized"), true);
  EXPECT_EQ(ax().copyAttribute(app(), "AXFocusedWindow").error, AXError::noValue);
  finder_.openInfoWindow("a.txt");
  EXPECT_EQ(stringAttribute(elementAttribute(app(), "AXFocusedWindow"), "AXIdentifier"), "");
  finder_.focusDesktop();
  EXPECT_NE(stringAttribute(elementAttribute(app(), "AXFocusedWindow"), "AXSubrole"),
            "AXStandardWindow");
}

TEST_F(FinderTest, ObserversHearFocusAndSelectionChanges) {
  std::vector<std::string> heard;
  auto observer = ax().createObserver(
      finder_.processID(),
      [&](const AXElement&, const std::string& name) { heard.push_back(name); });
  for (const char* name :
       {"AXFocusedUIElementChanged", "AXSelectedRowsChanged", "AXFocusedWindowChanged"}) {
    observer->addNotification(app(), name);
  }
  finder_.select(window_, {"a.txt"});
  finder_.focusSearchField(window_);
  desktop_.time.runUntilIdle();
  EXPECT_EQ(heard,
            (std::vector<std::string>{"AXSelectedRowsChanged", "AXFocusedWindowChanged",
                                      "AXFocusedUIElementChanged", "AXFocusedUIElementChanged"}));
}

TEST_F(FinderTest, SlowFinderFailsShortTimeOuts) {
  desktop_.accessibility.setAnswerDelay(finder_.processID(), 0.05);
  const AXElement application = app();
  ax().setMessagingTimeout(application, 0.025);
  EXPECT_EQ(ax().copyAttribute(application, "AXFocusedWindow").error, AXError::cannotComplete);
  ax().setMessagingTimeout(application, 0.1);
  EXPECT_TRUE(ax().copyAttribute(application, "AXFocusedWindow").ok());
}

TEST_F(FinderTest, RelaunchGivesANewProcessAndInvalidatesOldElements) {
  const int oldPID = finder_.processID();
  const AXElement oldWindow = elementAttribute(app(), "AXFocusedWindow");
  finder_.relaunch();
  EXPECT_NE(finder_.processID(), oldPID);
  EXPECT_EQ(ax().copyAttribute(oldWindow, "AXTitle").error, AXError::invalidElement);
  EXPECT_EQ(stringAttribute(elementAttribute(app(), "AXFocusedWindow"), "AXTitle"), "Docs");
}

}  // namespace
}  // namespace mirlet::sim
