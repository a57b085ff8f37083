// Model-based random test of right-click focus: random pointer, button, key and
// application steps against the simulated desktop, with the feature's promises
// checked after every step. Replay a failure with MIRLET_SEED=<seed>; MIRLET_STEPS
// sets the number of steps.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "RightClickFocus/service/RightClickFocusFeature.h"
#include "host/sim/DesktopScenario.h"
#include "host/sim/testing/RandomWalk.h"

namespace mirlet::sim {
namespace {

class RightClickFocusRandomTest : public ::testing::Test {
 protected:
  // How long after the walk relaunched an application or switched a tap off a
  // failure may be reported because of it (a gesture ends, a recovery is refused).
  static constexpr double kFailureCauseWindow = 5;

  RightClickFocusRandomTest() {
    desktop().trust.trusted = true;
    for (auto* ui : {scenario_.textEditUI.get(), scenario_.safariUI.get()}) track(*ui);
    for (const auto& other : {scenario_.finder, scenario_.mirlet}) watch(other, nullptr);
    scenario_.activate(scenario_.safari);
    start();
  }

  SimDesktop& desktop() { return scenario_.desktop; }

  void start() {
    try {
      feature_.start(Uuid::random());
    } catch (const RightClickFocusError& error) {
      // Still finishing an interrupted gesture: the next attempt will do.
      if (error.code() != RightClickFocusErrorCode::finishingGesture) walk_.fail(error.what());
    }
  }

  // An application with windows the feature may focus.
  void track(SimApplicationUI& ui) {
    ui.application()->activation = SimApplication::Activation::accept;
    watch(ui.application(), &ui);
  }

  // Each application's right button, as its windows see it: pressed at most once,
  // released only when pressed, and a replayed press only in its focused window.
  void watch(const std::shared_ptr<SimApplication>& application, SimApplicationUI* ui) {
    watched_.push_back(Watched{application, 0, {}});
    Watched& entry = watched_.back();
    entry.events = application->observeEvents([this, &entry, ui](const InputEvent& event) {
      if (event.type == EventType::rightMouseDown) {
        if (++entry.pressed > 1) walk_.fail("an application saw two presses without a release");
        if (event.sourceUserData() == RightClickEventSnapshot::kReplayTag) {
          const auto window = ui ? ui->focusedWindow() : nullptr;
          if (!entry.application->isActive() || !window || !window->frame ||
              !window->frame->contains(event.location)) {
            walk_.fail("a replayed press reached a window that was not focused");
          }
          ++replays_;
        }
      } else if (event.type == EventType::rightMouseUp) {
        // The system switching the tap off twice in one gesture ends the swallowing
        // of its rest (once is recovered): then the release reaches the application.
        if (--entry.pressed < 0 && tapOffsWhileHeld_ < 2 && !releaseSlipped_)
          walk_.fail("an application saw a release without a press");
        entry.pressed = std::max(entry.pressed, 0);
      }
    });
  }

  std::size_t receivedInAll() const {
    std::size_t count = 0;
    for (const auto& entry : watched_) count += entry.application->received().size();
    return count;
  }

  // The user's next event comes after what the system already had to do (the
  // feature's posted events among it), as it does for a person's hand.
  void mouse(EventType type, ScreenPoint point) {
    desktop().time.runUntilIdle();
    InputEvent event;
    event.type = type;
    event.location = point;
    event.setIntegerField(EventField::clickState, 1);
    const bool onWindow = desktop().events.windowAt(point).has_value();
    const bool finishing = feature_.isFinishingGesture();
    const std::size_t received = receivedInAll();
    const int told = toldOnPress_;
    desktop().events.inject(event);
    // A press over a window that reached no application was swallowed: the feature
    // must have said why as it did (a gesture it took up or ended), unless it was
    // finishing an interrupted gesture.
    if (type == EventType::rightMouseDown && onWindow && !finishing &&
        receivedInAll() == received && toldOnPress_ == told) {
      walk_.fail("a right press was swallowed for no gesture");
    }
  }

  // Each press the feature takes up is answered once: its replay, a cancellation,
  // or a failure that ends the run or the gesture.
  void account(RightClickDiagnostic told) {
    switch (told) {
      case RightClickDiagnostic::downCaptured:
        ++toldOnPress_;
        ++owed_;
        break;
      case RightClickDiagnostic::cancelledByGesture:
        ++toldOnPress_;
        settle(account_.cancelled);
        break;
      case RightClickDiagnostic::downPosted:
        settle(account_.acted);
        break;
      case RightClickDiagnostic::focusUnconfirmed:
      case RightClickDiagnostic::cancelledByInput:
      case RightClickDiagnostic::cancelledByActivation:
      case RightClickDiagnostic::cancelledByDeadline:
      case RightClickDiagnostic::cancelledByStop:
        settle(account_.cancelled);
        break;
      case RightClickDiagnostic::tapDisabled:
      case RightClickDiagnostic::permissionLost:
      case RightClickDiagnostic::copyFailed:
      case RightClickDiagnostic::destinationLost:
        settle(account_.explained);
        break;
      default:
        break;
    }
  }
  void settle(int& how) {
    if (owed_ == 0) return;
    --owed_;
    ++how;
  }
  void expectEveryPressAnswered() {
    if (owed_ != 0 && !feature_.isFinishingGesture())
      walk_.fail("a press the feature took up was never answered");
  }

  // An event other than the right button's: it must reach the application it is
  // for, if any.
  void injectOther(EventType type, ScreenPoint point, std::uint16_t key = 0) {
    desktop().time.runUntilIdle();
    const std::size_t before = receivedInAll();
    const bool keyboard = type == EventType::keyDown || type == EventType::keyUp;
    const bool hasTarget = keyboard ? desktop().workspace.frontmostApplication() != nullptr
                                    : desktop().events.windowAt(point).has_value() || leftHeld_;
    if (keyboard) {
      desktop().time.runUntilIdle();
      desktop().events.inject(InputEvent::keyboard(key, type == EventType::keyDown));
    } else {
      mouse(type, point);
    }
    if (hasTarget && receivedInAll() != before + 1)
      walk_.fail("an event of type " + std::to_string(static_cast<int>(type)) +
                 ", not the right button's, was swallowed");
  }

  ScreenPoint somewhere() {
    static constexpr ScreenPoint kPlaces[] = {{575, 300},  {800, 300},  {300, 200},
                                              {1300, 100}, {1500, 900}, {650, 420}};
    const ScreenPoint place = kPlaces[walk_.pick(std::size(kPlaces))];
    if (walk_.chance(0.5)) return place;
    return {place.x + static_cast<double>(walk_.pick(21)) - 10,
            place.y + static_cast<double>(walk_.pick(21)) - 10};
  }

  void press() {
    if (held_) return;
    held_ = true;
    mouse(EventType::rightMouseDown, pointer_);
  }
  void release() {
    if (!held_) return;
    held_ = false;
    desktop().time.runUntilIdle();
    releasedAt_ = desktop().time.uptime();
    mouse(EventType::rightMouseUp, pointer_);
    tapOffsWhileHeld_ = 0;
  }
  void moveTo(ScreenPoint point) {
    pointer_ = point;
    if (held_) {
      mouse(EventType::rightMouseDragged, point);
    } else {
      injectOther(EventType::mouseMoved, point);
    }
  }

  // At a calm moment (nothing held or in flight, the pointer at rest, the
  // application behind answering at once and accepting activation) the feature
  // must act: a right click on TextEdit's window behind Safari gives TextEdit, now
  // in front, one press and one release, and its window's context menu.
  void expectACalmRightClickToWork() {
    if (held_ || !feature_.isRunning() || feature_.isFinishingGesture()) return;
    scenario_.settle();
    scenario_.rest(0.5);
    expectEveryPressAnswered();
    SimApplicationUI& ui = *scenario_.textEditUI;
    const auto application = ui.application();
    if (application->isTerminated() || scenario_.safari->isTerminated()) return;
    application->activation = SimApplication::Activation::accept;
    desktop().accessibility.setAnswerDelay(application->processIdentifier(), 0);
    scenario_.activate(scenario_.safari);
    scenario_.settle();
    const ScreenRect frame = *ui.focusedWindow()->frame;
    const ScreenPoint point{frame.x + 20, frame.y + frame.height - 20};
    const auto window = desktop().events.windowAt(point);
    if (!window || window->ownerPID != application->processIdentifier()) return;
    moveTo(point);
    scenario_.rest(0.5);
    const std::size_t received = application->receivedEvents().size();
    const std::size_t menus = ui.contextMenus().size();
    press();
    scenario_.settle();
    release();
    scenario_.settle();
    scenario_.rest(0.5);
    int downs = 0, ups = 0;
    const auto& events = application->receivedEvents();
    for (std::size_t i = received; i < events.size(); ++i) {
      downs += events[i].type == EventType::rightMouseDown;
      ups += events[i].type == EventType::rightMouseUp;
    }
    if (!application->isActive() || downs != 1 || ups != 1 || ui.contextMenus().size() != menus + 1)
      walk_.fail(
          "at a calm moment a right click on a window behind did not focus it and open its menu");
    ++calmClicks_;
  }

  // A release or a move the user makes before the system's notice of a switched-off
  // tap arrives: no tap sees it, the application under the pointer does.
  void slipPastTheTaps() {
    InputEvent event;
    event.location = pointer_;
    event.setIntegerField(EventField::clickState, 1);
    if (held_) {
      held_ = false;
      releasedAt_ = desktop().time.uptime();
      event.type = EventType::rightMouseUp;
      releaseSlipped_ = true;
      desktop().events.inject(event);
      releaseSlipped_ = false;
      tapOffsWhileHeld_ = 0;
    } else {
      pointer_ = somewhere();
      event.location = pointer_;
      event.type = EventType::mouseMoved;
      desktop().events.inject(event);
    }
  }

  // An application behind opens, moves or closes a window on its own, without
  // coming forward.
  void changeWindowsBehind() {
    static constexpr ScreenRect kFrames[] = {
        {520, 250, 400, 300}, {100, 100, 500, 400}, {1200, 50, 300, 200}, {600, 380, 200, 150}};
    auto& ui = walk_.chance(0.5) ? scenario_.textEditUI : scenario_.safariUI;
    if (ui->application()->isTerminated() || ui->windows().empty()) return;
    const ScreenRect frame = kFrames[walk_.pick(std::size(kFrames))];
    const auto window = ui->windows()[walk_.pick(ui->windows().size())];
    const auto roll = walk_.pick(3);
    if (roll == 0) {
      ui->moveWindow(window, frame);
    } else if (roll == 1 && ui->windows().size() < 3) {
      ui->addContent(ui->addStandardWindow("Nueva", frame), "AXGroup");
    } else if (ui->windows().size() > 1) {
      ui->closeWindow(window);
    }
  }

  // The application quits and comes back (maybe with the same pid), with its window.
  void relaunch(std::unique_ptr<SimApplicationUI>& ui) {
    const ScreenRect frame = *ui->focusedWindow()->frame;
    const std::string title = "Otra vez";
    auto again = desktop().workspace.relaunch(ui->application(), walk_.chance(0.5));
    ui = std::make_unique<SimApplicationUI>(desktop(), again);
    ui->addContent(ui->addStandardWindow(title, frame), "AXGroup");
    track(*ui);
  }

  void step() {
    const auto roll = walk_.pick(1000);
    if (roll < 200) {
      moveTo(somewhere());
    } else if (roll < 350) {
      scenario_.rest(walk_.seconds(0.3));
    } else if (roll < 400) {
      scenario_.settle();
    } else if (roll < 500) {
      press();
      if (walk_.chance(0.5)) scenario_.settle();
    } else if (roll < 600) {
      release();
    } else if (roll < 680) {
      // A right click at a place where the pointer rested.
      moveTo(somewhere());
      scenario_.rest(0.1);
      press();
      scenario_.settle();
      if (walk_.chance(0.3)) moveTo({pointer_.x + 3, pointer_.y});
      release();
      scenario_.rest(walk_.seconds(0.3));
    } else if (roll < 720) {
      const ScreenPoint at = somewhere();
      leftHeld_ = false;
      injectOther(EventType::leftMouseDown, at);
      // The release goes where the press went, if it went anywhere.
      leftHeld_ = desktop().events.windowAt(at).has_value();
      injectOther(EventType::leftMouseUp, at);
      leftHeld_ = false;
    } else if (roll < 760) {
      const auto key = static_cast<std::uint16_t>(walk_.pick(50));
      injectOther(EventType::keyDown, pointer_, key);
      injectOther(EventType::keyUp, pointer_, key);
    } else if (roll < 780) {
      injectOther(EventType::scrollWheel, pointer_);
    } else if (roll < 820) {
      static const std::shared_ptr<SimApplication>* kApplications[] = {
          &scenario_.safari, &scenario_.textEdit, &scenario_.finder};
      const auto& chosen = *kApplications[walk_.pick(3)];
      if (!chosen->isTerminated()) scenario_.activate(chosen);
    } else if (roll < 850) {
      auto& ui = walk_.chance(0.5) ? scenario_.textEditUI : scenario_.safariUI;
      static constexpr SimApplication::Activation kWays[] = {
          SimApplication::Activation::accept, SimApplication::Activation::accept,
          SimApplication::Activation::refuse, SimApplication::Activation::delay};
      ui->application()->activation = kWays[walk_.pick(4)];
      ui->application()->activationDelay = walk_.seconds(0.3);
    } else if (roll < 880) {
      auto& ui = walk_.chance(0.5) ? scenario_.textEditUI : scenario_.safariUI;
      // Answers take 0–30 ms, now and then longer than any time-out.
      desktop().accessibility.setAnswerDelay(ui->application()->processIdentifier(),
                                             walk_.chance(0.15) ? 0.06 : walk_.seconds(0.03));
    } else if (roll < 885) {
      changeWindowsBehind();
    } else if (roll < 890) {
      causedAt_ = desktop().time.uptime();
      relaunch(walk_.chance(0.5) ? scenario_.textEditUI : scenario_.safariUI);
      scenario_.textEdit = scenario_.textEditUI->application();
      scenario_.safari = scenario_.safariUI->application();
    } else if (roll < 900) {
      if (feature_.isRunning()) {
        feature_.stop();
      } else {
        start();
      }
    } else if (roll < 903) {
      expectACalmRightClickToWork();
    } else if (roll < 905) {
      const auto taps = desktop().events.taps();
      if (!taps.empty()) {
        causedAt_ = desktop().time.uptime();
        desktop().events.disableTap(taps[walk_.pick(taps.size())].id, switchOffReason(walk_));
        if (held_) ++tapOffsWhileHeld_;
        // The hand does not wait for the notice: what it does first passes the
        // switched-off tap.
        if (walk_.chance(0.5)) slipPastTheTaps();
        scenario_.settle();
      }
    } else {
      scenario_.rest(walk_.seconds(0.1));
    }
    if (!feature_.isRunning() && !feature_.isFinishingGesture() && walk_.chance(0.2)) start();
  }

  void check() {
    if (desktop().accessibility.callsFromTapCallbacks() != 0)
      walk_.fail("the tap callback asked accessibility");
    if (failures_ != failuresSeen_ && desktop().time.uptime() - causedAt_ > kFailureCauseWindow)
      walk_.fail("the feature reported a failure that nothing the walk did caused");
    failuresSeen_ = failures_;
    // Once a gesture has long ended, no application holds a press.
    if (!held_ && desktop().time.uptime() - releasedAt_ > 0.35) {
      for (const auto& entry : watched_) {
        if (entry.pressed != 0 && !entry.application->isTerminated())
          walk_.fail("a press was left without its release");
      }
    }
  }

  struct Watched {
    std::shared_ptr<SimApplication> application;
    int pressed;  // right presses not yet released
    Subscription events;
  };

  RandomWalk walk_;
  DesktopScenario scenario_;
  RightClickFocusFeature feature_{{desktop().accessibility, desktop().workspace, desktop().events,
                                   desktop().time, desktop().time, desktop().time},
                                  [this](RightClickDiagnostic told) { account(told); },
                                  [this](const Uuid&) {
                                    ++failures_;
                                  }};
  std::deque<Watched> watched_;
  ScreenPoint pointer_;
  bool held_ = false;
  bool releaseSlipped_ = false;  // a release is passing switched-off taps
  int owed_ = 0;                 // presses taken up and not answered yet
  int toldOnPress_ = 0;          // what the feature said of presses, in all
  EventAccount account_;
  bool leftHeld_ = false;
  int tapOffsWhileHeld_ = 0;
  double releasedAt_ = 0;
  int replays_ = 0;
  int calmClicks_ = 0;
  // Failures the feature reported, and when the walk last caused one on purpose
  // (an application relaunched under a gesture, a tap switched off).
  int failures_ = 0;
  int failuresSeen_ = 0;
  double causedAt_ = -100;
};

TEST_F(RightClickFocusRandomTest, RandomUserStepsKeepEveryPromise) {
  walk_.run([this] { step(); }, [this] { check(); });
  if (held_) release();
  scenario_.settle();
  scenario_.rest(1);
  expectEveryPressAnswered();
  EXPECT_EQ(walk_.failure(), "") << "at the end (replay with MIRLET_SEED=" << walk_.seed() << ")";
  // The walk reaches the feature's work, not only its refusals.
  EXPECT_GT(replays_, 0);
  EXPECT_GT(calmClicks_, 0) << "no calm moment was tried";
  RecordProperty("replayedPresses", replays_);
  account_.report(walk_);
}

}  // namespace
}  // namespace mirlet::sim
