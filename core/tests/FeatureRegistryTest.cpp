#include "core/FeatureRegistry.h"

#include <gtest/gtest.h>

#include "core/testing/FakeFeature.h"
#include "core/testing/Thrown.h"

namespace mirlet {
namespace {

using testing::thrown;
using Code = FeatureRegistryErrorCode;

FeatureRegistry::Features featuresWithIds(std::initializer_list<const char*> ids) {
  FeatureRegistry::Features features;
  for (const char* id : ids) {
    features.push_back(
        std::make_shared<testing::FakeFeature>(FeatureDescriptor{id, id, "", false}));
  }
  return features;
}

std::optional<FeatureRegistryError> constructionError(std::initializer_list<const char*> ids) {
  return thrown<FeatureRegistryError>([&] { FeatureRegistry registry(featuresWithIds(ids)); });
}

TEST(FeatureRegistryTest, Validation) {
  EXPECT_EQ(constructionError({}), std::nullopt);
  EXPECT_EQ(constructionError({"a", " a "}), std::nullopt);  // compared untrimmed
  EXPECT_EQ(constructionError({" \n"}), FeatureRegistryError(Code::invalidID));
  EXPECT_EQ(constructionError({""}), FeatureRegistryError(Code::invalidID));
  EXPECT_EQ(constructionError({"\t\u00A0\u3000"}), FeatureRegistryError(Code::invalidID));
  EXPECT_EQ(constructionError({"a", "a"}), FeatureRegistryError(Code::duplicateID, "a"));
  // The first failing feature decides.
  EXPECT_EQ(constructionError({"b", "b", " "}), FeatureRegistryError(Code::duplicateID, "b"));
  EXPECT_EQ(constructionError({" ", "b", "b"}), FeatureRegistryError(Code::invalidID));
}

TEST(FeatureRegistryTest, LookupIsExactAndKeepsOrder) {
  FeatureRegistry registry(featuresWithIds({"finder-cut", "Finder-Cut", "clip"}));
  ASSERT_NE(registry.feature("Finder-Cut"), nullptr);
  EXPECT_EQ(registry.feature("Finder-Cut")->descriptor().id, "Finder-Cut");
  EXPECT_EQ(registry.feature("finder-cut "), nullptr);
  EXPECT_EQ(registry.features()[2]->descriptor().id, "clip");
}

}  // namespace
}  // namespace mirlet
