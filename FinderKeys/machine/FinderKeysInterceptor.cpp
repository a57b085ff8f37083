#include "FinderKeys/machine/FinderKeysInterceptor.h"

namespace mirlet {

FinderKeyAction FinderKeysInterceptor::keyDown(std::int64_t keyCode, std::uint64_t flags,
                                               bool isAutorepeat,
                                               const std::set<FinderKey>& enabledKeys,
                                               const FinderKeysContext& context) {
  if (intercepted_.contains(keyCode)) {
    if (isAutorepeat) return FinderKeyAction::suppress;
    // A fresh press: the key-up of the one swallowed never came.
    intercepted_.erase(keyCode);
  }
  if (!(context.keyTargetIsFinder && context.finderFrontmost)) return FinderKeyAction::pass;
  if (keyCode == 48 || keyCode == 53) return FinderKeyAction::invalidateContext;
  if (flags & (kControl | kCommand)) return FinderKeyAction::invalidateContext;
  if (isAutorepeat || (flags & (kShift | kOption))) return FinderKeyAction::pass;
  const auto key = FinderKeys::fromKeyCode(keyCode);
  if (!key || !enabledKeys.contains(*key)) return FinderKeyAction::pass;
  if (!(context.fileViewFresh && context.hasSelection)) return FinderKeyAction::pass;
  intercepted_.insert(keyCode);
  switch (*key) {
    case FinderKey::enter:
      return FinderKeyAction::open;
    case FinderKey::f2:
      return FinderKeyAction::rename;
    case FinderKey::delete_:
      return FinderKeyAction::moveToTrash;
  }
  return FinderKeyAction::pass;
}

FinderKeyAction FinderKeysInterceptor::keyUp(std::int64_t keyCode) {
  return intercepted_.erase(keyCode) > 0 ? FinderKeyAction::suppress : FinderKeyAction::pass;
}

}  // namespace mirlet
