#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "ClipboardHistory/model/HistoryLimit.h"
#include "ClipboardHistory/model/HotKeyCombo.h"

namespace mirlet {

// Every option of the clipboard history, with its defaults and its stored form: a
// flat dictionary of string keys to string values.
struct ClipboardHistorySettings {
  enum class ChooseAction { paste, copy };
  enum class TileSize { small, medium, large };

  HistoryLimit limit = HistoryLimits::defaultLimit;
  ChooseAction chooseAction = ChooseAction::paste;
  bool promoteOnUse = true;
  bool ignorePrivate = true;
  bool playSound = false;
  TileSize tileSize = TileSize::medium;
  bool alwaysShowInfo = false;
  bool keepOnTop = false;
  bool fetchLinkTitles = false;
  std::optional<int> resetAfterMinutes = 5;  // nothing: never
  std::optional<HotKeyCombo> hotKey = HotKeyCombo::defaultCombo();

  using Values = std::map<std::string, std::string>;

  static constexpr std::array<std::string_view, 11> keys{
      "limit",          "chooseAction", "promoteOnUse",    "ignorePrivate", "playSound", "tileSize",
      "alwaysShowInfo", "keepOnTop",    "fetchLinkTitles", "resetAfter",    "hotKey"};
  static constexpr std::array<std::optional<int>, 6> resetChoices{std::nullopt, 0, 1, 5, 15, 60};

  // Reads the stored form; a missing key or an unusable value gives that field's
  // default and leaves the others alone.
  static ClipboardHistorySettings fromValues(const Values& values);
  // Always all eleven keys.
  Values values() const;

  friend bool operator==(const ClipboardHistorySettings&,
                         const ClipboardHistorySettings&) = default;
};

}  // namespace mirlet
