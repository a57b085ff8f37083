#pragma once

#include <filesystem>
#include <memory>

#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "ClipboardHistory/testing/SimulatedClipboardHistory.h"
#include "FinderCut/service/FinderCutFeature.h"
#include "FinderKeys/service/FinderKeysFeature.h"
#include "RightClickFocus/service/RightClickFocusFeature.h"
#include "app/AppModel.h"
#include "host/sim/SimDesktop.h"

namespace mirlet::testing {

// The features the simulated desktop runs, registered as the desktop host does
// (in the fixed order: right-click focus, Finder cut, Finder keys, the clipboard
// history), for tests of the application over real features.
class SimulatedFeatures {
 public:
  SimulatedFeatures(sim::SimDesktop& desktop, const std::filesystem::path& folder)
      : desktop_(desktop), folder_(folder) {}

  FeatureFactory factory() {
    return
        [this](const FeatureSinks& sinks, Preferences& preferences) -> FeatureRegistry::Features {
          std::filesystem::create_directories(folder_ / "tmp");
          rightClick = std::make_shared<RightClickFocusFeature>(
              RightClickFocusServices{desktop_.accessibility, desktop_.workspace, desktop_.events,
                                      desktop_.time, desktop_.time, desktop_.time},
              nullptr, sinks.failureCallback(FeatureIds::rightClickFocus));
          finderCut = std::make_shared<FinderCutFeature>(
              FinderCutServices{desktop_.accessibility, desktop_.workspace, desktop_.events,
                                desktop_.pasteboard, desktop_.fileURLs, desktop_.bundles,
                                desktop_.time, desktop_.time, desktop_.time},
              sinks.finderCutActivity, sinks.failureCallback(FeatureIds::finderCut));
          finderKeys = std::make_shared<FinderKeysFeature>(
              FinderKeysServices{desktop_.accessibility, desktop_.workspace, desktop_.events,
                                 desktop_.pasteboard, desktop_.fileURLs, desktop_.time,
                                 desktop_.time, desktop_.time},
              sinks.failureCallback(FeatureIds::finderKeys));
          clipboard = std::make_shared<ClipboardHistoryFeature>(
              preferences,
              ClipboardHistoryServices{
                  desktop_.pasteboard, desktop_.workspace, desktop_.accessibility, desktop_.events,
                  desktop_.hotKeys, desktop_.keyboardLayout, desktop_.images, desktop_.fileURLs,
                  files_, keys_, links_, desktop_.time, desktop_.time, desktop_.time,
                  folder_ / "ClipboardHistory", folder_ / "tmp", "app.mirlet"},
              sinks.failureCallback(FeatureIds::clipboardHistory));
          return {rightClick, finderCut, finderKeys, clipboard};
        };
  }

  std::shared_ptr<RightClickFocusFeature> rightClick;
  std::shared_ptr<FinderCutFeature> finderCut;
  std::shared_ptr<FinderKeysFeature> finderKeys;
  std::shared_ptr<ClipboardHistoryFeature> clipboard;

 private:
  sim::SimDesktop& desktop_;
  std::filesystem::path folder_;
  PosixFileSystem files_;
  KeychainKeyProvider keys_{desktop_.keychain, "app.mirlet"};
  NoLinkPreviews links_;
};

}  // namespace mirlet::testing
