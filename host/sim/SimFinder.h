#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Handoff.h"
#include "host/FinderBundle.h"
#include "host/sim/SimApplicationUI.h"

namespace mirlet::sim {

// A simulated Finder over real folders of the disk, the desktop's one
// "com.apple.finder" (it takes over a Finder already running). Its windows show a
// folder in list, icon, column or gallery view with the accessibility shapes the
// features read, or Recents and search results, which are no folder; its Edit menu
// carries the copy ("_NS:8") and move ("_NS:38") commands with titles from its
// command tables.
//
// Like the real one, it acts on its own time: a command, from the menu or a
// shortcut, takes effect `latency` seconds after it was given (⌘C writes file
// reference URLs to the pasteboard, ⌘V copies the pasteboard's files into the
// window's folder, ⌥⌘V moves them there, ⌘↓ opens, ⌘↑ goes to the enclosing
// folder, ⌘⌫ moves the selection into
// the Trash folder); Return starts and ends renaming and the arrow keys move the
// selection (↑↓, and ←→ in icon and gallery view) at once. Destroying it quits
// the application, and what it had not done yet never happens.
//
// It is confined to the folder it is given, as a test's sandbox: no window shows,
// no command reads, writes or enters, and no copied file reference is followed to,
// anything that lies outside that root once `..` and symbolic links are resolved.
// The test API refuses such a folder with `std::invalid_argument`; the user's
// commands simply do nothing with it, as at the top of the disk.
class SimFinder {
 public:
  enum class View { icon, list, column, gallery };
  enum class Language { spanish, english };

  // Launches Finder, or takes over the one running, confined to `root`, an existing
  // folder; `trash`, inside it, is the folder the Trash stands for.
  SimFinder(SimDesktop& desktop, const std::filesystem::path& root, std::filesystem::path trash);
  ~SimFinder();
  SimFinder(const SimFinder&) = delete;
  SimFinder& operator=(const SimFinder&) = delete;

  const std::shared_ptr<SimApplication>& application() const { return ui_->application(); }
  int processID() const { return application()->processIdentifier(); }
  SimApplicationUI& ui() { return *ui_; }
  // The root, resolved.
  const std::filesystem::path& root() const { return root_; }
  // Whether `path` lies inside the root once `..` and symbolic links are resolved.
  bool isInsideRoot(const std::filesystem::path& path) const;

  // Seconds between a command and its effect.
  double latency = 0.04;
  // The localized command titles of the menus.
  Language language = Language::spanish;
  // "AXURL" values given as strings instead of URLs, as some versions do.
  bool urlsAsStrings = false;
  // Files' names shown without their extensions. Names are always shown composed
  // (an accent joined to its letter), whatever form the file system keeps; the
  // test API and the windows' selections still speak of file names.
  bool hideExtensions = false;

  // A window showing `folder`, in front and focused on its file view.
  int openWindow(const std::filesystem::path& folder, View view = View::list,
                 ScreenRect bounds = {100, 100, 800, 500});
  // Windows that list files but show no folder (nor any file outside the root).
  int openRecents(const std::vector<std::filesystem::path>& files);
  int openSearchResults(const std::string& query, const std::vector<std::filesystem::path>& files);
  void setView(int window, View view);
  // Selects the named items of the window, in that order.
  void select(int window, const std::vector<std::string>& names);
  void focusFileView(int window);
  void focusSearchField(int window);
  // A Get Info window, which is no file view.
  void openInfoWindow(const std::string& name);
  // The desktop takes the focus (no file view).
  void focusDesktop();
  void minimize(int window);
  void showSheet(int window);

  // The open windows, oldest first (a relaunch gives the reopened ones new ids).
  std::vector<int> windowIDs() const;
  std::filesystem::path folder(int window) const;
  std::vector<std::string> selection(int window) const;
  // The window whose view has Finder's focus, if one of its file windows has.
  std::optional<int> focusedWindow();
  bool isRenaming() const { return renaming_; }
  const std::vector<std::filesystem::path>& openedFiles() const { return openedFiles_; }
  // How many times the copy and the move command were chosen from the Edit menu
  // (as the features choose them; shortcuts are not counted).
  int copiesFromMenu() const { return copiesFromMenu_; }
  int movesFromMenu() const { return movesFromMenu_; }

  // Quits Finder and launches it again (a new process), reopening its windows.
  void relaunch();

  // Edit-menu commands, as the menu items and the shortcuts give them.
  void copySelection();
  void pasteCopies();
  void moveHere();
  void openSelection();
  void openEnclosingFolder();
  void startOrEndRenaming();
  void moveSelectionToTrash();

 private:
  struct FinderWindow;

  void buildUI();
  void buildMenus();
  int addWindow(std::unique_ptr<FinderWindow> window, const std::string& title, ScreenRect bounds);
  void rebuild(FinderWindow& window);
  std::shared_ptr<SimAXNode> buildColumns(FinderWindow& window);
  void handleKey(const InputEvent& event);
  // Selects the item `step` places from the last selected one, or the first (last).
  void stepSelection(FinderWindow& target, int step);
  FinderWindow* focusedFinderWindow();
  FinderWindow* findWindow(int id);
  FinderWindow& window(int id);
  const FinderWindow& window(int id) const;
  std::vector<std::filesystem::path> pasteboardFiles() const;
  std::string copyTitle();
  std::string moveTitle() const;
  bool canMoveHere();
  AXValue urlValue(const std::filesystem::path& path) const;
  // The name Finder shows for the file.
  std::string displayName(const std::filesystem::path& path) const;
  void notifySelection(FinderWindow& window);
  void rebuildAll();
  // Runs `effect` after the latency, unless this Finder process is gone by then.
  void later(std::function<void()> effect);

  // Throws `std::invalid_argument` unless `path` lies inside the root.
  void requireInsideRoot(const std::filesystem::path& path, const char* what) const;

  SimDesktop& desktop_;
  std::filesystem::path root_;
  std::filesystem::path trash_;
  std::unique_ptr<SimApplicationUI> ui_;
  std::vector<std::unique_ptr<FinderWindow>> windows_;
  int nextWindowID_ = 1;
  bool renaming_ = false;
  std::weak_ptr<SimAXNode> renamedItem_;
  std::weak_ptr<SimAXNode> renameField_;
  std::vector<std::filesystem::path> openedFiles_;
  int copiesFromMenu_ = 0;
  int movesFromMenu_ = 0;
  Subscription keys_;
  // One per process: a relaunch voids what the old process had not done.
  std::unique_ptr<Handoff> process_ = std::make_unique<Handoff>();
};

}  // namespace mirlet::sim
