#include "ClipboardHistory/ui/HotKeyCapture.h"

#include <QApplication>
#include <QKeyEvent>
#include <string_view>

#include "ClipboardHistory/ui/QtKeys.h"
#include "host/KeyPositions.h"

namespace mirlet {
namespace {

// Where a key sits on a US keyboard, in X key codes, for events that carry no
// key code of their own (a platform without a keyboard, synthesized events).
std::optional<std::uint32_t> usPosition(int key) {
  static constexpr std::pair<std::string_view, std::uint32_t> rows[] = {
      {"1234567890-=", 10}, {"QWERTYUIOP[]", 24}, {"ASDFGHJKL;'`", 38}, {"\\ZXCVBNM,./", 51}};
  if (key >= 0x20 && key < 0x7F) {
    for (const auto& [keys, first] : rows) {
      if (const auto at = keys.find(static_cast<char>(key)); at != std::string_view::npos) {
        return first + static_cast<std::uint32_t>(at);
      }
    }
  }
  static constexpr std::pair<int, std::uint32_t> named[] = {
      {Qt::Key_Escape, 9},    {Qt::Key_Backspace, 22}, {Qt::Key_Tab, 23},     {Qt::Key_Return, 36},
      {Qt::Key_Control, 37},  {Qt::Key_Shift, 50},     {Qt::Key_Alt, 64},     {Qt::Key_Space, 65},
      {Qt::Key_CapsLock, 66}, {Qt::Key_F1, 67},        {Qt::Key_F2, 68},      {Qt::Key_F3, 69},
      {Qt::Key_F4, 70},       {Qt::Key_F5, 71},        {Qt::Key_F6, 72},      {Qt::Key_F7, 73},
      {Qt::Key_F8, 74},       {Qt::Key_F9, 75},        {Qt::Key_F10, 76},     {Qt::Key_F11, 95},
      {Qt::Key_F12, 96},      {Qt::Key_Enter, 104},    {Qt::Key_Home, 110},   {Qt::Key_Up, 111},
      {Qt::Key_PageUp, 112},  {Qt::Key_Left, 113},     {Qt::Key_Right, 114},  {Qt::Key_End, 115},
      {Qt::Key_Down, 116},    {Qt::Key_PageDown, 117}, {Qt::Key_Insert, 118}, {Qt::Key_Delete, 119},
      {Qt::Key_Meta, 133},    {Qt::Key_Super_L, 133},  {Qt::Key_Super_R, 134}};
  for (const auto& [qtKey, position] : named) {
    if (qtKey == key) return position;
  }
  return std::nullopt;
}

}  // namespace

HotKeyCombo hotKeyCombo(const QKeyEvent& event) {
  std::optional<std::uint16_t> code;
  if (event.nativeScanCode() != 0) code = KeyPositions::macKeyCode(event.nativeScanCode());
  if (!code) {
    if (const auto position = usPosition(event.key())) code = KeyPositions::macKeyCode(*position);
  }
  Modifiers held = modifierBits(event.modifiers());
  held.rawValue |= modifierBit(event.key());
  // A key without a place (a media key) stays unusable: its code names no key.
  return HotKeyCombo{code.value_or(0xFFFF), held};
}

unsigned modifierBit(int key) {
  switch (ui::modifierOfKey(key)) {
    case Qt::ControlModifier:
      return Modifiers::control;
    case Qt::AltModifier:
      return Modifiers::option;
    case Qt::MetaModifier:
      return Modifiers::command;
    case Qt::ShiftModifier:
      return Modifiers::shift;
    default:
      return 0;
  }
}

Modifiers modifierBits(Qt::KeyboardModifiers modifiers) {
  unsigned bits = 0;
  if (modifiers & Qt::ControlModifier) bits |= Modifiers::control;
  if (modifiers & Qt::AltModifier) bits |= Modifiers::option;
  if (modifiers & Qt::MetaModifier) bits |= Modifiers::command;
  if (modifiers & Qt::ShiftModifier) bits |= Modifiers::shift;
  return Modifiers{bits};
}

HotKeyCapture::~HotKeyCapture() { stop(); }

void HotKeyCapture::start(Handler handler) {
  stop();
  handler_ = std::move(handler);
  qApp->installEventFilter(this);
}

void HotKeyCapture::stop() {
  if (!handler_) return;
  qApp->removeEventFilter(this);
  handler_ = nullptr;
}

bool HotKeyCapture::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && handler_) {
    // Accepted, the press comes as a key press instead of running a shortcut.
    event->accept();
    return true;
  }
  const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
  if (!isKey || !handler_) return false;
  // The handler may stop the capture: keep it alive for this call.
  const Handler handler = handler_;
  return handler(static_cast<const QKeyEvent&>(*event));
}

}  // namespace mirlet
