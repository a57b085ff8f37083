#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFinder.h"

// Helpers of the model-based random tests: a reproducible walk of random user
// steps, a ledger of which keys the taps swallowed, and the files on a disk.
namespace mirlet::sim {

// The slowest Finder the walks give the user: a command of its takes effect up to
// this long after it was given.
inline constexpr double kSlowestFinder = 0.6;

// Random steps from a seed that replays: MIRLET_SEED picks it (a fixed one
// otherwise), MIRLET_STEPS the number of steps (100,000 otherwise). The first
// failure stops the walk and is reported with its seed and step.
class RandomWalk {
 public:
  static constexpr std::uint64_t kDefaultSeed = 20261206;
  static constexpr std::uint64_t kDefaultSteps = 100000;

  RandomWalk() : seed_(number("MIRLET_SEED", kDefaultSeed)), random_(seed_) {}

  std::uint64_t pick(std::uint64_t n) {
    return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(random_);
  }
  bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
  // A time between 0 and `maximum`, in milliseconds.
  double seconds(double maximum) {
    return static_cast<double>(pick(static_cast<std::uint64_t>(maximum * 1000) + 1)) / 1000.0;
  }
  void fail(const std::string& what) {
    if (failure_.empty()) failure_ = what;
  }
  const std::string& failure() const { return failure_; }
  std::uint64_t seed() const { return seed_; }

  // Runs `step` then `check` until the steps are done or something failed.
  void run(const std::function<void()>& step, const std::function<void()>& check) {
    const std::uint64_t steps = number("MIRLET_STEPS", kDefaultSteps);
    for (std::uint64_t n = 0; n < steps; ++n) {
      step();
      check();
      if (!failure_.empty()) {
        FAIL() << "seed " << seed_ << ", step " << n << ": " << failure_
               << " (replay with MIRLET_SEED=" << seed_ << ")";
      }
    }
  }

 private:
  static std::uint64_t number(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    return text ? std::strtoull(text, nullptr, 10) : fallback;
  }

  std::uint64_t seed_;
  std::mt19937_64 random_;
  std::string failure_;
};

// Presses keys as hardware does and tells which the taps swallowed: an event that
// never reached the application in front. A key-up or a repeat may be swallowed
// only when its key-down was.
class KeyLedger {
 public:
  // Key down, `repeats` repeats at the keyboard's rate, key up. `mayBeSwallowed`
  // is asked right after the key-down with whether it was swallowed, and answers
  // whether that was allowed. Answers whether the key-down was swallowed.
  bool press(DesktopScenario& scenario, std::uint16_t code, std::uint64_t flags, int repeats,
             const std::function<bool(bool swallowed)>& mayBeSwallowed) {
    const bool swallowed = inject(scenario, code, true, flags, false);
    if (!mayBeSwallowed(swallowed)) {
      fail("the key-down of " + std::to_string(code) + " was swallowed");
    }
    if (swallowed) held_.insert(code);
    for (int i = 0; i < repeats; ++i) {
      scenario.rest(DesktopScenario::kKeyRepeatInterval);
      if (inject(scenario, code, true, flags, true) && !held_.contains(code))
        fail("a repeat of " + std::to_string(code) + " was swallowed whose key-down passed");
    }
    if (inject(scenario, code, false, flags, false) && !held_.contains(code))
      fail("the key-up of " + std::to_string(code) + " was swallowed whose key-down passed");
    held_.erase(code);
    return swallowed;
  }
  const std::string& failure() const { return failure_; }

 private:
  static bool inject(DesktopScenario& scenario, std::uint16_t code, bool down, std::uint64_t flags,
                     bool repeat) {
    SimDesktop& desktop = scenario.desktop;
    const auto front = desktop.workspace.frontmostApplication();
    const auto target = front ? desktop.workspace.application(front->processIdentifier()) : nullptr;
    const std::size_t before = target ? target->received().size() : 0;
    InputEvent event = InputEvent::keyboard(code, down, flags);
    if (repeat) event.setIntegerField(EventField::autorepeat, 1);
    desktop.events.inject(event);
    return target && target->received().size() == before;
  }
  void fail(const std::string& what) {
    if (failure_.empty()) failure_ = what;
  }

  std::set<std::uint16_t> held_;
  std::string failure_;
};

// What every tap feature promises after any step: no key swallowed against the
// ledger's rules, and no accessibility query from a tap callback.
inline void checkTapPromises(RandomWalk& walk, const KeyLedger& keys,
                             const SimAccessibility& accessibility) {
  if (!keys.failure().empty()) walk.fail(keys.failure());
  if (accessibility.callsFromTapCallbacks() != 0) walk.fail("the tap callback asked accessibility");
}

// How a walk's swallowed events were answered: by the feature's action, by a
// cancellation, or explained by what interrupted them.
struct EventAccount {
  int acted = 0;
  int cancelled = 0;
  int explained = 0;

  // Printed and recorded with the walk's seed.
  void report(const RandomWalk& walk) const {
    std::printf("seed %llu: swallowed events acted on %d, cancelled %d, explained %d\n",
                static_cast<unsigned long long>(walk.seed()), acted, cancelled, explained);
    ::testing::Test::RecordProperty("acted", acted);
    ::testing::Test::RecordProperty("cancelled", cancelled);
    ::testing::Test::RecordProperty("explained", explained);
  }
};

// Finder is relaunched; now and then no accessibility observer can be made for
// the new process, until the next relaunch.
inline void relaunchFinderMaybeUnobserved(RandomWalk& walk, SimFinder& finder,
                                          SimAccessibility& accessibility) {
  accessibility.observersCanBeCreated = !walk.chance(0.2);
  finder.relaunch();
}

// How long after a change in Finder the features' view of it is fresh: they hear
// of it at once, or at their next look, every second, when Finder is unobserved.
inline double finderViewFreshAfter(const SimAccessibility& accessibility) {
  return accessibility.observersCanBeCreated ? 0.5 : 1.2;
}

// Why the system switches a tap off: mostly a slow callback, sometimes the user.
inline EventType switchOffReason(RandomWalk& walk) {
  return walk.chance(0.3) ? EventType::tapDisabledByUserInput : EventType::tapDisabledByTimeout;
}

// The system switches a feature's first tap off, by time-out (the feature may
// restart it) or for the user's input (it stops); `meanwhile` is what the user
// does before the notice arrives, which slips past the switched-off tap.
inline void switchFirstTapOff(DesktopScenario& scenario, EventType reason,
                              const std::function<void()>& meanwhile = {}) {
  const auto taps = scenario.desktop.events.taps();
  if (taps.empty()) return;
  scenario.desktop.events.disableTap(taps.front().id, reason);
  if (meanwhile) meanwhile();
  scenario.settle();
}

inline std::string contentOf(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Where each file content is on the disk under `root` (each file starts with a
// content of its own, so a moved or renamed file is still found).
inline std::map<std::string, std::set<std::filesystem::path>> fileLocations(
    const std::filesystem::path& root) {
  std::map<std::string, std::set<std::filesystem::path>> locations;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) locations[contentOf(entry.path())].insert(entry.path());
  }
  return locations;
}

template <class T>
std::set<T> setDifference(const std::set<T>& a, const std::set<T>& b) {
  std::set<T> result;
  for (const T& value : a)
    if (!b.contains(value)) result.insert(value);
  return result;
}

}  // namespace mirlet::sim
