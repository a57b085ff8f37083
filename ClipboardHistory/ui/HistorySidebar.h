#pragma once

#include <QScrollArea>
#include <QTimer>
#include <optional>
#include <vector>

#include "ClipboardHistory/panel/HistoryPanelModel.h"

class QVBoxLayout;

namespace mirlet {

// The panel's sidebar: the history, the favourites, the source applications, the
// kinds, and the user's lists, which take dropped items and are renamed in place.
// It is rebuilt after the event that changed what it shows, never inside it (a
// row may be the one handling that event); a list's name being typed survives the
// rebuild, text, cursor and focus.
class HistorySidebar : public QScrollArea {
 public:
  static constexpr int kWidth = 196;

  HistorySidebar(HistoryPanelModel& model, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void rebuild();
  void addHeader(const QString& title, QWidget* accessory = nullptr);
  void addSection(const QString& title, const QIcon& icon, const HistorySection& section);
  void addList(const ItemList& list);

  // A list's name as the user was typing it when the sidebar was rebuilt.
  struct TypedName {
    Uuid listID;
    QString text;
    int cursor = 0;
    bool focused = false;
  };

  HistoryPanelModel& model_;
  QWidget* content_ = nullptr;
  QVBoxLayout* rows_ = nullptr;
  QTimer rebuildSoon_;
  bool isStale_ = false;            // it changed while hidden
  std::optional<TypedName> typed_;  // during a rebuild
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
