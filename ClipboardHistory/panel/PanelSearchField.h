#pragma once

namespace mirlet {

// The panel's search field, as the model moves the keyboard focus to and from it.
class PanelSearchField {
 public:
  virtual ~PanelSearchField() = default;

  // Takes the keyboard focus, selecting the text or with the insertion point at
  // its end.
  virtual void focus(bool selectAll) = 0;
  // Gives the keyboard focus up (to the window).
  virtual void resignFocus() = 0;
};

}  // namespace mirlet
