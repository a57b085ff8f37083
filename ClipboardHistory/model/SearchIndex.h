#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ClipboardHistory/model/ClipboardItem.h"

namespace mirlet {

// One normalised haystack per item, in item order, for substring search.
//
// Rebuilding after a change reuses the haystack of every item whose searchable
// fields did not change, so one new capture costs one normalisation, not one per
// item. An item's text is taken to follow its fingerprint and length, as it does:
// the history never edits a text in place.
class SearchIndex {
 public:
  struct Entry {
    Uuid id;
    std::string haystack;
  };

  SearchIndex() = default;
  // `items` is any random-access sequence of items (a history's, or a vector).
  template <class Items>
  explicit SearchIndex(const Items& items) : SearchIndex(items, SearchIndex()) {}
  template <class Items>
  SearchIndex(const Items& items, const SearchIndex& previous) {
    build(
        items.size(), [&](std::size_t i) -> const ClipboardItem& { return items[i]; }, previous);
  }

  const std::vector<Entry>& entries() const { return entries_; }
  // How many haystacks this build normalised rather than reused.
  std::size_t normalisedCount() const { return normalisedCount_; }

  // The ids whose haystack contains every term of the normalised query, in entry
  // order; every id for a blank query.
  std::vector<Uuid> filter(std::string_view query) const;

 private:
  void build(std::size_t count, const std::function<const ClipboardItem&(std::size_t)>& item,
             const SearchIndex& previous);

  // What a haystack is made from, short of the text itself.
  struct Key {
    ItemKind kind;
    bool isPrivate;
    std::string fingerprint;
    std::size_t textLength;
    std::optional<std::string> sourceName;
    std::optional<std::string> windowTitle;
    std::optional<std::string> linkTitle;

    static Key of(const ClipboardItem& item);
    friend bool operator==(const Key&, const Key&) = default;
  };

  std::vector<Entry> entries_;
  std::vector<Key> keys_;
  std::size_t normalisedCount_ = 0;
};

}  // namespace mirlet
