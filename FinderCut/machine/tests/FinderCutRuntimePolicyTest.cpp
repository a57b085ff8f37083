#include "FinderCut/machine/FinderCutRuntimePolicy.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using FinderCutRuntimePolicy::KeyAction;

constexpr std::uint64_t kShift = 0x20000, kControl = 0x40000, kOption = 0x80000,
                        kCommand = 0x100000;

TEST(FinderCutRuntimePolicyTest, KeyActionsByKeyAndModifiers) {
  const struct {
    std::int64_t keyCode;
    std::uint64_t flags;
    KeyAction expected;
  } cases[] = {
      {7, kCommand, KeyAction::cut},
      {7, kCommand | 0x108, KeyAction::cut},  // side and always-set bits do not matter
      {7, kCommand | kShift, KeyAction::clearContext},
      {7, 0, KeyAction::clearContext},
      {9, kCommand, KeyAction::paste},
      {9, kCommand | kShift, KeyAction::clearContext},
      {9, kCommand | kControl, KeyAction::clearContext},
      {9, kCommand | kOption, KeyAction::cancelIntent},
      {9, kOption, KeyAction::cancelIntent},
      {9, 0, KeyAction::clearContext},
      {8, kCommand, KeyAction::cancelIntent},
      {8, kCommand | kShift, KeyAction::cancelIntent},
      {8, 0, KeyAction::clearContext},
      {53, 0, KeyAction::cancelIntent},
      {53, kCommand, KeyAction::cancelIntent},
      {0, 0, KeyAction::clearContext},
      {125, kCommand, KeyAction::clearContext},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FinderCutRuntimePolicy::keyAction(c.keyCode, c.flags, true, true), c.expected)
        << c.keyCode << " " << c.flags;
  }
}

TEST(FinderCutRuntimePolicyTest, KeysNotForAFrontmostFinderPass) {
  for (auto [frontmost, target] : {std::pair{false, true}, {true, false}, {false, false}}) {
    EXPECT_EQ(FinderCutRuntimePolicy::keyAction(7, kCommand, frontmost, target), KeyAction::pass);
    EXPECT_EQ(FinderCutRuntimePolicy::keyAction(53, 0, frontmost, target), KeyAction::pass);
  }
}

TEST(FinderCutRuntimePolicyTest, ASnapshotIsFreshUnderItsRevisionForLessThanTwoAndAHalfSeconds) {
  EXPECT_TRUE(FinderCutRuntimePolicy::snapshotIsFresh(10, 3, 12.49, 3));
  EXPECT_FALSE(FinderCutRuntimePolicy::snapshotIsFresh(10, 3, 12.5, 3));
  EXPECT_FALSE(FinderCutRuntimePolicy::snapshotIsFresh(10, 3, 10, 4));
  EXPECT_FALSE(FinderCutRuntimePolicy::snapshotIsFresh(10, 3, 9.9, 3));  // from the future
}

TEST(FinderCutRuntimePolicyTest, PastesAndTextRoles) {
  EXPECT_TRUE(FinderCutRuntimePolicy::canAdmitPaste(5, 5));
  EXPECT_FALSE(FinderCutRuntimePolicy::canAdmitPaste(5, 6));
  EXPECT_TRUE(FinderCutRuntimePolicy::isClipboardHistoryPaste(0x4D49524C43484953));
  EXPECT_FALSE(FinderCutRuntimePolicy::isClipboardHistoryPaste(0x4D49524C43555458));
  for (const char* role : {"AXTextField", "AXTextArea", "AXComboBox"})
    EXPECT_TRUE(FinderCutContextRetention::invalidatesIntent(role));
  EXPECT_FALSE(FinderCutContextRetention::invalidatesIntent("AXOutline"));
  EXPECT_FALSE(FinderCutContextRetention::invalidatesIntent(std::nullopt));
}

}  // namespace
}  // namespace mirlet
