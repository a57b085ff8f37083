#include "ClipboardHistory/service/HistoryScripting.h"

#include <nlohmann/json.hpp>

#include "ClipboardHistory/model/SearchIndex.h"
#include "core/UnicodeText.h"

namespace mirlet::HistoryScripting {
namespace {

// The text on one line, white space runs made one space, cut to the preview's
// length; the kind's title where the item shows no text (images, files unnamed).
std::string preview(const ClipboardItem& item) {
  if (item.isPrivate) return "Privado";
  std::string line;
  for (std::string_view word : UnicodeText::words(item.text)) {
    if (!line.empty()) line += ' ';
    line += word;
    if (line.size() > kPreviewCharacters * 4) break;  // enough for any cut below
  }
  if (line.empty()) return std::string(ItemKinds::title(item.kind));
  const std::string_view cut = UnicodeText::prefixOfCharacters(line, kPreviewCharacters);
  return cut.size() < line.size() ? std::string(cut) + "…" : line;
}

}  // namespace

std::vector<Entry> find(const HistoryStore& store, std::string_view query, std::size_t limit) {
  const HistoryItems& items = store.items();
  std::vector<Entry> entries;
  // The ids found come in the items' order: one walk over the items finds them all.
  std::size_t at = 0;
  for (const Uuid& id : SearchIndex(items).filter(query)) {
    if (entries.size() >= limit) break;
    while (at < items.size() && items[at].id != id) ++at;
    if (at == items.size()) break;
    const ClipboardItem& item = items[at];
    entries.push_back({id.toString(), std::string(ItemKinds::rawValue(item.kind)), preview(item),
                       item.isPrivate});
  }
  return entries;
}

std::string lines(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& entry : entries) {
    text += entry.id + '\t' + entry.kind + '\t' + entry.preview + '\n';
  }
  return text;
}

std::string json(const std::vector<Entry>& entries) {
  nlohmann::json array = nlohmann::json::array();
  for (const Entry& entry : entries) {
    array.push_back({{"id", entry.id},
                     {"kind", entry.kind},
                     {"preview", entry.preview},
                     {"private", entry.isPrivate}});
  }
  return array.dump() + '\n';
}

}  // namespace mirlet::HistoryScripting
