#pragma once

// What callers of a Keychain rely on, as tests any implementation can run.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "host/Keychain.h"

namespace mirlet::contract {

using KeychainFactory = std::function<std::unique_ptr<Keychain>()>;

class KeychainContract : public ::testing::TestWithParam<KeychainFactory> {
 protected:
  void SetUp() override { keychain_ = GetParam()(); }
  std::unique_ptr<Keychain> keychain_;
};

TEST_P(KeychainContract, MissingItemIsNotFound) {
  EXPECT_EQ(keychain_->read("app.mirlet.test", "nobody").status, Keychain::itemNotFound);
}

TEST_P(KeychainContract, AddedItemReadsBackAndCannotBeAddedTwice) {
  const Bytes key(32, 0xAB);
  ASSERT_EQ(keychain_->add("app.mirlet.test", "history", key), Keychain::success);
  const auto read = keychain_->read("app.mirlet.test", "history");
  EXPECT_EQ(read.status, Keychain::success);
  EXPECT_EQ(read.data, key);
  EXPECT_EQ(keychain_->add("app.mirlet.test", "history", Bytes(32, 0)), Keychain::duplicateItem);
  EXPECT_EQ(keychain_->read("app.mirlet.test", "history").data, key);
}

TEST_P(KeychainContract, ServiceAndAccountBothName) {
  ASSERT_EQ(keychain_->add("app.mirlet.test", "a", Bytes{1}), Keychain::success);
  EXPECT_EQ(keychain_->read("app.mirlet.test", "b").status, Keychain::itemNotFound);
  EXPECT_EQ(keychain_->read("app.mirlet.other", "a").status, Keychain::itemNotFound);
}

}  // namespace mirlet::contract
