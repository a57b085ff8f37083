#pragma once

#include "host/Accessibility.h"
#include "host/x11/X11Workspace.h"

namespace mirlet {

// What an X display tells of windows: the window in front of an application and
// its title. The permission is XTest, without which nothing can be typed.
class X11Accessibility : public Accessibility {
 public:
  X11Accessibility(X11Display& display, X11Workspace& workspace);

  bool isProcessTrusted() const override;
  void requestTrust() override {}
  AXElement systemWide() override;
  AXElement application(int pid) override;
  AXError setMessagingTimeout(const AXElement&, double) override { return AXError::success; }
  AXResult copyAttribute(const AXElement& element, const std::string& attribute) override;
  AXError setAttribute(const AXElement&, const std::string&, const AXValue&) override {
    return AXError::attributeUnsupported;
  }
  AXError performAction(const AXElement&, const std::string&) override {
    return AXError::actionUnsupported;
  }
  AXResult elementAtPosition(const AXElement&, double, double) override {
    return {AXError::failure, {}};
  }
  std::optional<int> processID(const AXElement& element) override;
  std::unique_ptr<AXObserver> createObserver(int, ObserverCallback) override { return nullptr; }
  void announce(const std::string&) override {}

 private:
  X11Display& display_;
  X11Workspace& workspace_;
};

}  // namespace mirlet
