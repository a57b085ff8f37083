#include "ClipboardHistory/panel/HistoryPanelModel.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/testing/SimulatedClipboardHistory.h"
#include "host/sim/DesktopScenario.h"

namespace mirlet {
namespace {

using Action = PanelCommand::Action;
using sim::DesktopScenario;

// The window around the panel, as the model drives it.
struct RecordingHost : HistoryPanelHost {
  void hide() override { calls.push_back("hide"); }
  void reveal() override { calls.push_back("reveal"); }
  void toggleQuickLook() override { calls.push_back("quickLook"); }
  void openSettings() override { calls.push_back("settings"); }
  void grantAccessibility() override { calls.push_back("grant"); }
  std::vector<std::string> calls;
};

struct RecordingSearchField : PanelSearchField {
  void focus(bool selectAll) override { calls.push_back(selectAll ? "focusAll" : "focusEnd"); }
  void resignFocus() override { calls.push_back("resign"); }
  std::vector<std::string> calls;
};

// Dropped data that arrives later, when the test delivers it.
struct ScriptedDrop : DropProvider {
  explicit ScriptedDrop(std::string declared) : type(std::move(declared)) {}
  bool declares(const std::string& t) const override { return t == type; }
  void load(const std::string&, std::function<void(std::optional<Bytes>)> done) const override {
    pending.push_back(std::move(done));
  }
  std::string type;
  mutable std::vector<std::function<void(std::optional<Bytes>)>> pending;
};

// The panel's model over the real clipboard history on the simulated desktop.
class HistoryPanelModelTest : public ::testing::Test {
 protected:
  HistoryPanelModelTest() {
    scenario_.activate(scenario_.textEdit);
    sim::SimDesktop& d = scenario_.desktop;
    model_ = std::make_unique<HistoryPanelModel>(
        *feature_, HistoryPanelServices{host_, d.workspace, d.accessibility, d.time, d.time, d.time,
                                        CalendarSettings{}});
  }

  // Copies each text in the editor, oldest first; the history shows the last first.
  void copy(std::initializer_list<std::string_view> texts) {
    for (std::string_view text : texts) {
      scenario_.copyText(scenario_.textEdit, text);
      scenario_.rest(0.5);
    }
  }
  void copyNumbered(int count, std::string_view prefix = "texto") {
    for (int i = 1; i <= count; ++i) {
      scenario_.copyText(scenario_.textEdit, std::string(prefix) + " " + std::to_string(i));
      scenario_.rest(0.5);
    }
  }
  HistoryPanelModel& model() { return *model_; }
  std::string pasteboardText() const {
    const auto items = scenario_.desktop.pasteboard.items();
    if (items.empty()) return "";
    const auto data = items[0]->data("public.utf8-plain-text");
    return data ? std::string(data->begin(), data->end()) : "";
  }
  std::vector<std::string> visibleTexts() const {
    std::vector<std::string> texts;
    for (const auto& item : model_->visible().get()) texts.push_back(item->text);
    return texts;
  }
  Uuid idOf(std::string_view text) const {
    for (const ClipboardItem& item : feature_->store().get().items()) {
      if (item.text == text) return item.id;
    }
    ADD_FAILURE() << "no item " << text;
    return {};
  }
  std::set<Uuid> ids(std::initializer_list<std::string_view> texts) const {
    std::set<Uuid> result;
    for (std::string_view text : texts) result.insert(idOf(text));
    return result;
  }
  std::optional<std::string> focusedText() const {
    const auto focus = model_->focusID().get();
    if (!focus) return std::nullopt;
    return feature_->store().get().item(*focus)->text;
  }
  std::optional<std::string> messageText() const {
    const auto& message = model_->message().get();
    if (!message) return std::nullopt;
    return message->text;
  }
  void command(Action action, PanelDirection direction = PanelDirection::up, int index = 0) {
    model_->perform(PanelCommand{action, index, direction});
  }
  void open() {
    model_->resetIfIdle(closedAt_, scenario_.desktop.time.now());
    model_->activate(true);
  }
  void close() {
    model_->deactivate();
    closedAt_ = scenario_.desktop.time.now();
  }

  DesktopScenario scenario_;
  mirlet::testing::SimulatedClipboardHistory history_{scenario_.desktop};
  ClipboardHistoryFeature* feature_ = &history_.feature();
  RecordingHost host_;
  std::unique_ptr<HistoryPanelModel> model_;
  std::optional<Date> closedAt_;
};

TEST_F(HistoryPanelModelTest, OpeningSelectsTheFirstItemAndNumbersTheFirstNine) {
  copyNumbered(10);
  open();
  model().setTarget(scenario_.desktop.workspace.frontmostApplication());
  ASSERT_EQ(model().visible().get().size(), 10u);
  EXPECT_EQ(model().selection().get(), ids({"texto 10"}));
  EXPECT_EQ(focusedText(), "texto 10");
  EXPECT_EQ(model().shortcutIndex(idOf("texto 10")), 1);
  EXPECT_EQ(model().shortcutIndex(idOf("texto 2")), 9);
  EXPECT_EQ(model().shortcutIndex(idOf("texto 1")), std::nullopt);

  command(Action::chooseIndex, PanelDirection::up, 11);
  EXPECT_TRUE(host_.calls.empty());
  command(Action::chooseIndex, PanelDirection::up, 3);
  EXPECT_EQ(model().selection().get(), ids({"texto 8"}));
  EXPECT_EQ(host_.calls, std::vector<std::string>{"hide"});
  scenario_.rest(1);
  EXPECT_EQ(pasteboardText(), "texto 8");
}

TEST_F(HistoryPanelModelTest, OnlyTheHistoryIsGroupedByDateAndEmptyGroupsAreLeftOut) {
  copy({"del lunes"});
  scenario_.rest(24 * 3600);
  copy({"del martes 1", "del martes 2"});
  feature_->setFavorite(true, {idOf("del lunes")});
  open();
  const auto& groups = model().groups().get();
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].id, "today");
  EXPECT_EQ(groups[0].title, "Hoy");
  EXPECT_EQ(groups[0].items.size(), 2u);
  EXPECT_EQ(groups[1].id, "yesterday");
  EXPECT_EQ(groups[1].items.size(), 1u);

  model().setSection(HistorySections::Favorites{});
  ASSERT_EQ(model().groups().get().size(), 1u);
  EXPECT_EQ(model().groups().get()[0].id, "all");
  EXPECT_EQ(model().groups().get()[0].title, std::nullopt);
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"del lunes"});

  model().setSection(HistorySections::Kind{ItemKind::link});
  EXPECT_TRUE(model().groups().get().empty());
}

TEST_F(HistoryPanelModelTest, TheQueryFiltersTheSectionAndFollowsNewCopies) {
  copy({"camisa roja", "pantalón azul", "zapato rojo"});
  open();
  model().setQuery("roj");
  EXPECT_EQ(visibleTexts(), (std::vector<std::string>{"zapato rojo", "camisa roja"}));
  EXPECT_EQ(model().selection().get(), ids({"zapato rojo"}));

  copy({"sombrero rojo"});
  EXPECT_EQ(visibleTexts(),
            (std::vector<std::string>{"sombrero rojo", "zapato rojo", "camisa roja"}));

  model().setQuery("   ");
  EXPECT_EQ(visibleTexts().size(), 4u);
}

TEST_F(HistoryPanelModelTest, ASearchBeforeTheIndexIsBuiltAheadStillFindsEverything) {
  copy({"camisa roja"});
  open();
  scenario_.desktop.pasteboard.copyText("falda roja");
  feature_->pollPasteboardNow();  // the index for this history is not built yet
  model().setQuery("roja");
  EXPECT_EQ(visibleTexts(), (std::vector<std::string>{"falda roja", "camisa roja"}));
  copy({"bufanda roja", "sombrero azul"});
  EXPECT_EQ(visibleTexts(),
            (std::vector<std::string>{"bufanda roja", "falda roja", "camisa roja"}));

  // Two copies while closed: the index built for the first is not the second's.
  close();
  for (std::string_view text : {"gorra roja", "bolso rojo"}) {
    scenario_.desktop.pasteboard.copyText(text);
    feature_->pollPasteboardNow();
  }
  scenario_.rest(1);
  open();
  model().setQuery("rojo");
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"bolso rojo"});
}

TEST_F(HistoryPanelModelTest, WhileClosedChangesWaitForTheNextOpening) {
  copy({"uno"});
  open();
  close();
  copy({"dos"});
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"uno"});
  open();
  EXPECT_EQ(visibleTexts(), (std::vector<std::string>{"dos", "uno"}));
}

TEST_F(HistoryPanelModelTest, SidebarListsKindsInOrderAndAppsByNameIgnoringCase) {
  copy({"de TextEdit", "https://ejemplo.es/pagina"});
  auto notes = scenario_.desktop.workspace.launch("com.apple.Notes", "notas");
  scenario_.activate(notes);
  copy({"de notas"});
  open();
  EXPECT_EQ(model().kinds().get(), (std::vector<ItemKind>{ItemKind::text, ItemKind::link}));
  ASSERT_EQ(model().apps().get().size(), 2u);
  EXPECT_EQ(model().apps().get()[0], (HistoryAppEntry{"notas", idOf("de notas")}));
  EXPECT_EQ(model().apps().get()[1].name, "TextEdit");
  EXPECT_EQ(model().apps().get()[1].itemID, idOf("https://ejemplo.es/pagina"));

  model().setSection(HistorySections::App{"notas"});
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"de notas"});
}

// Where the desktop names its modifiers, the panel's messages do too.
TEST_F(HistoryPanelModelTest, MessagesNameTheKeysOnDesktopsThatDo) {
  scenario_.desktop.keyboardLayout.style = ShortcutStyle::names;
  copy({"a"});
  open();
  model().click(idOf("a"), false, false);
  command(Action::delete_);
  EXPECT_EQ(messageText(), "Elemento eliminado. Pulsa Ctrl+Z para deshacer.");
}

TEST_F(HistoryPanelModelTest, RemovalSelectsTheNeighbourAndUndoRedoRestoreAndRemoveAgain) {
  copy({"a", "b", "c", "d"});
  open();
  model().click(idOf("a"), false, false);
  command(Action::delete_);
  EXPECT_EQ(visibleTexts(), (std::vector<std::string>{"d", "c", "b"}));
  EXPECT_EQ(focusedText(), "b");
  EXPECT_EQ(messageText(), "Elemento eliminado. Pulsa ⌘Z para deshacer.");

  model().click(idOf("d"), false, false);
  model().click(idOf("c"), true, false);
  command(Action::delete_);
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"b"});
  EXPECT_EQ(messageText(), "2 elementos eliminados. Pulsa ⌘Z para deshacer.");

  command(Action::undo);
  EXPECT_EQ(visibleTexts(), (std::vector<std::string>{"d", "c", "b"}));
  EXPECT_EQ(model().selection().get(), ids({"d", "c"}));
  EXPECT_EQ(focusedText(), "d");

  const std::optional<PanelMessage> before = model().message().get();
  command(Action::redo);
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"b"});
  EXPECT_EQ(model().message().get(), before);
  command(Action::redo);
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"b"});
}

TEST_F(HistoryPanelModelTest, ClosingMakesRemovalsFinal) {
  copy({"a", "b"});
  open();
  command(Action::delete_);
  EXPECT_TRUE(model().canUndo());
  close();
  EXPECT_FALSE(model().canUndo());
  EXPECT_EQ(model().message().get(), std::nullopt);
  open();
  command(Action::undo);
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"a"});
  EXPECT_EQ(feature_->store().get().items().size(), 1u);
}

// Home and End go to the first and last item, a page a screenful of rows; with
// Shift they extend the selection there.
TEST_F(HistoryPanelModelTest, HomeEndAndPagesMoveAcrossTheGrid) {
  copyNumbered(12, "nota");
  open();
  model().setColumns(2);
  model().setRowsPerPage(2);
  // nota 12, 11 | 10, 9 | 8, 7 | ... | 2, 1
  model().selectOnly(idOf("nota 12"));
  command(Action::move, PanelDirection::pageDown);
  EXPECT_EQ(focusedText(), "nota 8");
  command(Action::move, PanelDirection::pageDown);
  EXPECT_EQ(focusedText(), "nota 4");
  command(Action::move, PanelDirection::pageDown);
  EXPECT_EQ(focusedText(), "nota 2");  // as far as the rows go
  command(Action::move, PanelDirection::pageUp);
  EXPECT_EQ(focusedText(), "nota 6");
  command(Action::move, PanelDirection::first);
  EXPECT_EQ(focusedText(), "nota 12");
  command(Action::move, PanelDirection::last);
  EXPECT_EQ(focusedText(), "nota 1");
  command(Action::extend, PanelDirection::pageUp);
  EXPECT_EQ(model().selection().get(), ids({"nota 5", "nota 4", "nota 3", "nota 2", "nota 1"}));
}

TEST_F(HistoryPanelModelTest, ArrowsMoveByColumnsAcrossDateGroups) {
  copyNumbered(3, "lunes");
  scenario_.rest(24 * 3600);
  copyNumbered(6, "martes");
  open();
  model().setColumns(4);
  ASSERT_EQ(model().groups().get().size(), 2u);
  // Today: martes 6 ... martes 1 (positions 0-5); yesterday: lunes 3, 2, 1.
  model().selectOnly(idOf("martes 4"));  // position 2
  command(Action::move, PanelDirection::down);
  EXPECT_EQ(focusedText(), "martes 1");  // the group's last item
  command(Action::move, PanelDirection::down);
  EXPECT_EQ(focusedText(), "lunes 2");  // position 5 mod 4 = 1
  command(Action::move, PanelDirection::down);
  EXPECT_EQ(focusedText(), "lunes 2");

  model().selectOnly(idOf("lunes 1"));  // position 2
  command(Action::move, PanelDirection::up);
  EXPECT_EQ(focusedText(), "martes 1");  // same column in the last row, else its last item
  command(Action::move, PanelDirection::up);
  EXPECT_EQ(focusedText(), "martes 5");

  command(Action::move, PanelDirection::left);
  EXPECT_EQ(focusedText(), "martes 6");
  command(Action::move, PanelDirection::left);
  EXPECT_EQ(focusedText(), "martes 6");

  command(Action::extend, PanelDirection::right);
  command(Action::extend, PanelDirection::right);
  EXPECT_EQ(model().selection().get(), ids({"martes 6", "martes 5", "martes 4"}));
  EXPECT_EQ(model().anchorID(), idOf("martes 6"));
}

TEST_F(HistoryPanelModelTest, ClicksSelectToggleAndExtend) {
  copy({"a", "b", "c", "d"});
  RecordingSearchField field;
  Subscription attached = model().attachSearchField(field);
  model().click(idOf("b"), false, true);  // no anchor yet
  EXPECT_EQ(model().selection().get(), ids({"b"}));
  open();
  model().click(idOf("c"), true, false);
  EXPECT_EQ(model().selection().get(), ids({"d", "c"}));
  model().click(idOf("c"), true, false);
  EXPECT_EQ(model().selection().get(), ids({"d"}));
  EXPECT_EQ(model().anchorID(), idOf("c"));
  EXPECT_EQ(focusedText(), "c");

  model().click(idOf("a"), false, true);
  EXPECT_EQ(model().selection().get(), ids({"c", "b", "a"}));
  EXPECT_EQ(model().anchorID(), idOf("c"));
  EXPECT_EQ(field.calls, std::vector<std::string>(4, "resign"));

  command(Action::focusSearch);
  EXPECT_EQ(field.calls.back(), "focusAll");
  command(Action::selectAll);
  EXPECT_EQ(model().selection().get().size(), 4u);

  attached.reset();
  command(Action::focusSearch);
  EXPECT_EQ(field.calls.size(), 5u);
}

TEST_F(HistoryPanelModelTest, ListsAreNamedFreshAndRenamedOnlyToRealNames) {
  copy({"a", "b"});
  open();
  model().newList();
  const Uuid first = *model().editingList().get();
  model().finishRenaming(first, "   \n");
  EXPECT_EQ(model().editingList().get(), std::nullopt);
  model().newList({idOf("a")});
  const Uuid second = *model().editingList().get();
  const auto& lists = feature_->store().get().lists();
  ASSERT_EQ(lists.size(), 2u);
  EXPECT_EQ(lists[0].name, "Lista nueva");
  EXPECT_EQ(lists[1].name, "Lista nueva 2");
  model().finishRenaming(second, "  Recetas ");
  EXPECT_EQ(feature_->store().get().list(second)->name, "Recetas");

  model().setSection(HistorySections::List{second});
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"a"});
  model().deleteList(second);
  EXPECT_EQ(model().section().get(), HistorySection(HistorySections::History{}));
  EXPECT_EQ(visibleTexts().size(), 2u);
}

TEST_F(HistoryPanelModelTest, IdleResetFollowsTheSetting) {
  copy({"a", "b"});
  const auto openAfterClosing = [&](double seconds) {
    open();
    model().setQuery("a");
    model().setSection(HistorySections::Favorites{});
    close();
    scenario_.rest(seconds);
    open();
    return model().query().get().empty();
  };
  EXPECT_FALSE(openAfterClosing(300));
  EXPECT_TRUE(openAfterClosing(301));
  EXPECT_EQ(model().section().get(), HistorySection(HistorySections::History{}));

  feature_->update([](auto& settings) { settings.resetAfterMinutes = 0; });
  EXPECT_TRUE(openAfterClosing(0));
  feature_->update([](auto& settings) { settings.resetAfterMinutes = std::nullopt; });
  EXPECT_FALSE(openAfterClosing(24 * 3600));
}

TEST_F(HistoryPanelModelTest, PastingWithoutPermissionKeepsThePanelAndOffersTheButton) {
  copy({"hola"});
  open();
  scenario_.desktop.trust.trusted = false;
  command(Action::choose);
  EXPECT_TRUE(host_.calls.empty());
  scenario_.rest(1);
  ASSERT_TRUE(model().message().get());
  EXPECT_EQ(model().message().get()->text,
            "Copiado. Pulsa ⌘V para pegarlo, o permite que Mirlet lo pegue por ti.");
  EXPECT_EQ(model().message().get()->action, PanelMessage::Action::grantAccessibility);
  scenario_.rest(10);
  EXPECT_TRUE(model().message().get());
  EXPECT_EQ(scenario_.desktop.accessibility.announcements().back(), model().message().get()->text);

  command(Action::delete_);
  scenario_.rest(4.9);
  EXPECT_TRUE(model().message().get());
  scenario_.rest(0.2);
  EXPECT_EQ(model().message().get(), std::nullopt);
}

TEST_F(HistoryPanelModelTest, ChoosingHidesThePanelAndPastesIntoTheTarget) {
  copy({"hola"});
  open();
  model().setTarget(scenario_.desktop.workspace.frontmostApplication());
  command(Action::choose);
  EXPECT_EQ(host_.calls, std::vector<std::string>{"hide"});
  scenario_.rest(2);
  EXPECT_EQ(model().message().get(), std::nullopt);

  feature_->update([](auto& settings) { settings.keepOnTop = true; });
  host_.calls.clear();
  command(Action::copy);
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(HistoryPanelModelTest, CuttingCopiesThenRemovesWithUndo) {
  copy({"a", "b"});
  open();
  command(Action::cut);
  scenario_.rest(1);
  EXPECT_EQ(pasteboardText(), "b");
  EXPECT_EQ(visibleTexts(), std::vector<std::string>{"a"});
  EXPECT_TRUE(model().canUndo());
}

TEST_F(HistoryPanelModelTest, CommandsReachTheFeatureAndTheWindow) {
  copy({"a", "b"});
  open();
  command(Action::toggleFavorite);
  EXPECT_TRUE(feature_->store().get().item(idOf("b"))->isFavorite);
  model().click(idOf("a"), true, false);
  command(Action::toggleFavorite);
  EXPECT_TRUE(feature_->store().get().item(idOf("a"))->isFavorite);
  command(Action::toggleFavorite);
  EXPECT_FALSE(feature_->store().get().item(idOf("b"))->isFavorite);

  for (int i = 0; i < 3; ++i) command(Action::largerTiles);
  EXPECT_EQ(feature_->settings().get().tileSize, ClipboardHistorySettings::TileSize::large);
  for (int i = 0; i < 3; ++i) command(Action::smallerTiles);
  EXPECT_EQ(feature_->settings().get().tileSize, ClipboardHistorySettings::TileSize::small);

  command(Action::togglePause);
  EXPECT_TRUE(feature_->isPaused());
  command(Action::toggleSidebar);
  EXPECT_FALSE(model().showSidebar().get());
  command(Action::openSettings);
  command(Action::quickLook);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"hide", "settings", "quickLook"}));
}

TEST_F(HistoryPanelModelTest, OpenAndRevealActOnlyOnKindsThatHaveThem) {
  copy({"solo texto", "https://ejemplo.es/pagina"});
  open();
  command(Action::selectAll);
  command(Action::open);
  EXPECT_EQ(scenario_.desktop.workspace.openedURLs(),
            std::vector<std::string>{"https://ejemplo.es/pagina"});
  command(Action::revealInFinder);
  EXPECT_TRUE(scenario_.desktop.workspace.revealedFiles().empty());
}

TEST_F(HistoryPanelModelTest, DraggingCarriesTheSelectionAndDropsAddToTheList) {
  copy({"a", "b", "c"});
  open();
  model().click(idOf("b"), true, false);
  const HistoryPanelModel::DragData drag = model().dragData(idOf("c"));
  EXPECT_EQ(drag.itemIDs, idOf("c").toString() + "\n" + idOf("b").toString());
  const auto plain = std::ranges::find(drag.shared, std::string("public.utf8-plain-text"),
                                       &PasteboardItemData::Representation::type);
  ASSERT_NE(plain, drag.shared.end());
  EXPECT_EQ(std::string(plain->data.begin(), plain->data.end()), "c");  // the first item's
  EXPECT_EQ(std::ranges::count(drag.shared, plain->type, &PasteboardItemData::Representation::type),
            1);
  EXPECT_EQ(model().dragData(idOf("a")).itemIDs, idOf("a").toString());

  const Uuid list = feature_->createList("Compras");
  auto other = std::make_shared<ScriptedDrop>("public.png");
  EXPECT_FALSE(model().handleDrop({other}, list));
  auto ours = std::make_shared<ScriptedDrop>(HistoryPanelModel::kItemIDType);
  EXPECT_TRUE(model().handleDrop({other, ours}, list));
  const std::string text = drag.itemIDs + "\n\nno-es-un-id\n";
  ours->pending.at(0)(Bytes(text.begin(), text.end()));
  scenario_.settle();
  EXPECT_EQ(feature_->store().get().list(list)->itemIDs.size(), 2u);

  EXPECT_TRUE(model().handleDrop({ours}, list));
  ours->pending.at(1)(Bytes{0xff, 0xfe});
  scenario_.settle();
  EXPECT_EQ(feature_->store().get().list(list)->itemIDs.size(), 2u);
}

TEST_F(HistoryPanelModelTest, DroppedDataArrivingAfterTheModelIsGoneIsIgnored) {
  copy({"a"});
  const Uuid list = feature_->createList("Compras");
  auto ours = std::make_shared<ScriptedDrop>(HistoryPanelModel::kItemIDType);
  ASSERT_TRUE(model().handleDrop({ours}, list));
  model_.reset();
  const std::string text = idOf("a").toString();
  ours->pending.at(0)(Bytes(text.begin(), text.end()));
  scenario_.settle();
  EXPECT_TRUE(feature_->store().get().list(list)->itemIDs.empty());
}

}  // namespace
}  // namespace mirlet
