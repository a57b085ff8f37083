// An item detail of any bytes: it decodes, and then writes and reads back to
// itself, or it fails cleanly.

#include <cstdint>
#include <string_view>

#include "ClipboardHistory/model/HistoryIndexCodec.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto detail = mirlet::HistoryIndexCodec::decodeDetail(
        std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string encoded = mirlet::HistoryIndexCodec::encodeDetail(detail);
    FUZZ_CHECK(mirlet::HistoryIndexCodec::decodeDetail(encoded) == detail);
  } catch (const mirlet::IndexDecodingError&) {
  } catch (const mirlet::IndexEncodingError&) {
  }
  return 0;
}
