#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>
#include <string_view>

class QPainter;

namespace mirlet::ui {

// The panel's symbols ("doc.on.doc", "star.fill", ...) as line drawings, so that
// they look alike on every desktop, with or without an icon theme. An unknown
// name draws a dashed square.
void drawSymbol(QPainter& painter, const QRectF& box, std::string_view name, const QColor& color);

// The symbol as an icon in the palette's text colour (and its disabled shade),
// drawn at the size asked, in the palette of the moment it is drawn.
QIcon symbolIcon(std::string_view name);

// A row of the symbol beside a label (which it takes), aligned to its first line.
QWidget* symbolRow(std::string_view name, QWidget* label);

}  // namespace mirlet::ui
