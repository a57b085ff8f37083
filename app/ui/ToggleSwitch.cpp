#include "app/ui/ToggleSwitch.h"

#include <QPainter>

namespace mirlet {

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
  setCheckable(true);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
}

QSize ToggleSwitch::sizeHint() const { return {38, 22}; }

void ToggleSwitch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
  const qreal radius = track.height() / 2;
  QColor trackColor = isChecked() ? palette().color(QPalette::Highlight) : QColor(0xC8, 0xC8, 0xC8);
  if (!isEnabled()) trackColor.setAlpha(110);
  painter.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight).darker(130), 1.5)
                            : Qt::NoPen);
  painter.setBrush(trackColor);
  painter.drawRoundedRect(track, radius, radius);
  const qreal knob = track.height() - 4;
  const qreal x = isChecked() ? track.right() - knob - 2 : track.left() + 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}

}  // namespace mirlet
