#pragma once

#include <QLineEdit>

#include "ClipboardHistory/panel/PanelSearchField.h"
#include "core/Signal.h"

namespace mirlet {

class HistoryPanelModel;

// The panel's search field: every edit is the model's query at once, and the
// model moves the keyboard focus to it and away.
class PanelSearchBox : public QLineEdit, public PanelSearchField {
 public:
  explicit PanelSearchBox(HistoryPanelModel& model, QWidget* parent = nullptr);

  // PanelSearchField.
  void focus(bool selectAll) override;
  void resignFocus() override;

 private:
  HistoryPanelModel& model_;
  Subscription attachment_;
  Subscription query_;
};

}  // namespace mirlet
