#include "app/UpdateConfiguration.h"

#include <openssl/evp.h>
#include <uriparser/Uri.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <string_view>
#include <vector>

#include "app/AppVersion.h"
#include "core/UnicodeText.h"

namespace mirlet::UpdateConfiguration {
namespace {

const std::string* textValue(const PropertyDictionary& info, const std::string& key) {
  auto it = info.find(key);
  return it == info.end() ? nullptr : it->second.as<std::string>();
}

// White space, line breaks and control characters. Only ASCII can pass the URL
// parser, so other bytes are left to it.
bool hasSpaceOrControl(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
  });
}

std::optional<std::string_view> rangeText(const UriTextRangeA& range) {
  if (!range.first) return std::nullopt;
  return std::string_view(range.first, static_cast<std::size_t>(range.afterLast - range.first));
}

bool isLowerAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// At least two labels of 1 to 63 letters, digits and inner hyphens; the last of 2
// to 63 letters.
bool isPublicHostName(std::string_view host) {
  std::vector<std::string_view> labels;
  for (std::size_t start = 0;;) {
    std::size_t dot = host.find('.', start);
    labels.push_back(host.substr(start, dot == std::string_view::npos ? dot : dot - start));
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  if (labels.size() < 2) return false;
  const std::string_view last = labels.back();
  if (last.size() < 2 || last.size() > 63 ||
      !std::all_of(last.begin(), last.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
    return false;
  }
  return std::all_of(labels.begin(), labels.end() - 1, [](std::string_view label) {
    return !label.empty() && label.size() <= 63 && isLowerAlnum(label.front()) &&
           isLowerAlnum(label.back()) && std::all_of(label.begin(), label.end(), [](char c) {
             return isLowerAlnum(c) || c == '-';
           });
  });
}

bool hasReservedSuffix(std::string_view host) {
  constexpr std::array<std::string_view, 5> kSuffixes{".local", ".localhost", ".internal",
                                                      ".invalid", ".test"};
  return std::any_of(kSuffixes.begin(), kSuffixes.end(),
                     [&](std::string_view suffix) { return host.ends_with(suffix); });
}

bool isValidFeedURL(const std::string& text) {
  if (hasSpaceOrControl(text) || text.find('\\') != std::string::npos) return false;

  UriUriA uri;
  const char* errorPosition = nullptr;
  if (uriParseSingleUriA(&uri, text.c_str(), &errorPosition) != URI_SUCCESS) return false;
  std::unique_ptr<UriUriA, decltype(&uriFreeUriMembersA)> owner(&uri, &uriFreeUriMembersA);

  auto scheme = rangeText(uri.scheme);
  if (!scheme || UnicodeText::asciiLowercased(*scheme) != "https") return false;
  // A part present but empty counts as present: "…?" and "…#" fail.
  if (uri.userInfo.first || uri.query.first || uri.fragment.first) return false;

  // An IP literal in any form is not a host name, also a bracketed one whose text
  // would read as a name ("[v1.example.com]").
  if (uri.hostData.ip4 || uri.hostData.ip6 || uri.hostData.ipFuture.first) return false;
  auto host = rangeText(uri.hostText);
  if (!host || host->empty()) return false;
  const std::string lowerHost = UnicodeText::asciiLowercased(*host);
  if (!isPublicHostName(lowerHost) || hasReservedSuffix(lowerHost)) return false;

  if (auto port = rangeText(uri.portText); port && !port->empty()) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(port->data(), port->data() + port->size(), value);
    if (error != std::errc() || end != port->data() + port->size()) return false;
    if (value < 1 || value > 65535) return false;
  }
  return true;
}

// Only the canonical padded form of exactly 32 bytes passes: decoding and
// encoding again must give back the same text.
bool isCanonicalPublicKey(const std::string& text) {
  constexpr std::size_t kKeySize = 32;
  constexpr std::size_t kEncodedSize = 44;
  if (text.size() != kEncodedSize) return false;
  std::array<unsigned char, 33> decoded{};
  int length = EVP_DecodeBlock(decoded.data(), reinterpret_cast<const unsigned char*>(text.data()),
                               static_cast<int>(text.size()));
  if (length != 33 || !text.ends_with("=") || text.ends_with("==")) return false;
  std::array<unsigned char, kEncodedSize + 1> encoded{};
  EVP_EncodeBlock(encoded.data(), decoded.data(), kKeySize);
  return std::string_view(reinterpret_cast<const char*>(encoded.data()), kEncodedSize) == text;
}

}  // namespace

bool isEnabled(const std::optional<std::string>& bundleIdentifier, const PropertyDictionary& info) {
  if (bundleIdentifier != kProductBundleIdentifier) return false;
  const std::string* feed = textValue(info, "SUFeedURL");
  if (!feed || !isValidFeedURL(*feed)) return false;
  const std::string* key = textValue(info, "SUPublicEDKey");
  return key && isCanonicalPublicKey(*key);
}

}  // namespace mirlet::UpdateConfiguration
