#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Signal.h"
#include "platform/host/SessionEvents.h"

namespace mirlet {

enum class ActivationPolicy { regular, accessory, prohibited };

// A running application. It stays valid after the application quits: it then
// reads as terminated and refuses activation.
class RunningApplication {
 public:
  virtual ~RunningApplication() = default;
  virtual int processIdentifier() const = 0;
  virtual std::optional<std::string> bundleIdentifier() const = 0;
  virtual std::optional<std::string> localizedName() const = 0;
  virtual ActivationPolicy activationPolicy() const = 0;
  virtual bool isActive() const = 0;
  virtual bool isTerminated() const = 0;
  // Asks to bring the application to the front; false when the request was refused.
  virtual bool activate() = 0;
};

// The workspace: running applications and their notifications, opening and
// revealing files, and the system's sounds. Notifications arrive on the main thread.
class Workspace {
 public:
  using ApplicationObserver = std::function<void(const std::shared_ptr<RunningApplication>&)>;
  using SessionObserver = std::function<void(SessionEvent event)>;

  virtual ~Workspace() = default;
  virtual std::shared_ptr<RunningApplication> frontmostApplication() const = 0;
  virtual std::shared_ptr<RunningApplication> runningApplication(int pid) const = 0;
  virtual std::vector<std::shared_ptr<RunningApplication>> runningApplications(
      const std::string& bundleIdentifier) const = 0;

  [[nodiscard]] virtual Subscription observeActivation(ApplicationObserver observer) = 0;
  [[nodiscard]] virtual Subscription observeTermination(ApplicationObserver observer) = 0;
  // Sleep, wake, screens and session changes.
  [[nodiscard]] virtual Subscription observeSession(SessionObserver observer) = 0;

  virtual bool openURL(const std::string& url) = 0;
  virtual void revealFiles(const std::vector<std::string>& paths) = 0;
  // Plays a named system sound; a missing sound plays nothing.
  virtual void playSound(const std::string& name) = 0;
};

}  // namespace mirlet
