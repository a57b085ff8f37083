#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mirlet {

// The Finder cut feature's decisions at key time, stated once.
namespace FinderCutRuntimePolicy {

enum class KeyAction {
  pass,          // not Finder's key: nothing to do
  clearContext,  // typing in Finder: re-read it (an armed cut survives)
  cancelIntent,  // Escape, ⌘C, ⌥V: the user wants Finder's own behaviour
  cut,           // ⌘X
  paste,         // ⌘V
};

// "MIRLCHIS": the ⌘V the clipboard history posts when it pastes for the user.
inline constexpr std::int64_t kClipboardHistoryMarker = 0x4D49524C43484953;
inline constexpr double kSnapshotMaxAge = 2.5;

KeyAction keyAction(std::int64_t keyCode, std::uint64_t flags, bool finderFrontmost,
                    bool keyTargetIsFinder);
// Read under the current revision and less than 2.5 s ago (uptime seconds).
bool snapshotIsFresh(double capturedAt, std::uint64_t revision, double now,
                     std::uint64_t currentRevision);
// Nothing was copied since the cut's copy was verified.
inline bool canAdmitPaste(std::int64_t verifiedChangeCount, std::int64_t currentChangeCount) {
  return verifiedChangeCount == currentChangeCount;
}
inline bool isClipboardHistoryPaste(std::int64_t userData) {
  return userData == kClipboardHistoryMarker;
}

}  // namespace FinderCutRuntimePolicy

namespace FinderCutContextRetention {

// Editing text in Finder (a name, a search) ends a pending cut.
bool invalidatesIntent(const std::optional<std::string>& focusedRole);

}  // namespace FinderCutContextRetention

}  // namespace mirlet
