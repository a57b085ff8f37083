#include "ClipboardHistory/panel/HistoryPanelController.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/testing/SimulatedClipboardHistory.h"
#include "host/sim/DesktopScenario.h"

namespace mirlet {
namespace {

namespace fs = std::filesystem;
using sim::DesktopScenario;
using Rep = sim::SimPasteboard::Representation;

// The panel's window, as far as the controller can see it.
struct FakeWindow : PanelWindow {
  bool hasSavedFrame() const override { return savedFrame; }
  ScreenRect frame() const override { return currentFrame; }
  void setFrame(const ScreenRect& frame) override { currentFrame = frame; }
  void setFloating(bool value) override { floating = value; }
  void present() override { visible = key = true, ++presented; }
  void orderOut() override { visible = key = false; }
  bool isVisible() const override { return visible; }
  bool isKey() const override { return key; }
  Focus focus() const override { return focused; }
  bool searchFieldHasText() const override { return !searchText.empty(); }
  bool searchFieldHasSelection() const override { return false; }
  bool isPreviewVisible() const override { return !previewed.empty(); }
  void showPreview(const std::vector<fs::path>& files) override { previewed = files; }
  void closePreview() override { previewed.clear(); }
  void beep() override { ++beeps; }

  bool savedFrame = false;
  ScreenRect currentFrame{0, 0, HistoryPanelController::kWidth, HistoryPanelController::kHeight};
  bool floating = false;
  bool visible = false;
  bool key = false;
  int presented = 0;
  Focus focused = Focus::none;
  std::string searchText;
  std::vector<fs::path> previewed;
  int beeps = 0;
};

// The search field: typing in it is the test's to do.
struct FakeSearchField : PanelSearchField {
  void focus(bool selectAll) override { focused.push_back(selectAll); }
  void resignFocus() override {}
  std::vector<bool> focused;
};

constexpr std::uint16_t kLeftArrow = 123;
constexpr std::uint16_t kDownArrow = 125;

class HistoryPanelControllerTest : public ::testing::Test {
 protected:
  HistoryPanelControllerTest() {
    scenario_.activate(scenario_.textEdit);
    sim::SimDesktop& d = scenario_.desktop;
    controller_ = std::make_unique<HistoryPanelController>(
        *feature_,
        HistoryPanelControllerServices{d.workspace, d.screens, d.events, d.accessibility, d.time,
                                       d.time, d.time, CalendarSettings{}},
        [this](HistoryPanelModel& model, HistoryPanelController&) {
          search_ = model.attachSearchField(searchField_);
          auto window = std::make_unique<FakeWindow>(initialWindow_);
          window_ = window.get();
          return window;
        },
        HistoryPanelRequests{[this] { requests_.push_back("settings"); },
                             [this] {
                               requests_.push_back("grant");
                             }});
  }

  void copy(std::string_view text) {
    scenario_.copyText(scenario_.textEdit, text);
    scenario_.rest(0.5);
  }
  bool key(std::uint16_t code, unsigned modifiers = 0, std::string characters = "") {
    return controller_->handleKey(
        {PanelKeyEvent::Type::keyDown, code, Modifiers{modifiers}, std::move(characters)});
  }
  void modifiers(unsigned modifiers) {
    controller_->handleKey({PanelKeyEvent::Type::modifiersChanged, 0, Modifiers{modifiers}, ""});
  }
  std::optional<std::string> focusedText() {
    const auto focus = controller_->model().focusID().get();
    if (!focus) return std::nullopt;
    return feature_->store().get().item(*focus)->text;
  }

  DesktopScenario scenario_;
  mirlet::testing::SimulatedClipboardHistory history_{scenario_.desktop};
  ClipboardHistoryFeature* feature_ = &history_.feature();
  FakeWindow initialWindow_;
  FakeWindow* window_ = nullptr;
  FakeSearchField searchField_;
  Subscription search_;
  std::vector<std::string> requests_;
  std::unique_ptr<HistoryPanelController> controller_;
};

TEST_F(HistoryPanelControllerTest, TheFirstShowCentresThePanelOnTheScreenUnderThePointer) {
  scenario_.desktop.screens.displays = {{{0, 0, 1728, 1117}, {0, 38, 1728, 1009}},
                                        {{1728, 0, 1920, 1080}, {1728, 0, 1920, 1050}}};
  scenario_.movePointer({2000, 500});
  controller_->show();
  EXPECT_TRUE(controller_->isOpen());
  EXPECT_EQ(window_->currentFrame, (ScreenRect{1728 + 570, 265, 780, 520}));
  EXPECT_EQ(window_->presented, 1);

  // Moved by the user on the same screen: kept.
  controller_->hide();
  window_->currentFrame.x = 1800;
  controller_->show();
  EXPECT_EQ(window_->currentFrame.x, 1800);

  // On the other screen the saved centre is not visible: centred there.
  controller_->hide();
  scenario_.movePointer({100, 100});
  controller_->show();
  EXPECT_EQ(window_->currentFrame, (ScreenRect{474, 282.5, 780, 520}));
}

TEST_F(HistoryPanelControllerTest, AFrameSavedByAnEarlierRunIsKept) {
  initialWindow_.savedFrame = true;
  initialWindow_.currentFrame = {100, 100, 780, 520};
  controller_->show();
  EXPECT_EQ(window_->currentFrame, (ScreenRect{100, 100, 780, 520}));
}

TEST_F(HistoryPanelControllerTest, AScreenSmallerThanThePanelShrinksIt) {
  scenario_.desktop.screens.displays = {{{0, 0, 640, 480}, {0, 20, 640, 440}}};
  controller_->show();
  EXPECT_EQ(window_->currentFrame, (ScreenRect{0, 20, 640, 440}));
}

TEST_F(HistoryPanelControllerTest, OptionCountsOnlyAfterItWasReleasedOnce) {
  controller_->show();
  modifiers(Modifiers::control | Modifiers::option);  // still down from the hot key
  EXPECT_FALSE(controller_->model().optionHeld().get());
  modifiers(0);
  modifiers(Modifiers::option);
  EXPECT_TRUE(controller_->model().optionHeld().get());
  modifiers(0);
  EXPECT_FALSE(controller_->model().optionHeld().get());
}

TEST_F(HistoryPanelControllerTest, ArrowsEditTheSearchTextOrMoveInTheGrid) {
  copy("uno");
  copy("dos");
  copy("tres");
  controller_->show();
  window_->focused = PanelWindow::Focus::searchField;
  window_->searchText = "d";
  EXPECT_FALSE(key(kLeftArrow));
  EXPECT_TRUE(key(kDownArrow));  // up and down always go to the grid

  window_->searchText = "";
  EXPECT_TRUE(key(kLeftArrow));
  EXPECT_FALSE(key(49));  // the space types in the field

  window_->focused = PanelWindow::Focus::otherEditor;
  EXPECT_FALSE(key(kDownArrow));
}

TEST_F(HistoryPanelControllerTest, TypingALetterOnATileStartsASearch) {
  copy("uno");
  controller_->show();
  EXPECT_FALSE(key(0, 0, "u"));
  EXPECT_EQ(searchField_.focused, std::vector<bool>{false});
  EXPECT_FALSE(key(0, Modifiers::shift, "U"));
  EXPECT_EQ(searchField_.focused.size(), 2u);
  key(122, 0, "\xEF\x9C\x84");  // F1's private code point
  key(0, Modifiers::control, "u");
  EXPECT_EQ(searchField_.focused.size(), 2u);
}

TEST_F(HistoryPanelControllerTest, KeepOnTopFollowsTheUserToAnotherApplication) {
  copy("para pegar");
  scenario_.activate(scenario_.safari);
  feature_->update([](auto& settings) { settings.keepOnTop = true; });
  controller_->show();
  EXPECT_TRUE(window_->floating);
  scenario_.activate(scenario_.textEdit);
  EXPECT_TRUE(controller_->isOpen());
  EXPECT_TRUE(key(36));  // Return chooses and pastes into the application used last
  scenario_.rest(2);
  EXPECT_EQ(scenario_.textEditUI->text(scenario_.textArea), "para pegar");
  EXPECT_TRUE(controller_->isOpen());

  feature_->update([](auto& settings) { settings.keepOnTop = false; });
  EXPECT_FALSE(window_->floating);
  scenario_.activate(scenario_.safari);
  EXPECT_FALSE(controller_->isOpen());
}

TEST_F(HistoryPanelControllerTest, LosingTheKeyboardClosesThePanelUnlessAPreviewTookIt) {
  copy("uno");
  controller_->show();
  window_->key = false;
  controller_->windowDidResignKey();
  EXPECT_TRUE(controller_->isOpen());  // judged on the next turn
  scenario_.settle();
  EXPECT_FALSE(controller_->isOpen());
  EXPECT_FALSE(window_->visible);

  controller_->show();
  EXPECT_TRUE(key(49));  // space: preview
  ASSERT_EQ(window_->previewed.size(), 1u);
  window_->key = false;
  controller_->windowDidResignKey();
  scenario_.settle();
  EXPECT_TRUE(controller_->isOpen());
  controller_->hide();
  EXPECT_TRUE(window_->previewed.empty());
}

TEST_F(HistoryPanelControllerTest,
       TheEndOfAPreviewBringsThePanelBackOnlyWhileThisProgramIsInFront) {
  copy("uno");
  feature_->update([](auto& settings) { settings.keepOnTop = true; });
  controller_->show();
  scenario_.activate(scenario_.mirlet);
  key(49);
  ASSERT_FALSE(window_->previewed.empty());
  const int presented = window_->presented;
  controller_->previewEnded();
  EXPECT_EQ(window_->presented, presented + 1);

  scenario_.activate(scenario_.safari);
  controller_->previewEnded();
  EXPECT_EQ(window_->presented, presented + 1);
}

TEST_F(HistoryPanelControllerTest, PreviewingOnlyPrivateItemsBeeps) {
  feature_->update([](auto& settings) { settings.ignorePrivate = false; });
  scenario_.desktop.pasteboard.copy({{Rep::text("public.utf8-plain-text", "secreto"),
                                      Rep::bytes("org.nspasteboard.ConcealedType", {})}});
  scenario_.rest(0.5);
  controller_->show();
  key(49);
  EXPECT_EQ(window_->beeps, 1);
  EXPECT_TRUE(window_->previewed.empty());
}

TEST_F(HistoryPanelControllerTest, ClosingRemembersWhenForTheIdleReset) {
  copy("uno");
  copy("dos");
  controller_->show();
  controller_->model().setQuery("uno");
  key(53);  // Escape closes
  EXPECT_FALSE(controller_->isOpen());
  scenario_.rest(60);
  controller_->show();
  EXPECT_EQ(controller_->model().query().get(), "uno");
  controller_->hide();
  scenario_.rest(301);
  controller_->show();
  EXPECT_EQ(controller_->model().query().get(), "");
  EXPECT_EQ(focusedText(), "dos");
}

}  // namespace
}  // namespace mirlet
