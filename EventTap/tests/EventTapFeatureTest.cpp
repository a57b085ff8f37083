#include "EventTap/EventTapFeature.h"

#include <gtest/gtest.h>

#include "core/FeatureController.h"
#include "host/sim/DesktopScenario.h"

namespace mirlet::sim {
namespace {

enum class ProbeErrorCode { missingTrust, tapUnavailable };

std::string_view errorName(ProbeErrorCode code) {
  return code == ProbeErrorCode::missingTrust ? "probe: missing trust" : "probe: tap unavailable";
}

using ProbeError = ErrorOf<ProbeErrorCode>;

// An intercepting feature that swallows the F2 key, as the real ones decide on
// their own keys, and lets its own marker through.
class ProbeFeature : public EventTapFeature {
 public:
  static constexpr std::int64_t kMarker = 0x4D49524C4B455953;

  using EventTapFeature::checkHealth;
  using EventTapFeature::EventTapFeature;

  const FeatureDescriptor& descriptor() const override { return descriptor_; }
  std::vector<EventType> types{EventType::keyDown, EventType::keyUp,
                               EventType::tapDisabledByTimeout};
  int machineryStarts = 0;
  int machineryStops = 0;
  bool keepsTap = false;  // keeps its tap when stopped, as one finishing a gesture
  int notices = 0;        // switched-off notices that reached it
  std::vector<std::uint16_t> handled;
  mutable int markerReads = 0;

 protected:
  std::vector<TapSpec> tapSpecs() const override { return {{types, TapOptions::filtering}}; }
  std::vector<std::int64_t> ownMarkers() const override {
    ++markerReads;
    return {kMarker};
  }
  bool handle(std::size_t, EventType, InputEvent& event) override {
    handled.push_back(event.keyCode());
    return event.keyCode() != 120;
  }
  [[noreturn]] void failStart(StartFailure failure) override {
    throw ProbeError(failure == StartFailure::missingTrust ? ProbeErrorCode::missingTrust
                                                           : ProbeErrorCode::tapUnavailable);
  }
  bool keepsTapWhenStopped(std::size_t) const override { return keepsTap; }
  void tapDisabled(std::size_t tapIndex, EventType reason) override {
    ++notices;
    EventTapFeature::tapDisabled(tapIndex, reason);
  }
  void startMachinery() override { ++machineryStarts; }
  void stopMachinery() override { ++machineryStops; }

 private:
  FeatureDescriptor descriptor_{"probe", "Probe", "", true};
};

// The feature under the real controller, on the simulated desktop; uptime is
// moved to the values the rules speak of.
class EventTapFeatureTest : public ::testing::Test {
 protected:
  EventTapFeatureTest() {
    feature_ = std::make_shared<ProbeFeature>(desktop().events, desktop().trust, desktop().time,
                                              [this](const Uuid& run) {
                                                reports_.push_back(run);
                                                controller_->reportFailure("probe", run);
                                              });
    controller_ = std::make_unique<FeatureController>(FeatureRegistry({feature_}), preferences_);
  }
  SimDesktop& desktop() { return scenario_.desktop; }
  void startAt(double uptime) {
    advanceTo(uptime);
    controller_->setEnabled(true, "probe", AccessibilityPermission::granted);
  }
  void advanceTo(double uptime) { scenario_.rest(uptime - desktop().time.uptime()); }
  void timeOutAt(double uptime) {
    advanceTo(uptime);
    ASSERT_FALSE(desktop().events.taps().empty());
    desktop().events.disableTap(desktop().events.taps().front().id,
                                EventType::tapDisabledByTimeout);
    scenario_.settle();
  }
  FeatureState state() const { return *controller_->state("probe"); }

  DesktopScenario scenario_;
  MemoryDefaultsStore store_;
  Preferences preferences_{store_};
  std::shared_ptr<ProbeFeature> feature_;
  std::unique_ptr<FeatureController> controller_;
  std::vector<Uuid> reports_;
};

TEST_F(EventTapFeatureTest, StartInstallsOneEnabledTapWithTheMaskBelow64) {
  startAt(1000);
  ASSERT_EQ(desktop().events.taps().size(), 1u);
  const auto tap = desktop().events.taps().front();
  EXPECT_TRUE(tap.enabled);
  EXPECT_EQ(tap.mask, eventMaskBit(EventType::keyDown) | eventMaskBit(EventType::keyUp));
  EXPECT_EQ(feature_->machineryStarts, 1);
  feature_->start(Uuid::random());  // already running: nothing
  EXPECT_EQ(desktop().events.taps().size(), 1u);
}

TEST_F(EventTapFeatureTest, DecidesEventsButLetsItsOwnMarkerThrough) {
  startAt(1000);
  scenario_.pressKey(120);
  scenario_.pressKey(0);
  InputEvent own = InputEvent::keyboard(120, true);
  own.setIntegerField(EventField::sourceUserData, ProbeFeature::kMarker);
  desktop().events.postToProcess(scenario_.finder->processIdentifier(), own);
  scenario_.settle();
  std::vector<std::uint16_t> received;
  for (const auto& event : scenario_.finder->receivedEvents()) received.push_back(event.keyCode());
  EXPECT_EQ(received, (std::vector<std::uint16_t>{0, 0, 120}));
  EXPECT_EQ(feature_->handled, (std::vector<std::uint16_t>{120, 120, 0, 0}));
  EXPECT_EQ(feature_->markerReads, 1) << "read once per start, not per event";
}

TEST_F(EventTapFeatureTest, ATapStillDeliveringAfterThePermissionWentSwallowsNothing) {
  desktop().events.tapsOutliveTrust = true;
  startAt(1000);
  desktop().trust.trusted = false;
  scenario_.pressKey(120);
  ASSERT_EQ(scenario_.finder->receivedEvents().size(), 2u);
  EXPECT_EQ(scenario_.finder->receivedEvents().front().keyCode(), 120);
  EXPECT_TRUE(feature_->handled.empty());
  EXPECT_EQ(reports_.size(), 1u);  // stopped at once, not at the next health check
  EXPECT_EQ(state(), FeatureState::failed);
}

TEST_F(EventTapFeatureTest, NoTrustFailsTheStart) {
  desktop().trust.trusted = false;
  startAt(1000);
  EXPECT_EQ(state(), FeatureState::failed);
  EXPECT_EQ(controller_->startFailure("probe"), "probe: missing trust");
  EXPECT_TRUE(desktop().events.taps().empty());
}

TEST_F(EventTapFeatureTest, RefusedTapFailsTheStartWhileTrusted) {
  desktop().events.refuseTaps = true;
  startAt(1000);
  EXPECT_EQ(state(), FeatureState::failed);
  EXPECT_EQ(controller_->startFailure("probe"), "probe: tap unavailable");
  EXPECT_FALSE(feature_->isRunning());
  EXPECT_EQ(feature_->machineryStarts, 0);
  EXPECT_TRUE(desktop().events.taps().empty());
}

TEST_F(EventTapFeatureTest, TimeoutsRestartAtMostOncePerMinute) {
  startAt(100);
  const Uuid run = *feature_->runID();
  timeOutAt(100);
  EXPECT_EQ(state(), FeatureState::running);
  EXPECT_EQ(feature_->runID(), run);
  EXPECT_TRUE(reports_.empty());
  EXPECT_TRUE(desktop().events.taps().front().enabled);

  timeOutAt(130);
  EXPECT_EQ(reports_, std::vector<Uuid>{run});
  EXPECT_EQ(state(), FeatureState::failed);
  EXPECT_TRUE(desktop().events.taps().empty());
}

TEST_F(EventTapFeatureTest, TimeoutAMinuteAfterTheLastRestartRestartsAgain) {
  startAt(100);
  timeOutAt(100);
  timeOutAt(161);
  EXPECT_EQ(state(), FeatureState::running);
  EXPECT_EQ(feature_->restartGate().lastRestart, 161);
}

TEST_F(EventTapFeatureTest, UserInputDisablingAlwaysReports) {
  startAt(1000);
  const Uuid run = *feature_->runID();
  desktop().events.disableTap(desktop().events.taps().front().id,
                              EventType::tapDisabledByUserInput);
  scenario_.settle();
  EXPECT_EQ(reports_, std::vector<Uuid>{run});
  EXPECT_EQ(state(), FeatureState::failed);
  EXPECT_EQ(feature_->restartGate().lastRestart, std::nullopt);
}

// The notice comes after the feature stopped, to the tap it kept.
TEST_F(EventTapFeatureTest, SwitchedOffNoticeAfterStopDoesNothing) {
  feature_->keepsTap = true;
  startAt(1000);
  const int id = desktop().events.taps().front().id;
  desktop().events.disableTap(id, EventType::tapDisabledByTimeout);
  controller_->setEnabled(false, "probe", AccessibilityPermission::granted);
  scenario_.settle();
  EXPECT_EQ(feature_->notices, 1);
  EXPECT_TRUE(reports_.empty());
  EXPECT_EQ(state(), FeatureState::disabled);
  EXPECT_EQ(feature_->machineryStarts, 1) << "not restarted";
}

TEST_F(EventTapFeatureTest, HealthCheckReportsLostTrustAndRecoversADisabledTap) {
  startAt(1000);
  EXPECT_TRUE(feature_->checkHealth());
  desktop().events.disableTap(desktop().events.taps().front().id, EventType::tapDisabledByTimeout);
  EXPECT_FALSE(feature_->checkHealth());  // recovered: restarted under the same run
  EXPECT_EQ(state(), FeatureState::running);
  desktop().trust.trusted = false;
  EXPECT_FALSE(feature_->checkHealth());
  EXPECT_EQ(state(), FeatureState::failed);
  EXPECT_TRUE(desktop().events.taps().empty());
}

TEST_F(EventTapFeatureTest, StopIsHarmlessWhenNothingRuns) {
  feature_->stop();
  feature_->stop();
  EXPECT_FALSE(feature_->isRunning());
  EXPECT_EQ(feature_->machineryStops, 2);
}

TEST(EventTapRestartGateTest, Rules) {
  EventTapRestartGate gate;
  EXPECT_FALSE(gate.allowsRestart(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(gate.lastRestart, std::nullopt);
  EXPECT_TRUE(gate.allowsRestart(100));
  EXPECT_FALSE(gate.allowsRestart(159.999));
  EXPECT_EQ(gate.lastRestart, 100);
  EXPECT_TRUE(gate.allowsRestart(160));
}

TEST(EventMaskTest, RawValuesOf64AndMoreAreLeftOut) {
  EXPECT_EQ(EventTapFeature::mask({EventType::rightMouseDown, EventType::tapDisabledByUserInput}),
            std::uint64_t{1} << 3);
}

}  // namespace
}  // namespace mirlet::sim
