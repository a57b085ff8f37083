#include "ClipboardHistory/panel/TileMenu.h"

#include <algorithm>

#include "core/Overloaded.h"
#include "core/ShortcutStyle.h"

namespace mirlet {

TileMenu::TileMenu(HistoryPanelModel& model, ClipboardHistoryFeature& feature, const Uuid& clicked)
    : model_(model), feature_(feature), clicked_(clicked) {
  if (model.selection().get().contains(clicked)) {
    for (const ItemPointer& item : model.visible().get()) {
      if (model.selection().get().contains(item->id)) ids_.push_back(item->id);
    }
  } else {
    ids_.push_back(clicked);
  }
}

std::vector<TileMenu::Entry> TileMenu::entries() const {
  const HistoryStore& store = model_.store().get();
  std::vector<const ClipboardItem*> items;
  for (const Uuid& id : ids_) {
    if (const ClipboardItem* item = store.item(id)) items.push_back(item);
  }
  const auto any = [&](const auto& kinds) {
    return std::ranges::any_of(items, [&](const ClipboardItem* item) {
      return std::ranges::find(kinds, item->kind) != kinds.end();
    });
  };
  const bool anyNotFavorite =
      items.size() < ids_.size() ||
      std::ranges::any_of(items, [](auto* item) { return !item->isFavorite; });

  std::vector<Entry> entries{
      {"Pegar", Choose{false, true}, {}},
      {"Pegar sin formato", Choose{true, true}, {}},
      {"Copiar", Choose{false, false}, {}},
      {"Copiar sin formato", Choose{true, false}, {}},
      {"Cortar", Cut{}, {}},
      {anyNotFavorite ? "Añadir a Favoritos" : "Quitar de Favoritos",
       SetFavorite{anyNotFavorite},
       {}},
  };
  Entry lists{"Añadir a lista", Submenu{}, {}};
  for (const ItemList& list : store.lists())
    lists.entries.push_back({list.name, AddToList{list.id}, {}});
  lists.entries.push_back({"Nueva lista", AddToNewList{}, {}});
  entries.push_back(std::move(lists));
  if (const auto* shown = std::get_if<HistorySections::List>(&model_.section().get())) {
    entries.push_back({"Quitar de esta lista", RemoveFromList{shown->id}, {}});
  }
  if (any(HistoryPanelModel::openableKinds)) {
    entries.push_back({"Abrir", Open{}, {}});
    Entry openWith{"Abrir con", Submenu{}, {}};
    for (const ApplicationInfo& app : feature_.applicationsToOpen(clicked_)) {
      openWith.entries.push_back({app.name, OpenWith{app.bundleIdentifier}, {}});
    }
    if (!openWith.entries.empty()) entries.push_back(std::move(openWith));
  }
  if (any(HistoryPanelModel::revealableKinds))
    entries.push_back({feature_.shortcutStyle() == ShortcutStyle::names ? "Mostrar en la carpeta"
                                                                        : "Mostrar en Finder",
                       Reveal{},
                       {}});
  const ClipboardItem* clicked = store.item(clicked_);
  if (clicked && clicked->kind == ItemKind::email) {
    entries.push_back({"Redactar correo", ComposeEmail{}, {}});
  }
  entries.push_back({"Eliminar", Remove{}, {}});
  return entries;
}

void TileMenu::perform(const Action& action) {
  if (ids_.empty()) return;
  std::visit(Overloaded{
                 [&](const Choose& choose) { model_.choose(ids_, choose.plain, choose.paste); },
                 [&](const Cut&) { model_.cut(ids_); },
                 [&](const SetFavorite& set) { feature_.setFavorite(set.favorite, ids_); },
                 [&](const AddToList& add) { feature_.add(ids_, add.listID); },
                 [&](const AddToNewList&) { model_.newList(ids_); },
                 [&](const RemoveFromList& list) { feature_.removeFromList(ids_, list.listID); },
                 [&](const Open&) { model_.open(ids_); },
                 [&](const OpenWith& with) { feature_.open(clicked_, with.bundleIdentifier); },
                 [&](const Reveal&) { model_.reveal(ids_); },
                 [&](const ComposeEmail&) { feature_.composeEmail(clicked_); },
                 [&](const Remove&) { model_.remove(ids_); },
                 [](const Submenu&) {},
             },
             action);
}

}  // namespace mirlet
