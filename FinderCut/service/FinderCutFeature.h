#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "EventTap/EventTapFeature.h"
#include "Finder/FinderAXAdapter.h"
#include "Finder/FinderContextMonitor.h"
#include "Finder/FinderCutError.h"
#include "Finder/FinderOperationToken.h"
#include "FinderCut/FinderCutActivity.h"
#include "FinderCut/FinderCutControl.h"
#include "FinderCut/machine/FinderCutMachine.h"
#include "core/Clock.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"
#include "host/Accessibility.h"
#include "host/BundleResources.h"
#include "host/EventSystem.h"
#include "host/FileURLs.h"
#include "host/Pasteboard.h"
#include "host/Workspace.h"

namespace mirlet {

struct FinderCutServices {
  Accessibility& accessibility;
  Workspace& workspace;
  EventSystem& events;
  Pasteboard& pasteboard;
  FileURLs& fileURLs;
  BundleResources& bundles;
  Clock& clock;
  MainLoop& mainLoop;
  SerialQueueFactory& queues;
};

// A cut and paste of files for Finder: ⌘X on a file selection makes Finder copy
// it and remembers that copy; a later ⌘V in a Finder window makes Finder move the
// remembered files there instead of pasting copies. It never moves files itself:
// it swallows the two keys and presses Finder's own copy and move commands, after
// proving each step (the copy changed the pasteboard exactly once and holds exactly
// the selected files; the pasteboard still holds them at the move).
//
// The tap callback decides from a snapshot of Finder's focused file view read
// ahead on the feature's queue and trusted for 2.5 s under the monitor's revision;
// the copy and the move run on that queue under a token that any click, scroll or
// other key cancels. Outside Finder, and whenever anything is in doubt, every key
// passes unchanged.
class FinderCutFeature final : public EventTapFeature, public FinderCutControl {
 public:
  static constexpr const char* kQueueLabel = "app.mirlet.finder-cut";
  // "MIRLCUTX" in the source user-data field of its own events.
  static constexpr std::int64_t kMarker = 0x4D49524C43555458;

  using ActivityCallback = std::function<void(FinderCutActivity)>;

  FinderCutFeature(FinderCutServices services, ActivityCallback onActivity,
                   FailureCallback onFailure);
  ~FinderCutFeature() override;

  const FeatureDescriptor& descriptor() const override;
  void cancelPendingCut() override { invalidate(true); }
  bool hasPendingCut() const;
  FinderCutActivity activity() const { return activity_; }
  // Cuts and moves that ended without effect.
  int cancelledOperations() const { return cancelledOperations_; }

 protected:
  std::vector<TapSpec> tapSpecs() const override;
  std::vector<std::int64_t> ownMarkers() const override;
  bool handle(std::size_t tapIndex, EventType type, InputEvent& event) override;
  [[noreturn]] void failStart(StartFailure failure) override;
  void prepareStart() override;
  void startMachinery() override;
  void stopMachinery() override;

 private:
  // What a copy or move on the queue needs, captured at key time.
  struct Operation {
    std::shared_ptr<FinderOperationToken> token;
    FinderCutEffect effect;
    std::shared_ptr<const FinderAXSnapshot> snapshot;
    std::optional<FinderClipboardSnapshot> copied;
    Uuid run;
    FinderInstance finder;
    Uuid selectionIdentity;
    FinderCutEnvironment environment;
    InputEvent pressed;  // the ⌘X or ⌘V swallowed for it
  };

  bool keyDown(const InputEvent& event);
  // Whether a ⌘X or ⌘V may be decided now; otherwise the pending cut is dropped.
  bool preconditionsHold();
  void perform(Operation operation);
  void complete(const Operation& operation, const std::optional<FinderClipboardSnapshot>& proof,
                bool moved);
  void refresh();
  void invalidate(bool all);
  void dropContext();
  void disarm();
  void publishActivity();
  std::shared_ptr<FinderOperationToken> replaceToken();
  FinderContextMonitor& monitor();

  FinderCutServices services_;
  ActivityCallback onActivity_;
  std::unique_ptr<SerialQueue> queue_;
  FinderCommandNames names_;
  // Shared with the jobs on the queue, which alone use it.
  std::shared_ptr<FinderAXAdapter> adapter_;
  std::unique_ptr<FinderContextMonitor> monitor_;
  std::optional<FinderInstance> finder_;
  std::shared_ptr<const FinderAXSnapshot> cached_;
  std::uint64_t cachedRevision_ = 0;
  std::int64_t boardCount_ = 0;
  FinderCutMachine machine_;
  std::optional<FinderClipboardSnapshot> copied_;
  std::shared_ptr<FinderOperationToken> token_;
  bool busy_ = false;
  bool isInspecting_ = false;
  bool refreshPending_ = false;
  std::set<std::int64_t> suppressedKeys_;
  FinderCutActivity activity_ = FinderCutActivity::idle;
  int cancelledOperations_ = 0;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
