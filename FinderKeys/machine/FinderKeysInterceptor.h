#pragma once

#include <cstdint>
#include <set>

#include "FinderKeys/FinderKey.h"
#include "core/ModifierFlags.h"

namespace mirlet {

// What the Finder keys feature does with a key event.
enum class FinderKeyAction {
  pass,               // let it through
  invalidateContext,  // let it through and forget the cached Finder view
  suppress,           // swallow it
  open,               // swallow it and open the selection
  rename,             // swallow it and rename the selected item
  moveToTrash,        // swallow it and move the selection to the Trash
};

// Whether the action abandons a move to the Trash still waiting to be performed:
// every one but `suppress` (repeats and key-ups of swallowed keys).
constexpr bool cancelsPendingTrash(FinderKeyAction action) {
  return action != FinderKeyAction::suppress;
}

// The situation of a key event, as the feature knows it.
struct FinderKeysContext {
  bool finderFrontmost = false;
  bool keyTargetIsFinder = false;
  bool fileViewFresh = false;  // a current snapshot of Finder's focused file view
  bool hasSelection = false;   // that snapshot has a selected item
  friend bool operator==(const FinderKeysContext&, const FinderKeysContext&) = default;
};

// Decides each key event of the Finder keys feature: an action only for a bare,
// first press of an enabled key while Finder is in front, the key goes to Finder
// and a fresh file view has a selection; ⌘ and ⌃ combinations, Tab and Escape pass
// but make the feature re-read Finder; the repeats and the key-up of a key acted
// upon are swallowed, and a fresh press of it (its key-up was lost) is decided
// anew. A plain value.
class FinderKeysInterceptor {
 public:
  static constexpr std::uint64_t kShift = ModifierFlags::shift;
  static constexpr std::uint64_t kControl = ModifierFlags::control;
  static constexpr std::uint64_t kOption = ModifierFlags::option;
  static constexpr std::uint64_t kCommand = ModifierFlags::command;

  FinderKeyAction keyDown(std::int64_t keyCode, std::uint64_t flags, bool isAutorepeat,
                          const std::set<FinderKey>& enabledKeys, const FinderKeysContext& context);
  // `suppress` when the key's down was swallowed (and forgets it), else `pass`.
  FinderKeyAction keyUp(std::int64_t keyCode);
  void reset() { intercepted_.clear(); }

  // Key codes whose down was swallowed and whose up has not come yet.
  const std::set<std::int64_t>& intercepted() const { return intercepted_; }

  friend bool operator==(const FinderKeysInterceptor&, const FinderKeysInterceptor&) = default;

 private:
  std::set<std::int64_t> intercepted_;
};

}  // namespace mirlet
