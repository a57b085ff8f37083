#include "host/testing/KeychainContract.h"

#include "host/sim/SimKeychain.h"

namespace mirlet::sim {
namespace {

using contract::KeychainContract;

INSTANTIATE_TEST_SUITE_P(Sim, KeychainContract, ::testing::Values([] {
                           return std::unique_ptr<Keychain>(std::make_unique<SimKeychain>());
                         }));

TEST(SimKeychainTest, AnotherProcessMayAddTheSameItemFirst) {
  SimKeychain keychain;
  keychain.raceNextAdd = Bytes{9};
  EXPECT_EQ(keychain.add("s", "a", Bytes{1}), Keychain::duplicateItem);
  EXPECT_EQ(keychain.read("s", "a").data, Bytes{9});
}

TEST(SimKeychainTest, InjectedFailuresHappenOnce) {
  SimKeychain keychain;
  keychain.failNextAdd = -25308;
  EXPECT_EQ(keychain.add("s", "a", Bytes{1}), -25308);
  EXPECT_EQ(keychain.add("s", "a", Bytes{1}), Keychain::success);
  keychain.failNextRead = -128;
  EXPECT_EQ(keychain.read("s", "a").status, -128);
  EXPECT_EQ(keychain.read("s", "a").status, Keychain::success);
  EXPECT_EQ(keychain.reads, 2);
}

}  // namespace
}  // namespace mirlet::sim
