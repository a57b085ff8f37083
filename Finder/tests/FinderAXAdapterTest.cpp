#include "Finder/FinderAXAdapter.h"

#include <gtest/gtest.h>

#include <fstream>

#include "Finder/FinderCutError.h"
#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFinder.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;
using View = SimFinder::View;

TEST(FinderCommandNamesTest, TitlesMatchWithTheirPlaceholdersFilled) {
  const FinderCommandNames names{{"Copiar"},
                                 {"Copiar “^1”"},
                                 {"Copiar ^0 ítems"},
                                 {"Mover ítem aquí"},
                                 {"Mover ^0 ítems aquí"}};
  const std::vector<std::string> one{"a.txt"}, two{"a.txt", "b.txt"};
  EXPECT_TRUE(names.isCopy("_NS:8", "Copiar", two));
  EXPECT_TRUE(names.isCopy("_NS:8", "Copiar “a.txt”", one));
  EXPECT_FALSE(names.isCopy("_NS:8", "Copiar “b.txt”", one));
  EXPECT_FALSE(names.isCopy("_NS:8", "Copiar “a.txt”", two));
  EXPECT_TRUE(names.isCopy("_NS:8", "Copiar 2 ítems", two));
  EXPECT_FALSE(names.isCopy("_NS:8", "Copiar 3 ítems", two));
  EXPECT_FALSE(names.isCopy("_NS:9", "Copiar", two));
  EXPECT_FALSE(names.isCopy("_NS:8", "Copiar", {}));
  EXPECT_TRUE(names.isMove("_NS:38", "Mover ítem aquí", 1));
  EXPECT_FALSE(names.isMove("_NS:38", "Mover ítem aquí", 2));
  EXPECT_TRUE(names.isMove("_NS:38", "Mover 2 ítems aquí", 2));
  EXPECT_FALSE(names.isMove("_NS:38", "Mover ítem aquí", 0));
  EXPECT_FALSE(names.isMove(std::nullopt, "Mover ítem aquí", 1));
}

TEST(FinderCommandNamesTest, EveryLocalizationCountsAndTheCopyAndMoveAreRequired) {
  SimBundleResources bundles;
  EXPECT_THROW(FinderCommandNames::installed(bundles), FinderCutError);
  bundles.install(FinderBundle::path, "es", FinderCommandNames::kTableName,
                  {{"ME2", "Copiar"}, {"N66_V1", "Mover ítem aquí"}});
  bundles.install(FinderBundle::path, "en", FinderCommandNames::kTableName,
                  {{"ME2", "Copy"}, {"N66_V1", "Move Item Here"}, {"N47_V3", "Copy ^0 Items"}});
  const auto names = FinderCommandNames::installed(bundles);
  EXPECT_EQ(names.copy, (std::vector<std::string>{"Copiar", "Copy"}));
  EXPECT_EQ(names.copyMany, std::vector<std::string>{"Copy ^0 Items"});
  EXPECT_TRUE(names.copyOne.empty());
  SimBundleResources noMove;
  noMove.install(FinderBundle::path, "es", FinderCommandNames::kTableName, {{"ME2", "Copiar"}});
  EXPECT_THROW(FinderCommandNames::installed(noMove), FinderCutError);
}

TEST(FinderClipboardProofTest, OneChangeAndTheSameFilesInAnyOrder) {
  const std::vector<std::string> files{"file:///a", "file:///b"};
  const std::vector<std::string> reversed{"file:///b", "file:///a"};
  EXPECT_TRUE(FinderClipboardProof::matches(files, reversed, 4, 5));
  EXPECT_FALSE(FinderClipboardProof::matches(files, reversed, 4, 6));  // another writer too
  EXPECT_FALSE(FinderClipboardProof::matches(files, reversed, 4, 4));
  EXPECT_FALSE(FinderClipboardProof::matches(files, {"file:///a"}, 4, 5));
  EXPECT_FALSE(FinderClipboardProof::matches({}, {}, 4, 5));
  EXPECT_FALSE(FinderClipboardProof::matches({"https://a"}, {"https://a"}, 4, 5));
  EXPECT_FALSE(FinderClipboardProof::matches(files, files, INT64_MAX, INT64_MIN));
}

TEST(FinderFileViewsTest, ColumnsAreKnownByTheirBrowserWithinThreeLevels) {
  using Node = FinderFileViews::RoleAndIdentifier;
  const Node list{"AXList", std::nullopt};
  const Node browser{"AXBrowser", "ColumnView"};
  const Node scroll{"AXScrollArea", std::nullopt};
  EXPECT_EQ(FinderFileViews::classify(list, {scroll, browser}), FinderFileView::column);
  EXPECT_EQ(FinderFileViews::classify(list, {scroll, scroll, browser}), FinderFileView::column);
  EXPECT_EQ(FinderFileViews::classify(list, {scroll, scroll, scroll, browser}), std::nullopt);
  EXPECT_EQ(FinderFileViews::classify({"AXList", "IconView"}, {}), FinderFileView::icon);
  EXPECT_EQ(FinderFileViews::classify({"AXList", "GalleryView"}, {}), FinderFileView::gallery);
  EXPECT_EQ(FinderFileViews::classify({"AXList", "Sidebar"}, {browser}), std::nullopt);
  EXPECT_EQ(FinderFileViews::classify({"AXOutline", "ListView"}, {}), FinderFileView::list);
  EXPECT_EQ(FinderFileViews::classify({std::nullopt, "ListView"}, {}), std::nullopt);
}

// The adapter over the simulated Finder showing "Docs" (a.txt, b.txt), in front.
class FinderAXAdapterTest : public ::testing::Test {
 protected:
  FinderAXAdapterTest() {
    fs::create_directories(root() / "Docs");
    for (const char* name : {"a.txt", "b.txt"}) std::ofstream(root() / "Docs" / name) << name;
    desktop().trust.trusted = true;
    scenario_.activate(finder_.application());
    window_ = finder_.openWindow(root() / "Docs");
    finder_.select(window_, {"a.txt", "b.txt"});
  }
  SimDesktop& desktop() { return scenario_.desktop; }
  fs::path root() const { return folder_.path(); }
  std::string url(const std::string& name) { return "file://" + (root() / "Docs" / name).string(); }
  Bytes urlBytes(const std::string& name) {
    const std::string text = url(name);
    return Bytes(text.begin(), text.end());
  }
  // The node of the focused file view's child at `index`.
  std::shared_ptr<SimAXNode> item(std::size_t index) {
    auto focus = desktop().accessibility.copyAttribute(
        desktop().accessibility.application(finder_.processID()), "AXFocusedUIElement");
    return desktop().accessibility.node(*focus.value.as<AXElement>())->children().at(index);
  }
  std::optional<FinderAXSnapshot> inspect() { return adapter_.inspect(finder_.processID()); }

  testing::TemporaryFolder folder_;
  DesktopScenario scenario_;
  SimFinder finder_{desktop(), folder_.path(), folder_.path() / "Papelera"};
  int window_ = 0;
  FinderAXAdapter adapter_{{desktop().accessibility, desktop().workspace, desktop().time,
                            desktop().pasteboard, desktop().fileURLs},
                           FinderCommandNames::installed(desktop().bundles)};
};

TEST_F(FinderAXAdapterTest, InspectionGivesTheSelectedFilesAndThePlace) {
  const auto snapshot = inspect();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->files, (std::vector<std::string>{url("a.txt"), url("b.txt")}));
  EXPECT_EQ(snapshot->pathIdentity.back(), "file://" + (root() / "Docs").string() + "/");
  finder_.urlsAsStrings = true;
  finder_.setView(window_, View::icon);
  finder_.focusFileView(window_);
  finder_.select(window_, {"b.txt"});
  EXPECT_EQ(inspect()->files, std::vector<std::string>{url("b.txt")});
}

TEST_F(FinderAXAdapterTest, RowsThatNameOneFileTwiceOrTwoFilesAreRefused) {
  item(1)->children().at(0)->set("AXURL", AXURL{url("a.txt")});  // b's row names a.txt
  EXPECT_FALSE(inspect());
  finder_.setView(window_, View::list);
  finder_.focusFileView(window_);
  finder_.select(window_, {"a.txt"});
  ASSERT_TRUE(inspect());
  item(0)->children().at(1)->set("AXURL", AXURL{url("b.txt")});  // a's row names two files
  EXPECT_FALSE(inspect());
}

TEST_F(FinderAXAdapterTest, NothingIsAFileViewButFindersOwnFocusedOne) {
  finder_.focusSearchField(window_);
  EXPECT_FALSE(inspect());
  EXPECT_TRUE(adapter_.isEditingText(finder_.processID()));
  finder_.focusFileView(window_);
  finder_.minimize(window_);
  EXPECT_FALSE(inspect());
  scenario_.activate(scenario_.textEdit);
  EXPECT_FALSE(adapter_.focusedFileView(finder_.processID()));
  desktop().trust.trusted = false;
  EXPECT_FALSE(adapter_.isEditingText(finder_.processID()));
}

TEST_F(FinderAXAdapterTest, TheClipboardIsReadOnlyWhenEveryItemIsAFile) {
  desktop().pasteboard.writeItems({{{{"public.file-url", urlBytes("a.txt")}}}});
  const auto board = adapter_.clipboard();
  ASSERT_TRUE(board);
  EXPECT_EQ(board->files, std::vector<std::string>{url("a.txt")});
  desktop().pasteboard.clearContents();
  desktop().pasteboard.writeItems(
      {{{{"public.file-url", urlBytes("a.txt")}}}, {{{"public.utf8-plain-text", Bytes{'x'}}}}});
  EXPECT_FALSE(adapter_.clipboard());
}

TEST_F(FinderAXAdapterTest, TheCopyIsProvedAndAnotherWriterSpoilsTheProof) {
  const auto snapshot = inspect();
  const auto allowed = [] {
    return true;
  };
  const auto copied = adapter_.copy(*snapshot, allowed);
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->files.size(), 2u);
  // Another application writes while Finder copies.
  desktop().time.after(finder_.latency / 2,
                       [this] { scenario_.copyText(scenario_.textEdit, "x"); });
  EXPECT_FALSE(adapter_.copy(*inspect(), allowed));
  EXPECT_FALSE(adapter_.copy(*inspect(), [] { return false; }));
}

TEST_F(FinderAXAdapterTest, TwoMatchingMenuItemsPressNothing) {
  auto menu = finder_.ui().addMenu("Otro");
  finder_.ui().addMenuItem(
      menu, "_NS:8", [] { return std::string("Copiar 2 ítems"); }, [] { return true; }, [] {});
  const std::int64_t before = desktop().pasteboard.changeCount();
  EXPECT_FALSE(adapter_.copy(*inspect(), [] { return true; }));
  desktop().time.advance(1);
  EXPECT_EQ(desktop().pasteboard.changeCount(), before);
}

TEST_F(FinderAXAdapterTest, AMoveNeedsThePasteboardUnchangedSinceTheCopy) {
  const auto copied = adapter_.copy(*inspect(), [] { return true; });
  ASSERT_TRUE(copied);
  fs::create_directories(root() / "Otra");
  finder_.openWindow(root() / "Otra");
  desktop().pasteboard.clearContents();  // the same files copied again: a new count
  desktop().pasteboard.writeItems(
      {{{{"public.file-url", urlBytes("a.txt")}}}, {{{"public.file-url", urlBytes("b.txt")}}}});
  EXPECT_FALSE(adapter_.move(*inspect(), *copied, [] { return true; }));
  const auto again = adapter_.clipboard();
  EXPECT_TRUE(adapter_.move(*inspect(), *again, [] { return true; }));
  desktop().time.advance(1);
  EXPECT_TRUE(fs::exists(root() / "Otra/a.txt"));
}

}  // namespace
}  // namespace mirlet::sim
