#pragma once

#include <QAccessibleWidget>
#include <QPointer>

#include "core/Uuid.h"

namespace mirlet {

class TileGridView;

// What screen readers see of the grid, which is painted by hand: a list whose
// children are the tiles in their order, each named as its tooltip describes it,
// selected and focused as drawn. Installed for every TileGridView.
class TileGridAccessible : public QAccessibleWidget {
 public:
  explicit TileGridAccessible(TileGridView* grid);

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* focusChild() const override;
  QAccessibleInterface* childAt(int x, int y) const override;

  // The factory Qt asks for the interface of a widget.
  static QAccessibleInterface* factory(const QString& className, QObject* object);

 private:
  TileGridView* grid() const;
};

// One tile, known by its item's id: it stays the same tile while the grid moves.
class TileAccessible : public QAccessibleInterface {
 public:
  TileAccessible(TileGridView* grid, const Uuid& id) : grid_(grid), id_(id) {}

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text type) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override;

  const Uuid& id() const { return id_; }

 private:
  QPointer<TileGridView> grid_;
  Uuid id_;
};

}  // namespace mirlet
