#include "core/UnicodeText.h"

#include <unicode/brkiter.h>
#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <memory>

namespace mirlet::UnicodeText {
namespace {

// Creating a break iterator loads rules; one per thread is made once and reused.
icu::BreakIterator* characterIterator() {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    return std::unique_ptr<icu::BreakIterator>(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  }();
  return iterator.get();
}

// Decodes the code point at `offset`, advancing it; invalid bytes read as U+FFFD.
char32_t next(std::string_view text, std::size_t& offset) {
  UChar32 c = 0;
  int32_t i = static_cast<int32_t>(offset);
  U8_NEXT_OR_FFFD(reinterpret_cast<const uint8_t*>(text.data()), i,
                  static_cast<int32_t>(text.size()), c);
  offset = static_cast<std::size_t>(i);
  return static_cast<char32_t>(c);
}

// Segments `text` with the character break iterator and answers the byte length
// of its first `count` characters.
std::size_t segmentedLength(std::string_view text, std::size_t count) {
  icu::BreakIterator* iterator = characterIterator();
  UErrorCode status = U_ZERO_ERROR;
  UText* utext = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  if (!iterator || U_FAILURE(status)) {
    utext_close(utext);
    return text.size();
  }
  iterator->setText(utext, status);
  int32_t boundary = 0;
  for (std::size_t i = 0; i < count; ++i) {
    boundary = iterator->next();
    if (boundary == icu::BreakIterator::DONE) {
      boundary = static_cast<int32_t>(text.size());
      break;
    }
  }
  utext_close(utext);
  return static_cast<std::size_t>(boundary);
}

// Below U+0300 no code point joins its neighbours, but LF after CR: each is a
// character of its own. Answers the byte length of such a code point at
// `offset`, or 0.
std::size_t simpleCodePointLength(std::string_view text, std::size_t offset) {
  const auto lead = static_cast<unsigned char>(text[offset]);
  if (lead < 0x80) return 1;
  // Two-byte sequences up to U+02FF.
  if (lead < 0xC2 || lead > 0xCB || offset + 1 >= text.size()) return 0;
  const auto trail = static_cast<unsigned char>(text[offset + 1]);
  return (trail & 0xC0) == 0x80 ? 2 : 0;
}

}  // namespace

std::string_view prefixOfCharacters(std::string_view text, std::size_t count) {
  // A character is at least one byte: short texts need no segmentation.
  if (text.size() <= count) return text;
  // Counting the simple code points needs no segmenter, which is slow; from the
  // first other one on, the segmenter takes over at the last sure boundary (the
  // previous character's start, as the other one may join it).
  std::size_t characters = 0;
  std::size_t lastStart = 0;
  bool afterCR = false;
  std::size_t offset = 0;
  while (offset < text.size()) {
    const std::size_t length = simpleCodePointLength(text, offset);
    if (length == 0) {
      const std::size_t resumed = characters == 0 ? 0 : characters - 1;
      return text.substr(0, lastStart + segmentedLength(text.substr(lastStart), count - resumed));
    }
    if (afterCR && text[offset] == '\n') {
      afterCR = false;
      ++offset;
      continue;
    }
    if (characters == count) return text.substr(0, offset);
    lastStart = offset;
    ++characters;
    afterCR = text[offset] == '\r';
    offset += length;
  }
  return text;
}

bool isWhitespace(char32_t codePoint) { return u_isUWhiteSpace(static_cast<UChar32>(codePoint)); }

bool containsWhitespace(std::string_view text) {
  for (std::size_t offset = 0; offset < text.size();) {
    if (isWhitespace(next(text, offset))) return true;
  }
  return false;
}

std::string_view trimWhitespace(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t after = start;
    if (!isWhitespace(next(text, after))) break;
    start = after;
  }
  std::size_t end = start;
  for (std::size_t offset = start; offset < text.size();) {
    if (!isWhitespace(next(text, offset))) end = offset;
  }
  return text.substr(start, end - start);
}

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t offset = 0; offset < text.size();) {
    const std::size_t before = offset;
    if (isWhitespace(next(text, offset))) {
      if (before > start) pieces.push_back(text.substr(start, before - start));
      start = offset;
    }
  }
  if (text.size() > start) pieces.push_back(text.substr(start));
  return pieces;
}

std::string asciiLowercased(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string_view trimSpacesAndTabs(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::size_t validSequenceLength(std::string_view bytes, std::size_t offset) {
  int32_t i = static_cast<int32_t>(offset);
  UChar32 c = 0;
  U8_NEXT(reinterpret_cast<const uint8_t*>(bytes.data()), i, static_cast<int32_t>(bytes.size()), c);
  return c < 0 ? 0 : static_cast<std::size_t>(i) - offset;
}

bool isValidUtf8(std::string_view bytes) {
  for (int32_t i = 0; i < static_cast<int32_t>(bytes.size());) {
    UChar32 c = 0;
    U8_NEXT(reinterpret_cast<const uint8_t*>(bytes.data()), i, static_cast<int32_t>(bytes.size()),
            c);
    if (c < 0) return false;
  }
  return true;
}

std::string repairedUtf8(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  std::string text;
  text.reserve(bytes.size() + 8);
  for (std::size_t offset = 0; offset < bytes.size();) {
    const std::size_t start = offset;
    const char32_t c = next(bytes, offset);
    if (c == 0xFFFD && validSequenceLength(bytes, start) == 0) {
      text += "\xEF\xBF\xBD";
    } else {
      text.append(bytes.substr(start, offset - start));
    }
  }
  return text;
}

std::string latin1ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    if (value < 0x80) {
      text += static_cast<char>(value);
    } else {
      text += static_cast<char>(0xC0 | (value >> 6));
      text += static_cast<char>(0x80 | (value & 0x3F));
    }
  }
  return text;
}

std::string composed(std::string_view text) {
  const std::string valid = repairedUtf8(text);
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return valid;
  std::string result;
  icu::StringByteSink<std::string> sink(&result);
  nfc->normalizeUTF8(0, valid, sink, nullptr, status);
  return U_SUCCESS(status) ? result : valid;
}

}  // namespace mirlet::UnicodeText
