#include "widgets/PanelSymbols.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIconEngine>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QtMath>
#include <functional>
#include <map>
#include <string>

namespace mirlet::ui {
namespace {

// Every symbol is drawn on a 16 × 16 grid, scaled to the box.
using Drawing = std::function<void(QPainter&)>;

QPainterPath starPath() {
  QPainterPath path;
  for (int i = 0; i < 10; ++i) {
    const double radius = i % 2 == 0 ? 7.2 : 3.0;
    const double angle = -M_PI / 2 + i * M_PI / 5;
    const QPointF point(8 + radius * std::cos(angle), 8.6 + radius * std::sin(angle));
    i == 0 ? path.moveTo(point) : path.lineTo(point);
  }
  path.closeSubpath();
  return path;
}

void page(QPainter& p, QRectF r) {
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - 3.5, r.top());
  path.lineTo(r.right(), r.top() + 3.5);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.drawPath(path);
  p.drawPolyline(QPolygonF{
      {r.right() - 3.5, r.top()}, {r.right() - 3.5, r.top() + 3.5}, {r.right(), r.top() + 3.5}});
}

void lock(QPainter& p) {
  p.drawRoundedRect(QRectF(3, 7, 10, 7.5), 1.5, 1.5);
  p.drawArc(QRectF(5, 2, 6, 9), 0, 180 * 16);
  p.drawLine(QPointF(5, 6.5), QPointF(5, 7));
  p.drawLine(QPointF(11, 6.5), QPointF(11, 7));
}

void filled(QPainter& p) { p.setBrush(p.pen().color()); }

const std::map<std::string, Drawing, std::less<>>& drawings() {
  static const std::map<std::string, Drawing, std::less<>> table{
      {"text.alignleft",
       [](QPainter& p) {
         for (int i = 0; i < 4; ++i)
           p.drawLine(QPointF(2, 3.5 + i * 3), QPointF(i % 2 ? 10 : 14, 3.5 + i * 3));
       }},
      {"link",
       [](QPainter& p) {
         p.translate(8, 8);
         p.rotate(-45);
         p.drawRoundedRect(QRectF(-7, -2.5, 8, 5), 2.5, 2.5);
         p.drawRoundedRect(QRectF(-1, -2.5, 8, 5), 2.5, 2.5);
       }},
      {"envelope",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 1.5, 1.5);
         p.drawPolyline(QPolygonF{{2, 4.5}, {8, 9}, {14, 4.5}});
       }},
      {"paintpalette",
       [](QPainter& p) {
         p.drawEllipse(QRectF(1.5, 2, 13, 12));
         filled(p);
         for (const QPointF c :
              {QPointF(5, 6), QPointF(8, 4.5), QPointF(11, 6), QPointF(5.5, 9.5)}) {
           p.drawEllipse(c, 1, 1);
         }
       }},
      {"chevron.left.forwardslash.chevron.right",
       [](QPainter& p) {
         p.drawPolyline(QPolygonF{{5, 4}, {1.5, 8}, {5, 12}});
         p.drawPolyline(QPolygonF{{11, 4}, {14.5, 8}, {11, 12}});
         p.drawLine(QPointF(9.5, 3), QPointF(6.5, 13));
       }},
      {"tablecells",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
         p.drawLine(QPointF(1.5, 6.2), QPointF(14.5, 6.2));
         p.drawLine(QPointF(1.5, 9.8), QPointF(14.5, 9.8));
         p.drawLine(QPointF(6, 2.5), QPointF(6, 13.5));
         p.drawLine(QPointF(10.3, 2.5), QPointF(10.3, 13.5));
       }},
      {"photo",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
         p.drawPolyline(QPolygonF{{1.5, 12}, {6, 7.5}, {9, 10.5}, {11, 8.5}, {14.5, 12}});
         p.drawEllipse(QPointF(10.5, 5.8), 1.2, 1.2);
       }},
      {"camera.viewfinder",
       [](QPainter& p) {
         for (const auto& corner :
              {QPolygonF{{1.5, 5}, {1.5, 2}, {4.5, 2}}, QPolygonF{{11.5, 2}, {14.5, 2}, {14.5, 5}},
               QPolygonF{{14.5, 11}, {14.5, 14}, {11.5, 14}},
               QPolygonF{{4.5, 14}, {1.5, 14}, {1.5, 11}}}) {
           p.drawPolyline(corner);
         }
         p.drawRoundedRect(QRectF(4, 5.5, 8, 6), 1, 1);
         p.drawEllipse(QPointF(8, 8.5), 1.6, 1.6);
       }},
      {"doc",
       [](QPainter& p) {
         page(p, QRectF(3, 1.5, 10, 13));
       }},
      {"doc.on.doc",
       [](QPainter& p) {
         p.drawPolyline(QPolygonF{{2, 11.5}, {2, 1.5}, {9, 1.5}});
         page(p, QRectF(5, 4, 9, 10.5));
       }},
      {"folder",
       [](QPainter& p) {
         QPainterPath path;
         path.moveTo(1.5, 13.5);
         path.lineTo(1.5, 3);
         path.lineTo(6, 3);
         path.lineTo(7.5, 4.8);
         path.lineTo(14.5, 4.8);
         path.lineTo(14.5, 13.5);
         path.closeSubpath();
         p.drawPath(path);
         p.drawLine(QPointF(1.5, 6.8), QPointF(14.5, 6.8));
       }},
      {"waveform",
       [](QPainter& p) {
         const double heights[] = {3, 7, 11, 6, 9, 4, 2};
         for (int i = 0; i < 7; ++i) {
           p.drawLine(QPointF(2 + i * 2, 8 - heights[i] / 2),
                      QPointF(2 + i * 2, 8 + heights[i] / 2));
         }
       }},
      {"film",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(2, 1.5, 12, 13), 1.5, 1.5);
         p.drawLine(QPointF(5, 1.5), QPointF(5, 14.5));
         p.drawLine(QPointF(11, 1.5), QPointF(11, 14.5));
         p.drawLine(QPointF(5, 8), QPointF(11, 8));
       }},
      {"calendar",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(1.5, 3, 13, 11.5), 1.5, 1.5);
         p.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
         p.drawLine(QPointF(5, 1.5), QPointF(5, 4.5));
         p.drawLine(QPointF(11, 1.5), QPointF(11, 4.5));
       }},
      {"shippingbox",
       [](QPainter& p) {
         p.drawPolygon(
             QPolygonF{{8, 1.5}, {14.5, 4.5}, {14.5, 11.5}, {8, 14.5}, {1.5, 11.5}, {1.5, 4.5}});
         p.drawPolyline(QPolygonF{{1.5, 4.5}, {8, 7.5}, {14.5, 4.5}});
         p.drawLine(QPointF(8, 7.5), QPointF(8, 14.5));
       }},
      {"clock",
       [](QPainter& p) {
         p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
         p.drawPolyline(QPolygonF{{8, 4}, {8, 8}, {11, 10}});
       }},
      {"star",
       [](QPainter& p) {
         p.drawPath(starPath());
       }},
      {"star.fill",
       [](QPainter& p) {
         filled(p);
         p.drawPath(starPath());
       }},
      {"sidebar.left",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
         p.drawLine(QPointF(6, 2.5), QPointF(6, 13.5));
       }},
      {"pin.fill",
       [](QPainter& p) {
         filled(p);
         p.drawPolygon(
             QPolygonF{{5, 1.5}, {11, 1.5}, {10, 3}, {10, 7}, {12, 9.5}, {4, 9.5}, {6, 7}, {6, 3}});
         p.drawLine(QPointF(8, 9.5), QPointF(8, 15));
       }},
      {"slider.horizontal.3",
       [](QPainter& p) {
         const double knobs[] = {10, 5, 9};
         for (int i = 0; i < 3; ++i) {
           const double y = 3.5 + i * 4.5;
           p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
           p.save();
           p.setBrush(QApplication::palette().color(QPalette::Base));
           p.drawEllipse(QPointF(knobs[i], y), 1.8, 1.8);
           p.restore();
         }
       }},
      {"pause.circle.fill",
       [](QPainter& p) {
         filled(p);
         p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
         p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(6.3, 5.2), QPointF(6.3, 10.8));
         p.drawLine(QPointF(9.7, 5.2), QPointF(9.7, 10.8));
       }},
      {"exclamationmark.triangle",
       [](QPainter& p) {
         p.drawPolygon(QPolygonF{{8, 1.8}, {15, 14}, {1, 14}});
         p.drawLine(QPointF(8, 6), QPointF(8, 9.6));
         p.drawPoint(QPointF(8, 11.8));
       }},
      {"info.circle",
       [](QPainter& p) {
         p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
         p.drawLine(QPointF(8, 7), QPointF(8, 11.5));
         p.drawPoint(QPointF(8, 4.8));
       }},
      {"keyboard.badge.ellipsis",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(1, 4, 14, 9), 1.5, 1.5);
         for (int i = 0; i < 4; ++i) p.drawPoint(QPointF(3.8 + i * 2.8, 7));
         p.drawLine(QPointF(5, 10.2), QPointF(11, 10.2));
       }},
      {"lock.fill",
       [](QPainter& p) {
         lock(p);
         filled(p);
         p.drawRoundedRect(QRectF(3, 7, 10, 7.5), 1.5, 1.5);
       }},
      {"lock.slash",
       [](QPainter& p) {
         lock(p);
         p.drawLine(QPointF(1.5, 1.5), QPointF(14.5, 14.5));
       }},
      {"list.bullet",
       [](QPainter& p) {
         for (int i = 0; i < 3; ++i) {
           const double y = 4 + i * 4;
           p.drawPoint(QPointF(2.5, y));
           p.drawLine(QPointF(5.5, y), QPointF(14, y));
         }
       }},
      {"square.grid.2x2",
       [](QPainter& p) {
         for (const QPointF corner : {QPointF(2, 2), QPointF(9, 2), QPointF(2, 9), QPointF(9, 9)}) {
           p.drawRoundedRect(QRectF(corner, QSizeF(5, 5)), 1.2, 1.2);
         }
       }},
      {"macwindow",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.8, 1.8);
         p.drawLine(QPointF(1.5, 5.5), QPointF(14.5, 5.5));
         p.drawPoint(QPointF(3.6, 4));
         p.drawPoint(QPointF(5.6, 4));
       }},
      {"doc.on.clipboard",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12), 1.5, 1.5);
         p.drawRoundedRect(QRectF(5.5, 1.2, 5, 2.6), 1, 1);
         p.drawLine(QPointF(5, 7), QPointF(11, 7));
         p.drawLine(QPointF(5, 10), QPointF(9.5, 10));
       }},
      {"list.bullet.clipboard",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12), 1.5, 1.5);
         p.drawRoundedRect(QRectF(5.5, 1.2, 5, 2.6), 1, 1);
         for (int i = 0; i < 3; ++i) {
           const double y = 6.5 + i * 2.6;
           p.drawPoint(QPointF(5, y));
           p.drawLine(QPointF(7, y), QPointF(11, y));
         }
       }},
      {"gearshape",
       [](QPainter& p) {
         p.drawEllipse(QPointF(8, 8), 2.2, 2.2);
         for (int i = 0; i < 8; ++i) {
           const double angle = i * M_PI / 4;
           p.drawLine(QPointF(8 + 4.4 * std::cos(angle), 8 + 4.4 * std::sin(angle)),
                      QPointF(8 + 6.4 * std::cos(angle), 8 + 6.4 * std::sin(angle)));
         }
         p.drawEllipse(QPointF(8, 8), 4.4, 4.4);
       }},
      {"cursorarrow.click.2",
       [](QPainter& p) {
         p.drawPolygon(QPolygonF{
             {6, 5}, {6, 15}, {8.5, 12.5}, {10.5, 15.5}, {12, 14.5}, {10, 11.8}, {13.5, 11.5}});
         p.drawLine(QPointF(6, 1.2), QPointF(6, 2.8));
         p.drawLine(QPointF(2.2, 3), QPointF(3.4, 4.2));
         p.drawLine(QPointF(1.2, 6.5), QPointF(2.8, 6.5));
         p.drawLine(QPointF(9.8, 3), QPointF(8.6, 4.2));
       }},
      {"scissors",
       [](QPainter& p) {
         p.drawEllipse(QPointF(4.2, 12), 2.2, 2.2);
         p.drawEllipse(QPointF(11.8, 12), 2.2, 2.2);
         p.drawLine(QPointF(5.6, 10.3), QPointF(12, 1.5));
         p.drawLine(QPointF(10.4, 10.3), QPointF(4, 1.5));
       }},
      {"keyboard",
       [](QPainter& p) {
         p.drawRoundedRect(QRectF(1, 4, 14, 9), 1.5, 1.5);
         for (int row = 0; row < 2; ++row) {
           for (int i = 0; i < 5; ++i) p.drawPoint(QPointF(3.2 + i * 2.4, 6.6 + row * 2.2));
         }
         p.drawLine(QPointF(5, 11), QPointF(11, 11));
       }},
      {"plus",
       [](QPainter& p) {
         p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
         p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
       }},
      {"hand.point.right",
       [](QPainter& p) {
         p.drawLine(QPointF(2, 8), QPointF(13.5, 8));
         p.drawPolyline(QPolygonF{{9.5, 4}, {13.5, 8}, {9.5, 12}});
       }},
      {"magnifyingglass",
       [](QPainter& p) {
         p.drawEllipse(QRectF(2, 2, 8.5, 8.5));
         p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
       }},
  };
  return table;
}

void dashedSquare(QPainter& p) {
  QPen pen = p.pen();
  pen.setStyle(Qt::DashLine);
  p.setPen(pen);
  p.drawRoundedRect(QRectF(2, 2, 12, 12), 3, 3);
}

}  // namespace

void drawSymbol(QPainter& painter, const QRectF& box, std::string_view name, const QColor& color) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const double side = std::min(box.width(), box.height());
  painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
  painter.scale(side / 16, side / 16);
  painter.setPen(QPen(color, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  const auto& table = drawings();
  if (const auto found = table.find(name); found != table.end()) {
    found->second(painter);
  } else if (name == "questionmark.square.dashed" || name == "app.dashed") {
    dashedSquare(painter);
    if (name != "app.dashed") {
      QFont font = painter.font();
      font.setPixelSize(9);
      font.setBold(true);
      painter.setFont(font);
      painter.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    }
  } else {
    dashedSquare(painter);
  }
  painter.restore();
}

namespace {

// Draws the symbol at whatever size is asked, in the palette of the moment: an icon
// that follows the display's scale and a change of theme while the program runs.
class SymbolIconEngine : public QIconEngine {
 public:
  explicit SymbolIconEngine(std::string name) : name_(std::move(name)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    const QPalette palette = QApplication::palette();
    const QColor color = mode == QIcon::Disabled
                             ? palette.color(QPalette::Disabled, QPalette::WindowText)
                             : palette.color(QPalette::WindowText);
    drawSymbol(*painter, QRectF(rect), name_, color);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
  }
  QIconEngine* clone() const override { return new SymbolIconEngine(name_); }

 private:
  std::string name_;
};

}  // namespace

QIcon symbolIcon(std::string_view name) {
  return QIcon(new SymbolIconEngine(std::string(name)));  // the icon owns its engine
}

QWidget* symbolRow(std::string_view name, QWidget* label) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  auto* icon = new QLabel;
  icon->setPixmap(symbolIcon(name).pixmap(16, 16));
  layout->addWidget(icon, 0, Qt::AlignTop);
  layout->addWidget(label, 1);
  return row;
}

}  // namespace mirlet::ui
