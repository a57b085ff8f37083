// Any capture summary: the classifier decides without failing, and a shown text
// is never longer than the text it came from.
//
// Input layout: one flags byte, then type identifiers each ended by a line feed up
// to a NUL byte, then the text.

#include <cstdint>
#include <string_view>

#include "ClipboardHistory/model/ItemClassifier.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  mirlet::ClassifierInput input;
  const auto nul = rest.find('\0');
  std::string_view types = rest.substr(0, nul);
  rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  while (!types.empty()) {
    const auto end = types.find('\n');
    input.types.emplace_back(types.substr(0, end));
    types = end == std::string_view::npos ? std::string_view() : types.substr(end + 1);
  }
  if (flags & 1) input.text = std::string(rest);
  if (flags & 2) input.sourceBundleID = "com.jetbrains.rider";
  if (flags & 4) input.imagePixelSize = mirlet::PixelSize{flags, flags};
  if (flags & 8) {
    input.fileURLs = {std::string(rest), "file:///tmp/b"};
    input.directoryFlags = {(flags & 16) != 0, (flags & 32) != 0};
  }
  const mirlet::Classification result = mirlet::ItemClassifier::classify(input);
  if (input.fileURLs.empty() && input.text) FUZZ_CHECK(result.text.size() <= input.text->size());
  return 0;
}
