#include "host/sim/SimWorkspace.h"

#include <algorithm>
#include <filesystem>

#include "host/sim/SimFileURLs.h"
#include "host/sim/SimImageCodec.h"

namespace mirlet::sim {

SimApplication::SimApplication(SimWorkspace& workspace, int pid, std::string bundleID,
                               std::string name, ActivationPolicy policy)
    : workspace_(&workspace),
      pid_(pid),
      bundleID_(std::move(bundleID)),
      name_(std::move(name)),
      policy_(policy) {}

std::vector<InputEvent> SimApplication::receivedEvents() const {
  std::vector<InputEvent> events;
  for (const auto& received : received_) events.push_back(received.event);
  return events;
}

bool SimApplication::activate() {
  if (terminated_ || policy_ == ActivationPolicy::prohibited) return false;
  const std::uint64_t request = ++activationRequest_;
  switch (activation) {
    case Activation::refuse:
      return false;
    case Activation::accept:
      workspace_->makeActive(*this);
      return true;
    case Activation::delay:
      // The application comes forward on its own time, unless it quit meanwhile.
      workspace_->time_.after(activationDelay, [workspace = workspace_, pid = pid_, request] {
        auto application = workspace->application(pid);
        if (application && application->activationRequest_ == request) {
          workspace->makeActive(*application);
        }
      });
      return true;
  }
  return false;
}

SimWorkspace::SimWorkspace(MainLoop& mainLoop, testing::VirtualTimeScheduler& time)
    : mainLoop_(mainLoop), time_(time) {}

std::shared_ptr<RunningApplication> SimWorkspace::frontmostApplication() const {
  return frontmost_.lock();
}

std::shared_ptr<SimApplication> SimWorkspace::application(int pid) const {
  auto found = std::find_if(applications_.begin(), applications_.end(),
                            [pid](const auto& app) { return app->pid_ == pid; });
  return found == applications_.end() ? nullptr : *found;
}

std::shared_ptr<RunningApplication> SimWorkspace::runningApplication(int pid) const {
  return application(pid);
}

std::vector<std::shared_ptr<RunningApplication>> SimWorkspace::runningApplications(
    const std::string& bundleIdentifier) const {
  std::vector<std::shared_ptr<RunningApplication>> matching;
  for (const auto& app : applications_) {
    if (app->bundleID_ == bundleIdentifier) matching.push_back(app);
  }
  return matching;
}

Subscription SimWorkspace::observeActivation(ApplicationObserver observer) {
  return activated_.connect(std::move(observer));
}

Subscription SimWorkspace::observeTermination(ApplicationObserver observer) {
  return terminated_.connect(std::move(observer));
}

Subscription SimWorkspace::observeSession(SessionObserver observer) {
  return session_.connect(std::move(observer));
}

void SimWorkspace::resignActive() {
  if (!current_ || frontmost_.lock() != current_) return;
  if (auto previous = previousFrontmost_.lock(); previous && !previous->isTerminated()) {
    makeActive(*previous);
  }
}

std::vector<ApplicationInfo> SimWorkspace::applicationsToOpen(const std::string& url) const {
  std::string key;
  if (auto path = SimFileURLs::path(url)) {
    std::error_code error;
    key = std::filesystem::is_directory(*path, error) ? "/" : path->extension().string();
  } else if (auto colon = url.find(':'); colon != std::string::npos && colon > 0) {
    key = url.substr(0, colon);
  }
  auto found = handlers.find(key);
  return found == handlers.end() ? std::vector<ApplicationInfo>{} : found->second;
}

bool SimWorkspace::openURL(const std::string& url) {
  const auto applications = applicationsToOpen(url);
  if (applications.empty()) return false;
  openedURLs_.push_back(url);
  opened_.push_back({{url}, applications.front().bundleIdentifier});
  return true;
}

bool SimWorkspace::open(const std::vector<std::string>& urls, const std::string& bundleIdentifier) {
  const bool installed = std::any_of(handlers.begin(), handlers.end(), [&](const auto& entry) {
    return std::any_of(entry.second.begin(), entry.second.end(),
                       [&](const auto& app) { return app.bundleIdentifier == bundleIdentifier; });
  });
  if (!installed || urls.empty()) return false;
  opened_.push_back({urls, bundleIdentifier});
  return true;
}

std::optional<Bytes> SimWorkspace::applicationIcon(const std::string& bundleIdentifier) const {
  const bool known =
      !runningApplications(bundleIdentifier).empty() ||
      std::any_of(handlers.begin(), handlers.end(), [&](const auto& entry) {
        return std::any_of(entry.second.begin(), entry.second.end(), [&](const auto& app) {
          return app.bundleIdentifier == bundleIdentifier;
        });
      });
  if (!known) return std::nullopt;
  // Each application its own shade, the same every time.
  std::uint8_t shade = 0;
  for (char c : bundleIdentifier) shade = static_cast<std::uint8_t>(shade * 31 + c);
  return SimImageCodec::png(32, 32, shade);
}

std::optional<Bytes> SimWorkspace::fileIcon(const std::string& path) const {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status)) return std::nullopt;
  return SimImageCodec::png(32, 32, std::filesystem::is_directory(status) ? 0x40 : 0xC0);
}

void SimWorkspace::revealFiles(const std::vector<std::string>& paths) {
  revealedFiles_.push_back(paths);
}

void SimWorkspace::playSound(const std::string& name) {
  if (std::find(availableSounds.begin(), availableSounds.end(), name) != availableSounds.end()) {
    playedSounds_.push_back(name);
  }
}

std::shared_ptr<SimApplication> SimWorkspace::launch(const std::string& bundleID,
                                                     const std::string& name,
                                                     ActivationPolicy policy) {
  auto app = std::make_shared<SimApplication>(*this, nextPID_++, bundleID, name, policy);
  applications_.push_back(app);
  return app;
}

void SimWorkspace::terminate(const std::shared_ptr<SimApplication>& application) {
  if (!application || application->terminated_) return;
  application->terminated_ = true;
  application->active_ = false;
  std::erase(applications_, application);
  std::shared_ptr<SimApplication> next;
  if (windowServer_.removeWindows) next = windowServer_.removeWindows(*application);
  mainLoop_.post([this, application] { terminated_.emit(application); });
  if (frontmost_.lock() == application) {
    frontmost_.reset();
    if (next) makeActive(*next);
  }
}

std::shared_ptr<SimApplication> SimWorkspace::relaunch(
    const std::shared_ptr<SimApplication>& application, bool reusePID) {
  terminate(application);
  auto relaunched = launch(application->bundleID_, application->name_, application->policy_);
  if (reusePID) relaunched->pid_ = application->pid_;
  return relaunched;
}

void SimWorkspace::bringToFront(const std::shared_ptr<SimApplication>& application) {
  makeActive(*application);
}

void SimWorkspace::postSessionEvent(SessionEvent event) {
  mainLoop_.post([this, event] { session_.emit(event); });
}

void SimWorkspace::makeActive(SimApplication& application) {
  auto shared = this->application(application.pid_);
  if (!shared) return;
  if (auto previous = frontmost_.lock(); previous && previous != shared) {
    previous->active_ = false;
    previousFrontmost_ = previous;
  }
  shared->active_ = true;
  frontmost_ = shared;
  if (windowServer_.raiseWindows) windowServer_.raiseWindows(*shared);
  mainLoop_.post([this, shared] { activated_.emit(shared); });
}

}  // namespace mirlet::sim
