#include "host/linux/PathFileURLs.h"

#include <QDir>
#include <QUrl>

namespace mirlet {

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
