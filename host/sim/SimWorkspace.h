#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/MainLoop.h"
#include "core/Signal.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "host/FinderBundle.h"
#include "host/InputEvent.h"
#include "host/Workspace.h"

namespace mirlet::sim {

class SimWorkspace;

// A simulated application: it keeps a log of the events it received, noting
// whether it was active for each, and answers activation as the test decides.
// Keys reach its windows only while it is active; mouse events always do.
class SimApplication : public RunningApplication {
 public:
  enum class Activation { accept, refuse, delay };
  struct Received {
    InputEvent event;
    bool whileActive = false;
  };

  SimApplication(SimWorkspace& workspace, int pid, std::string bundleID, std::string name,
                 ActivationPolicy policy);

  int processIdentifier() const override { return pid_; }
  std::optional<std::string> bundleIdentifier() const override { return bundleID_; }
  std::optional<std::string> localizedName() const override { return name_; }
  ActivationPolicy activationPolicy() const override { return policy_; }
  bool isActive() const override { return active_; }
  bool isTerminated() const override { return terminated_; }
  bool activate() override;

  // How the next activations are answered; `delay` makes the application active
  // `activationDelay` seconds after the request, on its own time.
  Activation activation = Activation::accept;
  double activationDelay = 0.2;

  const std::vector<Received>& received() const { return received_; }
  std::vector<InputEvent> receivedEvents() const;
  // Tells what the application's windows do with each event that reaches them.
  [[nodiscard]] Subscription observeEvents(std::function<void(const InputEvent&)> observer) {
    return events_.connect(std::move(observer));
  }
  void clearReceivedEvents() { received_.clear(); }

 private:
  friend class SimWorkspace;
  friend class SimEventSystem;  // delivers events into the log
  SimWorkspace* workspace_;
  int pid_;
  std::string bundleID_;
  std::string name_;
  ActivationPolicy policy_;
  bool active_ = false;
  bool terminated_ = false;
  std::vector<Received> received_;
  Signal<InputEvent> events_;
  std::uint64_t activationRequest_ = 0;  // a quit or a newer request voids a pending one
};

// The simulated workspace: applications launched, activated, quit and relaunched
// by the test, notifications delivered on the main loop.
class SimWorkspace : public Workspace {
 public:
  SimWorkspace(MainLoop& mainLoop, testing::VirtualTimeScheduler& time);

  std::shared_ptr<RunningApplication> frontmostApplication() const override;
  std::shared_ptr<RunningApplication> runningApplication(int pid) const override;
  std::vector<std::shared_ptr<RunningApplication>> runningApplications(
      const std::string& bundleIdentifier) const override;
  Subscription observeActivation(ApplicationObserver observer) override;
  Subscription observeTermination(ApplicationObserver observer) override;
  Subscription observeSession(SessionObserver observer) override;
  std::shared_ptr<RunningApplication> currentApplication() const override { return current_; }
  void resignActive() override;
  bool openURL(const std::string& url) override;
  std::vector<ApplicationInfo> applicationsToOpen(const std::string& url) const override;
  bool open(const std::vector<std::string>& urls, const std::string& bundleIdentifier) override;
  void revealFiles(const std::vector<std::string>& paths) override;
  std::optional<Bytes> applicationIcon(const std::string& bundleIdentifier) const override;
  std::optional<Bytes> fileIcon(const std::string& path) const override;
  void playSound(const std::string& name) override;

  // The test's side.
  std::shared_ptr<SimApplication> launch(const std::string& bundleID, const std::string& name,
                                         ActivationPolicy policy = ActivationPolicy::regular);
  // Quits the application: terminated, its pid gone, a termination notification.
  // If it was frontmost, the application of the frontmost window takes its place.
  void terminate(const std::shared_ptr<SimApplication>& application);
  // Quits and launches it again, with a new pid, or with the same one when the
  // system happens to reuse it.
  std::shared_ptr<SimApplication> relaunch(const std::shared_ptr<SimApplication>& application,
                                           bool reusePID = false);
  // Makes the application frontmost at once, as the user clicking it would.
  void bringToFront(const std::shared_ptr<SimApplication>& application);
  void postSessionEvent(SessionEvent event);
  std::shared_ptr<SimApplication> application(int pid) const;
  // What the window server does at once when applications change: activation
  // raises an application's windows; a quit removes them and picks the next
  // frontmost application, which the listener returns.
  struct WindowServer {
    std::function<void(const SimApplication&)> raiseWindows;
    std::function<std::shared_ptr<SimApplication>(const SimApplication&)> removeWindows;
  };
  void attach(WindowServer server) { windowServer_ = std::move(server); }

  // The application that stands for this program.
  void setCurrentApplication(std::shared_ptr<SimApplication> application) {
    current_ = std::move(application);
  }
  // The applications that open links of a scheme ("https") or files of an
  // extension (".txt"), the default first; folders ("/") open in Finder.
  std::map<std::string, std::vector<ApplicationInfo>> handlers{
      {"http", {{"com.apple.Safari", "Safari"}}},
      {"https", {{"com.apple.Safari", "Safari"}, {"org.mozilla.firefox", "Firefox"}}},
      {"mailto", {{"com.apple.mail", "Mail"}}},
      {"x-apple.systempreferences", {{"com.apple.systempreferences", "Ajustes del Sistema"}}},
      {".txt",
       {{"com.apple.TextEdit", "TextEdit"}, {"com.microsoft.VSCode", "Visual Studio Code"}}},
      {".png", {{"com.apple.Preview", "Vista Previa"}}},
      {".jpg", {{"com.apple.Preview", "Vista Previa"}}},
      {"/", {{FinderBundle::identifier, "Finder"}}},
  };
  struct Opened {
    std::vector<std::string> urls;
    std::string bundleIdentifier;
    friend bool operator==(const Opened&, const Opened&) = default;
  };
  const std::vector<Opened>& opened() const { return opened_; }
  const std::vector<std::string>& openedURLs() const { return openedURLs_; }
  const std::vector<std::vector<std::string>>& revealedFiles() const { return revealedFiles_; }
  const std::vector<std::string>& playedSounds() const { return playedSounds_; }
  // Sounds that exist; any other name plays nothing.
  std::vector<std::string> availableSounds{"Tink", "Pop", "Funk"};

 private:
  friend class SimApplication;
  void makeActive(SimApplication& application);

  MainLoop& mainLoop_;
  testing::VirtualTimeScheduler& time_;
  WindowServer windowServer_;
  int nextPID_ = 500;
  std::vector<std::shared_ptr<SimApplication>> applications_;  // running, launch order
  std::weak_ptr<SimApplication> frontmost_;
  std::weak_ptr<SimApplication> previousFrontmost_;
  std::shared_ptr<SimApplication> current_;
  std::vector<Opened> opened_;
  Signal<std::shared_ptr<RunningApplication>> activated_;
  Signal<std::shared_ptr<RunningApplication>> terminated_;
  Signal<SessionEvent> session_;
  std::vector<std::string> openedURLs_;
  std::vector<std::vector<std::string>> revealedFiles_;
  std::vector<std::string> playedSounds_;
};

}  // namespace mirlet::sim
