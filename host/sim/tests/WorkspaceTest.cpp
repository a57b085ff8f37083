#include <gtest/gtest.h>

#include "host/sim/DesktopScenario.h"
#include "host/testing/WorkspaceContract.h"

namespace mirlet::sim {
namespace {

class SimWorkspaceHarness : public contract::WorkspaceHarness {
 public:
  Workspace& workspace() override { return desktop_.workspace; }
  int launchApplication() override {
    return desktop_.workspace.launch("com.example.app", "Ejemplo")->processIdentifier();
  }
  std::string openableURL() override { return "https://example.com"; }
  void quit(int pid) override { desktop_.workspace.terminate(desktop_.workspace.application(pid)); }
  void runMainLoop() override { desktop_.time.runUntilIdle(); }

 private:
  SimDesktop desktop_;
  std::shared_ptr<SimApplication> self_ = [this] {
    auto self = desktop_.workspace.launch("app.mirlet", "Mirlet", ActivationPolicy::accessory);
    desktop_.workspace.setCurrentApplication(self);
    return self;
  }();
};

using contract::WorkspaceContract;

INSTANTIATE_TEST_SUITE_P(Sim, WorkspaceContract, ::testing::Values([] {
                           return std::unique_ptr<contract::WorkspaceHarness>(
                               std::make_unique<SimWorkspaceHarness>());
                         }));

class WorkspaceTest : public ::testing::Test {
 protected:
  WorkspaceTest() {
    activations_ = workspace().observeActivation(
        [this](const auto& app) { activated_.push_back(*app->localizedName()); });
    terminations_ = workspace().observeTermination(
        [this](const auto& app) { terminated_.push_back(app->processIdentifier()); });
  }
  SimWorkspace& workspace() { return scenario_.desktop.workspace; }

  DesktopScenario scenario_;
  std::vector<std::string> activated_;
  std::vector<int> terminated_;
  Subscription activations_;
  Subscription terminations_;
};

TEST_F(WorkspaceTest, AcceptedActivationChangesTheFrontmostAndNotifiesOnTheMainLoop) {
  EXPECT_TRUE(scenario_.textEdit->activate());
  EXPECT_EQ(workspace().frontmostApplication()->processIdentifier(),
            scenario_.textEdit->processIdentifier());
  EXPECT_TRUE(scenario_.textEdit->isActive());
  EXPECT_FALSE(scenario_.finder->isActive());
  EXPECT_TRUE(activated_.empty());
  scenario_.settle();
  EXPECT_EQ(activated_, std::vector<std::string>{"TextEdit"});
}

TEST_F(WorkspaceTest, RefusedActivationChangesNothing) {
  scenario_.textEdit->activation = SimApplication::Activation::refuse;
  EXPECT_FALSE(scenario_.textEdit->activate());
  scenario_.settle();
  EXPECT_EQ(workspace().frontmostApplication()->processIdentifier(),
            scenario_.finder->processIdentifier());
  EXPECT_TRUE(activated_.empty());
}

TEST_F(WorkspaceTest, DelayedActivationHappensLater) {
  scenario_.safari->activation = SimApplication::Activation::delay;
  scenario_.safari->activationDelay = 0.3;
  EXPECT_TRUE(scenario_.safari->activate());
  scenario_.rest(0.2);
  EXPECT_FALSE(scenario_.safari->isActive());
  scenario_.rest(0.1);
  EXPECT_TRUE(scenario_.safari->isActive());
}

TEST_F(WorkspaceTest, QuitAndRelaunchGivesANewProcess) {
  const int oldPID = scenario_.finder->processIdentifier();
  auto relaunched = workspace().relaunch(scenario_.finder);
  EXPECT_TRUE(scenario_.finder->isTerminated());
  EXPECT_FALSE(scenario_.finder->activate());
  EXPECT_NE(relaunched->processIdentifier(), oldPID);
  EXPECT_EQ(workspace().runningApplication(oldPID), nullptr);
  EXPECT_EQ(workspace().runningApplications(FinderBundle::identifier).size(), 1u);
  scenario_.settle();
  EXPECT_EQ(terminated_, std::vector<int>{oldPID});
}

TEST_F(WorkspaceTest, QuittingTheFrontmostApplicationBringsTheNextWindowsOwnerForward) {
  workspace().terminate(scenario_.finder);
  EXPECT_EQ(workspace().frontmostApplication(), scenario_.textEdit);
  EXPECT_TRUE(scenario_.textEdit->isActive());
  for (const auto& window : scenario_.desktop.events.onScreenWindows()) {
    EXPECT_NE(window.ownerPID, scenario_.finder->processIdentifier());
  }
}

TEST_F(WorkspaceTest, ARelaunchMayReuseTheProcessIdentifier) {
  const int oldPID = scenario_.safari->processIdentifier();
  auto relaunched = workspace().relaunch(scenario_.safari, true);
  EXPECT_EQ(relaunched->processIdentifier(), oldPID);
  EXPECT_NE(relaunched, scenario_.safari);
  EXPECT_TRUE(scenario_.safari->isTerminated());
  EXPECT_EQ(workspace().runningApplication(oldPID), relaunched);
}

TEST_F(WorkspaceTest, ActivationRaisesTheApplicationsWindowsInFrontOfTheOthers) {
  const auto panel = scenario_.desktop.events.addWindow(scenario_.safari, {0, 0, 10, 10});
  scenario_.activate(scenario_.textEdit);
  scenario_.activate(scenario_.safari);
  const auto windows = scenario_.desktop.events.onScreenWindows();
  ASSERT_GE(windows.size(), 3u);
  EXPECT_EQ(windows[0].windowID, panel);
  EXPECT_EQ(windows[1].windowID, scenario_.safariWindow);
  EXPECT_EQ(windows[2].windowID, scenario_.textEditWindow);
}

TEST_F(WorkspaceTest, ADelayedActivationCompletesOnTheApplicationsOwnTime) {
  scenario_.safari->activation = SimApplication::Activation::delay;
  EXPECT_TRUE(scenario_.safari->activate());
  scenario_.desktop.time.sleep(0.1);
  EXPECT_FALSE(scenario_.safari->isActive());
  scenario_.desktop.time.sleep(0.15);  // a background wait: the world goes on
  EXPECT_TRUE(scenario_.safari->isActive());
}

TEST_F(WorkspaceTest, AQuitCancelsAPendingActivation) {
  scenario_.safari->activation = SimApplication::Activation::delay;
  scenario_.safari->activate();
  auto relaunched = workspace().relaunch(scenario_.safari, true);
  scenario_.rest(1);
  EXPECT_FALSE(relaunched->isActive());
}

TEST_F(WorkspaceTest, AccessoryApplicationsCanBeListedButProhibitedOnesNotActivated) {
  auto helper = workspace().launch("app.mirlet", "Mirlet", ActivationPolicy::accessory);
  auto daemon = workspace().launch("com.example.agent", "Agente", ActivationPolicy::prohibited);
  EXPECT_EQ(helper->activationPolicy(), ActivationPolicy::accessory);
  EXPECT_FALSE(daemon->activate());
}

TEST_F(WorkspaceTest, SessionEventsArriveOnTheMainLoop) {
  std::vector<SessionEvent> events;
  auto subscription =
      workspace().observeSession([&](SessionEvent event) { events.push_back(event); });
  workspace().postSessionEvent(SessionEvent::willSleep);
  EXPECT_TRUE(events.empty());
  scenario_.settle();
  EXPECT_EQ(events, std::vector<SessionEvent>{SessionEvent::willSleep});
}

TEST_F(WorkspaceTest, IconsAreImagesOfKnownApplicationsAndExistingFiles) {
  const auto safari = workspace().applicationIcon("com.apple.Safari");
  ASSERT_TRUE(safari);
  EXPECT_EQ(scenario_.desktop.images.pixelSize(*safari), (ImagePixelSize{32, 32}));
  EXPECT_EQ(workspace().applicationIcon("com.apple.Safari"), safari);
  EXPECT_NE(workspace().applicationIcon("com.apple.TextEdit"), safari);
  EXPECT_EQ(workspace().applicationIcon("com.example.nothing"), std::nullopt);
  EXPECT_TRUE(workspace().fileIcon("/"));
  EXPECT_EQ(workspace().fileIcon("/no/such/file"), std::nullopt);
}

TEST_F(WorkspaceTest, LinksAndFilesOpenWithTheirApplications) {
  EXPECT_EQ(workspace().applicationsToOpen("file:///tmp/notas.txt").front().bundleIdentifier,
            "com.apple.TextEdit");
  EXPECT_EQ(workspace().applicationsToOpen("file:///").front().bundleIdentifier,
            FinderBundle::identifier);
  EXPECT_TRUE(workspace().openURL("https://example.com"));
  EXPECT_TRUE(workspace().open({"file:///tmp/notas.txt"}, "com.microsoft.VSCode"));
  EXPECT_FALSE(workspace().open({"file:///tmp/notas.txt"}, "com.example.nothing"));
  EXPECT_EQ(workspace().opened(), (std::vector<SimWorkspace::Opened>{
                                      {{"https://example.com"}, "com.apple.Safari"},
                                      {{"file:///tmp/notas.txt"}, "com.microsoft.VSCode"}}));
}

TEST_F(WorkspaceTest, ThereIsAScreenWhoseVisiblePartLeavesOutTheMenuBarAndDock) {
  const auto screens = scenario_.desktop.screens.screens();
  ASSERT_EQ(screens.size(), 1u);
  EXPECT_GT(screens[0].visibleFrame.y, screens[0].frame.y);
  EXPECT_LT(screens[0].visibleFrame.height, screens[0].frame.height);
}

TEST_F(WorkspaceTest, OnlyExistingSoundsPlay) {
  workspace().playSound("Tink");
  workspace().playSound("Nonexistent");
  EXPECT_EQ(workspace().playedSounds(), std::vector<std::string>{"Tink"});
}

}  // namespace
}  // namespace mirlet::sim
