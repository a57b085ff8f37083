#pragma once

#include <string>
#include <variant>

#include "ClipboardHistory/model/ItemKind.h"
#include "core/Uuid.h"

namespace mirlet {

// What the history panel's grid shows.
namespace HistorySections {
struct History {
  friend bool operator==(const History&, const History&) = default;
};
struct Favorites {
  friend bool operator==(const Favorites&, const Favorites&) = default;
};
// A user list: its items, in history order.
struct List {
  Uuid id;
  friend bool operator==(const List&, const List&) = default;
};
// The items copied in one application, by its name.
struct App {
  std::string name;
  friend bool operator==(const App&, const App&) = default;
};
struct Kind {
  ItemKind kind;
  friend bool operator==(const Kind&, const Kind&) = default;
};
}  // namespace HistorySections

using HistorySection =
    std::variant<HistorySections::History, HistorySections::Favorites, HistorySections::List,
                 HistorySections::App, HistorySections::Kind>;

}  // namespace mirlet
