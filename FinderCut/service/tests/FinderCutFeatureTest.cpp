#include "FinderCut/service/FinderCutFeature.h"

#include <gtest/gtest.h>

#include <fstream>

#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFinder.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;
using View = SimFinder::View;

constexpr std::uint16_t kX = 7;
constexpr std::uint16_t kV = 9;
constexpr std::uint16_t kEscape = 53;

// Finder cut on the simulated desktop over real folders: "Origen" holds a.txt,
// b.txt and c.txt, "Destino" is empty; Finder is in front showing "Origen".
class FinderCutFeatureTest : public ::testing::Test {
 protected:
  FinderCutFeatureTest() {
    fs::create_directories(root() / "Origen");
    fs::create_directories(root() / "Destino");
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
      std::ofstream(root() / "Origen" / name) << name;
    desktop().trust.trusted = true;
    scenario_.activate(finder_.application());
    source_ = finder_.openWindow(root() / "Origen");
    feature_.start(Uuid::random());
    scenario_.rest(0.3);
  }
  ~FinderCutFeatureTest() override {
    EXPECT_EQ(desktop().accessibility.callsFromTapCallbacks(), 0);
  }

  SimDesktop& desktop() { return scenario_.desktop; }
  fs::path root() const { return folder_.path(); }
  void select(int window, const std::vector<std::string>& names) {
    finder_.select(window, names);
    scenario_.rest(0.3);
  }
  // A shortcut, then the feature's work on its queue and Finder's on its own time.
  void press(std::uint16_t key, std::uint64_t flags = EventFlags::command) {
    scenario_.pressKey(key, flags);
    scenario_.settle();
    scenario_.rest(0.3);
  }
  int openDestination(View view = View::list) {
    const int window = finder_.openWindow(root() / "Destino", view);
    scenario_.rest(0.3);
    return window;
  }
  std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root() / folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Finder's key downs with ⌘: "⌘7" for ⌘X.
  std::vector<std::string> finderCommandKeys() {
    std::vector<std::string> keys;
    for (const InputEvent& event : finder_.application()->receivedEvents()) {
      if (event.type == EventType::keyDown && (event.flags & EventFlags::command))
        keys.push_back("⌘" + std::to_string(event.keyCode()));
    }
    return keys;
  }
  void expectSourceUntouched() {
    EXPECT_EQ(filesIn("Origen"), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  }

  testing::TemporaryFolder folder_;
  DesktopScenario scenario_;
  SimFinder finder_{desktop(), folder_.path(), folder_.path() / "Papelera"};
  int source_ = 0;
  std::vector<FinderCutActivity> activities_;
  std::vector<Uuid> failures_;
  FinderCutFeature feature_{
      {desktop().accessibility, desktop().workspace, desktop().events, desktop().pasteboard,
       desktop().fileURLs, desktop().bundles, desktop().time, desktop().time, desktop().time},
      [this](FinderCutActivity activity) { activities_.push_back(activity); },
      [this](const Uuid& run) {
        failures_.push_back(run);
      }};
};

class FinderCutInEveryView : public FinderCutFeatureTest,
                             public ::testing::WithParamInterface<View> {};

TEST_P(FinderCutInEveryView, CutAndPasteMoveTheFilesOnDisk) {
  finder_.setView(source_, GetParam());
  finder_.focusFileView(source_);
  select(source_, {"a.txt", "b.txt"});
  const std::int64_t before = desktop().pasteboard.changeCount();
  press(kX);
  EXPECT_EQ(feature_.activity(), FinderCutActivity::ready);
  EXPECT_EQ(desktop().pasteboard.changeCount(), before + 1);  // Finder's copy, once
  openDestination(GetParam());
  press(kV);
  EXPECT_EQ(filesIn("Destino"), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(filesIn("Origen"), std::vector<std::string>{"c.txt"});
  EXPECT_EQ(desktop().pasteboard.changeCount(), before + 1);
  EXPECT_TRUE(finderCommandKeys().empty()) << "Finder saw neither ⌘X nor ⌘V";
  EXPECT_EQ(activities_, (std::vector{FinderCutActivity::preparing, FinderCutActivity::ready,
                                      FinderCutActivity::idle}));
  EXPECT_EQ(feature_.cancelledOperations(), 0);
}

INSTANTIATE_TEST_SUITE_P(Views, FinderCutInEveryView,
                         ::testing::Values(View::list, View::icon, View::gallery, View::column));

TEST_F(FinderCutFeatureTest, ACopyClearedFirstAndWrittenLaterIsStillProven) {
  desktop().pasteboard.writeGap = 0.1;
  select(source_, {"a.txt"});
  press(kX);
  EXPECT_EQ(feature_.activity(), FinderCutActivity::ready);
  openDestination();
  press(kV);
  EXPECT_EQ(filesIn("Destino"), std::vector<std::string>{"a.txt"});
}

TEST_F(FinderCutFeatureTest, AFileShownUnderAnotherNameIsCutAndPasted) {
  // Kept with its accent apart ("e" and U+0301), shown composed and without ".txt".
  const std::string name = "cafe\xCC\x81.txt";
  std::ofstream(root() / "Origen" / name) << "café";
  finder_.hideExtensions = true;
  finder_.setView(source_, View::list);
  select(source_, {name});
  press(kX);
  EXPECT_EQ(feature_.activity(), FinderCutActivity::ready);
  openDestination();
  press(kV);
  EXPECT_EQ(filesIn("Destino"), std::vector<std::string>{name});
}

TEST_F(FinderCutFeatureTest, HoldingCommandXCutsOnce) {
  select(source_, {"a.txt"});
  scenario_.holdKey(kX, EventFlags::command, 1.0);
  scenario_.rest(1.5);
  EXPECT_EQ(desktop().pasteboard.changeCount(), 1);
  EXPECT_TRUE(finderCommandKeys().empty());
  EXPECT_TRUE(feature_.hasPendingCut());
}

TEST_F(FinderCutFeatureTest, ARepeatOfACommandXThatReachedFinderNeverCuts) {
  select(source_, {"a.txt"});
  // Finder is too slow to be read: the press passes.
  desktop().accessibility.setAnswerDelay(finder_.processID(), 0.05);
  scenario_.rest(1.1);
  auto key = [this](bool down, bool repeat) {
    InputEvent event = InputEvent::keyboard(kX, down, EventFlags::command);
    if (repeat) event.setIntegerField(EventField::autorepeat, 1);
    desktop().events.inject(event);
  };
  key(true, false);
  // Finder answers again while the key is held, and is read.
  desktop().accessibility.setAnswerDelay(finder_.processID(), 0);
  for (int i = 0; i < 20; ++i) {
    scenario_.rest(0.1);
    key(true, true);
  }
  key(false, false);
  scenario_.rest(0.5);
  EXPECT_FALSE(feature_.hasPendingCut());
  int downs = 0, ups = 0;
  for (const InputEvent& event : finder_.application()->receivedEvents()) {
    downs += event.type == EventType::keyDown && event.keyCode() == kX;
    ups += event.type == EventType::keyUp && event.keyCode() == kX;
  }
  EXPECT_GT(downs, 1);
  EXPECT_EQ(ups, 1);
}

// A key-up that never comes (secure input turned on by what the key opened, say)
// leaves its key-down's suppression behind; a fresh press of the key is no repeat
// and must reach whatever application is in front.
TEST_F(FinderCutFeatureTest, AFreshPressAfterALostKeyUpIsNeverTakenForARepeat) {
  select(source_, {"a.txt"});
  desktop().events.inject(InputEvent::keyboard(kX, true, EventFlags::command));
  scenario_.rest(0.5);
  ASSERT_TRUE(feature_.hasPendingCut());
  scenario_.activate(scenario_.textEdit);
  scenario_.textEdit->clearReceivedEvents();
  scenario_.pressKey(kX, EventFlags::command);
  EXPECT_EQ(scenario_.textEdit->receivedEvents().size(), 2u);
}

TEST_F(FinderCutFeatureTest, ASelectionInTheDestinationStillReceivesTheMove) {
  select(source_, {"a.txt"});
  press(kX);
  const int destination = openDestination();
  std::ofstream(root() / "Destino/z.txt") << "z";
  finder_.setView(destination, View::list);  // shows z.txt
  finder_.focusFileView(destination);
  select(destination, {"z.txt"});
  press(kV);
  EXPECT_EQ(filesIn("Destino"), (std::vector<std::string>{"a.txt", "z.txt"}));
}

TEST_F(FinderCutFeatureTest, CommandXWhileRenamingOrWithNothingSelectedReachesFinder) {
  select(source_, {});
  press(kX);
  select(source_, {"a.txt"});
  finder_.startOrEndRenaming();
  scenario_.rest(0.3);
  press(kX);
  EXPECT_EQ(finderCommandKeys(), (std::vector<std::string>{"⌘7", "⌘7"}));
  EXPECT_EQ(desktop().pasteboard.changeCount(), 0);
  EXPECT_FALSE(feature_.hasPendingCut());
}

TEST_F(FinderCutFeatureTest, ACopyElsewhereAfterTheCutLetsCommandVBeFindersOwn) {
  select(source_, {"a.txt"});
  press(kX);
  scenario_.activate(scenario_.textEdit);
  scenario_.copyText(scenario_.textEdit, "otra cosa");
  scenario_.activate(finder_.application());
  openDestination();
  press(kV);
  expectSourceUntouched();
  EXPECT_TRUE(filesIn("Destino").empty());
  EXPECT_EQ(finderCommandKeys(), std::vector<std::string>{"⌘9"});
}

// Looking something up in another application and coming back, with nothing
// copied meanwhile, keeps the cut.
TEST_F(FinderCutFeatureTest, LeavingFinderAndComingBackWithNothingCopiedKeepsTheCut) {
  select(source_, {"a.txt"});
  press(kX);
  scenario_.activate(scenario_.textEdit);
  scenario_.rest(2);
  scenario_.activate(finder_.application());
  scenario_.rest(0.3);
  EXPECT_TRUE(feature_.hasPendingCut());
  openDestination();
  press(kV);
  EXPECT_EQ(filesIn("Destino"), std::vector<std::string>{"a.txt"});
}

// Typing a name or a search is the user's mind changed: the cut ends at once, not
// at the next ⌘V.
TEST_F(FinderCutFeatureTest, StartingToRenameOrToSearchEndsTheCut) {
  select(source_, {"a.txt"});
  press(kX);
  finder_.startOrEndRenaming();
  scenario_.rest(0.3);
  EXPECT_FALSE(feature_.hasPendingCut());
  EXPECT_EQ(activities_.back(), FinderCutActivity::idle);
  finder_.startOrEndRenaming();
  scenario_.rest(0.3);

  select(source_, {"b.txt"});
  press(kX);
  ASSERT_TRUE(feature_.hasPendingCut());
  finder_.focusSearchField(source_);
  scenario_.rest(0.3);
  EXPECT_FALSE(feature_.hasPendingCut());
  expectSourceUntouched();
}

// Another copy while Finder stays in front (a clipboard tool, a script) ends the
// cut when the view is next refreshed, before any ⌘V.
TEST_F(FinderCutFeatureTest, ACopyNoticedWhenTheViewIsRefreshedEndsTheCut) {
  select(source_, {"a.txt"});
  press(kX);
  desktop().pasteboard.copyText("copiado por otro programa");
  scenario_.rest(FinderContextMonitor::kPollInterval + 0.3);
  EXPECT_FALSE(feature_.hasPendingCut());
  EXPECT_EQ(activities_.back(), FinderCutActivity::idle);
}

// The search field took the focus before its notification was heard: ⌘V pastes
// into the search, as typed, and moves nothing.
TEST_F(FinderCutFeatureTest, CommandVRightAfterTheSearchFieldTookTheFocusPastesThere) {
  select(source_, {"a.txt"});
  press(kX);
  const int destination = openDestination();
  finder_.focusSearchField(destination);
  scenario_.pressKey(kV, EventFlags::command);
  scenario_.rest(0.5);
  expectSourceUntouched();
  EXPECT_EQ(finderCommandKeys(), std::vector<std::string>{"⌘9"});
}

TEST_F(FinderCutFeatureTest, EscapeOrARelaunchedFinderEndsTheCut) {
  select(source_, {"a.txt"});
  press(kX);
  press(kEscape, 0);
  EXPECT_FALSE(feature_.hasPendingCut());
  EXPECT_EQ(activities_.back(), FinderCutActivity::idle);

  select(source_, {"b.txt"});
  press(kX);
  ASSERT_TRUE(feature_.hasPendingCut());
  finder_.relaunch();
  scenario_.rest(0.3);
  EXPECT_FALSE(feature_.hasPendingCut());
  expectSourceUntouched();
}

TEST_F(FinderCutFeatureTest, CommandVAfterARelaunchIsFindersOrdinaryPaste) {
  select(source_, {"a.txt"});
  press(kX);
  finder_.relaunch();
  scenario_.rest(0.3);
  openDestination();
  press(kV);
  expectSourceUntouched();  // Finder pasted copies; nothing moved
  EXPECT_EQ(filesIn("Destino"), std::vector<std::string>{"a.txt"});
}

TEST_F(FinderCutFeatureTest, AFinderSlowerThanTheTimeOutsGetsItsKeys) {
  desktop().accessibility.setAnswerDelay(finder_.processID(), 0.05);
  select(source_, {"a.txt"});
  press(kX);
  EXPECT_EQ(finderCommandKeys(), std::vector<std::string>{"⌘7"});
  EXPECT_FALSE(feature_.hasPendingCut());
  expectSourceUntouched();
}

TEST_F(FinderCutFeatureTest, ThePermissionRevokedDuringTheCopyStopsTheFeature) {
  select(source_, {"a.txt"});
  scenario_.pressKey(kX, EventFlags::command);
  desktop().time.after(0.02, [this] { desktop().trust.trusted = false; });
  scenario_.settle();
  scenario_.rest(1.2);
  EXPECT_FALSE(feature_.hasPendingCut());
  EXPECT_FALSE(feature_.isRunning());
  EXPECT_EQ(failures_.size(), 1u);
  expectSourceUntouched();
}

TEST_F(FinderCutFeatureTest, KeysOfOtherApplicationsAndTheHistorysPastePass) {
  scenario_.activate(scenario_.textEdit);
  scenario_.pressKey(kX, EventFlags::command);
  EXPECT_EQ(scenario_.textEdit->receivedEvents().size(), 2u);
  scenario_.activate(finder_.application());
  select(source_, {"a.txt"});
  press(kX);
  openDestination();
  // The clipboard history pastes for the user with its marker: Finder's own paste.
  for (const bool down : {true, false}) {
    InputEvent event = InputEvent::keyboard(kV, down, EventFlags::command);
    event.setIntegerField(EventField::sourceUserData, 0x4D49524C43484953);
    desktop().events.postToProcess(finder_.processID(), event);
  }
  scenario_.rest(0.3);
  expectSourceUntouched();
  EXPECT_EQ(finderCommandKeys(), std::vector<std::string>{"⌘9"});
}

TEST_F(FinderCutFeatureTest, AClickRightBeforeCommandVLetsFinderPaste) {
  select(source_, {"a.txt"});
  press(kX);
  openDestination();
  scenario_.click({300, 300});
  scenario_.pressKey(kV, EventFlags::command);  // before Finder was read again
  scenario_.rest(0.3);
  EXPECT_FALSE(feature_.hasPendingCut());
  expectSourceUntouched();
}

TEST_F(FinderCutFeatureTest, ATapSwitchedOffByTimeOutIsRestartedAndCutsStillWork) {
  desktop().events.disableTap(desktop().events.taps().front().id, EventType::tapDisabledByTimeout);
  scenario_.rest(0.3);
  ASSERT_TRUE(feature_.isRunning());
  select(source_, {"a.txt"});
  press(kX);
  openDestination();
  press(kV);
  EXPECT_EQ(filesIn("Destino"), std::vector<std::string>{"a.txt"});
  EXPECT_TRUE(failures_.empty());
}

TEST_F(FinderCutFeatureTest, WithoutFindersTitlesTheFeatureCannotStart) {
  SimDesktop bare;
  bare.trust.trusted = true;
  FinderCutFeature feature({bare.accessibility, bare.workspace, bare.events, bare.pasteboard,
                            bare.fileURLs, bare.bundles, bare.time, bare.time, bare.time},
                           {}, {});
  try {
    feature.start(Uuid::random());
    FAIL() << "started";
  } catch (const FinderCutError& error) {
    EXPECT_EQ(error.code(), FinderCutErrorCode::unavailable);
  }
  EXPECT_TRUE(bare.events.taps().empty());
}

}  // namespace
}  // namespace mirlet::sim
