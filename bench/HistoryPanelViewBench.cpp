// Speed of the history panel as the user sees it, at 10,000 items of which 1,000
// are images: opening it (the model and the grid's first frame, drawn offscreen),
// a search keystroke with the grid's next frame, and scrolling a page. The
// baseline is the search index's own filter over the same items.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include "ClipboardHistory/ui/HistoryPanelView.h"
#include "ClipboardHistory/ui/HistoryPanelWindow.h"
#include "ClipboardHistory/ui/TileGridView.h"
#include "ClipboardHistory/ui/testing/DemoHistory.h"
#include "host/sim/DesktopScenario.h"

namespace mirlet::bench {
namespace {

class Panel {
 public:
  Panel() { scenario_.activate(scenario_.textEdit); }

  ClipboardHistoryFeature& feature() { return history_.feature(); }
  // The panel as the application makes it at start; its search index is built on
  // its queue while the application starts.
  std::unique_ptr<demo::DemoPanel> make() {
    auto made = std::make_unique<demo::DemoPanel>(scenario_.desktop, feature());
    scenario_.desktop.time.drainQueues();
    return made;
  }
  // One frame of the panel's grid, drawn as the screen would show it.
  static void frame(demo::DemoPanel& panel) {
    benchmark::DoNotOptimize(panel.window().view().grid().viewport()->grab());
  }

 private:
  sim::DesktopScenario scenario_;
  demo::DemoHistory history_{scenario_.desktop, 10000, 10};
};

Panel& panel() {
  static Panel instance;
  return instance;
}

// The first opening after start: the window made, the model derived, the first frame.
void BM_PanelFirstOpenWithFrame(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto made = panel().make();
    state.ResumeTiming();
    made->controller().show();
    Panel::frame(*made);
    state.PauseTiming();
    made->controller().hide();
    made.reset();
    state.ResumeTiming();
  }
}

// Opening again: the window exists.
void BM_PanelReopenWithFrame(benchmark::State& state) {
  auto made = panel().make();
  for (auto _ : state) {
    made->controller().show();
    Panel::frame(*made);
    state.PauseTiming();
    made->controller().hide();
    state.ResumeTiming();
  }
}

void BM_PanelKeystrokeWithFrame(benchmark::State& state) {
  auto made = panel().make();
  made->controller().show();
  made->model().setQuery("presupuest");
  bool longer = false;
  for (auto _ : state) {
    made->model().setQuery((longer = !longer) ? "presupuesto" : "presupuest");
    Panel::frame(*made);
  }
}

// A page down the whole history, with the frame it shows.
void BM_PanelScrollPageWithFrame(benchmark::State& state) {
  auto made = panel().make();
  made->controller().show();
  QScrollBar* scroll = made->window().view().grid().verticalScrollBar();
  for (auto _ : state) {
    const int next = scroll->value() + scroll->pageStep();
    scroll->setValue(next > scroll->maximum() ? 0 : next);
    Panel::frame(*made);
  }
}

void BM_SearchIndexFilterAtTenThousand(benchmark::State& state) {
  const SearchIndex index(panel().feature().store().get().items());
  for (auto _ : state) benchmark::DoNotOptimize(index.filter("presupuesto"));
}

BENCHMARK(BM_PanelFirstOpenWithFrame)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PanelReopenWithFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanelKeystrokeWithFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanelScrollPageWithFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIndexFilterAtTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirlet::bench

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
