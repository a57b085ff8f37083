#pragma once

#include <string>

// What the rest of the program may know of the Finder cut feature: its id and
// what the shell asks of it beyond starting and stopping.
namespace mirlet {

namespace FeatureIds {
inline const std::string finderCut = "finder-cut";
}  // namespace FeatureIds

class FinderCutControl {
 public:
  virtual ~FinderCutControl() = default;
  // Cancels a prepared or preparing cut.
  virtual void cancelPendingCut() = 0;
};

}  // namespace mirlet
