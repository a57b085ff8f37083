#include "ClipboardHistory/model/HistoryStore.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/testing/ItemBuilder.h"

namespace mirlet {
namespace {

using testing::ItemBuilder;

// A store built from named items, oldest last; tests speak of items by name.
class HistoryStoreTest : public ::testing::Test {
 protected:
  void fill(std::initializer_list<std::string> names) {
    HistoryIndex index;
    for (const auto& name : names) {
      ClipboardItem item =
          ItemBuilder(name).usedAt(now_.adding(-static_cast<double>(index.items.size())));
      ids_[name] = item.id;
      index.items.push_back(item);
    }
    store_ = HistoryStore(index);
  }
  std::vector<std::string> order() const {
    std::vector<std::string> names;
    for (const auto& item : store_.items()) names.push_back(item.text);
    return names;
  }
  Uuid id(const std::string& name) { return ids_.at(name); }

  Date now_{800000000};
  HistoryStore store_;
  std::map<std::string, Uuid> ids_;
};

TEST_F(HistoryStoreTest, RepeatedContentIsPromotedNotDuplicated) {
  fill({"a", "b", "c", "d", "e", "f"});
  ClipboardItem again =
      ItemBuilder("f").source("com.apple.Safari", "Safari").usedAt(now_.adding(60));
  again.windowTitle = std::nullopt;
  EXPECT_EQ(store_.record(again), HistoryStore::RecordResult(HistoryStore::Promoted{id("f")}));
  EXPECT_EQ(order(), (std::vector<std::string>{"f", "a", "b", "c", "d", "e"}));
  const ClipboardItem& front = store_.items().front();
  EXPECT_EQ(front.id, id("f"));
  EXPECT_EQ(front.firstCopiedAt, now_.adding(-5));
  EXPECT_EQ(front.lastUsedAt, now_.adding(60));
  EXPECT_EQ(front.sourceName, "Safari");

  ClipboardItem fresh = ItemBuilder("g");
  EXPECT_EQ(store_.record(fresh), HistoryStore::RecordResult(HistoryStore::Inserted{fresh.id}));
  EXPECT_EQ(store_.items().size(), 7u);
}

TEST_F(HistoryStoreTest, PromotionReplacesSourceFieldsEvenWithNothing) {
  fill({"a"});
  store_.setWindowTitle("Ventana", id("a"));
  store_.setFavorite(true, {id("a")});
  store_.record(ItemBuilder("a"));
  EXPECT_EQ(store_.items().front().windowTitle, std::nullopt);
  EXPECT_TRUE(store_.items().front().isFavorite);
}

TEST_F(HistoryStoreTest, MarkUsedPromotesInTheGivenOrder) {
  fill({"a", "b", "c", "d"});
  store_.markUsed({id("c"), id("a")}, now_.adding(5), true);
  EXPECT_EQ(order(), (std::vector<std::string>{"c", "a", "b", "d"}));

  fill({"a", "b", "c", "d"});
  store_.markUsed({id("c"), id("a"), Uuid::random()}, now_.adding(5), false);
  EXPECT_EQ(order(), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(store_.item(id("c"))->lastUsedAt, now_.adding(5));
  EXPECT_EQ(store_.item(id("a"))->lastUsedAt, now_.adding(5));
  EXPECT_EQ(store_.item(id("b"))->lastUsedAt, now_.adding(-1));
}

TEST_F(HistoryStoreTest, RemoveThenRestoreGivesBackTheIdenticalStore) {
  fill({"a", "b", "c", "d", "e"});
  const Uuid list = store_.createList("Trabajo", Uuid::random());
  const Uuid other = store_.createList("Casa", Uuid::random());
  store_.add({id("d"), id("a"), id("b")}, list);
  store_.add({id("b")}, other);
  const HistoryStore before = store_;

  const Removal removal = store_.remove({id("d"), id("b"), Uuid::random()});
  EXPECT_EQ(order(), (std::vector<std::string>{"a", "c", "e"}));
  EXPECT_EQ(removal.itemIDs(), (std::vector<Uuid>{id("b"), id("d")}));
  EXPECT_EQ(removal.entries[0].position, 1u);
  EXPECT_EQ(removal.entries[1].position, 3u);
  EXPECT_EQ(removal.memberships.size(), 3u);
  EXPECT_EQ(store_.list(list)->itemIDs, std::vector<Uuid>{id("a")});

  store_.restore(removal);
  EXPECT_EQ(store_, before);
  store_.restore(removal);
  EXPECT_EQ(store_, before);
}

TEST_F(HistoryStoreTest, RestoreAfterTheListWasDeletedBringsBackOnlyTheItems) {
  fill({"a", "b"});
  const Uuid list = store_.createList("L", Uuid::random());
  store_.add({id("b")}, list);
  const Removal removal = store_.remove({id("b")});
  store_.deleteList(list);
  store_.restore(removal);
  EXPECT_EQ(order(), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(store_.lists().empty());
}

TEST_F(HistoryStoreTest, RestoreClampsPositionsToWhatIsLeft) {
  fill({"a", "b", "c"});
  const Removal removal = store_.remove({id("c")});
  store_.remove({id("a"), id("b")});
  store_.restore(removal);
  EXPECT_EQ(order(), (std::vector<std::string>{"c"}));
}

TEST_F(HistoryStoreTest, CountLimitSkipsProtectedItems) {
  fill({"fav", "a", "b", "c"});
  store_.setFavorite(true, {id("fav")});
  EXPECT_EQ(store_.enforce(HistoryLimit::count(2), now_), std::vector<Uuid>{id("c")});
  EXPECT_EQ(order(), (std::vector<std::string>{"fav", "a", "b"}));
}

TEST_F(HistoryStoreTest, DayLimitIsStrict) {
  HistoryIndex index;
  index.items.push_back(ItemBuilder("kept").usedAt(now_.adding(-86400)));
  index.items.push_back(ItemBuilder("gone").usedAt(now_.adding(-86401)));
  store_ = HistoryStore(index);
  const auto removed = store_.enforce(HistoryLimit::days(1), now_);
  EXPECT_EQ(removed.size(), 1u);
  EXPECT_EQ(order(), std::vector<std::string>{"kept"});
}

TEST_F(HistoryStoreTest, HardCapAppliesToEveryLimit) {
  HistoryIndex index;
  for (int i = 0; i < 10001; ++i)
    index.items.push_back(ItemBuilder(std::to_string(i)).usedAt(now_));
  index.items.push_back(ItemBuilder("fav").favorite().usedAt(now_));
  store_ = HistoryStore(index);
  const auto removed = store_.enforce(HistoryLimit::days(365), now_);
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0], index.items[10000].id);
  EXPECT_EQ(store_.items().size(), 10001u);
}

TEST_F(HistoryStoreTest, ClearingKeepsFavouritesAndListedItems) {
  fill({"fav", "listed", "plain"});
  store_.setFavorite(true, {id("fav")});
  const Uuid list = store_.createList("L", Uuid::random());
  store_.add({id("listed")}, list);
  EXPECT_EQ(store_.clearUnprotected(), std::vector<Uuid>{id("plain")});
  EXPECT_TRUE(store_.clearUnprotected().empty());
  EXPECT_EQ(order(), (std::vector<std::string>{"fav", "listed"}));
}

TEST_F(HistoryStoreTest, ListsAddOnlyKnownItemsOnce) {
  fill({"a", "b"});
  const Uuid list = store_.createList("L", Uuid::random());
  store_.add({id("a"), id("a"), Uuid::random(), id("b")}, list);
  store_.add({id("a")}, list);
  EXPECT_EQ(store_.list(list)->itemIDs, (std::vector<Uuid>{id("a"), id("b")}));
  store_.add({id("a")}, Uuid::random());
  store_.removeFromList({id("a")}, list);
  EXPECT_EQ(store_.list(list)->itemIDs, std::vector<Uuid>{id("b")});
  store_.renameList(list, "Nuevo");
  EXPECT_EQ(store_.list(list)->name, "Nuevo");
}

TEST_F(HistoryStoreTest, DeletedListLeavesItsItemsUnprotected) {
  fill({"a", "b"});
  const Uuid list = store_.createList("L", Uuid::random());
  store_.add({id("b")}, list);
  EXPECT_TRUE(store_.isProtected(id("b")));
  store_.deleteList(list);
  EXPECT_FALSE(store_.isProtected(id("b")));
  EXPECT_EQ(store_.enforce(HistoryLimit::count(1), now_), std::vector<Uuid>{id("b")});
}

TEST_F(HistoryStoreTest, ListedIdWithoutItemCountsAsProtected) {
  fill({"a"});
  const Uuid ghost = Uuid::random();
  const Uuid list = store_.createList("L", Uuid::random());
  HistoryIndex index = store_.index();
  index.lists[0].itemIDs.push_back(ghost);
  store_ = HistoryStore(index);
  EXPECT_TRUE(store_.isProtected(ghost));
  EXPECT_NE(store_.list(list), nullptr);
}

TEST_F(HistoryStoreTest, PrivateItemsKeepTheirWindowTitle) {
  HistoryIndex index;
  index.items.push_back(ItemBuilder().asPrivate().windowTitle("Antes"));
  store_ = HistoryStore(index);
  store_.setWindowTitle("Después", index.items[0].id);
  EXPECT_EQ(store_.items()[0].windowTitle, "Antes");
  store_.setLinkTitle("Título", index.items[0].id);
  EXPECT_EQ(store_.items()[0].linkTitle, "Título");
}

TEST_F(HistoryStoreTest, ACopyIsAValueThatSharesUnchangedItems) {
  fill({"a", "b", "c"});
  const HistoryStore published = store_;
  EXPECT_EQ(&published.items()[1], &store_.items()[1]);  // shared, not copied
  store_.setFavorite(true, {id("b")});
  store_.markUsed({id("c")}, now_.adding(5), true);
  EXPECT_FALSE(published.items()[1].isFavorite);
  EXPECT_EQ(published.items()[2].text, "c");
  EXPECT_TRUE(store_.item(id("b"))->isFavorite);
  EXPECT_EQ(store_.item(id("c")), &store_.items()[0]);  // lookups follow the new order
  EXPECT_NE(published, store_);
}

TEST_F(HistoryStoreTest, RestoreInterleavesWithItemsCopiedSince) {
  fill({"a", "b", "c", "d"});
  const Removal removal = store_.remove({id("b"), id("d")});
  store_.record(ItemBuilder("new"));
  store_.restore(removal);
  EXPECT_EQ(order(), (std::vector<std::string>{"new", "b", "a", "d", "c"}));
}

TEST_F(HistoryStoreTest, IndexIsAlwaysVersionOne) {
  HistoryIndex index;
  index.version = 7;
  EXPECT_EQ(HistoryStore(index).index().version, 1);
}

TEST(HistoryLimitTest, RawValuesOfPresetsOnly) {
  EXPECT_EQ(HistoryLimit::count(1000).rawValue(), "count:1000");
  EXPECT_EQ(HistoryLimit::fromRawValue("count:1000"), HistoryLimit::count(1000));
  EXPECT_EQ(HistoryLimit::fromRawValue("days:365"), HistoryLimit::days(365));
  EXPECT_EQ(HistoryLimit::fromRawValue("count:999"), std::nullopt);
  EXPECT_EQ(HistoryLimit::fromRawValue("days:2"), std::nullopt);
  EXPECT_EQ(HistoryLimit::fromRawValue("Count:1000"), std::nullopt);
  for (const HistoryLimit& preset : HistoryLimits::presets) {
    EXPECT_EQ(HistoryLimit::fromRawValue(preset.rawValue()), preset);
  }
}

}  // namespace
}  // namespace mirlet
