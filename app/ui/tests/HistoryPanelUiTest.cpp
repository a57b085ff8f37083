#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include "app/testing/SimulatedFeatures.h"
#include "app/ui/AppDelegate.h"
#include "app/ui/DemoHistory.h"
#include "app/ui/HistoryPanelView.h"
#include "app/ui/HistoryPanelWindow.h"
#include "app/ui/HistorySidebar.h"
#include "app/ui/PanelSearchBox.h"
#include "app/ui/TileGridView.h"
#include "app/ui/tests/UiTestSupport.h"
#include "platform/sim/DesktopScenario.h"
#include "platform/testing/ScriptedSystemEnvironment.h"

namespace mirlet {
namespace {

using testing::typeKey;
using testing::typeText;
using testing::visibleButton;

// The application on the simulated desktop with the real clipboard history
// switched on, its panel drawn by Qt on the offscreen platform.
class HistoryPanelUiTest : public ::testing::Test {
 protected:
  HistoryPanelUiTest() {
    Preferences preferences(defaults_);
    preferences.setHasCompletedOnboarding(true);
    preferences.setEnabled(true, FeatureIds::clipboardHistory);
    scenario_.activate(scenario_.textEdit);
    sim::SimDesktop& d = scenario_.desktop;
    delegate_ = std::make_unique<AppDelegate>(
        DesktopHost{
            defaults_, environment_, d.time, d.time, sessionEvents_,
            HistoryPanelControllerEnvironment{d.workspace, d.screens, d.events, d.accessibility,
                                              d.time, d.time, d.time, CalendarSettings{}}},
        features_.factory(), BundleInfo{"app.mirlet", {{"CFBundleVersion", "42"}}});
    delegate_->applicationDidFinishLaunching(true);
  }
  ~HistoryPanelUiTest() override { delegate_->applicationWillTerminate(); }

  ClipboardHistoryFeature& feature() { return *features_.clipboard; }
  HistoryPanelController& panel() { return *delegate_->historyPanel(); }
  HistoryPanelWindow& window() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* found = dynamic_cast<HistoryPanelWindow*>(widget)) return *found;
    }
    throw std::logic_error("no panel window");
  }
  void copy(std::string_view text) {
    scenario_.copyText(scenario_.textEdit, text);
    scenario_.rest(0.5);
  }
  void pressHotKey() {
    const auto [keyCode, modifiers] = scenario_.desktop.hotKeys.registered().at(0);
    scenario_.desktop.hotKeys.press(keyCode, modifiers);
    scenario_.settle();
    QApplication::processEvents();
  }
  std::string latestText() { return feature().store().get().items().front().text; }

  testing::TemporaryFolder folder_;
  sim::DesktopScenario scenario_;
  MemoryDefaultsStore defaults_;
  testing::ScriptedSystemEnvironment environment_;
  testing::ScriptedSessionEvents sessionEvents_;
  testing::SimulatedFeatures features_{scenario_.desktop, folder_.path()};
  std::unique_ptr<AppDelegate> delegate_;
};

TEST_F(HistoryPanelUiTest, TheHotKeyAndTheMenuOpenThePanelAndSwitchingOffClosesIt) {
  ASSERT_NE(delegate_->historyPanel(), nullptr);
  pressHotKey();
  EXPECT_TRUE(panel().isOpen());
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(window().windowTitle(), QStringLiteral("Historial del portapapeles"));
  pressHotKey();
  EXPECT_FALSE(panel().isOpen());
  EXPECT_FALSE(window().isVisible());

  delegate_->openHistory();
  EXPECT_TRUE(panel().isOpen());
  delegate_->model().setFeatureEnabled(false, FeatureIds::clipboardHistory);
  EXPECT_FALSE(panel().isOpen());
}

TEST_F(HistoryPanelUiTest, TypingOnTheGridSearchesAndReturnChoosesTheFoundItem) {
  copy("uno");
  copy("dos");
  copy("tres");
  pressHotKey();
  ASSERT_EQ(panel().model().visible().get().size(), 3u);

  typeText(QStringLiteral("do"));
  EXPECT_EQ(window().view().searchBox().text(), QStringLiteral("do"));
  EXPECT_EQ(window().focus(), PanelWindow::Focus::searchField);
  ASSERT_EQ(panel().model().visible().get().size(), 1u);
  EXPECT_EQ(panel().model().visible().get().front()->text, "dos");

  typeKey(Qt::Key_Return);
  scenario_.rest(1);
  EXPECT_FALSE(panel().isOpen());
  EXPECT_EQ(latestText(), "dos");  // chosen, so used last
}

TEST_F(HistoryPanelUiTest, ArrowsMoveInTheGridUnlessTheSearchFieldHoldsText) {
  copy("primero");
  copy("segundo");
  pressHotKey();
  const Uuid first = panel().model().visible().get().at(0)->id;
  const Uuid second = panel().model().visible().get().at(1)->id;
  EXPECT_EQ(panel().model().focusID().get(), first);
  typeKey(Qt::Key_Right);
  EXPECT_EQ(panel().model().focusID().get(), second);

  typeText(QStringLiteral("s"));
  window().view().searchBox().setCursorPosition(1);
  typeKey(Qt::Key_Left);
  EXPECT_EQ(window().view().searchBox().cursorPosition(), 0);  // the field kept the arrow
  typeKey(Qt::Key_Escape);
}

TEST_F(HistoryPanelUiTest, TheBannerOfAPausedCaptureResumesIt) {
  feature().setPaused(true);
  pressHotKey();
  QAbstractButton* resume = visibleButton(&window(), QStringLiteral("Reanudar"));
  ASSERT_NE(resume, nullptr);
  EXPECT_TRUE(std::ranges::count(testing::visibleTexts(&window()), "Captura en pausa"));
  resume->click();
  QApplication::processEvents();
  EXPECT_FALSE(feature().isPaused());
  EXPECT_EQ(visibleButton(&window(), QStringLiteral("Reanudar")), nullptr);
}

TEST_F(HistoryPanelUiTest, ANewListIsNamedInPlaceAndTakesDroppedItems) {
  copy("para la lista");
  pressHotKey();
  auto* add = window().findChild<QToolButton*>(QStringLiteral("newListButton"));
  ASSERT_NE(add, nullptr);
  add->click();
  QApplication::processEvents();
  auto* name = window().findChild<QLineEdit*>(QStringLiteral("listNameField"));
  ASSERT_NE(name, nullptr);
  name->setText(QStringLiteral("Recetas"));
  Q_EMIT name->editingFinished();
  QApplication::processEvents();
  ASSERT_EQ(feature().store().get().lists().size(), 1u);
  const ItemList list = feature().store().get().lists().front();
  EXPECT_EQ(list.name, "Recetas");

  auto* row = window().findChild<QWidget*>(QStringLiteral("list-") +
                                           QString::fromStdString(list.id.toString()));
  ASSERT_NE(row, nullptr);
  const Uuid item = feature().store().get().items().front().id;
  QMimeData mime;
  mime.setData(QString::fromLatin1(HistoryPanelModel::kItemIDType),
               QByteArray::fromStdString(item.toString()));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(row, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(row, &drop);
  scenario_.settle();
  QApplication::processEvents();
  EXPECT_EQ(feature().store().get().lists().front().itemIDs, std::vector<Uuid>{item});
}

// The grid over a long history: only what is on screen is drawn.
class TileGridUiTest : public ::testing::Test {
 protected:
  TileGridUiTest() { scenario_.activate(scenario_.textEdit); }

  sim::DesktopScenario scenario_;
  demo::DemoHistory history_{scenario_.desktop, 600};
  MemoryDefaultsStore defaults_;
};

TEST_F(TileGridUiTest, ScrollingToTheEndDrawsEveryTileOnceOnScreenAndNoOther) {
  sim::SimDesktop& d = scenario_.desktop;
  HistoryPanelWindow* window = nullptr;
  HistoryPanelController controller(
      history_.feature(),
      HistoryPanelControllerEnvironment{d.workspace, d.screens, d.events, d.accessibility, d.time,
                                        d.time, d.time, CalendarSettings{}},
      [&](HistoryPanelModel& model, HistoryPanelController& owner) {
        auto made = std::make_unique<HistoryPanelWindow>(model, owner, history_.feature(), d.time,
                                                         defaults_);
        window = made.get();
        return made;
      },
      HistoryPanelRequests{[] {},
                           [] {
                           }});
  controller.show();
  TileGridView& grid = window->view().grid();
  const int viewportHeight = grid.viewport()->height();
  const int columns = grid.layout().columns();
  const auto rowsOnScreen = static_cast<std::size_t>(
      viewportHeight / (TileGridLayout::tileHeight(ClipboardHistorySettings::TileSize::medium) +
                        TileGridLayout::kSpacing) +
      2);
  std::set<Uuid> drawn;
  QScrollBar* scroll = grid.verticalScrollBar();
  for (int top = 0;; top += viewportHeight / 2) {
    scroll->setValue(top);
    grid.viewport()->grab();
    EXPECT_LE(grid.drawnItems().size(), rowsOnScreen * static_cast<std::size_t>(columns));
    drawn.insert(grid.drawnItems().begin(), grid.drawnItems().end());
    if (top >= scroll->maximum()) break;
  }
  EXPECT_EQ(drawn.size(), controller.model().visible().get().size());
}

}  // namespace
}  // namespace mirlet
