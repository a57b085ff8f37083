#include "ClipboardHistory/model/ClipboardHistorySettings.h"

#include <algorithm>
#include <charconv>

namespace mirlet {
namespace {

using Values = ClipboardHistorySettings::Values;

std::optional<std::string_view> value(const Values& values, const std::string& key) {
  auto found = values.find(key);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

bool flag(const Values& values, const std::string& key, bool fallback) {
  auto text = value(values, key);
  if (text == "true") return true;
  if (text == "false") return false;
  return fallback;
}

std::optional<int> storedResetAfter(const Values& values) {
  auto text = value(values, "resetAfter");
  if (!text) return 5;
  if (*text == "never") return std::nullopt;
  int minutes = 0;
  auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), minutes);
  if (error != std::errc() || end != text->data() + text->size()) return 5;
  const auto& choices = ClipboardHistorySettings::resetChoices;
  return std::find(choices.begin(), choices.end(), std::optional<int>(minutes)) != choices.end()
             ? std::optional<int>(minutes)
             : std::optional<int>(5);
}

std::optional<HotKeyCombo> storedHotKey(const Values& values) {
  auto text = value(values, "hotKey");
  if (!text) return HotKeyCombo::defaultCombo();
  if (*text == "none") return std::nullopt;
  auto combo = HotKeyCombo::fromRawValue(*text);
  if (!combo || combo->validate()) return HotKeyCombo::defaultCombo();
  return combo;
}

std::string text(bool flag) { return flag ? "true" : "false"; }

}  // namespace

ClipboardHistorySettings ClipboardHistorySettings::fromValues(const Values& values) {
  ClipboardHistorySettings settings;
  if (auto limit = value(values, "limit")) {
    settings.limit = HistoryLimit::fromRawValue(*limit).value_or(HistoryLimits::defaultLimit);
  }
  settings.chooseAction =
      value(values, "chooseAction") == "copy" ? ChooseAction::copy : ChooseAction::paste;
  settings.promoteOnUse = flag(values, "promoteOnUse", true);
  settings.ignorePrivate = flag(values, "ignorePrivate", true);
  settings.playSound = flag(values, "playSound", false);
  const auto size = value(values, "tileSize");
  settings.tileSize = size == "small"   ? TileSize::small
                      : size == "large" ? TileSize::large
                                        : TileSize::medium;
  settings.alwaysShowInfo = flag(values, "alwaysShowInfo", false);
  settings.keepOnTop = flag(values, "keepOnTop", false);
  settings.fetchLinkTitles = flag(values, "fetchLinkTitles", false);
  settings.resetAfterMinutes = storedResetAfter(values);
  settings.hotKey = storedHotKey(values);
  return settings;
}

Values ClipboardHistorySettings::values() const {
  constexpr std::array<std::string_view, 3> kTileSizes{"small", "medium", "large"};
  return {
      {"limit", limit.rawValue()},
      {"chooseAction", chooseAction == ChooseAction::copy ? "copy" : "paste"},
      {"promoteOnUse", text(promoteOnUse)},
      {"ignorePrivate", text(ignorePrivate)},
      {"playSound", text(playSound)},
      {"tileSize", std::string(kTileSizes[static_cast<std::size_t>(tileSize)])},
      {"alwaysShowInfo", text(alwaysShowInfo)},
      {"keepOnTop", text(keepOnTop)},
      {"fetchLinkTitles", text(fetchLinkTitles)},
      {"resetAfter", resetAfterMinutes ? std::to_string(*resetAfterMinutes) : "never"},
      {"hotKey", hotKey ? hotKey->rawValue() : "none"},
  };
}

}  // namespace mirlet
