#include "host/linux/QtDesktopServices.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

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

std::optional<std::string> PathFileURLs::filePathURL(const std::string& url) const {
  const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
  if (!parsed.isValid() || !parsed.isLocalFile()) return std::nullopt;
  const QString path = parsed.toLocalFile();
  if (!path.startsWith(QLatin1Char('/'))) return std::nullopt;
  QString clean = QDir::cleanPath(path);
  // A folder's URL keeps the "/" it was written with.
  if (path.endsWith(QLatin1Char('/')) && !clean.endsWith(QLatin1Char('/')))
    clean += QLatin1Char('/');
  return QUrl::fromLocalFile(clean).toString(QUrl::FullyEncoded).toStdString();
}

}  // namespace mirlet
