#include "ClipboardHistory/model/Fingerprint.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

PasteboardRepresentation representation(std::string type, std::string_view bytes) {
  return {std::move(type), std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

TEST(FingerprintTest, KnownAnswer) {
  // Computed independently: SHA-256 of "item:0\0public.utf8-plain-text\04\0hola"
  // followed by "item:1\0public.png\03\0\x89PN".
  const CapturedItems items{{representation("public.utf8-plain-text", "hola")},
                            {representation("public.png", "\x89PN")}};
  EXPECT_EQ(Fingerprint::of(items),
            "3132a82ae3626ce2dfb575c114dc6887af584d45ece2b9f0f117aa59861e613e");
}

TEST(FingerprintTest, EmptyCaptureIsTheDigestOfNothing) {
  EXPECT_EQ(Fingerprint::of({}),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(FingerprintTest, SourceMarkerIsLeftOut) {
  const CapturedItems fromOne{{representation("public.utf8-plain-text", "hola"),
                               representation("org.nspasteboard.source", "com.apple.Notes")}};
  const CapturedItems fromOther{{representation("org.nspasteboard.source", "com.apple.Safari"),
                                 representation("public.utf8-plain-text", "hola")}};
  EXPECT_EQ(Fingerprint::of(fromOne), Fingerprint::of(fromOther));
}

TEST(FingerprintTest, TypesAndItemBoundariesArePartOfTheIdentity) {
  const CapturedItems text{{representation("public.utf8-plain-text", "hola")}};
  const CapturedItems html{{representation("public.html", "hola")}};
  const CapturedItems together{{representation("a", "x"), representation("b", "y")}};
  const CapturedItems apart{{representation("a", "x")}, {representation("b", "y")}};
  const CapturedItems reordered{{representation("b", "y"), representation("a", "x")}};
  EXPECT_NE(Fingerprint::of(text), Fingerprint::of(html));
  EXPECT_NE(Fingerprint::of(together), Fingerprint::of(apart));
  EXPECT_NE(Fingerprint::of(together), Fingerprint::of(reordered));
}

TEST(FingerprintTest, LengthsSeparateTypeFromData) {
  const CapturedItems one{{representation("ab", "c")}};
  const CapturedItems other{{representation("a", "bc")}};
  EXPECT_NE(Fingerprint::of(one), Fingerprint::of(other));
}

}  // namespace
}  // namespace mirlet
