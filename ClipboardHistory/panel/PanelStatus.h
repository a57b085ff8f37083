#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ClipboardHistory/panel/HistorySection.h"
#include "ClipboardHistory/panel/PanelMessage.h"
#include "ClipboardHistory/service/HotKeyStatus.h"

namespace mirlet {

// One row of the panel's status area: a symbol, a text and perhaps a button.
struct PanelStatusRow {
  enum class Button { resume, grantAccessibility, openSettings };

  std::string symbol;
  std::string text;
  std::optional<Button> button;

  friend bool operator==(const PanelStatusRow&, const PanelStatusRow&) = default;
};

// What the clipboard history's state gives the status area, top to bottom.
struct PanelStatusInput {
  bool isPaused = false;
  std::optional<PanelMessage> message;
  HotKeyStatus hotKeyStatus;
  std::optional<std::string> hotKeyLabel;  // of the configured combination
  bool privateItemsAvailable = true;
};

// The rows that apply, in order; none when all is well (the area is then hidden).
std::vector<PanelStatusRow> panelStatusRows(const PanelStatusInput& input);

// What an empty grid says.
struct PanelEmptyState {
  std::string title;
  std::string text;
  friend bool operator==(const PanelEmptyState&, const PanelEmptyState&) = default;
};

PanelEmptyState panelEmptyState(const HistorySection& section, std::string_view query,
                                const std::optional<std::string>& hotKeyLabel);

// The title of a button of the status area.
std::string_view panelStatusButtonTitle(PanelStatusRow::Button button);

}  // namespace mirlet
