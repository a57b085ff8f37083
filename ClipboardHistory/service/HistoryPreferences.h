#pragma once

#include <functional>
#include <optional>

#include "ClipboardHistory/model/ClipboardHistorySettings.h"
#include "core/Preferences.h"
#include "core/Signal.h"

namespace mirlet {

// The history's settings as the user left them, published and kept in the
// preferences under the feature's id, and whether the panel was ever opened.
class HistoryPreferences {
 public:
  explicit HistoryPreferences(Preferences& preferences);

  const ObservableView<ClipboardHistorySettings>& settings() const { return settings_; }
  const ObservableView<bool>& hasOpenedPanel() const { return hasOpenedPanel_; }

  // Applies `change` and keeps the result; answers whether anything changed.
  bool update(const std::function<void(ClipboardHistorySettings&)>& change);
  // Keeps `combo` as the hot key, and only that.
  void setHotKey(const std::optional<HotKeyCombo>& combo);
  void notePanelOpened();

 private:
  Preferences& preferences_;
  Observable<ClipboardHistorySettings> settings_;
  Observable<bool> hasOpenedPanel_;
};

}  // namespace mirlet
