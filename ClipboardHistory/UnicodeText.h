#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mirlet::UnicodeText {

// The first `count` characters (grapheme clusters) of UTF-8 text; the whole text
// when it has no more.
std::string_view prefixOfCharacters(std::string_view text, std::size_t count);

// Unicode white space (line breaks included).
bool isWhitespace(char32_t codePoint);
bool containsWhitespace(std::string_view text);
std::string_view trimWhitespace(std::string_view text);

bool isValidUtf8(std::string_view bytes);
// Each byte as the code point of the same value.
std::string latin1ToUtf8(std::string_view bytes);

}  // namespace mirlet::UnicodeText
