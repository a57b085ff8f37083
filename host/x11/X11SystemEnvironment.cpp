#include "host/x11/X11SystemEnvironment.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace mirlet {

struct X11SystemEnvironment::Display {
  xcb_connection_t* connection = nullptr;

  Display() : connection(xcb_connect(nullptr, nullptr)) {}
  ~Display() { xcb_disconnect(connection); }
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  bool hasXTest() const {
    if (xcb_connection_has_error(connection)) return false;
    // xcb caches the answer per connection, so this costs one round trip at most.
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_test_id);
    return extension && extension->present;
  }
};

X11SystemEnvironment::X11SystemEnvironment(XdgAutostart autostart)
    : display_(std::make_unique<Display>()), autostart_(std::move(autostart)) {}

X11SystemEnvironment::~X11SystemEnvironment() = default;

bool X11SystemEnvironment::isAccessibilityTrusted() const { return display_->hasXTest(); }

LoginState X11SystemEnvironment::loginState() const { return autostart_.state(); }

void X11SystemEnvironment::requestAccessibility() {}

bool X11SystemEnvironment::openAccessibilitySettings() { return false; }

void X11SystemEnvironment::registerLogin() { autostart_.enable(); }

void X11SystemEnvironment::unregisterLogin() { autostart_.disable(); }

void X11SystemEnvironment::openLoginSettings() {
  // Desktops keep no common settings page for autostart entries: show the folder.
  if (!autostart_.createFolder()) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(autostart_.folder())));
}

}  // namespace mirlet
