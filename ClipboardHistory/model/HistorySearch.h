#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ClipboardHistory/model/ClipboardItem.h"

namespace mirlet {

// What the panel's search matches against: one normalised text per item.
namespace HistorySearch {

// Case, accent and width folded, as Spanish text is compared: "CANCIÓN" and
// "canción" give "cancion"; full-width letters give the ordinary ones.
std::string normalize(std::string_view text);
// Spanish words for a kind, already normalised.
const std::vector<std::string_view>& synonyms(ItemKind kind);
// The words a private item is found by instead of its content.
const std::vector<std::string_view>& privateWords();
// Source name, window title, then the text cut to 5000 characters, the link
// title and the kind's words (or the private words), normalised.
std::string haystack(const ClipboardItem& item);

inline constexpr std::size_t maximumSearchedTextLength = 5000;  // characters

}  // namespace HistorySearch
}  // namespace mirlet
