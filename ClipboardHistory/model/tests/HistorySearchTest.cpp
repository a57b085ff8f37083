#include "ClipboardHistory/model/HistorySearch.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/model/SearchIndex.h"
#include "ClipboardHistory/testing/ItemBuilder.h"

namespace mirlet {
namespace {

using testing::ItemBuilder;

TEST(NormalizeTest, FoldsCaseAccentsAndWidth) {
  EXPECT_EQ(HistorySearch::normalize("CANCIÓN"), "cancion");
  EXPECT_EQ(HistorySearch::normalize("canción"), "cancion");
  EXPECT_EQ(HistorySearch::normalize("Contraseña"), "contrasena");
  EXPECT_EQ(HistorySearch::normalize("ＡＢＣ１２３"), "abc123");
  EXPECT_EQ(HistorySearch::normalize("Straße"), "strasse");
  EXPECT_EQ(HistorySearch::normalize("İstanbul"), "istanbul");
  EXPECT_EQ(HistorySearch::normalize("Ça va, ÉLAN"), "ca va, elan");
  EXPECT_EQ(HistorySearch::normalize("한국"), "한국");
  EXPECT_EQ(HistorySearch::normalize("plain ASCII"), "plain ascii");
}

// A small history searched through the public index.
class SearchIndexTest : public ::testing::Test {
 protected:
  std::vector<std::string> found(std::string_view query) {
    std::vector<std::string> names;
    for (const Uuid& id : SearchIndex(items_).filter(query)) {
      for (const auto& [name, itemID] : ids_) {
        if (itemID == id) names.push_back(name);
      }
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  void add(const std::string& name, ClipboardItem item) {
    ids_.emplace_back(name, item.id);
    items_.push_back(std::move(item));
  }

  std::vector<ClipboardItem> items_;
  std::vector<std::pair<std::string, Uuid>> ids_;
};

TEST_F(SearchIndexTest, KindWordsFindItemsByWhatTheyAre) {
  add("song", ItemBuilder("track.mp3").kind(ItemKind::audio));
  add("photo", ItemBuilder("").kind(ItemKind::image));
  add("shot", ItemBuilder("").kind(ItemKind::screenshot));
  add("note", ItemBuilder("lista de la compra"));
  EXPECT_EQ(found("CANCIÓN"), std::vector<std::string>{"song"});
  EXPECT_EQ(found("foto"), (std::vector<std::string>{"photo", "shot"}));
}

TEST_F(SearchIndexTest, PrivateItemsAreFoundOnlyByTheirSourceAndPrivateWords) {
  add("secret", ItemBuilder("hunter2")
                    .asPrivate()
                    .source("com.bitwarden.desktop", "Bitwarden")
                    .windowTitle("Bóveda"));
  add("plain", ItemBuilder("hunter2 en claro"));
  EXPECT_EQ(found("privado"), std::vector<std::string>{"secret"});
  EXPECT_EQ(found("hunter2"), std::vector<std::string>{"plain"});
  EXPECT_EQ(found("bitwarden"), std::vector<std::string>{"secret"});
  EXPECT_EQ(found("boveda"), std::vector<std::string>{"secret"});
}

TEST_F(SearchIndexTest, EveryTermMustMatchInAnyOrder) {
  add("both", ItemBuilder("mundo hola"));
  add("one", ItemBuilder("hola"));
  EXPECT_EQ(found("hola mundo"), std::vector<std::string>{"both"});
  EXPECT_EQ(found("  HOLA \t"), (std::vector<std::string>{"both", "one"}));
  EXPECT_EQ(found("ola"), (std::vector<std::string>{"both", "one"}));
}

TEST_F(SearchIndexTest, BlankQueryReturnsEveryIdInOrder) {
  add("a", ItemBuilder("a"));
  add("b", ItemBuilder("b"));
  EXPECT_EQ(SearchIndex(items_).filter("   "), (std::vector<Uuid>{items_[0].id, items_[1].id}));
}

TEST_F(SearchIndexTest, LinkTitleIsSearched) {
  add("link",
      ItemBuilder("https://example.com").kind(ItemKind::link).linkTitle("Página de Ejemplo"));
  EXPECT_EQ(found("pagina ejemplo"), std::vector<std::string>{"link"});
}

TEST_F(SearchIndexTest, OnlyTheFirst5000CharactersAreSearched) {
  add("long", ItemBuilder(std::string(4995, 'x') + "ñandú" + "aguja"));
  EXPECT_EQ(found("nandu"), std::vector<std::string>{"long"});
  EXPECT_TRUE(found("aguja").empty());
}

TEST_F(SearchIndexTest, RebuildNormalisesOnlyNewAndChangedItems) {
  add("a", ItemBuilder("uno"));
  add("b", ItemBuilder("dos"));
  const SearchIndex first(items_);
  EXPECT_EQ(first.normalisedCount(), 2u);
  EXPECT_EQ(SearchIndex(items_, first).normalisedCount(), 0u);

  items_[1].linkTitle = "tres";
  items_.insert(items_.begin(), ItemBuilder("cuatro"));
  const SearchIndex second(items_, first);
  EXPECT_EQ(second.normalisedCount(), 2u);
  EXPECT_EQ(second.filter("tres"), std::vector<Uuid>{items_[2].id});
  EXPECT_EQ(second.filter("cuatro"), std::vector<Uuid>{items_[0].id});
}

TEST_F(SearchIndexTest, ANewSourceOrWindowTitleIsSearchedAfterARebuild) {
  add("a", ItemBuilder("uno").source("com.apple.Notes", "Notas").windowTitle("Lista"));
  const SearchIndex first(items_);

  items_[0].sourceName = "Pages";
  const SearchIndex renamedSource(items_, first);
  EXPECT_EQ(renamedSource.normalisedCount(), 1u);
  EXPECT_EQ(renamedSource.filter("pages").size(), 1u);
  EXPECT_TRUE(renamedSource.filter("notas").empty());

  items_[0].windowTitle = "Compras";
  const SearchIndex retitled(items_, renamedSource);
  EXPECT_EQ(retitled.normalisedCount(), 1u);
  EXPECT_EQ(retitled.filter("compras").size(), 1u);
  EXPECT_TRUE(retitled.filter("lista").empty());
}

TEST(HaystackTest, PartsInOrder) {
  ClipboardItem item = ItemBuilder("Hola").source("com.apple.Notes", "Notas").windowTitle("Lista");
  EXPECT_EQ(HistorySearch::haystack(item), "notas\nlista\nhola\n\ntexto\npalabras\nnota");
}

}  // namespace
}  // namespace mirlet
