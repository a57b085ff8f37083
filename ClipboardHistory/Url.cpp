#include "ClipboardHistory/Url.h"

#include <uriparser/Uri.h>

#include <memory>
#include <vector>

namespace mirlet::Url {
namespace {

std::string encodeInvalidCharacters(std::string_view text) {
  constexpr std::string_view kInvalidAscii = " \"<>\\^`{|}";
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || byte < 0x20 || byte == 0x7F ||
        kInvalidAscii.find(c) != std::string_view::npos) {
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
  const std::string url(fileURL);
  if (!url.starts_with("file:")) return url;
  std::vector<char> buffer(url.size() + 1);
  if (uriUriStringToUnixFilenameA(url.c_str(), buffer.data()) != URI_SUCCESS) return url;
  return std::string(buffer.data());
}

}  // namespace mirlet::Url
