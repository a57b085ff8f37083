#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "ClipboardHistory/model/ClipboardHistorySettings.h"
#include "ClipboardHistory/service/CaptureSupport.h"
#include "ClipboardHistory/service/ClipboardHistoryServices.h"
#include "ClipboardHistory/service/ClipboardMonitor.h"
#include "ClipboardHistory/service/HistoryEditor.h"
#include "ClipboardHistory/service/HistoryItemContent.h"
#include "ClipboardHistory/service/LiveHistory.h"
#include "ClipboardHistory/service/PrivateItemCipher.h"
#include "core/Handoff.h"
#include "core/Signal.h"

namespace mirlet {

// Capture while the feature runs: the monitor turns pasteboard changes into
// captures, and each one is classified, fingerprinted (keyed for private items),
// written once with its thumbnail, recorded and limited; then the source window's
// title and the link's page title follow, bound to the run.
class HistoryCapture {
 public:
  static constexpr const char* kWindowTitleQueue = "app.mirlet.clipboard-history.window-title";
  static constexpr double kWindowTitleTimeout = 0.025;
  static constexpr const char* kCaptureSound = "Tink";

  struct Hooks {
    // The key for private items could not be had.
    std::function<void()> keyUnavailable;
    // The pasteboard emptied when its owner quit.
    std::function<void()> emptied;
  };

  HistoryCapture(LiveHistory& history, HistoryEditor& editor, HistoryItemContent& content,
                 const CaptureSupport& support, PrivateItemCipher cipher,
                 const ClipboardHistoryServices& services,
                 const ObservableView<ClipboardHistorySettings>& settings,
                 const ObservableView<bool>& paused, Hooks hooks);

  // Watches the pasteboard for the run `runID`, until `stop`.
  void start(const Uuid& runID);
  void stop();
  // The change `changeCount` is this program's own write, no copy of the user's.
  void skipChange(std::int64_t changeCount);
  void pollNow();

 private:
  void capture(const CapturedPasteboard& captured);
  void readWindowTitle(const Uuid& id, const CapturedPasteboard& captured);
  std::optional<std::string> windowTitle(int processID) const;
  void fetchLinkPreview(const Uuid& id);
  void finishLinkPreview(const std::optional<LinkPage>& page, const Uuid& id, const Uuid& run);
  void writeThumbnail(const Uuid& id, const Bytes& image);
  std::optional<SourceApp> sourceApp(std::optional<int> ownerProcessID) const;

  LiveHistory& history_;
  HistoryEditor& editor_;
  HistoryItemContent& content_;
  const CaptureSupport& support_;
  PrivateItemCipher cipher_;
  const ClipboardHistoryServices& services_;
  const ObservableView<ClipboardHistorySettings>& settings_;
  const ObservableView<bool>& paused_;
  Hooks hooks_;
  std::unique_ptr<SerialQueue> windowTitleQueue_;
  std::optional<Uuid> runID_;
  std::unique_ptr<ClipboardMonitor> monitor_;
  std::set<Uuid> linksInFlight_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
