#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "ClipboardHistory/model/ClipboardHistorySettings.h"

namespace mirlet {

// A rectangle of the grid's content, y downwards from its top.
struct GridRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  bool contains(double px, double py) const {
    return px >= x && px < x + width && py >= y && py < y + height;
  }
  bool intersectsRows(double top, double bottom) const { return y < bottom && y + height > top; }
  friend bool operator==(const GridRect&, const GridRect&) = default;
};

// Where the tiles of the grouped grid go for a width: each group's title on its own
// row, then its tiles row by row, as many columns as fit, stretched to fill the
// width. Items are numbered across the groups in display order. Only geometry: the
// view asks it what is on screen and draws just that.
class TileGridLayout {
 public:
  static constexpr double kPadding = 16;
  static constexpr double kSpacing = 12;
  static constexpr double kHeaderHeight = 30;

  struct Group {
    bool hasTitle = false;
    std::size_t count = 0;
    friend bool operator==(const Group&, const Group&) = default;
  };

  TileGridLayout() = default;
  TileGridLayout(std::vector<Group> groups, double width, ClipboardHistorySettings::TileSize size);

  // The narrowest tile and its height, by size.
  static double minimumTileWidth(ClipboardHistorySettings::TileSize size);
  static double tileHeight(ClipboardHistorySettings::TileSize size);

  int columns() const { return columns_; }
  double contentHeight() const { return height_; }
  std::size_t itemCount() const { return itemCount_; }

  GridRect tile(std::size_t item) const;
  // The title row of a group that has one.
  std::optional<GridRect> header(std::size_t group) const;
  // The item under a point of the content, if any.
  std::optional<std::size_t> itemAt(double x, double y) const;
  // The items whose tiles meet the rows from `top` to `bottom`, in order.
  std::vector<std::size_t> itemsIn(double top, double bottom) const;
  // The groups whose titles meet those rows.
  std::vector<std::size_t> headersIn(double top, double bottom) const;

 private:
  struct Placed {
    std::size_t firstItem = 0;
    std::size_t count = 0;
    double headerTop = 0;  // when it has a title
    double tilesTop = 0;
    bool hasTitle = false;
  };

  // The first group whose tiles end below `y`.
  std::vector<Placed>::const_iterator firstGroupEndingBelow(double y) const;
  double groupBottom(const Placed& group) const;

  std::vector<Placed> groups_;
  int columns_ = 1;
  double tileWidth_ = 0;
  double tileHeight_ = 0;
  double height_ = 0;
  std::size_t itemCount_ = 0;
};

}  // namespace mirlet
