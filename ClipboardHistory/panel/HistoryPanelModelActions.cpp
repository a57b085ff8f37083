#include <algorithm>
#include <unordered_set>

#include "ClipboardHistory/panel/HistoryPanelModel.h"
#include "core/ShortcutText.h"
#include "core/UnicodeText.h"

// The history panel's commands and actions on items.

namespace mirlet {
namespace {

constexpr std::string_view kUseFailed = "No se pudo usar el elemento.";
constexpr std::string_view kNewListName = "Lista nueva";

template <std::size_t Count>
bool isAmong(const std::array<ItemKind, Count>& kinds, ItemKind kind) {
  return std::ranges::find(kinds, kind) != kinds.end();
}

// The non-empty lines of a text.
std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> result;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (end > 0) result.push_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return result;
}

}  // namespace

void HistoryPanelModel::perform(const PanelCommand& command) {
  using Action = PanelCommand::Action;
  switch (command.action) {
    case Action::chooseIndex: {
      const auto& visible = visible_.get();
      if (command.index < 1 || static_cast<std::size_t>(command.index) > visible.size()) return;
      const Uuid id = visible[static_cast<std::size_t>(command.index) - 1]->id;
      selectOnly(id);
      return choose({id}, false, pasteBySetting());
    }
    case Action::move:
      return move(command.direction, false);
    case Action::extend:
      return move(command.direction, true);
    case Action::choose:
      return choose(selectedIDs(), false, pasteBySetting());
    case Action::choosePlain:
      return choose(selectedIDs(), true, true);
    case Action::chooseAlternate:
      return choose(selectedIDs(), false, !pasteBySetting());
    case Action::copy:
      return choose(selectedIDs(), false, false);
    case Action::copyPlain:
      return choose(selectedIDs(), true, false);
    case Action::cut:
      return cut(selectedIDs());
    case Action::delete_:
      return remove(selectedIDs());
    case Action::undo:
      return undo();
    case Action::redo:
      return redo();
    case Action::selectAll: {
      std::set<Uuid> all;
      for (const ItemPointer& item : visible_.get()) all.insert(item->id);
      selection_.set(std::move(all));
      if (!focusID_.get() && !visible_.get().empty()) focusID_.set(visible_.get().front()->id);
      return;
    }
    case Action::focusSearch:
      return focusSearch(true);
    case Action::quickLook:
      return environment_.host.toggleQuickLook();
    case Action::toggleFavorite:
      return toggleFavorite();
    case Action::newList:
      return newList();
    case Action::open:
      return open(selectedIDs());
    case Action::revealInFinder:
      return reveal(selectedIDs());
    case Action::toggleSidebar:
      return showSidebar_.set(!showSidebar_.get());
    case Action::largerTiles:
      return stepTileSize(1);
    case Action::smallerTiles:
      return stepTileSize(-1);
    case Action::toggleKeepOnTop:
      return feature_.update([](auto& settings) { settings.keepOnTop = !settings.keepOnTop; });
    case Action::togglePause:
      return feature_.setPaused(!feature_.isPaused());
    case Action::openSettings:
      environment_.host.hide();
      return environment_.host.openSettings();
    case Action::close:
      return environment_.host.hide();
  }
}

bool HistoryPanelModel::pasteBySetting() const {
  return feature_.settings().get().chooseAction == ClipboardHistorySettings::ChooseAction::paste;
}

void HistoryPanelModel::stepTileSize(int step) {
  using TileSize = ClipboardHistorySettings::TileSize;
  feature_.update([step](ClipboardHistorySettings& settings) {
    const int size =
        std::clamp(static_cast<int>(settings.tileSize) + step, static_cast<int>(TileSize::small),
                   static_cast<int>(TileSize::large));
    settings.tileSize = static_cast<TileSize>(size);
  });
}

void HistoryPanelModel::toggleFavorite() {
  const std::vector<Uuid> ids = selectedIDs();
  if (ids.empty()) return;
  const bool anyNotFavorite = std::ranges::any_of(ids, [&](const Uuid& id) {
    const ClipboardItem* item = store_.get().item(id);
    return !item || !item->isFavorite;
  });
  feature_.setFavorite(anyNotFavorite, ids);
}

// Using items.

void HistoryPanelModel::choose(const std::vector<Uuid>& ids, bool plain, bool paste) {
  if (ids.empty()) return;
  const bool needsPermission = paste && !feature_.accessibilityGranted();
  const bool hides = !feature_.settings().get().keepOnTop && !needsPermission;
  if (hides) environment_.host.hide();
  feature_.choose(ids, plain, paste, target_,
                  handoff_.bind([this, hides, needsPermission](ChooseOutcome outcome) {
                    finishChoosing(outcome, hides, needsPermission);
                  }));
}

void HistoryPanelModel::finishChoosing(ChooseOutcome outcome, bool hidden, bool neededPermission) {
  switch (outcome) {
    case ChooseOutcome::pasted:
    case ChooseOutcome::copied:
      return;
    case ChooseOutcome::copiedWithoutPaste:
      if (hidden) environment_.host.reveal();
      if (neededPermission) {
        return show("Copiado. Pulsa ⌘V para pegarlo, o permite que Mirlet lo pegue por ti.", false,
                    PanelMessage::Action::grantAccessibility);
      }
      return show("Copiado. La app donde estabas escribiendo ya no está abierta.", false,
                  std::nullopt);
    case ChooseOutcome::failed:
      if (hidden) environment_.host.reveal();
      return show(std::string(kUseFailed), true, std::nullopt);
  }
}

void HistoryPanelModel::cut(const std::vector<Uuid>& ids) {
  if (ids.empty()) return;
  feature_.choose(ids, false, false, nullptr, handoff_.bind([this, ids](ChooseOutcome outcome) {
    if (outcome == ChooseOutcome::copied) return remove(ids);
    show(std::string(kUseFailed), true, std::nullopt);
  }));
}

void HistoryPanelModel::open(const std::vector<Uuid>& ids) {
  for (const Uuid& id : ids) {
    const ClipboardItem* item = store_.get().item(id);
    if (item && !item->isPrivate && isAmong(openableKinds, item->kind)) {
      feature_.open(id);
    }
  }
}

void HistoryPanelModel::reveal(const std::vector<Uuid>& ids) {
  for (const Uuid& id : ids) {
    const ClipboardItem* item = store_.get().item(id);
    if (item && !item->isPrivate && isAmong(revealableKinds, item->kind)) {
      feature_.revealInFileManager(id);
    }
  }
}

// Removal with undo.

void HistoryPanelModel::remove(const std::vector<Uuid>& ids) {
  if (ids.empty()) return;
  const std::optional<Uuid> next = neighborAfterRemoving(ids);
  undoStack_.push_back(feature_.remove(ids));
  redoStack_.clear();
  if (next) selectOnly(*next);
  show(ids.size() == 1
           ? std::string("Elemento eliminado. Pulsa ⌘Z para deshacer.")
           : std::to_string(ids.size()) + " elementos eliminados. Pulsa ⌘Z para deshacer.",
       false, std::nullopt);
}

std::optional<Uuid> HistoryPanelModel::neighborAfterRemoving(const std::vector<Uuid>& ids) const {
  const std::unordered_set<Uuid> removing(ids.begin(), ids.end());
  std::optional<std::size_t> first;
  std::optional<std::size_t> last;
  for (const Uuid& id : ids) {
    const auto at = visiblePositions_.find(id);
    if (at == visiblePositions_.end()) continue;
    first = std::min(first.value_or(at->second), at->second);
    last = std::max(last.value_or(at->second), at->second);
  }
  if (!first) return std::nullopt;
  const auto& visible = visible_.get();
  for (std::size_t i = *last + 1; i < visible.size(); ++i) {
    if (!removing.contains(visible[i]->id)) return visible[i]->id;
  }
  for (std::size_t i = *first; i-- > 0;) {
    if (!removing.contains(visible[i]->id)) return visible[i]->id;
  }
  return std::nullopt;
}

void HistoryPanelModel::undo() {
  if (undoStack_.empty()) return;
  Removal removal = std::move(undoStack_.back());
  undoStack_.pop_back();
  feature_.restore(removal);
  const std::vector<Uuid> ids = removal.itemIDs();
  redoStack_.push_back(std::move(removal));
  reselect(ids);
}

void HistoryPanelModel::redo() {
  if (redoStack_.empty()) return;
  const std::vector<Uuid> ids = redoStack_.back().itemIDs();
  redoStack_.pop_back();
  undoStack_.push_back(feature_.remove(ids));
}

void HistoryPanelModel::reselect(const std::vector<Uuid>& ids) {
  const std::unordered_set<Uuid> wanted(ids.begin(), ids.end());
  std::set<Uuid> selection;
  std::optional<Uuid> first;
  for (const ItemPointer& item : visible_.get()) {
    if (!wanted.contains(item->id)) continue;
    if (!first) first = item->id;
    selection.insert(item->id);
  }
  if (!first) return;
  selection_.set(std::move(selection));
  anchorID_ = first;
  focusID_.set(first);
}

// Lists.

void HistoryPanelModel::newList() {
  showSidebar_.set(true);
  editingList_.set(feature_.createList(freshListName()));
}

void HistoryPanelModel::newList(const std::vector<Uuid>& adding) {
  newList();
  feature_.add(adding, *editingList_.get());
}

std::string HistoryPanelModel::freshListName() const {
  const auto& lists = store_.get().lists();
  const auto taken = [&](const std::string& name) {
    return std::ranges::any_of(lists, [&](const ItemList& list) { return list.name == name; });
  };
  std::string name(kNewListName);
  for (int number = 2; taken(name); ++number) {
    name = std::string(kNewListName) + " " + std::to_string(number);
  }
  return name;
}

void HistoryPanelModel::finishRenaming(const Uuid& id, std::string_view name) {
  const std::string_view trimmed = UnicodeText::trimWhitespace(name);
  if (!trimmed.empty()) feature_.renameList(id, std::string(trimmed));
  if (!editingList_.get() || *editingList_.get() == id) editingList_.set(std::nullopt);
}

void HistoryPanelModel::deleteList(const Uuid& id) {
  if (section_.get() == HistorySection(HistorySections::List{id})) {
    setSection(HistorySections::History{});
  }
  feature_.deleteList(id);
}

// Search field and messages.

void HistoryPanelModel::focusSearch(bool selectAll) {
  if (searchField_) searchField_->focus(selectAll);
}

void HistoryPanelModel::show(std::string text, bool isError,
                             std::optional<PanelMessage::Action> action) {
  text = shortcutText(text, feature_.shortcutStyle());
  const Uuid id = Uuid::random();
  environment_.accessibility.announce(text);
  message_.set(PanelMessage{id, std::move(text), isError, action});
  messageTimer_.reset();
  if (action) return;
  messageTimer_ = handoff_.postAfter(environment_.mainLoop, kMessageLifetime, [this, id] {
    if (message_.get() && message_.get()->id == id) message_.set(std::nullopt);
  });
}

// Drag and drop.

HistoryPanelModel::DragData HistoryPanelModel::dragData(const Uuid& id) const {
  const std::vector<Uuid> ids = selection_.get().contains(id) ? selectedIDs() : std::vector{id};
  DragData data;
  std::unordered_set<std::string> types;
  for (const PasteboardItemData& item : feature_.pasteboardItems(ids)) {
    for (const auto& representation : item.representations) {
      if (types.insert(representation.type).second) data.shared.push_back(representation);
    }
  }
  for (const Uuid& dragged : ids) {
    if (!data.itemIDs.empty()) data.itemIDs += '\n';
    data.itemIDs += dragged.toString();
  }
  return data;
}

bool HistoryPanelModel::handleDrop(
    const std::vector<std::shared_ptr<const DropProvider>>& providers, const Uuid& listID) {
  bool accepted = false;
  for (const auto& provider : providers) {
    if (!provider->declares(kItemIDType)) continue;
    accepted = true;
    // Arrives on any thread; the ids go to the feature on the main thread.
    provider->load(kItemIDType, handoff_.bind([this, listID](std::optional<Bytes> data) {
      if (!data) return;
      const std::string text(data->begin(), data->end());
      if (!UnicodeText::isValidUtf8(text)) return;
      std::vector<Uuid> ids;
      for (std::string_view line : lines(text)) {
        if (auto id = Uuid::parse(line)) ids.push_back(*id);
      }
      handoff_.post(environment_.mainLoop, [this, ids, listID] { feature_.add(ids, listID); });
    }));
  }
  return accepted;
}

// Images.

std::optional<Bytes> HistoryPanelModel::thumbnail(const Uuid& id) {
  return imageCache_.get("t:" + id.toString(), [&] { return feature_.thumbnail(id); });
}

std::optional<Bytes> HistoryPanelModel::sourceIcon(const Uuid& id) {
  return imageCache_.get("s:" + id.toString(), [&] { return feature_.sourceIcon(id); });
}

std::optional<Bytes> HistoryPanelModel::fileIcon(const ClipboardItem& item) {
  return imageCache_.get("f:" + item.id.toString(), [&]() -> std::optional<Bytes> {
    const std::vector<std::string_view> paths = lines(item.text);
    if (paths.empty()) return std::nullopt;
    return environment_.workspace.fileIcon(std::string(paths.front()));
  });
}

}  // namespace mirlet
