#pragma once

#include <set>

#include "FinderKeys/FinderKey.h"
#include "FinderKeys/FinderKeysControl.h"
#include "core/Preferences.h"
#include "core/Signal.h"

namespace mirlet {

// Which Finder keys act (the "enter", "f2" and "delete" options of the Finder-keys
// feature): read from the preferences, published for the feature row, and applied
// to the feature at once, without a restart.
class FinderKeysOptions {
 public:
  // `feature` is the Finder-keys feature where the host has one.
  FinderKeysOptions(Preferences& preferences, FinderKeysControl* feature);

  const ObservableView<std::set<FinderKey>>& keys() const { return keys_; }
  void setKeyEnabled(bool enabled, FinderKey key);

 private:
  Preferences& preferences_;
  FinderKeysControl* feature_;
  Observable<std::set<FinderKey>> keys_;
};

}  // namespace mirlet
