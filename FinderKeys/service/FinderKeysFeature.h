#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "EventTap/EventTapFeature.h"
#include "Finder/FinderAXAdapter.h"
#include "Finder/FinderContextMonitor.h"
#include "Finder/FinderOperationToken.h"
#include "FinderKeys/FinderKeysControl.h"
#include "FinderKeys/machine/FinderKeysInterceptor.h"
#include "FinderKeys/service/FinderKeysError.h"
#include "core/Clock.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"
#include "host/Accessibility.h"
#include "host/EventSystem.h"
#include "host/Workspace.h"

namespace mirlet {

struct FinderKeysServices {
  Accessibility& accessibility;
  Workspace& workspace;
  EventSystem& events;
  Pasteboard& pasteboard;
  FileURLs& fileURLs;
  Clock& clock;
  MainLoop& mainLoop;
  SerialQueueFactory& queues;
};

// Gives Finder's file list three keys: Return (or keypad Enter) opens the
// selection, F2 renames the selected item, forward delete moves the selection to
// the Trash. It never touches files: it swallows the key and sends Finder Finder's
// own shortcut (⌘↓, Return, ⌘⌫) addressed to Finder's process.
//
// The tap callback decides from a view of Finder's focused file view read ahead on
// the feature's queue (never in the callback) and trusted for 2.5 s, while no
// accessibility notification came and nothing invalidated it. When in doubt, keys
// pass unchanged. Every action is checked once more on the queue against Finder's
// focus at that moment, since a notification may not have been heard yet: when a
// text field (a name being edited, the search) has the focus by then, the key
// reaches it as typed. Keys for Finder typed while an open or rename is checked
// wait and follow it in order; any key or click while a move to the Trash is
// checked cancels it, and the move is not sent if the selection changed.
class FinderKeysFeature final : public EventTapFeature, public FinderKeysControl {
 public:
  static constexpr const char* kQueueLabel = "app.mirlet.finder-keys";
  // "MIRLKEYS" in the source user-data field of the keystrokes it posts.
  static constexpr std::int64_t kMarker = 0x4D49524C4B455953;
  static constexpr double kRefreshDelay = 0.15;
  static constexpr double kFreshness = 2.5;

  FinderKeysFeature(FinderKeysServices environment, FailureCallback onFailure);
  ~FinderKeysFeature() override;

  const FeatureDescriptor& descriptor() const override;
  void setEnabledKeys(const std::set<FinderKey>& keys) override { enabledKeys_ = keys; }
  const std::set<FinderKey>& enabledKeys() const { return enabledKeys_; }

 protected:
  std::vector<TapSpec> tapSpecs() const override;
  std::vector<std::int64_t> ownMarkers() const override { return {kMarker}; }
  bool handle(std::size_t tapIndex, EventType type, InputEvent& event) override;
  [[noreturn]] void failStart(StartFailure failure) override;
  void startMachinery() override;
  void stopMachinery() override;

 private:
  bool keyDown(const InputEvent& event);
  std::optional<FinderFocusedFileView> freshView();
  void invalidateContext(bool refreshSoon);
  void forgetView();
  void cancelPendingTrash();
  void refresh();
  // Checks Finder still shows a file list, then sends it `action`; else the key
  // pressed, as typed.
  void openOrRename(const FinderFocusedFileView& view, const InputEvent& pressed,
                    std::uint16_t actionKey, std::uint64_t actionFlags);
  void moveToTrash(const FinderFocusedFileView& view, const InputEvent& pressed);
  // The held keys, in order, to Finder.
  void releaseHeld();
  // A key as the user typed it, marked as the feature's own so it passes.
  void replay(InputEvent event, int processID);
  // The key is addressed to Finder, and Finder is in front.
  bool targetsFinder(const InputEvent& event) const;
  // Key down and key up, marked as the feature's own, to that process only.
  void post(std::uint16_t keyCode, std::uint64_t flags, int processID);
  FinderContextMonitor& monitor();

  FinderKeysServices environment_;
  std::set<FinderKey> enabledKeys_{FinderKey::enter, FinderKey::f2, FinderKey::delete_};
  std::unique_ptr<SerialQueue> queue_;
  // Used on the queue only.
  FinderAXAdapter adapter_;
  std::unique_ptr<FinderContextMonitor> monitor_;
  std::optional<FinderFocusedFileView> cached_;
  double cachedAt_ = 0;
  std::uint64_t cachedRevision_ = 0;
  // Grows at every invalidation: a read begun under an older epoch is dropped.
  std::uint64_t epoch_ = 0;
  bool busy_ = false;
  bool refreshPending_ = false;
  FinderKeysInterceptor interceptor_;
  std::shared_ptr<FinderOperationToken> trashToken_;
  // An open or rename waits for its check: keys for Finder wait with it.
  std::shared_ptr<FinderOperationToken> checkToken_;
  std::vector<InputEvent> held_;
  std::vector<TimerHandle> scheduledRefreshes_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
