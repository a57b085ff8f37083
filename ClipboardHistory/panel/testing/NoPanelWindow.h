#pragma once

#include "ClipboardHistory/panel/HistoryPanelHost.h"

namespace mirlet::testing {

// A panel host that does nothing, where the window around the panel does not matter.
struct NoPanelWindow : HistoryPanelHost {
  void hide() override {}
  void reveal() override {}
  void toggleQuickLook() override {}
  void openSettings() override {}
  void grantAccessibility() override {}
};

}  // namespace mirlet::testing
