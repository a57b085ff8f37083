// Any selection an owner may offer: its target list becomes items without failing,
// every item holds something, a list that offers the password managers' hint is
// concealed whatever the hint holds, and the items offer themselves back.
//
// Input layout: target names each ended by a line feed up to a NUL byte, then for
// each target the owner delivers, one length byte and that many bytes.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/PasteboardMarkers.h"
#include "fuzz/FuzzCheck.h"
#include "host/SelectionContents.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const auto nul = rest.find('\0');
  std::string_view list = rest.substr(0, nul);
  rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  std::vector<std::string> names;
  while (!list.empty()) {
    const auto end = list.find('\n');
    names.emplace_back(list.substr(0, end));
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
  }

  std::vector<mirlet::SelectionContents::TargetData> read;
  bool hinted = false;
  for (const auto& source : mirlet::ClipboardTargets::sources(names)) {
    // The hint counts by being offered, as the X selection's reader takes it.
    if (source.uniformType == mirlet::PasteboardMarkers::concealed) {
      hinted = true;
      read.push_back({source, {}});
      continue;
    }
    if (rest.empty()) continue;  // an owner that never delivers the rest
    const std::size_t length =
        std::min<std::size_t>(static_cast<std::uint8_t>(rest[0]), rest.size() - 1);
    read.push_back({source, mirlet::Bytes(rest.begin() + 1,
                                          rest.begin() + 1 + static_cast<std::ptrdiff_t>(length))});
    rest.remove_prefix(1 + length);
  }

  const auto items = mirlet::SelectionContents::items(read);
  for (const auto& item : items) FUZZ_CHECK(!item.representations.empty());
  if (hinted) {
    FUZZ_CHECK(!items.empty());
    const auto& first = items.front().representations;
    FUZZ_CHECK(std::any_of(first.begin(), first.end(), [](const auto& representation) {
      return representation.type == mirlet::PasteboardMarkers::concealed;
    }));
  }
  const auto offered = mirlet::SelectionContents::targets(items);
  for (const auto& [target, bytes] : offered) FUZZ_CHECK(!target.empty());
  return 0;
}
