#include "host/KeyboardLayout.h"

#include <gtest/gtest.h>

#include "host/sim/SimKeyboardLayout.h"

namespace mirlet::sim {
namespace {

using Layout = SimKeyboardLayout::Layout;

class KeyboardLayoutTest : public ::testing::Test {
 protected:
  KeyboardLayout layout(Layout which) {
    source_.layout = which;
    return KeyboardLayout(source_);
  }
  SimKeyboardLayout source_;
};

TEST_F(KeyboardLayoutTest, LabelsFollowTheLayout) {
  EXPECT_EQ(layout(Layout::usANSI).keyLabel(0), "A");
  EXPECT_EQ(layout(Layout::frenchAZERTY).keyLabel(0), "Q");
  EXPECT_EQ(layout(Layout::spanish).keyLabel(41), "Ñ");
  EXPECT_EQ(layout(Layout::dvorak).keyLabel(9), "K");
}

TEST_F(KeyboardLayoutTest, SpecialKeysHaveFixedLabels) {
  EXPECT_EQ(layout(Layout::usANSI).keyLabel(49), "Espacio");
  EXPECT_EQ(layout(Layout::usANSI).keyLabel(36), "↩");
  EXPECT_EQ(layout(Layout::usANSI).keyLabel(111), "F12");
}

TEST_F(KeyboardLayoutTest, UnreadableOrUnmappedKeysFallBack) {
  EXPECT_EQ(layout(Layout::usANSI).keyLabel(200), "#200");
  source_.unavailable = true;
  EXPECT_EQ(KeyboardLayout(source_).keyLabel(0), "A");  // the ANSI letter
  EXPECT_EQ(KeyboardLayout(source_).keyCode("v", 9), 9);
}

TEST_F(KeyboardLayoutTest, TheKeyThatTypesACharacter) {
  EXPECT_EQ(layout(Layout::usANSI).keyCode("v", 99), 9);
  EXPECT_EQ(layout(Layout::dvorak).keyCode("v", 9), 47);
  EXPECT_EQ(layout(Layout::frenchAZERTY).keyCode("a", 0), 12);
  EXPECT_EQ(layout(Layout::usANSI).keyCode("ñ", 7), 7);
}

TEST_F(KeyboardLayoutTest, CharacterIsNothingForKeysWithoutOne) {
  EXPECT_EQ(layout(Layout::usANSI).character(9), "v");
  EXPECT_EQ(layout(Layout::usANSI).character(127), std::nullopt);
}

}  // namespace
}  // namespace mirlet::sim
