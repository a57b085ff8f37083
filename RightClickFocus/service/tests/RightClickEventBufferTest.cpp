#include "RightClickFocus/service/RightClickEventBuffer.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using Phase = RightClickStateMachine::Phase;
const Uuid kTransaction(Uuid::Bytes{7});

InputEvent mouse(EventType type, double x = 100, double y = 80) {
  InputEvent event;
  event.type = type;
  event.location = {x, y};
  event.setIntegerField(EventField::clickState, 1);
  return event;
}
InputEvent tagged(InputEvent event) {
  event.setIntegerField(EventField::sourceUserData, RightClickEventSnapshot::kReplayTag);
  return event;
}
const InputEvent kDown = mouse(EventType::rightMouseDown);
const InputEvent kUp = mouse(EventType::rightMouseUp);

std::vector<EventType> types(const std::vector<InputEvent>& events) {
  std::vector<EventType> found;
  for (const auto& event : events) {
    EXPECT_EQ(event.sourceUserData(), RightClickEventSnapshot::kReplayTag);
    found.push_back(event.type);
  }
  return found;
}

TEST(RightClickEventBufferTest, AClickOnAnUnfocusedWindowIsReplayedOnceFocused) {
  RightClickEventBuffer buffer;
  const auto held = buffer.receive(kDown, true, kTransaction);
  EXPECT_TRUE(held.suppressOriginal);
  EXPECT_EQ(held.focusRequest, kTransaction);
  EXPECT_TRUE(buffer.receive(kUp, true).suppressOriginal);
  // Our own replay passes and changes nothing.
  const RightClickEventBuffer before = buffer;
  const auto own = buffer.receive(tagged(kUp), true);
  EXPECT_FALSE(own.suppressOriginal);
  EXPECT_TRUE(own.replays.empty());
  EXPECT_EQ(buffer, before);
  const auto focused = buffer.resolve(kTransaction, true);
  EXPECT_EQ(types(focused.replays),
            (std::vector<EventType>{EventType::rightMouseDown, EventType::rightMouseUp}));
  EXPECT_EQ(focused.replays[0].location, (ScreenPoint{100, 80}));
  EXPECT_EQ(buffer, RightClickEventBuffer());  // the gesture is over
}

TEST(RightClickEventBufferTest, DragsWhileFocusingFollowThePressAndComeBeforeTheRelease) {
  RightClickEventBuffer buffer;
  buffer.receive(kDown, true, kTransaction);
  EXPECT_TRUE(buffer.receive(mouse(EventType::rightMouseDragged, 110), true).suppressOriginal);
  buffer.receive(mouse(EventType::rightMouseDragged, 120), true);
  EXPECT_EQ(types(buffer.resolve(kTransaction, true).replays),
            (std::vector<EventType>{EventType::rightMouseDown, EventType::rightMouseDragged,
                                    EventType::rightMouseDragged}));
  const auto drag = buffer.receive(mouse(EventType::rightMouseDragged, 130), true);
  EXPECT_TRUE(drag.suppressOriginal);
  EXPECT_EQ(types(drag.replays), std::vector<EventType>{EventType::rightMouseDragged});
  EXPECT_EQ(types(buffer.receive(kUp, true).replays),
            std::vector<EventType>{EventType::rightMouseUp});
  EXPECT_EQ(buffer.state().phase, Phase::idle);
}

TEST(RightClickEventBufferTest, TooManyHeldDragsCancelAndTheRestOfTheGestureIsSwallowed) {
  RightClickEventBuffer buffer;
  buffer.receive(kDown, true, kTransaction);
  for (std::size_t i = 0; i < RightClickEventBuffer::kMaximumHeldDrags; ++i) {
    buffer.receive(mouse(EventType::rightMouseDragged), true);
  }
  EXPECT_EQ(buffer.state().phase, Phase::awaitingFocus);
  EXPECT_TRUE(buffer.receive(mouse(EventType::rightMouseDragged), true).suppressOriginal);
  EXPECT_EQ(buffer.state().phase, Phase::discarding);
  EXPECT_TRUE(buffer.resolve(kTransaction, true).replays.empty());
  EXPECT_TRUE(buffer.receive(kUp, true).suppressOriginal);
  EXPECT_EQ(buffer.state().phase, Phase::idle);
}

TEST(RightClickEventBufferTest, AFailedCopyReplaysNothingAndUndoesTheStep) {
  bool copies = true;
  RightClickEventBuffer buffer([&](const RightClickEventSnapshot& snapshot) {
    return copies ? snapshot.makeReplay() : std::nullopt;
  });
  buffer.receive(kDown, true, kTransaction);
  copies = false;
  const auto failed = buffer.resolve(kTransaction, true);
  EXPECT_TRUE(failed.copyFailed);
  EXPECT_TRUE(failed.replays.empty());
  EXPECT_EQ(buffer.state().phase, Phase::awaitingFocus);
  copies = true;
  EXPECT_EQ(types(buffer.resolve(kTransaction, true).replays),
            std::vector<EventType>{EventType::rightMouseDown});
}

TEST(RightClickEventBufferTest, AnEmergencyReleaseLetsGoOfAReplayedPress) {
  RightClickEventBuffer buffer;
  EXPECT_EQ(buffer.emergencyRelease(5), std::nullopt);
  buffer.receive(kDown, true, kTransaction);
  buffer.resolve(kTransaction, true);
  const auto release = buffer.emergencyRelease(123456789);
  ASSERT_TRUE(release);
  EXPECT_EQ(release->type, EventType::rightMouseUp);
  EXPECT_EQ(release->doubleField(EventField::pressure), 0);
  EXPECT_EQ(release->timestamp, 123456789u);
  EXPECT_EQ(release->sourceUserData(), RightClickEventSnapshot::kReplayTag);
  EXPECT_EQ(buffer, RightClickEventBuffer());
}

TEST(RightClickEventBufferTest, OtherEventsAndIdleDragsPass) {
  RightClickEventBuffer buffer;
  EXPECT_EQ(buffer.receive(mouse(EventType::leftMouseDown), true), RightClickBufferedOutput{});
  EXPECT_EQ(buffer.receive(mouse(EventType::rightMouseDragged), true), RightClickBufferedOutput{});
  EXPECT_FALSE(buffer.receive(kDown, false).suppressOriginal);
}

TEST(RightClickReleaseDrainTest, SwallowsTheRestOfAnInterceptedGestureUntilItsRelease) {
  RightClickReleaseDrain drain;
  drain.stop(true, false);
  EXPECT_FALSE(drain.suppress(EventType::rightMouseUp, false));
  drain.stop(true, true);
  EXPECT_TRUE(drain.suppress(EventType::rightMouseDragged, false));
  EXPECT_FALSE(drain.suppress(EventType::rightMouseUp, true));  // our own replay
  EXPECT_FALSE(drain.suppress(EventType::leftMouseDown, false));
  EXPECT_TRUE(drain.suppress(EventType::rightMouseUp, false));
  EXPECT_FALSE(drain.isWaiting);
}

}  // namespace
}  // namespace mirlet
