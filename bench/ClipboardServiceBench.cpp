// Speed of the clipboard-history service, each measured against a baseline in the
// same run: scripts/bench prints the medians and the ratios.

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <nlohmann/json.hpp>

#include "ClipboardHistory/model/HistoryIndexCodec.h"
#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "ClipboardHistory/service/PrivateItemCipher.h"
#include "bench/HistoryGenerator.h"
#include "host/sim/SimDesktop.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::bench {
namespace {

struct NoLinks : LinkPreviewer {
  void fetch(const std::string&, std::function<void(std::optional<LinkPage>)>) override {}
};

// ---- Capture into a 10,000-item history ---------------------------------

// The main thread's whole share of one new text copy: the poll, classification,
// fingerprint, payload write, recording, publishing and the limit.
void BM_CaptureOneTextInto10000(benchmark::State& state) {
  testing::TemporaryFolder folder;
  sim::SimDesktop desktop;
  PosixFileSystem files;
  KeychainKeyProvider keys(desktop.keychain, "app.mirlet");
  NoLinks links;
  sim::SimApplication& source = *desktop.workspace.launch("com.apple.Notes", "Notas");
  desktop.workspace.bringToFront(desktop.workspace.application(source.processIdentifier()));
  {
    HistoryDiskStore store({files, desktop.time, desktop.time, desktop.time}, folder / "history",
                           PrivateItemCipher(keys), {});
    store.start();
    store.write(HistoryIndex{1, makeHistory(10000), {}});
  }
  MemoryDefaultsStore defaults;
  Preferences preferences(defaults);
  ClipboardHistoryFeature feature(
      preferences,
      {desktop.pasteboard, desktop.workspace, desktop.accessibility, desktop.events,
       desktop.hotKeys, desktop.keyboardLayout, desktop.images, desktop.fileURLs, files, keys,
       links, desktop.time, desktop.time, desktop.time, folder / "history", folder.path(),
       "app.mirlet"},
      {});
  feature.update([](auto& settings) {
    settings.limit = HistoryLimit{HistoryLimit::Unit::count, 20000};
  });
  feature.start(Uuid::random());
  std::size_t copies = 0;
  for (auto _ : state) {
    state.PauseTiming();
    desktop.pasteboard.copyText("Nota nueva número " + std::to_string(copies++) +
                                ": presupuesto del cliente para mañana");
    state.ResumeTiming();
    feature.pollPasteboardNow();
  }
  feature.stop();
}

// Baseline: the fingerprint of the same payload.
void BM_FingerprintOfOneText(benchmark::State& state) {
  const std::string text = "Nota nueva número 1: presupuesto del cliente para mañana";
  const CapturedItems items{{{"public.utf8-plain-text", Bytes(text.begin(), text.end())}}};
  for (auto _ : state) benchmark::DoNotOptimize(Fingerprint::of(items));
}

BENCHMARK(BM_CaptureOneTextInto10000)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_FingerprintOfOneText)->Unit(benchmark::kMillisecond);

// ---- Index save at 10,000 items ------------------------------------------

// What the main thread does for a save: the snapshot of the store and its encoding.
void BM_IndexSaveOnTheMainThread(benchmark::State& state) {
  const HistoryStore store(HistoryIndex{1, makeHistory(10000), {}});
  for (auto _ : state) benchmark::DoNotOptimize(HistoryIndexCodec::encode(store.index()));
}

// Baseline: dumping the same data as a JSON document built beforehand.
void BM_PlainJsonDump(benchmark::State& state) {
  const auto document =
      nlohmann::json::parse(HistoryIndexCodec::encode(HistoryIndex{1, makeHistory(10000), {}}));
  for (auto _ : state) benchmark::DoNotOptimize(document.dump());
}

BENCHMARK(BM_IndexSaveOnTheMainThread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainJsonDump)->Unit(benchmark::kMillisecond);

// ---- Sealing -------------------------------------------------------------

struct FixedKey : KeyProvider {
  std::optional<SymmetricKey> key(bool) override {
    return SymmetricKey(SymmetricKey::Bytes{1, 2, 3});
  }
};

const Bytes& mebibyte() {
  static const Bytes data = [] {
    Bytes bytes(1 << 20);
    RAND_bytes(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
  }();
  return data;
}

void BM_Seal1MiB(benchmark::State& state) {
  FixedKey keys;
  const PrivateItemCipher cipher(keys);
  for (auto _ : state) benchmark::DoNotOptimize(cipher.seal(mebibyte()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mebibyte().size()));
}

// Baseline: AES-256-GCM over the same bytes, straight through OpenSSL, into a new
// buffer as any sealing that returns its result needs (Arg 1), or into one reused
// buffer (Arg 0).
void BM_RawAesGcm1MiB(benchmark::State& state) {
  const unsigned char key[32] = {1, 2, 3};
  const unsigned char nonce[12] = {};
  Bytes out(mebibyte().size() + 16);
  unsigned char tag[16];
  for (auto _ : state) {
    if (state.range(0) == 1) out = Bytes(mebibyte().size() + 28);
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    int written = 0;
    EVP_EncryptInit_ex(context, EVP_aes_256_gcm(), nullptr, key, nonce);
    EVP_EncryptUpdate(context, out.data(), &written, mebibyte().data(),
                      static_cast<int>(mebibyte().size()));
    EVP_EncryptFinal_ex(context, out.data() + written, &written);
    EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_GCM_GET_TAG, 16, tag);
    EVP_CIPHER_CTX_free(context);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mebibyte().size()));
}

BENCHMARK(BM_Seal1MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawAesGcm1MiB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirlet::bench

BENCHMARK_MAIN();
