#pragma once

#include <QPixmap>
#include <QRectF>
#include <QString>
#include <optional>

#include "ClipboardHistory/model/ClipboardItem.h"

class QPainter;
class QPalette;

namespace mirlet::ui {

// Everything one tile shows beyond its item, gathered by the grid.
struct TileContent {
  bool isSelected = false;
  bool isFocused = false;
  bool showsInfo = false;  // always, or while the pointer is over the tile
  QString age;
  QString shortcutHint;  // "Ctrl+1"; empty without a number
  QPixmap thumbnail;     // pictures
  QPixmap sourceIcon;
  QPixmap fileIcon;
  QPixmap siteIcon;                     // a link's page's own icon, fetched with its title
  std::optional<QString> revealedText;  // a private item's text while ⌥ is held
  bool privateItemsAvailable = true;
};

// Draws the tiles of the history grid: a preview by kind, the info line, and the
// footer with the source's icon, the age, the shortcut hint and the star.
namespace TilePainter {

void paint(QPainter& painter, const QRectF& tile, const ClipboardItem& item,
           const TileContent& content, const QPalette& palette);

// Where the star is, for clicks that toggle the favourite.
QRectF starRect(const QRectF& tile);

// What a screen reader says of the tile: kind, text and age; of a private item,
// that it is private and its age, never its text.
QString accessibleDescription(const ClipboardItem& item, const QString& age);

}  // namespace TilePainter
}  // namespace mirlet::ui
