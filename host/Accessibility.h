#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/AccessibilityTrust.h"

namespace mirlet {

// A handle of an accessibility element. Two handles are equal when they name the
// same element, as the platform decides (not when they are the same object).
class AXElement {
 public:
  class Handle {
   public:
    virtual ~Handle() = default;
    virtual bool sameElement(const Handle& other) const = 0;
  };

  AXElement() = default;
  explicit AXElement(std::shared_ptr<const Handle> handle) : handle_(std::move(handle)) {}

  bool isValid() const { return handle_ != nullptr; }
  const Handle* handle() const { return handle_.get(); }

  friend bool operator==(const AXElement& a, const AXElement& b) {
    if (!a.handle_ || !b.handle_) return a.handle_ == b.handle_;
    return a.handle_ == b.handle_ || a.handle_->sameElement(*b.handle_);
  }

 private:
  std::shared_ptr<const Handle> handle_;
};

// A URL attribute value, as text.
struct AXURL {
  std::string text;
  friend bool operator==(const AXURL&, const AXURL&) = default;
};

// An attribute value: nothing, an element, a string, a boolean, a number, a URL
// or an array of values. Callers check the type they expect.
struct AXValue {
  using Array = std::vector<AXValue>;
  std::variant<std::monostate, AXElement, std::string, bool, double, AXURL, Array> value;

  AXValue() = default;
  AXValue(AXElement element) : value(std::move(element)) {}
  AXValue(std::string text) : value(std::move(text)) {}
  AXValue(const char* text) : value(std::string(text)) {}
  AXValue(bool flag) : value(flag) {}
  AXValue(double number) : value(number) {}
  AXValue(AXURL url) : value(std::move(url)) {}
  AXValue(Array array) : value(std::move(array)) {}

  template <class T>
  const T* as() const {
    return std::get_if<T>(&value);
  }
  friend bool operator==(const AXValue&, const AXValue&) = default;
};

// The platform's result codes of accessibility calls.
enum class AXError {
  success,
  failure,
  illegalArgument,
  invalidElement,  // the element no longer exists
  cannotComplete,  // the application did not answer in time
  attributeUnsupported,
  actionUnsupported,
  notificationUnsupported,
  apiDisabled,  // the process is not trusted
  noValue,
};

struct AXResult {
  AXError error = AXError::failure;
  AXValue value;
  bool ok() const { return error == AXError::success; }
};

// Notifications of one application's elements, delivered on the main thread.
// Destroying the observer removes it.
class AXObserver {
 public:
  virtual ~AXObserver() = default;
  virtual AXError addNotification(const AXElement& element, const std::string& notification) = 0;
};

// The accessibility interface: element queries with a per-element messaging
// time-out, attributes and actions, hit testing, observers and announcements.
// Queries may be asked from background queues; every one can fail at any time.
class Accessibility : public AccessibilityTrust {
 public:
  using ObserverCallback =
      std::function<void(const AXElement& element, const std::string& notification)>;

  virtual AXElement systemWide() = 0;
  virtual AXElement application(int pid) = 0;
  // Later calls on the element give up after this many seconds.
  virtual AXError setMessagingTimeout(const AXElement& element, double seconds) = 0;
  virtual AXResult copyAttribute(const AXElement& element, const std::string& attribute) = 0;
  virtual AXError setAttribute(const AXElement& element, const std::string& attribute,
                               const AXValue& value) = 0;
  virtual AXError performAction(const AXElement& element, const std::string& action) = 0;
  // The element under a screen point, asked of the system-wide element.
  virtual AXResult elementAtPosition(const AXElement& systemWide, double x, double y) = 0;
  virtual std::optional<int> processID(const AXElement& element) = 0;
  // Nothing when the observer cannot be made.
  virtual std::unique_ptr<AXObserver> createObserver(int pid, ObserverCallback callback) = 0;
  // Spoken by assistive technologies.
  virtual void announce(const std::string& message) = 0;
};

}  // namespace mirlet
