#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QWidget>
#include <string>
#include <vector>

namespace mirlet::testing {

// Presses and releases a key where the keyboard focus is, as the user would.
inline void typeKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = {}) {
  QWidget* target = QApplication::focusWidget();
  if (!target) target = QApplication::activeWindow();
  if (!target) return;
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : target,
                          &release);
  QApplication::processEvents();
}

inline void typeText(const QString& text) {
  for (const QChar c : text) {
    const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
    typeKey(key, Qt::NoModifier, QString(c));
  }
}

// The visible labels, buttons and section titles of a window, by text.
inline std::vector<std::string> visibleTexts(QWidget* root) {
  std::vector<std::string> texts;
  for (auto* label : root->findChildren<QLabel*>()) {
    if (label->isVisible()) texts.push_back(label->text().toStdString());
  }
  for (auto* button : root->findChildren<QAbstractButton*>()) {
    if (button->isVisible() && !button->text().isEmpty()) {
      texts.push_back(button->text().toStdString());
    }
  }
  for (auto* box : root->findChildren<QGroupBox*>()) {
    if (box->isVisible() && !box->title().isEmpty()) texts.push_back(box->title().toStdString());
  }
  return texts;
}

inline QAbstractButton* visibleButton(QWidget* root, const QString& text) {
  for (auto* button : root->findChildren<QAbstractButton*>()) {
    if (button->isVisible() && button->text() == text) return button;
  }
  return nullptr;
}

}  // namespace mirlet::testing
