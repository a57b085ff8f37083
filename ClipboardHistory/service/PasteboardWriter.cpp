#include "ClipboardHistory/service/PasteboardWriter.h"

#include "core/PasteboardMarkers.h"

namespace mirlet {

PasteboardWriter::PasteboardWriter(Pasteboard& pasteboard, std::string sourceIdentifier)
    : pasteboard_(pasteboard),
      sourceIdentifier_(sourceIdentifier.empty() ? kFallbackIdentifier
                                                 : std::move(sourceIdentifier)) {}

std::vector<PasteboardItemData> PasteboardWriter::makeItems(const CapturedItems& items,
                                                            bool concealed) const {
  std::vector<PasteboardItemData> made;
  made.reserve(items.size());
  for (const auto& representations : items) {
    PasteboardItemData item;
    for (const auto& representation : representations) {
      if (representation.type == PasteboardMarkers::source) continue;
      item.representations.push_back({representation.type, representation.data});
    }
    item.representations.push_back({std::string(PasteboardMarkers::source),
                                    Bytes(sourceIdentifier_.begin(), sourceIdentifier_.end())});
    if (concealed) item.representations.push_back({std::string(PasteboardMarkers::concealed), {}});
    made.push_back(std::move(item));
  }
  return made;
}

std::optional<std::int64_t> PasteboardWriter::write(const CapturedItems& items, bool concealed) {
  pasteboard_.clearContents();
  if (!pasteboard_.writeItems(makeItems(items, concealed))) return std::nullopt;
  return pasteboard_.changeCount();
}

std::optional<std::int64_t> PasteboardWriter::writePlain(const std::vector<std::string>& texts,
                                                         bool concealed) {
  CapturedItems items;
  for (const auto& text : texts)
    items.push_back({{kPlainTextType, Bytes(text.begin(), text.end())}});
  return write(items, concealed);
}

}  // namespace mirlet
