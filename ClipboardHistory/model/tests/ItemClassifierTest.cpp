#include "ClipboardHistory/model/ItemClassifier.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using ItemDetails::FileCount;
using ItemDetails::Lines;
using ItemDetails::None;

const std::string kPlain = "public.utf8-plain-text";

ClassifierInput text(std::string value, std::vector<std::string> types = {kPlain},
                     std::optional<std::string> source = std::nullopt) {
  ClassifierInput input;
  input.types = std::move(types);
  input.text = std::move(value);
  input.sourceBundleID = std::move(source);
  return input;
}

ClassifierInput files(std::vector<std::string> urls, std::vector<bool> directories) {
  ClassifierInput input;
  input.types = {"public.file-url"};
  input.fileURLs = std::move(urls);
  input.directoryFlags = std::move(directories);
  return input;
}

ClassifierInput types(std::vector<std::string> identifiers,
                      std::optional<std::string> source = {}) {
  ClassifierInput input;
  input.types = std::move(identifiers);
  input.sourceBundleID = std::move(source);
  return input;
}

struct ClassifyCase {
  const char* name;
  ClassifierInput input;
  ItemKind kind;
  ItemDetail detail;
};

class ClassifyTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyTest, KindAndDetail) {
  const ClassifyCase& c = GetParam();
  const Classification result = ItemClassifier::classify(c.input);
  EXPECT_EQ(result.kind, c.kind) << ItemKinds::rawValue(result.kind);
  EXPECT_EQ(result.detail, c.detail);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ClassifyTest,
    ::testing::Values(
        ClassifyCase{"TwoFolders", files({"file:///a/", "file:///b/"}, {true, true}),
                     ItemKind::folder, FileCount{2}},
        ClassifyCase{"OneFolder", files({"file:///a/"}, {true}), ItemKind::folder, None{}},
        ClassifyCase{"FileAndFolder", files({"file:///a", "file:///b/"}, {false, true}),
                     ItemKind::files, FileCount{2}},
        ClassifyCase{"ShortFlagsMeanFiles", files({"file:///a/", "file:///b/"}, {true}),
                     ItemKind::files, FileCount{2}},
        ClassifyCase{"ImageWithBlankText", text(" \n ", {"public.png", kPlain}), ItemKind::image,
                     None{}},
        ClassifyCase{"ImageWithWordsIsText", text("hola", {"public.png", kPlain}), ItemKind::text,
                     Lines{1}},
        ClassifyCase{"Screenshot", types({"public.png"}, "com.apple.screencaptureui"),
                     ItemKind::screenshot, None{}},
        ClassifyCase{"Audio", types({"public.mp3"}), ItemKind::audio, None{}},
        ClassifyCase{"Video", types({"public.mpeg-4"}), ItemKind::video, None{}},
        ClassifyCase{"CalendarByMimeType", types({"text/calendar"}), ItemKind::calendarEvent,
                     None{}},
        ClassifyCase{"Link", text("  https://example.com/a?b  "), ItemKind::link, None{}},
        ClassifyCase{"LinkWithAccents", text("https://es.wikipedia.org/wiki/Canción"),
                     ItemKind::link, None{}},
        ClassifyCase{"LinkThenWordIsText", text("https://example.com more"), ItemKind::text,
                     Lines{1}},
        ClassifyCase{"FtpIsText", text("ftp://example.com"), ItemKind::text, Lines{1}},
        ClassifyCase{"HttpsWithoutHost", text("https:/path"), ItemKind::text, Lines{1}},
        ClassifyCase{"Email", text("ana@example.es"), ItemKind::email, None{}},
        ClassifyCase{"EmailWithoutDot", text("ana@example"), ItemKind::text, Lines{1}},
        ClassifyCase{"Colour", text("#ABC"), ItemKind::color,
                     ItemDetails::Color{{170 / 255.0, 187 / 255.0, 204 / 255.0, 1}}},
        ClassifyCase{"Table", text("a\tb\nc\td"), ItemKind::table, ItemDetails::Table{2, 2}},
        ClassifyCase{"RaggedTabsAreText", text("a\tb\ncd"), ItemKind::text, Lines{2}},
        ClassifyCase{"OneLineWithTabsIsText", text("a\tb\tc"), ItemKind::text, Lines{1}},
        ClassifyCase{"CRLFTable", text("a\tb\r\nc\td\r\n"), ItemKind::table,
                     ItemDetails::Table{2, 2}},
        ClassifyCase{"CodeBySignals", text("int x;\n    return x"), ItemKind::code, Lines{2}},
        ClassifyCase{"BracesAloneAreText", text("{ hola }"), ItemKind::text, Lines{1}},
        ClassifyCase{"CodeBySource", text("hola", {kPlain}, "com.jetbrains.intellij"),
                     ItemKind::code, Lines{1}},
        ClassifyCase{"RichText", text("hola", {kPlain, "public.rtf"}), ItemKind::richText,
                     Lines{1}},
        ClassifyCase{"TrailingEmptyLinesDoNotCount", text("a\n\nb\n\n\n"), ItemKind::text,
                     Lines{3}},
        ClassifyCase{"AppContent", types({"com.example.private"}), ItemKind::appContent, None{}},
        ClassifyCase{"PublicOnlyIsOther", types({"public.data", "dyn.ah62d4rv4gu8y"}),
                     ItemKind::other, None{}},
        ClassifyCase{"NothingIsOther", types({}), ItemKind::other, None{}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ClassifyTextTest, FilesShowTheirPaths) {
  EXPECT_EQ(
      ItemClassifier::classify(files({"file:///Users/ana/Mis%20cosas/a.txt", "file:///b"}, {}))
          .text,
      "/Users/ana/Mis cosas/a.txt\n/b");
  EXPECT_EQ(ItemClassifier::classify(files({"file://localhost/tmp/a%20b.txt"}, {})).text,
            "/tmp/a b.txt");
  EXPECT_EQ(ItemClassifier::classify(files({"file:///tmp/caf%E9.txt"}, {})).text,
            "/tmp/caf\uFFFD.txt");
}

TEST(ClassifyTextTest, CommonLinksWithCharactersAURLMayNotHoldAreLinks) {
  for (const char* link : {"https://tienda.example/buscar?filter[brand]=acme",
                           "https://api.example/x?ids[]=1", "https://example.com/rebajas?q=100%",
                           "https://app.example/#/ruta#seccion", "https://[2001:db8::1]/panel"}) {
    EXPECT_EQ(ItemClassifier::classify(text(link)).kind, ItemKind::link) << link;
  }
}

TEST(ClassifyTextTest, LongTextIsAnalysedWholeButShownCut) {
  std::string longText(20000, 'a');
  longText += ";\n    x";
  const Classification result = ItemClassifier::classify(text(longText));
  EXPECT_EQ(result.kind, ItemKind::code);
  EXPECT_EQ(result.text.size(), 10000u);
}

TEST(ClassifyTextTest, CutCountsCharactersNotBytes) {
  std::string accented;
  for (int i = 0; i < 10001; ++i) accented += "e\u0301";  // two code points, one character
  const Classification result = ItemClassifier::classify(text(accented));
  EXPECT_EQ(result.text.size(), 10000u * 3);
}

TEST(ClassifyTextTest, LinksAndAddressesKeepTheirWholeTrimmedText) {
  const std::string link = "https://example.com/" + std::string(12000, 'a');
  EXPECT_EQ(ItemClassifier::classify(text(" " + link + "\n")).text, link);
}

TEST(ClassifyTextTest, TextWithNoLinesStillCountsOne) {
  EXPECT_EQ(ItemClassifier::classify(text("x")).detail, ItemDetail(Lines{1}));
  EXPECT_TRUE(ItemClassifier::lines("").empty());
}

}  // namespace
}  // namespace mirlet
