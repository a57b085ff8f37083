#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mirlet {

// The rules around fetching a web page for a copied link: which addresses may be
// fetched at all, and how the title and the site icon are read from the page.
namespace LinkPolicy {

inline constexpr std::size_t maximumTitleLength = 200;  // characters

// Only https, and never a local, private or reserved address.
bool allowsFetch(std::string_view url);
// The page's <title>, entities decoded and white space collapsed; the bytes are
// read as UTF-8, or else as ISO Latin-1.
std::optional<std::string> title(std::string_view html);
// The first https icon of a <link rel="...icon"> tag, resolved against `base`; else
// "/favicon.ico" on the base's host.
std::optional<std::string> iconURL(std::string_view html, std::string_view base);

// The page's entities, in order: &amp; &lt; &gt; &quot; &#39; &apos; &nbsp;.
std::string decodeEntities(std::string text);

}  // namespace LinkPolicy
}  // namespace mirlet
