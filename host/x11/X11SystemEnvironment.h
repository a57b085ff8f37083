#pragma once

#include <memory>

#include "host/SystemEnvironment.h"
#include "host/linux/XdgAutostart.h"

namespace mirlet {

// The system environment of an X11 desktop. Accessibility trust means that the
// display lets this program synthesise input (the XTEST extension is present): that
// is what the features need the permission for. No prompt or settings pane exists
// for it, so asking does nothing and opening the settings answers false. The login
// item is an XDG autostart entry.
class X11SystemEnvironment : public SystemEnvironment {
 public:
  // Connects to the display named by $DISPLAY, if any.
  explicit X11SystemEnvironment(XdgAutostart autostart);
  ~X11SystemEnvironment() override;

  bool isAccessibilityTrusted() const override;
  LoginState loginState() const override;
  void requestAccessibility() override;
  bool openAccessibilitySettings() override;
  void registerLogin() override;
  void unregisterLogin() override;
  void openLoginSettings() override;

 private:
  struct Display;
  std::unique_ptr<Display> display_;
  XdgAutostart autostart_;
};

}  // namespace mirlet
