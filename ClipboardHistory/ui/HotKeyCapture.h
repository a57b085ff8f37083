#pragma once

#include <QObject>
#include <functional>

#include "ClipboardHistory/model/HotKeyCombo.h"

class QKeyEvent;

namespace mirlet {

// Catches the key presses of this application before any window does, while it
// runs: each goes to the handler, and is swallowed when the handler says so.
// At most one capture runs per object; destroying it stops it.
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
// name them: Ctrl is ⌃, Alt is ⌥, Super is ⌘.
HotKeyCombo hotKeyCombo(const QKeyEvent& event);

}  // namespace mirlet
