#pragma once

#include <QColor>
#include <QPalette>

namespace mirlet::testing {

// A dark theme as desktops ship it, for pictures and for tests that switch to it.
inline QPalette darkPalette() {
  QPalette dark;
  const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xe8, 0xe8, 0xea);
  dark.setColor(QPalette::Window, window);
  dark.setColor(QPalette::WindowText, text);
  dark.setColor(QPalette::Base, base);
  dark.setColor(QPalette::AlternateBase, window.lighter(115));
  dark.setColor(QPalette::Text, text);
  dark.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0xa0));
  dark.setColor(QPalette::Button, window);
  dark.setColor(QPalette::ButtonText, text);
  dark.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::Link, QColor(0x78, 0xae, 0xed));
  dark.setColor(QPalette::Mid, window.lighter(140));
  dark.setColor(QPalette::Midlight, window.lighter(125));
  dark.setColor(QPalette::ToolTipBase, base);
  dark.setColor(QPalette::ToolTipText, text);
  return dark;
}

}  // namespace mirlet::testing
