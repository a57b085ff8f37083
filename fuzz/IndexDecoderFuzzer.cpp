// A stored index of any bytes: decoding fails cleanly or gives an index that
// writes and reads back to itself.

#include <cstdint>
#include <string_view>

#include "ClipboardHistory/model/HistoryIndexCodec.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  mirlet::HistoryIndexCodec::decodeVersion(text);
  try {
    const mirlet::HistoryIndex index = mirlet::HistoryIndexCodec::decode(text);
    std::string encoded;
    try {
      encoded = mirlet::HistoryIndexCodec::encode(index);
    } catch (const mirlet::IndexEncodingError&) {
      return 0;  // a number the encoder refuses (JSON numbers are finite, so none reach here)
    }
    const mirlet::HistoryIndex again = mirlet::HistoryIndexCodec::decode(encoded);
    FUZZ_CHECK(mirlet::HistoryIndexCodec::encode(again) == encoded);
  } catch (const mirlet::IndexDecodingError&) {
  }
  return 0;
}
