#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "core/MirletFeature.h"

namespace mirlet::testing {

// A feature whose behaviour a test scripts: it records every start and stop, and
// can fail its start in the ways a real feature can.
class FakeFeature : public MirletFeature {
 public:
  enum class StartBehaviour {
    runs,                 // starts and runs
    throws,               // start raises an error
    throwsText,           // start raises a plain string, as a library might
    throwsNothingKnown,   // start raises a value that says nothing
    staysStopped,         // start returns but the feature does not run
    reportsFailureInside  // start calls the failure callback with its run id, then returns
  };

  explicit FakeFeature(FeatureDescriptor descriptor, FailureCallback onFailure = {})
      : descriptor_(std::move(descriptor)), onFailure_(std::move(onFailure)) {}

  const FeatureDescriptor& descriptor() const override { return descriptor_; }
  bool isRunning() const override { return running_; }

  void start(const Uuid& runID) override {
    startedRuns.push_back(runID);
    switch (behaviour) {
      case StartBehaviour::runs:
        running_ = true;
        break;
      case StartBehaviour::throws:
        throw std::runtime_error("start failed");
      case StartBehaviour::throwsText:
        throw std::string("start failed as text");
      case StartBehaviour::throwsNothingKnown:
        throw 42;
      case StartBehaviour::staysStopped:
        break;
      case StartBehaviour::reportsFailureInside:
        running_ = true;
        failRun(runID);
        break;
    }
  }

  void stop() override {
    ++stopCount;
    running_ = false;
  }

  // Reports that the given run failed, as the feature would from a callback.
  void failRun(const Uuid& runID) {
    if (onFailure_) onFailure_(runID);
  }
  void setFailureCallback(FailureCallback onFailure) { onFailure_ = std::move(onFailure); }

  StartBehaviour behaviour = StartBehaviour::runs;
  std::vector<Uuid> startedRuns;
  int stopCount = 0;

 private:
  FeatureDescriptor descriptor_;
  FailureCallback onFailure_;
  bool running_ = false;
};

}  // namespace mirlet::testing
