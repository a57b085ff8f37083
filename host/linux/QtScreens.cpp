#include "host/linux/QtScreens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace mirlet {
namespace {

ScreenRect rect(const QRect& r) {
  return {static_cast<double>(r.x()), static_cast<double>(r.y()), static_cast<double>(r.width()),
          static_cast<double>(r.height())};
}

}  // namespace

std::vector<Screen> QtScreens::screens() const {
  std::vector<Screen> result;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) result.push_back({rect(primary->geometry()), rect(primary->availableGeometry())});
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) {
      result.push_back({rect(screen->geometry()), rect(screen->availableGeometry())});
    }
  }
  return result;
}

std::optional<ScreenPoint> QtScreens::pointerLocation() const {
  const QPoint at = QCursor::pos();
  return ScreenPoint{static_cast<double>(at.x()), static_cast<double>(at.y())};
}

}  // namespace mirlet
