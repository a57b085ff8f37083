#include "host/sim/SimKeyboardLayout.h"

#include <array>

namespace mirlet::sim {
namespace {

using Table = std::map<std::uint16_t, std::string>;

// Keys typed the same way on the Latin layouts below, unless a layout says
// otherwise: the digit row and the keys around the letters.
Table common() {
  return {{18, "1"},  {19, "2"},  {20, "3"}, {21, "4"},    {23, "5"},
          {22, "6"},  {26, "7"},  {28, "8"}, {25, "9"},    {29, "0"},
          {36, "\r"}, {48, "\t"}, {49, " "}, {51, "\x7f"}, {53, "\x1b"}};
}

Table withLetters(Table table, const char* letters) {
  // `letters` lists the characters of the key codes 0 to 50 that carry a letter or
  // punctuation, in key-code order; a space marks a key code without one.
  for (std::uint16_t code = 0; letters[code] != '\0'; ++code) {
    if (letters[code] != ' ') table[code] = std::string(1, letters[code]);
  }
  return table;
}

using Changes = std::initializer_list<std::pair<std::uint16_t, const char*>>;

Table changed(Table table, Changes changes) {
  for (auto [code, text] : changes) table[code] = text;
  return table;
}

const Table& usANSI() {
  // Codes 0-17: a s d f h g z x c v § b q w e r y t; then the keys around them.
  static const Table table =
      changed(withLetters(common(), "asdfhgzxcv bqweryt"),
              {{24, "="}, {27, "-"}, {30, "]"}, {31, "o"}, {32, "u"}, {33, "["}, {34, "i"},
               {35, "p"}, {37, "l"}, {38, "j"}, {39, "'"}, {40, "k"}, {41, ";"}, {42, "\\"},
               {43, ","}, {44, "/"}, {45, "n"}, {46, "m"}, {47, "."}, {50, "`"}});
  return table;
}

const Table& spanish() {
  static const Table table = changed(usANSI(), {{10, "º"},
                                                {24, "¡"},
                                                {27, "'"},
                                                {30, "+"},
                                                {33, "`"},
                                                {39, "´"},
                                                {41, "ñ"},
                                                {42, "ç"},
                                                {44, "-"},
                                                {50, "<"}});
  return table;
}

const Table& frenchAZERTY() {
  static const Table table = changed(
      usANSI(), {{0, "q"},   {6, "w"},  {10, "@"}, {12, "a"}, {13, "z"}, {18, "&"}, {19, "é"},
                 {20, "\""}, {21, "'"}, {22, "§"}, {23, "("}, {24, "-"}, {25, "ç"}, {26, "è"},
                 {27, ")"},  {28, "!"}, {29, "à"}, {30, "$"}, {33, "^"}, {39, "ù"}, {41, "m"},
                 {42, "`"},  {43, ";"}, {44, "="}, {46, ","}, {47, ":"}, {50, "<"}});
  return table;
}

const Table& dvorak() {
  static const Table table =
      changed(usANSI(), {{0, "a"},   {1, "o"},  {2, "e"},  {3, "u"},  {4, "d"},  {5, "i"},
                         {6, ";"},   {7, "q"},  {8, "j"},  {9, "k"},  {11, "x"}, {12, "'"},
                         {13, ","},  {14, "."}, {15, "p"}, {16, "f"}, {17, "y"}, {24, "]"},
                         {27, "["},  {30, "="}, {31, "r"}, {32, "g"}, {33, "/"}, {34, "c"},
                         {35, "l"},  {37, "n"}, {38, "h"}, {39, "-"}, {40, "t"}, {41, "s"},
                         {42, "\\"}, {43, "w"}, {44, "z"}, {45, "b"}, {46, "m"}, {47, "v"}});
  return table;
}

}  // namespace

std::optional<std::string> SimKeyboardLayout::translate(std::uint16_t keyCode) const {
  if (unavailable) return std::nullopt;
  const Table* table = nullptr;
  switch (layout) {
    case Layout::usANSI:
      table = &usANSI();
      break;
    case Layout::spanish:
      table = &spanish();
      break;
    case Layout::frenchAZERTY:
      table = &frenchAZERTY();
      break;
    case Layout::dvorak:
      table = &dvorak();
      break;
  }
  auto found = table->find(keyCode);
  if (found == table->end()) return std::nullopt;
  return found->second;
}

}  // namespace mirlet::sim
