#include "core/ShortcutText.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

TEST(ShortcutTextTest, PcDesktopsNameTheKeysThatGiveEachModifier) {
  const auto pc = [](std::string_view text) {
    return shortcutText(text, ShortcutStyle::names);
  };
  EXPECT_EQ(pc("Pulsa ⌘Z para deshacer."), "Pulsa Ctrl+Z para deshacer.");
  EXPECT_EQ(pc("⌥⌘V"), "Alt+Ctrl+V");
  EXPECT_EQ(pc("Grande (⌘+)"), "Grande (Ctrl++)");
  EXPECT_EQ(pc("Pequeño (⌘−)"), "Pequeño (Ctrl+−)");
  EXPECT_EQ(pc("mientras mantienes ⌥."), "mientras mantienes Alt.");
  EXPECT_EQ(pc("⇧⌃1"), "Mayús+Super+1");
  EXPECT_EQ(pc("sin atajos"), "sin atajos");
  EXPECT_EQ(shortcutText("Pulsa ⌘Z.", ShortcutStyle::symbols), "Pulsa ⌘Z.");
}

}  // namespace
}  // namespace mirlet
