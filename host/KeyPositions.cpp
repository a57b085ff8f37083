#include "host/KeyPositions.h"

#include <algorithm>
#include <array>
#include <utility>

namespace mirlet::KeyPositions {
namespace {

// (X key code, Mac key code) for every key a hot key can use.
constexpr std::array<std::pair<std::uint32_t, std::uint16_t>, 106> kPositions{{
    {9, 53},    {10, 18},   {11, 19},   {12, 20},   {13, 21},   {14, 23},   {15, 22},   {16, 26},
    {17, 28},   {18, 25},   {19, 29},   {20, 27},   {21, 24},   {22, 51},   {23, 48},   {24, 12},
    {25, 13},   {26, 14},   {27, 15},   {28, 17},   {29, 16},   {30, 32},   {31, 34},   {32, 31},
    {33, 35},   {34, 33},   {35, 30},   {36, 36},   {37, 59},   {38, 0},    {39, 1},    {40, 2},
    {41, 3},    {42, 5},    {43, 4},    {44, 38},   {45, 40},   {46, 37},   {47, 41},   {48, 39},
    {49, 50},   {50, 56},   {51, 42},   {52, 6},    {53, 7},    {54, 8},    {55, 9},    {56, 11},
    {57, 45},   {58, 46},   {59, 43},   {60, 47},   {61, 44},   {62, 60},   {63, 67},   {64, 58},
    {65, 49},   {66, 57},   {67, 122},  {68, 120},  {69, 99},   {70, 118},  {71, 96},   {72, 97},
    {73, 98},   {74, 100},  {75, 101},  {76, 109},  {77, 71},   {79, 89},   {80, 91},   {81, 92},
    {82, 78},   {83, 86},   {84, 87},   {85, 88},   {86, 69},   {87, 83},   {88, 84},   {89, 85},
    {90, 82},   {91, 65},   {94, 10},   {95, 103},  {96, 111},  {104, 76},  {105, 62},  {106, 75},
    {108, 61},  {110, 115}, {111, 126}, {112, 116}, {113, 123}, {114, 124}, {115, 119}, {116, 125},
    {117, 121}, {118, 114}, {119, 117}, {133, 55},  {134, 54},  {125, 81},  {191, 105}, {192, 107},
    {193, 113}, {194, 106},
}};

}  // namespace

std::optional<std::uint16_t> macKeyCode(std::uint32_t xKeyCode) {
  const auto found =
      std::ranges::find(kPositions, xKeyCode, &std::pair<std::uint32_t, std::uint16_t>::first);
  if (found == kPositions.end()) return std::nullopt;
  return found->second;
}

std::optional<std::uint32_t> xKeyCode(std::uint16_t macKeyCode) {
  const auto found =
      std::ranges::find(kPositions, macKeyCode, &std::pair<std::uint32_t, std::uint16_t>::second);
  if (found == kPositions.end()) return std::nullopt;
  return found->first;
}

}  // namespace mirlet::KeyPositions
