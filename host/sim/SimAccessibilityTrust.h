#pragma once

#include "host/AccessibilityTrust.h"

namespace mirlet::sim {

// Trust that the test grants and revokes at any moment.
class SimAccessibilityTrust : public AccessibilityTrust {
 public:
  bool isProcessTrusted() const override { return trusted; }
  void requestTrust() override {
    ++requests;
    if (grantOnRequest) trusted = true;
  }

  bool trusted = true;
  bool grantOnRequest = false;
  int requests = 0;
};

}  // namespace mirlet::sim
