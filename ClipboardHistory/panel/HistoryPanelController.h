#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ClipboardHistory/panel/HistoryPanelModel.h"
#include "ClipboardHistory/panel/PanelWindow.h"
#include "host/Screens.h"

namespace mirlet {

// What the panel's controller needs besides the feature.
struct HistoryPanelControllerServices {
  Workspace& workspace;
  Screens& screens;
  EventSystem& events;  // where the pointer is
  Accessibility& accessibility;
  MainLoop& mainLoop;
  Clock& clock;
  SerialQueueFactory& queues;
  CalendarSettings calendar;
};

// What the panel asks of the application.
struct HistoryPanelRequests {
  std::function<void()> openSettings;
  std::function<void()> grantAccessibility;
};

// Opens and closes the clipboard-history panel: makes its window on first use,
// places it on the screen under the pointer, decides which keys the panel takes
// and which the search field keeps, knows whether ⌥ is really held, previews the
// selected items, and follows application switches by the keep-on-top setting.
// Main thread only.
class HistoryPanelController : private HistoryPanelHost {
 public:
  static constexpr double kWidth = 780;
  static constexpr double kHeight = 520;
  static constexpr double kMinimumWidth = 520;
  static constexpr double kMinimumHeight = 340;
  static constexpr const char* kTitle = "Historial del portapapeles";
  static constexpr const char* kFrameName = "ClipboardHistoryPanel";

  // Makes the window for the model; the window calls back `handleKey`,
  // `windowDidResignKey`, `windowWillClose` and `previewEnded`.
  using WindowFactory =
      std::function<std::unique_ptr<PanelWindow>(HistoryPanelModel&, HistoryPanelController&)>;

  HistoryPanelController(ClipboardHistoryFeature& feature,
                         HistoryPanelControllerServices environment, WindowFactory makeWindow,
                         HistoryPanelRequests requests);
  HistoryPanelController(const HistoryPanelController&) = delete;
  HistoryPanelController& operator=(const HistoryPanelController&) = delete;

  void show();
  void hide() override;
  void toggle() { isOpen_ ? hide() : show(); }
  bool isOpen() const { return isOpen_; }
  HistoryPanelModel& model() { return model_; }

  // From the window. True when the panel took the key.
  bool handleKey(const PanelKeyEvent& event);
  void windowDidResignKey();
  void windowWillClose() { hide(); }
  void previewEnded();

 private:
  // HistoryPanelHost.
  void reveal() override;
  void toggleQuickLook() override;
  void openSettings() override { requests_.openSettings(); }
  void grantAccessibility() override { requests_.grantAccessibility(); }

  PanelWindow& window();
  void place();
  bool keepOnTop() const { return feature_.settings().get().keepOnTop; }
  bool isThisProgram(const std::shared_ptr<RunningApplication>& application) const;
  void applicationActivated(const std::shared_ptr<RunningApplication>& application);
  static std::optional<PanelKey> key(const PanelKeyEvent& event);
  bool searchFieldKeeps(const PanelCommand& command) const;

  ClipboardHistoryFeature& feature_;
  HistoryPanelControllerServices environment_;
  WindowFactory makeWindow_;
  HistoryPanelRequests requests_;
  HistoryPanelModel model_;
  std::unique_ptr<PanelWindow> window_;
  bool isOpen_ = false;
  bool hasSavedFrame_ = false;
  bool optionArmed_ = false;
  std::optional<Date> lastClosedAt_;
  Subscription settingsSubscription_;
  Subscription activationSubscription_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
