#include "ClipboardHistory/ui/TilePainter.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QTextLayout>

#include "ClipboardHistory/panel/HistoryFormat.h"
#include "widgets/PanelSymbols.h"
#include "widgets/Widgets.h"

namespace mirlet::ui::TilePainter {
namespace {

constexpr double kRadius = 10;
constexpr double kInset = 10;
constexpr double kFooterHeight = 18;
constexpr double kIconSide = 14;
// Enough text for any tile: longer texts are cut before they are laid out.
constexpr qsizetype kMaximumExcerpt = 600;

QFont smallFont(const QFont& base) {
  QFont font = base;
  font.setPointSizeF(base.pointSizeF() * 0.85);
  return font;
}

QColor mixed(const QColor& a, const QColor& b, double amount) {
  return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - amount) + b.redF() * amount),
                          static_cast<float>(a.greenF() * (1 - amount) + b.greenF() * amount),
                          static_cast<float>(a.blueF() * (1 - amount) + b.blueF() * amount));
}

// Lays out `text` wrapped in `box`, eliding the last line that fits.
void drawWrapped(QPainter& painter, const QRectF& box, const QString& text, const QFont& font) {
  QString excerpt = text.left(kMaximumExcerpt);
  excerpt.replace(QLatin1Char('\t'), QStringLiteral("    "));
  const QFontMetricsF metrics(font, painter.device());
  painter.setFont(font);
  double y = box.top();
  const QStringList lines = excerpt.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QTextLayout layout(lines[i], font, painter.device());
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(box.width());
      const bool last = y + 2 * metrics.lineSpacing() > box.bottom();
      if (last) {
        const QString rest = lines[i].mid(line.textStart());
        painter.drawText(QPointF(box.left(), y + metrics.ascent()),
                         metrics.elidedText(rest, Qt::ElideRight, box.width()));
        layout.endLayout();
        return;
      }
      // Leading spaces stay: code keeps its indentation.
      QString shown = lines[i].mid(line.textStart(), line.textLength());
      while (!shown.isEmpty() && shown.back().isSpace()) shown.chop(1);
      painter.drawText(QPointF(box.left(), y + metrics.ascent()), shown);
      y += metrics.lineSpacing();
    }
    layout.endLayout();
  }
}

void drawImageFitting(QPainter& painter, const QRectF& box, const QPixmap& image) {
  if (image.isNull() || box.isEmpty()) return;
  QSizeF size = image.size();
  size.scale(box.size(), Qt::KeepAspectRatio);
  if (size.width() > image.width()) size = image.size();  // never blown up
  QRectF target(QPointF(), size);
  target.moveCenter(box.center());
  QPainterPath clip;
  clip.addRoundedRect(target, 4, 4);
  painter.save();
  painter.setClipPath(clip, Qt::IntersectClip);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(target, image, QRectF(image.rect()));
  painter.restore();
}

QColor swatch(const ColorValue& value) {
  return QColor::fromRgbF(static_cast<float>(value.red), static_cast<float>(value.green),
                          static_cast<float>(value.blue), static_cast<float>(value.alpha));
}

void drawPrivate(QPainter& painter, const QRectF& box, const TileContent& content,
                 const QPalette& palette) {
  if (content.revealedText) {
    painter.setPen(palette.color(QPalette::Text));
    drawWrapped(painter, box, *content.revealedText, painter.font());
    return;
  }
  const QFont base = painter.font();
  QFont dots = base;
  dots.setPointSizeF(dots.pointSizeF() * 1.6);
  dots.setLetterSpacing(QFont::PercentageSpacing, 120);
  painter.setFont(dots);
  painter.setPen(palette.color(QPalette::Text));
  painter.drawText(box.adjusted(0, 0, 0, -22), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("••••••"));
  const QRectF line(box.left(), box.bottom() - 18, box.width(), 18);
  const QColor secondary = palette.color(QPalette::PlaceholderText);
  drawSymbol(painter, QRectF(line.left(), line.top() + 2, kIconSide, kIconSide), "lock.fill",
             secondary);
  painter.setFont(smallFont(base));
  painter.setPen(secondary);
  painter.drawText(line.adjusted(kIconSide + 5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   content.privateItemsAvailable ? QStringLiteral("Privado")
                                                 : QStringLiteral("Privado · No disponible"));
}

void drawPreview(QPainter& painter, const QRectF& box, const ClipboardItem& item,
                 const TileContent& content, const QPalette& palette) {
  const QColor textColor = palette.color(QPalette::Text);
  const QColor secondary = palette.color(QPalette::PlaceholderText);
  painter.setPen(textColor);
  const QString itemText = text(item.text);
  if (item.isPrivate) {
    drawPrivate(painter, box, content, palette);
    return;
  }
  switch (item.kind) {
    case ItemKind::appContent: {
      drawSymbol(painter, QRectF(box.center().x() - 14, box.top() + 6, 28, 28),
                 ItemKinds::symbol(item.kind), secondary);
      painter.setPen(secondary);
      const QString caption =
          QStringLiteral("Contenido de ") +
          (item.sourceName ? text(*item.sourceName) : QStringLiteral("otra app"));
      painter.drawText(box.adjusted(0, 40, 0, 0),
                       Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, caption);
      return;
    }
    case ItemKind::image:
    case ItemKind::screenshot:
      if (content.thumbnail.isNull()) {
        drawSymbol(painter, QRectF(box.center().x() - 16, box.center().y() - 16, 32, 32),
                   ItemKinds::symbol(item.kind), secondary);
      } else {
        drawImageFitting(painter, box, content.thumbnail);
      }
      return;
    case ItemKind::color:
      if (const auto* color = std::get_if<ItemDetails::Color>(&item.detail)) {
        const QRectF chip(box.left(), box.top(), box.width(), box.height() - 22);
        painter.save();
        painter.setBrush(swatch(color->value));
        painter.setPen(QPen(mixed(palette.color(QPalette::Base), textColor, 0.2), 1));
        painter.drawRoundedRect(chip, 6, 6);
        painter.restore();
        QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        painter.setFont(mono);
        painter.drawText(QRectF(box.left(), chip.bottom() + 4, box.width(), 18),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(mono).elidedText(itemText, Qt::ElideRight, box.width()));
        return;
      }
      break;
    case ItemKind::file:
    case ItemKind::files:
    case ItemKind::folder:
    case ItemKind::audio:
    case ItemKind::video: {
      const QRectF icon(box.left(), box.top(), box.width(), std::min(48.0, box.height() - 24));
      if (content.fileIcon.isNull()) {
        drawSymbol(painter, QRectF(icon.center().x() - 18, icon.top(), 36, 36),
                   ItemKinds::symbol(item.kind), secondary);
      } else {
        drawImageFitting(painter, icon, content.fileIcon);
      }
      QString names;
      for (const QString& line : itemText.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        names +=
            line.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty) + QLatin1Char('\n');
      }
      painter.setPen(textColor);
      drawWrapped(painter, box.adjusted(0, icon.height() + 6, 0, 0), names.trimmed(),
                  smallFont(painter.font()));
      return;
    }
    case ItemKind::link:
      if (item.linkTitle) {
        QFont bold = painter.font();
        bold.setBold(true);
        drawWrapped(painter, box.adjusted(0, 0, 0, -20), text(*item.linkTitle), bold);
        painter.setPen(palette.color(QPalette::Link));
        painter.setFont(smallFont(painter.font()));
        painter.drawText(
            QRectF(box.left(), box.bottom() - 18, box.width(), 18),
            Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(painter.font()).elidedText(itemText, Qt::ElideMiddle, box.width()));
        return;
      }
      painter.setPen(palette.color(QPalette::Link));
      break;
    case ItemKind::code: {
      QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
      mono.setPointSizeF(painter.font().pointSizeF() * 0.9);
      drawWrapped(painter, box, itemText, mono);
      return;
    }
    default:
      break;
  }
  drawWrapped(painter, box, itemText, painter.font());
}

QRectF footerRect(const QRectF& tile) {
  return QRectF(tile.left() + kInset, tile.bottom() - kInset - kFooterHeight,
                tile.width() - 2 * kInset, kFooterHeight);
}

void drawFooter(QPainter& painter, const QRectF& tile, const ClipboardItem& item,
                const TileContent& content, const QPalette& palette) {
  const QRectF footer = footerRect(tile);
  const QColor secondary = palette.color(QPalette::PlaceholderText);
  const QRectF icon(footer.left(), footer.center().y() - kIconSide / 2, kIconSide, kIconSide);
  if (content.sourceIcon.isNull()) {
    drawSymbol(painter, icon, "app.dashed", secondary);
  } else {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(icon, content.sourceIcon, QRectF(content.sourceIcon.rect()));
    painter.restore();
  }
  const QRectF star = starRect(tile);
  drawSymbol(painter, star, item.isFavorite ? "star.fill" : "star",
             item.isFavorite ? QColor(0xF2, 0xB1, 0x1B) : secondary);

  QFont small = smallFont(painter.font());
  painter.setFont(small);
  const QFontMetricsF metrics(small);
  double right = star.left() - 6;
  if (!content.shortcutHint.isEmpty()) {
    const double width = metrics.horizontalAdvance(content.shortcutHint) + 8;
    const QRectF hint(right - width, footer.center().y() - 8, width, 16);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(mixed(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.08));
    painter.drawRoundedRect(hint, 4, 4);
    painter.restore();
    painter.setPen(secondary);
    painter.drawText(hint, Qt::AlignCenter, content.shortcutHint);
    right = hint.left() - 6;
  }
  painter.setPen(secondary);
  const QRectF age(icon.right() + 6, footer.top(), std::max(0.0, right - icon.right() - 6),
                   footer.height());
  painter.drawText(age, Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(content.age, Qt::ElideRight, age.width()));
}

}  // namespace

QRectF starRect(const QRectF& tile) {
  const QRectF footer = footerRect(tile);
  return QRectF(footer.right() - kIconSide, footer.center().y() - kIconSide / 2, kIconSide,
                kIconSide);
}

QString accessibleDescription(const ClipboardItem& item, const QString& age) {
  if (item.isPrivate) return QStringLiteral("Privado, ") + age;
  return text(std::string(ItemKinds::title(item.kind))) + QStringLiteral(", ") +
         text(item.text).left(200) + QStringLiteral(", ") + age;
}

void paint(QPainter& painter, const QRectF& tile, const ClipboardItem& item,
           const TileContent& content, const QPalette& palette) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor base = palette.color(QPalette::Base);
  const QColor accent = palette.color(QPalette::Highlight);
  const QColor border = mixed(base, palette.color(QPalette::Text), 0.12);
  painter.setBrush(content.isSelected ? mixed(base, accent, 0.14) : base);
  painter.setPen(QPen(content.isSelected ? accent : border, content.isSelected ? 2 : 1));
  painter.drawRoundedRect(tile.adjusted(1, 1, -1, -1), kRadius, kRadius);
  if (content.isFocused) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(mixed(accent, base, 0.45), 3));
    painter.drawRoundedRect(tile.adjusted(-2, -2, 2, 2), kRadius + 2, kRadius + 2);
  }

  const QColor secondary = palette.color(QPalette::PlaceholderText);
  const QRectF inner = tile.adjusted(kInset, kInset, -kInset, -kInset);
  const QRectF heading(inner.left(), inner.top(), inner.width(), 16);
  const QRectF headingIcon(heading.left(), heading.top() + 1, kIconSide, kIconSide);
  if (!item.isPrivate && !content.siteIcon.isNull()) {
    drawImageFitting(painter, headingIcon, content.siteIcon);
  } else {
    drawSymbol(painter, headingIcon, item.isPrivate ? "lock.fill" : ItemKinds::symbol(item.kind),
               secondary);
  }
  QFont small = smallFont(painter.font());
  painter.setFont(small);
  painter.setPen(secondary);
  const QString kindTitle = text(std::string(ItemKinds::title(item.kind)));
  painter.drawText(
      heading.adjusted(kIconSide + 5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
      QFontMetricsF(small).elidedText(kindTitle, Qt::ElideRight, heading.width() - kIconSide - 5));

  double bottom = inner.bottom() - kFooterHeight - 6;
  if (content.showsInfo && !item.isPrivate) {
    if (const auto info = HistoryFormat::info(item)) {
      const QRectF line(inner.left(), bottom - 16, inner.width(), 16);
      painter.setFont(small);
      painter.setPen(secondary);
      painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, text(*info));
      bottom = line.top() - 2;
    }
  }
  painter.setFont(QFont());
  const QRectF preview(inner.left(), heading.bottom() + 6, inner.width(),
                       std::max(0.0, bottom - heading.bottom() - 6));
  painter.save();
  painter.setClipRect(preview.adjusted(-1, -1, 1, 1), Qt::IntersectClip);
  drawPreview(painter, preview, item, content, palette);
  painter.restore();
  drawFooter(painter, tile, item, content, palette);
  painter.restore();
}

}  // namespace mirlet::ui::TilePainter
