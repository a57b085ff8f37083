#include "ClipboardHistory/service/PrivateItemCipher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "core/testing/Thrown.h"
#include "host/sim/SimKeychain.h"

namespace mirlet {
namespace {

using testing::thrown;
using Code = CipherErrorCode;

SymmetricKey counting() {
  SymmetricKey::Bytes bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return SymmetricKey(bytes);
}

// A provider whose key the test sets, counting what it is asked.
struct FixedKeys : KeyProvider {
  std::optional<SymmetricKey> stored;
  int creations = 0;
  std::optional<SymmetricKey> key(bool creatingIfMissing) override {
    if (!stored && creatingIfMissing) {
      stored = SymmetricKey::random();
      ++creations;
    }
    return stored;
  }
};

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST(PrivateItemCipherTest, SealsWithAFreshNonceAndOpensBack) {
  FixedKeys keys;
  keys.stored = counting();
  const PrivateItemCipher cipher(keys);
  const Bytes secret = bytes("contraseña: 1234");
  const Bytes first = cipher.seal(secret);
  const Bytes second = cipher.seal(secret);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.size(), 12 + secret.size() + 16);
  EXPECT_EQ(cipher.open(first), secret);
  EXPECT_EQ(cipher.open(second), secret);
  EXPECT_EQ(cipher.seal({}).size(), 28u);
  EXPECT_EQ(cipher.open(cipher.seal({})), Bytes{});
}

TEST(PrivateItemCipherTest, ShortOrAlteredBytesAreCorrupt) {
  FixedKeys keys;
  keys.stored = counting();
  const PrivateItemCipher cipher(keys);
  const Bytes sealed = cipher.seal(bytes("secreto"));
  for (std::size_t bit = 0; bit < sealed.size() * 8; bit += 13) {
    Bytes altered = sealed;
    altered[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    EXPECT_EQ(thrown<CipherError>([&] { cipher.open(altered); }), CipherError(Code::corrupt));
  }
  EXPECT_EQ(thrown<CipherError>([&] { cipher.open(Bytes(27, 0)); }), CipherError(Code::corrupt));

  FixedKeys other;
  other.stored = SymmetricKey::random();
  EXPECT_EQ(thrown<CipherError>([&] { PrivateItemCipher(other).open(sealed); }),
            CipherError(Code::corrupt));
}

TEST(PrivateItemCipherTest, OnlySealingAndFingerprintsCreateTheKey) {
  FixedKeys keys;
  const PrivateItemCipher cipher(keys);
  EXPECT_FALSE(cipher.isKeyAvailable());
  EXPECT_EQ(thrown<CipherError>([&] { cipher.open(Bytes(40, 1)); }),
            CipherError(Code::keyUnavailable));
  EXPECT_EQ(keys.creations, 0);
  cipher.keyedFingerprint("abc");
  EXPECT_EQ(keys.creations, 1);
  EXPECT_TRUE(cipher.isKeyAvailable());
}

TEST(PrivateItemCipherTest, KeyedFingerprintIsHmacUnderTheDerivedKey) {
  FixedKeys keys;
  keys.stored = counting();
  const PrivateItemCipher cipher(keys);
  // Computed independently: HKDF-SHA-256 (zero salt, the info text) then HMAC-SHA-256.
  EXPECT_EQ(cipher.keyedFingerprint("3f2a"),
            "9ad18348af9ba4a866afcf16576f3891b67a82a286157bc9353f54398a4f5bdb");
  FixedKeys other;
  other.stored = SymmetricKey::random();
  EXPECT_NE(PrivateItemCipher(other).keyedFingerprint("3f2a"), cipher.keyedFingerprint("3f2a"));
}

class KeychainKeyProviderTest : public ::testing::Test {
 protected:
  sim::SimKeychain keychain_;
  KeychainKeyProvider provider_{keychain_, "app.mirlet"};
  const std::string service_ = "app.mirlet.clipboard-history";
};

TEST_F(KeychainKeyProviderTest, CreatesTheKeyOnlyWhenAskedAndKeepsIt) {
  EXPECT_EQ(provider_.key(false), std::nullopt);
  EXPECT_EQ(keychain_.adds, 0);
  const auto created = provider_.key(true);
  ASSERT_TRUE(created);
  const auto stored = keychain_.read(service_, "history-key");
  EXPECT_EQ(stored.data, Bytes(created->bytes().begin(), created->bytes().end()));
  const int readsBefore = keychain_.reads;
  EXPECT_EQ(provider_.key(false), created);
  EXPECT_EQ(keychain_.reads, readsBefore);  // cached
  KeychainKeyProvider nextRun(keychain_, "app.mirlet");
  EXPECT_EQ(nextRun.key(false), created);
}

TEST_F(KeychainKeyProviderTest, AKeyAnotherProcessAddedFirstWins) {
  const Bytes theirs(32, 7);
  keychain_.raceNextAdd = theirs;
  const auto key = provider_.key(true);
  ASSERT_TRUE(key);
  EXPECT_EQ(Bytes(key->bytes().begin(), key->bytes().end()), theirs);
}

TEST_F(KeychainKeyProviderTest, AnItemThatIsNoKeyIsNeverReplaced) {
  keychain_.add(service_, "history-key", Bytes(16, 1));
  EXPECT_EQ(provider_.key(true), std::nullopt);
  EXPECT_EQ(keychain_.read(service_, "history-key").data, Bytes(16, 1));
  keychain_.failNextRead = -25293;
  KeychainKeyProvider failing(keychain_, "other");
  EXPECT_EQ(failing.key(true), std::nullopt);
  EXPECT_EQ(keychain_.adds, 1);
}

TEST_F(KeychainKeyProviderTest, ARefusedAddGivesNoKeyAndCachesNothing) {
  keychain_.failNextAdd = -25308;
  EXPECT_EQ(provider_.key(true), std::nullopt);
  EXPECT_TRUE(provider_.key(true));
}

TEST_F(KeychainKeyProviderTest, FirstUsesOnTwoThreadsMakeOneKey) {
  std::optional<SymmetricKey> first;
  std::optional<SymmetricKey> second;
  std::thread other([&] { second = provider_.key(true); });
  first = provider_.key(true);
  other.join();
  EXPECT_EQ(first, second);
  EXPECT_EQ(keychain_.adds, 1);
}

}  // namespace
}  // namespace mirlet
