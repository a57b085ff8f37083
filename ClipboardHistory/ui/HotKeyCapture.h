#pragma once

#include <QObject>
#include <functional>

#include "ClipboardHistory/model/HotKeyCombo.h"

class QKeyEvent;

namespace mirlet {

// Catches the key presses and releases of this application before any window
// does, while it runs: each goes to the handler, and is swallowed when the handler
// says so. At most one capture runs per object; destroying it stops it.
class HotKeyCapture : public QObject {
 public:
  using Handler = std::function<bool(const QKeyEvent&)>;

  ~HotKeyCapture() override;

  void start(Handler handler);
  void stop();
  bool isRunning() const { return static_cast<bool>(handler_); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Handler handler_;
};

// The combination a key press stands for: the key by its place on the keyboard
// (Mac key codes, as hot keys are stored) and the held modifiers as their labels
// name them: Ctrl is ⌃, Alt is ⌥, Super is ⌘ (AltGr is none of them).
HotKeyCombo hotKeyCombo(const QKeyEvent& event);
// The Modifiers bit a modifier key stands for; 0 for any other key.
unsigned modifierBit(int key);
// The Modifiers bits of Qt's modifiers.
Modifiers modifierBits(Qt::KeyboardModifiers modifiers);

}  // namespace mirlet
