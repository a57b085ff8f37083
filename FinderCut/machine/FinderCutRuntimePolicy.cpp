#include "FinderCut/machine/FinderCutRuntimePolicy.h"

#include "core/ModifierFlags.h"

namespace mirlet {

namespace {

constexpr std::int64_t kX = 7;
constexpr std::int64_t kC = 8;
constexpr std::int64_t kV = 9;
constexpr std::int64_t kEscape = 53;

}  // namespace

FinderCutRuntimePolicy::KeyAction FinderCutRuntimePolicy::keyAction(std::int64_t keyCode,
                                                                    std::uint64_t flags,
                                                                    bool finderFrontmost,
                                                                    bool keyTargetIsFinder) {
  if (!finderFrontmost || !keyTargetIsFinder) return KeyAction::pass;
  const bool onlyCommand = (flags & ModifierFlags::all) == ModifierFlags::command;
  if (keyCode == kEscape) return KeyAction::cancelIntent;
  if (keyCode == kV) {
    if (flags & ModifierFlags::option) return KeyAction::cancelIntent;
    return onlyCommand ? KeyAction::paste : KeyAction::clearContext;
  }
  if (keyCode == kC && (flags & ModifierFlags::command)) return KeyAction::cancelIntent;
  if (keyCode == kX && onlyCommand) return KeyAction::cut;
  return KeyAction::clearContext;
}

bool FinderCutRuntimePolicy::snapshotIsFresh(double capturedAt, std::uint64_t revision, double now,
                                             std::uint64_t currentRevision) {
  return revision == currentRevision && capturedAt <= now && now - capturedAt < kSnapshotMaxAge;
}

bool FinderCutContextRetention::invalidatesIntent(const std::optional<std::string>& focusedRole) {
  return focusedRole == "AXTextField" || focusedRole == "AXTextArea" || focusedRole == "AXComboBox";
}

}  // namespace mirlet
