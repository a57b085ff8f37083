#include "ClipboardHistory/panel/HistoryFormat.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

ClipboardItem itemWith(ItemDetail detail, bool isPrivate = false) {
  ClipboardItem item;
  item.detail = detail;
  item.isPrivate = isPrivate;
  return item;
}

TEST(HistoryFormatTest, InfoCountsInTheSingularOnlyForOne) {
  namespace D = ItemDetails;
  EXPECT_EQ(HistoryFormat::info(itemWith(D::Lines{1})), "1 línea");
  EXPECT_EQ(HistoryFormat::info(itemWith(D::Lines{0})), "0 líneas");
  EXPECT_EQ(HistoryFormat::info(itemWith(D::Lines{12})), "12 líneas");
  EXPECT_EQ(HistoryFormat::info(itemWith(D::FileCount{1})), "1 archivo");
  EXPECT_EQ(HistoryFormat::info(itemWith(D::FileCount{3})), "3 archivos");
  EXPECT_EQ(HistoryFormat::info(itemWith(D::Events{1})), "1 evento");
  EXPECT_EQ(HistoryFormat::info(itemWith(D::Events{0})), "0 eventos");
  EXPECT_EQ(HistoryFormat::info(itemWith(D::Pixels{1920, 1080})), "1920×1080 px");
  EXPECT_EQ(HistoryFormat::info(itemWith(D::Table{4, 2})), "4×2");
}

TEST(HistoryFormatTest, NoInfoForColoursPlainItemsAndPrivateOnes) {
  EXPECT_EQ(HistoryFormat::info(itemWith(ItemDetails::None{})), std::nullopt);
  EXPECT_EQ(HistoryFormat::info(itemWith(ItemDetails::Color{})), std::nullopt);
  EXPECT_EQ(HistoryFormat::info(itemWith(ItemDetails::Lines{3}, true)), std::nullopt);
}

TEST(HistoryFormatTest, AgeIsNowUnderAMinuteThenRelative) {
  const Date now = Date::fromUnixSeconds(1772443800);
  EXPECT_EQ(HistoryFormat::age(now, now), "ahora");
  EXPECT_EQ(HistoryFormat::age(now.adding(-59), now), "ahora");
  EXPECT_EQ(HistoryFormat::age(now.adding(5), now), "ahora");  // a clock set back
  EXPECT_EQ(HistoryFormat::age(now.adding(-60), now), "hace 1 minuto");
  EXPECT_EQ(HistoryFormat::age(now.adding(-2 * 3600 - 5), now), "hace 2 horas");
  EXPECT_EQ(HistoryFormat::age(now.adding(-86400), now), "ayer");
  EXPECT_EQ(HistoryFormat::age(now.adding(-3 * 86400), now), "hace 3 días");
}

}  // namespace
}  // namespace mirlet
