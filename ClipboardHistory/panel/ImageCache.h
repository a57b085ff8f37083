#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "host/Pasteboard.h"

namespace mirlet {

// Encoded images by key, at most `capacity` of them: the oldest entry goes first.
class ImageCache {
 public:
  explicit ImageCache(std::size_t capacity) : capacity_(capacity) {}

  const Bytes* find(const std::string& key) const {
    const auto found = images_.find(key);
    return found == images_.end() ? nullptr : &found->second;
  }
  void insert(const std::string& key, Bytes image) {
    if (images_.insert_or_assign(key, std::move(image)).second) order_.push_back(key);
    if (order_.size() > capacity_) {
      images_.erase(order_.front());
      order_.pop_front();
    }
  }
  // The cached image, or what `load` gives (cached when there is one).
  template <class Load>
  std::optional<Bytes> get(const std::string& key, Load load) {
    if (const Bytes* image = find(key)) return *image;
    std::optional<Bytes> image = load();
    if (image) insert(key, *image);
    return image;
  }
  void clear() {
    images_.clear();
    order_.clear();
  }
  std::size_t size() const { return images_.size(); }

 private:
  std::size_t capacity_;
  std::map<std::string, Bytes> images_;
  std::deque<std::string> order_;
};

}  // namespace mirlet
