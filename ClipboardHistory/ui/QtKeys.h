#pragma once

#include <Qt>

namespace mirlet::ui {

// The modifier a modifier key itself stands for; none for other keys. AltGr
// (ISO Level 3) is no Alt: it types @, # and € on many keyboards.
inline Qt::KeyboardModifier modifierOfKey(int key) {
  switch (key) {
    case Qt::Key_Control:
      return Qt::ControlModifier;
    case Qt::Key_Alt:
      return Qt::AltModifier;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
      return Qt::MetaModifier;
    case Qt::Key_Shift:
      return Qt::ShiftModifier;
    default:
      return Qt::NoModifier;
  }
}

}  // namespace mirlet::ui
