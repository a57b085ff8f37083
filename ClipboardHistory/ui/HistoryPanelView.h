#pragma once

#include <QWidget>
#include <vector>

#include "ClipboardHistory/panel/HistoryPanelModel.h"

class QToolButton;
class QVBoxLayout;

namespace mirlet {

class HistorySidebar;
class PanelSearchBox;
class TileGridView;

// Everything inside the history panel's window: the toolbar with the search
// field, the status banners, the sidebar and the grid. It draws the model's and
// the feature's state and hands every action to them.
class HistoryPanelView : public QWidget {
 public:
  HistoryPanelView(HistoryPanelModel& model, ClipboardHistoryFeature& feature, Clock& clock,
                   QWidget* parent = nullptr);

  PanelSearchBox& searchBox() { return *searchBox_; }
  TileGridView& grid() { return *grid_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  QWidget* makeToolbar();
  QToolButton* makeViewOptions();
  void refreshStatus();

  HistoryPanelModel& model_;
  ClipboardHistoryFeature& feature_;
  PanelSearchBox* searchBox_ = nullptr;
  QToolButton* sidebarToggle_ = nullptr;
  QToolButton* keepOnTop_ = nullptr;
  QWidget* status_ = nullptr;
  QVBoxLayout* statusRows_ = nullptr;
  HistorySidebar* sidebar_ = nullptr;
  TileGridView* grid_ = nullptr;
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
