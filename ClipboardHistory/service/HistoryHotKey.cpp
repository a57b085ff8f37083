#include "ClipboardHistory/service/HistoryHotKey.h"

#include "host/KeyboardLayout.h"

namespace mirlet {

HistoryHotKey::HistoryHotKey(HotKeys& hotKeys, MainLoop& mainLoop,
                             const KeyboardLayoutSource& layout, HistoryPreferences& preferences)
    : hotKey_(hotKeys, mainLoop), layout_(layout), preferences_(preferences) {}

void HistoryHotKey::start() {
  const auto& combo = preferences_.settings().get().hotKey;
  status_.set(combo ? hotKey_.registerCombo(*combo) : HotKeyStatus::none);
  running_ = true;
}

void HistoryHotKey::stop() {
  running_ = false;
  hotKey_.unregister();
  if (status_.get() != HotKeyStatus::none) status_.set(HotKeyStatus::none);
}

HotKeyStatus HistoryHotKey::set(const std::optional<HotKeyCombo>& combo) {
  if (!combo) {
    preferences_.setHotKey(std::nullopt);
    if (!running_) return status_.get();
    hotKey_.unregister();
    status_.set(HotKeyStatus::none);
    return HotKeyStatus::none;
  }
  if (auto error = combo->validate()) return HotKeyStatus::invalid(*error);
  if (!running_) {
    preferences_.setHotKey(combo);
    return status_.get();
  }
  if (combo == preferences_.settings().get().hotKey && hotKey_.isRegistered()) return status_.get();
  const HotKeyStatus result = hotKey_.registerCombo(*combo);
  if (result == HotKeyStatus::registered) {
    preferences_.setHotKey(combo);
    status_.set(result);
    return result;
  }
  // The new combination is not kept; the previous one comes back.
  const auto& previous = preferences_.settings().get().hotKey;
  status_.set(previous ? hotKey_.registerCombo(*previous) : HotKeyStatus::none);
  return result;
}

std::string HistoryHotKey::label(const HotKeyCombo& combo) const {
  return combo.label(KeyboardLayout(layout_).keyLabel(combo.keyCode), layout_.shortcutStyle());
}

std::optional<std::string> HistoryHotKey::registeredLabel() const {
  const auto& combo = preferences_.settings().get().hotKey;
  if (!combo || status_.get() != HotKeyStatus::registered) return std::nullopt;
  return label(*combo);
}

}  // namespace mirlet
