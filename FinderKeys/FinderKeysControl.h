#pragma once

#include <set>
#include <string>

#include "FinderKeys/FinderKey.h"

// What the rest of the program may know of the Finder keys feature: its id and
// what the shell asks of it beyond starting and stopping.
namespace mirlet {

namespace FeatureIds {
inline const std::string finderKeys = "finder-keys";
}  // namespace FeatureIds

class FinderKeysControl {
 public:
  virtual ~FinderKeysControl() = default;
  // Which keys act; applies at once, without a restart.
  virtual void setEnabledKeys(const std::set<FinderKey>& keys) = 0;
};

}  // namespace mirlet
