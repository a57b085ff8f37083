#include "widgets/Widgets.h"

#include <QScrollArea>

namespace mirlet::ui {

void applyStyle(QLabel* target, TextStyle style) {
  QFont font = target->font();
  switch (style) {
    case TextStyle::body:
      break;
    case TextStyle::secondary:
      target->setForegroundRole(QPalette::PlaceholderText);
      break;
    case TextStyle::heading:
      font.setBold(true);
      break;
    case TextStyle::title:
      font.setBold(true);
      font.setPointSizeF(font.pointSizeF() * 1.3);
      break;
    case TextStyle::largeTitle:
      font.setBold(true);
      font.setPointSizeF(font.pointSizeF() * 1.9);
      break;
  }
  target->setFont(font);
}

QLabel* label(const QString& content, TextStyle style, QWidget* parent) {
  auto* result = new QLabel(content, parent);
  result->setWordWrap(true);
  result->setTextInteractionFlags(Qt::TextSelectableByMouse);
  applyStyle(result, style);
  return result;
}

QVBoxLayout* scrollingContent(QWidget* page) {
  auto* outer = new QVBoxLayout(page);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea;
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  outer->addWidget(scroll);
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(20, 16, 20, 16);
  scroll->setWidget(content);
  return layout;
}

}  // namespace mirlet::ui
