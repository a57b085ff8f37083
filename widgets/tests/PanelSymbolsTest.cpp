#include "widgets/PanelSymbols.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>

namespace mirlet::ui {
namespace {

// How many pixels of the icon, drawn at that size, are of that colour.
int pixelsOf(const QIcon& icon, int side, QColor color) {
  const QImage image = icon.pixmap(side, side).toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      count += pixel.alpha() > 200 && pixel.red() == color.red() &&
               pixel.green() == color.green() && pixel.blue() == color.blue();
    }
  }
  return count;
}

// A theme changed while the program runs: the same icon is drawn in the new
// colours, and at any size, not scaled from a few fixed ones.
TEST(PanelSymbolsTest, AnIconFollowsTheThemeAndIsDrawnAtTheSizeAsked) {
  const QPalette before = QApplication::palette();
  QPalette light = before;
  light.setColor(QPalette::WindowText, QColor(200, 0, 0));
  QApplication::setPalette(light);
  const QIcon icon = symbolIcon("star");
  EXPECT_GT(pixelsOf(icon, 24, QColor(200, 0, 0)), 0);

  QPalette dark = before;
  dark.setColor(QPalette::WindowText, QColor(0, 0, 210));
  QApplication::setPalette(dark);
  EXPECT_EQ(pixelsOf(icon, 24, QColor(200, 0, 0)), 0);
  EXPECT_GT(pixelsOf(icon, 24, QColor(0, 0, 210)), 0);

  EXPECT_EQ(icon.pixmap(48, 48).size(), QSize(48, 48));
  EXPECT_GT(pixelsOf(icon, 48, QColor(0, 0, 210)), pixelsOf(icon, 24, QColor(0, 0, 210)));
  QApplication::setPalette(before);
}

}  // namespace
}  // namespace mirlet::ui
