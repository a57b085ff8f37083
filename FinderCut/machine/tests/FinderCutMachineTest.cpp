#include "FinderCut/machine/FinderCutMachine.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

namespace C = FinderCutContexts;
namespace S = FinderCutStates;
namespace E = FinderCutEffects;

Uuid id(std::uint8_t n) { return Uuid(Uuid::Bytes{n}); }

const FinderInstance kFinder{500, id(1)};
const FinderInstance kRelaunched{500, id(2)};  // same pid, new generation
const Uuid kSelection = id(10);
const Uuid kRequestID = id(20);
const Uuid kCopyID = id(30);

FinderCutEnvironment env(FinderCutContext context, std::int64_t changeCount = 7,
                         bool enabled = true, bool permission = true) {
  return {std::move(context), changeCount, enabled, permission};
}
const FinderCutEnvironment kSelected = env(C::FileSelection{kFinder, kSelection});
const FinderCopyRequest kRequest{kRequestID, kFinder, kSelection, 7};
const VerifiedFinderCopy kCopy{kFinder, kSelection, kCopyID, 8};

FinderCutMachine machineIn(const FinderCutState& state) {
  FinderCutMachine machine;
  if (const auto* awaiting = std::get_if<S::AwaitingCopy>(&state)) {
    machine.cut(env(C::FileSelection{awaiting->request.finder, awaiting->request.selectionIdentity},
                    awaiting->request.initialChangeCount),
                awaiting->request.generation);
  } else if (const auto* armed = std::get_if<S::Armed>(&state)) {
    const FinderCopyRequest request{kRequestID, armed->copy.finder, armed->copy.selectionIdentity,
                                    armed->copy.changeCount - 1};
    machine.cut(env(C::FileSelection{request.finder, request.selectionIdentity},
                    request.initialChangeCount),
                request.generation);
    machine.confirmCopy(
        request, armed->copy,
        env(C::FileSelection{request.finder, request.selectionIdentity}, armed->copy.changeCount));
  }
  EXPECT_EQ(machine.state(), state);
  return machine;
}

struct CutCase {
  const char* name;
  FinderCutState before;
  FinderCutEnvironment environment;
  FinderCutState after;
  FinderCutEffect effect;
};

class CutTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutTest, Decides) {
  FinderCutMachine machine = machineIn(GetParam().before);
  EXPECT_EQ(machine.cut(GetParam().environment, kRequestID), GetParam().effect);
  EXPECT_EQ(machine.state(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CutTest,
    ::testing::Values(CutCase{"ASelectionAsksForFindersCopy", S::Idle{}, kSelected,
                              S::AwaitingCopy{kRequest}, E::CopyInFinder{kRequest}},
                      CutCase{"AnArmedCopyIsReplaced", S::Armed{kCopy}, kSelected,
                              S::AwaitingCopy{kRequest}, E::CopyInFinder{kRequest}},
                      CutCase{"AnArmedCopyEndsWithoutASelection", S::Armed{kCopy}, env(C::Text{}),
                              S::Idle{}, E::PassThrough{}},
                      CutCase{"NotEnabled", S::Idle{},
                              env(C::FileSelection{kFinder, kSelection}, 7, false), S::Idle{},
                              E::PassThrough{}},
                      CutCase{"NoPermission", S::Idle{},
                              env(C::FileSelection{kFinder, kSelection}, 7, true, false), S::Idle{},
                              E::PassThrough{}},
                      CutCase{"ADestinationIsNoCut", S::Idle{}, env(C::Destination{kFinder}),
                              S::Idle{}, E::PassThrough{}},
                      CutCase{"OtherApplication", S::Idle{}, env(C::OtherApplication{}), S::Idle{},
                              E::PassThrough{}},
                      CutCase{"Unknown", S::AwaitingCopy{kRequest}, env(C::Unknown{}), S::Idle{},
                              E::PassThrough{}}),
    [](const auto& param) { return std::string(param.param.name); });

struct ConfirmCase {
  const char* name;
  FinderCopyRequest request;
  std::optional<VerifiedFinderCopy> verified;
  FinderCutEnvironment environment;
  FinderCutState after;
};

class ConfirmTest : public ::testing::TestWithParam<ConfirmCase> {};

// From awaiting `kRequest`.
TEST_P(ConfirmTest, Decides) {
  FinderCutMachine machine = machineIn(S::AwaitingCopy{kRequest});
  machine.confirmCopy(GetParam().request, GetParam().verified, GetParam().environment);
  EXPECT_EQ(machine.state(), GetParam().after);
}

FinderCutEnvironment afterCopy(std::int64_t changeCount = 8) {
  return env(C::FileSelection{kFinder, kSelection}, changeCount);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConfirmTest,
    ::testing::Values(
        ConfirmCase{"AVerifiedCopyArms", kRequest, kCopy, afterCopy(), S::Armed{kCopy}},
        ConfirmCase{"AnEarlierRequestIsIgnored",
                    {id(99), kFinder, kSelection, 7},
                    kCopy,
                    afterCopy(),
                    S::AwaitingCopy{kRequest}},
        ConfirmCase{"NoVerifiedCopy", kRequest, std::nullopt, afterCopy(), S::Idle{}},
        ConfirmCase{"TheCopyChangedNothing", kRequest,
                    VerifiedFinderCopy{kFinder, kSelection, kCopyID, 7}, afterCopy(7), S::Idle{}},
        ConfirmCase{"AnotherCopyCameAfter", kRequest, kCopy, afterCopy(9), S::Idle{}},
        ConfirmCase{"TheSelectionMoved", kRequest, kCopy, env(C::FileSelection{kFinder, id(11)}, 8),
                    S::Idle{}},
        ConfirmCase{"TheFocusLeft", kRequest, kCopy, env(C::OtherApplication{}, 8), S::Idle{}},
        ConfirmCase{"ARelaunchedFindersCopy", kRequest,
                    VerifiedFinderCopy{kRelaunched, kSelection, kCopyID, 8}, afterCopy(),
                    S::Idle{}},
        ConfirmCase{"AnotherSelectionsCopy", kRequest,
                    VerifiedFinderCopy{kFinder, id(12), kCopyID, 8}, afterCopy(), S::Idle{}},
        ConfirmCase{"StoppedMeanwhile", kRequest, kCopy,
                    env(C::FileSelection{kFinder, kSelection}, 8, false), S::Idle{}}),
    [](const auto& param) { return std::string(param.param.name); });

struct PasteCase {
  const char* name;
  FinderCutState before;
  FinderCutEnvironment environment;
  std::optional<VerifiedFinderCopy> revalidated;
  FinderCutEffect effect;
};

class PasteTest : public ::testing::TestWithParam<PasteCase> {};

// Every paste disarms.
TEST_P(PasteTest, Decides) {
  FinderCutMachine machine = machineIn(GetParam().before);
  EXPECT_EQ(machine.paste(GetParam().environment, GetParam().revalidated), GetParam().effect);
  EXPECT_EQ(machine.state(), FinderCutState(S::Idle{}));
}

const FinderCutEnvironment kDestination = env(C::Destination{kFinder}, 8);

INSTANTIATE_TEST_SUITE_P(
    Table, PasteTest,
    ::testing::Values(
        PasteCase{"TheArmedCopyMovesHere", S::Armed{kCopy}, kDestination, kCopy,
                  E::MoveInFinder{kCopy}},
        PasteCase{"NothingArmed", S::Idle{}, kDestination, kCopy, E::PassThrough{}},
        PasteCase{"StillAwaitingTheCopy", S::AwaitingCopy{kRequest}, kDestination, kCopy,
                  E::PassThrough{}},
        PasteCase{"FilesSelectedInTheDestination", S::Armed{kCopy},
                  env(C::FileSelection{kFinder, kSelection}, 8), kCopy, E::PassThrough{}},
        PasteCase{"ARelaunchedFinder", S::Armed{kCopy}, env(C::Destination{kRelaunched}, 8), kCopy,
                  E::PassThrough{}},
        PasteCase{"ThePasteboardChanged", S::Armed{kCopy}, env(C::Destination{kFinder}, 9), kCopy,
                  E::PassThrough{}},
        PasteCase{"TheRecheckFailed", S::Armed{kCopy}, kDestination, std::nullopt,
                  E::PassThrough{}},
        PasteCase{"TheRecheckDiffers", S::Armed{kCopy}, kDestination,
                  VerifiedFinderCopy{kFinder, kSelection, id(31), 8}, E::PassThrough{}},
        PasteCase{"NoPermission", S::Armed{kCopy}, env(C::Destination{kFinder}, 8, true, false),
                  kCopy, E::PassThrough{}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FinderCutMachineTest, AnArmedCutIsUsedOnceAndInvalidationForgetsEverything) {
  FinderCutMachine machine = machineIn(S::Armed{kCopy});
  EXPECT_EQ(machine.paste(kDestination, kCopy), FinderCutEffect(E::MoveInFinder{kCopy}));
  EXPECT_EQ(machine.paste(kDestination, kCopy), FinderCutEffect(E::PassThrough{}));
  machine = machineIn(S::AwaitingCopy{kRequest});
  machine.invalidate();
  EXPECT_EQ(machine, FinderCutMachine());
  machine.confirmCopy(kRequest, kCopy, afterCopy());
  EXPECT_EQ(machine.state(), FinderCutState(S::Idle{}));  // a late confirmation
}

TEST(FinderCutMachineTest, EveryCutIsANewRequest) {
  FinderCutMachine machine;
  const auto first = std::get<E::CopyInFinder>(machine.cut(kSelected)).request;
  const auto second = std::get<E::CopyInFinder>(machine.cut(kSelected)).request;
  EXPECT_NE(first.generation, second.generation);
}

}  // namespace
}  // namespace mirlet
