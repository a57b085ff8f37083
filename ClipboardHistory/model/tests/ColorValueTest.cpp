#include "ClipboardHistory/model/ColorValue.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

std::optional<ColorValue> rgba(double r, double g, double b, double a = 1) {
  return ColorValue{r, g, b, a};
}

struct ParseCase {
  const char* text;
  std::optional<ColorValue> expected;
};

class ColorParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ColorParseTest, Parses) {
  const auto& c = GetParam();
  auto parsed = ColorValue::parse(c.text);
  ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.text;
  if (!parsed) return;
  EXPECT_DOUBLE_EQ(parsed->red, c.expected->red) << c.text;
  EXPECT_DOUBLE_EQ(parsed->green, c.expected->green) << c.text;
  EXPECT_DOUBLE_EQ(parsed->blue, c.expected->blue) << c.text;
  EXPECT_DOUBLE_EQ(parsed->alpha, c.expected->alpha) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Literals, ColorParseTest,
    ::testing::Values(
        ParseCase{"#ABC", rgba(170 / 255.0, 187 / 255.0, 204 / 255.0)},
        ParseCase{"  #ff0000\t", rgba(1, 0, 0)}, ParseCase{"#00ff0080", rgba(0, 1, 0, 128 / 255.0)},
        ParseCase{"#abcd", std::nullopt}, ParseCase{"#abcdeg", std::nullopt},
        ParseCase{"#", std::nullopt}, ParseCase{"rgb(255, 0, 0)", rgba(1, 0, 0)},
        ParseCase{"RGB(0,0,255)", rgba(0, 0, 1)}, ParseCase{"rgb(255, 0)", std::nullopt},
        ParseCase{"rgba(1, 2, 3)", std::nullopt}, ParseCase{"rgb(256, 0, 0)", std::nullopt},
        ParseCase{"rgb(-1, 0, 0)", std::nullopt}, ParseCase{"rgba(0, 0, 0, 1.5)", std::nullopt},
        ParseCase{"rgba(0, 0, 0, 0.5)", rgba(0, 0, 0, 0.5)},
        ParseCase{"rgb(0,,0,0)", rgba(0, 0, 0)},  // empty pieces are dropped
        ParseCase{"rgb(0, ,0)", std::nullopt},    // a blank piece is not
        ParseCase{"rgb(0x10, 0, 0)", std::nullopt}, ParseCase{"rgb(nan, 0, 0)", std::nullopt},
        ParseCase{"rgb(1e2, 0, 0)", rgba(100 / 255.0, 0, 0)},
        ParseCase{"hsl(120, 100%, 50%)", rgba(0, 1, 0)},
        ParseCase{"hsl(480, 100%, 50%)", rgba(0, 1, 0)},
        ParseCase{"hsl(-240, 100%, 50%)", rgba(0, 1, 0)},
        ParseCase{"hsl(0, 0%, 40%)", rgba(0.4, 0.4, 0.4)},
        ParseCase{"hsla(0, 100%, 50%, 0.25)", rgba(1, 0, 0, 0.25)},
        ParseCase{"hsl(0, 100, 50%)", std::nullopt}, ParseCase{"hsl(0, 101%, 50%)", std::nullopt},
        ParseCase{"rgb(0, 0, 0", std::nullopt}, ParseCase{"(0, 0, 0)", std::nullopt},
        ParseCase{"red", std::nullopt}, ParseCase{"", std::nullopt}));

TEST(ColorHSLTest, RoundsToSixDecimalsButNotGrey) {
  const ColorValue color = ColorValue::fromHSL(200, 0.5, 0.3, 1);
  EXPECT_DOUBLE_EQ(color.red, 0.15);
  EXPECT_DOUBLE_EQ(color.green, 0.35);
  EXPECT_DOUBLE_EQ(color.blue, 0.45);
  const ColorValue thirds = ColorValue::fromHSL(0, 1, 1.0 / 3, 1);
  EXPECT_DOUBLE_EQ(thirds.red, 0.666667);
  EXPECT_DOUBLE_EQ(ColorValue::fromHSL(10, 0, 1.0 / 3, 1).red, 1.0 / 3);
}

}  // namespace
}  // namespace mirlet
