// Speed of the history panel's model at 10,000 items, against the search index's
// own filter over the same items: scripts/bench prints the medians and the ratios.

#include <benchmark/benchmark.h>

#include "ClipboardHistory/panel/HistoryPanelModel.h"
#include "ClipboardHistory/panel/testing/NoPanelWindow.h"
#include "ClipboardHistory/service/KeychainKeyProvider.h"
#include "bench/HistoryGenerator.h"
#include "host/sim/SimDesktop.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::bench {
namespace {

struct NoLinks : LinkPreviewer {
  void fetch(const std::string&, std::function<void(std::optional<LinkPage>)>) override {}
};

// The clipboard history with 10,000 items, running on the simulated desktop.
class TenThousandItems {
 public:
  TenThousandItems() {
    {
      HistoryDiskStore store({files_, desktop_.time, desktop_.time, desktop_.time},
                             folder_ / "history", PrivateItemCipher(keys_), {});
      store.start();
      store.write(HistoryIndex{1, makeHistory(10000), {}});
    }
    feature_.update([](auto& settings) {
      settings.limit = HistoryLimit{HistoryLimit::Unit::count, 20000};
    });
    feature_.start(Uuid::random());
  }
  ~TenThousandItems() { feature_.stop(); }

  ClipboardHistoryFeature& feature() { return feature_; }
  // Runs the background queues' jobs and what they hand to the main loop.
  void settle() { desktop_.time.drainQueues(); }

  HistoryPanelServices environment() {
    return {window_,       desktop_.workspace, desktop_.accessibility, desktop_.time,
            desktop_.time, desktop_.time,      CalendarSettings{}};
  }

 private:
  testing::TemporaryFolder folder_;
  sim::SimDesktop desktop_;
  PosixFileSystem files_;
  KeychainKeyProvider keys_{desktop_.keychain, "app.mirlet"};
  NoLinks links_;
  testing::NoPanelWindow window_;
  MemoryDefaultsStore defaults_;
  Preferences preferences_{defaults_};
  ClipboardHistoryFeature feature_{
      preferences_,
      {desktop_.pasteboard, desktop_.workspace, desktop_.accessibility, desktop_.events,
       desktop_.hotKeys, desktop_.keyboardLayout, desktop_.images, desktop_.fileURLs, files_, keys_,
       links_, desktop_.time, desktop_.time, desktop_.time, folder_ / "history", folder_.path(),
       "app.mirlet"},
      {}};
};

TenThousandItems& history() {
  static TenThousandItems instance;
  return instance;
}

// Opening the panel on the whole history: the model's copy, the date groups, the
// sidebar and the selection.
void BM_PanelOpen(benchmark::State& state) {
  for (auto _ : state) {
    HistoryPanelModel model(history().feature(), history().environment());
    model.activate(true);
    benchmark::DoNotOptimize(model.groups().get().size());
  }
}

// One keystroke in the search field of an open panel, the index already built.
void BM_PanelSearchKeystroke(benchmark::State& state) {
  HistoryPanelModel model(history().feature(), history().environment());
  model.activate(true);
  model.setQuery("presupuest");
  bool longer = false;
  for (auto _ : state) {
    model.setQuery((longer = !longer) ? "presupuesto" : "presupuest");
    benchmark::DoNotOptimize(model.visible().get().size());
  }
}

// The first search after opening: the main thread's share, the index having been
// built ahead on the model's queue.
void BM_PanelFirstSearch(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    HistoryPanelModel model(history().feature(), history().environment());
    model.activate(true);
    history().settle();
    state.ResumeTiming();
    model.setQuery("presupuesto");
    benchmark::DoNotOptimize(model.visible().get().size());
  }
}

// Baseline: the search index's own filter over the same items.
void BM_SearchIndexFilter(benchmark::State& state) {
  const SearchIndex index(history().feature().store().get().items());
  for (auto _ : state) benchmark::DoNotOptimize(index.filter("presupuesto"));
}

// Building the search index from nothing, as each opening of the panel does on
// the model's queue.
void BM_SearchIndexBuild(benchmark::State& state) {
  const HistoryItems& items = history().feature().store().get().items();
  for (auto _ : state) benchmark::DoNotOptimize(SearchIndex(items));
}

BENCHMARK(BM_PanelOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanelSearchKeystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanelFirstSearch)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SearchIndexFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIndexBuild)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirlet::bench

BENCHMARK_MAIN();
