#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ClipboardHistory/model/HistoryStore.h"

namespace mirlet::HistoryScripting {

// One item as scripts see it. A private item's content is never in it, whatever
// is asked: its preview is "Privado".
struct Entry {
  std::string id;       // the item's UUID
  std::string kind;     // the kind's case name ("richText")
  std::string preview;  // one line
  bool isPrivate = false;
  friend bool operator==(const Entry&, const Entry&) = default;
};

inline constexpr std::size_t kPreviewCharacters = 80;

// The items the panel's search finds for `query` (all of them for a blank one), in
// the panel's order (the latest used first), at most `limit` of them.
std::vector<Entry> find(const HistoryStore& store, std::string_view query, std::size_t limit);

// One line an entry, id, kind and preview separated by tabs.
std::string lines(const std::vector<Entry>& entries);
// A JSON array of objects with "id", "kind", "preview" and "private".
std::string json(const std::vector<Entry>& entries);

}  // namespace mirlet::HistoryScripting
