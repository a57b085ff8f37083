#pragma once

#include <optional>
#include <string>

// What the rest of the program may know of the clipboard history feature: its id
// and what the shell asks of it beyond starting and stopping.
namespace mirlet {

namespace FeatureIds {
inline const std::string clipboardHistory = "clipboard-history";
}  // namespace FeatureIds

class ClipboardHistoryControl {
 public:
  virtual ~ClipboardHistoryControl() = default;
  virtual bool isPaused() const = 0;
  virtual void setPaused(bool paused) = 0;
  // The label of the hot key that opens the history ("⌃⌥V"), when one is set.
  virtual std::optional<std::string> hotKeyLabel() const = 0;
};

}  // namespace mirlet
