#pragma once

#include <QWidget>

#include "app/AppModel.h"

class QStackedLayout;

namespace mirlet {

// The first-launch flow: a welcome step, then a step that leads to the features.
class WelcomeView : public QWidget {
 public:
  explicit WelcomeView(AppModel& model, QWidget* parent = nullptr);

 private:
  QWidget* welcomeStep();
  QWidget* finishStep();

  AppModel& model_;
  QStackedLayout* steps_ = nullptr;
  Subscription subscription_;
};

}  // namespace mirlet
