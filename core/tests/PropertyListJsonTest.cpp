#include "core/PropertyListJson.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

std::optional<PropertyListJsonErrorCode> decodeError(std::string_view text) {
  try {
    PropertyListJson::decode(text);
  } catch (const PropertyListJsonError& error) {
    return error.code();
  }
  return std::nullopt;
}

TEST(PropertyListJsonTest, RoundTripKeepsEveryType) {
  const PropertyDictionary values{
      {"flag", true},
      {"count", std::int64_t{-9007199254740993}},
      {"ratio", 0.1},
      {"whole real", 2.0},
      {"text", "canción \"quoted\" \\ /"},
      {"list", PropertyArray{1, "two", false}},
      {"nested", PropertyDictionary{{"inner", PropertyDictionary{{"deep", 3}}}}},
  };
  EXPECT_EQ(PropertyListJson::decode(PropertyListJson::encode(values)), values);
}

TEST(PropertyListJsonTest, DamagedTextIsRejected) {
  EXPECT_EQ(decodeError(""), PropertyListJsonErrorCode::malformed);
  EXPECT_EQ(decodeError("{\"a\": tru"), PropertyListJsonErrorCode::malformed);
  EXPECT_EQ(decodeError("{\"a\": 1} trailing"), PropertyListJsonErrorCode::malformed);
  EXPECT_EQ(decodeError(std::string("{\"a\": \"\xFF\"}")), PropertyListJsonErrorCode::malformed);
  EXPECT_EQ(decodeError("[1, 2]"), PropertyListJsonErrorCode::notADictionary);
  EXPECT_EQ(decodeError("\"text\""), PropertyListJsonErrorCode::notADictionary);
}

TEST(PropertyListJsonTest, ValueWithoutPropertyListFormDropsOnlyItsKey) {
  auto values = PropertyListJson::decode(R"({"a": null, "b": true, "c": [null, 1]})");
  EXPECT_EQ(values, (PropertyDictionary{{"b", true}, {"c", PropertyArray{1}}}));
}

TEST(PropertyListJsonTest, HugeUnsignedBecomesReal) {
  auto values = PropertyListJson::decode(R"({"big": 18446744073709551615})");
  ASSERT_NE(values.at("big").as<double>(), nullptr);
}

TEST(PropertyListJsonTest, DeepNestingIsCutNotFatal) {
  std::string deep = std::string(5000, '[') + std::string(5000, ']');
  auto values = PropertyListJson::decode("{\"deep\": " + deep + ", \"kept\": 1}");
  EXPECT_EQ(values.at("kept"), PropertyValue(1));
}

}  // namespace
}  // namespace mirlet
