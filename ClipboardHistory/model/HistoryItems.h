#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

#include "ClipboardHistory/model/ClipboardItem.h"

namespace mirlet {

// The items of a history as a read-only sequence of `ClipboardItem`s. The items
// themselves are shared and immutable, so copying a history copies pointers, and a
// changed item is a new one.
class HistoryItems {
 public:
  using Pointer = std::shared_ptr<const ClipboardItem>;
  using Storage = std::vector<Pointer>;

  class const_iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = ClipboardItem;
    using difference_type = std::ptrdiff_t;
    using pointer = const ClipboardItem*;
    using reference = const ClipboardItem&;

    const_iterator() = default;
    explicit const_iterator(Storage::const_iterator at) : at_(at) {}
    reference operator*() const { return **at_; }
    pointer operator->() const { return at_->get(); }
    reference operator[](difference_type n) const { return *at_[n]; }
    const_iterator& operator++() { return ++at_, *this; }
    const_iterator operator++(int) { return const_iterator(at_++); }
    const_iterator& operator--() { return --at_, *this; }
    const_iterator operator--(int) { return const_iterator(at_--); }
    const_iterator& operator+=(difference_type n) { return at_ += n, *this; }
    const_iterator& operator-=(difference_type n) { return at_ -= n, *this; }
    friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
    friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
    friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
      return a.at_ - b.at_;
    }
    friend auto operator<=>(const const_iterator&, const const_iterator&) = default;

   private:
    Storage::const_iterator at_;
  };
  using iterator = const_iterator;

  HistoryItems() = default;

  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  const ClipboardItem& operator[](std::size_t index) const { return *items_[index]; }
  const ClipboardItem& front() const { return *items_.front(); }
  const ClipboardItem& back() const { return *items_.back(); }
  const_iterator begin() const { return const_iterator(items_.begin()); }
  const_iterator end() const { return const_iterator(items_.end()); }
  // The shared item at that position, to keep it without copying it.
  const Pointer& shared(std::size_t index) const { return items_[index]; }
  const Storage& storage() const { return items_; }

  // Equal items in the same order, shared or not.
  friend bool operator==(const HistoryItems& a, const HistoryItems& b) {
    return std::equal(a.items_.begin(), a.items_.end(), b.items_.begin(), b.items_.end(),
                      [](const Pointer& x, const Pointer& y) { return x == y || *x == *y; });
  }

 private:
  friend class HistoryStore;
  Storage items_;
};

}  // namespace mirlet
