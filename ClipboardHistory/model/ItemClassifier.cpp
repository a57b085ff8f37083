#include "ClipboardHistory/model/ItemClassifier.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>

#include "ClipboardHistory/model/ColorValue.h"
#include "ClipboardHistory/model/UniformTypes.h"
#include "core/UnicodeText.h"
#include "core/Url.h"

namespace mirlet::ItemClassifier {
namespace {

template <std::size_t N>
bool contains(const std::array<std::string_view, N>& set, std::string_view value) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

template <std::size_t N>
bool sharesElement(const std::vector<std::string>& types,
                   const std::array<std::string_view, N>& set) {
  return std::any_of(types.begin(), types.end(),
                     [&](const std::string& type) { return contains(set, type); });
}

// "\s" of the platform's regular expressions: tab, line feed, form feed, carriage
// return and the Unicode separators.
bool isRegexSpace(UChar32 c) {
  if (c == '\t' || c == '\n' || c == '\f' || c == '\r') return true;
  const auto type = u_charType(c);
  return type == U_SPACE_SEPARATOR || type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR;
}

Classification files(const ClassifierInput& input) {
  std::string text;
  for (std::size_t i = 0; i < input.fileURLs.size(); ++i) {
    if (i > 0) text += '\n';
    // A path is bytes; what is shown must be text.
    text += UnicodeText::repairedUtf8(Url::filePath(input.fileURLs[i]));
  }
  const auto count = static_cast<std::int64_t>(input.fileURLs.size());
  const bool allFolders = input.directoryFlags.size() == input.fileURLs.size() &&
                          std::all_of(input.directoryFlags.begin(), input.directoryFlags.end(),
                                      [](bool d) { return d; });
  ItemKind kind = allFolders ? ItemKind::folder : (count == 1 ? ItemKind::file : ItemKind::files);
  ItemDetail detail = count == 1 ? ItemDetail{ItemDetails::None{}} : ItemDetails::FileCount{count};
  return {kind, detail, std::move(text)};
}

}  // namespace

bool isLink(std::string_view text) {
  if (UnicodeText::containsWhitespace(text)) return false;
  auto url = Url::parse(text);
  if (!url) return false;
  const std::string scheme = UnicodeText::asciiLowercased(url->scheme);
  return (scheme == "http" || scheme == "https") && url->host && !url->host->empty();
}

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const auto feed = text.find('\n', start);
    std::string_view piece =
        text.substr(start, feed == std::string_view::npos ? feed : feed - start);
    if (feed != std::string_view::npos && piece.ends_with('\r')) piece.remove_suffix(1);
    pieces.push_back(piece);
    if (feed == std::string_view::npos) break;
    start = feed + 1;
  }
  while (!pieces.empty() && pieces.back().empty()) pieces.pop_back();
  return pieces;
}

std::optional<std::pair<std::int64_t, std::int64_t>> tableShape(std::string_view text) {
  const auto rows = lines(text);
  if (rows.size() < 2) return std::nullopt;
  const auto tabs = std::count(rows[0].begin(), rows[0].end(), '\t');
  if (tabs == 0) return std::nullopt;
  for (const auto& row : rows) {
    if (std::count(row.begin(), row.end(), '\t') != tabs) return std::nullopt;
  }
  return std::pair<std::int64_t, std::int64_t>(static_cast<std::int64_t>(rows.size()), tabs + 1);
}

bool isCode(std::string_view text, const std::optional<std::string>& source) {
  if (source &&
      (contains(codeSources, *source) ||
       std::any_of(codePrefixes.begin(), codePrefixes.end(),
                   [&](std::string_view prefix) { return source->starts_with(prefix); }))) {
    return true;
  }
  const auto opening = std::count(text.begin(), text.end(), '{');
  const bool balancedBraces = opening > 0 && opening == std::count(text.begin(), text.end(), '}');
  const auto pieces = lines(text);
  const bool statementLine = std::any_of(pieces.begin(), pieces.end(), [](std::string_view line) {
    return UnicodeText::trimSpacesAndTabs(line).ends_with(';');
  });
  const bool indentation =
      pieces.size() > 1 && std::any_of(pieces.begin(), pieces.end(), [](std::string_view line) {
        return line.starts_with("    ") || line.starts_with('\t');
      });
  return static_cast<int>(balancedBraces) + static_cast<int>(statementLine) +
             static_cast<int>(indentation) >=
         2;
}

// The whole text matches "^[^\s@]+@[^\s@]+\.[^\s@]+$": no white space, one "@"
// with something before it, and after it a "." that is neither first nor last.
bool isEmailAddress(std::string_view text) {
  std::size_t at = std::string_view::npos;
  for (int32_t i = 0; i < static_cast<int32_t>(text.size());) {
    const int32_t start = i;
    UChar32 c = 0;
    U8_NEXT_OR_FFFD(reinterpret_cast<const uint8_t*>(text.data()), i,
                    static_cast<int32_t>(text.size()), c);
    if (isRegexSpace(c)) return false;
    if (c == '@') {
      if (at != std::string_view::npos) return false;
      at = static_cast<std::size_t>(start);
    }
  }
  if (at == std::string_view::npos || at == 0) return false;
  const std::string_view domain = text.substr(at + 1);
  const auto dot = domain.find('.', 1);
  return dot != std::string_view::npos && dot + 1 < domain.size();
}

Classification classify(const ClassifierInput& input) {
  if (!input.fileURLs.empty()) return files(input);

  const std::string_view raw = input.text ? std::string_view(*input.text) : std::string_view();
  const std::string_view trimmed = UnicodeText::trimWhitespace(raw);
  auto shown = [&] {
    return std::string(UnicodeText::prefixOfCharacters(raw, maximumTextLength));
  };
  auto conformsToAny = [&](UniformTypes::Conformance conformance) {
    return std::any_of(input.types.begin(), input.types.end(), [&](const std::string& type) {
      return UniformTypes::conformsTo(type, conformance);
    });
  };

  if (trimmed.empty() && conformsToAny(UniformTypes::Conformance::image)) {
    const bool screenshot =
        input.sourceBundleID && contains(screenshotSources, *input.sourceBundleID);
    ItemDetail detail = ItemDetails::None{};
    if (input.imagePixelSize) {
      detail = ItemDetails::Pixels{input.imagePixelSize->width, input.imagePixelSize->height};
    }
    return {screenshot ? ItemKind::screenshot : ItemKind::image, detail, ""};
  }
  if (conformsToAny(UniformTypes::Conformance::audio))
    return {ItemKind::audio, ItemDetails::None{}, shown()};
  if (conformsToAny(UniformTypes::Conformance::movie) ||
      conformsToAny(UniformTypes::Conformance::video)) {
    return {ItemKind::video, ItemDetails::None{}, shown()};
  }
  if (sharesElement(input.types, calendarTypes)) {
    ItemDetail detail = ItemDetails::None{};
    if (input.calendarEventCount) detail = ItemDetails::Events{*input.calendarEventCount};
    return {ItemKind::calendarEvent, detail, shown()};
  }

  if (input.text && !trimmed.empty()) {
    if (isLink(trimmed)) return {ItemKind::link, ItemDetails::None{}, std::string(trimmed)};
    if (isEmailAddress(trimmed))
      return {ItemKind::email, ItemDetails::None{}, std::string(trimmed)};
    if (auto color = ColorValue::parse(trimmed)) {
      return {ItemKind::color, ItemDetails::Color{*color}, std::string(trimmed)};
    }
    if (auto shape = tableShape(raw)) {
      return {ItemKind::table, ItemDetails::Table{shape->first, shape->second}, shown()};
    }
    const auto lineCount = std::max<std::int64_t>(1, static_cast<std::int64_t>(lines(raw).size()));
    if (isCode(raw, input.sourceBundleID))
      return {ItemKind::code, ItemDetails::Lines{lineCount}, shown()};
    const ItemKind kind =
        sharesElement(input.types, richTextTypes) ? ItemKind::richText : ItemKind::text;
    return {kind, ItemDetails::Lines{lineCount}, shown()};
  }

  if (input.types.empty()) return {ItemKind::other, ItemDetails::None{}, ""};
  const bool privateToAnApplication =
      std::any_of(input.types.begin(), input.types.end(), [](const std::string& type) {
        return !type.starts_with("public.") && !type.starts_with("dyn.") &&
               !type.starts_with("org.nspasteboard.");
      });
  return {privateToAnApplication ? ItemKind::appContent : ItemKind::other, ItemDetails::None{}, ""};
}

}  // namespace mirlet::ItemClassifier
