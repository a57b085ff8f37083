#include "host/KeyboardLayout.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <map>

#include "core/UnicodeText.h"

namespace mirlet {
namespace {

const std::map<std::uint16_t, std::string_view>& specialKeys() {
  static const std::map<std::uint16_t, std::string_view> keys{
      {49, "Espacio"}, {36, "↩"},    {76, "⌤"},   {48, "⇥"},   {51, "⌫"},   {117, "⌦"},
      {53, "⎋"},       {123, "←"},   {124, "→"},  {125, "↓"},  {126, "↑"},  {115, "↖"},
      {119, "↘"},      {116, "⇞"},   {121, "⇟"},  {122, "F1"}, {120, "F2"}, {99, "F3"},
      {118, "F4"},     {96, "F5"},   {97, "F6"},  {98, "F7"},  {100, "F8"}, {101, "F9"},
      {109, "F10"},    {103, "F11"}, {111, "F12"}};
  return keys;
}

const std::map<std::uint16_t, std::string_view>& ansiFallback() {
  static const std::map<std::uint16_t, std::string_view> keys{
      {0, "A"},  {11, "B"}, {8, "C"},  {2, "D"},  {14, "E"}, {3, "F"},  {5, "G"},  {4, "H"},
      {34, "I"}, {38, "J"}, {40, "K"}, {37, "L"}, {46, "M"}, {45, "N"}, {31, "O"}, {35, "P"},
      {12, "Q"}, {15, "R"}, {1, "S"},  {17, "T"}, {32, "U"}, {9, "V"},  {13, "W"}, {7, "X"},
      {16, "Y"}, {6, "Z"},  {29, "0"}, {18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}, {23, "5"},
      {22, "6"}, {26, "7"}, {28, "8"}, {25, "9"}};
  return keys;
}

std::string caseMapped(std::string_view text, bool upper) {
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  if (upper) {
    unicode.toUpper(icu::Locale::getRoot());
  } else {
    unicode.toLower(icu::Locale::getRoot());
  }
  std::string result;
  unicode.toUTF8String(result);
  return result;
}

}  // namespace

std::optional<std::string> KeyboardLayout::character(std::uint16_t keyCode) const {
  auto text = source_.translate(keyCode);
  if (!text || text->empty()) return std::nullopt;
  return text;
}

std::uint16_t KeyboardLayout::keyCode(std::string_view wanted, std::uint16_t fallback) const {
  for (std::uint16_t code = 0; code < 128; ++code) {
    auto text = character(code);
    if (text && caseMapped(*text, false) == wanted) return code;
  }
  return fallback;
}

std::string KeyboardLayout::keyLabel(std::uint16_t keyCode) const {
  if (auto special = specialKeys().find(keyCode); special != specialKeys().end()) {
    return std::string(special->second);
  }
  if (auto text = character(keyCode)) {
    const std::string upper = caseMapped(*text, true);
    const UChar32 first = icu::UnicodeString::fromUTF8(upper).char32At(0);
    if (!u_iscntrl(first) && !UnicodeText::trimWhitespace(upper).empty()) return upper;
  }
  if (auto ansi = ansiFallback().find(keyCode); ansi != ansiFallback().end())
    return std::string(ansi->second);
  return "#" + std::to_string(keyCode);
}

}  // namespace mirlet
