#pragma once

#include <cstdint>
#include <variant>

#include "ClipboardHistory/model/ColorValue.h"

namespace mirlet {

// The figure that goes with an item's kind.
namespace ItemDetails {
struct None {
  friend bool operator==(const None&, const None&) = default;
};
struct Lines {
  std::int64_t count;
  friend bool operator==(const Lines&, const Lines&) = default;
};
struct Pixels {
  std::int64_t width;
  std::int64_t height;
  friend bool operator==(const Pixels&, const Pixels&) = default;
};
struct FileCount {
  std::int64_t count;
  friend bool operator==(const FileCount&, const FileCount&) = default;
};
struct Table {
  std::int64_t rows;
  std::int64_t columns;
  friend bool operator==(const Table&, const Table&) = default;
};
struct Events {
  std::int64_t count;
  friend bool operator==(const Events&, const Events&) = default;
};
struct Color {
  ColorValue value;
  friend bool operator==(const Color&, const Color&) = default;
};
}  // namespace ItemDetails

// In the order of the cases: none, lines, pixels, fileCount, table, events, color.
using ItemDetail =
    std::variant<ItemDetails::None, ItemDetails::Lines, ItemDetails::Pixels, ItemDetails::FileCount,
                 ItemDetails::Table, ItemDetails::Events, ItemDetails::Color>;

// A pixel size of an image.
struct PixelSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

}  // namespace mirlet
