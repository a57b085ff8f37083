// The Finder keys feature's decision per key event, as its tap callback makes it,
// against copying the event value: scripts/bench prints the medians and ratios.

#include <benchmark/benchmark.h>

#include <fstream>

#include "FinderKeys/service/FinderKeysFeature.h"
#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFinder.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::bench {
namespace {

// The simulated event system, but the feature's tap callback is kept so that the
// benchmark calls it as the system would, without the rest of the event pipeline.
class CapturedTap : public EventSystem {
 public:
  explicit CapturedTap(sim::SimEventSystem& system) : system_(system) {}

  std::unique_ptr<EventTap> createTap(TapOptions options, std::uint64_t mask,
                                      TapCallback callback) override {
    callback_ = callback;
    return system_.createTap(options, mask, std::move(callback));
  }
  void postToProcess(int pid, const InputEvent& event) override {
    system_.postToProcess(pid, event);
  }
  ScreenPoint pointerLocation() const override { return system_.pointerLocation(); }
  bool isMouseButtonDown(int button) const override { return system_.isMouseButtonDown(button); }
  std::vector<WindowInfo> onScreenWindows() const override { return system_.onScreenWindows(); }

  std::optional<InputEvent> call(EventType type, const InputEvent& event) {
    return callback_(type, event);
  }

 private:
  sim::SimEventSystem& system_;
  TapCallback callback_;
};

// Finder in front with a file selected and the feature's view of it fresh.
class FinderInFront {
 public:
  FinderInFront() {
    std::ofstream(folder_.path() / "a.txt") << "a";
    scenario_.desktop.trust.trusted = true;
    scenario_.activate(finder_.application());
    finder_.select(finder_.openWindow(folder_.path()), {"a.txt"});
    feature_.start(Uuid::random());
    // The first read, then the one after the notifications it was started before.
    scenario_.rest(0.3);
    scenario_.rest(0.3);
  }
  ~FinderInFront() { feature_.stop(); }

  // A key event as the system hands it to the tap: addressed to Finder.
  InputEvent key(std::uint16_t code, bool down, bool repeat = false) const {
    InputEvent event = InputEvent::keyboard(code, down);
    event.flags = 0x100;
    event.timestamp = 1'000'000'000;
    event.setIntegerField(EventField::targetProcessID, finder_.processID());
    if (repeat) event.setIntegerField(EventField::autorepeat, 1);
    return event;
  }
  CapturedTap& tap() { return tap_; }

 private:
  testing::TemporaryFolder folder_;
  sim::DesktopScenario scenario_;
  sim::SimFinder finder_{scenario_.desktop, folder_.path(), folder_.path() / "Papelera"};
  CapturedTap tap_{scenario_.desktop.events};
  FinderKeysFeature feature_{
      {scenario_.desktop.accessibility, scenario_.desktop.workspace, tap_,
       scenario_.desktop.pasteboard, scenario_.desktop.fileURLs, scenario_.desktop.time,
       scenario_.desktop.time, scenario_.desktop.time},
      [](const Uuid&) {
      }};
};

FinderInFront& finder() {
  static FinderInFront instance;
  return instance;
}

// A letter typed in Finder's file list: looked at and passed.
void BM_KeyThatPasses(benchmark::State& state) {
  const InputEvent down = finder().key(0, true);
  for (auto _ : state) benchmark::DoNotOptimize(finder().tap().call(EventType::keyDown, down));
}

// The repeat of a Return acted upon (and held from then on): swallowed.
void BM_RepeatOfAnActedKey(benchmark::State& state) {
  static const bool acted = !finder().tap().call(EventType::keyDown, finder().key(36, true));
  if (!acted) {
    state.SkipWithError("Return was not acted upon");
    return;
  }
  const InputEvent repeat = finder().key(36, true, true);
  for (auto _ : state) benchmark::DoNotOptimize(finder().tap().call(EventType::keyDown, repeat));
}

// A key-up of a key that passed.
void BM_KeyUp(benchmark::State& state) {
  const InputEvent up = finder().key(0, false);
  for (auto _ : state) benchmark::DoNotOptimize(finder().tap().call(EventType::keyUp, up));
}

// Baseline: copying the event value.
void BM_CopyEvent(benchmark::State& state) {
  const InputEvent event = finder().key(0, true);
  for (auto _ : state) {
    InputEvent copy = event;
    benchmark::DoNotOptimize(copy);
  }
}

BENCHMARK(BM_KeyThatPasses);
BENCHMARK(BM_RepeatOfAnActedKey);
BENCHMARK(BM_KeyUp);
BENCHMARK(BM_CopyEvent);

}  // namespace
}  // namespace mirlet::bench

BENCHMARK_MAIN();
