#pragma once

#include <string>

#include "ClipboardHistory/panel/HistoryPanelController.h"
#include "ClipboardHistory/service/CurlLinkPreviewer.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "app/AppModel.h"
#include "host/x11/X11Desktop.h"

namespace mirlet {

// What the clipboard history adds to the X desktop: its key, kept in the
// desktop's keychain, and the previewer of links. Made after the desktop, gone
// before it.
struct X11HistoryServices {
  X11HistoryServices(X11Desktop& desktop, MainLoop& mainLoop, const std::string& bundleIdentifier)
      : keys(desktop.keychain, bundleIdentifier),
        links(mainLoop, desktop.queues, CurlLinkPreviewer::systemNetwork()) {}

  KeychainKeyProvider keys;
  CurlLinkPreviewer links;
};

// The features of the Linux desktop host, in registration order: right-click
// focus, Finder cut, Finder keys, clipboard history. The first three need Finder
// and input taps, which this desktop does not have: only the clipboard history is
// registered here.
FeatureFactory desktopFeatures(X11Desktop& desktop, X11HistoryServices& history, MainLoop& mainLoop,
                               Clock& clock, const std::string& bundleIdentifier);

// What the history panel needs of the desktop.
HistoryPanelControllerServices desktopPanelServices(X11Desktop& desktop, MainLoop& mainLoop,
                                                    Clock& clock);

}  // namespace mirlet
