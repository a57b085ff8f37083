#pragma once

namespace mirlet {

// How a desktop writes shortcuts: with the Mac's symbols, or with the names of
// the modifiers joined by "+".
enum class ShortcutStyle { symbols, names };

}  // namespace mirlet
