#include "ClipboardHistory/panel/ShortcutRecording.h"

namespace mirlet {

void ShortcutRecording::modifierPressed(unsigned modifier) {
  held_.rawValue |= modifier;
  pressedAny_ = true;
}

bool ShortcutRecording::modifierReleased(unsigned modifier) {
  held_.rawValue &= ~modifier;
  return held_.rawValue == 0 && pressedAny_;
}

HotKeyCombo ShortcutRecording::keyPressed(std::uint16_t keyCode, Modifiers alsoHeld) const {
  return HotKeyCombo{keyCode, Modifiers{held_.rawValue | alsoHeld.rawValue}};
}

}  // namespace mirlet
