#include "host/testing/AccessibilityContract.h"

#include "host/sim/SimApplicationUI.h"

namespace mirlet::sim {
namespace {

class SimAccessibilityHarness : public contract::AccessibilityHarness {
 public:
  SimAccessibilityHarness() {
    window_ = ui_.addStandardWindow("Documento", {100, 100, 400, 300});
    ui_.addTextArea(window_);
    desktop_.workspace.bringToFront(editor_);
  }
  Accessibility& accessibility() override { return desktop_.accessibility; }
  int editorPID() override { return editor_->processIdentifier(); }
  ScreenPoint pointOverWindow() override { return {150, 150}; }
  void setTrusted(bool trusted) override { desktop_.trust.trusted = trusted; }
  void hang(double seconds) override {
    desktop_.accessibility.setAnswerDelay(editorPID(), seconds);
  }
  double elapsed() override { return desktop_.time.uptime(); }
  void retitle(const std::string& title) override { ui_.setTitle(window_.node, title); }
  void closeWindow() override { ui_.closeWindow(window_); }
  void runMainLoop() override { desktop_.time.runUntilIdle(); }

 private:
  SimDesktop desktop_;
  std::shared_ptr<SimApplication> editor_ =
      desktop_.workspace.launch("com.apple.TextEdit", "TextEdit");
  SimApplicationUI ui_{desktop_, editor_};
  SimApplicationUI::Window window_;
};

using contract::AccessibilityContract;

INSTANTIATE_TEST_SUITE_P(Sim, AccessibilityContract, ::testing::Values([] {
                           return std::unique_ptr<contract::AccessibilityHarness>(
                               std::make_unique<SimAccessibilityHarness>());
                         }));

// What the simulation adds: exact virtual-time costs, per-element delays, element
// lifetimes, observers by application, announcements, and applications' UI.
class SimAccessibilityTest : public ::testing::Test {
 protected:
  SimAccessibility& ax() { return desktop_.accessibility; }

  SimDesktop desktop_;
  std::shared_ptr<SimApplication> editor_ =
      desktop_.workspace.launch("com.apple.TextEdit", "TextEdit");
  SimApplicationUI ui_{desktop_, editor_};
};

TEST_F(SimAccessibilityTest, AnswersCostTheirDelayAndAHangCostsExactlyTheTimeOut) {
  auto window = ui_.addStandardWindow("A", {0, 0, 10, 10});
  window.node->answerDelay = 0.01;
  const AXElement element = ax().element(window.node);
  double start = desktop_.time.uptime();
  EXPECT_TRUE(ax().copyAttribute(element, "AXTitle").ok());
  EXPECT_NEAR(desktop_.time.uptime() - start, 0.01, 1e-9);

  ax().setMessagingTimeout(element, 0.005);
  start = desktop_.time.uptime();
  EXPECT_EQ(ax().copyAttribute(element, "AXTitle").error, AXError::cannotComplete);
  EXPECT_NEAR(desktop_.time.uptime() - start, 0.005, 1e-9);
  EXPECT_TRUE(ax().copyAttribute(ax().application(editor_->processIdentifier()), "AXTitle").ok());
}

TEST_F(SimAccessibilityTest, ElementsOfAClosedWindowOrAQuitApplicationAreInvalid) {
  auto window = ui_.addStandardWindow("A", {0, 0, 10, 10});
  const AXElement element = ax().element(window.node);
  ui_.closeWindow(window);
  EXPECT_EQ(ax().copyAttribute(element, "AXTitle").error, AXError::invalidElement);
  const AXElement application = ax().application(editor_->processIdentifier());
  desktop_.workspace.terminate(editor_);
  EXPECT_EQ(ax().copyAttribute(application, "AXTitle").error, AXError::invalidElement);
  EXPECT_EQ(ax().createObserver(editor_->processIdentifier(), [](auto&, auto&) {}), nullptr);
}

TEST_F(SimAccessibilityTest, AQuitApplicationsElementsStayInvalidWhenItsProcessIDIsReused) {
  auto window = ui_.addStandardWindow("A", {0, 0, 10, 10});
  const AXElement element = ax().element(window.node);
  const AXElement application = ax().application(editor_->processIdentifier());
  auto again = desktop_.workspace.relaunch(editor_, /*reusePID=*/true);
  ASSERT_EQ(again->processIdentifier(), editor_->processIdentifier());
  EXPECT_EQ(ax().copyAttribute(element, "AXTitle").error, AXError::invalidElement);
  EXPECT_EQ(ax().copyAttribute(application, "AXRole").error, AXError::invalidElement);
  // The new process's tree is its own, and starts empty.
  const AXElement fresh = ax().application(again->processIdentifier());
  EXPECT_NE(fresh, application);
  EXPECT_TRUE(ax().copyAttribute(fresh, "AXRole").ok());
  const auto children = ax().copyAttribute(fresh, "AXChildren").value;
  ASSERT_NE(children.as<AXValue::Array>(), nullptr);
  EXPECT_TRUE(children.as<AXValue::Array>()->empty());
}

TEST_F(SimAccessibilityTest, ObserversMayBeRefused) {
  ax().observersCanBeCreated = false;
  EXPECT_EQ(ax().createObserver(editor_->processIdentifier(), [](auto&, auto&) {}), nullptr);
  ax().observersCanBeCreated = true;
  EXPECT_NE(ax().createObserver(editor_->processIdentifier(), [](auto&, auto&) {}), nullptr);
}

TEST_F(SimAccessibilityTest, AContextMenuOpensOnlyInTheFocusedWindowOfTheActiveApplication) {
  auto first = ui_.addStandardWindow("Uno", {0, 0, 100, 100});
  auto second = ui_.addStandardWindow("Dos", {200, 0, 100, 100});  // focused
  auto rightClick = [this](double x) {
    for (EventType type : {EventType::rightMouseDown, EventType::rightMouseUp}) {
      InputEvent event;
      event.type = type;
      event.location = {x, 50};
      desktop_.events.inject(event);
    }
  };
  rightClick(250);  // the application is not active yet
  desktop_.workspace.bringToFront(editor_);
  rightClick(50);  // a window in the background
  rightClick(250);
  EXPECT_EQ(ui_.contextMenus(), std::vector{second.node});
}

TEST_F(SimAccessibilityTest, FocusFollowsWindowsSheetsAndClosing) {
  auto first = ui_.addStandardWindow("Uno", {0, 0, 100, 100});
  auto second = ui_.addStandardWindow("Dos", {50, 50, 100, 100});
  const AXElement app = ax().application(editor_->processIdentifier());
  EXPECT_EQ(*ax().copyAttribute(app, "AXFocusedWindow").value.as<AXElement>(),
            ax().element(second.node));
  auto sheet = ui_.addSheet(second, "¿Guardar?");
  const AXElement focused = *ax().copyAttribute(app, "AXFocusedUIElement").value.as<AXElement>();
  EXPECT_EQ(focused, ax().element(sheet));
  EXPECT_EQ(*ax().copyAttribute(focused, "AXTopLevelUIElement").value.as<AXElement>(),
            ax().element(second.node));
  ui_.closeWindow(second);
  EXPECT_EQ(*ax().copyAttribute(app, "AXFocusedWindow").value.as<AXElement>(),
            ax().element(first.node));
  EXPECT_EQ(desktop_.events.windowAt({60, 60})->windowID, first.windowID);
}

TEST_F(SimAccessibilityTest, SettingMainAndRaisingChangeTheWindowOrder) {
  auto first = ui_.addStandardWindow("Uno", {0, 0, 100, 100});
  auto second = ui_.addStandardWindow("Dos", {0, 0, 100, 100});
  EXPECT_EQ(desktop_.events.windowAt({10, 10})->windowID, second.windowID);
  EXPECT_EQ(ax().performAction(ax().element(first.node), "AXRaise"), AXError::success);
  EXPECT_EQ(desktop_.events.windowAt({10, 10})->windowID, first.windowID);
  EXPECT_EQ(ax().setAttribute(ax().element(first.node), "AXMain", AXValue(true)), AXError::success);
  EXPECT_EQ(ui_.focusedWindow(), first.node);
  EXPECT_EQ(ax().setAttribute(ax().element(first.node), "AXMain", AXValue("yes")),
            AXError::illegalArgument);
}

TEST_F(SimAccessibilityTest, ModalWindowsSayTheyAre) {
  auto dialog = ui_.addModalWindow("Preferencias", {0, 0, 100, 100});
  EXPECT_EQ(*ax().copyAttribute(ax().element(dialog.node), "AXModal").value.as<bool>(), true);
  EXPECT_EQ(*ax().copyAttribute(ax().element(dialog.node), "AXSubrole").value.as<std::string>(),
            "AXDialog");
}

TEST_F(SimAccessibilityTest, HitTestDescendsIntoFramedChildren) {
  auto window = ui_.addStandardWindow("A", {0, 0, 200, 200});
  auto button = window.node->addChild("AXButton");
  button->frame = ScreenRect{10, 10, 20, 20};
  EXPECT_EQ(*ax().elementAtPosition(ax().systemWide(), 15, 15).value.as<AXElement>(),
            ax().element(button));
  EXPECT_EQ(*ax().elementAtPosition(ax().systemWide(), 100, 100).value.as<AXElement>(),
            ax().element(window.node));
  EXPECT_EQ(ax().elementAtPosition(ax().application(editor_->processIdentifier()), 15, 15).error,
            AXError::illegalArgument);
  EXPECT_EQ(ax().elementAtPosition(ax().systemWide(), 5000, 5000).error, AXError::noValue);
}

TEST_F(SimAccessibilityTest, MenuItemsPressOnlyWhenEnabled) {
  bool enabled = false;
  int presses = 0;
  auto edit = ui_.addMenu("Edición");
  auto item = ui_.addMenuItem(
      edit, "_NS:8", [] { return std::string("Copiar"); }, [&] { return enabled; },
      [&] { ++presses; });
  EXPECT_NE(ax().performAction(ax().element(item), "AXPress"), AXError::success);
  enabled = true;
  EXPECT_EQ(ax().performAction(ax().element(item), "AXPress"), AXError::success);
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(*ax().copyAttribute(ax().element(item), "AXIdentifier").value.as<std::string>(),
            "_NS:8");
}

TEST_F(SimAccessibilityTest, EditorReceivesPastedText) {
  desktop_.workspace.bringToFront(editor_);
  auto window = ui_.addStandardWindow("Nota", {0, 0, 100, 100});
  auto area = ui_.addTextArea(window);
  desktop_.pasteboard.copyText("hola");
  desktop_.events.inject(InputEvent::keyboard(9, true, EventFlags::command));
  EXPECT_EQ(ui_.text(area), "hola");
  EXPECT_EQ(*ax().copyAttribute(ax().element(area), "AXValue").value.as<std::string>(), "hola");
}

TEST_F(SimAccessibilityTest, AHungApplicationStillCarriesOutWhatTimedOut) {
  int presses = 0;
  auto item = ui_.addMenuItem(
      ui_.addMenu("Edición"), "_NS:8", [] { return std::string("Copiar"); }, [] { return true; },
      [&] { ++presses; });
  ax().setAnswerDelay(editor_->processIdentifier(), 0.3);
  const AXElement element = ax().element(item);
  ax().setMessagingTimeout(element, 0.025);
  EXPECT_EQ(ax().performAction(element, "AXPress"), AXError::cannotComplete);
  EXPECT_EQ(presses, 0);
  desktop_.time.sleep(0.2);
  EXPECT_EQ(presses, 0);
  desktop_.time.sleep(0.1);  // the application gets to it 0.3 s after the request
  EXPECT_EQ(presses, 1);
}

TEST_F(SimAccessibilityTest, ATimeOutOnTheSystemWideElementIsEveryHandlesDefault) {
  auto window = ui_.addStandardWindow("A", {0, 0, 10, 10});
  ax().setAnswerDelay(editor_->processIdentifier(), 0.1);
  EXPECT_EQ(ax().setMessagingTimeout(ax().systemWide(), 0.05), AXError::success);
  EXPECT_EQ(ax().copyAttribute(ax().element(window.node), "AXTitle").error,
            AXError::cannotComplete);
  ax().setMessagingTimeout(ax().systemWide(), 0);
  EXPECT_TRUE(ax().copyAttribute(ax().element(window.node), "AXTitle").ok());
}

TEST_F(SimAccessibilityTest, AnnouncementsAreRecorded) {
  ax().announce("Copiado");
  EXPECT_EQ(ax().announcements(), std::vector<std::string>{"Copiado"});
}

}  // namespace
}  // namespace mirlet::sim
