#include "app/UpdateConfiguration.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

// 32 bytes, canonical padded Base64.
const std::string kKey = "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8=";

bool enabledWith(const std::string& feed, const std::string& key = kKey,
                 const std::optional<std::string>& identifier = "app.mirlet") {
  return UpdateConfiguration::isEnabled(identifier, {{"SUFeedURL", feed}, {"SUPublicEDKey", key}});
}

TEST(UpdateConfigurationTest, AcceptsAPublicHttpsFeed) {
  EXPECT_TRUE(enabledWith("https://updates.example.com/appcast.xml"));
  EXPECT_TRUE(enabledWith("HTTPS://Updates.Example.COM/appcast.xml"));
  EXPECT_TRUE(enabledWith("https://my-updates.example-host.org:443/feed"));
  EXPECT_TRUE(enabledWith("https://example.com"));
}

TEST(UpdateConfigurationTest, RejectsTheWrongBundleOrAMissingValue) {
  EXPECT_FALSE(enabledWith("https://example.com/f", kKey, std::nullopt));
  EXPECT_FALSE(enabledWith("https://example.com/f", kKey, "app.mirlet.dev"));
  EXPECT_FALSE(enabledWith("https://example.com/f", kKey, "App.Mirlet"));
  EXPECT_FALSE(UpdateConfiguration::isEnabled("app.mirlet", {}));
  EXPECT_FALSE(
      UpdateConfiguration::isEnabled("app.mirlet", {{"SUFeedURL", "https://example.com/f"}}));
  EXPECT_FALSE(
      UpdateConfiguration::isEnabled("app.mirlet", {{"SUFeedURL", 1}, {"SUPublicEDKey", kKey}}));
}

class RejectedFeedTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RejectedFeedTest, HasNoUpdater) { EXPECT_FALSE(enabledWith(GetParam())); }

INSTANTIATE_TEST_SUITE_P(
    Feeds, RejectedFeedTest,
    ::testing::Values(
        // scheme, credentials, query and fragment
        "http://example.com/f", "ftp://example.com/f", "//example.com/f",
        "https://user@example.com/f", "https://user:pw@example.com/f", "https://example.com/f?",
        "https://example.com/f?a=1", "https://example.com/f#", "https://example.com/f#top",
        // white space, control characters and backslashes
        "https://example.com/a b", "https://example.com/f\n", " https://example.com/f",
        "https://example.com/\x01", "https://example.com\\f",
        // hosts
        "https://localhost/f", "https://192.168.1.1/f", "https://[::1]/f",
        "https://[v1.example.com]:443/appcast.xml", "https://example.c0m/f", "https://example.c/f",
        "https://-example.com/f", "https://example-.com/f", "https://a..com/f",
        "https://example.com./f", "https://printer.local/f", "https://a.LOCALHOST/f",
        "https://svc.internal/f", "https://x.invalid/f", "https://x.Test/f", "https:///f",
        "https://münchen.de/f",
        // ports
        "https://example.com:0/f", "https://example.com:65536/f",
        "https://example.com:99999999999999999999/f",
        // not a URL
        "", "https://exa mple.com", "https://example.com:port/f"));

TEST(UpdateConfigurationTest, HostLabelLimits) {
  const std::string label63(63, 'a');
  EXPECT_TRUE(enabledWith("https://" + label63 + ".com/f"));
  EXPECT_FALSE(enabledWith("https://" + label63 + "a.com/f"));
  EXPECT_TRUE(enabledWith("https://a.b-c.d-e.com/f"));
}

TEST(UpdateConfigurationTest, OnlyTheCanonicalKeyPasses) {
  EXPECT_FALSE(enabledWith("https://example.com/f", kKey.substr(0, 43)));  // no "="
  EXPECT_FALSE(enabledWith("https://example.com/f", kKey.substr(0, 20) + "\n" + kKey.substr(21)));
  EXPECT_FALSE(enabledWith("https://example.com/f",
                           "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHg=="));  // 31 bytes
  EXPECT_FALSE(enabledWith("https://example.com/f",
                           "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gIQ=="));  // 34
  // Non-zero unused bits in the last character: decodes, but re-encodes differently.
  EXPECT_FALSE(
      enabledWith("https://example.com/f", "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh9="));
  EXPECT_FALSE(
      enabledWith("https://example.com/f", "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh*="));
}

}  // namespace
}  // namespace mirlet
