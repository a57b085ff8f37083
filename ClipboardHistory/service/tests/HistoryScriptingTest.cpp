#include "ClipboardHistory/service/HistoryScripting.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/testing/ItemBuilder.h"

namespace mirlet {
namespace {

using testing::ItemBuilder;

// A history of a text, a private item, an image and a long note, the latest first.
HistoryStore history() {
  HistoryIndex index;
  index.items = {ItemBuilder("café con leche").usedAt(Date{4}).build(),
                 ItemBuilder("la clave secreta").asPrivate().usedAt(Date{3}).build(),
                 ItemBuilder("").kind(ItemKind::image).usedAt(Date{2}).build(),
                 ItemBuilder("primera línea\n\tsegunda línea " + std::string(200, 'x'))
                     .usedAt(Date{1})
                     .build()};
  return HistoryStore(std::move(index));
}

TEST(HistoryScriptingTest, ListsTheLatestFirstOnOneLineEachAndNeverAPrivateText) {
  const HistoryStore store = history();
  const auto entries = HistoryScripting::find(store, "", 10);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].preview, "café con leche");
  EXPECT_EQ(entries[0].id, store.items()[0].id.toString());
  EXPECT_EQ(entries[1],
            (HistoryScripting::Entry{store.items()[1].id.toString(), "text", "Privado", true}));
  EXPECT_EQ(entries[2].kind, "image");
  EXPECT_FALSE(entries[2].preview.empty());
  EXPECT_TRUE(entries[3].preview.starts_with("primera línea segunda línea xxx"));
  EXPECT_TRUE(entries[3].preview.ends_with("…"));

  const std::string text = HistoryScripting::lines(entries) + HistoryScripting::json(entries);
  EXPECT_EQ(text.find("clave"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
  EXPECT_NE(text.find("\"private\":true"), std::string::npos);
}

TEST(HistoryScriptingTest, SearchesAsThePanelDoesAndKeepsToTheLimit) {
  const HistoryStore store = history();
  const auto found = HistoryScripting::find(store, "CAFE", 10);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].preview, "café con leche");
  EXPECT_TRUE(HistoryScripting::find(store, "clave", 10).empty());  // content stays hidden
  EXPECT_EQ(HistoryScripting::find(store, "", 2).size(), 2u);
  EXPECT_TRUE(HistoryScripting::find(store, "", 0).empty());
}

}  // namespace
}  // namespace mirlet
