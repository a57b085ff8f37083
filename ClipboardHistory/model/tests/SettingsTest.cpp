#include "ClipboardHistory/model/ClipboardHistorySettings.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using Settings = ClipboardHistorySettings;

Settings read(std::initializer_list<std::pair<const std::string, std::string>> values) {
  return Settings::fromValues(values);
}

TEST(SettingsTest, EmptyGivesDefaultsAndDefaultsRoundTrip) {
  EXPECT_EQ(Settings::fromValues({}), Settings());
  const Settings::Values stored = Settings().values();
  EXPECT_EQ(stored.size(), 11u);
  EXPECT_EQ(stored.at("hotKey"), "9:6");
  EXPECT_EQ(stored.at("limit"), "count:1000");
  EXPECT_EQ(stored.at("resetAfter"), "5");
  EXPECT_EQ(Settings::fromValues(stored), Settings());
}

TEST(SettingsTest, EveryFieldRoundTrips) {
  Settings settings;
  settings.limit = HistoryLimit::days(30);
  settings.chooseAction = Settings::ChooseAction::copy;
  settings.promoteOnUse = false;
  settings.ignorePrivate = false;
  settings.playSound = true;
  settings.tileSize = Settings::TileSize::large;
  settings.alwaysShowInfo = true;
  settings.keepOnTop = true;
  settings.fetchLinkTitles = true;
  settings.resetAfterMinutes = std::nullopt;
  settings.hotKey = std::nullopt;
  EXPECT_EQ(settings.values().at("resetAfter"), "never");
  EXPECT_EQ(settings.values().at("hotKey"), "none");
  EXPECT_EQ(Settings::fromValues(settings.values()), settings);
}

TEST(SettingsTest, UnusableValuesFallBackFieldByField) {
  const Settings settings = read({{"limit", "count:999"},
                                  {"tileSize", "huge"},
                                  {"promoteOnUse", "yes"},
                                  {"playSound", "yes"},
                                  {"chooseAction", "COPY"},
                                  {"keepOnTop", "true"}});
  EXPECT_EQ(settings.limit, HistoryLimit::count(1000));
  EXPECT_EQ(settings.tileSize, Settings::TileSize::medium);
  EXPECT_TRUE(settings.promoteOnUse);
  EXPECT_FALSE(settings.playSound);
  EXPECT_EQ(settings.chooseAction, Settings::ChooseAction::paste);
  EXPECT_TRUE(settings.keepOnTop);
}

TEST(SettingsTest, ResetAfter) {
  EXPECT_EQ(read({{"resetAfter", "15"}}).resetAfterMinutes, 15);
  EXPECT_EQ(read({{"resetAfter", "0"}}).resetAfterMinutes, 0);
  EXPECT_EQ(read({{"resetAfter", "10"}}).resetAfterMinutes, 5);
  EXPECT_EQ(read({{"resetAfter", "never"}}).resetAfterMinutes, std::nullopt);
  EXPECT_EQ(read({{"resetAfter", ""}}).resetAfterMinutes, 5);
  EXPECT_EQ(read({{"resetAfter", "-1"}}).resetAfterMinutes, 5);
  EXPECT_EQ(read({{"resetAfter", "15 "}}).resetAfterMinutes, 5);
}

TEST(SettingsTest, HotKey) {
  const HotKeyCombo defaultCombo = HotKeyCombo::defaultCombo();
  EXPECT_EQ(read({{"hotKey", "none"}}).hotKey, std::nullopt);
  EXPECT_EQ(read({{"hotKey", "9:6"}}).hotKey, defaultCombo);
  EXPECT_EQ(read({{"hotKey", "0:3"}}).hotKey, (HotKeyCombo{0, {3}}));
  for (const char* refused : {"9:1", "49:4", "9:16", "55:4", "x", "9:6:1", "65536:4", ""}) {
    EXPECT_EQ(read({{"hotKey", refused}}).hotKey, defaultCombo) << refused;
  }
}

TEST(HotKeyComboTest, RawValues) {
  EXPECT_EQ(HotKeyCombo::defaultCombo().rawValue(), "9:6");
  EXPECT_EQ(HotKeyCombo::fromRawValue("::9::6::"), (HotKeyCombo{9, {6}}));
  EXPECT_EQ(HotKeyCombo::fromRawValue("9"), std::nullopt);
  EXPECT_EQ(HotKeyCombo::fromRawValue("9:-1"), std::nullopt);
  EXPECT_EQ(HotKeyCombo::fromRawValue("-9:1"), std::nullopt);
  EXPECT_EQ(HotKeyCombo::fromRawValue("65535:15"), (HotKeyCombo{65535, {15}}));
}

TEST(HotKeyComboTest, Validation) {
  using Error = HotKeyCombo::ValidationError;
  const unsigned cmd = Modifiers::command, opt = Modifiers::option, ctrl = Modifiers::control,
                 shift = Modifiers::shift;
  EXPECT_EQ((HotKeyCombo{0, {opt | cmd}}).validate(), std::nullopt);
  EXPECT_EQ((HotKeyCombo{0, {opt | shift}}).validate(), Error::needsModifier);
  EXPECT_EQ((HotKeyCombo{0, {cmd | shift}}).validate(), Error::needsModifier);
  EXPECT_EQ((HotKeyCombo{49, {ctrl | opt | shift}}).validate(), std::nullopt);
  EXPECT_EQ((HotKeyCombo{49, {ctrl | opt}}).validate(), Error::reserved);
  EXPECT_EQ((HotKeyCombo{20, {ctrl | shift | cmd}}).validate(), Error::reserved);
  EXPECT_EQ((HotKeyCombo{58, {ctrl}}).validate(), Error::modifierOnly);
}

TEST(HotKeyComboTest, ModifierSymbolsInFixedOrder) {
  EXPECT_EQ(HotKeyCombo::defaultCombo().modifierSymbols(), "⌃⌥");
  EXPECT_EQ((HotKeyCombo{0, {15}}).modifierSymbols(), "⌃⌥⇧⌘");
  EXPECT_EQ((HotKeyCombo{0, {0}}).modifierSymbols(), "");
}

TEST(HotKeyComboTest, LabelsAsEachDesktopWritesThem) {
  EXPECT_EQ(HotKeyCombo::defaultCombo().label("V", ShortcutStyle::symbols), "⌃⌥V");
  EXPECT_EQ(HotKeyCombo::defaultCombo().label("V", ShortcutStyle::names), "Ctrl+Alt+V");
  EXPECT_EQ((HotKeyCombo{0, {15}}).label("A", ShortcutStyle::names), "Ctrl+Alt+Shift+Super+A");
}

}  // namespace
}  // namespace mirlet
