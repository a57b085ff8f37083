#include "ClipboardHistory/model/SearchIndex.h"

#include <cstring>
#include <unordered_map>

#include "ClipboardHistory/model/HistorySearch.h"
#include "core/UnicodeText.h"

namespace mirlet {
namespace {

std::vector<std::string> terms(std::string_view query) {
  const std::string normalized = HistorySearch::normalize(query);
  std::vector<std::string> result;
  for (std::string_view word : UnicodeText::words(normalized)) result.emplace_back(word);
  return result;
}

bool contains(const std::string& haystack, const std::string& term) {
  return ::memmem(haystack.data(), haystack.size(), term.data(), term.size()) != nullptr;
}

}  // namespace

SearchIndex::Key SearchIndex::Key::of(const ClipboardItem& item) {
  return {item.kind,       item.isPrivate,   item.fingerprint, item.text.size(),
          item.sourceName, item.windowTitle, item.linkTitle};
}

void SearchIndex::build(std::size_t count,
                        const std::function<const ClipboardItem&(std::size_t)>& itemAt,
                        const SearchIndex& previous) {
  std::unordered_map<Uuid, std::size_t> previousPositions;
  previousPositions.reserve(previous.entries_.size());
  for (std::size_t i = 0; i < previous.entries_.size(); ++i) {
    previousPositions.emplace(previous.entries_[i].id, i);
  }
  entries_.reserve(count);
  keys_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const ClipboardItem& item = itemAt(i);
    Key key = Key::of(item);
    auto found = previousPositions.find(item.id);
    if (found != previousPositions.end() && previous.keys_[found->second] == key) {
      entries_.push_back({item.id, previous.entries_[found->second].haystack});
    } else {
      entries_.push_back({item.id, HistorySearch::haystack(item)});
      ++normalisedCount_;
    }
    keys_.push_back(std::move(key));
  }
}

std::vector<Uuid> SearchIndex::filter(std::string_view query) const {
  const std::vector<std::string> wanted = terms(query);
  std::vector<Uuid> ids;
  for (const Entry& entry : entries_) {
    bool matches = true;
    for (const std::string& term : wanted) {
      if (!contains(entry.haystack, term)) {
        matches = false;
        break;
      }
    }
    if (matches) ids.push_back(entry.id);
  }
  return ids;
}

}  // namespace mirlet
