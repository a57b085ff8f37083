#include "ClipboardHistory/service/BackgroundKeyProvider.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "host/sim/SimKeychain.h"

namespace mirlet {
namespace {

constexpr int kTimedOut = -25308;  // any status but success and not-found

// The keychain is asked on the provider's own queue, which the test drains when
// it chooses: what the calling thread does meanwhile is what the test sees.
class BackgroundKeyProviderTest : public ::testing::Test {
 protected:
  BackgroundKeyProviderTest() {
    fetches_ = keys_.observeFetches([this](bool found) { heard_.push_back(found); });
  }

  testing::VirtualTimeScheduler time_;
  sim::SimKeychain keychain_;
  KeychainKeyProvider keychainKeys_{keychain_, "app.mirlet.tests"};
  BackgroundKeyProvider keys_{keychainKeys_, time_, time_, time_};
  std::vector<bool> heard_;
  Subscription fetches_;
};

TEST_F(BackgroundKeyProviderTest, TheCallerNeverWaitsAndTheKeyIsKeptOnceItCame) {
  EXPECT_EQ(keys_.key(true), std::nullopt);
  EXPECT_EQ(keys_.key(true), std::nullopt);
  EXPECT_EQ(keychain_.reads, 0);            // nothing asked on the caller's thread
  EXPECT_EQ(time_.pendingQueueJobs(), 1u);  // one fetch for both asks

  time_.drainQueues();
  EXPECT_EQ(heard_, std::vector<bool>{true});
  const auto key = keys_.key(false);
  ASSERT_TRUE(key);
  EXPECT_EQ(key, keychainKeys_.key(false));
  const int reads = keychain_.reads;
  keys_.key(true);
  EXPECT_EQ(keychain_.reads, reads);
  EXPECT_EQ(time_.pendingQueueJobs(), 0u);
}

TEST_F(BackgroundKeyProviderTest, AFailureIsRememberedForAWhileInsteadOfPaidOnEveryAsk) {
  keychain_.failNextRead = kTimedOut;
  keys_.key(true);
  time_.drainQueues();
  EXPECT_EQ(heard_, std::vector<bool>{false});
  EXPECT_EQ(keychain_.adds, 0);  // a failed read never makes a key

  time_.advance(BackgroundKeyProvider::kFailureMemory - 1);
  EXPECT_EQ(keys_.key(true), std::nullopt);
  EXPECT_EQ(time_.pendingQueueJobs(), 0u);

  time_.advance(2);
  EXPECT_EQ(keys_.key(true), std::nullopt);
  time_.drainQueues();
  EXPECT_EQ(heard_, (std::vector<bool>{false, true}));
  EXPECT_TRUE(keys_.key(false));
}

// Finding no key while only reading is no reason to refuse making one.
TEST_F(BackgroundKeyProviderTest, AKeyToMakeIsFetchedAtOnceAfterAReadFoundNone) {
  keys_.key(false);
  time_.drainQueues();
  EXPECT_EQ(heard_, std::vector<bool>{false});
  EXPECT_EQ(keys_.key(false), std::nullopt);
  EXPECT_EQ(time_.pendingQueueJobs(), 0u);
  keys_.key(true);
  time_.drainQueues();
  EXPECT_EQ(heard_, (std::vector<bool>{false, true}));
  EXPECT_EQ(keychain_.adds, 1);
}

TEST_F(BackgroundKeyProviderTest, AFetchStillWaitingWhenTheProviderGoesDoesNothing) {
  {
    BackgroundKeyProvider gone(keychainKeys_, time_, time_, time_);
    gone.key(true);
  }
  time_.drainQueues();
  EXPECT_EQ(keychain_.reads, 0);
}

}  // namespace
}  // namespace mirlet
