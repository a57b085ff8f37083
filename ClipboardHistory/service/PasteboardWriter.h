#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ClipboardHistory/model/Fingerprint.h"
#include "host/Pasteboard.h"

namespace mirlet {

// Puts history items back on the pasteboard: every representation except an old
// source marker, then this program as the source, then the concealed marker for
// private content.
class PasteboardWriter {
 public:
  static constexpr const char* kPlainTextType = "public.utf8-plain-text";
  static constexpr const char* kFallbackIdentifier = "app.mirlet.local";

  // `sourceIdentifier`: this program's bundle identifier ("app.mirlet.local"
  // when it has none).
  PasteboardWriter(Pasteboard& pasteboard, std::string sourceIdentifier);

  // Clears the pasteboard and writes the items in one call; the change count after
  // the write, or nothing when the pasteboard refused it.
  std::optional<std::int64_t> write(const CapturedItems& items, bool concealed);
  // One item per text, each its UTF-8 bytes as plain text.
  std::optional<std::int64_t> writePlain(const std::vector<std::string>& texts, bool concealed);
  // The platform items the writer would write (for drag and drop too).
  std::vector<PasteboardItemData> makeItems(const CapturedItems& items, bool concealed) const;

 private:
  Pasteboard& pasteboard_;
  std::string sourceIdentifier_;
};

}  // namespace mirlet
