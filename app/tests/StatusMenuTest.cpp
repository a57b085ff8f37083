#include "app/StatusMenu.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using Action = StatusMenuItem::Action;

std::vector<std::string> titles(const std::vector<StatusMenuItem>& items) {
  std::vector<std::string> result;
  for (const auto& item : items) result.push_back(item.isSeparator() ? "---" : item.title);
  return result;
}

TEST(StatusMenuTest, BaseItemsInOrder) {
  auto items = StatusMenu::baseItems(false);
  EXPECT_EQ(titles(items),
            (std::vector<std::string>{"Abrir Mirlet", "Ajustes…", "---", "Acerca de Mirlet",
                                      "Buscar actualizaciones…", "---", "Salir de Mirlet"}));
  EXPECT_EQ(items[1].keyEquivalent, ",");
  EXPECT_EQ(items[6].keyEquivalent, "q");
  EXPECT_FALSE(items[4].enabled);
  EXPECT_EQ(items[4].action, Action::none);

  auto withUpdater = StatusMenu::baseItems(true);
  EXPECT_TRUE(withUpdater[4].enabled);
  EXPECT_EQ(withUpdater[4].action, Action::checkForUpdates);
}

TEST(StatusMenuTest, ClipboardItemsFollowTheFirstSeparatorAndAreNeverDuplicated) {
  auto items = StatusMenu::baseItems(false);
  StatusMenu::updateClipboardItems(items, StatusMenu::ClipboardState{});
  StatusMenu::updateClipboardItems(items, StatusMenu::ClipboardState{});
  EXPECT_EQ(titles(items),
            (std::vector<std::string>{"Abrir Mirlet", "Ajustes…", "---", "Abrir historial",
                                      "Pausar historial", "---", "Acerca de Mirlet",
                                      "Buscar actualizaciones…", "---", "Salir de Mirlet"}));
  EXPECT_EQ(items[3].action, Action::openHistory);
  EXPECT_EQ(items[4].action, Action::toggleHistoryPause);
  EXPECT_EQ(items[5].tag, StatusMenu::kClipboardItemTag);
}

TEST(StatusMenuTest, ClipboardItemsShowTheHotKeyAndThePause) {
  auto items = StatusMenu::baseItems(false);
  StatusMenu::updateClipboardItems(items, StatusMenu::ClipboardState{true, "⌃⌥V"});
  EXPECT_EQ(items[3].title, "Abrir historial (⌃⌥V)");
  EXPECT_EQ(items[4].title, "Reanudar historial");
}

TEST(StatusMenuTest, StoppedClipboardRemovesItsItems) {
  auto items = StatusMenu::baseItems(false);
  StatusMenu::updateClipboardItems(items, StatusMenu::ClipboardState{});
  StatusMenu::updateClipboardItems(items, std::nullopt);
  EXPECT_EQ(items, StatusMenu::baseItems(false));
}

TEST(StatusMenuTest, ShortMenuTakesTheItemsAtItsEnd) {
  std::vector<StatusMenuItem> items{{"Solo", Action::quit, "", true, 0}};
  StatusMenu::updateClipboardItems(items, StatusMenu::ClipboardState{});
  EXPECT_EQ(titles(items),
            (std::vector<std::string>{"Solo", "Abrir historial", "Pausar historial", "---"}));
}

}  // namespace
}  // namespace mirlet
