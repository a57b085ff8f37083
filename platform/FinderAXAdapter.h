#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Clock.h"
#include "platform/host/Accessibility.h"
#include "platform/host/Workspace.h"

namespace mirlet {

// The kind of file view that holds Finder's keyboard focus.
enum class FinderFileView { icon, list, column, gallery };

namespace FinderFileViews {

// The attribute that lists the view's selected elements.
std::string_view selectionAttribute(FinderFileView view);

// The role and identifier of an element, either absent when missing.
struct RoleAndIdentifier {
  std::optional<std::string> role;
  std::optional<std::string> identifier;
  friend bool operator==(const RoleAndIdentifier&, const RoleAndIdentifier&) = default;
};

// Which file view a focused element is: icon and gallery lists and the list view's
// outline by their identifiers; a list without one is a column of the column view
// when one of its nearest three ancestors is the "ColumnView" browser. Anything
// else is no file view.
std::optional<FinderFileView> classify(const RoleAndIdentifier& element,
                                       const std::vector<RoleAndIdentifier>& ancestors);

// Non-empty, of equal length and pairwise the same elements, in order.
bool sameElements(const std::vector<AXElement>& a, const std::vector<AXElement>& b);

}  // namespace FinderFileViews

// Finder's focused file view and its selected elements, as read at one moment.
struct FinderFocusedFileView {
  int processID = 0;
  AXElement window;
  AXElement focus;
  FinderFileView view = FinderFileView::list;
  std::vector<AXElement> selection;  // at most 256; may be empty

  // The same process, window and view, and the same non-empty selection in order.
  bool isSameSelection(const FinderFocusedFileView& other) const;

  friend bool operator==(const FinderFocusedFileView&, const FinderFocusedFileView&) = default;
};

// The one component that reads Finder's user interface. Every read is defensive:
// each attribute query gives up after 25 ms, each operation has a deadline after
// which every read fails, and any doubt answers nothing rather than something
// about the wrong window or files.
//
// Operations block the calling thread for at most their deadline plus one
// platform answer: call them on a background queue, never in a tap callback. Not
// thread-safe: one caller thread at a time.
class FinderAXAdapter {
 public:
  static constexpr const char* kFinderBundleIdentifier = "com.apple.finder";
  static constexpr double kMessagingTimeout = 0.025;
  static constexpr double kTextCheckDeadline = 0.075;
  static constexpr double kFileViewDeadline = 0.1;
  static constexpr std::size_t kCollectionLimit = 256;
  static constexpr int kAncestorWalk = 3;

  FinderAXAdapter(Accessibility& accessibility, Workspace& workspace, Clock& clock);

  // Finder's focused element is a text field, text area or combo box (whether or
  // not Finder is active).
  bool isEditingText(int processID);
  // The active Finder's focused file view in a standard, unminimised Finder window,
  // with its selection; nothing for the desktop, sheets, dialogs and other windows.
  std::optional<FinderFocusedFileView> focusedFileView(int processID);

 private:
  struct FocusedWindow {
    std::shared_ptr<RunningApplication> application;
    AXElement applicationElement;
    AXElement window;
    AXElement focus;
  };

  // One attribute under the messaging time-out and the deadline; nothing on any
  // failure.
  std::optional<AXValue> value(const AXElement& element, const std::string& attribute);
  std::optional<AXElement> elementValue(const AXElement& element, const std::string& attribute);
  std::optional<std::string> stringValue(const AXElement& element, const std::string& attribute);
  std::optional<bool> boolValue(const AXElement& element, const std::string& attribute);
  // An array of elements of at most 256.
  std::optional<std::vector<AXElement>> elementsValue(const AXElement& element,
                                                      const std::string& attribute);

  std::optional<FocusedWindow> focusedFinderWindow(int processID);
  std::optional<FinderFileView> fileView(const AXElement& focus);

  Accessibility& accessibility_;
  Workspace& workspace_;
  Clock& clock_;
  double deadline_ = 0;  // uptime
};

}  // namespace mirlet
