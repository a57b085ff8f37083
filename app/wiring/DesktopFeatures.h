#pragma once

#include <memory>
#include <string>

#include "ClipboardHistory/service/BackgroundKeyProvider.h"
#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "ClipboardHistory/service/CurlLinkPreviewer.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "ClipboardHistory/ui/ClipboardHistoryViews.h"
#include "app/AppModel.h"
#include "host/x11/X11Desktop.h"

namespace mirlet {

// What the clipboard history adds to the X desktop: its key, kept in the
// desktop's keychain (a keyring on the session bus, asked off the main thread),
// and the previewer of links. Made after the desktop, gone before it.
struct X11HistoryServices {
  X11HistoryServices(X11Desktop& desktop, MainLoop& mainLoop, Clock& clock,
                     const std::string& bundleIdentifier)
      : keychainKeys(desktop.keychain, bundleIdentifier),
        keys(keychainKeys, desktop.queues, mainLoop, clock),
        links(mainLoop, desktop.queues, CurlLinkPreviewer::systemNetwork()) {}

  KeychainKeyProvider keychainKeys;
  BackgroundKeyProvider keys;
  CurlLinkPreviewer links;
};

// The features of the X desktop, in registration order: right-click focus, Finder
// cut, Finder keys, clipboard history. The first three need Finder and input taps,
// which this desktop does not have: only the clipboard history is registered here.
class DesktopFeatures {
 public:
  DesktopFeatures(X11Desktop& desktop, X11HistoryServices& history, MainLoop& mainLoop,
                  Clock& clock, DefaultsStore& defaults, std::string bundleIdentifier)
      : desktop_(desktop),
        history_(history),
        mainLoop_(mainLoop),
        clock_(clock),
        defaults_(defaults),
        bundleIdentifier_(std::move(bundleIdentifier)) {}

  FeatureFactory factory();
  // The clipboard history's views, once the factory made it.
  ClipboardHistoryViewsMaker clipboardHistoryViews();
  // The clipboard history, once the factory made it.
  ClipboardHistoryFeature* clipboardHistory() const { return clipboard_.get(); }

 private:
  X11Desktop& desktop_;
  X11HistoryServices& history_;
  MainLoop& mainLoop_;
  Clock& clock_;
  DefaultsStore& defaults_;
  std::string bundleIdentifier_;
  std::shared_ptr<ClipboardHistoryFeature> clipboard_;
};

}  // namespace mirlet
