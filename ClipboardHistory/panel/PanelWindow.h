#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ClipboardHistory/model/HotKeyCombo.h"
#include "host/EventSystem.h"

namespace mirlet {

// A key event as the panel's window receives it, before any control does.
struct PanelKeyEvent {
  enum class Type { keyDown, modifiersChanged };

  Type type = Type::keyDown;
  std::uint16_t keyCode = 0;  // the layout-independent key, as the hot keys number them
  Modifiers modifiers;
  std::string characters;  // what the key types, ignoring the modifiers

  friend bool operator==(const PanelKeyEvent&, const PanelKeyEvent&) = default;
};

// The floating window of the history panel, as its controller drives it. The
// window hands its key events to the controller first and tells it when it loses
// the keyboard, is closed, or its preview ends.
class PanelWindow {
 public:
  // What has the keyboard focus inside the window.
  enum class Focus { none, searchField, otherEditor };

  virtual ~PanelWindow() = default;

  // Whether a frame saved by an earlier run was restored when the window was made.
  virtual bool hasSavedFrame() const = 0;
  virtual ScreenRect frame() const = 0;
  virtual void setFrame(const ScreenRect& frame) = 0;
  // Above other applications' windows, or at the normal level.
  virtual void setFloating(bool floating) = 0;
  // Brings this program forward with the window in front and taking the keys,
  // no control focused.
  virtual void present() = 0;
  virtual void orderOut() = 0;
  virtual bool isVisible() const = 0;
  virtual bool isKey() const = 0;

  virtual Focus focus() const = 0;
  virtual bool searchFieldHasText() const = 0;
  virtual bool searchFieldHasSelection() const = 0;

  // The preview of files beside the panel.
  virtual bool isPreviewVisible() const = 0;
  virtual void showPreview(const std::vector<std::filesystem::path>& files) = 0;
  virtual void closePreview() = 0;
  virtual void beep() = 0;
};

}  // namespace mirlet
