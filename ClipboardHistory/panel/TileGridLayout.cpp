#include "ClipboardHistory/panel/TileGridLayout.h"

#include <algorithm>
#include <cmath>

namespace mirlet {

using TileSize = ClipboardHistorySettings::TileSize;

double TileGridLayout::minimumTileWidth(TileSize size) {
  switch (size) {
    case TileSize::small:
      return 124;
    case TileSize::medium:
      return 156;
    case TileSize::large:
      return 216;
  }
  return 156;
}

double TileGridLayout::tileHeight(TileSize size) {
  switch (size) {
    case TileSize::small:
      return 112;
    case TileSize::medium:
      return 148;
    case TileSize::large:
      return 196;
  }
  return 148;
}

TileGridLayout::TileGridLayout(std::vector<Group> groups, double width, TileSize size) {
  const double inner = std::max(0.0, width - 2 * kPadding);
  const double minimum = minimumTileWidth(size);
  columns_ = std::max(1, static_cast<int>(std::floor((inner + kSpacing) / (minimum + kSpacing))));
  tileWidth_ = std::max(minimum, (inner - kSpacing * (columns_ - 1)) / columns_);
  tileHeight_ = tileHeight(size);

  double y = kPadding;
  for (const Group& group : groups) {
    Placed placed;
    placed.firstItem = itemCount_;
    placed.count = group.count;
    placed.hasTitle = group.hasTitle && group.count > 0;
    placed.headerTop = y;
    if (placed.hasTitle) y += kHeaderHeight;
    placed.tilesTop = y;
    if (group.count > 0) y = groupBottom(placed) + kSpacing * 1.5;
    itemCount_ += group.count;
    groups_.push_back(placed);
  }
  height_ = itemCount_ == 0 ? 0 : y - kSpacing * 1.5 + kPadding;
}

double TileGridLayout::groupBottom(const Placed& group) const {
  const auto rows = static_cast<double>((group.count + columns_ - 1) / columns_);
  return group.tilesTop + rows * tileHeight_ + std::max(0.0, rows - 1) * kSpacing;
}

GridRect TileGridLayout::tile(std::size_t item) const {
  const auto group =
      std::upper_bound(groups_.begin(), groups_.end(), item,
                       [](std::size_t i, const Placed& g) { return i < g.firstItem; });
  if (group == groups_.begin() || item >= itemCount_) return {};
  const Placed& placed = *std::prev(group);
  const std::size_t position = item - placed.firstItem;
  const auto row = static_cast<double>(position / columns_);
  const auto column = static_cast<double>(position % columns_);
  return {kPadding + column * (tileWidth_ + kSpacing),
          placed.tilesTop + row * (tileHeight_ + kSpacing), tileWidth_, tileHeight_};
}

std::optional<GridRect> TileGridLayout::header(std::size_t group) const {
  if (group >= groups_.size() || !groups_[group].hasTitle) return std::nullopt;
  const double width = columns_ * tileWidth_ + (columns_ - 1) * kSpacing;
  return GridRect{kPadding, groups_[group].headerTop, width, kHeaderHeight};
}

std::vector<TileGridLayout::Placed>::const_iterator TileGridLayout::firstGroupEndingBelow(
    double y) const {
  return std::partition_point(groups_.begin(), groups_.end(),
                              [&](const Placed& g) { return groupBottom(g) <= y; });
}

std::optional<std::size_t> TileGridLayout::itemAt(double x, double y) const {
  const auto group = firstGroupEndingBelow(y);
  if (group == groups_.end() || y < group->tilesTop || x < kPadding) return std::nullopt;
  const auto row = static_cast<std::size_t>((y - group->tilesTop) / (tileHeight_ + kSpacing));
  const auto column = static_cast<std::size_t>((x - kPadding) / (tileWidth_ + kSpacing));
  if (column >= static_cast<std::size_t>(columns_)) return std::nullopt;
  const std::size_t position = row * columns_ + column;
  if (position >= group->count) return std::nullopt;
  const std::size_t item = group->firstItem + position;
  return tile(item).contains(x, y) ? std::optional(item) : std::nullopt;
}

std::vector<std::size_t> TileGridLayout::itemsIn(double top, double bottom) const {
  std::vector<std::size_t> items;
  for (auto group = firstGroupEndingBelow(top); group != groups_.end() && group->tilesTop < bottom;
       ++group) {
    const double pitch = tileHeight_ + kSpacing;
    const auto firstRow =
        static_cast<std::size_t>(std::max(0.0, std::floor((top - group->tilesTop) / pitch)));
    const auto rows = (group->count + columns_ - 1) / columns_;
    for (std::size_t row = firstRow; row < rows; ++row) {
      const double rowTop = group->tilesTop + static_cast<double>(row) * pitch;
      if (rowTop >= bottom) break;
      if (rowTop + tileHeight_ <= top) continue;
      for (std::size_t column = 0; column < static_cast<std::size_t>(columns_); ++column) {
        const std::size_t position = row * columns_ + column;
        if (position >= group->count) break;
        items.push_back(group->firstItem + position);
      }
    }
  }
  return items;
}

std::vector<std::size_t> TileGridLayout::headersIn(double top, double bottom) const {
  std::vector<std::size_t> headers;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    if (const auto rect = header(g); rect && rect->intersectsRows(top, bottom))
      headers.push_back(g);
  }
  return headers;
}

}  // namespace mirlet
