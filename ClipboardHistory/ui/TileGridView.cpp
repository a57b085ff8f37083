#include "ClipboardHistory/ui/TileGridView.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPixmapCache>
#include <QScrollBar>
#include <QToolTip>

#include "ClipboardHistory/panel/HistoryFormat.h"
#include "ClipboardHistory/panel/PanelStatus.h"
#include "ClipboardHistory/panel/TileMenu.h"
#include "ClipboardHistory/ui/TileGridAccessibility.h"
#include "core/Overloaded.h"
#include "core/ShortcutText.h"
#include "host/ClipboardTargets.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::text;

namespace {

constexpr int kThumbnailSide = 480;
constexpr int kIconSide = 64;

QPixmap decoded(const std::optional<Bytes>& data, int maximumSide) {
  if (!data || data->empty()) return {};
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar*>(data->data()),
                          static_cast<int>(data->size()))) {
    return {};
  }
  if (image.width() > maximumSide || image.height() > maximumSide) {
    image = image.scaled(maximumSide, maximumSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  return QPixmap::fromImage(std::move(image));
}

void addEntries(QMenu& menu, const std::vector<TileMenu::Entry>& entries, TileMenu& tileMenu) {
  for (const TileMenu::Entry& entry : entries) {
    if (std::holds_alternative<TileMenu::Submenu>(entry.action)) {
      QMenu* submenu = menu.addMenu(text(entry.title));
      addEntries(*submenu, entry.entries, tileMenu);
      continue;
    }
    QAction* action = menu.addAction(text(entry.title));
    QObject::connect(action, &QAction::triggered, &menu,
                     [&tileMenu, what = entry.action] { tileMenu.perform(what); });
  }
}

}  // namespace

TileGridView::TileGridView(HistoryPanelModel& model, ClipboardHistoryFeature& feature, Clock& clock,
                           QWidget* parent)
    : QAbstractScrollArea(parent), model_(model), feature_(feature), clock_(clock) {
  static const bool described = [] {
    QAccessible::installFactory(&TileGridAccessible::factory);
    return true;
  }();
  (void)described;
  setObjectName(QStringLiteral("tileGrid"));
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::NoFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  verticalScrollBar()->setSingleStep(24);

  const auto redraw = [this](const auto&) {
    viewport()->update();
  };
  subscriptions_.push_back(model_.groups().subscribe([this](const auto&) { itemsChanged(); }));
  subscriptions_.push_back(model_.selection().subscribe(redraw));
  subscriptions_.push_back(model_.focusID().subscribe([this](const auto&) {
    scrollToFocus();
    viewport()->update();
    // Screen readers follow the tile with the focus.
    if (const auto focused = focusedTile(); focused && QAccessible::isActive()) {
      QAccessibleEvent event(this, QAccessible::Focus);
      event.setChild(static_cast<int>(*focused));
      QAccessible::updateAccessibility(&event);
    }
  }));
  subscriptions_.push_back(model_.optionHeld().subscribe(redraw));
  subscriptions_.push_back(feature_.privateItemsAvailable().subscribe(redraw));
  subscriptions_.push_back(feature_.settings().subscribe([this](const auto&) {
    refreshShortcutHints();
    relayout();
  }));
  refreshShortcutHints();
  itemsChanged();
}

TileGridView::~TileGridView() {
  for (const auto& [id, accessible] : accessibleTiles_) {
    QAccessible::deleteAccessibleInterface(accessible);
  }
}

void TileGridView::itemsChanged() {
  items_.clear();
  indexes_.clear();
  for (const HistoryGroup& group : model_.groups().get()) {
    for (const ItemPointer& item : group.items) {
      indexes_.emplace(item->id, items_.size());
      items_.push_back(item);
    }
  }
  std::erase_if(accessibleTiles_, [this](const auto& entry) {
    if (indexes_.contains(entry.first)) return false;
    QAccessible::deleteAccessibleInterface(entry.second);
    return true;
  });
  hovered_.reset();
  relayout();
}

void TileGridView::relayout() {
  std::vector<TileGridLayout::Group> groups;
  for (const HistoryGroup& group : model_.groups().get()) {
    groups.push_back({group.title.has_value(), group.items.size()});
  }
  layout_ =
      TileGridLayout(std::move(groups), viewport()->width(), feature_.settings().get().tileSize);
  model_.setColumns(layout_.columns());
  const double tile = TileGridLayout::tileHeight(feature_.settings().get().tileSize);
  model_.setRowsPerPage(std::max(1, static_cast<int>(viewport()->height() / tile)));
  verticalScrollBar()->setPageStep(viewport()->height());
  verticalScrollBar()->setRange(
      0, std::max(0, static_cast<int>(layout_.contentHeight()) - viewport()->height()));
  scrollToFocus();
  viewport()->update();
}

void TileGridView::refreshShortcutHints() {
  // The panel's ⌘ is Ctrl where shortcuts are written with names.
  const QString prefix = feature_.shortcutStyle() == ShortcutStyle::names ? QStringLiteral("Ctrl+")
                                                                          : QStringLiteral("⌘");
  for (std::size_t i = 0; i < shortcutHints_.size(); ++i) {
    shortcutHints_[i] = prefix + QString::number(i + 1);
  }
}

void TileGridView::scrollToFocus() {
  const auto& focus = model_.focusID().get();
  if (!focus) return;
  const auto index = indexes_.find(*focus);
  if (index == indexes_.end()) return;
  const GridRect tile = layout_.tile(index->second);
  const int top = verticalScrollBar()->value();
  const int height = viewport()->height();
  constexpr double margin = TileGridLayout::kSpacing;
  if (tile.y - margin < top) {
    verticalScrollBar()->setValue(
        static_cast<int>(tile.y - margin - TileGridLayout::kHeaderHeight));
  } else if (tile.y + tile.height + margin > top + height) {
    verticalScrollBar()->setValue(static_cast<int>(tile.y + tile.height + margin - height));
  }
}

std::optional<QRect> TileGridView::tileRect(const Uuid& id) const {
  const auto index = indexes_.find(id);
  if (index == indexes_.end()) return std::nullopt;
  const GridRect tile = layout_.tile(index->second);
  return QRectF(tile.x, tile.y - verticalScrollBar()->value(), tile.width, tile.height)
      .toAlignedRect();
}

std::optional<std::size_t> TileGridView::itemAt(QPoint point) const {
  return layout_.itemAt(point.x(), point.y() + verticalScrollBar()->value());
}

QPixmap TileGridView::picture(const std::string& key,
                              const std::function<std::optional<Bytes>()>& load, int maximumSide) {
  const QString cacheKey = text(key);
  QPixmap pixmap;
  if (QPixmapCache::find(cacheKey, &pixmap)) return pixmap;
  pixmap = decoded(load(), maximumSide);
  if (!pixmap.isNull()) QPixmapCache::insert(cacheKey, pixmap);
  return pixmap;
}

ui::TileContent TileGridView::content(const ClipboardItem& item, bool hovered) {
  ui::TileContent content;
  const auto& settings = feature_.settings().get();
  content.isSelected = model_.selection().get().contains(item.id);
  content.isFocused = model_.focusID().get() == item.id;
  content.showsInfo = settings.alwaysShowInfo || hovered;
  content.age = text(HistoryFormat::age(item.lastUsedAt, clock_.now()));
  if (const auto number = model_.shortcutIndex(item.id); number && *number >= 1 && *number <= 9) {
    content.shortcutHint = shortcutHints_[static_cast<std::size_t>(*number - 1)];
  }
  content.privateItemsAvailable = feature_.privateItemsAvailable().get();
  const std::string id = item.id.toString();
  if (item.isPrivate) {
    if (model_.optionHeld().get()) {
      if (auto revealed = feature_.revealedText(item.id)) content.revealedText = text(*revealed);
    }
  } else if (item.kind == ItemKind::image || item.kind == ItemKind::screenshot) {
    content.thumbnail = picture(
        "thumbnail:" + id, [&] { return model_.thumbnail(item.id); }, kThumbnailSide);
  } else if (item.kind == ItemKind::link) {
    content.siteIcon = picture(
        "site-icon:" + id, [&] { return model_.thumbnail(item.id); }, kIconSide);
  } else if (std::ranges::find(HistoryPanelModel::revealableKinds, item.kind) !=
             HistoryPanelModel::revealableKinds.end()) {
    content.fileIcon = picture(
        "file-icon:" + id, [&] { return model_.fileIcon(item); }, kIconSide);
  }
  content.sourceIcon = picture(
      "source-icon:" + item.sourceBundleID.value_or(id), [&] { return model_.sourceIcon(item.id); },
      kIconSide);
  return content;
}

void TileGridView::paintEmptyState(QPainter& painter) {
  const auto& hotKey = feature_.settings().get().hotKey;
  PanelEmptyState empty =
      panelEmptyState(model_.section().get(), model_.query().get(),
                      hotKey ? std::optional(feature_.label(*hotKey)) : std::nullopt);
  empty.text = shortcutText(empty.text, feature_.shortcutStyle());
  const QRect area = viewport()->rect().adjusted(48, 0, -48, 0);
  QFont titleFont = font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
  titleFont.setBold(true);
  const QFontMetrics titleMetrics(titleFont);
  const QRect body = QFontMetrics(font()).boundingRect(
      QRect(0, 0, area.width(), 1000), Qt::AlignHCenter | Qt::TextWordWrap, text(empty.text));
  const int total = titleMetrics.height() + 8 + body.height();
  int y = area.center().y() - total / 2;
  painter.setFont(titleFont);
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(QRect(area.left(), y, area.width(), titleMetrics.height()), Qt::AlignHCenter,
                   text(empty.title));
  y += titleMetrics.height() + 8;
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::PlaceholderText));
  painter.drawText(QRect(area.left(), y, area.width(), body.height()),
                   Qt::AlignHCenter | Qt::TextWordWrap, text(empty.text));
}

void TileGridView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().color(QPalette::Window));
  drawn_.clear();
  if (items_.empty()) {
    paintEmptyState(painter);
    return;
  }
  const double top = verticalScrollBar()->value();
  const double bottom = top + viewport()->height();
  painter.translate(0, -top);

  const auto& groups = model_.groups().get();
  QFont headerFont = font();
  headerFont.setBold(true);
  painter.setFont(headerFont);
  painter.setPen(palette().color(QPalette::Text));
  for (const std::size_t g : layout_.headersIn(top, bottom)) {
    const GridRect rect = *layout_.header(g);
    painter.drawText(QRectF(rect.x + 2, rect.y, rect.width, rect.height),
                     Qt::AlignLeft | Qt::AlignVCenter, text(groups[g].title.value_or("")));
  }
  painter.setFont(font());
  for (const std::size_t index : layout_.itemsIn(top, bottom)) {
    const ClipboardItem& item = *items_[index];
    const GridRect rect = layout_.tile(index);
    ui::TilePainter::paint(painter, QRectF(rect.x, rect.y, rect.width, rect.height), item,
                           content(item, hovered_ == index), palette());
    drawn_.push_back(item.id);
  }
}

void TileGridView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  relayout();
}

bool TileGridView::isOnStar(std::size_t index, QPointF point) const {
  const GridRect rect = layout_.tile(index);
  const QRectF star = ui::TilePainter::starRect(
      QRectF(rect.x, rect.y - verticalScrollBar()->value(), rect.width, rect.height));
  return star.adjusted(-4, -4, 4, 4).contains(point);
}

void TileGridView::mousePressEvent(QMouseEvent* event) {
  const auto index = itemAt(event->pos());
  if (!index) return;
  const ClipboardItem& item = *items_[*index];
  const bool isSelected = model_.selection().get().contains(item.id);
  const auto modifiers = event->modifiers();
  const bool plain =
      !modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::ShiftModifier);
  if (event->button() == Qt::LeftButton) {
    if (isOnStar(*index, event->position())) {
      feature_.setFavorite(!item.isFavorite, {item.id});
      return;
    }
    pressedAt_ = event->pos();
    pressedItem_ = item.id;
    // As in file managers: a press on a selected tile keeps the selection, so that a
    // drag carries all of it; the release without a drag selects that tile alone.
    if (isSelected && plain) {
      selectOnRelease_ = item.id;
      return;
    }
  }
  if (event->button() == Qt::RightButton && isSelected) return;  // the menu acts on the selection
  model_.click(item.id, modifiers.testFlag(Qt::ControlModifier),
               modifiers.testFlag(Qt::ShiftModifier));
}

// Only where a click would choose: on a tile, not on its star (a second click
// there, which toggles it again).
void TileGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  const auto index = itemAt(event->pos());
  if (event->button() != Qt::LeftButton || !index) return;
  if (isOnStar(*index, event->position())) {
    const ClipboardItem& item = *items_[*index];
    feature_.setFavorite(!item.isFavorite, {item.id});
    return;
  }
  model_.perform(PanelCommand{PanelCommand::Action::choose});
}

void TileGridView::mouseMoveEvent(QMouseEvent* event) {
  if (pressedAt_ && (event->buttons() & Qt::LeftButton) &&
      (event->pos() - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
    const Uuid id = *pressedItem_;
    pressedAt_.reset();
    pressedItem_.reset();
    selectOnRelease_.reset();
    startDrag(id);
    return;
  }
  const auto index = itemAt(event->pos());
  if (index != hovered_) {
    hovered_ = index;
    viewport()->update();
  }
}

void TileGridView::leaveEvent(QEvent* event) {
  hovered_.reset();
  viewport()->update();
  QAbstractScrollArea::leaveEvent(event);
}

bool TileGridView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    pressedAt_.reset();
    pressedItem_.reset();
    if (const auto id = std::exchange(selectOnRelease_, std::nullopt))
      model_.click(*id, false, false);
  }
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const auto index = itemAt(help->pos())) {
      const ClipboardItem& item = *items_[*index];
      QToolTip::showText(help->globalPos(),
                         isOnStar(*index, help->pos())
                             ? (item.isFavorite ? QStringLiteral("Quitar de Favoritos")
                                                : QStringLiteral("Añadir a Favoritos"))
                             : tileDescription(*index),
                         viewport());
      return true;
    }
  }
  return QAbstractScrollArea::viewportEvent(event);
}

QString TileGridView::tileDescription(std::size_t index) const {
  const ClipboardItem& item = *items_.at(index);
  return ui::TilePainter::accessibleDescription(
      item, text(HistoryFormat::age(item.lastUsedAt, clock_.now())));
}

std::optional<std::size_t> TileGridView::tileIndex(const Uuid& id) const {
  const auto found = indexes_.find(id);
  if (found == indexes_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::size_t> TileGridView::focusedTile() const {
  const std::optional<Uuid> focused = model_.focusID().get();
  return focused ? tileIndex(*focused) : std::nullopt;
}

QAccessibleInterface* TileGridView::accessibleTile(std::size_t index) {
  const Uuid& id = items_.at(index)->id;
  if (const auto known = accessibleTiles_.find(id); known != accessibleTiles_.end()) {
    return QAccessible::accessibleInterface(known->second);
  }
  auto* tile = new TileAccessible(this, id);  // Qt owns what is registered
  accessibleTiles_.emplace(id, QAccessible::registerAccessibleInterface(tile));
  return tile;
}

void TileGridView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Keyboard) return openFocusedMenu();
  const auto index = itemAt(event->pos());  // viewport coordinates, as for every event here
  if (!index) return;
  openMenu(items_[*index]->id, event->globalPos());
}

// The Menu key and Shift+F10: the menu of the tile with the keyboard focus.
void TileGridView::keyPressEvent(QKeyEvent* event) {
  const bool menuKey = event->key() == Qt::Key_Menu ||
                       (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
  if (!menuKey) return QAbstractScrollArea::keyPressEvent(event);
  openFocusedMenu();
}

void TileGridView::openFocusedMenu() {
  const std::optional<Uuid> focused = model_.focusID().get();
  const auto rect = focused ? tileRect(*focused) : std::nullopt;
  if (rect) openMenu(*focused, viewport()->mapToGlobal(rect->center()));
}

void TileGridView::openMenu(const Uuid& id, QPoint globalPos) {
  TileMenu tileMenu(model_, feature_, id);
  QMenu menu(this);
  addEntries(menu, tileMenu.entries(), tileMenu);
  menu.exec(globalPos);
  // ⌥ may have been let go while the menu had the keyboard.
  if (!QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier)) {
    model_.setOptionHeld(false);
  }
}

void TileGridView::startDrag(const Uuid& id) {
  const HistoryPanelModel::DragData dragged = model_.dragData(id);
  auto mime = std::make_unique<QMimeData>();
  for (const auto& representation : dragged.shared) {
    for (const std::string& format : ClipboardTargets::targets(representation.type)) {
      mime->setData(text(format),
                    QByteArray(reinterpret_cast<const char*>(representation.data.data()),
                               static_cast<qsizetype>(representation.data.size())));
    }
  }
  mime->setData(QString::fromLatin1(HistoryPanelModel::kItemIDType),
                QByteArray::fromStdString(dragged.itemIDs));
  auto* drag = new QDrag(this);  // Qt deletes the drag when it ends
  drag->setMimeData(mime.release());
  if (const auto rect = tileRect(id)) {
    QPixmap image = viewport()->grab(*rect);
    drag->setPixmap(image.scaledToWidth(std::min(image.width(), 160), Qt::SmoothTransformation));
  }
  drag->exec(Qt::CopyAction);
}

}  // namespace mirlet
