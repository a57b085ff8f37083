#pragma once

// What callers of the Accessibility interface rely on, as tests any
// implementation can run.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "host/Accessibility.h"
#include "host/EventSystem.h"

namespace mirlet::contract {

// An application with one focused standard window titled "Documento" holding a
// text area.
class AccessibilityHarness {
 public:
  virtual ~AccessibilityHarness() = default;
  virtual Accessibility& accessibility() = 0;
  virtual int editorPID() = 0;
  // A point over the editor's window, in front of every other window.
  virtual ScreenPoint pointOverWindow() = 0;
  virtual void setTrusted(bool trusted) = 0;
  // The editor stops answering for this many seconds per message.
  virtual void hang(double seconds) = 0;
  // Seconds spent so far (virtual or real).
  virtual double elapsed() = 0;
  // The user renames the document; the window's title changes.
  virtual void retitle(const std::string& title) = 0;
  // The user closes the window.
  virtual void closeWindow() = 0;
  virtual void runMainLoop() = 0;
};

using AccessibilityHarnessFactory = std::function<std::unique_ptr<AccessibilityHarness>()>;

class AccessibilityContract : public ::testing::TestWithParam<AccessibilityHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam()(); }
  Accessibility& ax() { return harness_->accessibility(); }
  AXElement app() { return ax().application(harness_->editorPID()); }
  AXElement focusedWindow() {
    const AXResult result = ax().copyAttribute(app(), "AXFocusedWindow");
    const AXElement* window = result.value.as<AXElement>();
    return window ? *window : AXElement();
  }
  std::optional<std::string> stringAttribute(const AXElement& element,
                                             const std::string& attribute) {
    const AXResult result = ax().copyAttribute(element, attribute);
    const std::string* text = result.value.as<std::string>();
    if (!result.ok() || !text) return std::nullopt;
    return *text;
  }
  // An observer of the editor's title changes that records what it hears; nothing
  // when it cannot be made or registered.
  std::unique_ptr<AXObserver> titleObserver(std::vector<std::string>& heard) {
    auto observer = ax().createObserver(
        harness_->editorPID(),
        [&heard](const AXElement&, const std::string& name) { heard.push_back(name); });
    if (!observer || observer->addNotification(app(), "AXTitleChanged") != AXError::success) {
      return nullptr;
    }
    return observer;
  }

  std::unique_ptr<AccessibilityHarness> harness_;
};

TEST_P(AccessibilityContract, ElementsCompareByIdentity) {
  EXPECT_EQ(app(), ax().application(harness_->editorPID()));
  const AXElement window = focusedWindow();
  ASSERT_TRUE(window.isValid());
  EXPECT_EQ(window, focusedWindow());
  EXPECT_NE(window, app());
  EXPECT_EQ(ax().processID(window), harness_->editorPID());
}

TEST_P(AccessibilityContract, AttributesHaveTheirTypes) {
  const AXElement window = focusedWindow();
  EXPECT_EQ(stringAttribute(window, "AXRole"), "AXWindow");
  EXPECT_EQ(stringAttribute(window, "AXSubrole"), "AXStandardWindow");
  EXPECT_EQ(stringAttribute(window, "AXTitle"), "Documento");
  const AXResult minimized = ax().copyAttribute(window, "AXMinimized");
  ASSERT_TRUE(minimized.ok());
  ASSERT_NE(minimized.value.as<bool>(), nullptr);
  EXPECT_FALSE(*minimized.value.as<bool>());
  EXPECT_FALSE(ax().copyAttribute(window, "AXNoSuchAttribute").ok());
  const AXResult children = ax().copyAttribute(app(), "AXChildren");
  ASSERT_NE(children.value.as<AXValue::Array>(), nullptr);
}

TEST_P(AccessibilityContract, ParentOfAWindowIsItsApplication) {
  const AXResult parent = ax().copyAttribute(focusedWindow(), "AXParent");
  ASSERT_TRUE(parent.ok());
  EXPECT_EQ(*parent.value.as<AXElement>(), app());
}

TEST_P(AccessibilityContract, MessagingTimeOutBoundsAHungApplication) {
  harness_->hang(1.0);
  const AXElement application = app();
  ASSERT_EQ(ax().setMessagingTimeout(application, 0.025), AXError::success);
  const double before = harness_->elapsed();
  EXPECT_EQ(ax().copyAttribute(application, "AXFocusedWindow").error, AXError::cannotComplete);
  const double spent = harness_->elapsed() - before;
  EXPECT_GE(spent, 0.025 - 1e-9);
  EXPECT_LT(spent, 0.5);
}

TEST_P(AccessibilityContract, TimeOutsBelongToTheHandleTheyWereSetOn) {
  harness_->hang(0.2);
  const AXElement impatient = app();
  ASSERT_EQ(ax().setMessagingTimeout(impatient, 0.025), AXError::success);
  const AXElement patient = app();  // a handle of its own, with the default time-out
  EXPECT_EQ(ax().copyAttribute(impatient, "AXFocusedWindow").error, AXError::cannotComplete);
  EXPECT_TRUE(ax().copyAttribute(patient, "AXFocusedWindow").ok());
  ASSERT_EQ(ax().setMessagingTimeout(impatient, 0), AXError::success);  // back to the default
  EXPECT_TRUE(ax().copyAttribute(impatient, "AXFocusedWindow").ok());
}

TEST_P(AccessibilityContract, ElementsInsideAClosedWindowAreInvalid) {
  const AXElement window = focusedWindow();
  const AXResult children = ax().copyAttribute(window, "AXChildren");
  ASSERT_TRUE(children.ok());
  ASSERT_FALSE(children.value.as<AXValue::Array>()->empty());
  const AXElement inside = *children.value.as<AXValue::Array>()->front().as<AXElement>();
  harness_->closeWindow();
  EXPECT_EQ(ax().copyAttribute(window, "AXRole").error, AXError::invalidElement);
  EXPECT_EQ(ax().copyAttribute(inside, "AXRole").error, AXError::invalidElement);
}

TEST_P(AccessibilityContract, RevokedTrustSilencesObservers) {
  std::vector<std::string> heard;
  auto observer = titleObserver(heard);
  ASSERT_NE(observer, nullptr);
  harness_->setTrusted(false);
  harness_->retitle("Informe");
  harness_->runMainLoop();
  EXPECT_TRUE(heard.empty());
}

TEST_P(AccessibilityContract, NothingWithoutTrust) {
  harness_->setTrusted(false);
  EXPECT_FALSE(ax().isProcessTrusted());
  EXPECT_EQ(ax().copyAttribute(app(), "AXFocusedWindow").error, AXError::apiDisabled);
}

TEST_P(AccessibilityContract, HitTestFindsTheWindowsApplication) {
  const ScreenPoint point = harness_->pointOverWindow();
  const AXResult hit = ax().elementAtPosition(ax().systemWide(), point.x, point.y);
  ASSERT_TRUE(hit.ok());
  EXPECT_EQ(ax().processID(*hit.value.as<AXElement>()), harness_->editorPID());
}

TEST_P(AccessibilityContract, WindowActionsAndAttributes) {
  const AXElement window = focusedWindow();
  EXPECT_EQ(ax().performAction(window, "AXRaise"), AXError::success);
  EXPECT_EQ(ax().setAttribute(window, "AXMain", AXValue(true)), AXError::success);
  EXPECT_NE(ax().performAction(window, "AXNoSuchAction"), AXError::success);
}

TEST_P(AccessibilityContract, ObserversHearTitleChangesOnTheMainLoop) {
  std::vector<std::string> heard;
  auto observer = titleObserver(heard);
  ASSERT_NE(observer, nullptr);
  harness_->retitle("Informe");
  harness_->runMainLoop();
  EXPECT_EQ(heard, std::vector<std::string>{"AXTitleChanged"});
  EXPECT_EQ(stringAttribute(focusedWindow(), "AXTitle"), "Informe");
  observer.reset();
  harness_->retitle("Otro");
  harness_->runMainLoop();
  EXPECT_EQ(heard.size(), 1u);
}

}  // namespace mirlet::contract
