#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirlet::UnicodeText {

// The first `count` characters (grapheme clusters) of UTF-8 text; the whole text
// when it has no more.
std::string_view prefixOfCharacters(std::string_view text, std::size_t count);

// Unicode white space (line breaks included).
bool isWhitespace(char32_t codePoint);
bool containsWhitespace(std::string_view text);
std::string_view trimWhitespace(std::string_view text);

// The pieces between runs of white space, in order.
std::vector<std::string_view> words(std::string_view text);

// ASCII letters lower-cased, every other byte as it is: for identifiers, schemes
// and host names, which the rules compare in ASCII.
std::string asciiLowercased(std::string_view text);
std::string_view trimSpacesAndTabs(std::string_view text);

bool isValidUtf8(std::string_view bytes);
// The bytes as UTF-8 text, each invalid sequence replaced by U+FFFD.
std::string repairedUtf8(std::string_view bytes);
// The length of the valid UTF-8 sequence that starts at `offset`, or 0.
std::size_t validSequenceLength(std::string_view bytes, std::size_t offset);
// Each byte as the code point of the same value.
std::string latin1ToUtf8(std::string_view bytes);
// The text in its composed form (NFC), so that "é" written as e and an accent
// equals "é" written as one character; invalid UTF-8 is repaired first.
std::string composed(std::string_view text);

}  // namespace mirlet::UnicodeText
