#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/SimApplicationUI.h"

namespace mirlet::sim {

// A simulated Finder over real folders of the disk. Its windows show a folder in
// list, icon, column or gallery view with the accessibility shapes the features
// read; its Edit menu carries the copy ("_NS:8") and move ("_NS:38") commands
// with titles from its command tables; its shortcuts act on the files for real:
// ⌘C copies file URLs to the pasteboard, ⌘V copies the pasteboard's files into
// the window's folder, ⌥⌘V moves them there, ⌘↓ opens, Return starts (and ends)
// renaming, ⌘⌫ moves the selection into the Trash folder.
class SimFinder {
 public:
  enum class View { icon, list, column, gallery };
  enum class Language { spanish, english };

  static constexpr const char* kBundleIdentifier = "com.apple.finder";
  static constexpr const char* kBundlePath = "/System/Library/CoreServices/Finder.app";

  // Launches Finder; `trash` is the folder the Trash stands for.
  SimFinder(SimDesktop& desktop, std::filesystem::path trash);
  ~SimFinder();
  SimFinder(const SimFinder&) = delete;
  SimFinder& operator=(const SimFinder&) = delete;

  const std::shared_ptr<SimApplication>& application() const { return ui_->application(); }
  int processID() const { return application()->processIdentifier(); }
  SimApplicationUI& ui() { return *ui_; }

  // A window showing `folder`, in front and focused on its file view.
  int openWindow(const std::filesystem::path& folder, View view = View::list,
                 ScreenRect bounds = {100, 100, 800, 500});
  void setView(int window, View view);
  // Selects the named items of the window's folder, in that order.
  void select(int window, const std::vector<std::string>& names);
  void focusFileView(int window);
  void focusSearchField(int window);
  // A Get Info window, which is no file view.
  void openInfoWindow(const std::string& name);
  // The desktop takes the focus (no file view).
  void focusDesktop();
  void minimize(int window);
  void showSheet(int window);

  std::filesystem::path folder(int window) const;
  std::vector<std::string> selection(int window) const;
  bool isRenaming() const { return renaming_; }
  const std::vector<std::filesystem::path>& openedFiles() const { return openedFiles_; }
  // The localized command titles of the menus.
  Language language = Language::spanish;

  // Quits Finder and launches it again (a new process), reopening its windows.
  void relaunch();

  // Edit-menu commands, as the menu items and the shortcuts run them.
  void copySelection();
  void pasteCopies();
  void moveHere();
  void openSelection();
  void startOrEndRenaming();
  void moveSelectionToTrash();

 private:
  struct FinderWindow;

  void buildUI();
  void buildMenus();
  void rebuild(FinderWindow& window);
  void handleKey(const InputEvent& event);
  FinderWindow* focusedFinderWindow();
  FinderWindow& window(int id);
  const FinderWindow& window(int id) const;
  std::vector<std::filesystem::path> pasteboardFiles() const;
  std::string copyTitle();
  std::string moveTitle() const;
  void notifySelection(FinderWindow& window);

  SimDesktop& desktop_;
  std::filesystem::path trash_;
  std::unique_ptr<SimApplicationUI> ui_;
  std::vector<std::unique_ptr<FinderWindow>> windows_;
  int nextWindowID_ = 1;
  bool renaming_ = false;
  std::vector<std::filesystem::path> openedFiles_;
  Subscription keys_;
};

}  // namespace mirlet::sim
