#pragma once

#include <optional>
#include <string_view>

namespace mirlet {

// A colour with components in 0...1.
struct ColorValue {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  // Reads a colour literal: "#abc", "#aabbcc", "#aabbccdd", "rgb(r, g, b)",
  // "rgba(r, g, b, a)", "hsl(h, s%, l%)", "hsla(h, s%, l%, a)". Anything else is
  // nothing.
  static std::optional<ColorValue> parse(std::string_view text);

  // A colour from hue in degrees (any value), saturation, lightness and alpha in
  // 0...1. Components are rounded to 6 decimals, half away from zero; a grey
  // (saturation 0 or less) is not rounded.
  static ColorValue fromHSL(double hue, double saturation, double lightness, double alpha);

  friend bool operator==(const ColorValue&, const ColorValue&) = default;
};

}  // namespace mirlet
