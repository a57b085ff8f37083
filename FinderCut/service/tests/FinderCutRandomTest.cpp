// Model-based random test of Finder cut: random user steps against the simulated
// desktop over real folders, with the feature's promises checked after every step.
// Replay a failure with MIRLET_SEED=<seed>; MIRLET_STEPS sets the number of steps.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <map>
#include <set>

#include "FinderCut/service/FinderCutFeature.h"
#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFinder.h"
#include "host/sim/testing/RandomWalk.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kX = 7;
constexpr std::uint16_t kC = 8;
constexpr std::uint16_t kV = 9;

class FinderCutRandomTest : public ::testing::Test {
 protected:
  FinderCutRandomTest() {
    const std::map<std::string, std::vector<std::string>> folders{
        {"Uno", {"a.txt", "b.txt", "c.txt", "d.txt"}},
        // An accent kept apart from its letter, which Finder shows joined.
        {"Dos", {"e.txt", "f.txt", "cafe\xCC\x81.txt"}},
        {"Tres", {}}};
    for (const auto& [folder, names] : folders) {
      fs::create_directories(root() / folder);
      for (const auto& name : names) std::ofstream(root() / folder / name) << folder << "/" << name;
      windows_.push_back(finder_.openWindow(root() / folder));
    }
    locations_ = fileLocations(root());
    desktop().trust.trusted = true;
    scenario_.activate(finder_.application());
    startFeature();
    scenario_.rest(0.3);
  }

  SimDesktop& desktop() { return scenario_.desktop; }
  fs::path root() const { return folder_.path(); }
  int focusedWindow() const { return windows_.at(focused_); }

  void startFeature() {
    feature_.start(Uuid::random());
    watchFinder();
  }

  // Finder's own ⌘V (one that passed) may paste copies; nothing else may add files.
  void watchFinder() {
    finderEvents_ = finder_.application()->observeEvents([this](const InputEvent& event) {
      if (event.type != EventType::keyDown || !(event.flags & EventFlags::command)) return;
      if (event.keyCode() == kV) finderPastes_.push_back(desktop().time.uptime());
      if (event.sourceUserData() == FinderCutFeature::kMarker &&
          event.integerField(EventField::autorepeat) == 0)
        answer(event.keyCode(), "Finder was sent a key the feature had not swallowed");
    });
  }

  // The contents of the files selected in the focused window.
  std::set<std::string> selectedContents() {
    std::set<std::string> contents;
    const fs::path folder = finder_.folder(focusedWindow());
    for (const auto& name : finder_.selection(focusedWindow())) {
      contents.insert(contentOf(folder / name));
    }
    return contents;
  }

  void pressRandomKey() {
    static constexpr std::uint16_t kKeys[] = {kX, kX, kV, kV, kC, 53, 0, 125, 126, 36};
    static constexpr std::uint64_t kFlags[] = {EventFlags::command,
                                               EventFlags::command,
                                               EventFlags::command,
                                               0,
                                               0,
                                               EventFlags::command | EventFlags::shift,
                                               EventFlags::command | EventFlags::control,
                                               EventFlags::option};
    const std::uint16_t code = kKeys[walk_.pick(std::size(kKeys))];
    std::uint64_t flags = kFlags[walk_.pick(std::size(kFlags))];
    // Finder's own ⌘↓ and ⌘↑ leave the folders the model follows.
    if (code == 125 || code == 126) flags = 0;
    press(code, flags, walk_.chance(0.1) ? static_cast<int>(walk_.pick(5)) : 0);
  }

  // What a user does to move files: select, ⌘X, another window, ⌘V, at a
  // person's pace (the other steps still come in between other times).
  void cutHereAndPasteThere() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(finder_.folder(focusedWindow())))
      if (walk_.chance(0.5)) names.push_back(entry.path().filename().string());
    finder_.select(focusedWindow(), names);
    scenario_.rest(walk_.seconds(0.5));
    press(kX, EventFlags::command, 0);
    scenario_.rest(walk_.seconds(0.5));
    focused_ = (focused_ + 1 + walk_.pick(windows_.size() - 1)) % windows_.size();
    finder_.focusFileView(focusedWindow());
    scenario_.rest(walk_.seconds(0.5));
    press(kV, EventFlags::command, 0);
  }

  // At a calm moment (quick answers, Finder's commands done, its file list
  // focused, no name or search being typed) ⌘X on a file and ⌘V in another
  // folder's window move it there.
  void expectACalmCutAndPasteToMove() {
    if (!feature_.isRunning()) return;
    desktop().accessibility.setAnswerDelay(finder_.processID(), 0);
    finder_.latency = 0.04;
    scenario_.settle();
    scenario_.rest(kSlowestFinder);
    expectEveryKeyAnswered();
    scenario_.activate(finder_.application());
    if (finder_.isRenaming()) finder_.startOrEndRenaming();
    followFinderFocus();
    const fs::path from = finder_.folder(focusedWindow());
    const auto there =
        std::ranges::find_if(windows_, [&](int window) { return finder_.folder(window) != from; });
    if (there == windows_.end()) return;
    const fs::path to = finder_.folder(*there);
    std::string name;
    for (const auto& entry : fs::directory_iterator(from)) {
      const std::string candidate = entry.path().filename().string();
      if (entry.is_regular_file() && !fs::exists(to / candidate)) name = candidate;
    }
    if (name.empty()) return;
    finder_.focusFileView(focusedWindow());
    const double fresh = finderViewFreshAfter(desktop().accessibility);
    finder_.select(focusedWindow(), {name});
    scenario_.rest(fresh);
    if (finder_.selection(focusedWindow()).empty()) return;  // Finder does not show it yet
    press(kX, EventFlags::command, 0);
    scenario_.settle();
    scenario_.rest(0.5);
    focused_ = static_cast<std::size_t>(there - windows_.begin());
    finder_.focusFileView(focusedWindow());
    scenario_.rest(fresh);
    press(kV, EventFlags::command, 0);
    scenario_.settle();
    scenario_.rest(0.5);
    if (!fs::exists(to / name) || fs::exists(from / name))
      walk_.fail("at a calm moment ⌘X and ⌘V did not move " + name);
    ++calmMoves_;
  }

  void press(std::uint16_t code, std::uint64_t flags, int repeats) {
    const auto front = desktop().workspace.frontmostApplication();
    const bool forFinder = front && front->processIdentifier() == finder_.processID();
    const bool onlyCommand = (flags & EventFlags::modifiers) == EventFlags::command;
    const auto selection = selectedContents();
    matchAnswers();  // what came of the keys before this one
    const auto swallowed = keys_.press(scenario_, code, flags, repeats, [&](bool isSwallowed) {
      if (!isSwallowed) return true;
      // Owed from now: its answer may come before the key is released. A newer key
      // takes over from the operation of the one before.
      supersedeOwed();
      owed_.push_back({code});
      return forFinder && onlyCommand && (code == kX || code == kV);
    });
    if (!swallowed) {
      if (forFinder && onlyCommand && code == kC) ++copies_;
      return;
    }
    if (code == kX) {
      cut_ = Cut{selection, finder_.folder(focusedWindow()), copies_};
    } else if (cut_) {
      pastes_.push_back({*cut_, finder_.folder(focusedWindow()), copies_});
      if (pastes_.size() > 3) pastes_.pop_front();
      cut_.reset();
    }
  }

  // Every swallowed ⌘X or ⌘V is answered: Finder is asked from its menu to copy
  // (⌘X) or to move (⌘V), or is sent the key itself, or the feature counts the
  // operation cancelled (also after asking Finder, when the copy was not proven).
  // Nothing is asked of Finder for a key that was not swallowed. A key that a
  // newer one took over from, or that the feature's stop or Finder's relaunch
  // interrupted, may go unanswered. Once everything has run the account is closed.
  void answer(std::uint16_t code, const std::string& otherwise) {
    const auto open = [code](const Owed& entry) {
      return entry.code == code && !entry.acted;
    };
    auto owed = std::ranges::find_if(
        owed_, [&](const Owed& entry) { return open(entry) && !entry.mayGoUnanswered; });
    if (owed == owed_.end()) owed = std::ranges::find_if(owed_, open);
    if (owed == owed_.end()) return walk_.fail(otherwise);
    owed->acted = true;
    ++account_.acted;
  }
  void matchAnswers() {
    for (; copiesSeen_ < finder_.copiesFromMenu(); ++copiesSeen_)
      answer(kX, "Finder was asked to copy for no ⌘X");
    for (; movesSeen_ < finder_.movesFromMenu(); ++movesSeen_)
      answer(kV, "Finder was asked to move for no ⌘V");
    // Answers go to keys still waiting for their operations first.
    const auto open = [](const Owed& entry) {
      return !entry.acted && !entry.cancelled;
    };
    for (; cancelsSeen_ < feature_.cancelledOperations(); ++cancelsSeen_) {
      auto owed = std::ranges::find_if(
          owed_, [&](const Owed& entry) { return open(entry) && !entry.mayGoUnanswered; });
      if (owed == owed_.end()) owed = std::ranges::find_if(owed_, open);
      if (owed == owed_.end()) continue;  // one that acted first
      owed->cancelled = true;
      ++account_.cancelled;
    }
  }
  void supersedeOwed() {
    for (Owed& entry : owed_) entry.mayGoUnanswered = true;
  }
  void expectEveryKeyAnswered() {
    matchAnswers();
    for (const Owed& entry : owed_) {
      if (entry.acted || entry.cancelled) continue;
      if (!entry.mayGoUnanswered) {
        walk_.fail("a swallowed " + std::string(entry.code == kX ? "⌘X" : "⌘V") +
                   " was never answered");
      }
      ++account_.explained;
    }
    owed_.clear();
  }

  // Whether one of Finder's own pastes may have landed since the last check (a
  // millisecond of slack for the clock's rounding).
  bool finderPasted() {
    const double now = desktop().time.uptime();
    const double since = checkedAt_ - kSlowestFinder - 0.001;
    std::erase_if(finderPastes_, [&](double at) { return at < since; });
    checkedAt_ = now;
    return !finderPastes_.empty();
  }

  // Finder's own pastes leave copies; past a few, the user deletes them (and
  // Finder, relaunched, shows the folders as they are).
  void tidyCopies() {
    for (auto& [content, paths] : locations_) {
      // The shortest name stays, so that names do not grow copy after copy.
      const fs::path kept = *std::min_element(paths.begin(), paths.end(), [](auto& a, auto& b) {
        return a.filename().string().size() < b.filename().string().size();
      });
      for (const fs::path& path : paths)
        if (path != kept) fs::remove(path);
      paths = {kept};
    }
    relaunchFinder();
  }

  void relaunchFinder() {
    matchAnswers();
    supersedeOwed();
    finderEvents_.reset();
    relaunchFinderMaybeUnobserved(walk_, finder_, desktop().accessibility);
    windows_ = finder_.windowIDs();
    focused_ = windows_.size() - 1;
    watchFinder();
  }

  // The window the user works in is Finder's focused one: a click on another
  // window, or Finder's own choice when it comes back, moves it there.
  void followFinderFocus() {
    const auto focused = finder_.focusedWindow();
    const auto at =
        focused ? std::find(windows_.begin(), windows_.end(), *focused) : windows_.end();
    if (at != windows_.end()) focused_ = static_cast<std::size_t>(at - windows_.begin());
  }

  void step() {
    followFinderFocus();
    // The logs are only compared step by step.
    finder_.application()->clearReceivedEvents();
    scenario_.textEdit->clearReceivedEvents();
    std::size_t files = 0;
    for (const auto& [content, paths] : locations_) files += paths.size();
    if (files > 2 * locations_.size()) tidyCopies();
    const auto roll = walk_.pick(1000);
    if (roll < 50) {
      cutHereAndPasteThere();
    } else if (roll < 400) {
      pressRandomKey();
      if (walk_.chance(0.6)) scenario_.rest(walk_.seconds(0.4));
    } else if (roll < 550) {
      scenario_.rest(walk_.seconds(0.6));
    } else if (roll < 600) {
      scenario_.settle();
    } else if (roll < 700) {
      std::vector<std::string> names;
      for (const auto& entry : fs::directory_iterator(finder_.folder(focusedWindow())))
        if (walk_.chance(0.4)) names.push_back(entry.path().filename().string());
      finder_.select(focusedWindow(), names);
    } else if (roll < 780) {
      focused_ = walk_.pick(windows_.size());
      finder_.focusFileView(focusedWindow());
    } else if (roll < 810) {
      scenario_.click({300, 300});
    } else if (roll < 840) {
      scenario_.activate(scenario_.textEdit);
    } else if (roll < 890) {
      scenario_.activate(finder_.application());
    } else if (roll < 910) {
      scenario_.copyText(scenario_.textEdit, "texto " + std::to_string(walk_.pick(100)));
      ++copies_;
    } else if (roll < 930) {
      finder_.focusSearchField(focusedWindow());
    } else if (roll < 950) {
      finder_.startOrEndRenaming();
    } else if (roll < 960) {
      // Finder cut acts in each of Finder's four views.
      static constexpr SimFinder::View kViews[] = {SimFinder::View::list, SimFinder::View::icon,
                                                   SimFinder::View::column,
                                                   SimFinder::View::gallery};
      finder_.setView(focusedWindow(), kViews[walk_.pick(std::size(kViews))]);
    } else if (roll < 970) {
      // Finder's pace changes: its answers take 0–30 ms, now and then longer
      // than any time-out, and its commands take effect after 0.01–0.6 s.
      desktop().accessibility.setAnswerDelay(finder_.processID(),
                                             walk_.chance(0.1) ? 0.06 : walk_.seconds(0.03));
      finder_.latency = 0.01 + walk_.seconds(kSlowestFinder - 0.01);
      // Copies clear the pasteboard and write it, at once or up to 50 ms later.
      desktop().pasteboard.writeGap = walk_.chance(0.5) ? 0 : walk_.seconds(0.05);
      finder_.hideExtensions = walk_.chance(0.5);
    } else if (roll < 982) {
      relaunchFinder();
    } else if (roll < 985) {
      expectACalmCutAndPasteToMove();
    } else {
      // Switched off for the user's input, the feature stops and the user starts it
      // again; a key pressed before the notice passes the switched-off tap.
      switchFirstTapOff(scenario_, switchOffReason(walk_), [this] {
        if (walk_.chance(0.5)) pressRandomKey();
      });
      matchAnswers();
      supersedeOwed();
      if (!feature_.isRunning()) startFeature();
    }
  }

  void check() {
    matchAnswers();
    checkTapPromises(walk_, keys_, desktop().accessibility);
    if (!feature_.isRunning()) walk_.fail("the feature stopped on its own");
    const bool pasted = finderPasted();
    const auto now = fileLocations(root());
    for (const auto& [content, was] : locations_) {
      const auto found = now.find(content);
      if (found == now.end()) return walk_.fail("the file " + content + " was lost");
      const std::set<fs::path> gone = setDifference(was, found->second);
      const std::set<fs::path> added = setDifference(found->second, was);
      if (added.size() > gone.size() && !pasted)
        return walk_.fail("the file " + content + " was duplicated");
      if (gone.empty()) continue;
      if (!moveWasAsked(content, added))
        return walk_.fail("the file " + content + " moved without a proven cut and paste");
      ++moves_;
    }
    if (now.size() != locations_.size()) return walk_.fail("a file appeared from nowhere");
    locations_ = now;
  }

  // A ⌘V after a ⌘X of this file, both swallowed, with nothing copied between
  // them, into another folder: the file is now there. A copy asked for before the
  // ⌘X may land after it, but Finder takes its keys in order: the cut's copy is
  // the last.
  bool moveWasAsked(const std::string& content, const std::set<fs::path>& added) {
    return std::any_of(pastes_.begin(), pastes_.end(), [&](const Paste& paste) {
      return paste.cut.contents.contains(content) && paste.folder != paste.cut.folder &&
             paste.copies == paste.cut.copies &&
             std::any_of(added.begin(), added.end(),
                         [&](const fs::path& at) { return at.parent_path() == paste.folder; });
    });
  }

  struct Owed {
    std::uint16_t code;
    bool acted = false;
    bool cancelled = false;
    bool mayGoUnanswered = false;
  };
  struct Cut {
    std::set<std::string> contents;
    fs::path folder;
    int copies;  // the user's copies asked for until then
  };
  struct Paste {
    Cut cut;
    fs::path folder;
    int copies;
  };

  RandomWalk walk_;
  testing::TemporaryFolder folder_;
  DesktopScenario scenario_;
  SimFinder finder_{desktop(), folder_.path(), folder_.path() / "Papelera"};
  FinderCutFeature feature_{
      {desktop().accessibility, desktop().workspace, desktop().events, desktop().pasteboard,
       desktop().fileURLs, desktop().bundles, desktop().time, desktop().time, desktop().time},
      {},
      [](const Uuid&) {
      }};
  KeyLedger keys_;
  std::vector<int> windows_;
  std::size_t focused_ = 0;
  std::map<std::string, std::set<fs::path>> locations_;
  std::optional<Cut> cut_;
  int copies_ = 0;  // the user's copies: Finder's own ⌘C, another application's
  int calmMoves_ = 0;
  std::deque<Paste> pastes_;
  std::vector<double> finderPastes_;  // when Finder received its own ⌘V
  double checkedAt_ = 0;
  int moves_ = 0;           // files moved by the feature
  std::vector<Owed> owed_;  // swallowed keys since the account was last closed
  int copiesSeen_ = 0;
  int movesSeen_ = 0;
  int cancelsSeen_ = 0;
  // How the swallowed keys were answered: by an action, a cancelled operation,
  // or explained by a newer key, a stop or a relaunch.
  EventAccount account_;
  Subscription finderEvents_;
};

TEST_F(FinderCutRandomTest, RandomUserStepsKeepEveryPromise) {
  walk_.run([this] { step(); }, [this] { check(); });
  scenario_.settle();
  scenario_.rest(kSlowestFinder);
  expectEveryKeyAnswered();
  EXPECT_EQ(walk_.failure(), "") << "at the end (replay with MIRLET_SEED=" << walk_.seed() << ")";
  // The walk reaches the feature's work, not only its refusals.
  EXPECT_GT(moves_, 0);
  EXPECT_GT(calmMoves_, 0) << "no calm moment was tried";
  RecordProperty("moves", moves_);
  account_.report(walk_);
}

}  // namespace
}  // namespace mirlet::sim
