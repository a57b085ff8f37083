#include "ClipboardHistory/model/HistoryIndexCodec.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/testing/ItemBuilder.h"
#include "core/testing/Thrown.h"

namespace mirlet {
namespace {

using testing::ItemBuilder;
using Code = IndexDecodingErrorCode;

// The error that decoding `json` with `decode` throws.
template <class Decode>
IndexDecodingError errorOf(Decode decode, std::string_view json) {
  if (auto error = testing::thrown<IndexDecodingError>([&] { decode(json); })) return *error;
  ADD_FAILURE() << "decoded: " << json;
  return IndexDecodingError(Code::dataCorrupted, "decoded");
}

IndexDecodingError decodeError(std::string_view json) {
  return errorOf(HistoryIndexCodec::decode, json);
}
IndexDecodingError detailError(std::string_view json) {
  return errorOf(HistoryIndexCodec::decodeDetail, json);
}

const Uuid kID = *Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
const Uuid kListID = *Uuid::parse("0A1B2C3D-0000-4000-8000-000000000001");

TEST(HistoryIndexCodecTest, WritesVersionOneWhateverTheValueSays) {
  HistoryIndex index;
  index.version = 7;
  EXPECT_EQ(HistoryIndexCodec::encode(index), R"({"version":1,"items":[],"lists":[]})");
}

TEST(HistoryIndexCodecTest, ItemKeysInOrderAndOptionalKeysLeftOut) {
  ClipboardItem item =
      ItemBuilder("a/b \"c\"\n").id(kID).fingerprint("f").usedAt(Date{786000000.5});
  const std::string json = HistoryIndexCodec::encode(HistoryIndex{1, {item}, {}});
  EXPECT_EQ(
      json,
      "{\"version\":1,\"items\":[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"kind\":"
      "\"text\","
      "\"detail\":{\"lines\":{\"_0\":1}},\"isPrivate\":false,\"text\":\"a/b \\\"c\\\"\\n\","
      "\"firstCopiedAt\":786000000.5,\"lastUsedAt\":786000000.5,\"fingerprint\":\"f\","
      "\"pasteboardTypes\":[[\"public.utf8-plain-text\"]],\"byteCount\":8,\"isFavorite\":false}],"
      "\"lists\":[]}");
  EXPECT_EQ(HistoryIndexCodec::decode(json).items.front(), item);
}

TEST(HistoryIndexCodecTest, EveryDetailRoundTrips) {
  const std::vector<std::pair<ItemDetail, std::string>> details{
      {ItemDetails::None{}, R"({"none":{}})"},
      {ItemDetails::Lines{12}, R"({"lines":{"_0":12}})"},
      {ItemDetails::Pixels{640, 480}, R"({"pixels":{"width":640,"height":480}})"},
      {ItemDetails::FileCount{3}, R"({"fileCount":{"_0":3}})"},
      {ItemDetails::Table{4, 2}, R"({"table":{"rows":4,"columns":2}})"},
      {ItemDetails::Events{2}, R"({"events":{"_0":2}})"},
      {ItemDetails::Color{{1, 0, 0.25, 1}},
       R"({"color":{"_0":{"red":1,"green":0,"blue":0.25,"alpha":1}}})"},
  };
  for (const auto& [detail, json] : details) {
    EXPECT_EQ(HistoryIndexCodec::encodeDetail(detail), json);
    EXPECT_EQ(HistoryIndexCodec::decodeDetail(json), detail) << json;
  }
}

TEST(HistoryIndexCodecTest, DetailNeedsExactlyOneRecognisedKey) {
  const IndexDecodingError expected(Code::typeMismatch,
                                    "Invalid number of keys found, expected one.");
  EXPECT_EQ(detailError(R"({"lines":{"_0":3},"none":{}})"), expected);
  EXPECT_EQ(detailError("{}"), expected);
  EXPECT_EQ(detailError(R"({"nothing":{}})"), expected);
  EXPECT_EQ(HistoryIndexCodec::decodeDetail(R"({"nothing":{},"none":{}})"),
            ItemDetail{ItemDetails::None{}});
  EXPECT_EQ(detailError(R"({"lines":{}})").code(), Code::keyNotFound);
  EXPECT_EQ(detailError(R"({"lines":{"_0":"3"}})").code(), Code::typeMismatch);
  EXPECT_EQ(detailError(R"({"lines":{"_0":3.5}})").code(), Code::dataCorrupted);
  EXPECT_EQ(detailError(R"({"lines":3})").code(), Code::typeMismatch);
}

TEST(HistoryIndexCodecTest, OpaqueRedDecodes) {
  EXPECT_EQ(
      HistoryIndexCodec::decodeDetail(R"({"color":{"_0":{"red":1,"green":0,"blue":0,"alpha":1}}})"),
      ItemDetail(ItemDetails::Color{{1, 0, 0, 1}}));
}

TEST(HistoryIndexCodecTest, WholeIndexRoundTripsExactly) {
  HistoryIndex index;
  index.items.push_back(ItemBuilder("canción ✓ 😀")
                            .id(kID)
                            .source("com.apple.Notes", "Notas")
                            .windowTitle("Lista")
                            .linkTitle("Título")
                            .favorite()
                            .usedAt(Date{0.1 + 0.2}));
  index.items.push_back(ItemBuilder("otro").kind(ItemKind::other).asPrivate().usedAt(Date{-1e-9}));
  index.items.back().detail = ItemDetails::Color{{0.1, 1.0 / 3, 2e-300, 0}};
  index.items.back().pasteboardTypes = {{}, {"a", "b"}};
  index.lists.push_back(ItemList{kListID, "Favoritos del trabajo", {kID, Uuid::random()}});
  const std::string json = HistoryIndexCodec::encode(index);
  EXPECT_EQ(HistoryIndexCodec::decode(json), index);
  EXPECT_EQ(HistoryIndexCodec::encode(HistoryIndexCodec::decode(json)), json);
}

TEST(HistoryIndexCodecTest, ReadsThePlatformEncodersOutput) {
  // Slashes escaped, lower-case UUIDs, whole-number dates, a null optional and an
  // unknown key.
  const std::string json =
      R"({"version":1,"items":[{"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","kind":"link",)"
      R"("detail":{"none":{}},"isPrivate":false,"text":"https:\/\/example.com\/a","sourceName":null,)"
      R"("firstCopiedAt":786000000,"lastUsedAt":786000001.25,"fingerprint":"ab",)"
      R"("pasteboardTypes":[["public.url"]],"byteCount":21,"isFavorite":true,"extra":[1]}],)"
      R"("lists":[{"id":"0a1b2c3d-0000-4000-8000-000000000001","name":"L","itemIDs":[]}]})";
  const HistoryIndex index = HistoryIndexCodec::decode(json);
  ASSERT_EQ(index.items.size(), 1u);
  const ClipboardItem& item = index.items[0];
  EXPECT_EQ(item.id, kID);
  EXPECT_EQ(item.kind, ItemKind::link);
  EXPECT_EQ(item.text, "https://example.com/a");
  EXPECT_EQ(item.sourceName, std::nullopt);
  EXPECT_EQ(item.firstCopiedAt, Date{786000000});
  EXPECT_EQ(item.lastUsedAt, Date{786000001.25});
  EXPECT_TRUE(item.isFavorite);
  EXPECT_EQ(index.lists.at(0).id, kListID);
}

TEST(HistoryIndexCodecTest, RejectsWhatIsNotAnIndex) {
  const std::string item =
      R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","kind":"text","detail":{"none":{}},"isPrivate":false,)"
      R"("text":"","firstCopiedAt":1,"lastUsedAt":1,"fingerprint":"","pasteboardTypes":[],"byteCount":0,)"
      R"("isFavorite":false})";
  auto withItem = [](const std::string& value) {
    return R"({"version":1,"lists":[],"items":[)" + value + "]}";
  };
  auto replaced = [&](std::string_view from, std::string_view to) {
    std::string changed = item;
    changed.replace(changed.find(from), from.size(), to);
    return withItem(changed);
  };
  EXPECT_NO_THROW(HistoryIndexCodec::decode(withItem(item)));
  EXPECT_EQ(decodeError(R"({"version":1,"items":[]})").code(), Code::keyNotFound);
  EXPECT_EQ(decodeError("not json").code(), Code::dataCorrupted);
  EXPECT_EQ(decodeError("[]").code(), Code::typeMismatch);
  EXPECT_EQ(decodeError(replaced("\"kind\":\"text\"", "\"kind\":\"Text\"")),
            (IndexDecodingError(Code::dataCorrupted,
                                "Cannot initialize ItemKind from invalid String value Text")));
  EXPECT_EQ(decodeError(replaced(",\"byteCount\":0", "")).code(), Code::keyNotFound);
  EXPECT_EQ(decodeError(replaced("\"isPrivate\":false", "\"isPrivate\":0")).code(),
            Code::typeMismatch);
  EXPECT_EQ(decodeError(replaced("\"text\":\"\"", "\"text\":null")).code(), Code::valueNotFound);
  EXPECT_EQ(decodeError(replaced("E621E1F8-C36C", "E621E1F8C36C")).code(), Code::dataCorrupted);
  EXPECT_EQ(decodeError(replaced("\"pasteboardTypes\":[]", "\"pasteboardTypes\":[\"x\"]")).code(),
            Code::typeMismatch);
  EXPECT_EQ(decodeError(replaced("\"byteCount\":0", "\"byteCount\":18446744073709551615")).code(),
            Code::dataCorrupted);
}

TEST(HistoryIndexCodecTest, VersionIsReadOnItsOwn) {
  EXPECT_EQ(HistoryIndexCodec::decodeVersion(R"({"version":2,"items":"whatever"})"), 2);
  EXPECT_EQ(HistoryIndexCodec::decodeVersion(R"({"items":[]})"), std::nullopt);
  EXPECT_EQ(HistoryIndexCodec::decodeVersion("garbage"), std::nullopt);
  EXPECT_EQ(HistoryIndexCodec::decodeVersion(R"({"items":[{"version":7}],"version":1})"), 1);
  EXPECT_EQ(HistoryIndexCodec::decodeVersion(R"({"version":"2"})"), std::nullopt);
  EXPECT_EQ(HistoryIndexCodec::decodeVersion(R"({"version":{"major":2}})"), std::nullopt);
  EXPECT_EQ(HistoryIndexCodec::decodeVersion(R"({"version":2.5})"), std::nullopt);
  EXPECT_EQ(HistoryIndexCodec::decodeVersion(R"([{"version":2}])"), std::nullopt);
  EXPECT_EQ(HistoryIndexCodec::decodeVersion("7"), std::nullopt);
}

TEST(HistoryIndexCodecTest, TextThatIsNotUtf8StillWritesReadableJson) {
  HistoryIndex index;
  index.items.push_back(ItemBuilder(std::string("a\xFF\xC3") + "b\x01"));
  const HistoryIndex decoded = HistoryIndexCodec::decode(HistoryIndexCodec::encode(index));
  EXPECT_EQ(decoded.items.at(0).text,
            "a\xEF\xBF\xBD\xEF\xBF\xBD"
            "b\x01");
}

TEST(HistoryIndexCodecTest, NonFiniteNumbersCannotBeWritten) {
  HistoryIndex index;
  index.items.push_back(ItemBuilder().usedAt(Date{std::numeric_limits<double>::infinity()}));
  EXPECT_EQ(testing::thrown<IndexEncodingError>([&] { HistoryIndexCodec::encode(index); }),
            IndexEncodingError(IndexEncodingErrorCode::invalidValue));
}

TEST(ClipboardItemTest, PrivateItemKeepsNothingThatRevealsItsContent) {
  ClipboardItem item = ClipboardItem::make({.id = kID,
                                            .kind = ItemKind::link,
                                            .detail = ItemDetails::Lines{2},
                                            .isPrivate = true,
                                            .text = "x",
                                            .sourceBundleID = "com.bitwarden.desktop",
                                            .copiedAt = Date{5},
                                            .fingerprint = "fp",
                                            .pasteboardTypes = {{"public.utf8-plain-text"}},
                                            .byteCount = 1});
  EXPECT_EQ(item.kind, ItemKind::other);
  EXPECT_EQ(item.detail, ItemDetail(ItemDetails::None{}));
  EXPECT_EQ(item.text, "");
  EXPECT_EQ(item.byteCount, 0);
  EXPECT_EQ(item.fingerprint, "fp");
  EXPECT_EQ(item.sourceBundleID, "com.bitwarden.desktop");
  EXPECT_EQ(item.pasteboardTypes.size(), 1u);
  EXPECT_EQ(item.firstCopiedAt, item.lastUsedAt);
}

TEST(ItemKindTest, RawValuesAreTheCaseNames) {
  EXPECT_EQ(ItemKinds::fromRawValue("calendarEvent"), ItemKind::calendarEvent);
  EXPECT_EQ(ItemKinds::fromRawValue("Text"), std::nullopt);
  for (ItemKind kind : ItemKinds::allCases)
    EXPECT_EQ(ItemKinds::fromRawValue(ItemKinds::rawValue(kind)), kind);
  EXPECT_EQ(ItemKinds::title(ItemKind::appContent), "Contenido de otra app");
}

}  // namespace
}  // namespace mirlet
