#include "ClipboardHistory/ui/TileGridAccessibility.h"

#include "ClipboardHistory/ui/TileGridView.h"

namespace mirlet {

TileGridAccessible::TileGridAccessible(TileGridView* grid)
    : QAccessibleWidget(grid, QAccessible::List, QStringLiteral("Historial")) {}

TileGridView* TileGridAccessible::grid() const { return static_cast<TileGridView*>(widget()); }

int TileGridAccessible::childCount() const { return static_cast<int>(grid()->tileCount()); }

QAccessibleInterface* TileGridAccessible::child(int index) const {
  if (index < 0 || index >= childCount()) return nullptr;
  return grid()->accessibleTile(static_cast<std::size_t>(index));
}

int TileGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* tile = dynamic_cast<const TileAccessible*>(child);
  if (!tile) return -1;
  const auto index = grid()->tileIndex(tile->id());
  return index ? static_cast<int>(*index) : -1;
}

QAccessibleInterface* TileGridAccessible::focusChild() const {
  const auto index = grid()->focusedTile();
  return index ? child(static_cast<int>(*index)) : nullptr;
}

QAccessibleInterface* TileGridAccessible::childAt(int x, int y) const {
  const auto index = grid()->tileAt(grid()->viewport()->mapFromGlobal(QPoint(x, y)));
  return index ? child(static_cast<int>(*index)) : nullptr;
}

QAccessibleInterface* TileGridAccessible::factory(const QString&, QObject* object) {
  if (auto* grid = dynamic_cast<TileGridView*>(object)) return new TileGridAccessible(grid);
  return nullptr;
}

bool TileAccessible::isValid() const { return grid_ && grid_->tileIndex(id_).has_value(); }

QWindow* TileAccessible::window() const {
  return grid_ ? grid_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TileAccessible::parent() const {
  return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
}

QString TileAccessible::text(QAccessible::Text type) const {
  if (!grid_ || type != QAccessible::Name) return {};
  const auto index = grid_->tileIndex(id_);
  return index ? grid_->tileDescription(*index) : QString();
}

QRect TileAccessible::rect() const {
  const auto tile = grid_ ? grid_->tileRect(id_) : std::nullopt;
  if (!tile) return {};
  return QRect(grid_->viewport()->mapToGlobal(tile->topLeft()), tile->size());
}

QAccessible::State TileAccessible::state() const {
  QAccessible::State state;
  state.selectable = true;
  state.focusable = true;
  if (!grid_) return state;
  state.selected = grid_->isTileSelected(id_);
  const auto focused = grid_->focusedTile();
  state.focused = focused && grid_->tileIndex(id_) == focused;
  state.invisible = !grid_->tileRect(id_).has_value();
  return state;
}

}  // namespace mirlet
