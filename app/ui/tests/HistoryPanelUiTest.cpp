#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include "ClipboardHistory/ui/ClipboardHistorySettingsView.h"
#include "ClipboardHistory/ui/HistoryPanelView.h"
#include "ClipboardHistory/ui/HistoryPanelWindow.h"
#include "ClipboardHistory/ui/HistorySidebar.h"
#include "ClipboardHistory/ui/PanelSearchBox.h"
#include "ClipboardHistory/ui/TileGridView.h"
#include "ClipboardHistory/ui/TilePainter.h"
#include "ClipboardHistory/ui/testing/DemoHistory.h"
#include "app/ui/SettingsWindow.h"
#include "app/ui/tests/SimulatedApplication.h"
#include "widgets/testing/DarkPalette.h"

namespace mirlet {
namespace {

using testing::typeKey;
using testing::typeText;
using testing::visibleButton;

// One key event, to the widget given (the one with the keyboard unless said).
void sendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
             QWidget* to = QApplication::focusWidget()) {
  QKeyEvent event(type, key, modifiers);
  QApplication::sendEvent(to, &event);
  QApplication::processEvents();
}

// Alt pressed in the open panel. The Alt of the hot key counts once released: a
// Shift tapped first arms it.
void holdAlt() {
  sendKey(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  sendKey(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
  sendKey(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
}

// The application on the simulated desktop, its panel drawn by Qt on the
// offscreen platform.
class HistoryPanelUiTest : public ::testing::Test {
 protected:
  ClipboardHistoryFeature& feature() { return app_.feature(); }
  HistoryPanelController& panel() { return app_.panel(); }
  HistoryPanelWindow& window() {
    HistoryPanelWindow* window = app_.window();
    if (!window) throw std::logic_error("no panel window");
    return *window;
  }
  void copy(std::string_view text) { app_.copy(text); }
  void pressHotKey() { app_.pressHotKey(); }
  std::string latestText() { return feature().store().get().items().front().text; }

  testing::SimulatedApplication app_;
  sim::DesktopScenario& scenario_ = app_.scenario();
};

TEST_F(HistoryPanelUiTest, TheHotKeyAndTheMenuOpenThePanelAndSwitchingOffClosesIt) {
  ASSERT_NE(app_.delegate().historyPanel(), nullptr);
  pressHotKey();
  EXPECT_TRUE(panel().isOpen());
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(window().windowTitle(), QStringLiteral("Historial del portapapeles"));
  pressHotKey();
  EXPECT_FALSE(panel().isOpen());
  EXPECT_FALSE(window().isVisible());

  app_.delegate().openHistory();
  EXPECT_TRUE(panel().isOpen());
  app_.delegate().model().setFeatureEnabled(false, FeatureIds::clipboardHistory);
  EXPECT_FALSE(panel().isOpen());
}

// The shell reaches the history only through its views: the row shows their block.
TEST_F(HistoryPanelUiTest, TheClipboardHistoryRowCarriesItsSettings) {
  app_.delegate().openWindow();
  ASSERT_NE(app_.delegate().window(), nullptr);
  auto* row = app_.delegate().window()->findChild<QWidget*>(
      QString::fromStdString("row-" + FeatureIds::clipboardHistory));
  ASSERT_NE(row, nullptr);
  // The view has no meta-object of its own: findChild would take any widget for it.
  const auto widgets = row->findChildren<QWidget*>();
  EXPECT_TRUE(std::any_of(widgets.begin(), widgets.end(), [](QWidget* widget) {
    return dynamic_cast<ClipboardHistorySettingsView*>(widget) != nullptr;
  }));
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

// The grid's mouse as in file managers: a press on a selected tile keeps the
// selection until its release (so a drag would carry all of it), and a double
// click on a tile's star never chooses.
TEST_F(HistoryPanelUiTest, APressOnASelectedTileKeepsTheSelectionUntilItsRelease) {
  copy("uno");
  copy("dos");
  copy("tres");
  pressHotKey();
  TileGridView& grid = window().view().grid();
  const auto& visible = panel().model().visible().get();
  const Uuid first = visible.at(0)->id;
  const Uuid second = visible.at(1)->id;
  const auto mouse = [&](QEvent::Type type, const Uuid& id, Qt::KeyboardModifiers modifiers) {
    const QPointF at = grid.tileRect(id)->center();
    QMouseEvent event(type, at, grid.viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      modifiers);
    QApplication::sendEvent(grid.viewport(), &event);
    QApplication::processEvents();
  };
  mouse(QEvent::MouseButtonPress, first, Qt::NoModifier);
  mouse(QEvent::MouseButtonRelease, first, Qt::NoModifier);
  mouse(QEvent::MouseButtonPress, second, Qt::ControlModifier);
  mouse(QEvent::MouseButtonRelease, second, Qt::ControlModifier);
  ASSERT_EQ(panel().model().selection().get().size(), 2u);

  mouse(QEvent::MouseButtonPress, second, Qt::NoModifier);
  EXPECT_EQ(panel().model().selection().get().size(), 2u) << "kept while the button is down";
  mouse(QEvent::MouseButtonRelease, second, Qt::NoModifier);
  EXPECT_EQ(panel().model().selection().get(), std::set<Uuid>{second});
}

TEST_F(HistoryPanelUiTest, ADoubleClickOnAStarNeverChooses) {
  copy("uno");
  copy("dos");
  pressHotKey();
  TileGridView& grid = window().view().grid();
  const Uuid first = panel().model().visible().get().at(0)->id;
  const QRect tile = *grid.tileRect(first);
  const QPointF star = ui::TilePainter::starRect(QRectF(tile)).center();
  QMouseEvent twice(QEvent::MouseButtonDblClick, star, grid.viewport()->mapToGlobal(star),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid.viewport(), &twice);
  QApplication::processEvents();
  scenario_.rest(1);
  EXPECT_TRUE(panel().isOpen());
  EXPECT_TRUE(feature().store().get().items().front().isFavorite);
}

// Switching keep-on-top from the keyboard while the panel is open: it stays open,
// with the keyboard where it was.
TEST_F(HistoryPanelUiTest, SwitchingKeepOnTopKeepsThePanelAndItsFocus) {
  copy("uno");
  pressHotKey();
  typeText(QStringLiteral("u"));
  ASSERT_EQ(window().focus(), PanelWindow::Focus::searchField);
  panel().model().perform(PanelCommand{PanelCommand::Action::toggleKeepOnTop});
  // The window comes back active on the platform's own time.
  for (int turn = 0; turn < 100 && window().focus() != PanelWindow::Focus::searchField; ++turn) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_TRUE(feature().settings().get().keepOnTop);
  EXPECT_TRUE(panel().isOpen());
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(window().focus(), PanelWindow::Focus::searchField);
}

TEST_F(HistoryPanelUiTest, TheMenuKeyAndShiftF10OpenTheFocusedTilesMenu) {
  copy("uno");
  pressHotKey();
  TileGridView& grid = window().view().grid();
  for (const auto& [key, modifiers] :
       {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
    int entries = -1;
    QTimer::singleShot(0, [&entries] {
      if (QWidget* menu = QApplication::activePopupWidget()) {
        entries = static_cast<int>(menu->actions().size());
        menu->close();
      }
    });
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&grid, &press);
    QApplication::processEvents();
    EXPECT_GT(entries, 0) << key;
  }
}

// ⌥ let go while a tile's menu had the keyboard: once it closes, private items
// are hidden again.
TEST_F(HistoryPanelUiTest, AltLetGoDuringAMenuHidesPrivateItemsAgain) {
  copy("uno");
  pressHotKey();
  TileGridView& grid = window().view().grid();
  holdAlt();
  ASSERT_TRUE(panel().model().optionHeld().get());
  QTimer::singleShot(0, [] {
    if (QWidget* menu = QApplication::activePopupWidget()) {
      sendKey(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier, menu);
      menu->close();
    }
  });
  const QPoint at = grid.tileRect(panel().model().visible().get().at(0)->id)->center();
  QContextMenuEvent menu(QContextMenuEvent::Mouse, at, grid.viewport()->mapToGlobal(at));
  QApplication::sendEvent(grid.viewport(), &menu);
  QApplication::processEvents();
  EXPECT_FALSE(panel().model().optionHeld().get());
}

// The grid is painted by hand: screen readers are told of its tiles as a list.
TEST_F(HistoryPanelUiTest, ScreenReadersSeeTheTilesTheirSelectionAndFocus) {
  copy("uno");
  copy("dos");
  pressHotKey();
  TileGridView& grid = window().view().grid();
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&grid);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->role(), QAccessible::List);
  ASSERT_EQ(list->childCount(), 2);
  QAccessibleInterface* latest = list->child(0);
  ASSERT_NE(latest, nullptr);
  EXPECT_EQ(latest, list->child(0)) << "the same tile, the same interface";
  EXPECT_EQ(latest->role(), QAccessible::ListItem);
  EXPECT_TRUE(latest->text(QAccessible::Name).contains(QStringLiteral("dos")));
  EXPECT_TRUE(latest->state().focused);
  EXPECT_TRUE(latest->state().selected);
  EXPECT_EQ(list->focusChild(), latest);
  EXPECT_EQ(list->indexOfChild(list->child(1)), 1);
  EXPECT_FALSE(list->child(1)->state().selected);
  EXPECT_EQ(latest->parent(), list);

  typeKey(Qt::Key_Right);
  EXPECT_TRUE(list->child(1)->state().focused);
  EXPECT_EQ(list->focusChild(), list->child(1));
}

// With the keyboard alone: Tab reaches the sidebar's sections, and Space or Return
// presses the one reached.
TEST_F(HistoryPanelUiTest, TabReachesTheSidebarAndItsSectionsPressWithTheKeyboard) {
  copy("uno");
  pressHotKey();
  QWidget* reached = nullptr;
  for (int tab = 0; tab < 20; ++tab) {
    typeKey(Qt::Key_Tab);
    auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    if (button && button->text() == QStringLiteral("Favoritos")) {
      reached = button;
      break;
    }
  }
  ASSERT_NE(reached, nullptr) << "Tab never reached the favourites";
  const QColor ring = reached->grab().toImage().pixelColor(1, reached->height() / 2);
  EXPECT_EQ(ring, reached->palette().color(QPalette::Highlight)) << "the focus is not shown";
  typeKey(Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_TRUE(std::holds_alternative<HistorySections::Favorites>(panel().model().section().get()));
  EXPECT_TRUE(panel().isOpen());
  auto* still = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
  ASSERT_NE(still, nullptr) << "the rebuilt sidebar keeps the keyboard on the section";
  EXPECT_EQ(still->text(), QStringLiteral("Favoritos"));
}

// Alt let go in another window: when the panel is active again, it asks what is
// held and hides private items.
TEST_F(HistoryPanelUiTest, ComingBackAfterAltWasLetGoElsewhereHidesPrivateItems) {
  feature().update([](ClipboardHistorySettings& settings) { settings.keepOnTop = true; });
  copy("uno");
  pressHotKey();
  holdAlt();
  ASSERT_TRUE(panel().model().optionHeld().get());

  QWidget elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  for (int turn = 0; turn < 100 && window().isActiveWindow(); ++turn) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  ASSERT_TRUE(panel().isOpen());
  sendKey(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier, &elsewhere);
  window().activateWindow();
  for (int turn = 0; turn < 100 && !window().isActiveWindow(); ++turn) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_FALSE(panel().model().optionHeld().get());
}

TEST_F(HistoryPanelUiTest, HomeAndEndMoveInTheGrid) {
  copy("uno");
  copy("dos");
  copy("tres");
  pressHotKey();
  const auto& visible = panel().model().visible().get();
  ASSERT_EQ(visible.size(), 3u);
  typeKey(Qt::Key_End);
  EXPECT_EQ(panel().model().focusID().get(), visible.back()->id);
  typeKey(Qt::Key_Home);
  EXPECT_EQ(panel().model().focusID().get(), visible.front()->id);
}

// Holding Alt shows private items; AltGr, which types @ and € on many keyboards,
// does not, whatever Alt the platform reports with it.
TEST_F(HistoryPanelUiTest, AltRevealsPrivateItemsAndAltGrDoesNot) {
  copy("algo");
  pressHotKey();
  // The ⌥ of the hot key counts once released: a Shift tapped first arms it.
  sendKey(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  sendKey(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
  sendKey(QEvent::KeyPress, Qt::Key_AltGr, Qt::AltModifier | Qt::GroupSwitchModifier);
  EXPECT_FALSE(panel().model().optionHeld().get());
  sendKey(QEvent::KeyPress, Qt::Key_At, Qt::AltModifier | Qt::GroupSwitchModifier);
  EXPECT_FALSE(panel().model().optionHeld().get());
  sendKey(QEvent::KeyRelease, Qt::Key_AltGr, Qt::NoModifier);

  sendKey(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
  EXPECT_TRUE(panel().model().optionHeld().get());
  sendKey(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  EXPECT_FALSE(panel().model().optionHeld().get());
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

// The user switches to a dark theme with the panel open: the sidebar's rows and
// the banners, drawn with style sheets, follow it as the rest does.
TEST_F(HistoryPanelUiTest, ADarkThemeChosenWhileOpenReachesTheSidebarAndTheBanners) {
  copy("primera");
  copy("segunda");
  pressHotKey();
  panel().model().perform(PanelCommand{PanelCommand::Action::delete_});
  const QPalette light = QApplication::palette();
  QApplication::setPalette(testing::darkPalette());
  QApplication::processEvents();  // rebuilt
  QApplication::processEvents();  // shown

  const auto shown = [](QWidget& widget) {
    return widget.grab().toImage().pixelColor(widget.width() - 4, widget.height() / 2);
  };
  QAbstractButton* history = visibleButton(&window(), QStringLiteral("Historial"));
  ASSERT_NE(history, nullptr);
  const QColor highlight = testing::darkPalette().color(QPalette::Highlight);
  EXPECT_EQ(shown(*history), highlight) << "the section shown keeps the old theme's highlight";
  QFrame* banner = nullptr;
  for (auto* row : window().findChildren<QFrame*>(QStringLiteral("statusRow"))) {
    if (row->isVisible()) banner = row;
  }
  ASSERT_NE(banner, nullptr);
  EXPECT_LT(shown(*banner).lightness(), 100) << "the banner stays light";
  QApplication::setPalette(light);
}

// A copy made while a list is being named rebuilds the sidebar: the name typed so
// far, and its field, carry on.
TEST_F(HistoryPanelUiTest, ACopyWhileAListIsNamedKeepsWhatWasTyped) {
  copy("algo");
  pressHotKey();
  window().findChild<QToolButton*>(QStringLiteral("newListButton"))->click();
  QApplication::processEvents();
  auto* name = window().findChild<QLineEdit*>(QStringLiteral("listNameField"));
  ASSERT_NE(name, nullptr);
  name->setText(QStringLiteral("Rece"));
  copy("otra copia");
  QApplication::processEvents();
  name = window().findChild<QLineEdit*>(QStringLiteral("listNameField"));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), QStringLiteral("Rece"));
  EXPECT_EQ(name->cursorPosition(), 4);
  name->setText(QStringLiteral("Recetas"));
  Q_EMIT name->editingFinished();
  QApplication::processEvents();
  ASSERT_EQ(feature().store().get().lists().size(), 1u);
  EXPECT_EQ(feature().store().get().lists().front().name, "Recetas");
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
};

TEST_F(TileGridUiTest, ScrollingToTheEndDrawsEveryTileOnceOnScreenAndNoOther) {
  demo::DemoPanel panel(scenario_.desktop, history_.feature());
  HistoryPanelController& controller = panel.controller();
  controller.show();
  TileGridView& grid = panel.window().view().grid();
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

// A link whose page gave an icon shows it where other tiles show their kind.
TEST_F(TileGridUiTest, ALinksTileShowsItsSitesIcon) {
  demo::DemoPanel panel(scenario_.desktop, history_.feature());
  panel.controller().show();
  const auto& visible = panel.model().visible().get();
  const auto link = std::ranges::find_if(
      visible, [](const auto& item) { return item->kind == ItemKind::link && item->linkTitle; });
  ASSERT_NE(link, visible.end());
  TileGridView& grid = panel.window().view().grid();
  const QImage drawn = grid.viewport()->grab().toImage();
  const QRect tile = *grid.tileRect((*link)->id);
  const QColor site = demo::siteColor((*link)->text);
  // The heading is the tile's top band; the site's colour is drawn nowhere else there.
  int found = 0;
  for (int y = tile.top(); y < tile.top() + 28; ++y) {
    for (int x = tile.left(); x < tile.right(); ++x) {
      const QColor pixel = drawn.pixelColor(x * drawn.width() / grid.viewport()->width(),
                                            y * drawn.height() / grid.viewport()->height());
      found += std::abs(pixel.red() - site.red()) + std::abs(pixel.green() - site.green()) +
                   std::abs(pixel.blue() - site.blue()) <
               24;
    }
  }
  EXPECT_GT(found, 20) << "the site's icon is not on its tile";
}

}  // namespace
}  // namespace mirlet
