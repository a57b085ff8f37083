#include "RightClickFocus/machine/RightClickStateMachine.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

namespace E = RightClickEffects;
using Phase = RightClickStateMachine::Phase;
using Effects = std::vector<RightClickEffect>;

Uuid id(std::uint8_t n) { return Uuid(Uuid::Bytes{n}); }
const Uuid kFirst = id(1);
const Uuid kSecond = id(2);

RightClickEvent event(RightClickEvent::Kind kind, double x = 40, bool synthetic = false) {
  return {kind, x, 60, 0x100, 1, synthetic};
}
const RightClickEvent kDown = event(RightClickEvent::Kind::down);
const RightClickEvent kUp = event(RightClickEvent::Kind::up);

// A machine brought to a phase by the operations themselves.
enum class Start { idle, awaitingHeld, awaitingReleased, pressed, discarding };
RightClickStateMachine machineIn(Start start) {
  RightClickStateMachine machine;
  if (start == Start::idle) return machine;
  machine.handle(kDown, true, kFirst);
  if (start == Start::awaitingReleased) machine.handle(kUp, true);
  if (start == Start::pressed) machine.resolveFocus(kFirst, true);
  if (start == Start::discarding) machine.cancel();
  return machine;
}

struct HandleCase {
  const char* name;
  Start start;
  RightClickEvent event;
  bool eligible;
  Phase phase;
  Effects effects;
};

class HandleTest : public ::testing::TestWithParam<HandleCase> {};

TEST_P(HandleTest, Decides) {
  RightClickStateMachine machine = machineIn(GetParam().start);
  EXPECT_EQ(machine.handle(GetParam().event, GetParam().eligible, kSecond), GetParam().effects);
  EXPECT_EQ(machine.state().phase, GetParam().phase);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HandleTest,
    ::testing::Values(
        HandleCase{"AnEligiblePressIsHeldBack",
                   Start::idle,
                   kDown,
                   true,
                   Phase::awaitingFocus,
                   {E::Suppress{}, E::RequestFocus{kSecond}}},
        HandleCase{"AnIneligiblePressPasses", Start::idle, kDown, false, Phase::idle, {E::Pass{}}},
        HandleCase{"AReleaseWhileIdlePasses", Start::idle, kUp, true, Phase::idle, {E::Pass{}}},
        HandleCase{"ASecondPressWhileHeldIsSwallowed",
                   Start::awaitingHeld,
                   kDown,
                   true,
                   Phase::awaitingFocus,
                   {E::Suppress{}}},
        HandleCase{"TheReleaseWhileAwaitingIsKept",
                   Start::awaitingHeld,
                   kUp,
                   true,
                   Phase::awaitingFocus,
                   {E::Suppress{}}},
        HandleCase{"AnotherReleaseIsSwallowed",
                   Start::awaitingReleased,
                   kUp,
                   true,
                   Phase::awaitingFocus,
                   {E::Suppress{}}},
        HandleCase{"APressAfterACompleteClickStartsOver",
                   Start::awaitingReleased,
                   kDown,
                   true,
                   Phase::awaitingFocus,
                   {E::Suppress{}, E::RequestFocus{kSecond}}},
        HandleCase{"APressAfterACompleteClickIneligible",
                   Start::awaitingReleased,
                   kDown,
                   false,
                   Phase::idle,
                   {E::Pass{}}},
        HandleCase{"APressWhilePressedIsSwallowed",
                   Start::pressed,
                   kDown,
                   true,
                   Phase::pressed,
                   {E::Suppress{}}},
        HandleCase{"TheReleaseWhilePressedIsReplayed",
                   Start::pressed,
                   event(RightClickEvent::Kind::up, 90),
                   true,
                   Phase::idle,
                   {E::Suppress{}, E::Replay{event(RightClickEvent::Kind::up, 90, true)}}},
        HandleCase{"DiscardingSwallowsPresses",
                   Start::discarding,
                   kDown,
                   true,
                   Phase::discarding,
                   {E::Suppress{}}},
        HandleCase{"DiscardingEndsWithTheRelease",
                   Start::discarding,
                   kUp,
                   true,
                   Phase::idle,
                   {E::Suppress{}}},
        HandleCase{"ASyntheticPressPassesWhileAwaiting",
                   Start::awaitingHeld,
                   event(RightClickEvent::Kind::down, 40, true),
                   true,
                   Phase::awaitingFocus,
                   {E::Pass{}}},
        HandleCase{"ASyntheticReleasePassesWhilePressed",
                   Start::pressed,
                   event(RightClickEvent::Kind::up, 40, true),
                   true,
                   Phase::pressed,
                   {E::Pass{}}}),
    [](const auto& param) { return std::string(param.param.name); });

struct ResolveCase {
  const char* name;
  Start start;
  Uuid transaction;
  bool confirmed;
  Phase phase;
  Effects effects;
};

class ResolveTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveTest, Decides) {
  RightClickStateMachine machine = machineIn(GetParam().start);
  EXPECT_EQ(machine.resolveFocus(GetParam().transaction, GetParam().confirmed), GetParam().effects);
  EXPECT_EQ(machine.state().phase, GetParam().phase);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResolveTest,
    ::testing::Values(
        ResolveCase{"ConfirmedWhileHeldReplaysThePress",
                    Start::awaitingHeld,
                    kFirst,
                    true,
                    Phase::pressed,
                    {E::Replay{kDown.synthetic()}}},
        ResolveCase{"ConfirmedAfterTheReleaseReplaysBoth",
                    Start::awaitingReleased,
                    kFirst,
                    true,
                    Phase::idle,
                    {E::Replay{kDown.synthetic()}, E::Replay{kUp.synthetic()}}},
        ResolveCase{
            "RefusedWhileHeldDiscards", Start::awaitingHeld, kFirst, false, Phase::discarding, {}},
        ResolveCase{
            "RefusedAfterTheReleaseEnds", Start::awaitingReleased, kFirst, false, Phase::idle, {}},
        ResolveCase{"AnOlderTransactionIsIgnored",
                    Start::awaitingHeld,
                    kSecond,
                    true,
                    Phase::awaitingFocus,
                    {}},
        ResolveCase{"NothingAwaited", Start::pressed, kFirst, true, Phase::pressed, {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(RightClickStateMachineTest, CancellingNeverReplaysAndKeepsAPressedTransaction) {
  RightClickStateMachine machine = machineIn(Start::awaitingReleased);
  EXPECT_TRUE(machine.cancel().empty());
  EXPECT_EQ(machine.state(), (RightClickStateMachine::State{Phase::idle, std::nullopt}));
  machine = machineIn(Start::pressed);
  EXPECT_TRUE(machine.cancel().empty());
  EXPECT_EQ(machine.state(), (RightClickStateMachine::State{Phase::pressed, kFirst}));
  EXPECT_EQ(machine.resolveFocus(kFirst, true), Effects{});
}

TEST(RightClickStateMachineTest, ASecondPressDropsTheWaitingClickWithoutReplayingIt) {
  RightClickStateMachine machine = machineIn(Start::awaitingReleased);
  machine.handle(kDown, true, kSecond);
  EXPECT_EQ(machine.resolveFocus(kFirst, true), Effects{});
  EXPECT_EQ(machine.resolveFocus(kSecond, true), Effects{E::Replay{kDown.synthetic()}});
}

}  // namespace
}  // namespace mirlet
