#pragma once

namespace mirlet {

// Whether the process may use accessibility and synthesise input.
class AccessibilityTrust {
 public:
  virtual ~AccessibilityTrust() = default;
  virtual bool isProcessTrusted() const = 0;
  // Asks the user, with the system's own prompt where there is one.
  virtual void requestTrust() = 0;
};

}  // namespace mirlet
