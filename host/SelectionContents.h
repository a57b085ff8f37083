#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/ClipboardTargets.h"
#include "host/Pasteboard.h"

namespace mirlet::SelectionContents {

// What a selection's owner gave for one target it offered.
struct TargetData {
  ClipboardTargets::Source source;
  Bytes data;
};

// The pasteboard items a selection holds: one item with every type read, except
// that a list of file URLs (a URI list, or GNOME's list of copied files) is one
// item per file (the first item keeps the other types). The password managers' hint
// counts as the concealed marker whenever it is offered, its value unread: secrets
// fail closed. The bytes move into the items, uncopied where they need no change.
std::vector<PasteboardItemData> items(std::vector<TargetData> read);

// What this program offers when it owns the selection: each target with its bytes,
// the first item that has a type giving it. The items' file URLs become one URI
// list (and the file manager's copied-files list), the concealed marker the
// password managers' hint.
std::vector<std::pair<std::string, Bytes>> targets(const std::vector<PasteboardItemData>& items);

}  // namespace mirlet::SelectionContents
