#pragma once

#include <string>
#include <variant>
#include <vector>

#include "ClipboardHistory/panel/HistoryPanelModel.h"

namespace mirlet {

// The context menu of a tile: what it offers for the items it acts on, and what
// each entry does. It acts on the selection when the clicked item is part of it,
// otherwise on the clicked item alone.
class TileMenu {
 public:
  // What an entry does.
  struct Choose {
    bool plain;
    bool paste;
    friend bool operator==(const Choose&, const Choose&) = default;
  };
  struct Cut {
    friend bool operator==(const Cut&, const Cut&) = default;
  };
  struct SetFavorite {
    bool favorite;
    friend bool operator==(const SetFavorite&, const SetFavorite&) = default;
  };
  struct AddToList {
    Uuid listID;
    friend bool operator==(const AddToList&, const AddToList&) = default;
  };
  struct AddToNewList {
    friend bool operator==(const AddToNewList&, const AddToNewList&) = default;
  };
  struct RemoveFromList {
    Uuid listID;
    friend bool operator==(const RemoveFromList&, const RemoveFromList&) = default;
  };
  struct Open {
    friend bool operator==(const Open&, const Open&) = default;
  };
  struct OpenWith {
    std::string bundleIdentifier;
    friend bool operator==(const OpenWith&, const OpenWith&) = default;
  };
  struct Reveal {
    friend bool operator==(const Reveal&, const Reveal&) = default;
  };
  struct ComposeEmail {
    friend bool operator==(const ComposeEmail&, const ComposeEmail&) = default;
  };
  struct Remove {
    friend bool operator==(const Remove&, const Remove&) = default;
  };
  struct Submenu {
    friend bool operator==(const Submenu&, const Submenu&) = default;
  };
  using Action = std::variant<Choose, Cut, SetFavorite, AddToList, AddToNewList, RemoveFromList,
                              Open, OpenWith, Reveal, ComposeEmail, Remove, Submenu>;

  struct Entry {
    std::string title;
    Action action;
    std::vector<Entry> entries;  // a submenu's
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  TileMenu(HistoryPanelModel& model, ClipboardHistoryFeature& feature, const Uuid& clicked);

  const std::vector<Uuid>& ids() const { return ids_; }
  std::vector<Entry> entries() const;
  void perform(const Action& action);

 private:
  HistoryPanelModel& model_;
  ClipboardHistoryFeature& feature_;
  Uuid clicked_;
  std::vector<Uuid> ids_;
};

}  // namespace mirlet
