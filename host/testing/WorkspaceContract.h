#pragma once

// What callers of a Workspace rely on, as tests any implementation can run.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "host/Workspace.h"

namespace mirlet::contract {

class WorkspaceHarness {
 public:
  virtual ~WorkspaceHarness() = default;
  virtual Workspace& workspace() = 0;
  // Starts an ordinary application, not yet in front; its pid.
  virtual int launchApplication() = 0;
  // A URL some application of the machine opens.
  virtual std::string openableURL() = 0;
  // The application quits.
  virtual void quit(int pid) = 0;
  virtual void runMainLoop() = 0;
};

using WorkspaceHarnessFactory = std::function<std::unique_ptr<WorkspaceHarness>()>;

class WorkspaceContract : public ::testing::TestWithParam<WorkspaceHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam()(); }
  Workspace& workspace() { return harness_->workspace(); }
  std::unique_ptr<WorkspaceHarness> harness_;
};

TEST_P(WorkspaceContract, ActivatedApplicationIsFrontmostAndAnnounced) {
  const int pid = harness_->launchApplication();
  std::vector<int> activated;
  auto subscription = workspace().observeActivation(
      [&](const auto& app) { activated.push_back(app->processIdentifier()); });
  auto application = workspace().runningApplication(pid);
  ASSERT_NE(application, nullptr);
  ASSERT_TRUE(application->activate());
  harness_->runMainLoop();
  EXPECT_TRUE(application->isActive());
  EXPECT_EQ(workspace().frontmostApplication()->processIdentifier(), pid);
  EXPECT_EQ(activated, std::vector<int>{pid});
}

TEST_P(WorkspaceContract, ThisProgramIsARunningApplication) {
  const auto self = workspace().currentApplication();
  ASSERT_NE(self, nullptr);
  EXPECT_FALSE(self->isTerminated());
  const auto found = workspace().runningApplication(self->processIdentifier());
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->processIdentifier(), self->processIdentifier());
}

TEST_P(WorkspaceContract, ResigningGivesTheFrontBackToTheApplicationBefore) {
  const int pid = harness_->launchApplication();
  ASSERT_TRUE(workspace().runningApplication(pid)->activate());
  harness_->runMainLoop();
  ASSERT_TRUE(workspace().currentApplication()->activate());
  harness_->runMainLoop();
  EXPECT_EQ(workspace().frontmostApplication()->processIdentifier(),
            workspace().currentApplication()->processIdentifier());
  workspace().resignActive();
  harness_->runMainLoop();
  EXPECT_EQ(workspace().frontmostApplication()->processIdentifier(), pid);
}

TEST_P(WorkspaceContract, ApplicationsThatOpenAURLCanOpenIt) {
  const auto applications = workspace().applicationsToOpen(harness_->openableURL());
  ASSERT_FALSE(applications.empty());
  EXPECT_TRUE(workspace().open({harness_->openableURL()}, applications.front().bundleIdentifier));
  EXPECT_TRUE(workspace().applicationsToOpen("nosuchscheme:x").empty());
  EXPECT_FALSE(workspace().openURL("nosuchscheme:x"));
}

TEST_P(WorkspaceContract, QuitApplicationIsTerminatedGoneAndAnnounced) {
  const int pid = harness_->launchApplication();
  auto application = workspace().runningApplication(pid);
  std::vector<int> terminated;
  auto subscription = workspace().observeTermination(
      [&](const auto& app) { terminated.push_back(app->processIdentifier()); });
  harness_->quit(pid);
  harness_->runMainLoop();
  EXPECT_TRUE(application->isTerminated());
  EXPECT_FALSE(application->activate());
  EXPECT_EQ(workspace().runningApplication(pid), nullptr);
  EXPECT_EQ(terminated, std::vector<int>{pid});
}

TEST_P(WorkspaceContract, UnknownProcessHasNoApplication) {
  EXPECT_EQ(workspace().runningApplication(-1), nullptr);
}

TEST_P(WorkspaceContract, EndedSubscriptionHearsNothing) {
  const int pid = harness_->launchApplication();
  int heard = 0;
  auto subscription = workspace().observeActivation([&](const auto&) { ++heard; });
  subscription.reset();
  workspace().runningApplication(pid)->activate();
  harness_->runMainLoop();
  EXPECT_EQ(heard, 0);
}

}  // namespace mirlet::contract
