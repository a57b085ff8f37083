#include "ClipboardHistory/service/GlobalHotKey.h"

namespace mirlet {

GlobalHotKey::GlobalHotKey(HotKeys& hotKeys, MainLoop& mainLoop)
    : hotKeys_(hotKeys), mainLoop_(mainLoop) {}

GlobalHotKey::~GlobalHotKey() { unregister(); }

std::uint32_t GlobalHotKey::platformModifiers(Modifiers modifiers) {
  std::uint32_t bits = 0;
  if (modifiers.contains(Modifiers::command)) bits |= HotKeyModifiers::command;
  if (modifiers.contains(Modifiers::shift)) bits |= HotKeyModifiers::shift;
  if (modifiers.contains(Modifiers::option)) bits |= HotKeyModifiers::option;
  if (modifiers.contains(Modifiers::control)) bits |= HotKeyModifiers::control;
  return bits;
}

HotKeyStatus GlobalHotKey::registerCombo(const HotKeyCombo& combo) {
  unregister();
  auto result = hotKeys_.registerHotKey(combo.keyCode, platformModifiers(combo.modifiers),
                                        handoff_.bind([this] {
                                          // The press is handed to the main loop; it is dropped if
                                          // the object is gone or the combination was unregistered
                                          // meanwhile.
                                          handoff_.post(mainLoop_, [this] {
                                            if (registration_) pressed_.emit();
                                          });
                                        }));
  switch (result.status) {
    case HotKeys::Status::registered:
      registration_ = std::move(result.registration);
      return HotKeyStatus::registered;
    case HotKeys::Status::occupied:
      return HotKeyStatus::occupied;
    case HotKeys::Status::unavailable:
      return HotKeyStatus::unavailable;
  }
  return HotKeyStatus::unavailable;
}

void GlobalHotKey::unregister() { registration_.reset(); }

}  // namespace mirlet
