#include "ClipboardHistory/service/CurlLinkPreviewer.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/service/tests/TestHttpsServer.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

// Link previews against a local HTTPS server that public-looking names resolve to.
class CurlLinkPreviewerTest : public ::testing::Test {
 protected:
  CurlLinkPreviewer::Network network(bool allowLocal) {
    return {[](const std::string& host) -> std::vector<std::string> {
              if (host == "pagina.example" || host == "icono.example") return {"127.0.0.1"};
              if (host == "metadatos.example") return {"169.254.169.254"};
              return {};
            },
            server_.certificateAuthorities().string(), allowLocal};
  }
  std::string url(const std::string& host, const std::string& path) const {
    return "https://" + host + ":" + std::to_string(server_.port()) + path;
  }
  std::optional<LinkPage> fetch(const std::string& address, bool allowLocal = true) {
    return CurlLinkPreviewer(time_, time_, network(allowLocal)).fetchNow(address);
  }

  testing::TemporaryFolder folder_;
  testing::TestHttpsServer server_{folder_.path(),
                                   {"pagina.example", "icono.example", "metadatos.example"}};
  testing::VirtualTimeScheduler time_;
};

TEST_F(CurlLinkPreviewerTest, APageGivesItsTitleAndItsIcon) {
  server_.answer("/", {200,
                       "<html><head><title>Hola &amp; adiós</title>"
                       "<link rel=\"icon\" href=\"" +
                           url("icono.example", "/i.png") + "\">"});
  server_.answer("/i.png", {200, "PNG-BYTES"});
  const auto page = fetch(url("pagina.example", "/"));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->title, "Hola & adiós");
  EXPECT_EQ(page->icon, Bytes({'P', 'N', 'G', '-', 'B', 'Y', 'T', 'E', 'S'}));
}

TEST_F(CurlLinkPreviewerTest, RedirectsAreFollowedOnlyWhereThePolicyAllows) {
  server_.answer("/a", {302, "", url("pagina.example", "/b")});
  server_.answer("/b", {200, "<title>Destino</title>"});
  EXPECT_EQ(fetch(url("pagina.example", "/a"))->title, "Destino");

  server_.answer("/local", {302, "", "https://127.0.0.1:" + std::to_string(server_.port()) + "/b"});
  EXPECT_EQ(fetch(url("pagina.example", "/local")), std::nullopt);
  server_.answer("/http", {301, "", "http://pagina.example/b"});
  EXPECT_EQ(fetch(url("pagina.example", "/http")), std::nullopt);
  EXPECT_EQ(server_.requests(),
            (std::vector<std::string>{"/a", "/b", "/favicon.ico", "/local", "/http"}));
}

TEST_F(CurlLinkPreviewerTest, ABigPageIsReadOnlyUpToItsLimit) {
  server_.answer("/grande", {200, "<title>Grande</title>" + std::string(2 * 1024 * 1024, 'x')});
  EXPECT_EQ(fetch(url("pagina.example", "/grande"))->title, "Grande");
}

TEST_F(CurlLinkPreviewerTest, OnlySuccessfulAnswersCount) {
  EXPECT_EQ(fetch(url("pagina.example", "/falta")), std::nullopt);
  server_.answer("/sin-icono", {200, "<title>Sin icono</title>"});
  const auto page = fetch(url("pagina.example", "/sin-icono"));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->title, "Sin icono");
  EXPECT_EQ(page->icon, std::nullopt);  // /favicon.ico answered 404
}

TEST_F(CurlLinkPreviewerTest, NamesResolvingToLocalAddressesAreNeverConnectedTo) {
  server_.answer("/", {200, "<title>No</title>"});
  EXPECT_EQ(fetch(url("pagina.example", "/"), false), std::nullopt);
  EXPECT_EQ(fetch(url("metadatos.example", "/"), false), std::nullopt);
  EXPECT_TRUE(server_.requests().empty());
}

TEST_F(CurlLinkPreviewerTest, AFetchAnswersOnTheMainLoop) {
  server_.answer("/", {200, "<title>Asíncrono</title>"});
  CurlLinkPreviewer previewer(time_, time_, network(true));
  std::optional<LinkPage> page;
  bool answered = false;
  previewer.fetch(url("pagina.example", "/"), [&](std::optional<LinkPage> result) {
    page = std::move(result);
    answered = true;
  });
  EXPECT_FALSE(answered);
  time_.drainQueues();
  EXPECT_TRUE(answered);
  EXPECT_EQ(page->title, "Asíncrono");
}

TEST(CurlLinkPreviewerAddressTest, OnlyPublicAddressesAreConnectedTo) {
  for (const char* address :
       {"127.0.0.1", "10.1.2.3", "172.16.0.1", "192.168.1.1", "169.254.169.254", "100.64.0.1",
        "0.0.0.0", "224.0.0.1", "::1", "::", "fe80::1", "fd00::1", "ff02::1", "::ffff:127.0.0.1",
        "not an address"}) {
    EXPECT_FALSE(CurlLinkPreviewer::isPublicAddress(address)) << address;
  }
  for (const char* address : {"8.8.8.8", "100.128.0.1", "2a00:1450:4003:80e::200e"}) {
    EXPECT_TRUE(CurlLinkPreviewer::isPublicAddress(address)) << address;
  }
}

}  // namespace
}  // namespace mirlet
