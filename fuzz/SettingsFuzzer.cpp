// Any stored settings ("key=value" lines): reading never fails, and what is read
// writes and reads back to itself.

#include <cstdint>
#include <string_view>

#include "ClipboardHistory/model/ClipboardHistorySettings.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  mirlet::ClipboardHistorySettings::Values values;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    const auto equals = line.find('=');
    if (equals != std::string_view::npos) {
      values[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  const auto settings = mirlet::ClipboardHistorySettings::fromValues(values);
  FUZZ_CHECK(mirlet::ClipboardHistorySettings::fromValues(settings.values()) == settings);
  if (settings.hotKey) FUZZ_CHECK(!settings.hotKey->validate());
  return 0;
}
