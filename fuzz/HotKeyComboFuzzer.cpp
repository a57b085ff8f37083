// Any text as a stored hot key: what reads writes back to the same combination.

#include <cstdint>
#include <string_view>

#include "ClipboardHistory/model/HotKeyCombo.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto combo = mirlet::HotKeyCombo::fromRawValue(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (combo) {
    FUZZ_CHECK(combo->modifiers.rawValue <= 15);
    FUZZ_CHECK(mirlet::HotKeyCombo::fromRawValue(combo->rawValue()) == combo);
    combo->validate();
    combo->modifierSymbols();
  }
  return 0;
}
