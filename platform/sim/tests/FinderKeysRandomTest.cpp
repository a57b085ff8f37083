// Model-based random test of Finder keys: random user steps against the simulated
// desktop, with the feature's promises checked after every step. Replay a failure
// with MIRLET_SEED=<seed>; MIRLET_STEPS sets the number of steps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "platform/FinderKeysFeature.h"
#include "platform/sim/DesktopScenario.h"
#include "platform/sim/SimFinder.h"
#include "platform/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kForwardDelete = 117;

std::uint64_t environmentNumber(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text ? std::strtoull(text, nullptr, 10) : fallback;
}

bool isActionKey(std::uint16_t code) {
  return code == 36 || code == 76 || code == 120 || code == kForwardDelete;
}

class FinderKeysRandomTest : public ::testing::Test {
 protected:
  FinderKeysRandomTest() : seed_(environmentNumber("MIRLET_SEED", 20261206)), random_(seed_) {
    fs::create_directories(docs() / "Fotos");
    for (const char* name :
         {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "Fotos/f.jpg", "Fotos/g.jpg"}) {
      std::ofstream(docs() / name) << name;
    }
    initialFiles_ = files();
    desktop().trust.trusted = true;
    scenario_.activate(finder_.application());
    finder_.openWindow(docs());
    startFeature();
    scenario_.rest(0.3);
  }

  SimDesktop& desktop() { return scenario_.desktop; }
  fs::path root() const { return folder_.path(); }
  // The user's folder holds Docs; the Trash is beside it.
  fs::path home() const { return root() / "Casa"; }
  fs::path docs() const { return home() / "Docs"; }

  // The contents of every file on the disk (each file holds its first name), so
  // that a lost or duplicated file shows whatever its name became.
  std::multiset<std::string> files() const {
    std::multiset<std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(root())) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path());
      std::stringstream text;
      text << in.rdbuf();
      contents.insert(text.str());
    }
    return contents;
  }

  void startFeature() {
    feature_.start(Uuid::random());
    watchFinder();
  }

  // Finder's windows see each event as it arrives: a move to the Trash from the
  // feature must come from a Supr whose selection is still the one pressed on.
  void watchFinder() {
    finderEvents_ = finder_.application()->observeEvents([this](const InputEvent& event) {
      if (event.type != EventType::keyDown || event.sourceUserData() != FinderKeysFeature::kMarker)
        return;
      ++markerKeys_[event.keyCode()];
      if (event.keyCode() != 51) return;
      if (!pendingTrash_ || pendingTrash_->interrupted) {
        fail("Finder was told to trash without a Supr that nothing interrupted");
      } else if (finder_.selection(pendingTrash_->window) != pendingTrash_->selection) {
        fail("Finder was told to trash a selection other than the one Supr was pressed on");
      }
      pendingTrash_.reset();
    });
  }

  void fail(const std::string& what) {
    if (failure_.empty()) failure_ = what;
  }

  std::uint64_t pick(std::uint64_t n) {
    return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(random_);
  }
  bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

  int focusedWindow() const { return focusedWindow_ ? focusedWindow_ : finder_.windowIDs().back(); }

  // One hardware key event, checked as it passes the taps.
  void inject(std::uint16_t code, bool down, std::uint64_t flags, bool repeat) {
    auto front = desktop().workspace.frontmostApplication();
    auto target = front ? desktop().workspace.application(front->processIdentifier()) : nullptr;
    const std::size_t before = target ? target->received().size() : 0;
    const std::size_t postedBefore = desktop().events.postedEvents().size();
    const auto selection = finder_.selection(focusedWindow());
    InputEvent event = InputEvent::keyboard(code, down, flags);
    if (repeat) event.setIntegerField(EventField::autorepeat, 1);
    desktop().events.inject(event);
    if (!target) return;
    const bool swallowed = target->received().size() == before;
    const bool wasSwallowed = swallowedDowns_.contains(code);
    if (!down) {
      if (swallowed && !wasSwallowed) fail("a key-up was swallowed whose key-down passed");
      swallowedDowns_.erase(code);
      return;
    }
    if (repeat || !swallowed) {
      if (swallowed && !wasSwallowed) fail("a repeat was swallowed whose key-down passed");
      // A new key interrupts a move to the Trash not yet made.
      if (!repeat || !wasSwallowed) interruptTrash();
      return;
    }
    interruptTrash();
    if (!isActionKey(code) || target != finder_.application() ||
        (flags & EventFlags::modifiers) != 0) {
      fail("key " + std::to_string(code) + " was swallowed though it is none of Finder's keys");
      return;
    }
    swallowedDowns_.insert(code);
    const auto& posted = desktop().events.postedEvents();
    if (code == kForwardDelete) {
      pendingTrash_ = PendingTrash{focusedWindow(), selection, false};
      return;
    }
    const std::uint16_t replacement = code == 120 ? 36 : 125;
    const bool replaced = std::any_of(posted.begin() + static_cast<std::ptrdiff_t>(postedBefore),
                                      posted.end(), [&](const auto& sent) {
                                        return sent.first == finder_.processID() &&
                                               sent.second.keyCode() == replacement;
                                      });
    if (!replaced) fail("key " + std::to_string(code) + " was swallowed and Finder got nothing");
  }

  void interruptTrash() {
    if (pendingTrash_) pendingTrash_->interrupted = true;
  }

  void pressRandomKey() {
    static constexpr std::uint16_t kKeys[] = {36,  76,  120, 117, 117, 36, 120,
                                              125, 126, 123, 48,  53,  0};
    static constexpr std::uint64_t kModifiers[] = {EventFlags::shift, EventFlags::control,
                                                   EventFlags::option, EventFlags::command};
    const std::uint16_t code = kKeys[pick(std::size(kKeys))];
    std::uint64_t flags = chance(0.75) ? 0 : kModifiers[pick(4)];
    if (code == 126 && flags == EventFlags::command) flags = 0;  // ⌘↑ is a step of its own
    inject(code, true, flags, false);
    const auto repeats = chance(0.1) ? pick(6) : 0;
    for (std::uint64_t i = 0; i < repeats; ++i) {
      scenario_.rest(0.09);
      inject(code, true, flags, true);
    }
    if (chance(0.3)) scenario_.settle();
    inject(code, false, flags, false);
  }

  void click(ScreenPoint point) {
    interruptTrash();
    scenario_.click(point);
  }

  void selectRandomly() {
    const int window = focusedWindow();
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(finder_.folder(window))) {
      if (chance(0.4)) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    finder_.select(window, names);
  }

  // Files come back from the Trash, and Finder (relaunched) shows the disk afresh.
  void restoreAndRelaunch() {
    if (fs::exists(root() / "Papelera")) {
      for (const auto& entry : fs::directory_iterator(root() / "Papelera")) {
        const fs::path place = fs::exists(docs()) ? docs() : home();
        fs::path target = place / entry.path().filename();
        for (int n = 2; fs::exists(target); ++n)
          target = place / (std::to_string(n) + entry.path().filename().string());
        fs::rename(entry.path(), target);
      }
    }
    interruptTrash();
    finderEvents_.reset();
    finder_.relaunch();
    focusedWindow_ = 0;
    watchFinder();
  }

  void step() {
    const auto roll = pick(1000);
    if (roll < 400) {
      pressRandomKey();
      // Mostly at a person's pace, sometimes faster than Finder is read.
      if (chance(0.6)) scenario_.rest(static_cast<double>(pick(400)) / 1000.0);
    } else if (roll < 560) {
      scenario_.rest(static_cast<double>(pick(600)) / 1000.0);
    } else if (roll < 620) {
      scenario_.settle();
    } else if (roll < 720) {
      selectRandomly();
    } else if (roll < 760) {
      click({300, 300});  // inside Finder's window
    } else if (roll < 780) {
      click({scenario_.textEdit ? 1000.0 : 0, 700});
    } else if (roll < 810) {
      scenario_.activate(scenario_.textEdit);
    } else if (roll < 860) {
      scenario_.activate(finder_.application());
    } else if (roll < 880) {
      finder_.focusSearchField(focusedWindow());
    } else if (roll < 920) {
      finder_.focusFileView(focusedWindow());
    } else if (roll < 940) {
      finder_.startOrEndRenaming();
    } else if (roll < 960) {
      // Finder is slow now and then, for a while.
      slow_ = slow_ ? chance(0.5) : chance(0.15);
      desktop().accessibility.setAnswerDelay(finder_.processID(), slow_ ? 0.05 : 0);
    } else if (roll < 980) {
      std::set<FinderKey> keys;
      for (FinderKey key : {FinderKey::enter, FinderKey::f2, FinderKey::delete_})
        if (chance(0.85)) keys.insert(key);
      feature_.setEnabledKeys(keys);
    } else if (roll < 985) {
      if (finder_.windowIDs().size() < 3) focusedWindow_ = finder_.openWindow(docs());
    } else if (roll < 990) {
      // ⌘↑, back to the enclosing folder, as far as the user's folder.
      if (finder_.folder(focusedWindow()) != home()) {
        inject(126, true, EventFlags::command, false);
        inject(126, false, EventFlags::command, false);
      }
    } else if (roll < 996) {
      restoreAndRelaunch();
    } else {
      desktop().events.disableTap(desktop().events.taps().front().id,
                                  EventType::tapDisabledByTimeout);
      scenario_.settle();
      if (!feature_.isRunning()) startFeature();
    }
  }

  void check() {
    if (desktop().accessibility.callsFromTapCallbacks() != 0)
      fail("the tap callback asked accessibility");
    if (!feature_.isRunning()) fail("the feature stopped on its own");
    if (files() != initialFiles_) fail("a file was lost or duplicated");
  }

  struct PendingTrash {
    int window;
    std::vector<std::string> selection;
    bool interrupted;
  };

  std::uint64_t seed_;
  std::mt19937_64 random_;
  testing::TemporaryFolder folder_;
  DesktopScenario scenario_;
  SimFinder finder_{desktop(), folder_.path() / "Papelera"};
  FinderKeysFeature feature_{
      {desktop().accessibility, desktop().workspace, desktop().events, desktop().pasteboard,
       desktop().fileURLs, desktop().time, desktop().time, desktop().time},
      [](const Uuid&) {
      }};
  std::multiset<std::string> initialFiles_;
  std::set<std::uint16_t> swallowedDowns_;
  std::optional<PendingTrash> pendingTrash_;
  int focusedWindow_ = 0;
  bool slow_ = false;
  std::string failure_;
  std::map<int, int> markerKeys_;
  Subscription finderEvents_;
};

TEST_F(FinderKeysRandomTest, RandomUserStepsKeepEveryPromise) {
  const std::uint64_t steps = environmentNumber("MIRLET_STEPS", 100000);
  for (std::uint64_t n = 0; n < steps; ++n) {
    step();
    check();
    if (!failure_.empty()) {
      FAIL() << "seed " << seed_ << ", step " << n << ": " << failure_
             << " (replay with MIRLET_SEED=" << seed_ << ")";
    }
  }
  RecordProperty("steps", static_cast<int>(steps));
  for (auto [k, v] : markerKeys_) std::cerr << "marker " << k << " x" << v << "\n";
  std::cerr << "opened " << finder_.openedFiles().size() << " uptime " << desktop().time.uptime()
            << "\n";
}

}  // namespace
}  // namespace mirlet::sim
