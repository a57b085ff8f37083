// Model-based random test of Finder keys: random user steps against the simulated
// desktop, with the feature's promises checked after every step. Replay a failure
// with MIRLET_SEED=<seed>; MIRLET_STEPS sets the number of steps.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "FinderKeys/service/FinderKeysFeature.h"
#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFinder.h"
#include "host/sim/testing/RandomWalk.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kForwardDelete = 117;

bool isActionKey(std::uint16_t code) {
  return code == 36 || code == 76 || code == 120 || code == kForwardDelete;
}

class FinderKeysRandomTest : public ::testing::Test {
 protected:
  FinderKeysRandomTest() {
    fs::create_directories(docs() / "Fotos");
    for (const char* name :
         {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "Fotos/f.jpg", "Fotos/g.jpg"}) {
      std::ofstream(docs() / name) << name;
    }
    initialFiles_ = contents();
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

  // How many files hold each content, wherever they are.
  std::map<std::string, std::size_t> contents() const {
    std::map<std::string, std::size_t> counts;
    for (const auto& [content, paths] : fileLocations(root())) counts[content] = paths.size();
    return counts;
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
      if (event.keyCode() != 51 || !(event.flags & EventFlags::command)) return;
      ++replacements_[51];
      if (!pendingTrash_ || pendingTrash_->interrupted) {
        walk_.fail("Finder was told to trash without a Supr that nothing interrupted");
      } else if (finder_.selection(pendingTrash_->window) != pendingTrash_->selection) {
        walk_.fail("Finder was told to trash a selection other than the one Supr was pressed on");
      }
      pendingTrash_.reset();
    });
  }

  int focusedWindow() const { return focusedWindow_ ? focusedWindow_ : finder_.windowIDs().back(); }

  void interruptTrash() {
    if (pendingTrash_) pendingTrash_->interrupted = true;
  }

  // A key pressed as hardware does; one swallowed must be one of Finder's keys,
  // answered later by its shortcut or, where Finder turned out to be typing, by
  // itself (Supr also by a cancellation), or a key for Finder typed while an open
  // or rename is checked, answered by itself once the check is done.
  void press(std::uint16_t code, std::uint64_t flags, int repeats) {
    const auto front = desktop().workspace.frontmostApplication();
    const bool forFinder = front && front->processIdentifier() == finder_.processID();
    const int window = focusedWindow();
    const auto selection = finder_.selection(window);
    const bool checking = orphanedCheck_ || std::ranges::any_of(owed_, &Owed::isCheckedAction);
    keys_.press(scenario_, code, flags, repeats, [&](bool swallowed) {
      // A new key interrupts a move to the Trash not yet made.
      interruptTrash();
      if (!swallowed) return true;
      if (!forFinder) return false;
      // An action key may also have been held by a check the walk cannot see
      // ended (one for a Finder since relaunched): either answer settles it.
      if (isActionKey(code) && (flags & EventFlags::modifiers) == 0) {
        if (code == kForwardDelete) {
          pendingTrash_ = PendingTrash{window, selection, false};
          owed_.push_back({code, {code}, false, true});
        } else {
          owed_.push_back(
              {code, {code == 120 ? std::uint16_t{36} : std::uint16_t{125}, code}, true});
        }
        return true;
      }
      owed_.push_back({code, {code}});
      return checking;
    });
  }

  // Each key the feature sent Finder answers one it swallowed (within the step:
  // the answer may come before the walk has noted the swallow). What is sent, not
  // what Finder acted on: Finder may no longer be in front.
  void matchAnswers() {
    const auto& posted = desktop().events.postedEvents();
    std::vector<std::uint16_t> answers;
    for (; answered_ < posted.size(); ++answered_) {
      const auto& [processID, event] = posted[answered_];
      // A repeat follows its press, held or passed with it.
      if (processID != finder_.processID() || event.type != EventType::keyDown ||
          event.sourceUserData() != FinderKeysFeature::kMarker ||
          event.integerField(EventField::autorepeat) != 0) {
        continue;
      }
      if (event.keyCode() == 51 && (event.flags & EventFlags::command)) continue;
      answers.push_back(event.keyCode());
    }
    // The queue answers in the order the keys were swallowed, so an answer also
    // settles the Supr before it whose move was cancelled and will never answer.
    for (const std::uint16_t answer : answers) {
      // One that must be answered first; one that may go unanswered only if none.
      const auto answeredBy = [&](const Owed& entry) {
        return std::ranges::count(entry.answers, answer) > 0;
      };
      auto owed = std::ranges::find_if(
          owed_, [&](const Owed& entry) { return answeredBy(entry) && !entry.mayGoUnanswered; });
      if (owed == owed_.end()) owed = std::ranges::find_if(owed_, answeredBy);
      if (owed == owed_.end()) {
        // A Supr settled as cancelled when a later key's answer came first, but
        // sent on after all (its check found a text field).
        const auto late = std::ranges::find_if(settled_, answeredBy);
        if (late == settled_.end()) {
          walk_.fail("Finder got key " + std::to_string(answer) +
                     " from the feature for no key swallowed");
          return;
        }
        settled_.erase(late);
        --account_.cancelled;
        ++account_.explained;
        continue;
      }
      if (owed->code == 120 && answer == 36) ++replacements_[36];
      if ((owed->code == 36 || owed->code == 76) && answer == 125) ++replacements_[125];
      ++(answer == owed->code ? account_.explained
                              : account_.acted);  // sent on as typed, or acted on
      const auto settled = std::stable_partition(
          owed_.begin(), owed, [](const Owed& entry) { return !entry.mayGoUnanswered; });
      account_.cancelled += static_cast<int>(owed - settled);
      settled_.insert(settled_.end(), settled, owed);
      owed_.erase(settled, owed + 1);
    }
  }

  // Once everything has run, every swallowed key has had its answer, but a Supr
  // whose move a later key or click cancelled or whose selection changed.
  void expectEveryKeyAnswered() {
    matchAnswers();
    orphanedCheck_ = false;
    settled_.clear();
    account_.cancelled += static_cast<int>(
        std::erase_if(owed_, [](const Owed& entry) { return entry.mayGoUnanswered; }));
    if (!owed_.empty()) {
      walk_.fail("the swallowed key " + std::to_string(owed_.front().code) + " was never answered");
      owed_.clear();
    }
  }

  void pressRandomKey() {
    static constexpr std::uint16_t kKeys[] = {36,  76,  120, 117, 117, 36, 120,
                                              125, 126, 123, 48,  53,  0};
    static constexpr std::uint64_t kModifiers[] = {EventFlags::shift, EventFlags::control,
                                                   EventFlags::option, EventFlags::command};
    const std::uint16_t code = kKeys[walk_.pick(std::size(kKeys))];
    std::uint64_t flags = walk_.chance(0.75) ? 0 : kModifiers[walk_.pick(4)];
    if (code == 126 && flags == EventFlags::command) flags = 0;  // ⌘↑ is a step of its own
    press(code, flags, walk_.chance(0.1) ? static_cast<int>(walk_.pick(6)) : 0);
  }

  void click(ScreenPoint point) {
    interruptTrash();
    scenario_.click(point);
  }

  void selectRandomly() {
    const int window = focusedWindow();
    std::vector<std::string> names;
    std::error_code error;  // the folder itself may be in the Trash
    for (const auto& entry : fs::directory_iterator(finder_.folder(window), error)) {
      if (walk_.chance(0.4)) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    finder_.select(window, names);
  }

  // At a calm moment (Finder in front, its file list focused on a selection,
  // quick answers, Return switched on, the view read afresh) Return opens: Finder
  // is sent ⌘↓.
  void expectACalmReturnToOpen() {
    if (!feature_.isRunning() || !feature_.enabledKeys().contains(FinderKey::enter)) return;
    // Finder's commands still on their way land first.
    desktop().accessibility.setAnswerDelay(finder_.processID(), 0);
    finder_.latency = 0.04;
    scenario_.settle();
    scenario_.rest(kSlowestFinder);
    scenario_.activate(finder_.application());
    const int window = focusedWindow();
    if (finder_.isRenaming()) finder_.startOrEndRenaming();
    finder_.focusFileView(window);
    std::error_code error;
    const fs::directory_iterator entries(finder_.folder(window), error);
    if (error || entries == fs::directory_iterator()) return;
    finder_.select(window, {entries->path().filename().string()});
    scenario_.rest(finderViewFreshAfter(desktop().accessibility));
    if (finder_.selection(window).empty()) return;  // Finder does not show it yet
    const auto opens = [this] {
      return std::ranges::count_if(desktop().events.postedEvents(), [this](const auto& sent) {
        return sent.first == finder_.processID() && sent.second.type == EventType::keyDown &&
               sent.second.keyCode() == 125 && (sent.second.flags & EventFlags::command);
      });
    };
    const auto before = opens();
    press(36, 0, 0);
    scenario_.settle();
    if (opens() != before + 1) walk_.fail("at a calm moment Return did not open");
    ++calmOpens_;
  }

  // Files come back from the Trash, and Finder (relaunched) shows the disk afresh.
  void restoreAndRelaunch() {
    if (fs::exists(root() / "Papelera")) {
      for (const auto& entry : fs::directory_iterator(root() / "Papelera")) {
        // Back into Docs, or as far down as what is left of the user's folders.
        const fs::path place = fs::exists(docs()) ? docs() : fs::exists(home()) ? home() : root();
        fs::path target = place / entry.path().filename();
        for (int n = 2; fs::exists(target); ++n)
          target = place / (std::to_string(n) + entry.path().filename().string());
        fs::rename(entry.path(), target);
      }
    }
    interruptTrash();
    matchAnswers();
    // What the feature sends the Finder that quits is lost with it; a check still
    // out for it holds the new Finder's keys until it is done.
    orphanedCheck_ = std::ranges::any_of(owed_, &Owed::isCheckedAction);
    account_.explained += static_cast<int>(owed_.size());
    owed_.clear();
    settled_.clear();
    finderEvents_.reset();
    relaunchFinderMaybeUnobserved(walk_, finder_, desktop().accessibility);
    focusedWindow_ = 0;
    watchFinder();
  }

  void step() {
    // The logs are only compared key by key.
    finder_.application()->clearReceivedEvents();
    scenario_.textEdit->clearReceivedEvents();
    const auto roll = walk_.pick(1000);
    if (roll < 400) {
      pressRandomKey();
      // Mostly at a person's pace, sometimes faster than Finder is read.
      if (walk_.chance(0.6)) scenario_.rest(walk_.seconds(0.4));
    } else if (roll < 560) {
      scenario_.rest(walk_.seconds(0.6));
    } else if (roll < 620) {
      scenario_.settle();
      expectEveryKeyAnswered();
    } else if (roll < 720) {
      selectRandomly();
    } else if (roll < 760) {
      click({300, 300});  // inside Finder's window
    } else if (roll < 780) {
      click({1000, 700});
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
    } else if (roll < 950) {
      // Finder's keys act in each of its four views.
      static constexpr SimFinder::View kViews[] = {SimFinder::View::list, SimFinder::View::icon,
                                                   SimFinder::View::column,
                                                   SimFinder::View::gallery};
      finder_.setView(focusedWindow(), kViews[walk_.pick(std::size(kViews))]);
    } else if (roll < 960) {
      // Finder's pace changes: its answers take 0–30 ms, now and then longer
      // than any time-out, and its commands take effect after 0.01–0.6 s.
      desktop().accessibility.setAnswerDelay(finder_.processID(),
                                             walk_.chance(0.1) ? 0.06 : walk_.seconds(0.03));
      finder_.latency = 0.01 + walk_.seconds(kSlowestFinder - 0.01);
    } else if (roll < 980) {
      std::set<FinderKey> keys;
      for (FinderKey key : {FinderKey::enter, FinderKey::f2, FinderKey::delete_})
        if (walk_.chance(0.85)) keys.insert(key);
      feature_.setEnabledKeys(keys);
    } else if (roll < 985) {
      if (finder_.windowIDs().size() < 3) focusedWindow_ = finder_.openWindow(docs());
    } else if (roll < 990) {
      // ⌘↑, back to the enclosing folder, mostly no further than the user's folder.
      // The guard reads Finder's folder before Finder has acted on an earlier ⌘↑,
      // so the walk may climb to the test's folder, with the user's folder and the
      // Trash in view: Finder's confinement to that folder is what stops it there.
      if (finder_.folder(focusedWindow()) != home()) press(126, EventFlags::command, 0);
    } else if (roll < 993) {
      restoreAndRelaunch();
    } else if (roll < 996) {
      expectACalmReturnToOpen();
    } else {
      switchFirstTapOff(scenario_, switchOffReason(walk_), [this] {
        if (walk_.chance(0.5)) pressRandomKey();
      });
      // The feature stops and starts again: a check still out sends nothing.
      for (Owed& entry : owed_) {
        entry.mayGoUnanswered = true;
        entry.isCheckedAction = false;
      }
      if (!feature_.isRunning()) startFeature();
    }
  }

  void check() {
    matchAnswers();
    checkTapPromises(walk_, keys_, desktop().accessibility);
    if (!feature_.isRunning()) walk_.fail("the feature stopped on its own");
    if (contents() != initialFiles_) walk_.fail("a file was lost or duplicated");
  }

  // A key swallowed, and the keys that answer it.
  struct Owed {
    std::uint16_t code;
    std::vector<std::uint16_t> answers;
    bool isCheckedAction = false;  // an open or rename: keys wait for its check
    bool mayGoUnanswered = false;
  };
  struct PendingTrash {
    int window;
    std::vector<std::string> selection;
    bool interrupted;
  };

  RandomWalk walk_;
  testing::TemporaryFolder folder_;
  DesktopScenario scenario_;
  SimFinder finder_{desktop(), folder_.path(), folder_.path() / "Papelera"};
  FinderKeysFeature feature_{
      {desktop().accessibility, desktop().workspace, desktop().events, desktop().pasteboard,
       desktop().fileURLs, desktop().time, desktop().time, desktop().time},
      [](const Uuid&) {
      }};
  KeyLedger keys_;
  std::map<std::string, std::size_t> initialFiles_;
  std::optional<PendingTrash> pendingTrash_;
  std::vector<Owed> owed_;
  // Keys settled as cancelled before everything has run: one may still answer.
  std::vector<Owed> settled_;
  std::size_t answered_ = 0;  // posted events already matched
  bool orphanedCheck_ = false;
  int calmOpens_ = 0;
  int focusedWindow_ = 0;
  // How the swallowed keys were answered: by Finder's own shortcut; dropped with
  // a Supr's move that a key, a click or a changed selection cancelled; sent on as
  // typed, or interrupted by a relaunch.
  EventAccount account_;
  // Finder's replacements received: opens (125), renames (36), trashes (51).
  std::map<int, int> replacements_;
  Subscription finderEvents_;
};

TEST_F(FinderKeysRandomTest, RandomUserStepsKeepEveryPromise) {
  walk_.run([this] { step(); }, [this] { check(); });
  scenario_.settle();
  expectEveryKeyAnswered();
  EXPECT_EQ(walk_.failure(), "") << "at the end (replay with MIRLET_SEED=" << walk_.seed() << ")";
  EXPECT_GT(calmOpens_, 0) << "no calm moment was tried";
  // The walk reaches every action, not only the refusals.
  for (const auto& [key, name] : {std::pair{125, "opens"}, {36, "renames"}, {51, "trashes"}}) {
    EXPECT_GT(replacements_[key], 0) << name;
    RecordProperty(name, replacements_[key]);
  }
  account_.report(walk_);
}

}  // namespace
}  // namespace mirlet::sim
