#pragma once

#include "core/testing/VirtualTimeScheduler.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimAccessibilityTrust.h"
#include "platform/sim/SimBundleResources.h"
#include "platform/sim/SimEventSystem.h"
#include "platform/sim/SimFileURLs.h"
#include "platform/sim/SimHotKeys.h"
#include "platform/sim/SimImageCodec.h"
#include "platform/sim/SimKeyboardLayout.h"
#include "platform/sim/SimKeychain.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimPasteboard.h"
#include "platform/sim/SimScreens.h"
#include "platform/sim/SimWorkspace.h"

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
