#include "ClipboardHistory/model/ColorValue.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "core/UnicodeText.h"

namespace mirlet {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<ColorValue> parseHex(std::string_view digits) {
  std::string expanded;
  if (digits.size() == 3) {
    for (char c : digits) expanded.append(2, c);
  } else if (digits.size() == 6 || digits.size() == 8) {
    expanded = digits;
  } else {
    return std::nullopt;
  }
  double components[4] = {0, 0, 0, 1};
  for (std::size_t pair = 0; pair < expanded.size() / 2; ++pair) {
    const int high = hexDigit(expanded[2 * pair]);
    const int low = hexDigit(expanded[2 * pair + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    components[pair] = (high * 16 + low) / 255.0;
  }
  return ColorValue{components[0], components[1], components[2], components[3]};
}

// A decimal number taking the whole text: an optional sign, digits with an
// optional fraction and exponent; no surrounding white space, no hexadecimal,
// infinity or NaN. Independent of the process locale.
std::optional<double> decimal(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) ||
                        text.front() == '-' || text.front() == '.')) {
    return std::nullopt;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> inRange(std::optional<double> value, double low, double high) {
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

std::optional<double> percent(std::string_view text) {
  if (!text.ends_with('%')) return std::nullopt;
  return inRange(decimal(text.substr(0, text.size() - 1)), 0, 100);
}

double roundedToSixDecimals(double value) { return std::round(value * 1'000'000) / 1'000'000; }

double channel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 1.0 / 2) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

}  // namespace

ColorValue ColorValue::fromHSL(double hue, double saturation, double lightness, double alpha) {
  double h = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0);
  if (saturation <= 0) return ColorValue{lightness, lightness, lightness, alpha};
  h /= 360.0;
  const double q = lightness < 0.5 ? lightness * (1 + saturation)
                                   : lightness + saturation - lightness * saturation;
  const double p = 2 * lightness - q;
  return ColorValue{roundedToSixDecimals(channel(p, q, h + 1.0 / 3)),
                    roundedToSixDecimals(channel(p, q, h)),
                    roundedToSixDecimals(channel(p, q, h - 1.0 / 3)), alpha};
}

std::optional<ColorValue> ColorValue::parse(std::string_view input) {
  std::string text(UnicodeText::trimSpacesAndTabs(input));
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (text.starts_with('#')) return parseHex(std::string_view(text).substr(1));

  const auto open = text.find('(');
  if (open == std::string::npos || !text.ends_with(')')) return std::nullopt;
  const std::string_view name = std::string_view(text).substr(0, open);
  const std::string_view inside = std::string_view(text).substr(open + 1, text.size() - open - 2);
  std::vector<std::string_view> arguments;
  for (std::size_t start = 0; start <= inside.size();) {
    const auto comma = std::min(inside.find(',', start), inside.size());
    if (comma > start)
      arguments.push_back(UnicodeText::trimSpacesAndTabs(inside.substr(start, comma - start)));
    start = comma + 1;
  }

  if ((name == "rgb" && arguments.size() == 3) || (name == "rgba" && arguments.size() == 4)) {
    double rgb[3];
    for (int i = 0; i < 3; ++i) {
      auto value = inRange(decimal(arguments[static_cast<std::size_t>(i)]), 0, 255);
      if (!value) return std::nullopt;
      rgb[i] = *value / 255.0;
    }
    double alpha = 1;
    if (arguments.size() == 4) {
      auto value = inRange(decimal(arguments[3]), 0, 1);
      if (!value) return std::nullopt;
      alpha = *value;
    }
    return ColorValue{rgb[0], rgb[1], rgb[2], alpha};
  }
  if ((name == "hsl" && arguments.size() == 3) || (name == "hsla" && arguments.size() == 4)) {
    auto hue = decimal(arguments[0]);
    auto saturation = percent(arguments[1]);
    auto lightness = percent(arguments[2]);
    if (!hue || !saturation || !lightness) return std::nullopt;
    double alpha = 1;
    if (arguments.size() == 4) {
      auto value = inRange(decimal(arguments[3]), 0, 1);
      if (!value) return std::nullopt;
      alpha = *value;
    }
    return fromHSL(*hue, *saturation / 100, *lightness / 100, alpha);
  }
  return std::nullopt;
}

}  // namespace mirlet
