// Any pasteboard contents through the capture path to a stored item: the monitor
// reads it, capture support and the classifier summarise it, and the item made of
// it is written to the index and read back unchanged. Never a crash.
//
// Input: items separated by 0x1E; in each, representations separated by 0x1F,
// each a type, 0x1D, then its bytes.

#include <cstdint>
#include <string_view>
#include <vector>

#include "ClipboardHistory/model/HistoryIndexCodec.h"
#include "ClipboardHistory/service/CaptureSupport.h"
#include "ClipboardHistory/service/ClipboardMonitor.h"
#include "core/UnicodeText.h"
#include "fuzz/FuzzCheck.h"
#include "host/sim/SimDesktop.h"

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const auto end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirlet;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<sim::SimPasteboard::Item> items;
  for (std::string_view item : split(input, '\x1E')) {
    sim::SimPasteboard::Item representations;
    for (std::string_view representation : split(item, '\x1F')) {
      const auto mark = representation.find('\x1D');
      if (mark == std::string_view::npos) continue;
      representations.push_back(sim::SimPasteboard::Representation::text(
          std::string(representation.substr(0, mark)), representation.substr(mark + 1)));
    }
    items.push_back(std::move(representations));
  }

  sim::SimDesktop desktop;
  PosixFileSystem files;
  const CaptureSupport support(desktop.fileURLs, files, desktop.images);
  std::vector<CapturedPasteboard> captured;
  ClipboardMonitor monitor(desktop.pasteboard, desktop.time, 0.5,
                           {[] { return ClipboardMonitor::Context{}; },
                            [](std::optional<int>) { return std::optional<SourceApp>(); },
                            [&](CapturedPasteboard c) {
                              captured.push_back(std::move(c));
                            }});
  desktop.pasteboard.copy(std::move(items));
  monitor.poll();
  for (const auto& capture : captured) {
    FUZZ_CHECK(CaptureSupport::isReadable(capture.items));
    const auto classified = ItemClassifier::classify(support.classifierInput(capture.items, {}));
    HistoryIndex index;
    index.items.push_back(ClipboardItem::make({.id = Uuid::random(),
                                               .kind = classified.kind,
                                               .detail = classified.detail,
                                               .isPrivate = capture.isPrivate,
                                               .text = classified.text,
                                               .copiedAt = Date{800000000},
                                               .fingerprint = Fingerprint::of(capture.items)}));
    const HistoryIndex read = HistoryIndexCodec::decode(HistoryIndexCodec::encode(index));
    FUZZ_CHECK(read == index);
    FUZZ_CHECK(UnicodeText::isValidUtf8(read.items[0].text));
  }
  return 0;
}
