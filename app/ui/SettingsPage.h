#pragma once

#include <QWidget>
#include <vector>

#include "app/AppModel.h"
#include "app/BundleInfo.h"
#include "app/UpdateSettings.h"

class QLabel;
class QPushButton;

namespace mirlet {

class ToggleSwitch;

// The settings page: launch at login, updates, the accessibility permission and
// support, with the version as its footer.
class SettingsPage : public QWidget {
 public:
  SettingsPage(AppModel& model, UpdateSettings& updates, const BundleInfo& bundle,
               QWidget* parent = nullptr);

 private:
  QWidget* generalSection();
  QWidget* updatesSection();
  QWidget* permissionSection();
  QWidget* supportSection(const BundleInfo& bundle);
  void refresh();

  AppModel& model_;
  UpdateSettings& updates_;
  ToggleSwitch* loginSwitch_ = nullptr;
  QLabel* loginDescription_ = nullptr;
  QWidget* approvalButtons_ = nullptr;
  QLabel* error_ = nullptr;
  ToggleSwitch* updatesSwitch_ = nullptr;
  QLabel* permissionStatus_ = nullptr;
  QLabel* checkResult_ = nullptr;
  QLabel* checkTime_ = nullptr;
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
