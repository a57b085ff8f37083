#include "core/Url.h"

#include <unicode/bytestream.h>
#include <unicode/idna.h>
#include <uriparser/Uri.h>

#include <memory>

#include <vector>
#include "core/UnicodeText.h"

namespace mirlet::Url {
namespace {

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Where the authority ends: brackets before it belong to an IPv6 literal.
std::size_t authorityEnd(std::string_view text) {
  const auto separator = text.find("://");
  if (separator == std::string_view::npos) return 0;
  const auto end = text.find_first_of("/?#", separator + 3);
  return end == std::string_view::npos ? text.size() : end;
}

// Percent-encodes what a URL may not hold, as the platform's lenient parser does:
// non-ASCII bytes, spaces and the like anywhere, brackets after the authority, a
// "%" that starts no escape, and every "#" after the first.
std::string encodeInvalidCharacters(std::string_view text) {
  constexpr std::string_view kInvalidAscii = " \"<>\\^`{|}";
  constexpr char kHex[] = "0123456789ABCDEF";
  const std::size_t authority = authorityEnd(text);
  bool inFragment = false;
  std::string encoded;
  encoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    const bool strayPercent =
        c == '%' && !(i + 2 < text.size() && isHexDigit(text[i + 1]) && isHexDigit(text[i + 2]));
    const bool invalid = byte >= 0x80 || byte < 0x20 || byte == 0x7F ||
                         kInvalidAscii.find(c) != std::string_view::npos || strayPercent ||
                         ((c == '[' || c == ']') && i >= authority) || (c == '#' && inFragment);
    if (c == '#') inFragment = true;
    if (invalid) {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

// A parsed URI that frees itself.
class ParsedUri {
 public:
  explicit ParsedUri(std::string text) : text_(std::move(text)) {
    const char* error = nullptr;
    valid_ = uriParseSingleUriA(&uri_, text_.c_str(), &error) == URI_SUCCESS;
  }
  ParsedUri(const ParsedUri&) = delete;
  ParsedUri& operator=(const ParsedUri&) = delete;
  ~ParsedUri() {
    if (valid_) uriFreeUriMembersA(&uri_);
  }
  bool valid() const { return valid_; }
  UriUriA& uri() { return uri_; }

 private:
  std::string text_;  // the parsed URI points into it
  UriUriA uri_{};
  bool valid_ = false;
};

std::optional<std::string> text(const UriTextRangeA& range) {
  if (!range.first) return std::nullopt;
  return std::string(range.first, range.afterLast);
}

std::string toString(const UriUriA& uri) {
  int length = 0;
  if (uriToStringCharsRequiredA(&uri, &length) != URI_SUCCESS) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  if (uriToStringA(buffer.data(), &uri, length + 1, nullptr) != URI_SUCCESS) return {};
  return std::string(buffer.data());
}

}  // namespace

std::optional<UrlParts> parse(std::string_view input) {
  ParsedUri parsed(encodeInvalidCharacters(input));
  if (!parsed.valid()) return std::nullopt;
  const UriUriA& uri = parsed.uri();
  UrlParts parts;
  parts.scheme = text(uri.scheme).value_or("");
  parts.host = text(uri.hostText);
  parts.hostIsIPv6Literal = uri.hostData.ip6 != nullptr || uri.hostData.ipFuture.first != nullptr;
  parts.port = text(uri.portText);
  return parts;
}

std::optional<std::string> connectionHost(const UrlParts& parts) {
  if (!parts.host) return std::nullopt;
  if (parts.hostIsIPv6Literal) return UnicodeText::asciiLowercased(*parts.host);
  std::string decoded;
  const std::string& host = *parts.host;
  for (std::size_t i = 0; i < host.size(); ++i) {
    if (host[i] == '%' && i + 2 < host.size() && isHexDigit(host[i + 1]) &&
        isHexDigit(host[i + 2])) {
      decoded += static_cast<char>(std::stoi(host.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += host[i];
    }
  }
  UErrorCode status = U_ZERO_ERROR;
  static const std::unique_ptr<const icu::IDNA> idna(
      icu::IDNA::createUTS46Instance(UIDNA_NONTRANSITIONAL_TO_ASCII, status));
  if (!idna) return std::nullopt;
  std::string ascii;
  icu::StringByteSink<std::string> sink(&ascii);
  icu::IDNAInfo info;
  status = U_ZERO_ERROR;
  idna->nameToASCII_UTF8(decoded, sink, info, status);
  // A trailing empty label is the root, not an error.
  const auto errors = info.getErrors() & ~UIDNA_ERROR_EMPTY_LABEL;
  if (U_FAILURE(status) || errors != 0) return std::nullopt;
  while (ascii.ends_with('.')) ascii.pop_back();
  if (ascii.empty()) return std::nullopt;
  return ascii;
}

std::optional<std::string> resolve(std::string_view reference, std::string_view base) {
  ParsedUri relative(encodeInvalidCharacters(reference));
  ParsedUri absoluteBase(encodeInvalidCharacters(base));
  if (!relative.valid() || !absoluteBase.valid()) return std::nullopt;
  UriUriA resolved;
  if (uriAddBaseUriA(&resolved, &relative.uri(), &absoluteBase.uri()) != URI_SUCCESS) {
    return std::nullopt;
  }
  std::unique_ptr<UriUriA, decltype(&uriFreeUriMembersA)> owner(&resolved, &uriFreeUriMembersA);
  std::string result = toString(resolved);
  if (result.empty()) return std::nullopt;
  return result;
}

std::string filePath(std::string_view fileURL) {
  std::string url(fileURL);
  if (!url.starts_with("file:")) return url;
  // "localhost" is this machine: the path starts after it.
  constexpr std::string_view kLocalhost = "file://localhost/";
  if (url.size() >= kLocalhost.size() &&
      UnicodeText::asciiLowercased(url.substr(0, kLocalhost.size())) == kLocalhost) {
    url = "file:///" + url.substr(kLocalhost.size());
  }
  std::vector<char> buffer(url.size() + 1);
  if (uriUriStringToUnixFilenameA(url.c_str(), buffer.data()) != URI_SUCCESS) return url;
  return std::string(buffer.data());
}

}  // namespace mirlet::Url
