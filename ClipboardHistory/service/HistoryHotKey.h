#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ClipboardHistory/service/GlobalHotKey.h"
#include "ClipboardHistory/service/HistoryPreferences.h"
#include "ClipboardHistory/service/HotKeyStatus.h"
#include "core/MainLoop.h"
#include "core/Signal.h"
#include "host/HotKeys.h"
#include "host/KeyboardLayoutSource.h"

namespace mirlet {

// The global hot key that opens the panel: registered while the feature runs, its
// status published. A new combination is kept only once it is registered (or, while
// stopped, once it is valid); a refused one gives the previous one back.
class HistoryHotKey {
 public:
  HistoryHotKey(HotKeys& hotKeys, MainLoop& mainLoop, const KeyboardLayoutSource& layout,
                HistoryPreferences& preferences);

  const ObservableView<HotKeyStatus>& status() const { return status_; }
  [[nodiscard]] Subscription observePresses(std::function<void()> observer) {
    return hotKey_.observePresses(std::move(observer));
  }

  // Registers the kept combination, until `stop`.
  void start();
  void stop();
  HotKeyStatus set(const std::optional<HotKeyCombo>& combo);
  // The combination as this desktop writes it.
  std::string label(const HotKeyCombo& combo) const;
  // The registered combination's label.
  std::optional<std::string> registeredLabel() const;
  ShortcutStyle shortcutStyle() const { return layout_.shortcutStyle(); }

 private:
  GlobalHotKey hotKey_;
  const KeyboardLayoutSource& layout_;
  HistoryPreferences& preferences_;
  Observable<HotKeyStatus> status_{HotKeyStatus::none};
  bool running_ = false;
};

}  // namespace mirlet
