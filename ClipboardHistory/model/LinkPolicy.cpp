#include "ClipboardHistory/model/LinkPolicy.h"

#include <arpa/inet.h>
#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <memory>

#include "core/UnicodeText.h"
#include "core/Url.h"

namespace mirlet::LinkPolicy {
namespace {

// Pages come from anywhere: a match that takes longer than this many steps of the
// regular-expression engine (about a few milliseconds each) counts as no match.
constexpr int32_t kRegexTimeLimit = 200;

bool isPublicAddress(const std::array<unsigned, 4>& octets) {
  const unsigned a = octets[0];
  const unsigned b = octets[1];
  if (std::any_of(octets.begin(), octets.end(), [](unsigned octet) { return octet > 255; }))
    return false;
  if (a == 0 || a == 10 || a == 127) return false;
  if (a == 100 && b >= 64 && b <= 127) return false;
  if (a == 169 && b == 254) return false;
  if (a == 172 && b >= 16 && b <= 31) return false;
  if (a == 192 && b == 168) return false;
  return a < 224;
}

// Patterns are compiled once and shared: a compiled pattern is immutable.
std::unique_ptr<icu::RegexPattern> compile(const char* source) {
  UErrorCode status = U_ZERO_ERROR;
  UParseError parseError;
  return std::unique_ptr<icu::RegexPattern>(icu::RegexPattern::compile(
      icu::UnicodeString::fromUTF8(source), UREGEX_CASE_INSENSITIVE, parseError, status));
}

#define MIRLET_PATTERN(name, source)              \
  const icu::RegexPattern& name() {               \
    static const auto compiled = compile(source); \
    return *compiled;                             \
  }

MIRLET_PATTERN(titlePattern, "<title[^>]*>([\\s\\S]*?)</title>")
MIRLET_PATTERN(titleTagsPattern, "^<title[^>]*>|</title>$")
MIRLET_PATTERN(linkTagPattern, "<link\\b[^>]*>")
MIRLET_PATTERN(iconRelPattern, "rel\\s*=\\s*[\"']?[^\"'>]*icon")
MIRLET_PATTERN(hrefPattern, "href\\s*=\\s*[\"']?[^\"'\\s>]+")
MIRLET_PATTERN(hrefPrefixPattern, "^href\\s*=\\s*[\"']?")

#undef MIRLET_PATTERN

std::unique_ptr<icu::RegexMatcher> matcher(const icu::RegexPattern& compiled,
                                           const icu::UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::RegexMatcher> result(compiled.matcher(text, status));
  if (U_FAILURE(status)) return nullptr;
  result->setTimeLimit(kRegexTimeLimit, status);
  return result;
}

// The first match of `compiled` in `text`.
std::optional<icu::UnicodeString> firstMatch(const icu::RegexPattern& compiled,
                                             const icu::UnicodeString& text) {
  auto search = matcher(compiled, text);
  UErrorCode status = U_ZERO_ERROR;
  if (!search || !search->find(status) || U_FAILURE(status)) return std::nullopt;
  icu::UnicodeString found = search->group(status);
  if (U_FAILURE(status)) return std::nullopt;
  return found;
}

icu::UnicodeString removeAll(const icu::RegexPattern& compiled, const icu::UnicodeString& text) {
  auto replace = matcher(compiled, text);
  UErrorCode status = U_ZERO_ERROR;
  if (!replace) return text;
  icu::UnicodeString result = replace->replaceAll(icu::UnicodeString(), status);
  return U_FAILURE(status) ? text : result;
}

icu::UnicodeString decodedPage(std::string_view bytes) {
  if (UnicodeText::isValidUtf8(bytes)) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(bytes.data(), static_cast<int32_t>(bytes.size())));
  }
  const std::string text = UnicodeText::latin1ToUtf8(bytes);
  return icu::UnicodeString::fromUTF8(text);
}

std::string utf8(const icu::UnicodeString& text) {
  std::string result;
  text.toUTF8String(result);
  return result;
}

// Splits at runs of white space and joins the pieces with single spaces.
std::string collapseWhitespace(std::string_view text) {
  std::string result;
  for (std::string_view word : UnicodeText::words(text)) {
    if (!result.empty()) result += ' ';
    result += word;
  }
  return result;
}

}  // namespace

std::string decodeEntities(std::string text) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kEntities{{
      {"&amp;", "&"},
      {"&lt;", "<"},
      {"&gt;", ">"},
      {"&quot;", "\""},
      {"&#39;", "'"},
      {"&apos;", "'"},
      {"&nbsp;", " "},
  }};
  for (const auto& [entity, replacement] : kEntities) {
    std::string replaced;
    replaced.reserve(text.size());
    std::size_t start = 0;
    for (auto found = text.find(entity); found != std::string::npos;
         found = text.find(entity, start)) {
      replaced.append(text, start, found - start);
      replaced += replacement;
      start = found + entity.size();
    }
    replaced.append(text, start);
    text = std::move(replaced);
  }
  return text;
}

bool allowsFetch(std::string_view url) {
  auto parts = Url::parse(url);
  if (!parts || UnicodeText::asciiLowercased(parts->scheme) != "https") return false;
  if (!parts->host || parts->host->empty() || parts->hostIsIPv6Literal) return false;
  // Judged as a connection would use it, so no escape or full-width form slips by.
  const auto connected = Url::connectionHost(*parts);
  if (!connected) return false;
  const std::string& host = *connected;
  if (host.find(':') != std::string::npos) return false;
  if (host == "localhost" || host.ends_with(".localhost") || host.ends_with(".local") ||
      host.ends_with(".internal")) {
    return false;
  }
  in_addr address{};
  if (::inet_aton(host.c_str(), &address) != 0) {
    const auto value = ntohl(address.s_addr);
    return isPublicAddress(
        {(value >> 24) & 0xFF, (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF});
  }
  if (host.find_first_not_of("0123456789.") == std::string::npos) return false;
  return host.find('.') != std::string::npos;
}

std::optional<std::string> title(std::string_view html) {
  const icu::UnicodeString page = decodedPage(html);
  auto element = firstMatch(titlePattern(), page);
  if (!element) return std::nullopt;
  const std::string inner = decodeEntities(utf8(removeAll(titleTagsPattern(), *element)));
  const std::string collapsed = collapseWhitespace(inner);
  if (collapsed.empty()) return std::nullopt;
  return std::string(UnicodeText::prefixOfCharacters(collapsed, maximumTitleLength));
}

std::optional<std::string> iconURL(std::string_view html, std::string_view base) {
  const icu::UnicodeString page = decodedPage(html);
  if (auto tags = matcher(linkTagPattern(), page)) {
    UErrorCode status = U_ZERO_ERROR;
    while (tags->find(status) && U_SUCCESS(status)) {
      const icu::UnicodeString tag = tags->group(status);
      if (!firstMatch(iconRelPattern(), tag)) continue;
      auto href = firstMatch(hrefPattern(), tag);
      if (!href) continue;
      const std::string reference = decodeEntities(utf8(removeAll(hrefPrefixPattern(), *href)));
      auto resolved = Url::resolve(reference, base);
      if (!resolved) continue;
      auto parts = Url::parse(*resolved);
      if (parts && parts->scheme == "https") return resolved;
    }
  }
  auto baseParts = Url::parse(base);
  if (!baseParts || !baseParts->host || baseParts->host->empty()) return std::nullopt;
  std::string host = baseParts->hostIsIPv6Literal ? "[" + *baseParts->host + "]" : *baseParts->host;
  std::string icon = "https://" + host;
  if (baseParts->port && !baseParts->port->empty()) icon += ":" + *baseParts->port;
  return icon + "/favicon.ico";
}

}  // namespace mirlet::LinkPolicy
