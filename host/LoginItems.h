#pragma once

namespace mirlet {

// The application's login item, with the platform's status values: 0 not
// registered, 1 enabled, 2 awaiting the user's approval, 3 not found.
class LoginItems {
 public:
  virtual ~LoginItems() = default;
  virtual int status() const = 0;
  // Both throw LoginItemError when the platform refuses.
  virtual void registerItem() = 0;
  virtual void unregisterItem() = 0;
  virtual void openSettings() = 0;
};

}  // namespace mirlet
