#include "FinderKeys/service/FinderKeysFeature.h"

#include <gtest/gtest.h>

#include <fstream>

#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFinder.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kReturn = 36;
constexpr std::uint16_t kKeypadEnter = 76;
constexpr std::uint16_t kF2 = 120;
constexpr std::uint16_t kForwardDelete = 117;
constexpr std::uint16_t kDownArrow = 125;

// Finder keys on the simulated desktop over a real folder "Docs" (a.txt, b.txt and
// the folder "Fotos" with c.jpg), Finder in front showing it in list view.
class FinderKeysFeatureTest : public ::testing::Test {
 protected:
  FinderKeysFeatureTest() {
    fs::create_directories(root() / "Docs/Fotos");
    for (const char* name : {"Docs/a.txt", "Docs/b.txt", "Docs/Fotos/c.jpg"})
      std::ofstream(root() / name) << name;
    desktop().trust.trusted = true;
    scenario_.activate(finder_.application());
    window_ = finder_.openWindow(root() / "Docs");
    feature_.start(Uuid::random());
    scenario_.rest(0.3);
  }
  ~FinderKeysFeatureTest() override {
    EXPECT_EQ(desktop().accessibility.callsFromTapCallbacks(), 0);
  }

  SimDesktop& desktop() { return scenario_.desktop; }
  fs::path root() const { return folder_.path(); }
  // Selects and lets the feature read Finder again.
  void select(const std::vector<std::string>& names) {
    finder_.select(window_, names);
    scenario_.rest(0.3);
  }
  // What an application's windows received, key downs only: "⌘125" for ⌘↓, with a
  // "·" for the feature's own keystrokes.
  static std::vector<std::string> keyDowns(const SimApplication& application) {
    std::vector<std::string> keys;
    for (const InputEvent& event : application.receivedEvents()) {
      if (event.type != EventType::keyDown) continue;
      std::string key = (event.flags & EventFlags::command) ? "⌘" : "";
      key += std::to_string(event.keyCode());
      if (event.sourceUserData() == FinderKeysFeature::kMarker) key += "·";
      keys.push_back(key);
    }
    return keys;
  }
  std::vector<std::string> finderKeys() { return keyDowns(*finder_.application()); }
  void forgetReceived() { finder_.application()->clearReceivedEvents(); }
  std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TemporaryFolder folder_;
  DesktopScenario scenario_;
  SimFinder finder_{desktop(), folder_.path(), folder_.path() / "Papelera"};
  int window_ = 0;
  std::vector<Uuid> failures_;
  FinderKeysFeature feature_{
      {desktop().accessibility, desktop().workspace, desktop().events, desktop().pasteboard,
       desktop().fileURLs, desktop().time, desktop().time, desktop().time},
      [this](const Uuid& run) {
        failures_.push_back(run);
      }};
};

TEST_F(FinderKeysFeatureTest, ReturnOpensAFileAndEntersAFolder) {
  select({"a.txt"});
  scenario_.pressKey(kReturn);
  scenario_.rest(0.3);
  EXPECT_EQ(finder_.openedFiles(), std::vector<fs::path>{root() / "Docs/a.txt"});
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"⌘125·"});
  EXPECT_FALSE(finder_.isRenaming());

  select({"Fotos"});
  scenario_.pressKey(kKeypadEnter);
  scenario_.rest(0.3);
  EXPECT_EQ(finder_.folder(window_), root() / "Docs/Fotos");
}

TEST_F(FinderKeysFeatureTest, HoldingReturnOpensOnce) {
  select({"a.txt"});
  scenario_.holdKey(kReturn, 0, 1.5);
  scenario_.rest(2);
  EXPECT_EQ(finder_.openedFiles().size(), 1u);
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"⌘125·"});
  for (const InputEvent& event : finder_.application()->receivedEvents())
    EXPECT_NE(event.keyCode(), kReturn) << "no Return, down, repeat or up, reached Finder";
}

// The file Return opened turned on secure input, and Return's key-up never came:
// the next Return, in the application now in front, is a press of its own.
TEST_F(FinderKeysFeatureTest, AFreshReturnAfterALostKeyUpReachesTheApplicationInFront) {
  select({"a.txt"});
  desktop().events.inject(InputEvent::keyboard(kReturn, true));
  scenario_.rest(0.3);
  ASSERT_EQ(finder_.openedFiles().size(), 1u);
  scenario_.activate(scenario_.textEdit);
  scenario_.pressKey(kReturn);
  scenario_.rest(0.3);
  EXPECT_EQ(keyDowns(*scenario_.textEdit), std::vector<std::string>{"36"});
}

TEST_F(FinderKeysFeatureTest, F2StartsRenamingAndReturnThenConfirmsIt) {
  select({"b.txt"});
  scenario_.pressKey(kF2);
  scenario_.rest(0.3);
  EXPECT_TRUE(finder_.isRenaming());
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"36·"});
  // The focus is the name field now: Return is Finder's own.
  scenario_.pressKey(kReturn);
  scenario_.rest(0.3);
  EXPECT_FALSE(finder_.isRenaming());
  EXPECT_EQ(finderKeys(), (std::vector<std::string>{"36·", "36"}));
  EXPECT_TRUE(finder_.openedFiles().empty());
}

// Finder begins renaming by itself (a click and a pause) and Return follows before
// its notification was heard: the cached view says "file list", Finder says "name
// field". The name field gets the Return.
TEST_F(FinderKeysFeatureTest, AReturnRightAfterFinderStartsRenamingConfirmsTheName) {
  select({"a.txt"});
  finder_.startOrEndRenaming();
  scenario_.pressKey(kReturn);
  scenario_.rest(0.3);
  EXPECT_TRUE(finder_.openedFiles().empty());
  EXPECT_FALSE(finder_.isRenaming());
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"36·"});
}

// Keys typed while F2 waits for its check reach Finder after it, in their order.
TEST_F(FinderKeysFeatureTest, KeysTypedRightAfterF2ReachTheNameFieldInOrder) {
  constexpr std::uint16_t kN = 45, kO = 31;
  select({"a.txt"});
  scenario_.pressKey(kF2);
  scenario_.pressKey(kN);
  scenario_.pressKey(kO);
  scenario_.rest(0.3);
  EXPECT_TRUE(finder_.isRenaming());
  EXPECT_EQ(finderKeys(), (std::vector<std::string>{"36·", "45·", "31·"}));
}

TEST_F(FinderKeysFeatureTest, SuprMovesTheSelectionIntoTheTrashOnDisk) {
  select({"a.txt", "b.txt"});
  scenario_.pressKey(kForwardDelete);
  scenario_.settle();  // the check on the queue
  scenario_.rest(0.3);
  EXPECT_EQ(filesIn(root() / "Papelera"), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(filesIn(root() / "Docs"), std::vector<std::string>{"Fotos"});
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"⌘51·"});
}

TEST_F(FinderKeysFeatureTest, SuprFollowedAtOnceByAnArrowTrashesNothing) {
  select({"a.txt"});
  scenario_.pressKey(kForwardDelete);
  scenario_.pressKey(kDownArrow);  // before the check on the queue ran
  scenario_.rest(0.5);
  EXPECT_FALSE(fs::exists(root() / "Papelera"));
  EXPECT_EQ(finder_.selection(window_), std::vector<std::string>{"b.txt"});
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"125"});
}

// The selection was emptied just before Supr (its notification not heard yet) and
// came back before the check: Supr was pressed on nothing, and trashes nothing.
TEST_F(FinderKeysFeatureTest, SuprOnASelectionThatChangedAndChangedBackTrashesNothing) {
  select({"a.txt"});
  finder_.select(window_, {});
  scenario_.pressKey(kForwardDelete);
  finder_.select(window_, {"a.txt"});
  scenario_.rest(0.5);
  EXPECT_FALSE(fs::exists(root() / "Papelera"));
}

// The search field took the focus before its notification was heard: Supr is the
// search's own, never swallowed.
TEST_F(FinderKeysFeatureTest, SuprRightAfterTheSearchFieldTookTheFocusReachesIt) {
  select({"a.txt"});
  finder_.focusSearchField(window_);
  scenario_.pressKey(kForwardDelete);
  scenario_.rest(0.3);
  EXPECT_FALSE(fs::exists(root() / "Papelera"));
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"117·"});
}

TEST_F(FinderKeysFeatureTest, SuprAfterTheSelectionChangedSinceTheReadTrashesNothing) {
  select({"a.txt"});
  scenario_.pressKey(kForwardDelete);
  finder_.select(window_, {"b.txt"});  // Finder changes it before the check
  scenario_.rest(0.5);
  EXPECT_FALSE(fs::exists(root() / "Papelera"));
  EXPECT_TRUE(finderKeys().empty()) << "the swallowed key is not replayed";
}

TEST_F(FinderKeysFeatureTest, KeysPassWhereNoFileViewIsInFocus) {
  finder_.focusSearchField(window_);
  scenario_.rest(0.3);
  scenario_.pressKey(kReturn);
  scenario_.pressKey(kForwardDelete);
  finder_.openInfoWindow("a.txt");
  scenario_.rest(0.3);
  scenario_.pressKey(kF2);
  scenario_.rest(0.3);
  EXPECT_EQ(finderKeys(), (std::vector<std::string>{"36", "117", "120"}));
  EXPECT_TRUE(finder_.openedFiles().empty());
  EXPECT_FALSE(finder_.isRenaming());
}

TEST_F(FinderKeysFeatureTest, WithoutASelectionOrWithModifiersKeysPass) {
  select({});
  scenario_.pressKey(kReturn);
  select({"a.txt"});
  scenario_.pressKey(kReturn, EventFlags::shift);
  scenario_.pressKey(kDownArrow, EventFlags::command);  // Finder's own ⌘↓ opens
  scenario_.rest(0.3);
  EXPECT_EQ(finderKeys(), (std::vector<std::string>{"36", "36", "⌘125"}));
  EXPECT_EQ(finder_.openedFiles(), std::vector<fs::path>{root() / "Docs/a.txt"});
}

TEST_F(FinderKeysFeatureTest, AKeySwitchedOffPassesAndTheOthersStillAct) {
  feature_.setEnabledKeys({FinderKey::enter, FinderKey::f2});
  select({"a.txt"});
  scenario_.pressKey(kForwardDelete);
  scenario_.rest(0.3);
  EXPECT_FALSE(fs::exists(root() / "Papelera"));
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"117"});
  scenario_.pressKey(kReturn);
  scenario_.rest(0.3);
  EXPECT_EQ(finder_.openedFiles().size(), 1u);
}

TEST_F(FinderKeysFeatureTest, KeysOfOtherApplicationsOrAddressedElsewherePass) {
  select({"a.txt"});
  // Addressed to the editor while Finder is in front.
  desktop().events.postToProcess(scenario_.textEdit->processIdentifier(),
                                 InputEvent::keyboard(kReturn, true));
  scenario_.settle();
  EXPECT_EQ(keyDowns(*scenario_.textEdit).size(), 1u);
  scenario_.activate(scenario_.textEdit);
  scenario_.pressKey(kReturn);
  scenario_.pressKey(kForwardDelete);
  scenario_.rest(0.3);
  EXPECT_EQ(keyDowns(*scenario_.textEdit), (std::vector<std::string>{"36", "36", "117"}));
  EXPECT_TRUE(finderKeys().empty());
  EXPECT_TRUE(finder_.openedFiles().empty());
}

TEST_F(FinderKeysFeatureTest, AFinderSlowerThanTheTimeOutsGetsItsKeysUnchanged) {
  desktop().accessibility.setAnswerDelay(finder_.processID(), 0.05);
  select({"a.txt"});
  scenario_.pressKey(kReturn);
  scenario_.rest(0.3);
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"36"});
  desktop().accessibility.setAnswerDelay(finder_.processID(), 0);
  forgetReceived();
  finder_.startOrEndRenaming();  // Finder's own Return started a rename: end it
  select({"a.txt"});
  scenario_.pressKey(kReturn);
  scenario_.rest(0.3);
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"⌘125·"});
}

TEST_F(FinderKeysFeatureTest, ARelaunchedFinderIsReadAfreshBeforeAnyKeyActs) {
  select({"a.txt"});
  finder_.relaunch();
  scenario_.pressKey(kForwardDelete);  // the cached view is the old process's
  scenario_.rest(0.3);
  EXPECT_FALSE(fs::exists(root() / "Papelera"));
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"117"});

  const int reopened = window_ + 1;
  finder_.select(reopened, {"b.txt"});
  scenario_.rest(0.3);
  scenario_.pressKey(kForwardDelete);
  scenario_.settle();
  scenario_.rest(0.3);
  EXPECT_EQ(filesIn(root() / "Papelera"), std::vector<std::string>{"b.txt"});
}

// Finder relaunched where no accessibility observer can be made: the feature hears
// of no change and must read Finder again on its own.
TEST_F(FinderKeysFeatureTest, WithoutFindersNotificationsKeysStillActOnWhatIsSelected) {
  desktop().accessibility.observersCanBeCreated = false;
  finder_.relaunch();
  const int reopened = window_ + 1;
  finder_.select(reopened, {"a.txt"});
  scenario_.rest(1.5);
  finder_.select(reopened, {"b.txt"});  // unheard
  scenario_.pressKey(kForwardDelete);
  scenario_.settle();
  scenario_.rest(0.3);
  EXPECT_FALSE(fs::exists(root() / "Papelera/a.txt"));

  scenario_.rest(1.5);
  scenario_.pressKey(kForwardDelete);
  scenario_.settle();
  scenario_.rest(0.3);
  EXPECT_TRUE(fs::exists(root() / "Papelera/b.txt"));
  EXPECT_TRUE(fs::exists(root() / "Docs/a.txt"));
}

TEST_F(FinderKeysFeatureTest, LosingThePermissionStopsTheFeatureAndReportsIt) {
  select({"a.txt"});
  desktop().trust.trusted = false;
  scenario_.rest(1.1);  // the monitor's poll finds out
  EXPECT_FALSE(feature_.isRunning());
  EXPECT_EQ(failures_.size(), 1u);
  EXPECT_TRUE(desktop().events.taps().empty());
}

TEST_F(FinderKeysFeatureTest, ATapSwitchedOffByTimeOutIsRestartedAndKeysActAgain) {
  desktop().events.disableTap(desktop().events.taps().front().id, EventType::tapDisabledByTimeout);
  scenario_.rest(0.3);
  EXPECT_TRUE(feature_.isRunning());
  EXPECT_TRUE(failures_.empty());
  select({"a.txt"});
  scenario_.pressKey(kReturn);
  scenario_.rest(0.3);
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"⌘125·"});

  desktop().events.disableTap(desktop().events.taps().front().id,
                              EventType::tapDisabledByUserInput);
  scenario_.rest(0.3);
  EXPECT_FALSE(feature_.isRunning());
  EXPECT_EQ(failures_.size(), 1u);
}

TEST_F(FinderKeysFeatureTest, AClickDropsTheViewAndFinderIsReadAgainSoonAfter) {
  select({"a.txt"});
  scenario_.click({300, 300});
  scenario_.pressKey(kReturn);  // before the re-read: passes
  scenario_.rest(0.3);
  EXPECT_EQ(finderKeys(), std::vector<std::string>{"36"});
}

}  // namespace
}  // namespace mirlet::sim
