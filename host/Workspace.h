#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Signal.h"
#include "host/Pasteboard.h"
#include "host/SessionEvents.h"

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

// An application installed on the machine.
struct ApplicationInfo {
  std::string bundleIdentifier;
  std::string name;
  friend bool operator==(const ApplicationInfo&, const ApplicationInfo&) = default;
};

// The workspace: running applications and their notifications, this program's own
// application, opening and revealing files, icons, and the system's sounds.
// Notifications arrive on the main thread.
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

  // This program as a running application (its pid tells its own windows apart).
  virtual std::shared_ptr<RunningApplication> currentApplication() const = 0;
  // This program steps back: the application in front before it comes forward.
  virtual void resignActive() = 0;

  // Opens the URL with its default application; false when nothing can open it.
  virtual bool openURL(const std::string& url) = 0;
  // The applications that can open the URL (a link or a file URL), the default first.
  virtual std::vector<ApplicationInfo> applicationsToOpen(const std::string& url) const = 0;
  // Opens the URLs with that application; false when it cannot.
  virtual bool open(const std::vector<std::string>& urls, const std::string& bundleIdentifier) = 0;
  virtual void revealFiles(const std::vector<std::string>& paths) = 0;
  // Icons as PNG: an application's, by bundle identifier, and a file's or folder's.
  virtual std::optional<Bytes> applicationIcon(const std::string& bundleIdentifier) const = 0;
  virtual std::optional<Bytes> fileIcon(const std::string& path) const = 0;
  // Plays a named system sound; a missing sound plays nothing.
  virtual void playSound(const std::string& name) = 0;
};

}  // namespace mirlet
