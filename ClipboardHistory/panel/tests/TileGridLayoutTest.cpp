#include "ClipboardHistory/panel/TileGridLayout.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using TileSize = ClipboardHistorySettings::TileSize;
using Layout = TileGridLayout;

// Room for exactly `columns` tiles of the medium size.
double widthFor(int columns) {
  return 2 * Layout::kPadding + columns * Layout::minimumTileWidth(TileSize::medium) +
         (columns - 1) * Layout::kSpacing;
}

TEST(TileGridLayoutTest, AsManyColumnsAsFitStretchedToTheWidth) {
  EXPECT_EQ(Layout({{false, 10}}, widthFor(3), TileSize::medium).columns(), 3);
  EXPECT_EQ(Layout({{false, 10}}, widthFor(3) - 1, TileSize::medium).columns(), 2);
  EXPECT_EQ(Layout({{false, 10}}, 50, TileSize::medium).columns(), 1);
  EXPECT_GT(Layout({{false, 10}}, widthFor(6), TileSize::small).columns(), 6);
  EXPECT_LT(Layout({{false, 10}}, widthFor(6), TileSize::large).columns(), 6);

  const Layout wide({{false, 10}}, widthFor(3) + 60, TileSize::medium);
  const GridRect last = wide.tile(2);
  EXPECT_DOUBLE_EQ(last.x + last.width, widthFor(3) + 60 - Layout::kPadding);
}

TEST(TileGridLayoutTest, EachGroupStartsOnANewRowUnderItsTitle) {
  const Layout layout({{true, 4}, {true, 2}}, widthFor(3), TileSize::medium);
  const double pitch = Layout::tileHeight(TileSize::medium) + Layout::kSpacing;
  ASSERT_TRUE(layout.header(0));
  EXPECT_DOUBLE_EQ(layout.tile(0).y, layout.header(0)->y + Layout::kHeaderHeight);
  EXPECT_DOUBLE_EQ(layout.tile(3).y, layout.tile(0).y + pitch);  // the second row
  EXPECT_DOUBLE_EQ(layout.tile(3).x, layout.tile(0).x);
  // The second group's first item, numbered after the first group's.
  ASSERT_TRUE(layout.header(1));
  EXPECT_GT(layout.header(1)->y, layout.tile(3).y + layout.tile(3).height);
  EXPECT_DOUBLE_EQ(layout.tile(4).y, layout.header(1)->y + Layout::kHeaderHeight);
  EXPECT_DOUBLE_EQ(layout.tile(4).x, layout.tile(0).x);
  EXPECT_EQ(layout.itemCount(), 6u);
  EXPECT_DOUBLE_EQ(layout.contentHeight(),
                   layout.tile(5).y + layout.tile(5).height + Layout::kPadding);
}

TEST(TileGridLayoutTest, GroupsWithoutTitleOrItemsTakeNoRow) {
  const Layout layout({{false, 2}, {true, 0}, {true, 1}}, widthFor(3), TileSize::medium);
  EXPECT_DOUBLE_EQ(layout.tile(0).y, Layout::kPadding);
  EXPECT_FALSE(layout.header(0));
  EXPECT_FALSE(layout.header(1));
  EXPECT_DOUBLE_EQ(layout.tile(2).y, layout.header(2)->y + Layout::kHeaderHeight);
  EXPECT_EQ(Layout({}, 600, TileSize::medium).contentHeight(), 0);
}

TEST(TileGridLayoutTest, PointsFindTheirTileAndGapsFindNothing) {
  const Layout layout({{true, 5}, {true, 3}}, widthFor(3), TileSize::medium);
  for (std::size_t item = 0; item < layout.itemCount(); ++item) {
    const GridRect tile = layout.tile(item);
    EXPECT_EQ(layout.itemAt(tile.x + 1, tile.y + 1), item);
    EXPECT_EQ(layout.itemAt(tile.x + tile.width - 1, tile.y + tile.height - 1), item);
  }
  const GridRect first = layout.tile(0);
  EXPECT_FALSE(layout.itemAt(first.x + first.width + Layout::kSpacing / 2, first.y + 5));
  EXPECT_FALSE(layout.itemAt(first.x + 5, first.y + first.height + Layout::kSpacing / 2));
  EXPECT_FALSE(layout.itemAt(first.x + 5, layout.header(0)->y + 5));
  EXPECT_FALSE(layout.itemAt(Layout::kPadding / 2, first.y + 5));
  // The empty places of a group's last row.
  const GridRect fifth = layout.tile(4);
  EXPECT_FALSE(layout.itemAt(fifth.x + fifth.width + Layout::kSpacing + 5, fifth.y + 5));
  EXPECT_FALSE(layout.itemAt(first.x + 5, layout.contentHeight() + 100));
}

TEST(TileGridLayoutTest, ABandOfRowsHoldsOnlyTheTilesThatMeetIt) {
  const Layout layout({{true, 300}, {true, 300}}, widthFor(4), TileSize::medium);
  const double viewport = 520;
  std::vector<bool> shown(layout.itemCount(), false);
  for (double top = 0; top < layout.contentHeight(); top += viewport / 2) {
    const auto items = layout.itemsIn(top, top + viewport);
    EXPECT_LE(items.size(), 4u * 5);  // at most five rows meet 520 points
    for (const std::size_t item : items) {
      EXPECT_TRUE(layout.tile(item).intersectsRows(top, top + viewport)) << item;
      shown[item] = true;
    }
  }
  EXPECT_EQ(std::count(shown.begin(), shown.end(), true), 600);
  // Every tile meeting the band is in it, in order.
  const auto band = layout.itemsIn(4000, 4300);
  std::vector<std::size_t> expected;
  for (std::size_t item = 0; item < layout.itemCount(); ++item) {
    if (layout.tile(item).intersectsRows(4000, 4300)) expected.push_back(item);
  }
  EXPECT_EQ(band, expected);
  EXPECT_TRUE(layout.itemsIn(layout.contentHeight() + 10, layout.contentHeight() + 500).empty());
}

}  // namespace
}  // namespace mirlet
