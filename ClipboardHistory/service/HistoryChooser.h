#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ClipboardHistory/service/CaptureSupport.h"
#include "ClipboardHistory/service/LiveHistory.h"
#include "ClipboardHistory/service/PasteBack.h"
#include "ClipboardHistory/service/PasteboardWriter.h"
#include "core/Clock.h"
#include "core/Handoff.h"
#include "host/Accessibility.h"
#include "host/Pasteboard.h"

namespace mirlet {

// What choosing items from the history did.
enum class ChooseOutcome { pasted, copied, copiedWithoutPaste, failed };

// Puts history items back on the pasteboard and pastes them into the application
// the user was in; puts the latest item back where the pasteboard empties when
// the application that copied quits, once nobody owns it. Every write it makes is
// told to `ownWrite`, so that the monitor takes it for no copy of the user's.
class HistoryChooser {
 public:
  HistoryChooser(LiveHistory& history, Pasteboard& pasteboard, PasteboardWriter& writer,
                 PasteBack& pasteBack, const CaptureSupport& support,
                 const Accessibility& accessibility, Clock& clock,
                 std::function<void(std::int64_t changeCount)> ownWrite)
      : history_(history),
        pasteboard_(pasteboard),
        writer_(writer),
        pasteBack_(pasteBack),
        support_(support),
        accessibility_(accessibility),
        clock_(clock),
        ownWrite_(std::move(ownWrite)) {}

  // Puts the items back on the pasteboard (as plain text when asked or when that
  // is all they are), marks them used (first, with `promote`) and, with `paste`,
  // pastes them into `target`; `done` is told the outcome on the main loop.
  void choose(const std::vector<Uuid>& ids, bool plain, bool paste, bool promote,
              std::shared_ptr<RunningApplication> target, std::function<void(ChooseOutcome)> done);
  // The pasteboard emptied: the latest item goes back if nobody owns the
  // pasteboard now, unless it is private or capture is `paused`.
  void restoreLatest(bool paused);

 private:
  std::vector<std::string> plainTexts(const std::vector<CapturedItems>& payloads) const;

  LiveHistory& history_;
  Pasteboard& pasteboard_;
  PasteboardWriter& writer_;
  PasteBack& pasteBack_;
  const CaptureSupport& support_;
  const Accessibility& accessibility_;
  Clock& clock_;
  std::function<void(std::int64_t)> ownWrite_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
