// Speed of the clipboard-history model, each measured against a baseline in the
// same run: scripts/bench prints the medians and the ratios.

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstring>
#include <nlohmann/json.hpp>

#include "ClipboardHistory/model/Fingerprint.h"
#include "ClipboardHistory/model/HistoryIndexCodec.h"
#include "ClipboardHistory/model/HistoryStore.h"
#include "ClipboardHistory/model/SearchIndex.h"
#include "bench/HistoryGenerator.h"

namespace mirlet::bench {
namespace {

const std::vector<ClipboardItem>& history(std::size_t count) {
  static std::map<std::size_t, std::vector<ClipboardItem>> histories;
  auto& items = histories[count];
  if (items.empty()) items = makeHistory(count);
  return items;
}

const SearchIndex& index(std::size_t count) {
  static std::map<std::size_t, SearchIndex> indexes;
  auto found = indexes.find(count);
  if (found == indexes.end()) found = indexes.emplace(count, SearchIndex(history(count))).first;
  return found->second;
}

// ---- Search -------------------------------------------------------------

void BM_SearchOneTerm(benchmark::State& state) {
  const SearchIndex& searched = index(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(searched.filter("presupuesto"));
}

void BM_SearchTwoTerms(benchmark::State& state) {
  const SearchIndex& searched = index(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(searched.filter("Reunión cliente"));
}

// Baseline: memmem of the first term over the same haystack bytes.
void BM_MemmemScan(benchmark::State& state) {
  const SearchIndex& searched = index(static_cast<std::size_t>(state.range(0)));
  const std::string term = "presupuesto";
  for (auto _ : state) {
    std::size_t hits = 0;
    for (const auto& entry : searched.entries()) {
      hits += ::memmem(entry.haystack.data(), entry.haystack.size(), term.data(), term.size()) !=
              nullptr;
    }
    benchmark::DoNotOptimize(hits);
  }
}

BENCHMARK(BM_SearchOneTerm)->Arg(1000)->Arg(10000);
BENCHMARK(BM_SearchTwoTerms)->Arg(1000)->Arg(10000);
BENCHMARK(BM_MemmemScan)->Arg(1000)->Arg(10000);

// ---- Index building -----------------------------------------------------

void BM_IndexColdBuild(benchmark::State& state) {
  const auto& items = history(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(SearchIndex(items));
  state.SetLabel("every haystack normalised");
}

void BM_IndexAfterOneCapture(benchmark::State& state) {
  const auto& items = history(static_cast<std::size_t>(state.range(0)));
  const SearchIndex previous(items);
  std::vector<ClipboardItem> withNew = items;
  withNew.insert(withNew.begin(), makeHistory(1, 7).front());
  for (auto _ : state) benchmark::DoNotOptimize(SearchIndex(withNew, previous));
}

BENCHMARK(BM_IndexColdBuild)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexAfterOneCapture)->Arg(10000)->Unit(benchmark::kMillisecond);

// ---- Store operations at 10,000 items -----------------------------------

HistoryStore store(std::size_t count) { return HistoryStore(HistoryIndex{1, history(count), {}}); }

std::vector<Uuid> idsOf(const HistoryStore& source) {
  std::vector<Uuid> ids;
  ids.reserve(source.items().size());
  for (const auto& item : source.items()) ids.push_back(item.id);
  return ids;
}

// Baseline: copying the items' ids, the least any whole-history operation does.
void BM_CopyItemIDs(benchmark::State& state) {
  const auto ids = idsOf(store(10000));
  for (auto _ : state) benchmark::DoNotOptimize(std::vector<Uuid>(ids));
}

void BM_MarkAllUsedWithPromotion(benchmark::State& state) {
  HistoryStore history = store(10000);
  auto ids = idsOf(history);
  std::reverse(ids.begin(), ids.end());
  for (auto _ : state) history.markUsed(ids, Date{900000000}, true);
}

void BM_AddAllToAList(benchmark::State& state) {
  const HistoryStore full = store(10000);
  const auto ids = idsOf(full);
  for (auto _ : state) {
    state.PauseTiming();
    HistoryStore history = full;
    const Uuid list = history.createList("Todo", Uuid::random());
    state.ResumeTiming();
    history.add(ids, list);
    benchmark::DoNotOptimize(history);
  }
}

void BM_ClearHistory(benchmark::State& state) {
  const HistoryStore full = store(10000);
  for (auto _ : state) {
    state.PauseTiming();
    HistoryStore history = full;
    state.ResumeTiming();
    benchmark::DoNotOptimize(history.clearUnprotected());
  }
}

void BM_UndoRemovingAll(benchmark::State& state) {
  const HistoryStore full = store(10000);
  const auto ids = idsOf(full);
  for (auto _ : state) {
    state.PauseTiming();
    HistoryStore history = full;
    const Removal removal = history.remove(ids);
    state.ResumeTiming();
    history.restore(removal);
    benchmark::DoNotOptimize(history);
  }
}

// A capture, then the copy that publishing hands to the views.
void BM_PublishAfterOneCapture(benchmark::State& state) {
  HistoryStore history = store(10000);
  std::vector<ClipboardItem> captures = makeHistory(64, 9);
  std::size_t next = 0;
  for (auto _ : state) {
    ClipboardItem item = captures[next++ % captures.size()];
    item.fingerprint += std::to_string(next);
    history.record(std::move(item));
    HistoryStore published = history;
    benchmark::DoNotOptimize(published);
  }
}

BENCHMARK(BM_CopyItemIDs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkAllUsedWithPromotion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAllToAList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRemovingAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublishAfterOneCapture)->Unit(benchmark::kMillisecond);

// ---- Index encoding -----------------------------------------------------

const std::string& encodedIndex() {
  static const std::string encoded = HistoryIndexCodec::encode(HistoryIndex{1, history(10000), {}});
  return encoded;
}

void BM_EncodeIndex(benchmark::State& state) {
  const HistoryIndex whole{1, history(10000), {}};
  for (auto _ : state) benchmark::DoNotOptimize(HistoryIndexCodec::encode(whole));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encodedIndex().size()));
}

void BM_DecodeIndex(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(HistoryIndexCodec::decode(encodedIndex()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encodedIndex().size()));
}

// Baseline: parsing the same bytes into a JSON document.
void BM_ParseJsonDocument(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(nlohmann::json::parse(encodedIndex()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encodedIndex().size()));
}

BENCHMARK(BM_EncodeIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseJsonDocument)->Unit(benchmark::kMillisecond);

// ---- Fingerprint --------------------------------------------------------

const CapturedItems& capture(std::size_t bytes) {
  static std::map<std::size_t, CapturedItems> captures;
  auto& items = captures[bytes];
  if (items.empty()) {
    std::vector<std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
      data[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    items = {{PasteboardRepresentation{"public.png", std::move(data)},
              PasteboardRepresentation{"org.nspasteboard.source", {'x'}}}};
  }
  return items;
}

void BM_Fingerprint(benchmark::State& state) {
  const auto& items = capture(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(Fingerprint::of(items));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// Baseline: one SHA-256 over the same bytes.
void BM_RawSha256(benchmark::State& state) {
  const auto& data = capture(static_cast<std::size_t>(state.range(0)))[0][0].data;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  for (auto _ : state) {
    EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Fingerprint)->Arg(1 << 20)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSha256)->Arg(1 << 20)->Arg(50 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirlet::bench

BENCHMARK_MAIN();
