#pragma once

#include "core/testing/VirtualTimeScheduler.h"
#include "host/sim/SimAccessibility.h"
#include "host/sim/SimAccessibilityTrust.h"
#include "host/sim/SimBundleResources.h"
#include "host/sim/SimEventSystem.h"
#include "host/sim/SimFileURLs.h"
#include "host/sim/SimHotKeys.h"
#include "host/sim/SimImageCodec.h"
#include "host/sim/SimKeyboardLayout.h"
#include "host/sim/SimKeychain.h"
#include "host/sim/SimLoginItems.h"
#include "host/sim/SimPasteboard.h"
#include "host/sim/SimScreens.h"
#include "host/sim/SimWorkspace.h"

namespace mirlet::sim {

// A whole simulated desktop on virtual time: every host facility the program
// uses, each a small truthful model that the test drives.
class SimDesktop {
 public:
  // The machine has just started: uptime 0.
  SimDesktop()
      : time(testing::VirtualTimeScheduler::defaultStart(), 0.0),
        workspace(time, time),
        pasteboard(time),
        events(time, time, workspace, trust),
        accessibility(time, trust, workspace, events),
        hotKeys(time) {
    pasteboardOwners_ = workspace.observeTermination(
        [this](const std::shared_ptr<RunningApplication>& application) {
          pasteboard.ownerQuit(application->processIdentifier());
        });
  }
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  testing::VirtualTimeScheduler time;
  SimAccessibilityTrust trust;
  SimWorkspace workspace;
  SimPasteboard pasteboard;
  SimEventSystem events;
  SimAccessibility accessibility;
  SimHotKeys hotKeys;
  SimKeyboardLayout keyboardLayout;
  SimKeychain keychain;
  SimLoginItems loginItems;
  SimBundleResources bundles;
  SimFileURLs fileURLs;
  SimImageCodec images;
  SimScreens screens;

 private:
  Subscription pasteboardOwners_;
};

}  // namespace mirlet::sim
