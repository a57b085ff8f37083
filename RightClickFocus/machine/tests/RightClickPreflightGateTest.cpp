#include "RightClickFocus/machine/RightClickPreflightGate.h"

#include <gtest/gtest.h>

#include <limits>

namespace mirlet {
namespace {

using Gate = RightClickPreflightGate;

TEST(RightClickPreflightGateTest, StartsAtMostAtItsRate) {
  Gate gate(4);  // one start every 0.25 s
  EXPECT_EQ(gate.request(10.0, false), Gate::Action(Gate::Start{0}));
  EXPECT_EQ(gate.completed(10.05), Gate::Action(Gate::None{}));
  const auto next = gate.request(10.1, false);
  ASSERT_TRUE(std::holds_alternative<Gate::Schedule>(next));
  EXPECT_NEAR(std::get<Gate::Schedule>(next).seconds, 0.15, 1e-9);
  EXPECT_EQ(gate.request(10.2, false), Gate::Action(Gate::None{}));  // already scheduled
  EXPECT_EQ(gate.scheduled(10.25), Gate::Action(Gate::Start{0}));
}

TEST(RightClickPreflightGateTest, ARequestWhileRunningStartsWhenItCompletes) {
  Gate gate(4);
  gate.request(10.0, false);
  EXPECT_EQ(gate.request(10.1, false), Gate::Action(Gate::None{}));
  EXPECT_EQ(gate.completed(10.3), Gate::Action(Gate::Start{0}));
  EXPECT_EQ(gate.completed(10.4), Gate::Action(Gate::None{}));  // nothing waits now
}

TEST(RightClickPreflightGateTest, WhileBusyRequestsOnlyWaitForTheRunningOne) {
  Gate gate(30);
  EXPECT_EQ(gate.request(1.0, true), Gate::Action(Gate::None{}));
  EXPECT_EQ(gate.completed(1.1), Gate::Action(Gate::None{}));
  gate.request(2.0, false);
  gate.request(2.01, true);
  EXPECT_EQ(gate.completed(2.1), Gate::Action(Gate::Start{0}));
}

TEST(RightClickPreflightGateTest, InvalidationVoidsWhatWaitsAndTheRunningResult) {
  Gate gate(4);
  gate.request(10.0, false);
  gate.completed(10.05);
  gate.request(10.1, false);  // scheduled
  gate.invalidate();
  EXPECT_EQ(gate.scheduled(10.25), Gate::Action(Gate::None{}));
  EXPECT_FALSE(gate.isCurrent(0));
  EXPECT_EQ(gate.request(10.3, false), Gate::Action(Gate::Start{1}));
  EXPECT_TRUE(gate.isCurrent(1));
}

TEST(RightClickPreflightGateTest, ARateBelowOneCountsAsOneAndNonFiniteTimesChangeNothing) {
  EXPECT_DOUBLE_EQ(Gate(0.2).minimumInterval(), 1.0);
  Gate gate(4);
  const Gate before = gate;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(gate.request(nan, false), Gate::Action(Gate::None{}));
  EXPECT_EQ(gate.completed(std::numeric_limits<double>::infinity()), Gate::Action(Gate::None{}));
  EXPECT_EQ(gate, before);
}

TEST(PointerDwellTest, WaitsForTheRestAfterTheLastMove) {
  PointerDwell dwell(0.05);
  EXPECT_TRUE(dwell.moved(1.0));
  EXPECT_FALSE(dwell.moved(1.02));  // a check is already scheduled
  EXPECT_NEAR(*dwell.check(1.03), 0.04, 1e-9);
  EXPECT_EQ(dwell.check(1.07), std::nullopt);
  EXPECT_TRUE(dwell.moved(2.0));  // the next move schedules again
  dwell.reset();
  EXPECT_TRUE(dwell.moved(2.01));
  EXPECT_EQ(PointerDwell(0.05).check(0), std::nullopt);  // never moved
}

}  // namespace
}  // namespace mirlet
