#pragma once

#include <QAbstractButton>

namespace mirlet {

// An on/off switch: a checkable button drawn as a sliding knob.
class ToggleSwitch : public QAbstractButton {
 public:
  explicit ToggleSwitch(QWidget* parent = nullptr);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace mirlet
