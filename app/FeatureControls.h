#pragma once

#include <optional>
#include <set>
#include <string>

#include "FinderKeys/machine/FinderKey.h"

namespace mirlet {

// What the application shell asks of particular features beyond starting and
// stopping them. A feature object implements the interface that concerns it; the
// shell finds it in the registry by id and checks for the interface.

class FinderKeysControl {
 public:
  virtual ~FinderKeysControl() = default;
  // Which keys act; applies at once, without a restart.
  virtual void setEnabledKeys(const std::set<FinderKey>& keys) = 0;
};

class FinderCutControl {
 public:
  virtual ~FinderCutControl() = default;
  // Cancels a prepared or preparing cut.
  virtual void cancelPendingCut() = 0;
};

class ClipboardHistoryControl {
 public:
  virtual ~ClipboardHistoryControl() = default;
  virtual bool isPaused() const = 0;
  virtual void setPaused(bool paused) = 0;
  // The label of the hot key that opens the history ("⌃⌥V"), when one is set.
  virtual std::optional<std::string> hotKeyLabel() const = 0;
};

}  // namespace mirlet
