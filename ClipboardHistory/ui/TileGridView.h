#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

#include "ClipboardHistory/panel/HistoryPanelModel.h"
#include "ClipboardHistory/panel/TileGridLayout.h"
#include "ClipboardHistory/ui/TilePainter.h"

class QAccessibleInterface;

namespace mirlet {

// The grid of the history panel: the model's visible items under their date
// titles. Nothing is built per tile: each frame draws only the tiles on screen,
// and their pictures are read from the feature's cache when first drawn. Clicks
// select, a double click chooses, the star toggles the favourite, the context menu
// is the tile's menu, and dragging hands the items to other applications or lists.
class TileGridView : public QAbstractScrollArea {
 public:
  TileGridView(HistoryPanelModel& model, ClipboardHistoryFeature& feature, Clock& clock,
               QWidget* parent = nullptr);

  const TileGridLayout& layout() const { return layout_; }
  // The items drawn by the last frame, in order.
  const std::vector<Uuid>& drawnItems() const { return drawn_; }
  // The content rectangle of an item's tile in viewport coordinates.
  std::optional<QRect> tileRect(const Uuid& id) const;

  // The tiles as screen readers are told of them (TileGridAccessible).
  std::size_t tileCount() const { return items_.size(); }
  // What its tooltip and screen readers say of a tile.
  QString tileDescription(std::size_t index) const;
  std::optional<std::size_t> tileIndex(const Uuid& id) const;
  std::optional<std::size_t> tileAt(QPoint viewportPoint) const { return itemAt(viewportPoint); }
  std::optional<std::size_t> focusedTile() const;
  bool isTileSelected(const Uuid& id) const { return model_.selection().get().contains(id); }
  // The same interface for a tile as long as its item is shown.
  QAccessibleInterface* accessibleTile(std::size_t index);
  ~TileGridView() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void itemsChanged();
  void relayout();
  void openFocusedMenu();
  void openMenu(const Uuid& id, QPoint globalPos);
  // Whether the point, in viewport coordinates, is on the tile's star.
  bool isOnStar(std::size_t index, QPointF point) const;
  void scrollToFocus();
  void refreshShortcutHints();
  std::optional<std::size_t> itemAt(QPoint viewportPoint) const;
  ui::TileContent content(const ClipboardItem& item, bool hovered);
  QPixmap picture(const std::string& key, const std::function<std::optional<Bytes>()>& load,
                  int maximumSide);
  void paintEmptyState(QPainter& painter);
  void startDrag(const Uuid& id);

  HistoryPanelModel& model_;
  ClipboardHistoryFeature& feature_;
  Clock& clock_;
  TileGridLayout layout_;
  std::vector<ItemPointer> items_;
  std::unordered_map<Uuid, std::size_t> indexes_;
  std::array<QString, 9> shortcutHints_;
  std::vector<Uuid> drawn_;
  std::optional<std::size_t> hovered_;
  std::optional<QPoint> pressedAt_;
  std::optional<Uuid> pressedItem_;
  std::optional<Uuid> selectOnRelease_;  // a press on a selected tile, decided at its release
  std::unordered_map<Uuid, unsigned> accessibleTiles_;  // QAccessible ids, by item
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
