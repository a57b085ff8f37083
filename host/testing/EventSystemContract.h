#pragma once

// What callers of an EventSystem rely on, as tests any implementation can run:
// include this header in one test file and instantiate EventSystemContract with
// a factory of harnesses for the implementation.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "host/EventSystem.h"

namespace mirlet::contract {

// What a contract test needs besides the interface: a way to press keys as the
// user does, to see what a process received, and to let the main loop run.
class EventSystemHarness {
 public:
  virtual ~EventSystemHarness() = default;
  virtual EventSystem& system() = 0;
  virtual void setTrusted(bool trusted) = 0;
  // The process that receives the user's keys.
  virtual int frontProcess() = 0;
  virtual void pressKey(std::uint16_t keyCode, std::uint64_t flags) = 0;
  // The user presses or releases the right mouse button where the pointer is.
  virtual void rightButton(bool down) = 0;
  virtual std::vector<InputEvent> receivedBy(int pid) = 0;
  virtual void runMainLoop() = 0;
};

using EventSystemHarnessFactory = std::function<std::unique_ptr<EventSystemHarness>()>;

class EventSystemContract : public ::testing::TestWithParam<EventSystemHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam()(); }

  // Installs an enabled tap that records the key codes it sees under `name` and
  // swallows the key `swallowed`.
  std::unique_ptr<EventTap> recordingTap(std::string name, TapOptions options, int swallowed = -1) {
    auto tap = harness_->system().createTap(
        options, eventMaskBit(EventType::keyDown) | eventMaskBit(EventType::keyUp),
        [this, name, swallowed](EventType, const InputEvent& event) -> std::optional<InputEvent> {
          seen_.push_back(name + ":" + std::to_string(event.keyCode()));
          if (event.keyCode() == swallowed) return std::nullopt;
          return event;
        });
    if (tap) tap->setEnabled(true);
    return tap;
  }
  std::vector<std::uint16_t> keyDownsReceived() {
    std::vector<std::uint16_t> codes;
    for (const auto& event : harness_->receivedBy(harness_->frontProcess())) {
      if (event.type == EventType::keyDown) codes.push_back(event.keyCode());
    }
    return codes;
  }

  std::unique_ptr<EventSystemHarness> harness_;
  std::vector<std::string> seen_;
};

TEST_P(EventSystemContract, TapsSeeEventsTheLatestInstalledFirst) {
  auto first = recordingTap("first", TapOptions::filtering);
  auto second = recordingTap("second", TapOptions::filtering);
  harness_->pressKey(7, 0);
  ASSERT_GE(seen_.size(), 2u);
  EXPECT_EQ(seen_[0], "second:7");
  EXPECT_EQ(seen_[1], "first:7");
  EXPECT_EQ(keyDownsReceived(), std::vector<std::uint16_t>{7});
}

// What a tap saw is no proof of the button's state: the system tells it.
TEST_P(EventSystemContract, TheButtonsStateIsTheSystemsWhateverTheTapsSaw) {
  auto swallowing = harness_->system().createTap(
      TapOptions::filtering,
      eventMaskBit(EventType::rightMouseDown) | eventMaskBit(EventType::rightMouseUp),
      [](EventType, const InputEvent&) -> std::optional<InputEvent> { return std::nullopt; });
  ASSERT_TRUE(swallowing);
  swallowing->setEnabled(true);
  EXPECT_FALSE(harness_->system().isMouseButtonDown(1));
  harness_->rightButton(true);
  EXPECT_TRUE(harness_->system().isMouseButtonDown(1));
  EXPECT_FALSE(harness_->system().isMouseButtonDown(0));
  swallowing->setEnabled(false);
  harness_->rightButton(false);
  EXPECT_FALSE(harness_->system().isMouseButtonDown(1));
}

TEST_P(EventSystemContract, FilteringTapSwallowsForEveryoneAfterIt) {
  auto inner = recordingTap("inner", TapOptions::filtering);
  auto outer = recordingTap("outer", TapOptions::filtering, 8);
  harness_->pressKey(8, 0);
  harness_->pressKey(9, 0);
  EXPECT_EQ(keyDownsReceived(), std::vector<std::uint16_t>{9});
  EXPECT_EQ(std::count(seen_.begin(), seen_.end(), "inner:8"), 0);
}

TEST_P(EventSystemContract, ListenOnlyTapCannotSwallow) {
  auto listener = recordingTap("listener", TapOptions::listenOnly, 8);
  harness_->pressKey(8, 0);
  EXPECT_EQ(keyDownsReceived(), std::vector<std::uint16_t>{8});
  EXPECT_EQ(seen_.front(), "listener:8");
}

TEST_P(EventSystemContract, MaskAndEnablementDecideWhatATapSees) {
  int seen = 0;
  auto mouseOnly =
      harness_->system().createTap(TapOptions::filtering, eventMaskBit(EventType::leftMouseDown),
                                   [&](EventType, const InputEvent& event) {
                                     ++seen;
                                     return std::optional<InputEvent>(event);
                                   });
  ASSERT_NE(mouseOnly, nullptr);
  mouseOnly->setEnabled(true);
  auto disabled = recordingTap("disabled", TapOptions::filtering, 8);
  disabled->setEnabled(false);
  EXPECT_FALSE(disabled->isEnabled());
  harness_->pressKey(8, 0);
  EXPECT_EQ(seen, 0);
  EXPECT_TRUE(seen_.empty());
  EXPECT_EQ(keyDownsReceived(), std::vector<std::uint16_t>{8});
}

TEST_P(EventSystemContract, RemovedTapIsNeverCalledAgain) {
  auto tap = recordingTap("gone", TapOptions::filtering, 8);
  tap.reset();
  harness_->pressKey(8, 0);
  EXPECT_TRUE(seen_.empty());
  EXPECT_EQ(keyDownsReceived(), std::vector<std::uint16_t>{8});
}

TEST_P(EventSystemContract, ATapMayDestroyItselfFromItsOwnCallback) {
  auto inner = recordingTap("inner", TapOptions::filtering);
  std::unique_ptr<EventTap> self;
  int calls = 0;
  self = harness_->system().createTap(
      TapOptions::filtering, eventMaskBit(EventType::keyDown),
      [&, marker = std::string("kept alive while it runs")](EventType, const InputEvent& event) {
        ++calls;
        self.reset();
        seen_.push_back(marker);
        return std::optional<InputEvent>(event);
      });
  ASSERT_NE(self, nullptr);
  self->setEnabled(true);
  harness_->pressKey(8, 0);
  harness_->pressKey(9, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen_, (std::vector<std::string>{"kept alive while it runs", "inner:8", "inner:8",
                                             "inner:9", "inner:9"}));
  EXPECT_EQ(keyDownsReceived(), (std::vector<std::uint16_t>{8, 9}));
}

TEST_P(EventSystemContract, PostedEventsPassTheTapsWithTheirMarker) {
  std::vector<std::int64_t> markers;
  auto tap = harness_->system().createTap(TapOptions::filtering, eventMaskBit(EventType::keyDown),
                                          [&](EventType, const InputEvent& event) {
                                            markers.push_back(event.sourceUserData());
                                            return std::optional<InputEvent>(event);
                                          });
  tap->setEnabled(true);
  InputEvent event = InputEvent::keyboard(9, true, EventFlags::command);
  event.setIntegerField(EventField::sourceUserData, 0x4D49524C43484953);
  harness_->system().postToProcess(harness_->frontProcess(), event);
  harness_->runMainLoop();
  EXPECT_EQ(markers, std::vector<std::int64_t>{0x4D49524C43484953});
  const auto received = harness_->receivedBy(harness_->frontProcess());
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received.back().sourceUserData(), 0x4D49524C43484953);
  EXPECT_EQ(received.back().flags & EventFlags::command, EventFlags::command);
}

TEST_P(EventSystemContract, NoTapWithoutPermission) {
  harness_->setTrusted(false);
  EXPECT_EQ(recordingTap("refused", TapOptions::filtering), nullptr);
}

TEST_P(EventSystemContract, KeysCarryTheirTargetProcessATimestampAndTheModifiersHeld) {
  std::vector<InputEvent> seen;
  auto tap = harness_->system().createTap(TapOptions::listenOnly, eventMaskBit(EventType::keyDown),
                                          [&](EventType, const InputEvent& event) {
                                            seen.push_back(event);
                                            return std::optional<InputEvent>(event);
                                          });
  tap->setEnabled(true);
  harness_->pressKey(7, EventFlags::command);
  harness_->pressKey(8, 0);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].integerField(EventField::targetProcessID), harness_->frontProcess());
  EXPECT_LE(seen[0].timestamp, seen[1].timestamp);
  EXPECT_EQ(seen[0].flags & EventFlags::modifiers, EventFlags::command);
  EXPECT_EQ(seen[1].flags & EventFlags::modifiers, 0u);
}

TEST_P(EventSystemContract, RevokedPermissionSilencesTapsAndDropsPostedEvents) {
  auto tap = recordingTap("tap", TapOptions::filtering, 8);
  harness_->setTrusted(false);
  harness_->pressKey(8, 0);
  harness_->system().postToProcess(harness_->frontProcess(), InputEvent::keyboard(9, true));
  harness_->runMainLoop();
  EXPECT_TRUE(seen_.empty());
  EXPECT_EQ(keyDownsReceived(), std::vector<std::uint16_t>{8});
}

}  // namespace mirlet::contract
