#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <stdexcept>

#include "host/sim/SimDesktop.h"
#include "host/sim/SimFileURLs.h"
#include "host/sim/SimFinder.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;

fs::path madeFolder(const fs::path& path) {
  fs::create_directories(path);
  return path;
}

// Everything below a folder, links unfollowed: path, kind and content.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    if (entry.is_symlink()) {
      found[name] = "link to " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      found[name] = "folder";
    } else {
      std::ifstream in(entry.path());
      found[name] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return found;
}

// Finder confined to "Caja", beside a folder "Fuera" it must never touch. Inside,
// Docs holds a.txt, a folder Fotos, and links that lead outside: "enlace" to Fuera
// and "enlace.txt" to Fuera/secreto.txt. Every test ends with Fuera as it began.
class FinderConfinementTest : public ::testing::Test {
 protected:
  FinderConfinementTest() {
    madeFolder(root() / "Docs/Fotos");
    madeFolder(outside() / "Carpeta");
    std::ofstream(root() / "Docs/a.txt") << "a";
    std::ofstream(outside() / "secreto.txt") << "secreto";
    std::ofstream(outside() / "Carpeta/x.txt") << "x";
    fs::create_directory_symlink(outside(), root() / "Docs/enlace");
    fs::create_symlink(outside() / "secreto.txt", root() / "Docs/enlace.txt");
    outsideBefore_ = snapshot(outside());
    desktop_.workspace.bringToFront(finder_.application());
    docs_ = finder_.openWindow(root() / "Docs");
  }
  void TearDown() override {
    EXPECT_EQ(snapshot(outside()), outsideBefore_) << "Finder changed what lies outside its root";
  }

  const fs::path& root() const { return root_; }
  fs::path outside() const { return outer_.path() / "Fuera"; }
  void key(std::uint16_t code, std::uint64_t flags = 0) {
    desktop_.events.inject(InputEvent::keyboard(code, true, flags));
    desktop_.events.inject(InputEvent::keyboard(code, false, flags));
  }
  void finderActs() { desktop_.time.advance(finder_.latency); }
  // Another application puts these files on the pasteboard as path URLs.
  void copyElsewhere(const std::vector<fs::path>& files) {
    std::vector<PasteboardItemData> items;
    for (const auto& file : files) {
      const std::string url = SimFileURLs::pathURL(file);
      items.push_back({{{"public.file-url", Bytes(url.begin(), url.end())}}});
    }
    desktop_.pasteboard.clearContents();
    desktop_.pasteboard.writeItems(items);
  }
  // What a window lists, as far as it lets them be selected.
  std::vector<std::string> listed(int window, std::vector<std::string> candidates) {
    finder_.select(window, candidates);
    return finder_.selection(window);
  }

  testing::TemporaryFolder outer_;
  fs::path root_ = madeFolder(outer_.path() / "Caja");
  std::map<std::string, std::string> outsideBefore_;
  SimDesktop desktop_;
  SimFinder finder_{desktop_, root_, root_ / "Papelera"};
  int docs_ = 0;
};

TEST_F(FinderConfinementTest, TheTestInterfaceRefusesWhatLiesOutsideTheRoot) {
  for (const fs::path& folder : {outside(), root() / "..", root() / "Docs/enlace",
                                 root() / "Docs/../../Fuera", fs::path("/")}) {
    EXPECT_THROW(finder_.openWindow(folder), std::invalid_argument) << folder;
  }
  EXPECT_THROW(SimFinder(desktop_, root(), outside() / "Papelera"), std::invalid_argument);
  EXPECT_THROW(SimFinder(desktop_, root() / "no-such-folder", root() / "Papelera"),
               std::invalid_argument);
  EXPECT_TRUE(finder_.isInsideRoot(root() / "Docs/Fotos/../a.txt"));
  EXPECT_TRUE(finder_.isInsideRoot(root() / "Docs/not-yet-there"));
  EXPECT_FALSE(finder_.isInsideRoot(root() / "Docs/enlace/Carpeta"));
  EXPECT_FALSE(finder_.isInsideRoot(outer_.path() / "Caja2"));
}

TEST_F(FinderConfinementTest, EnclosingFolderStopsAtTheRoot) {
  for (int i = 0; i < 3; ++i) {
    key(126, EventFlags::command);  // ⌘↑, pressed faster than Finder acts
  }
  finderActs();
  finderActs();
  EXPECT_EQ(fs::canonical(finder_.folder(docs_)), root());
  key(126, EventFlags::command);
  finderActs();
  EXPECT_EQ(fs::canonical(finder_.folder(docs_)), root());
  EXPECT_EQ(listed(docs_, {"Docs", "Fuera", "Caja"}), std::vector<std::string>{"Docs"});
}

TEST_F(FinderConfinementTest, ColumnViewAtTheRootShowsNoEnclosingColumn) {
  const int window = finder_.openWindow(root(), SimFinder::View::column);
  auto& ax = desktop_.accessibility;
  const AXElement focused =
      *ax.copyAttribute(ax.application(finder_.processID()), "AXFocusedUIElement")
           .value.as<AXElement>();
  const AXElement scrollArea = *ax.copyAttribute(focused, "AXParent").value.as<AXElement>();
  const AXElement browser = *ax.copyAttribute(scrollArea, "AXParent").value.as<AXElement>();
  EXPECT_EQ(ax.copyAttribute(browser, "AXChildren").value.as<AXValue::Array>()->size(), 1u);
  EXPECT_EQ(listed(window, {"Docs"}), std::vector<std::string>{"Docs"});
}

TEST_F(FinderConfinementTest, OpeningALinkThatLeadsOutsideOpensNothing) {
  finder_.select(docs_, {"enlace", "enlace.txt"});
  key(125, EventFlags::command);  // ⌘↓
  finderActs();
  EXPECT_EQ(finder_.folder(docs_), root() / "Docs");
  EXPECT_TRUE(finder_.openedFiles().empty());
}

TEST_F(FinderConfinementTest, RecentsAndSearchResultsListNothingOutside) {
  const std::vector<fs::path> files{outside() / "secreto.txt", root() / "Docs/enlace.txt",
                                    root() / "Docs/../../Fuera/Carpeta", root() / "Docs/a.txt"};
  const std::vector<std::string> names{"secreto.txt", "enlace.txt", "Carpeta", "a.txt"};
  EXPECT_EQ(listed(finder_.openRecents(files), names), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(listed(finder_.openSearchResults("t", files), names),
            std::vector<std::string>{"a.txt"});
}

TEST_F(FinderConfinementTest, FilesCopiedFromOutsideAreNeitherPastedNorMovedIn) {
  finder_.openWindow(madeFolder(root() / "Destino"));
  for (const fs::path& file :
       {outside() / "secreto.txt", root() / "Docs/enlace.txt", root() / "Docs/enlace/Carpeta",
        root() / "Docs/../../Fuera/Carpeta"}) {
    copyElsewhere({file, root() / "Docs/a.txt"});
    key(9, EventFlags::command);                       // ⌘V
    key(9, EventFlags::command | EventFlags::option);  // ⌥⌘V
    finderActs();
    EXPECT_TRUE(fs::is_empty(root() / "Destino")) << file;
    EXPECT_TRUE(fs::exists(root() / "Docs/a.txt")) << file;
  }
}

TEST_F(FinderConfinementTest, LinksThatLeadOutsideAreNeitherCopiedNorTrashed) {
  finder_.select(docs_, {"enlace", "enlace.txt"});
  const auto changes = desktop_.pasteboard.changeCount();
  key(8, EventFlags::command);  // ⌘C
  finderActs();
  EXPECT_EQ(desktop_.pasteboard.changeCount(), changes);
  key(51, EventFlags::command);  // ⌘⌫
  finderActs();
  EXPECT_TRUE(fs::is_symlink(root() / "Docs/enlace"));
  EXPECT_TRUE(fs::is_symlink(root() / "Docs/enlace.txt"));
  EXPECT_FALSE(fs::exists(root() / "Papelera/enlace"));
}

TEST_F(FinderConfinementTest, ACopiedFolderKeepsItsLinksAsLinks) {
  fs::create_directory_symlink(outside(), root() / "Docs/Fotos/fuera");
  finder_.select(docs_, {"Fotos"});
  key(8, EventFlags::command);  // ⌘C
  finderActs();
  key(9, EventFlags::command);  // ⌘V
  finderActs();
  EXPECT_TRUE(fs::is_symlink(root() / "Docs/Fotos 2/fuera"));
}

}  // namespace
}  // namespace mirlet::sim
