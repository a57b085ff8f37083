#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Clock.h"
#include "host/Accessibility.h"
#include "host/BundleResources.h"
#include "host/FileURLs.h"
#include "host/FinderBundle.h"
#include "host/Pasteboard.h"
#include "host/Workspace.h"

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

// A verified picture of Finder's focused file view; never changed once made.
struct FinderAXSnapshot {
  int processID = 0;
  AXElement window;
  AXElement focus;
  // One standardized file path URL per selected element, in selection order.
  std::vector<std::string> files;
  // The URLs of the window's path list: the place the window shows. Never empty.
  std::vector<std::string> pathIdentity;
  double capturedAt = 0;  // uptime

  friend bool operator==(const FinderAXSnapshot&, const FinderAXSnapshot&) = default;
};

// The pasteboard when it holds file URLs only.
struct FinderClipboardSnapshot {
  std::int64_t count = 0;          // its change count when read
  std::vector<std::string> files;  // one standardized file path URL per item

  friend bool operator==(const FinderClipboardSnapshot&, const FinderClipboardSnapshot&) = default;
};

// The titles of Finder's copy and move menu commands in every language it ships.
// Templates hold "^1" (a file's name) or "^0" (a count).
struct FinderCommandNames {
  static constexpr const char* kTableName = "LocalizableMerged";

  std::vector<std::string> copy;      // "ME2"
  std::vector<std::string> copyOne;   // "N47_V2", with "^1"
  std::vector<std::string> copyMany;  // "N47_V3", with "^0"
  std::vector<std::string> moveOne;   // "N66_V1"
  std::vector<std::string> moveMany;  // "N66_V2", with "^0"

  // Merged over all of Finder's localizations; throws FinderCutError(unavailable)
  // when Finder cannot be read or names no copy or single move.
  static FinderCommandNames installed(const BundleResources& bundles);

  // Finder's copy item ("_NS:8") for these files (their names, at least one). A
  // file's name may be shown composed and without its extension.
  bool isCopy(const std::optional<std::string>& identifier, const std::string& title,
              const std::vector<std::string>& fileNames) const;
  // Finder's move item ("_NS:38") for this many files (at least one).
  bool isMove(const std::optional<std::string>& identifier, const std::string& title,
              std::size_t count) const;

  friend bool operator==(const FinderCommandNames&, const FinderCommandNames&) = default;
};

namespace FinderClipboardProof {

// Finder's copy changed the pasteboard exactly once (`after` = `before` + 1) and
// left there exactly the expected files, in any order.
bool matches(const std::vector<std::string>& expected, const std::vector<std::string>& actual,
             std::int64_t before, std::int64_t after);

}  // namespace FinderClipboardProof

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
  static constexpr double kMessagingTimeout = 0.025;
  static constexpr double kTextCheckDeadline = 0.075;
  static constexpr double kFileViewDeadline = 0.1;
  static constexpr double kOperationDeadline = 0.25;
  static constexpr double kCopyWait = 0.35;
  static constexpr double kCopyPoll = 0.01;
  static constexpr std::size_t kCollectionLimit = 256;
  static constexpr int kAncestorWalk = 3;
  static constexpr int kSelectedElementDepth = 5;
  static constexpr int kPathIdentityDepth = 4;

  struct Services {
    Accessibility& accessibility;
    Workspace& workspace;
    Clock& clock;
    Pasteboard& pasteboard;
    FileURLs& fileURLs;
  };
  // Asked again and again while an operation runs; false stops it.
  using Permission = std::function<bool()>;

  // `names` may be empty for a caller that presses no command.
  explicit FinderAXAdapter(Services services, FinderCommandNames names = {});

  // Finder's focused element is a text field, text area or combo box (whether or
  // not Finder is active).
  bool isEditingText(int processID);
  // The active Finder's focused file view in a standard, unminimised Finder window,
  // with its selection; nothing for the desktop, sheets, dialogs and other windows.
  std::optional<FinderFocusedFileView> focusedFileView(int processID);
  // The focused file view with its selected files and the place it shows, checked
  // again before it is accepted.
  std::optional<FinderAXSnapshot> inspect(int processID);
  // The same process, place, window and view, and with `selection` the same files.
  static bool sameContext(const FinderAXSnapshot& a, const FinderAXSnapshot& b, bool selection);
  // The pasteboard's file URLs, when it holds nothing else and did not change while
  // being read.
  std::optional<FinderClipboardSnapshot> clipboard();
  // Runs Finder's copy on the snapshot's selection and proves what it put on the
  // pasteboard; the proof, or nothing. Blocks up to 0.35 s waiting for Finder.
  std::optional<FinderClipboardSnapshot> copy(const FinderAXSnapshot& snapshot,
                                              const Permission& isAllowed);
  // Runs Finder's move into the snapshot's window, the pasteboard still holding
  // exactly `copied`; whether Finder took the command.
  bool move(const FinderAXSnapshot& snapshot, const FinderClipboardSnapshot& copied,
            const Permission& isAllowed);

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
  // A selected element's file URLs, spending one unit of `budget` per element.
  std::optional<std::vector<std::string>> selectedURLs(const AXElement& element, int depth,
                                                       std::size_t& budget);
  std::optional<std::vector<std::string>> pathIdentity(const AXElement& element, int depth);
  // The standardized path URL of an "AXURL" value (a URL or a string), when it is a
  // file URL.
  std::optional<std::string> fileURL(const AXValue& value) const;
  // Presses Finder's copy (`copy`) or move command for the snapshot, after checking
  // everything once more.
  bool pressCommand(bool copy, const FinderAXSnapshot& snapshot, std::size_t count,
                    const std::optional<FinderClipboardSnapshot>& expectedClipboard,
                    const Permission& isAllowed);
  // The enabled items matching the command under the menu bar's top-level items
  // at `indices`, with their index.
  std::vector<std::pair<std::size_t, AXElement>> scanMenus(
      const std::vector<AXElement>& topLevel, const std::vector<std::size_t>& indices, bool copy,
      const std::vector<std::string>& fileNames, std::size_t count);

  struct CommandMenu {
    int processID;
    std::size_t index;
  };

  Services services_;
  FinderCommandNames names_;
  double deadline_ = 0;  // uptime
  // Where the last command search found its one match, for that Finder process.
  std::optional<CommandMenu> commandMenu_;
};

}  // namespace mirlet
