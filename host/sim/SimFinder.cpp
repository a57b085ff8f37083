#include "host/sim/SimFinder.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "core/UnicodeText.h"
#include "host/KeyboardLayout.h"
#include "host/sim/SimFileURLs.h"

namespace mirlet::sim {
namespace fs = std::filesystem;

namespace {

// Finder's command titles, in the form its string tables hold them.
const std::map<SimFinder::Language, StringTable>& commandTables() {
  static const std::map<SimFinder::Language, StringTable> tables{
      {SimFinder::Language::spanish,
       {{"ME2", "Copiar"},
        {"N47_V2", "Copiar “^1”"},
        {"N47_V3", "Copiar ^0 ítems"},
        {"N66_V1", "Mover ítem aquí"},
        {"N66_V2", "Mover ^0 ítems aquí"}}},
      {SimFinder::Language::english,
       {{"ME2", "Copy"},
        {"N47_V2", "Copy “^1”"},
        {"N47_V3", "Copy ^0 Items"},
        {"N66_V1", "Move Item Here"},
        {"N66_V2", "Move ^0 Items Here"}}},
  };
  return tables;
}

std::string replaced(std::string text, std::string_view placeholder, const std::string& value) {
  for (auto at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

// A free name in `folder` for `name`: the name itself, else "name 2", "name 3"...
fs::path freeTarget(const fs::path& folder, const fs::path& name) {
  std::error_code error;
  fs::path target = folder / name;
  for (int n = 2; fs::exists(target, error); ++n) {
    target = folder / (name.stem().string() + " " + std::to_string(n) + name.extension().string());
  }
  return target;
}

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// The window with that id, from a list of owned windows; a test asking for one
// that does not exist is told so.
template <class Windows>
auto* windowWithID(Windows& windows, int id) {
  auto found =
      std::find_if(windows.begin(), windows.end(), [id](const auto& w) { return w->id == id; });
  return found == windows.end() ? nullptr : found->get();
}

}  // namespace

struct SimFinder::FinderWindow {
  int id = 0;
  std::optional<fs::path> folder;  // nothing for Recents and search results
  std::vector<fs::path> shown;     // what such a window lists
  View view = View::list;
  SimApplicationUI::Window window;
  std::shared_ptr<SimAXNode> splitGroup;
  std::shared_ptr<SimAXNode> fileView;  // the element that takes the focus
  std::shared_ptr<SimAXNode> searchField;
  std::vector<std::string> entries;                   // the items, by name
  std::vector<fs::path> paths;                        // and where each one is
  std::vector<std::shared_ptr<SimAXNode>> itemNodes;  // row or item per entry
  std::vector<std::string> selected;

  std::vector<fs::path> selectedPaths() const {
    std::vector<fs::path> chosen;
    for (const auto& name : selected) {
      auto at = std::find(entries.begin(), entries.end(), name);
      if (at != entries.end())
        chosen.push_back(paths[static_cast<std::size_t>(at - entries.begin())]);
    }
    return chosen;
  }
};

namespace {

fs::path resolvedRoot(const fs::path& root) {
  std::error_code error;
  fs::path resolved = fs::canonical(root, error);
  if (error || !fs::is_directory(resolved, error)) {
    throw std::invalid_argument("Finder's root is no folder: " + root.string());
  }
  return resolved;
}

}  // namespace

SimFinder::SimFinder(SimDesktop& desktop, const fs::path& root, fs::path trash)
    : desktop_(desktop), root_(resolvedRoot(root)), trash_(std::move(trash)) {
  requireInsideRoot(trash_, "the Trash");
  for (const auto& [tableLanguage, table] : commandTables()) {
    desktop_.bundles.install(FinderBundle::path, tableLanguage == Language::spanish ? "es" : "en",
                             "LocalizableMerged", table);
  }
  // The desktop has one Finder: take over the one running, if any.
  std::shared_ptr<SimApplication> finder;
  for (const auto& running : desktop_.workspace.runningApplications(FinderBundle::identifier)) {
    finder = desktop_.workspace.application(running->processIdentifier());
  }
  if (!finder) finder = desktop_.workspace.launch(FinderBundle::identifier, "Finder");
  ui_ = std::make_unique<SimApplicationUI>(desktop_, std::move(finder));
  buildUI();
}

SimFinder::~SimFinder() {
  process_.reset();
  keys_.reset();
  desktop_.workspace.terminate(application());
}

bool SimFinder::isInsideRoot(const fs::path& path) const {
  if (path.empty()) return false;
  std::error_code error;
  const fs::path resolved = fs::weakly_canonical(path, error);
  if (error) return false;
  return std::mismatch(root_.begin(), root_.end(), resolved.begin(), resolved.end()).first ==
         root_.end();
}

void SimFinder::requireInsideRoot(const fs::path& path, const char* what) const {
  if (!isInsideRoot(path)) {
    throw std::invalid_argument(std::string(what) + " lies outside Finder's root " +
                                root_.string() + ": " + path.string());
  }
}

void SimFinder::later(std::function<void()> effect) {
  desktop_.time.after(latency, process_->bind(std::move(effect)));
}

void SimFinder::buildUI() {
  keys_ = application()->observeEvents([this](const InputEvent& event) { handleKey(event); });
  buildMenus();
}

void SimFinder::buildMenus() {
  ui_->addMenu("Finder");
  ui_->addMenu("Archivo");
  auto edit = ui_->addMenu("Edición");
  auto fileViewFocused = [this] {
    FinderWindow* window = focusedFinderWindow();
    return window && ui_->focusedElement() == window->fileView;
  };
  ui_->addMenuItem(
      edit, "", [] { return std::string("Deshacer"); }, [] { return false; }, [] {});
  ui_->addMenuItem(
      edit, "_NS:8", [this] { return copyTitle(); },
      [this, fileViewFocused] {
        return fileViewFocused() && !focusedFinderWindow()->selected.empty();
      },
      [this] {
        ++copiesFromMenu_;
        copySelection();
      });
  ui_->addMenuItem(
      edit, "_NS:38", [this] { return moveTitle(); }, [this] { return canMoveHere(); },
      [this] {
        ++movesFromMenu_;
        moveHere();
      });
  ui_->addMenu("Ver");
}

std::string SimFinder::copyTitle() {
  const StringTable& table = commandTables().at(language);
  FinderWindow* window = focusedFinderWindow();
  const std::size_t count = window ? window->selected.size() : 0;
  if (count == 1) {
    const auto chosen = window->selectedPaths();
    if (!chosen.empty()) return replaced(table.at("N47_V2"), "^1", displayName(chosen.front()));
  }
  if (count > 1) return replaced(table.at("N47_V3"), "^0", std::to_string(count));
  return table.at("ME2");
}

std::string SimFinder::moveTitle() const {
  const StringTable& table = commandTables().at(language);
  const std::size_t count = pasteboardFiles().size();
  return count > 1 ? replaced(table.at("N66_V2"), "^0", std::to_string(count)) : table.at("N66_V1");
}

// Moving needs a folder window, files on the pasteboard, and neither a name being
// typed nor a search.
bool SimFinder::canMoveHere() {
  FinderWindow* window = focusedFinderWindow();
  return window && window->folder && !renaming_ && ui_->focusedElement() != window->searchField &&
         !pasteboardFiles().empty();
}

std::string SimFinder::displayName(const fs::path& path) const {
  std::error_code error;
  const bool hidden = hideExtensions && path.has_extension() && fs::is_regular_file(path, error);
  return UnicodeText::composed((hidden ? path.stem() : path.filename()).string());
}

AXValue SimFinder::urlValue(const fs::path& path) const {
  const std::string url = SimFileURLs::pathURL(path);
  return urlsAsStrings ? AXValue(url) : AXValue(AXURL{url});
}

int SimFinder::addWindow(std::unique_ptr<FinderWindow> finderWindow, const std::string& title,
                         ScreenRect bounds) {
  FinderWindow& window = *finderWindow;
  window.id = nextWindowID_++;
  window.window = ui_->addStandardWindow(title, bounds, "FinderWindow");
  window.searchField = window.window.node->addChild("AXTextField");
  window.searchField->set("AXSubrole", "AXSearchField");
  window.splitGroup = ui_->addContent(window.window, "AXSplitGroup");
  windows_.push_back(std::move(finderWindow));
  rebuild(window);
  ui_->focusElement(window.fileView);
  return window.id;
}

int SimFinder::openWindow(const fs::path& folder, View view, ScreenRect bounds) {
  requireInsideRoot(folder, "a window's folder");
  auto window = std::make_unique<FinderWindow>();
  window->folder = folder;
  window->view = view;
  return addWindow(std::move(window), folder.filename().string(), bounds);
}

int SimFinder::openRecents(const std::vector<fs::path>& files) {
  auto window = std::make_unique<FinderWindow>();
  window->shown = files;
  return addWindow(std::move(window), "Recientes", {120, 120, 800, 500});
}

int SimFinder::openSearchResults(const std::string& query, const std::vector<fs::path>& files) {
  auto window = std::make_unique<FinderWindow>();
  window->shown = files;
  const int id = addWindow(std::move(window), "Buscando “" + query + "”", {140, 140, 800, 500});
  this->window(id).searchField->set("AXValue", query);
  return id;
}

void SimFinder::rebuild(FinderWindow& window) {
  std::error_code error;
  std::vector<std::pair<std::string, fs::path>> items;
  if (window.folder) {
    // A folder that has since left the root (swapped for a link) shows nothing.
    if (isInsideRoot(*window.folder)) {
      for (const auto& entry : fs::directory_iterator(*window.folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with('.')) items.emplace_back(name, entry.path());
      }
    }
  } else {
    for (const auto& file : window.shown) {
      if (isInsideRoot(file) && fs::exists(file, error))
        items.emplace_back(file.filename().string(), file);
    }
  }
  std::sort(items.begin(), items.end());
  window.entries.clear();
  window.paths.clear();
  for (auto& [name, path] : items) {
    window.entries.push_back(name);
    window.paths.push_back(path);
  }
  std::erase_if(window.selected, [&](const std::string& name) {
    return std::find(window.entries.begin(), window.entries.end(), name) == window.entries.end();
  });
  const bool viewWasFocused = window.fileView && ui_->focusedElement() == window.fileView;
  if (window.folder) ui_->setTitle(window.window.node, window.folder->filename().string());

  window.splitGroup->removeAllChildren();
  if (window.folder) {
    auto pathList = window.splitGroup->addChild("AXList");  // the path bar: no identifier
    fs::path prefix;
    for (const auto& part : *window.folder) {
      prefix /= part;
      auto component = pathList->addChild("AXStaticText");
      component->set("AXURL", urlValue(prefix));
      component->set("AXValue", part.string());
    }
  }

  std::shared_ptr<SimAXNode> container;
  switch (window.view) {
    case View::list:
      container = window.splitGroup->addChild("AXOutline");
      container->set("AXIdentifier", "ListView");
      break;
    case View::icon:
    case View::gallery:
      container = window.splitGroup->addChild("AXList");
      container->set("AXIdentifier", window.view == View::icon ? "IconView" : "GalleryView");
      break;
    case View::column:
      container = buildColumns(window);
      break;
  }
  window.fileView = container;
  window.itemNodes.clear();
  for (std::size_t i = 0; i < window.entries.size(); ++i) {
    std::shared_ptr<SimAXNode> item;
    if (window.view == View::list) {
      item = container->addChild("AXRow");
      item->addChild("AXCell")->set("AXURL", urlValue(window.paths[i]));
      item->addChild("AXCell")->set("AXValue", displayName(window.paths[i]));
    } else {
      item = container->addChild("AXGroup");
      item->set("AXURL", urlValue(window.paths[i]));
      item->set("AXTitle", displayName(window.paths[i]));
    }
    window.itemNodes.push_back(item);
  }
  FinderWindow* self = &window;
  container->compute(
      window.view == View::list ? "AXSelectedRows" : "AXSelectedChildren", [this, self] {
        AXValue::Array selected;
        for (const auto& name : self->selected) {
          auto at = std::find(self->entries.begin(), self->entries.end(), name);
          if (at != self->entries.end()) {
            selected.push_back(desktop_.accessibility.element(
                self->itemNodes[static_cast<std::size_t>(at - self->entries.begin())]));
          }
        }
        return AXValue(std::move(selected));
      });
  if (viewWasFocused) ui_->focusElement(window.fileView);
}

// Column view: a column for the enclosing folder (none at the root), with this
// folder selected in it, then this folder's column, which is the file view.
std::shared_ptr<SimAXNode> SimFinder::buildColumns(FinderWindow& window) {
  auto browser = window.splitGroup->addChild("AXBrowser");
  browser->set("AXIdentifier", "ColumnView");
  if (window.folder && isInsideRoot(*window.folder) && isInsideRoot(window.folder->parent_path())) {
    auto parentColumn = browser->addChild("AXScrollArea")->addChild("AXList");
    std::error_code error;
    std::vector<fs::path> siblings;
    for (const auto& entry : fs::directory_iterator(window.folder->parent_path(), error)) {
      if (!entry.path().filename().string().starts_with('.')) siblings.push_back(entry.path());
    }
    std::sort(siblings.begin(), siblings.end());
    std::shared_ptr<SimAXNode> current;
    for (const auto& sibling : siblings) {
      auto item = parentColumn->addChild("AXGroup");
      item->set("AXURL", urlValue(sibling));
      item->set("AXTitle", displayName(sibling));
      if (sibling == *window.folder) current = item;
    }
    parentColumn->compute("AXSelectedChildren", [this, weak = std::weak_ptr(current)] {
      AXValue::Array selected;
      if (auto item = weak.lock()) selected.push_back(desktop_.accessibility.element(item));
      return AXValue(std::move(selected));
    });
  }
  return browser->addChild("AXScrollArea")->addChild("AXList");
}

void SimFinder::setView(int id, View view) {
  FinderWindow& target = window(id);
  target.view = view;
  rebuild(target);
}

void SimFinder::select(int id, const std::vector<std::string>& names) {
  FinderWindow& target = window(id);
  target.selected.clear();
  for (const auto& name : names) {
    if (std::find(target.entries.begin(), target.entries.end(), name) != target.entries.end()) {
      target.selected.push_back(name);
    }
  }
  notifySelection(target);
}

void SimFinder::notifySelection(FinderWindow& target) {
  desktop_.accessibility.notify(target.fileView, target.view == View::list
                                                     ? "AXSelectedRowsChanged"
                                                     : "AXSelectedChildrenChanged");
}

void SimFinder::focusFileView(int id) {
  FinderWindow& target = window(id);
  if (renaming_) startOrEndRenaming();
  ui_->focusWindow(target.window.node);
  ui_->focusElement(target.fileView);
}

void SimFinder::focusSearchField(int id) {
  FinderWindow& target = window(id);
  ui_->focusWindow(target.window.node);
  ui_->focusElement(target.searchField);
}

void SimFinder::openInfoWindow(const std::string& name) {
  auto info = ui_->addStandardWindow("Información de " + name, {900, 100, 260, 400});
  info.node->set("AXSubrole", "AXFloatingWindow");
}

void SimFinder::focusDesktop() {
  auto desk = ui_->addStandardWindow("", {0, 0, 1, 1});
  desk.node->set("AXSubrole", "AXUnknown");
}

void SimFinder::minimize(int id) { ui_->setMinimized(window(id).window.node, true); }

void SimFinder::showSheet(int id) { ui_->addSheet(window(id).window, "Conectar al servidor"); }

std::vector<int> SimFinder::windowIDs() const {
  std::vector<int> ids;
  for (const auto& w : windows_) ids.push_back(w->id);
  return ids;
}

fs::path SimFinder::folder(int id) const { return window(id).folder.value_or(fs::path()); }

std::vector<std::string> SimFinder::selection(int id) const { return window(id).selected; }

SimFinder::FinderWindow* SimFinder::findWindow(int id) { return windowWithID(windows_, id); }

// A test asking for a window that does not exist is told so.
SimFinder::FinderWindow& SimFinder::window(int id) {
  if (FinderWindow* found = findWindow(id)) return *found;
  throw std::out_of_range("no Finder window " + std::to_string(id));
}

const SimFinder::FinderWindow& SimFinder::window(int id) const {
  if (const FinderWindow* found = windowWithID(windows_, id)) return *found;
  throw std::out_of_range("no Finder window " + std::to_string(id));
}

std::optional<int> SimFinder::focusedWindow() {
  const FinderWindow* focused = focusedFinderWindow();
  return focused ? std::optional<int>(focused->id) : std::nullopt;
}

SimFinder::FinderWindow* SimFinder::focusedFinderWindow() {
  auto focused = ui_->focusedWindow();
  auto found = std::find_if(windows_.begin(), windows_.end(),
                            [&](const auto& w) { return w->window.node == focused; });
  return found == windows_.end() ? nullptr : found->get();
}

std::vector<fs::path> SimFinder::pasteboardFiles() const {
  std::vector<fs::path> files;
  for (const auto& item : desktop_.pasteboard.items()) {
    auto data = item->data("public.file-url");
    if (!data) return {};
    auto url = desktop_.fileURLs.filePathURL(std::string(data->begin(), data->end()));
    auto path = url ? SimFileURLs::path(*url) : std::nullopt;
    if (!path || !isInsideRoot(*path)) return {};
    files.push_back(*path);
  }
  return files;
}

void SimFinder::rebuildAll() {
  for (auto& other : windows_) rebuild(*other);
}

void SimFinder::copySelection() {
  FinderWindow* target = focusedFinderWindow();
  if (!target || target->selected.empty()) return;
  later([this, files = target->selectedPaths()] {
    std::vector<SimPasteboard::Item> items;
    for (const auto& file : files) {
      if (!isInsideRoot(file)) continue;
      auto reference = desktop_.fileURLs.referenceURL(file);
      if (!reference) continue;
      items.push_back({SimPasteboard::Representation::bytes("public.file-url", bytes(*reference)),
                       SimPasteboard::Representation::text("public.utf8-plain-text",
                                                           file.filename().string())});
    }
    if (items.empty()) return;
    desktop_.pasteboard.copy(std::move(items), processID());
  });
}

void SimFinder::pasteCopies() {
  FinderWindow* target = focusedFinderWindow();
  if (!target || !target->folder) return;
  later([this, id = target->id, files = pasteboardFiles()] {
    FinderWindow* destination = findWindow(id);
    if (!destination) return;
    std::vector<std::string> pasted;
    for (const auto& source : files) {
      std::error_code error;
      const fs::path copy = freeTarget(*destination->folder, source.filename());
      if (!isInsideRoot(source) || !isInsideRoot(copy)) continue;
      // Links are copied as links: a copy never reads what lies outside the root.
      fs::copy(source, copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
      if (!error) pasted.push_back(copy.filename().string());
    }
    rebuildAll();
    select(id, pasted);
  });
}

void SimFinder::moveHere() {
  if (!canMoveHere()) return;
  later([this, id = focusedFinderWindow()->id, files = pasteboardFiles()] {
    FinderWindow* destination = findWindow(id);
    if (!destination) return;
    std::vector<std::string> moved;
    for (const auto& source : files) {
      std::error_code error;
      const fs::path target = *destination->folder / source.filename();
      if (!isInsideRoot(source) || !isInsideRoot(target)) continue;
      if (fs::exists(target, error)) continue;  // never overwrites
      fs::rename(source, target, error);
      if (error) continue;
      desktop_.fileURLs.moved(source, target);
      moved.push_back(target.filename().string());
    }
    rebuildAll();
    select(id, moved);
  });
}

void SimFinder::openSelection() {
  FinderWindow* target = focusedFinderWindow();
  if (!target || target->selected.empty()) return;
  later([this, id = target->id, chosen = target->selectedPaths()] {
    FinderWindow* window = findWindow(id);
    if (!window) return;
    std::optional<fs::path> firstFolder;
    for (const auto& path : chosen) {
      if (!isInsideRoot(path)) continue;
      std::error_code error;
      if (fs::is_directory(path, error)) {
        if (!firstFolder) firstFolder = path;
      } else {
        openedFiles_.push_back(path);
      }
    }
    if (firstFolder) {
      window->folder = *firstFolder;
      window->selected.clear();
      rebuild(*window);
    }
  });
}

// At the root there is no enclosing folder.
void SimFinder::openEnclosingFolder() {
  FinderWindow* target = focusedFinderWindow();
  if (!target || !target->folder || !isInsideRoot(target->folder->parent_path())) return;
  later([this, id = target->id] {
    FinderWindow* window = findWindow(id);
    if (!window || !window->folder || !isInsideRoot(window->folder->parent_path())) return;
    const fs::path left = *window->folder;
    window->folder = left.parent_path();
    window->selected = {left.filename().string()};
    rebuild(*window);
  });
}

void SimFinder::startOrEndRenaming() {
  FinderWindow* target = focusedFinderWindow();
  if (renaming_) {
    // Ending the rename takes the name field away.
    renaming_ = false;
    auto item = renamedItem_.lock();
    auto field = renameField_.lock();
    if (item && field) item->removeChild(field);
    renameField_.reset();
    renamedItem_.reset();
    if (target) ui_->focusElement(target->fileView);
    return;
  }
  if (!target || target->selected.size() != 1 || ui_->focusedElement() != target->fileView) return;
  auto at = std::find(target->entries.begin(), target->entries.end(), target->selected.front());
  auto item = target->itemNodes[static_cast<std::size_t>(at - target->entries.begin())];
  auto field = item->addChild("AXTextField");
  field->set("AXValue",
             displayName(target->paths[static_cast<std::size_t>(at - target->entries.begin())]));
  renaming_ = true;
  renamedItem_ = item;
  renameField_ = field;
  ui_->focusElement(field);
}

void SimFinder::moveSelectionToTrash() {
  FinderWindow* target = focusedFinderWindow();
  if (!target || target->selected.empty()) return;
  later([this, id = target->id, chosen = target->selectedPaths()] {
    std::error_code error;
    fs::create_directories(trash_, error);
    for (const auto& path : chosen) {
      const fs::path trashed = freeTarget(trash_, path.filename());
      if (!isInsideRoot(path) || !isInsideRoot(trashed)) continue;
      fs::rename(path, trashed, error);
      if (!error) desktop_.fileURLs.moved(path, trashed);
    }
    if (FinderWindow* window = findWindow(id)) window->selected.clear();
    rebuildAll();
    if (FinderWindow* window = findWindow(id)) notifySelection(*window);
  });
}

void SimFinder::handleKey(const InputEvent& event) {
  if (event.type != EventType::keyDown) return;
  FinderWindow* target = focusedFinderWindow();
  const bool viewFocused = target && ui_->focusedElement() == target->fileView;
  const std::uint64_t modifiers = event.flags & EventFlags::modifiers;
  const KeyboardLayout layout(desktop_.keyboardLayout);
  const auto character = layout.character(event.keyCode());
  if ((event.keyCode() == 36 || event.keyCode() == 76) && modifiers == 0) {
    if (renaming_ || viewFocused) startOrEndRenaming();
    return;
  }
  if (!viewFocused) return;
  const std::uint16_t code = event.keyCode();
  const bool sideways = target->view == View::icon || target->view == View::gallery;
  if (modifiers == 0 &&
      (code == 125 || code == 126 || (sideways && (code == 123 || code == 124)))) {
    stepSelection(*target, code == 125 || code == 124 ? 1 : -1);
  }
  if (modifiers == EventFlags::command && character == "c") copySelection();
  if (modifiers == EventFlags::command && character == "v") pasteCopies();
  if (modifiers == (EventFlags::command | EventFlags::option) && character == "v") moveHere();
  if (modifiers == EventFlags::command && event.keyCode() == 125) openSelection();
  if (modifiers == EventFlags::command && event.keyCode() == 126) openEnclosingFolder();
  if (modifiers == EventFlags::command && event.keyCode() == 51) moveSelectionToTrash();
}

void SimFinder::stepSelection(FinderWindow& target, int step) {
  if (target.entries.empty()) return;
  const auto count = static_cast<int>(target.entries.size());
  int at = step > 0 ? -1 : count;
  if (!target.selected.empty()) {
    at = static_cast<int>(
        std::find(target.entries.begin(), target.entries.end(), target.selected.back()) -
        target.entries.begin());
  }
  const int next = std::clamp(at + step, 0, count - 1);
  select(target.id, {target.entries[static_cast<std::size_t>(next)]});
}

void SimFinder::relaunch() {
  std::vector<std::tuple<fs::path, View, ScreenRect>> reopen;
  for (const auto& w : windows_) {
    if (w->folder && isInsideRoot(*w->folder))
      reopen.emplace_back(*w->folder, w->view, *w->window.node->frame);
  }
  process_ = std::make_unique<Handoff>();  // the old process's pending work never happens
  keys_.reset();
  auto relaunched = desktop_.workspace.relaunch(application());
  windows_.clear();
  renaming_ = false;
  renamedItem_.reset();
  renameField_.reset();
  ui_ = std::make_unique<SimApplicationUI>(desktop_, relaunched);
  buildUI();
  for (const auto& [path, view, bounds] : reopen) openWindow(path, view, bounds);
  desktop_.workspace.bringToFront(relaunched);
}

}  // namespace mirlet::sim
