#include "host/ClipboardTargets.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using ClipboardTargets::Conversion;
using ClipboardTargets::Source;

TEST(ClipboardTargetsTest, EachTypeComesFromItsBestTargetInTheOwnersOrder) {
  const auto sources =
      ClipboardTargets::sources({"TIMESTAMP", "TARGETS", "STRING", "text/html", "", "UTF8_STRING",
                                 "image/png", "MULTIPLE", "text/plain"});
  EXPECT_EQ(sources, (std::vector<Source>{
                         {"public.utf8-plain-text", "UTF8_STRING", Conversion::none},
                         {"public.html", "text/html", Conversion::none},
                         {"public.png", "image/png", Conversion::none},
                     }));
}

TEST(ClipboardTargetsTest, OnlyLatin1TextIsConverted) {
  const auto sources = ClipboardTargets::sources({"STRING"});
  ASSERT_EQ(sources.size(), 1u);
  EXPECT_EQ(sources[0].conversion, Conversion::latin1);
  EXPECT_EQ(ClipboardTargets::converted(Conversion::latin1, Bytes{'a', 0xF1, 'o'}),
            (Bytes{'a', 0xC3, 0xB1, 'o'}));  // "año"
  EXPECT_EQ(ClipboardTargets::converted(Conversion::none, Bytes{0xF1}), Bytes{0xF1});
}

TEST(ClipboardTargetsTest, FilesImagesAndThePasswordHintHaveTheirTypes) {
  const auto sources =
      ClipboardTargets::sources({"x-special/gnome-copied-files", "text/uri-list", "image/jpeg",
                                 "image/x-bmp", "x-kde-passwordManagerHint"});
  std::vector<std::string> types;
  for (const auto& source : sources) types.push_back(source.uniformType);
  EXPECT_EQ(types, (std::vector<std::string>{"x-special/gnome-copied-files", "public.file-url",
                                             "public.jpeg", "com.microsoft.bmp",
                                             "org.nspasteboard.ConcealedType"}));
}

TEST(ClipboardTargetsTest, WritingOffersEveryLosslessTargetAndUnknownTypesByName) {
  EXPECT_EQ(ClipboardTargets::targets("public.utf8-plain-text"),
            (std::vector<std::string>{"text/plain;charset=utf-8", "UTF8_STRING", "text/plain"}));
  EXPECT_EQ(ClipboardTargets::targets("public.rtf"),
            (std::vector<std::string>{"text/rtf", "application/rtf"}));
  EXPECT_EQ(ClipboardTargets::targets("org.nspasteboard.ConcealedType"),
            std::vector<std::string>{"x-kde-passwordManagerHint"});
  EXPECT_EQ(ClipboardTargets::targets("application/x-mi-app"),
            std::vector<std::string>{"application/x-mi-app"});
}

}  // namespace
}  // namespace mirlet
