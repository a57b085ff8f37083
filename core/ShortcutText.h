#pragma once

#include <string>
#include <string_view>

#include "core/ShortcutStyle.h"

namespace mirlet {

// A text that writes shortcuts the Mac's way ("Pulsa ⌘Z", "⌥⌘V", "mantienes ⌥"),
// written as this desktop writes them. With `names`, each modifier becomes the
// name of the key that gives it in the panel, joined to what follows by "+": ⌘ is
// Ctrl, ⌥ Alt, ⇧ Mayús and ⌃ Super ("Pulsa Ctrl+Z", "Alt+Ctrl+V", "mantienes Alt").
std::string shortcutText(std::string_view text, ShortcutStyle style);

}  // namespace mirlet
