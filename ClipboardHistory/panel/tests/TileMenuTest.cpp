#include "ClipboardHistory/panel/TileMenu.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/panel/testing/NoPanelWindow.h"
#include "ClipboardHistory/testing/SimulatedClipboardHistory.h"
#include "host/sim/DesktopScenario.h"

namespace mirlet {
namespace {

class TileMenuTest : public ::testing::Test {
 protected:
  TileMenuTest() {
    scenario_.activate(scenario_.textEdit);
    for (std::string_view text : {"uno", "ana@ejemplo.es", "tres"}) {
      scenario_.copyText(scenario_.textEdit, text);
      scenario_.rest(0.5);
    }
    model_.activate(true);
  }

  Uuid idOf(std::string_view text) const {
    for (const ClipboardItem& item : feature_.store().get().items()) {
      if (item.text == text) return item.id;
    }
    ADD_FAILURE() << "no item " << text;
    return {};
  }
  static std::vector<std::string> titles(const std::vector<TileMenu::Entry>& entries) {
    std::vector<std::string> result;
    for (const auto& entry : entries) result.push_back(entry.title);
    return result;
  }

  sim::DesktopScenario scenario_;
  mirlet::testing::SimulatedClipboardHistory history_{scenario_.desktop};
  ClipboardHistoryFeature& feature_ = history_.feature();
  mirlet::testing::NoPanelWindow window_;
  sim::SimDesktop& d_ = scenario_.desktop;
  HistoryPanelModel model_{
      feature_, HistoryPanelServices{window_, d_.workspace, d_.accessibility, d_.time, d_.time,
                                     d_.time, CalendarSettings{}}};
};

TEST_F(TileMenuTest, ItActsOnTheSelectionOnlyWhenTheClickedTileIsPartOfIt) {
  model_.click(idOf("uno"), true, false);  // "tres" and "uno" selected
  EXPECT_EQ(TileMenu(model_, feature_, idOf("uno")).ids(),
            (std::vector<Uuid>{idOf("tres"), idOf("uno")}));
  EXPECT_EQ(TileMenu(model_, feature_, idOf("ana@ejemplo.es")).ids(),
            std::vector<Uuid>{idOf("ana@ejemplo.es")});
}

TEST_F(TileMenuTest, ATextOffersNeitherOpeningNorRevealingNorMail) {
  const Uuid list = feature_.createList("Compras");
  const auto entries = TileMenu(model_, feature_, idOf("uno")).entries();
  EXPECT_EQ(titles(entries), (std::vector<std::string>{
                                 "Pegar", "Pegar sin formato", "Copiar", "Copiar sin formato",
                                 "Cortar", "Añadir a Favoritos", "Añadir a lista", "Eliminar"}));
  EXPECT_EQ(entries[6].entries,
            (std::vector<TileMenu::Entry>{{"Compras", TileMenu::AddToList{list}, {}},
                                          {"Nueva lista", TileMenu::AddToNewList{}, {}}}));

  model_.setSection(HistorySections::List{list});
  feature_.setFavorite(true, {idOf("uno")});
  const auto inList = titles(TileMenu(model_, feature_, idOf("uno")).entries());
  EXPECT_EQ(inList[5], "Quitar de Favoritos");
  EXPECT_NE(std::ranges::find(inList, "Quitar de esta lista"), inList.end());
}

TEST_F(TileMenuTest, AnAddressOffersAMailAndItsEntriesReachTheFeature) {
  TileMenu menu(model_, feature_, idOf("ana@ejemplo.es"));
  const auto entries = titles(menu.entries());
  ASSERT_NE(std::ranges::find(entries, "Redactar correo"), entries.end());
  menu.perform(TileMenu::ComposeEmail{});
  EXPECT_EQ(d_.workspace.openedURLs(), std::vector<std::string>{"mailto:ana@ejemplo.es"});

  menu.perform(TileMenu::AddToNewList{});
  ASSERT_EQ(feature_.store().get().lists().size(), 1u);
  EXPECT_EQ(feature_.store().get().lists()[0].itemIDs, std::vector<Uuid>{idOf("ana@ejemplo.es")});

  menu.perform(TileMenu::Remove{});
  EXPECT_EQ(feature_.store().get().items().size(), 2u);
  EXPECT_TRUE(model_.canUndo());
}

}  // namespace
}  // namespace mirlet
