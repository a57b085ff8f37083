#include "host/x11/X11Workspace.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDesktopServices>
#include <QIcon>
#include <QMimeDatabase>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace mirlet {
namespace {

constexpr int kIconSide = 64;

std::optional<Bytes> png(const QIcon& icon) {
  if (icon.isNull()) return std::nullopt;
  const QPixmap pixmap = icon.pixmap(kIconSide, kIconSide);
  if (pixmap.isNull()) return std::nullopt;
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (!pixmap.save(&buffer, "PNG")) return std::nullopt;
  return Bytes(data.begin(), data.end());
}

// The start time of a running process, which tells a reused pid from its first
// owner; nothing for a process that has ended (a zombie included).
std::optional<std::string> startTime(int pid) {
  if (pid <= 0) return std::nullopt;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto end = text.rfind(')');
  if (end == std::string::npos) return std::nullopt;
  std::istringstream fields(text.substr(end + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 3 && (field == "Z" || field == "X")) return std::nullopt;
    if (i == 22) return field;
  }
  return std::nullopt;
}

}  // namespace

class X11Workspace::Application : public RunningApplication {
 public:
  Application(const X11Workspace& workspace, int pid, std::optional<std::string> identifier,
              std::optional<std::string> name)
      : workspace_(workspace),
        pid_(pid),
        identifier_(std::move(identifier)),
        name_(std::move(name)),
        started_(startTime(pid)) {}

  int processIdentifier() const override { return pid_; }
  std::optional<std::string> bundleIdentifier() const override { return identifier_; }
  std::optional<std::string> localizedName() const override { return name_; }
  ActivationPolicy activationPolicy() const override { return ActivationPolicy::regular; }
  bool isActive() const override {
    if (isTerminated()) return false;
    const xcb_window_t active = workspace_.activeWindow();
    return workspace_.processOf(active) == pid_ && workspace_.hasKeyboard(active);
  }
  bool isTerminated() const override {
    return terminated_ || !started_ || startTime(pid_) != started_;
  }
  bool activate() override {
    const xcb_window_t window = workspace_.windowOf(pid_);
    if (isTerminated() || window == XCB_WINDOW_NONE) return false;
    X11Display& display = workspace_.display_;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = display.connection().atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;  // from a pager: the user asked for it
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(display.get(), 0, display.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(display.get());
    return true;
  }
  void markTerminated() { terminated_ = true; }

 private:
  const X11Workspace& workspace_;
  int pid_;
  std::optional<std::string> identifier_;
  std::optional<std::string> name_;
  std::optional<std::string> started_;
  bool terminated_ = false;
};

X11Workspace::X11Workspace(X11Display& display, std::string ownIdentifier) : display_(display) {
  self_ = std::make_shared<Application>(*this, static_cast<int>(::getpid()),
                                        std::move(ownIdentifier), std::string("Mirlet"));
  if (!display_.isOpen()) return;
  const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(display_.get(), display_.root(), XCB_CW_EVENT_MASK, &events);
  xcb_flush(display_.get());
  const xcb_atom_t active = display_.connection().atom("_NET_ACTIVE_WINDOW");
  events_ = display_.listen([this, active](const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return;
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (notify.window == display_.root() && notify.atom == active) activeWindowChanged();
  });
  frontPid_ = processOf(activeWindow());
  display_.deliverSoon();
}

X11Workspace::~X11Workspace() = default;

std::optional<std::string> X11Workspace::stringProperty(xcb_window_t window, const char* property,
                                                        const char* type) const {
  if (window == XCB_WINDOW_NONE || !display_.isOpen()) return std::nullopt;
  xcb_connection_t* c = display_.get();
  XcbConnection& connection = display_.connection();
  const auto reply = xcbReply(xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, connection.atom(property), connection.atom(type), 0, 1024),
      nullptr));
  if (!reply || reply->format != 8) return std::nullopt;
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

xcb_window_t X11Workspace::activeWindow() const {
  if (!display_.isOpen()) return XCB_WINDOW_NONE;
  xcb_connection_t* c = display_.get();
  const auto reply = xcbReply(xcb_get_property_reply(
      c,
      xcb_get_property(c, 0, display_.root(), display_.connection().atom("_NET_ACTIVE_WINDOW"),
                       XCB_ATOM_WINDOW, 0, 1),
      nullptr));
  if (!reply || xcb_get_property_value_length(reply.get()) < 4) return XCB_WINDOW_NONE;
  return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

int X11Workspace::processOf(xcb_window_t window) const {
  if (window == XCB_WINDOW_NONE || !display_.isOpen()) return 0;
  xcb_connection_t* c = display_.get();
  const auto reply = xcbReply(xcb_get_property_reply(
      c,
      xcb_get_property(c, 0, window, display_.connection().atom("_NET_WM_PID"), XCB_ATOM_CARDINAL,
                       0, 1),
      nullptr));
  if (!reply || xcb_get_property_value_length(reply.get()) < 4) return 0;
  return static_cast<int>(*static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())));
}

std::optional<std::string> X11Workspace::title(xcb_window_t window) const {
  if (auto name = stringProperty(window, "_NET_WM_NAME", "UTF8_STRING")) return name;
  return stringProperty(window, "WM_NAME", "STRING");
}

std::vector<xcb_window_t> X11Workspace::clientWindows(const char* list) const {
  if (!display_.isOpen()) return {};
  xcb_connection_t* c = display_.get();
  const auto reply = xcbReply(xcb_get_property_reply(
      c,
      xcb_get_property(c, 0, display_.root(), display_.connection().atom(list), XCB_ATOM_WINDOW, 0,
                       4096),
      nullptr));
  if (!reply) return {};
  const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
  return {windows, windows + xcb_get_property_value_length(reply.get()) / 4};
}

xcb_window_t X11Workspace::windowOf(int pid) const {
  if (const xcb_window_t active = activeWindow(); processOf(active) == pid) return active;
  for (const xcb_window_t window : clientWindows()) {
    if (processOf(window) == pid) return window;
  }
  return XCB_WINDOW_NONE;
}

bool X11Workspace::hasKeyboard(xcb_window_t window) const {
  if (!display_.isOpen()) return false;
  xcb_connection_t* c = display_.get();
  const auto focus = xcbReply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  if (!focus || focus->focus == XCB_NONE) return false;
  // Keys follow the pointer: nothing better is known.
  if (focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT) return true;
  for (xcb_window_t current = focus->focus; current != XCB_WINDOW_NONE;) {
    if (current == window) return true;
    const auto tree = xcbReply(xcb_query_tree_reply(c, xcb_query_tree(c, current), nullptr));
    if (!tree || tree->parent == tree->root) return false;
    current = tree->parent;
  }
  return false;
}

std::shared_ptr<X11Workspace::Application> X11Workspace::application(int pid,
                                                                     xcb_window_t window) const {
  if (pid <= 0) return nullptr;
  if (pid == self_->processIdentifier()) return self_;
  if (const auto known = applications_.find(pid);
      known != applications_.end() && !known->second->isTerminated()) {
    return known->second;
  }
  std::optional<std::string> identifier =
      stringProperty(window, "_GTK_APPLICATION_ID", "UTF8_STRING");
  if (!identifier) {
    if (auto desktopFile = stringProperty(window, "_KDE_NET_WM_DESKTOP_FILE", "UTF8_STRING")) {
      identifier = desktopFile;
    }
  }
  std::optional<std::string> windowClass;
  if (auto names = stringProperty(window, "WM_CLASS", "STRING")) {
    // Instance and class, each ending in a zero.
    const auto zero = names->find('\0');
    if (zero != std::string::npos) windowClass = std::string(names->c_str() + zero + 1);
  }
  const auto entry = entries_.find(identifier.value_or(windowClass.value_or("")));
  if (!identifier) identifier = entry ? std::optional(entry->id) : windowClass;
  std::optional<std::string> name = entry ? std::optional(entry->name) : windowClass;
  auto made = std::make_shared<Application>(*this, pid, std::move(identifier), std::move(name));
  applications_[pid] = made;
  watchTermination(made);
  display_.deliverSoon();
  return made;
}

void X11Workspace::watchTermination(const std::shared_ptr<Application>& application) const {
  const int pid = application->processIdentifier();
  const int descriptor = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (descriptor < 0) return;
  auto notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                   [this, pid, descriptor, weak = std::weak_ptr(application)] {
                     ::close(descriptor);
                     if (const auto ended = weak.lock()) {
                       ended->markTerminated();
                       terminated_.emit(ended);
                     }
                     // The notifier is in its own signal: it goes once that returns.
                     if (const auto found = watches_.find(pid); found != watches_.end()) {
                       found->second.release()->deleteLater();
                       watches_.erase(found);
                     }
                   });
  watches_[pid] = std::move(notifier);
}

std::shared_ptr<RunningApplication> X11Workspace::currentApplication() const { return self_; }

std::shared_ptr<RunningApplication> X11Workspace::frontmostApplication() const {
  const xcb_window_t window = activeWindow();
  return application(processOf(window), window);
}

std::shared_ptr<RunningApplication> X11Workspace::runningApplication(int pid) const {
  if (!startTime(pid)) return nullptr;
  return application(pid, windowOf(pid));
}

std::vector<std::shared_ptr<RunningApplication>> X11Workspace::runningApplications(
    const std::string& bundleIdentifier) const {
  std::vector<std::shared_ptr<RunningApplication>> result;
  for (const xcb_window_t window : clientWindows()) {
    auto app = application(processOf(window), window);
    if (app && app->bundleIdentifier() == bundleIdentifier &&
        std::ranges::find(result, app) == result.end()) {
      result.push_back(std::move(app));
    }
  }
  return result;
}

void X11Workspace::resignActive() {
  const int self = self_->processIdentifier();
  if (processOf(activeWindow()) != self) return;
  // The application before is the one whose window is highest below this program's.
  const std::vector<xcb_window_t> stacking = clientWindows("_NET_CLIENT_LIST_STACKING");
  for (auto window = stacking.rbegin(); window != stacking.rend(); ++window) {
    const int pid = processOf(*window);
    if (pid <= 0 || pid == self) continue;
    if (const auto application = this->application(pid, *window)) application->activate();
    return;
  }
}

void X11Workspace::activeWindowChanged() {
  const xcb_window_t window = activeWindow();
  const int pid = processOf(window);
  if (pid == frontPid_ || pid <= 0) return;
  frontPid_ = pid;
  if (auto app = application(pid, window)) activated_.emit(app);
}

void X11Workspace::playSound(const std::string& name) {
  static const QString player = QStandardPaths::findExecutable(QStringLiteral("canberra-gtk-play"));
  if (player.isEmpty()) return;
  // The sound theme's nearest to the Mac's capture sound; any other, the bell.
  const QString id = name == "Tink" ? QStringLiteral("message") : QStringLiteral("bell");
  QProcess::startDetached(player, {QStringLiteral("--id"), id});
}

bool X11Workspace::openURL(const std::string& url) {
  const QUrl parsed(QString::fromStdString(url));
  // The desktop's opener starts whatever the URL is; an unknown kind opens nowhere.
  if (!parsed.isLocalFile() && applicationsToOpen(url).empty()) return false;
  return QDesktopServices::openUrl(parsed);
}

std::vector<ApplicationInfo> X11Workspace::applicationsToOpen(const std::string& url) const {
  const QUrl qurl(QString::fromStdString(url));
  const QMimeDatabase mimes;
  const QString type = qurl.isLocalFile() ? mimes.mimeTypeForFile(qurl.toLocalFile()).name()
                                          : QStringLiteral("x-scheme-handler/") + qurl.scheme();
  std::vector<ApplicationInfo> result;
  for (const DesktopEntry& entry : entries_.handling(type.toStdString())) {
    result.push_back({entry.id, entry.name});
  }
  return result;
}

bool X11Workspace::open(const std::vector<std::string>& urls, const std::string& bundleIdentifier) {
  const auto entry = entries_.find(bundleIdentifier);
  if (!entry) return false;
  const std::vector<std::string> command = DesktopEntries::command(*entry, urls);
  if (command.empty()) return false;
  QStringList arguments;
  for (std::size_t i = 1; i < command.size(); ++i) arguments << QString::fromStdString(command[i]);
  return QProcess::startDetached(QString::fromStdString(command.front()), arguments);
}

void X11Workspace::revealFiles(const std::vector<std::string>& paths) {
  QStringList uris;
  for (const std::string& path : paths) {
    uris << QUrl::fromLocalFile(QString::fromStdString(path)).toString();
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"),
      QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << uris << QString();
  QDBusConnection::sessionBus().asyncCall(call);
}

std::optional<Bytes> X11Workspace::applicationIcon(const std::string& bundleIdentifier) const {
  const auto entry = entries_.find(bundleIdentifier);
  const QString name = QString::fromStdString(entry ? entry->icon : bundleIdentifier);
  if (name.startsWith(QLatin1Char('/'))) return png(QIcon(name));
  return png(QIcon::fromTheme(name));
}

std::optional<Bytes> X11Workspace::fileIcon(const std::string& path) const {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return std::nullopt;
  const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromStdString(path));
  QIcon icon = QIcon::fromTheme(type.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
  return png(icon);
}

}  // namespace mirlet
