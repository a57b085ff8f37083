#pragma once

namespace mirlet {

// What the history panel's model asks of the window around it; the panel
// controller implements it.
class HistoryPanelHost {
 public:
  virtual ~HistoryPanelHost() = default;

  virtual void hide() = 0;
  // Shows the panel again after it hid for a paste that did not happen.
  virtual void reveal() = 0;
  virtual void toggleQuickLook() = 0;
  virtual void openSettings() = 0;
  virtual void grantAccessibility() = 0;
};

}  // namespace mirlet
