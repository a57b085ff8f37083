#include "core/Signal.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace mirlet {
namespace {

TEST(SignalTest, SlotsRunInConnectionOrderUntilTheirSubscriptionEnds) {
  Signal<int> signal;
  std::vector<std::string> calls;
  Subscription first =
      signal.connect([&](int v) { calls.push_back("first " + std::to_string(v)); });
  std::optional<Subscription> second =
      signal.connect([&](int v) { calls.push_back("second " + std::to_string(v)); });
  signal.emit(1);
  second.reset();
  signal.emit(2);
  EXPECT_EQ(calls, (std::vector<std::string>{"first 1", "second 1", "first 2"}));
}

TEST(SignalTest, SlotDisconnectedDuringEmissionIsNotCalledByIt) {
  Signal<> signal;
  int laterCalls = 0;
  Subscription later;
  Subscription first = signal.connect([&] { later.reset(); });
  later = signal.connect([&] { ++laterCalls; });
  signal.emit();
  EXPECT_EQ(laterCalls, 0);
  EXPECT_FALSE(signal.hasSlots() && later.isConnected());
}

TEST(SignalTest, SlotMayEndItsOwnSubscriptionAndConnectNewOnes) {
  Signal<> signal;
  int calls = 0;
  Subscription self;
  Subscription added;
  self = signal.connect([&] {
    ++calls;
    self.reset();
    added = signal.connect([&] { ++calls; });
  });
  signal.emit();
  EXPECT_EQ(calls, 1);  // the slot added during the emission waits for the next one
  signal.emit();
  EXPECT_EQ(calls, 2);
}

TEST(SignalTest, SubscriptionMayOutliveTheSignal) {
  Subscription subscription;
  {
    Signal<> signal;
    subscription = signal.connect([] {});
  }
  subscription.reset();
  EXPECT_FALSE(subscription.isConnected());
}

TEST(SignalTest, MovedSubscriptionKeepsTheConnection) {
  Signal<> signal;
  int calls = 0;
  Subscription moved;
  {
    Subscription original = signal.connect([&] { ++calls; });
    moved = std::move(original);
  }
  signal.emit();
  EXPECT_EQ(calls, 1);
}

TEST(ObservableTest, EverySetNotifiesWithTheNewValue) {
  Observable<int> value(1);
  std::vector<int> seen;
  Subscription subscription = value.subscribe([&](const int& v) { seen.push_back(v); });
  value.set(2);
  value.set(2);
  EXPECT_EQ(value.get(), 2);
  EXPECT_EQ(seen, (std::vector<int>{2, 2}));
}

}  // namespace
}  // namespace mirlet
