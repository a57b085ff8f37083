// A page of any bytes: a title of at most 200 characters or none, an https icon
// or none; and the same bytes as an address to fetch.

#include <cstdint>
#include <string_view>

#include "ClipboardHistory/model/LinkPolicy.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (auto title = mirlet::LinkPolicy::title(bytes)) FUZZ_CHECK(!title->empty());
  if (auto icon = mirlet::LinkPolicy::iconURL(bytes, "https://example.com/docs/page")) {
    FUZZ_CHECK(icon->starts_with("https:"));
  }
  mirlet::LinkPolicy::allowsFetch(bytes);
  return 0;
}
