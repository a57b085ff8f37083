#include "core/UnicodeText.h"

#include <gtest/gtest.h>
#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <memory>
#include <random>

namespace mirlet {
namespace {

// The first `count` characters as the segmenter alone finds them.
std::string_view segmenterPrefix(std::string_view text, std::size_t count) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> iterator(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  UText* utext = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  iterator->setText(utext, status);
  std::size_t end = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int32_t boundary = iterator->next();
    if (boundary == icu::BreakIterator::DONE) break;
    end = static_cast<std::size_t>(boundary);
  }
  utext_close(utext);
  return text.substr(0, end);
}

TEST(UnicodeTextTest, PrefixCountsCharactersNotBytesOrCodePoints) {
  const struct {
    std::string text;
    std::size_t count;
    std::string expected;
  } cases[] = {
      {"abc", 5, "abc"},
      {"abcdef", 3, "abc"},
      {"a\r\nb\r\nc", 2, "a\r\n"},
      {"a\r\nb\r\nc", 3, "a\r\nb"},
      {"\xC3\xB1"
       "and\xC3\xBA es",
       3,
       "\xC3\xB1"
       "an"},
      {"cafe\xCC\x81 bar", 4, "cafe\xCC\x81"},  // e + combining acute
      {"\xF0\x9F\x87\xAA\xF0\x9F\x87\xB8\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", 1,
       "\xF0\x9F\x87\xAA\xF0\x9F\x87\xB8"},  // two flags
      {"ab\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9xyz", 3,
       "ab\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9"},  // a ZWJ sequence
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnicodeText::prefixOfCharacters(c.text, c.count), c.expected) << c.text;
  }
  const std::string longText(6000, 'x');
  EXPECT_EQ(UnicodeText::prefixOfCharacters(longText, 5000).size(), 5000u);
}

// Mixes of simple code points and those that join (marks, joiners, flags, Hangul
// jamo, CR LF, invalid bytes) cut exactly where the segmenter alone cuts.
TEST(UnicodeTextTest, PrefixAgreesWithTheSegmenterOnMixedText) {
  const std::string pieces[] = {"a",
                                " ",
                                "\r",
                                "\n",
                                "\xC3\xA9",                   // é
                                "\xCC\x81",                   // combining acute
                                "\xE2\x80\x8D",               // zero-width joiner
                                "\xF0\x9F\x87\xAA",           // regional indicator
                                "\xF0\x9F\x91\xA8",           // man
                                "\xE1\x84\x80",               // Hangul leading jamo
                                "\xE1\x85\xA1",               // Hangul vowel jamo
                                "\xEA\xB0\x80",               // Hangul syllable
                                "\xC2\xA9",                   // ©, pictographic
                                "\xFF",                       // not UTF-8
                                "\xE0\xA4\x95\xE0\xA5\x8D"};  // Devanagari ka + virama
  std::mt19937 random(20261206);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int length = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
    for (std::size_t count = 0; count <= text.size(); ++count) {
      ASSERT_EQ(UnicodeText::prefixOfCharacters(text, count), segmenterPrefix(text, count))
          << "round " << round << ", count " << count;
    }
  }
}

TEST(UnicodeTextTest, ComposedJoinsLettersWithTheirAccents) {
  EXPECT_EQ(UnicodeText::composed("Cafe\xCC\x81 n\xCC\x83"), "Caf\xC3\xA9 \xC3\xB1");
  EXPECT_EQ(UnicodeText::composed("Caf\xC3\xA9"), "Caf\xC3\xA9");
  EXPECT_EQ(UnicodeText::composed("a\xFF"), "a\xEF\xBF\xBD");
  EXPECT_EQ(UnicodeText::composed(""), "");
}

}  // namespace
}  // namespace mirlet
