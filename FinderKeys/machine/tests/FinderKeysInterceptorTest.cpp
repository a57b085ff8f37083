#include "FinderKeys/machine/FinderKeysInterceptor.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using Action = FinderKeyAction;
constexpr std::int64_t kReturn = 36, kKeypadEnter = 76, kF2 = 120, kForwardDelete = 117, kTab = 48,
                       kEscape = 53, kLetterA = 0;
constexpr std::uint64_t kShift = 0x20000, kControl = 0x40000, kOption = 0x80000,
                        kCommand = 0x100000;

const std::set<FinderKey> kAll{FinderKey::enter, FinderKey::f2, FinderKey::delete_};
const FinderKeysContext kReady{true, true, true, true};

struct KeyDownCase {
  const char* name;
  std::int64_t keyCode;
  std::uint64_t flags;
  bool autorepeat;
  std::set<FinderKey> enabled;
  FinderKeysContext context;
  Action expected;
};

class KeyDownTest : public ::testing::TestWithParam<KeyDownCase> {};

// (fresh interceptor, key, situation) → action, and the key is remembered exactly
// when it was acted upon.
TEST_P(KeyDownTest, Decides) {
  const auto& c = GetParam();
  FinderKeysInterceptor interceptor;
  EXPECT_EQ(interceptor.keyDown(c.keyCode, c.flags, c.autorepeat, c.enabled, c.context),
            c.expected);
  const bool acted = c.expected == Action::open || c.expected == Action::rename ||
                     c.expected == Action::moveToTrash;
  EXPECT_EQ(interceptor.intercepted().contains(c.keyCode), acted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyDownTest,
    ::testing::Values(
        KeyDownCase{"ReturnOpens", kReturn, 0, false, kAll, kReady, Action::open},
        KeyDownCase{"KeypadEnterOpens", kKeypadEnter, 0, false, kAll, kReady, Action::open},
        KeyDownCase{"F2Renames", kF2, 0, false, kAll, kReady, Action::rename},
        KeyDownCase{"DeleteTrashes", kForwardDelete, 0, false, kAll, kReady, Action::moveToTrash},
        KeyDownCase{"AlwaysSetBitsDoNotCount", kReturn, 0x100 | 0x800000, false, kAll, kReady,
                    Action::open},
        KeyDownCase{"ShiftReturnPasses", kReturn, kShift, false, kAll, kReady, Action::pass},
        KeyDownCase{"OptionReturnPasses", kReturn, kOption, false, kAll, kReady, Action::pass},
        KeyDownCase{"CommandReturnInvalidates", kReturn, kCommand, false, kAll, kReady,
                    Action::invalidateContext},
        KeyDownCase{"ControlDeleteInvalidates", kForwardDelete, kControl, false, kAll, kReady,
                    Action::invalidateContext},
        KeyDownCase{"TabInvalidatesWithNoKeyEnabled",
                    kTab,
                    0,
                    false,
                    {},
                    kReady,
                    Action::invalidateContext},
        KeyDownCase{"EscapeInvalidates", kEscape, 0, false, {}, kReady, Action::invalidateContext},
        KeyDownCase{"AnAutorepeatPasses", kReturn, 0, true, kAll, kReady, Action::pass},
        KeyDownCase{"OtherKeysPass", kLetterA, 0, false, kAll, kReady, Action::pass},
        KeyDownCase{"ADisabledKeyPasses",
                    kF2,
                    0,
                    false,
                    {FinderKey::enter, FinderKey::delete_},
                    kReady,
                    Action::pass},
        KeyDownCase{"NoSelectionPasses",
                    kForwardDelete,
                    0,
                    false,
                    kAll,
                    {true, true, true, false},
                    Action::pass},
        KeyDownCase{"AStaleViewPasses",
                    kForwardDelete,
                    0,
                    false,
                    kAll,
                    {true, true, false, true},
                    Action::pass},
        KeyDownCase{
            "FinderBehindPasses", kReturn, 0, false, kAll, {false, true, true, true}, Action::pass},
        KeyDownCase{"AKeyForAnotherProcessPassesEvenTab",
                    kTab,
                    kCommand,
                    false,
                    kAll,
                    {true, false, true, true},
                    Action::pass}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FinderKeysInterceptorTest, HoldingReturnOpensOnceAndSwallowsItsRepeatsAndItsKeyUp) {
  FinderKeysInterceptor interceptor;
  EXPECT_EQ(interceptor.keyDown(kReturn, 0, false, kAll, kReady), Action::open);
  EXPECT_EQ(interceptor.keyDown(kReturn, 0, true, kAll, kReady), Action::suppress);
  EXPECT_FALSE(cancelsPendingTrash(Action::suppress));
  // Still swallowed when Finder is no longer in front.
  EXPECT_EQ(interceptor.keyDown(kReturn, 0, true, kAll, {}), Action::suppress);
  EXPECT_EQ(interceptor.keyUp(kReturn), Action::suppress);
  EXPECT_EQ(interceptor.keyUp(kReturn), Action::pass);
  EXPECT_EQ(interceptor, FinderKeysInterceptor());
}

// The key-up of a swallowed Return never came (what it opened turned on secure
// input): the next press is no repeat, and is decided as any other.
TEST(FinderKeysInterceptorTest, AFreshPressAfterALostKeyUpIsDecidedAnew) {
  FinderKeysInterceptor interceptor;
  EXPECT_EQ(interceptor.keyDown(kReturn, 0, false, kAll, kReady), Action::open);
  EXPECT_EQ(interceptor.keyDown(kReturn, 0, false, kAll, {}), Action::pass);
  EXPECT_EQ(interceptor.keyUp(kReturn), Action::pass);
  EXPECT_EQ(interceptor.keyDown(kReturn, 0, false, kAll, kReady), Action::open);
  EXPECT_EQ(interceptor.keyDown(kReturn, 0, false, kAll, kReady), Action::open);
  EXPECT_EQ(interceptor.keyUp(kReturn), Action::suppress);
}

TEST(FinderKeysInterceptorTest, AKeyUpWhoseDownPassedPassesAndResetForgetsEverything) {
  FinderKeysInterceptor interceptor;
  EXPECT_EQ(interceptor.keyUp(kF2), Action::pass);
  interceptor.keyDown(kF2, 0, false, kAll, kReady);
  interceptor.keyDown(kForwardDelete, 0, false, kAll, kReady);
  interceptor.reset();
  EXPECT_TRUE(interceptor.intercepted().empty());
  EXPECT_EQ(interceptor.keyUp(kF2), Action::pass);
}

TEST(FinderKeyTest, NamesAndCodes) {
  for (FinderKey key : {FinderKey::enter, FinderKey::f2, FinderKey::delete_}) {
    EXPECT_EQ(FinderKeys::fromRawValue(FinderKeys::rawValue(key)), key);
  }
  EXPECT_EQ(FinderKeys::fromRawValue("Enter"), std::nullopt);
  EXPECT_EQ(FinderKeys::fromKeyCode(kKeypadEnter), FinderKey::enter);
  EXPECT_EQ(FinderKeys::fromKeyCode(51), std::nullopt);  // backspace is no Finder key
}

}  // namespace
}  // namespace mirlet
