// The memory of the history panel at 10,000 items of which 1,000 are images: the
// process's resident size after opening the panel and scrolling through every
// tile, and its peak. Prints "resident MiB" and "peak MiB"; scripts/panel-memory
// runs it.

#include <QApplication>
#include <QScrollBar>
#include <cstdio>
#include <fstream>
#include <string>

#include "ClipboardHistory/ui/HistoryPanelView.h"
#include "ClipboardHistory/ui/HistoryPanelWindow.h"
#include "ClipboardHistory/ui/TileGridView.h"
#include "ClipboardHistory/ui/testing/DemoHistory.h"
#include "host/sim/DesktopScenario.h"

namespace {

// A field of /proc/self/status, in MiB.
double statusMiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024;
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace mirlet;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  sim::DesktopScenario scenario;
  scenario.activate(scenario.textEdit);
  sim::SimDesktop& d = scenario.desktop;
  demo::DemoHistory history(d, 10000, 10);
  demo::DemoPanel panel(d, history.feature());
  HistoryPanelController& controller = panel.controller();
  d.time.drainQueues();
  const double before = statusMiB("VmRSS");
  controller.show();
  TileGridView& grid = panel.window().view().grid();
  QScrollBar* scroll = grid.verticalScrollBar();
  std::size_t frames = 0;
  for (int top = 0;; top += scroll->pageStep()) {
    scroll->setValue(top);
    grid.viewport()->grab();
    ++frames;
    if (top >= scroll->maximum()) break;
  }
  const auto& items = history.feature().store().get().items();
  const auto pictures = std::ranges::count_if(items, [](const ClipboardItem& item) {
    return item.kind == ItemKind::image || item.kind == ItemKind::screenshot;
  });
  std::printf("items %zu, pictures %td, frames %zu\n", items.size(), pictures, frames);
  std::printf("resident before opening %.1f MiB\n", before);
  std::printf("resident %.1f MiB\n", statusMiB("VmRSS"));
  std::printf("peak %.1f MiB\n", statusMiB("VmHWM"));
  return 0;
}
