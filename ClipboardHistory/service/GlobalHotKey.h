#pragma once

#include <functional>
#include <memory>

#include "ClipboardHistory/model/HotKeyCombo.h"
#include "ClipboardHistory/service/HotKeyStatus.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/Signal.h"
#include "host/HotKeys.h"

namespace mirlet {

// The one system-wide key combination that opens the history panel. Presses are
// reported on the main loop, and only while the combination is registered.
class GlobalHotKey {
 public:
  GlobalHotKey(HotKeys& hotKeys, MainLoop& mainLoop);
  ~GlobalHotKey();
  GlobalHotKey(const GlobalHotKey&) = delete;
  GlobalHotKey& operator=(const GlobalHotKey&) = delete;

  // Replaces any earlier registration.
  HotKeyStatus registerCombo(const HotKeyCombo& combo);
  void unregister();
  bool isRegistered() const { return registration_ != nullptr; }

  // Presses of the registered combination, on the main loop.
  [[nodiscard]] Subscription observePresses(std::function<void()> observer) {
    return pressed_.connect([observer = std::move(observer)] { observer(); });
  }

  // The platform's modifier bits for a combination's modifiers.
  static std::uint32_t platformModifiers(Modifiers modifiers);

 private:
  HotKeys& hotKeys_;
  MainLoop& mainLoop_;
  std::unique_ptr<HotKeyRegistration> registration_;
  Signal<> pressed_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
