#pragma once

#include <map>
#include <memory>
#include <optional>

#include "host/Workspace.h"
#include "host/linux/DesktopEntries.h"
#include "host/x11/X11Display.h"

class QSocketNotifier;

namespace mirlet {

// The workspace of an X desktop with a window manager that follows the EWMH: the
// application in front is the one of `_NET_ACTIVE_WINDOW` (its process from
// `_NET_WM_PID`, its identifier from the application id the window names, else
// its window class, its name from its desktop entry). Activation is asked of the
// window manager; a process's end is heard from its pidfd. URLs and files open
// with the desktop's opener or an application's desktop entry, files are revealed
// by the file manager's D-Bus interface, icons come from the icon theme, sounds
// from the sound theme through libcanberra's player (silent where it is missing).
class X11Workspace : public Workspace {
 public:
  X11Workspace(X11Display& display, std::string ownIdentifier);
  ~X11Workspace() override;

  std::shared_ptr<RunningApplication> frontmostApplication() const override;
  std::shared_ptr<RunningApplication> runningApplication(int pid) const override;
  std::vector<std::shared_ptr<RunningApplication>> runningApplications(
      const std::string& bundleIdentifier) const override;
  Subscription observeActivation(ApplicationObserver observer) override {
    return activated_.connect(std::move(observer));
  }
  Subscription observeTermination(ApplicationObserver observer) override {
    return terminated_.connect(std::move(observer));
  }
  Subscription observeSession(SessionObserver observer) override {
    return session_.connect(std::move(observer));
  }
  std::shared_ptr<RunningApplication> currentApplication() const override;
  // The application in front before this program comes forward again.
  void resignActive() override;
  bool openURL(const std::string& url) override;
  std::vector<ApplicationInfo> applicationsToOpen(const std::string& url) const override;
  bool open(const std::vector<std::string>& urls, const std::string& bundleIdentifier) override;
  void revealFiles(const std::vector<std::string>& paths) override;
  std::optional<Bytes> applicationIcon(const std::string& bundleIdentifier) const override;
  std::optional<Bytes> fileIcon(const std::string& path) const override;
  void playSound(const std::string& name) override;

  // The window in front and its title, for the window-title follow-up.
  xcb_window_t activeWindow() const;
  std::optional<std::string> title(xcb_window_t window) const;
  int processOf(xcb_window_t window) const;

 private:
  class Application;
  friend class Application;

  std::shared_ptr<Application> application(int pid, xcb_window_t window) const;
  std::optional<std::string> stringProperty(xcb_window_t window, const char* property,
                                            const char* type) const;
  // The windows the window manager lists, in `_NET_CLIENT_LIST` order or, with
  // "_NET_CLIENT_LIST_STACKING", from the bottom up.
  std::vector<xcb_window_t> clientWindows(const char* list = "_NET_CLIENT_LIST") const;
  xcb_window_t windowOf(int pid) const;
  // Whether keys typed now reach `window`: window managers announce the active
  // window before they move the input focus there.
  bool hasKeyboard(xcb_window_t window) const;
  void activeWindowChanged();
  void watchTermination(const std::shared_ptr<Application>& application) const;

  X11Display& display_;
  DesktopEntries entries_;
  std::shared_ptr<Application> self_;
  mutable std::map<int, std::shared_ptr<Application>> applications_;
  mutable std::map<int, std::unique_ptr<QSocketNotifier>> watches_;
  int frontPid_ = 0;
  Signal<const std::shared_ptr<RunningApplication>&> activated_;
  mutable Signal<const std::shared_ptr<RunningApplication>&> terminated_;
  Signal<SessionEvent> session_;
  Subscription events_;
};

}  // namespace mirlet
