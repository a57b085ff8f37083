#pragma once

#include <optional>
#include <string>

#include "ClipboardHistory/model/ClipboardItem.h"
#include "core/Date.h"

namespace mirlet::HistoryFormat {

// The line under a tile: "12 líneas", "1920×1080 px", "3 archivos", "4×2",
// "1 evento"; nothing for colours, items without a figure and private items.
std::optional<std::string> info(const ClipboardItem& item);

// How long ago the item was last used: "ahora" under a minute, else the relative
// wording of the panel's language ("hace 5 minutos", "ayer").
std::string age(Date lastUsedAt, Date now);

}  // namespace mirlet::HistoryFormat
