#include "ClipboardHistory/service/PasteBack.h"

namespace mirlet {

struct PasteBack::Attempt {
  std::shared_ptr<RunningApplication> target;
  std::function<void(bool)> done;
  double deadline = 0;
};

bool PasteBack::isFrontmost(const RunningApplication& target) const {
  auto front = services_.workspace.frontmostApplication();
  return front && front->processIdentifier() == target.processIdentifier();
}

void PasteBack::postPaste(int processID) {
  const KeyboardLayout layout(services_.layout);
  const std::uint16_t keyCode = layout.keyCode("v", 9);
  for (bool down : {true, false}) {
    InputEvent event = InputEvent::keyboard(keyCode, down, EventFlags::command);
    event.setIntegerField(EventField::sourceUserData, kClipboardPasteMarker);
    services_.events.postToProcess(processID, event);
  }
}

void PasteBack::paste(std::shared_ptr<RunningApplication> target, std::function<void(bool)> done) {
  timer_.reset();  // a paste under way is cancelled
  if (!target || target->isTerminated()) return done(false);
  if (isFrontmost(*target)) {
    postPaste(target->processIdentifier());
    return done(true);
  }
  if (!target->activate()) return done(false);
  auto attempt = std::make_shared<Attempt>(
      Attempt{std::move(target), std::move(done), services_.clock.uptime() + kDeadline});
  check(attempt);
}

void PasteBack::check(const std::shared_ptr<Attempt>& attempt) {
  const RunningApplication& target = *attempt->target;
  if (isFrontmost(target)) {
    timer_ = handoff_.postAfter(services_.mainLoop, kSettle, [this, attempt] {
      timer_.reset();
      const bool running = !attempt->target->isTerminated();
      if (running) postPaste(attempt->target->processIdentifier());
      attempt->done(running);
    });
    return;
  }
  if (services_.clock.uptime() >= attempt->deadline || target.isTerminated()) {
    timer_.reset();
    return attempt->done(false);
  }
  timer_ =
      handoff_.postAfter(services_.mainLoop, kPollInterval, [this, attempt] { check(attempt); });
}

}  // namespace mirlet
