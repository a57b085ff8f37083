#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "ClipboardHistory/ClipboardHistoryControl.h"
#include "FinderCut/FinderCutControl.h"
#include "FinderKeys/FinderKeysControl.h"
#include "app/AppModel.h"
#include "app/FeatureCatalog.h"
#include "core/testing/FakeFeature.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "host/testing/ScriptedSystemEnvironment.h"

namespace mirlet::testing {

class FakeFinderCut : public FakeFeature, public FinderCutControl {
 public:
  FakeFinderCut() : FakeFeature({FeatureIds::finderCut, "", "", true}) {}
  void cancelPendingCut() override { ++cancels; }
  int cancels = 0;
};

class FakeFinderKeys : public FakeFeature, public FinderKeysControl {
 public:
  FakeFinderKeys() : FakeFeature({FeatureIds::finderKeys, "", "", true}) {}
  void setEnabledKeys(const std::set<FinderKey>& keys) override { enabledKeys = keys; }
  std::set<FinderKey> enabledKeys;
};

class FakeClipboardHistory : public FakeFeature, public ClipboardHistoryControl {
 public:
  FakeClipboardHistory() : FakeFeature({FeatureIds::clipboardHistory, "", "", false}) {}
  bool isPaused() const override { return paused; }
  void setPaused(bool value) override { paused = value; }
  std::optional<std::string> hotKeyLabel() const override { return hotKey; }
  bool paused = false;
  std::optional<std::string> hotKey = "⌃⌥V";
};

// A desktop for the application's tests: the four features as fakes with their
// real ids, wired to the model's sinks, over a memory store, a scripted system and
// virtual time.
struct FakeDesktop {
  MemoryDefaultsStore store;
  ScriptedSystemEnvironment environment;
  VirtualTimeScheduler scheduler;
  std::shared_ptr<FakeFeature> rightClick =
      std::make_shared<FakeFeature>(FeatureDescriptor{FeatureIds::rightClickFocus, "", "", true});
  std::shared_ptr<FakeFinderCut> finderCut = std::make_shared<FakeFinderCut>();
  std::shared_ptr<FakeFinderKeys> finderKeys = std::make_shared<FakeFinderKeys>();
  std::shared_ptr<FakeClipboardHistory> clipboard = std::make_shared<FakeClipboardHistory>();
  // Leaves the clipboard history out of the registry.
  bool withoutClipboard = false;
  // Runs while the features are built, before they are registered.
  std::function<void(const FeatureSinks&)> duringConstruction;
  FeatureSinks sinks;

  FeatureFactory factory() {
    return [this](const FeatureSinks& given, Preferences&) -> FeatureRegistry::Features {
      sinks = given;
      FeatureRegistry::Features features{rightClick, finderCut, finderKeys, clipboard};
      if (withoutClipboard) features.pop_back();
      for (auto& feature : features) {
        static_cast<FakeFeature&>(*feature).setFailureCallback(
            given.failureCallback(feature->descriptor().id));
      }
      if (duringConstruction) duringConstruction(given);
      return features;
    };
  }
  AppModel::Services services() { return {store, environment, scheduler, scheduler}; }
  Preferences preferences() { return Preferences(store); }
};

}  // namespace mirlet::testing
