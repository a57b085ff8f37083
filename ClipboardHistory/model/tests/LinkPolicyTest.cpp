#include "ClipboardHistory/model/LinkPolicy.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

class AllowsFetchTest : public ::testing::TestWithParam<std::pair<const char*, bool>> {};

TEST_P(AllowsFetchTest, Decides) {
  EXPECT_EQ(LinkPolicy::allowsFetch(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    Urls, AllowsFetchTest,
    ::testing::Values(
        std::pair{"https://example.com/page", true}, std::pair{"HTTPS://Example.COM", true},
        std::pair{"http://example.com", false}, std::pair{"https://192.168.1.10/", false},
        std::pair{"https://8.8.8.8/", true}, std::pair{"https://0x7f.1/", false},
        std::pair{"https://017700000001/", false}, std::pair{"https://intranet/", false},
        std::pair{"https://printer.local./", false}, std::pair{"https://[::1]/", false},
        std::pair{"https://a.localhost/", false}, std::pair{"https://svc.internal/", false},
        std::pair{"https://localhost/", false}, std::pair{"https://100.64.0.1/", false},
        std::pair{"https://100.128.0.1/", true}, std::pair{"https://169.254.1.1/", false},
        std::pair{"https://172.16.0.1/", false}, std::pair{"https://172.32.0.1/", true},
        std::pair{"https://224.0.0.1/", false}, std::pair{"https://1.2.3.4.5/", false},
        std::pair{"https://example.com.:8443/", true}, std::pair{"https:///path", false},
        std::pair{"not a url", false},
        // The host as a connection would use it, however it is written.
        std::pair{"https://%31%32%37.0.0.1/", false},
        std::pair{"https://169.254.169.%32%35%34/", false}, std::pair{"https://0x7f%2e1/", false},
        std::pair{"https://printer.%6c%6f%63%61%6c/", false},
        std::pair{"https://\uFF11\uFF12\uFF17.0.0.1/", false},
        std::pair{"https://foo.\uFF4C\uFF4F\uFF43\uFF41\uFF4C/", false},
        std::pair{"https://ex%61mple.com/", true}, std::pair{"https://b\u00FCcher.de/", true}));

TEST(LinkTitleTest, DecodesEntitiesOnceInOrderAndCollapsesSpace) {
  EXPECT_EQ(LinkPolicy::title("<html><TITLE lang=es>\n A &amp;amp;  B\t</TITLE>"), "A &amp; B");
  EXPECT_EQ(LinkPolicy::title("<title>&amp;lt;b&gt; &quot;x&quot; &#39;y&apos;&nbsp;z</title>"),
            "<b> \"x\" 'y' z");
  EXPECT_EQ(LinkPolicy::title("<title> </title>"), std::nullopt);
  EXPECT_EQ(LinkPolicy::title("<title>sin cierre"), std::nullopt);
  EXPECT_EQ(LinkPolicy::title("no title here"), std::nullopt);
}

TEST(LinkTitleTest, ReadsLatin1WhenNotUtf8) {
  EXPECT_EQ(LinkPolicy::title("<title>Canci\xF3n</title>"), "Canción");
  EXPECT_EQ(LinkPolicy::title("<title>Canción</title>"), "Canción");
}

TEST(LinkTitleTest, CutTo200Characters) {
  const std::string title =
      LinkPolicy::title("<title>" + std::string(300, 'x') + "</title>").value();
  EXPECT_EQ(title.size(), 200u);
}

TEST(LinkTitleTest, PathologicalPageEndsQuickly) {
  std::string page;
  for (int i = 0; i < 20000; ++i) page += "<title>x";
  EXPECT_EQ(LinkPolicy::title(page), std::nullopt);
}

TEST(IconTest, FirstHttpsIconWins) {
  const std::string page =
      R"(<link rel="stylesheet" href="/s.css"><link rel="shortcut icon" href="http://x.com/a.ico">)"
      R"(<LINK REL='apple-touch-icon' HREF='/img/touch.png?a=1&amp;b=2'>)";
  EXPECT_EQ(LinkPolicy::iconURL(page, "https://example.com/docs/page"),
            "https://example.com/img/touch.png?a=1&b=2");
}

TEST(IconTest, RelativeHrefResolvesAgainstThePage) {
  EXPECT_EQ(LinkPolicy::iconURL(R"(<link rel=icon href=fav.png>)", "https://example.com/docs/page"),
            "https://example.com/docs/fav.png");
}

TEST(IconTest, FallsBackToFaviconOnTheHostAndPort) {
  EXPECT_EQ(LinkPolicy::iconURL("<p>nothing</p>", "https://example.com:8443/a/b"),
            "https://example.com:8443/favicon.ico");
  EXPECT_EQ(
      LinkPolicy::iconURL(R"(<link rel="icon" href="http://insecure/x.ico">)", "https://e.com/"),
      "https://e.com/favicon.ico");
  EXPECT_EQ(LinkPolicy::iconURL("", "not a url"), std::nullopt);
}

}  // namespace
}  // namespace mirlet
