#include "host/SelectionContents.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using ClipboardTargets::Conversion;
using ClipboardTargets::Source;
using SelectionContents::TargetData;

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

TargetData read(std::string uniformType, std::string target, std::string_view data,
                Conversion conversion = Conversion::none) {
  return {Source{std::move(uniformType), std::move(target), conversion}, bytes(data)};
}

TEST(SelectionContentsTest, TheSelectionIsOneItemWithEveryTypeRead) {
  const auto items = SelectionContents::items(
      {read("public.html", "text/html", "<i>sí</i>"),
       read("public.utf8-plain-text", "STRING", "s\xED", Conversion::latin1),
       read("application/x-custom", "application/x-custom", "raw")});
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].representations, (std::vector<PasteboardItemData::Representation>{
                                          {"public.html", bytes("<i>sí</i>")},
                                          {"public.utf8-plain-text", bytes("sí")},
                                          {"application/x-custom", bytes("raw")}}));
  EXPECT_TRUE(SelectionContents::items({}).empty());
}

TEST(SelectionContentsTest, AUriListIsOneItemPerFile) {
  const auto items = SelectionContents::items(
      {read("public.file-url", "text/uri-list",
            "# copied\r\nfile:///home/ana/a.txt\r\nfile:///home/ana/b%20c.pdf\r\n\r\n"),
       read("public.utf8-plain-text", "UTF8_STRING", "/home/ana/a.txt")});
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].representations.at(0).data, bytes("file:///home/ana/a.txt"));
  EXPECT_EQ(items[0].representations.at(1).type, "public.utf8-plain-text");
  EXPECT_EQ(items[1].representations,
            (std::vector<PasteboardItemData::Representation>{
                {"public.file-url", bytes("file:///home/ana/b%20c.pdf")}}));
}

TEST(SelectionContentsTest, GnomesListOfCopiedFilesIsFilesToo) {
  const auto items = SelectionContents::items(
      {read("x-special/gnome-copied-files", "x-special/gnome-copied-files",
            "copy\nfile:///home/ana/a.txt\nfile:///home/ana/b.txt"),
       read("public.utf8-plain-text", "UTF8_STRING", "/home/ana/a.txt\n/home/ana/b.txt")});
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(
      items[0].representations.at(0),
      (PasteboardItemData::Representation{"public.file-url", bytes("file:///home/ana/a.txt")}));
  EXPECT_EQ(items[0].representations.at(1).type, "x-special/gnome-copied-files");
  EXPECT_EQ(items[1].representations.at(0).data, bytes("file:///home/ana/b.txt"));
}

// Secrets fail closed: the hint conceals by being offered, whatever it holds and
// even when its owner never delivered it.
TEST(SelectionContentsTest, AnOfferedHintConcealsTheContentWhateverItSays) {
  const PasteboardItemData::Representation concealed{"org.nspasteboard.ConcealedType", {}};
  for (const std::string_view hint : {"secret", "other", ""}) {
    const auto items = SelectionContents::items(
        {read("public.utf8-plain-text", "UTF8_STRING", "hunter2"),
         read("org.nspasteboard.ConcealedType", "x-kde-passwordManagerHint", hint)});
    EXPECT_EQ(items.at(0).representations.at(1), concealed) << hint;
  }
}

TEST(SelectionContentsTest, WritingOffersEveryTargetOnceAndFilesAsOneList) {
  const auto targets = SelectionContents::targets({
      {{{"public.utf8-plain-text", bytes("primero")},
        {"public.file-url", bytes("file:///a")},
        {"org.nspasteboard.ConcealedType", {}}}},
      {{{"public.utf8-plain-text", bytes("segundo")}, {"public.file-url", bytes("file:///b")}}},
  });
  const auto find = [&](std::string_view target) -> std::optional<std::string> {
    for (const auto& [name, data] : targets) {
      if (name == target) return std::string(data.begin(), data.end());
    }
    return std::nullopt;
  };
  EXPECT_EQ(find("UTF8_STRING"), "primero");  // the first item that has the type
  EXPECT_EQ(find("text/plain;charset=utf-8"), "primero");
  EXPECT_EQ(find("text/uri-list"), "file:///a\r\nfile:///b\r\n");
  EXPECT_EQ(find("x-special/gnome-copied-files"), "copy\nfile:///a\nfile:///b");
  EXPECT_EQ(find("x-kde-passwordManagerHint"), "secret");
  EXPECT_EQ(find("STRING"), std::nullopt);  // lossy targets are not offered
  EXPECT_EQ(std::ranges::count(targets, std::string("UTF8_STRING"),
                               &std::pair<std::string, Bytes>::first),
            1);
}

}  // namespace
}  // namespace mirlet
