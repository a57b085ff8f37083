#pragma once

#include "ClipboardHistory/panel/HistoryPanelController.h"
#include "app/AppModel.h"
#include "host/x11/X11Desktop.h"

namespace mirlet {

// The features of the Linux desktop host, in registration order: right-click
// focus, Finder cut, Finder keys, clipboard history. The first three need Finder
// and input taps, which this desktop does not have: only the clipboard history is
// registered here.
FeatureFactory desktopFeatures(X11Desktop& desktop, MainLoop& mainLoop, Clock& clock,
                               const std::string& bundleIdentifier);

// What the history panel needs of the desktop.
HistoryPanelControllerEnvironment desktopPanelEnvironment(X11Desktop& desktop, MainLoop& mainLoop,
                                                          Clock& clock);

}  // namespace mirlet
