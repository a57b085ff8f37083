// Any string as a colour literal: no crash, and every colour found has components
// in 0...1.

#include <cstdint>
#include <string_view>

#include "ClipboardHistory/model/ColorValue.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto color =
      mirlet::ColorValue::parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (color) {
    for (double component : {color->red, color->green, color->blue, color->alpha}) {
      FUZZ_CHECK(component >= 0 && component <= 1);
    }
  }
  return 0;
}
