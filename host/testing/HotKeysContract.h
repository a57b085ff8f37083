#pragma once

// What callers of HotKeys rely on, as tests any implementation can run.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "host/HotKeys.h"

namespace mirlet::contract {

class HotKeysHarness {
 public:
  virtual ~HotKeysHarness() = default;
  virtual HotKeys& hotKeys() = 0;
  // Another application takes the combination exclusively.
  virtual void holdElsewhere(std::uint16_t keyCode, std::uint32_t modifiers) = 0;
  // The user presses the combination; then the main loop runs.
  virtual void press(std::uint16_t keyCode, std::uint32_t modifiers) = 0;
};

using HotKeysHarnessFactory = std::function<std::unique_ptr<HotKeysHarness>()>;

class HotKeysContract : public ::testing::TestWithParam<HotKeysHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam()(); }
  std::unique_ptr<HotKeysHarness> harness_;
};

constexpr std::uint32_t kControlOption = HotKeyModifiers::control | HotKeyModifiers::option;

TEST_P(HotKeysContract, RegisteredCombinationIsPressedUntilItsRegistrationGoes) {
  int presses = 0;
  auto result = harness_->hotKeys().registerHotKey(9, kControlOption, [&] { ++presses; });
  ASSERT_EQ(result.status, HotKeys::Status::registered);
  ASSERT_NE(result.registration, nullptr);
  harness_->press(9, kControlOption);
  EXPECT_EQ(presses, 1);
  result.registration.reset();
  harness_->press(9, kControlOption);
  EXPECT_EQ(presses, 1);
}

TEST_P(HotKeysContract, CombinationsAreHeldExclusively) {
  auto first = harness_->hotKeys().registerHotKey(9, kControlOption, [] {});
  auto second = harness_->hotKeys().registerHotKey(9, kControlOption, [] {});
  EXPECT_EQ(second.status, HotKeys::Status::occupied);
  EXPECT_EQ(second.registration, nullptr);
  first.registration.reset();
  EXPECT_EQ(harness_->hotKeys().registerHotKey(9, kControlOption, [] {}).status,
            HotKeys::Status::registered);
}

TEST_P(HotKeysContract, CombinationHeldByAnotherApplicationIsOccupied) {
  harness_->holdElsewhere(49, HotKeyModifiers::control);
  EXPECT_EQ(harness_->hotKeys().registerHotKey(49, HotKeyModifiers::control, [] {}).status,
            HotKeys::Status::occupied);
  EXPECT_EQ(harness_->hotKeys().registerHotKey(49, kControlOption, [] {}).status,
            HotKeys::Status::registered);
}

}  // namespace mirlet::contract
