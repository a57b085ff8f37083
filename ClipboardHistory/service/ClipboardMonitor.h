#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ClipboardHistory/model/CapturePolicy.h"
#include "ClipboardHistory/model/Fingerprint.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "host/Pasteboard.h"

namespace mirlet {

// The application that was in front when a change was seen.
struct SourceApp {
  std::optional<std::string> bundleID;
  std::optional<std::string> name;
  std::int32_t processID = 0;
  friend bool operator==(const SourceApp&, const SourceApp&) = default;
};

// What the monitor hands on: the kept representations of every pasteboard item.
struct CapturedPasteboard {
  CapturedItems items;
  bool isPrivate = false;
  std::optional<SourceApp> source;
  friend bool operator==(const CapturedPasteboard&, const CapturedPasteboard&) = default;
};

// Turns changes of the pasteboard into captures. Where the host is told of changes
// it polls on each; elsewhere a repeating timer polls (the interval, a fifth of it
// as tolerance). A poll reads no data unless the capture policy allows it from the
// types alone; dynamic ("dyn."), promised and source-marker types are never read.
// A change seen empty is looked at again until something is written under it.
// Where the pasteboard reads a change before telling of it, the same policy plans
// that read: nothing of a change it would skip, and past the size limit only the
// types it would keep. Main thread only.
class ClipboardMonitor {
 public:
  struct Context {
    bool paused = false;
    bool ignorePrivate = false;
  };
  struct Hooks {
    std::function<Context()> context;
    // Where the copy came from, given the process the pasteboard says owns it;
    // nothing when that is not known.
    std::function<std::optional<SourceApp>(std::optional<int> ownerProcessID)> sourceApp;
    std::function<void(CapturedPasteboard)> capture;
    // The pasteboard changed to empty.
    std::function<void()> emptied;
  };

  // Whatever is on the pasteboard now is never captured.
  ClipboardMonitor(Pasteboard& pasteboard, MainLoop& mainLoop, double interval, Hooks hooks);
  ClipboardMonitor(const ClipboardMonitor&) = delete;
  ClipboardMonitor& operator=(const ClipboardMonitor&) = delete;

  // Looks at the pasteboard once.
  void poll();
  // The program's own write: not to be captured.
  void skipChange(std::int64_t changeCount) {
    lastChangeCount_ = changeCount;
    awaitingWrite_ = false;
  }
  bool isPolling() const { return timer_ != nullptr; }

 private:
  PasteboardReadPlan plan(const PasteboardOffer& offer) const;
  CaptureInput input(const std::vector<std::string>& types,
                     const std::optional<SourceApp>& source) const;

  Pasteboard& pasteboard_;
  Hooks hooks_;
  std::int64_t lastChangeCount_;
  // The last change was seen empty: its items are still to be looked for.
  bool awaitingWrite_ = false;
  TimerHandle timer_;
  Subscription changes_;
  Subscription plans_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
