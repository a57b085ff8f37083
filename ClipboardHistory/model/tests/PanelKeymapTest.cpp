#include "ClipboardHistory/model/PanelKeymap.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using Action = PanelCommand::Action;
using Special = PanelKey::Special;
constexpr unsigned kCmd = Modifiers::command;
constexpr unsigned kOpt = Modifiers::option;
constexpr unsigned kCtrl = Modifiers::control;
constexpr unsigned kShift = Modifiers::shift;

struct KeyCase {
  PanelKey key;
  unsigned modifiers;
  std::optional<PanelCommand> expected;
};

std::optional<PanelCommand> act(Action action) { return PanelCommand{action}; }

class PanelKeymapTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(PanelKeymapTest, Maps) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(PanelKeymap::command(c.key, Modifiers{c.modifiers}), c.expected);
}

PanelKey chars(const char* text) { return PanelKey::characters(text); }
PanelKey special(Special key) { return PanelKey::special(key); }

INSTANTIATE_TEST_SUITE_P(
    Keys, PanelKeymapTest,
    ::testing::Values(
        KeyCase{chars("1"), kCmd, PanelCommand{Action::chooseIndex, 1}},
        KeyCase{chars("9"), kCmd, PanelCommand{Action::chooseIndex, 9}},
        KeyCase{chars("0"), kCmd, std::nullopt}, KeyCase{chars("10"), kCmd, std::nullopt},
        KeyCase{chars("1"), 0, std::nullopt}, KeyCase{chars("Z"), kCmd | kShift, act(Action::redo)},
        KeyCase{chars("z"), kCmd, act(Action::undo)},
        KeyCase{chars("="), kCmd, act(Action::largerTiles)},
        KeyCase{chars("+"), kCmd | kShift, act(Action::largerTiles)},
        KeyCase{chars("-"), kCmd | kShift, std::nullopt},
        KeyCase{chars("-"), kCmd, act(Action::smallerTiles)},
        KeyCase{chars("c"), kCmd | kOpt, act(Action::copyPlain)},
        KeyCase{chars("c"), kCmd | kCtrl, std::nullopt},
        KeyCase{chars("S"), kCmd | kCtrl, act(Action::toggleSidebar)},
        KeyCase{chars("N"), kCmd | kShift, act(Action::newList)},
        KeyCase{chars("a"), 0, std::nullopt}, KeyCase{chars(","), kCmd, act(Action::openSettings)},
        KeyCase{chars("p"), kCmd | kOpt, act(Action::togglePause)},
        KeyCase{special(Special::returnKey), 0, act(Action::choose)},
        KeyCase{special(Special::returnKey), kCmd, act(Action::chooseAlternate)},
        KeyCase{special(Special::returnKey), kOpt, act(Action::choosePlain)},
        KeyCase{special(Special::returnKey), kCmd | kOpt, std::nullopt},
        KeyCase{special(Special::down), kShift,
                PanelCommand{Action::extend, 0, PanelDirection::down}},
        KeyCase{special(Special::left), 0, PanelCommand{Action::move, 0, PanelDirection::left}},
        KeyCase{special(Special::down), kCmd, std::nullopt},
        KeyCase{special(Special::deleteBackward), 0, std::nullopt},
        KeyCase{special(Special::deleteForward), kCmd, act(Action::delete_)},
        KeyCase{special(Special::escape), 0, act(Action::close)},
        KeyCase{special(Special::space), 0, act(Action::quickLook)},
        KeyCase{special(Special::space), kShift, std::nullopt},
        KeyCase{special(Special::tab), 0, std::nullopt}));

// On PC desktops Supr alone removes, as file managers there do; ⌫ alone still
// does not (it edits the search), and the Mac's ⌘ forms stay.
TEST(PanelKeymapPcTest, SuprAloneRemovesOnDesktopsThatNameTheirModifiers) {
  const auto pc = ShortcutStyle::names;
  EXPECT_EQ(PanelKeymap::command(special(Special::deleteForward), Modifiers{}, pc),
            act(Action::delete_));
  EXPECT_EQ(PanelKeymap::command(special(Special::deleteForward), Modifiers{}), std::nullopt);
  EXPECT_EQ(PanelKeymap::command(special(Special::deleteBackward), Modifiers{}, pc), std::nullopt);
  EXPECT_EQ(PanelKeymap::command(special(Special::deleteBackward), Modifiers{kCmd}, pc),
            act(Action::delete_));
  EXPECT_EQ(PanelKeymap::command(special(Special::deleteForward), Modifiers{kShift}, pc),
            std::nullopt);
}

}  // namespace
}  // namespace mirlet
