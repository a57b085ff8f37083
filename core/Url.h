#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mirlet {

// The parts of a URL that the history looks at. Parsing is lenient as the
// platform's is: characters a URL may not hold (non-ASCII, spaces, braces, ...)
// are percent-encoded first.
struct UrlParts {
  std::string scheme;               // as written
  std::optional<std::string> host;  // as written; an IPv6 literal without brackets
  bool hostIsIPv6Literal = false;
  std::optional<std::string> port;  // the digits, when a port is written
};

namespace Url {

std::optional<UrlParts> parse(std::string_view text);
// The host a connection to the URL goes to, the form every check must judge:
// percent-decoded, then mapped as IDNA does (full-width and upper-case letters and
// digits to ASCII, other names to punycode), trailing dots removed, an IPv6
// literal without brackets. Nothing when it cannot be mapped.
std::optional<std::string> connectionHost(const UrlParts& parts);
// `reference` resolved against `base`, as an absolute URL; nothing when either
// does not parse.
std::optional<std::string> resolve(std::string_view reference, std::string_view base);
// The file-system path of a "file:" URL, percent-decoded; the text itself when it
// is not a file URL.
std::string filePath(std::string_view fileURL);

}  // namespace Url
}  // namespace mirlet
