#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <string>
#include <vector>

#include "app/testing/FakeDesktop.h"

namespace mirlet::testing {

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
