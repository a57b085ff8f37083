#include "host/KeyPositions.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

TEST(KeyPositionsTest, NamesTheSamePlacesBothWays) {
  // V, the default hot key's key; Return; the left arrow; F1; keypad Enter.
  for (const auto& [x, mac] : {std::pair<std::uint32_t, std::uint16_t>{55, 9},
                               {36, 36},
                               {113, 123},
                               {67, 122},
                               {104, 76}}) {
    EXPECT_EQ(KeyPositions::macKeyCode(x), mac) << x;
    EXPECT_EQ(KeyPositions::xKeyCode(mac), x) << mac;
  }
  for (std::uint32_t x = 0; x < 256; ++x) {
    if (const auto mac = KeyPositions::macKeyCode(x)) {
      EXPECT_EQ(KeyPositions::xKeyCode(*mac), x);
    }
  }
}

TEST(KeyPositionsTest, SuperStandsWhereCommandDoes) {
  EXPECT_EQ(KeyPositions::macKeyCode(37), 59);   // Control_L: ⌃
  EXPECT_EQ(KeyPositions::macKeyCode(133), 55);  // Super_L: ⌘
}

TEST(KeyPositionsTest, KeysWithoutAPlaceHaveNoCode) {
  EXPECT_EQ(KeyPositions::macKeyCode(0), std::nullopt);
  EXPECT_EQ(KeyPositions::macKeyCode(255), std::nullopt);
  EXPECT_EQ(KeyPositions::xKeyCode(0xFFFF), std::nullopt);
}

}  // namespace
}  // namespace mirlet
