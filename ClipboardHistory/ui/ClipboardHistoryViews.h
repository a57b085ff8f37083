#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "ClipboardHistory/panel/HistoryPanelController.h"
#include "ClipboardHistory/ui/ClipboardHistorySettingsView.h"
#include "core/Clock.h"
#include "core/DefaultsStore.h"
#include "core/Signal.h"

namespace mirlet {

class ClipboardHistoryFeature;

// The clipboard history as the shell shows it: the panel, on a host that gives it
// what it needs, and the block of settings under the feature's row. They are made
// where the feature is made (the wiring), so the shell reaches the feature only
// through these views and its control interface.
class ClipboardHistoryViews {
 public:
  ClipboardHistoryViews(ClipboardHistoryFeature& feature,
                        std::optional<HistoryPanelControllerServices> panelServices, Clock& clock,
                        DefaultsStore& defaults);
  ~ClipboardHistoryViews();
  ClipboardHistoryViews(const ClipboardHistoryViews&) = delete;
  ClipboardHistoryViews& operator=(const ClipboardHistoryViews&) = delete;

  // Makes the panel, which asks the shell for `requests`; nothing where the host
  // gave no panel services.
  HistoryPanelController* makePanel(HistoryPanelRequests requests);
  HistoryPanelController* panel() const { return panel_.get(); }
  // The hot key was pressed.
  [[nodiscard]] Subscription observeHotKey(std::function<void()> observer);
  // The block of settings, owned by `parent`; whether the permission is granted is
  // the feature's to say.
  ClipboardHistorySettingsView* makeSettingsView(ClipboardHistorySettingsActions actions,
                                                 QWidget* parent) const;

 private:
  ClipboardHistoryFeature& feature_;
  std::optional<HistoryPanelControllerServices> panelServices_;
  Clock& clock_;
  DefaultsStore& defaults_;
  std::unique_ptr<HistoryPanelController> panel_;
};

// Makes the views once the features exist; nothing where no clipboard history was
// registered.
using ClipboardHistoryViewsMaker = std::function<std::unique_ptr<ClipboardHistoryViews>()>;

}  // namespace mirlet
