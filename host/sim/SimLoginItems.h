#pragma once

#include "host/LoginItems.h"
#include "host/SystemEnvironment.h"

namespace mirlet::sim {

// The login item with the platform's four statuses; the test decides whether a
// registration needs the user's approval and whether the platform refuses.
class SimLoginItems : public LoginItems {
 public:
  int status() const override { return statusValue; }
  void registerItem() override {
    if (refuse) throw LoginItemError(LoginItemErrorCode::refused);
    statusValue = requireApproval ? 2 : 1;
  }
  void unregisterItem() override {
    if (refuse) throw LoginItemError(LoginItemErrorCode::refused);
    statusValue = 0;
  }
  void openSettings() override { ++settingsOpened; }

  int statusValue = 0;
  bool requireApproval = false;
  bool refuse = false;
  int settingsOpened = 0;
};

}  // namespace mirlet::sim
