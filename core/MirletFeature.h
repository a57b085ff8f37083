#pragma once

#include <functional>

#include "core/FeatureDescriptor.h"
#include "core/Uuid.h"

namespace mirlet {

// A user-visible utility that the feature controller starts and stops. Used on the
// main thread only.
//
// A feature is given a failure callback when it is built; when a run fails on its
// own, the feature calls it with that run's identifier.
class MirletFeature {
 public:
  using FailureCallback = std::function<void(const Uuid& runID)>;

  virtual ~MirletFeature() = default;

  // Constant for the life of the object.
  virtual const FeatureDescriptor& descriptor() const = 0;
  virtual bool isRunning() const = 0;
  // Starts a run; may throw. The feature keeps `runID` for its failure reports.
  virtual void start(const Uuid& runID) = 0;
  // Stops the feature. Called whether or not it runs, and repeatedly: it must then
  // do nothing harmful.
  virtual void stop() = 0;
};

}  // namespace mirlet
