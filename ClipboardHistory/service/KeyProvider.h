#pragma once

#include <functional>
#include <optional>

#include "ClipboardHistory/service/SymmetricKey.h"
#include "core/Signal.h"

namespace mirlet {

// Where the history's key comes from. Callable from any thread.
class KeyProvider {
 public:
  virtual ~KeyProvider() = default;
  // The key; with `creatingIfMissing`, one is made and stored when none exists.
  // Nothing when no key can be had.
  virtual std::optional<SymmetricKey> key(bool creatingIfMissing) = 0;
  // Where the key is fetched off the calling thread, `key` gives nothing until it
  // has come, and observers hear on the main loop of each fetch: whether it gave
  // the key. Elsewhere they never hear anything.
  [[nodiscard]] virtual Subscription observeFetches(std::function<void(bool found)> observer) {
    (void)observer;
    return {};
  }
};

}  // namespace mirlet
