#include "ClipboardHistory/ui/ClipboardHistoryViews.h"

#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "ClipboardHistory/ui/HistoryPanelWindow.h"

namespace mirlet {

ClipboardHistoryViews::ClipboardHistoryViews(
    ClipboardHistoryFeature& feature, std::optional<HistoryPanelControllerServices> panelServices,
    Clock& clock, DefaultsStore& defaults)
    : feature_(feature),
      panelServices_(std::move(panelServices)),
      clock_(clock),
      defaults_(defaults) {}

ClipboardHistoryViews::~ClipboardHistoryViews() = default;

HistoryPanelController* ClipboardHistoryViews::makePanel(HistoryPanelRequests requests) {
  if (!panelServices_) return nullptr;
  panel_ = std::make_unique<HistoryPanelController>(
      feature_, *panelServices_,
      [this](HistoryPanelModel& model, HistoryPanelController& controller) {
        return std::make_unique<HistoryPanelWindow>(model, controller, feature_, clock_, defaults_);
      },
      std::move(requests));
  return panel_.get();
}

Subscription ClipboardHistoryViews::observeHotKey(std::function<void()> observer) {
  return feature_.observeHotKey(std::move(observer));
}

ClipboardHistorySettingsView* ClipboardHistoryViews::makeSettingsView(
    ClipboardHistorySettingsActions actions, QWidget* parent) const {
  actions.accessibilityGranted = [&feature = feature_] {
    return feature.accessibilityGranted();
  };
  return new ClipboardHistorySettingsView(feature_, std::move(actions), parent);
}

}  // namespace mirlet
