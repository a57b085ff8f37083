#pragma once

#include <optional>

#include "ClipboardHistory/service/SymmetricKey.h"

namespace mirlet {

// Where the history's key comes from. Callable from any thread.
class KeyProvider {
 public:
  virtual ~KeyProvider() = default;
  // The key; with `creatingIfMissing`, one is made and stored when none exists.
  // Nothing when no key can be had.
  virtual std::optional<SymmetricKey> key(bool creatingIfMissing) = 0;
};

}  // namespace mirlet
