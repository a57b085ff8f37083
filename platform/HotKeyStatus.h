#pragma once

namespace mirlet {

// The outcome of registering the history's global hot key.
enum class HotKeyStatus { registered, occupied, unavailable };

}  // namespace mirlet
