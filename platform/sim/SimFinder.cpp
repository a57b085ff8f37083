#include "platform/sim/SimFinder.h"

#include <uriparser/Uri.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "platform/KeyboardLayout.h"

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

std::string fileURL(const fs::path& path) {
  std::string text = path.lexically_normal().string();
  std::error_code error;
  if (fs::is_directory(path, error) && !text.ends_with('/')) text += '/';
  std::vector<char> buffer(text.size() * 3 + 8);
  if (uriUnixFilenameToUriStringA(text.c_str(), buffer.data()) != URI_SUCCESS)
    return "file://" + text;
  return buffer.data();
}

std::optional<fs::path> pathOfFileURL(const std::string& url) {
  if (!url.starts_with("file://")) return std::nullopt;
  std::vector<char> buffer(url.size() + 1);
  if (uriUriStringToUnixFilenameA(url.c_str(), buffer.data()) != URI_SUCCESS) return std::nullopt;
  std::string path = buffer.data();
  while (path.size() > 1 && path.ends_with('/')) path.pop_back();
  return fs::path(path);
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
auto& windowWithID(Windows& windows, int id) {
  auto found =
      std::find_if(windows.begin(), windows.end(), [id](const auto& w) { return w->id == id; });
  if (found == windows.end()) throw std::out_of_range("no Finder window " + std::to_string(id));
  return **found;
}

}  // namespace

struct SimFinder::FinderWindow {
  int id = 0;
  fs::path folder;
  View view = View::list;
  SimApplicationUI::Window window;
  std::shared_ptr<SimAXNode> splitGroup;
  std::shared_ptr<SimAXNode> fileView;  // the element that takes the focus
  std::shared_ptr<SimAXNode> searchField;
  std::vector<std::string> entries;                   // the folder's items, by name
  std::vector<std::shared_ptr<SimAXNode>> itemNodes;  // row or item per entry
  std::vector<std::string> selected;
};

SimFinder::SimFinder(SimDesktop& desktop, fs::path trash)
    : desktop_(desktop), trash_(std::move(trash)) {
  for (const auto& [tableLanguage, table] : commandTables()) {
    desktop_.bundles.install(kBundlePath, tableLanguage == Language::spanish ? "es" : "en",
                             "LocalizableMerged", table);
  }
  ui_ = std::make_unique<SimApplicationUI>(desktop_,
                                           desktop_.workspace.launch(kBundleIdentifier, "Finder"));
  buildUI();
}

SimFinder::~SimFinder() = default;

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
      [this] { copySelection(); });
  ui_->addMenuItem(
      edit, "_NS:38", [this] { return moveTitle(); },
      [this] { return focusedFinderWindow() && !pasteboardFiles().empty(); },
      [this] { moveHere(); });
  ui_->addMenu("Ver");
}

std::string SimFinder::copyTitle() {
  const StringTable& table = commandTables().at(language);
  FinderWindow* window = focusedFinderWindow();
  const std::size_t count = window ? window->selected.size() : 0;
  if (count == 1) return replaced(table.at("N47_V2"), "^1", window->selected.front());
  if (count > 1) return replaced(table.at("N47_V3"), "^0", std::to_string(count));
  return table.at("ME2");
}

std::string SimFinder::moveTitle() const {
  const StringTable& table = commandTables().at(language);
  const std::size_t count = pasteboardFiles().size();
  return count > 1 ? replaced(table.at("N66_V2"), "^0", std::to_string(count)) : table.at("N66_V1");
}

int SimFinder::openWindow(const fs::path& folder, View view, ScreenRect bounds) {
  auto finderWindow = std::make_unique<FinderWindow>();
  FinderWindow& window = *finderWindow;
  window.id = nextWindowID_++;
  window.folder = folder;
  window.view = view;
  window.window = ui_->addStandardWindow(folder.filename().string(), bounds, "FinderWindow");
  window.searchField = window.window.node->addChild("AXTextField");
  window.searchField->set("AXSubrole", "AXSearchField");
  window.splitGroup = ui_->addContent(window.window, "AXSplitGroup");
  windows_.push_back(std::move(finderWindow));
  rebuild(window);
  ui_->focusElement(window.fileView);
  return window.id;
}

void SimFinder::rebuild(FinderWindow& window) {
  std::error_code error;
  window.entries.clear();
  for (const auto& entry : fs::directory_iterator(window.folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with('.')) window.entries.push_back(name);
  }
  std::sort(window.entries.begin(), window.entries.end());
  std::erase_if(window.selected, [&](const std::string& name) {
    return std::find(window.entries.begin(), window.entries.end(), name) == window.entries.end();
  });
  const bool viewWasFocused = window.fileView && ui_->focusedElement() == window.fileView;
  ui_->setTitle(window.window.node, window.folder.filename().string());

  window.splitGroup->removeAllChildren();
  auto pathList = window.splitGroup->addChild("AXList");  // the path bar: no identifier
  fs::path prefix;
  for (const auto& part : window.folder) {
    prefix /= part;
    auto component = pathList->addChild("AXStaticText");
    component->set("AXURL", AXURL{fileURL(prefix)});
    component->set("AXValue", part.string());
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
    case View::column: {
      auto browser = window.splitGroup->addChild("AXBrowser");
      browser->set("AXIdentifier", "ColumnView");
      container = browser->addChild("AXScrollArea")->addChild("AXList");
      break;
    }
  }
  window.fileView = container;
  window.itemNodes.clear();
  for (const auto& name : window.entries) {
    const std::string url = fileURL(window.folder / name);
    std::shared_ptr<SimAXNode> item;
    if (window.view == View::list) {
      item = container->addChild("AXRow");
      item->addChild("AXCell")->set("AXURL", AXURL{url});
      item->addChild("AXCell")->set("AXValue", name);
    } else {
      item = container->addChild("AXGroup");
      item->set("AXURL", AXURL{url});
      item->set("AXTitle", name);
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
  renaming_ = false;
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

fs::path SimFinder::folder(int id) const { return window(id).folder; }

std::vector<std::string> SimFinder::selection(int id) const { return window(id).selected; }

SimFinder::FinderWindow& SimFinder::window(int id) { return windowWithID(windows_, id); }

const SimFinder::FinderWindow& SimFinder::window(int id) const {
  return windowWithID(windows_, id);
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
    auto path = pathOfFileURL(std::string(data->begin(), data->end()));
    if (!path) return {};
    files.push_back(*path);
  }
  return files;
}

void SimFinder::copySelection() {
  FinderWindow* target = focusedFinderWindow();
  if (!target || target->selected.empty()) return;
  std::vector<PasteboardItemData> items;
  for (const auto& name : target->selected) {
    items.push_back({{{"public.file-url", bytes(fileURL(target->folder / name))},
                      {"public.utf8-plain-text", bytes(name)}}});
  }
  desktop_.pasteboard.clearContents();
  desktop_.pasteboard.writeItems(items);
}

void SimFinder::pasteCopies() {
  FinderWindow* target = focusedFinderWindow();
  if (!target) return;
  std::vector<std::string> pasted;
  for (const auto& source : pasteboardFiles()) {
    std::error_code error;
    const fs::path destination = freeTarget(target->folder, source.filename());
    fs::copy(source, destination, fs::copy_options::recursive, error);
    if (!error) pasted.push_back(destination.filename().string());
  }
  rebuild(*target);
  select(target->id, pasted);
}

void SimFinder::moveHere() {
  FinderWindow* target = focusedFinderWindow();
  if (!target) return;
  std::vector<std::string> moved;
  for (const auto& source : pasteboardFiles()) {
    std::error_code error;
    const fs::path destination = target->folder / source.filename();
    if (fs::exists(destination, error)) continue;  // never overwrites
    fs::rename(source, destination, error);
    if (!error) moved.push_back(destination.filename().string());
  }
  for (auto& other : windows_) rebuild(*other);
  select(target->id, moved);
}

void SimFinder::openSelection() {
  FinderWindow* target = focusedFinderWindow();
  if (!target) return;
  std::optional<fs::path> firstFolder;
  for (const auto& name : target->selected) {
    const fs::path path = target->folder / name;
    std::error_code error;
    if (fs::is_directory(path, error)) {
      if (!firstFolder) firstFolder = path;
    } else {
      openedFiles_.push_back(path);
    }
  }
  if (firstFolder) {
    target->folder = *firstFolder;
    target->selected.clear();
    rebuild(*target);
  }
}

void SimFinder::startOrEndRenaming() {
  FinderWindow* target = focusedFinderWindow();
  if (!target) return;
  if (renaming_) {
    renaming_ = false;
    ui_->focusElement(target->fileView);
    return;
  }
  if (target->selected.size() != 1 || ui_->focusedElement() != target->fileView) return;
  auto at = std::find(target->entries.begin(), target->entries.end(), target->selected.front());
  auto field = target->itemNodes[static_cast<std::size_t>(at - target->entries.begin())]->addChild(
      "AXTextField");
  field->set("AXValue", target->selected.front());
  renaming_ = true;
  ui_->focusElement(field);
}

void SimFinder::moveSelectionToTrash() {
  FinderWindow* target = focusedFinderWindow();
  if (!target || target->selected.empty()) return;
  std::error_code error;
  fs::create_directories(trash_, error);
  for (const auto& name : target->selected) {
    fs::rename(target->folder / name, freeTarget(trash_, name), error);
  }
  target->selected.clear();
  for (auto& other : windows_) rebuild(*other);
  notifySelection(*target);
}

void SimFinder::handleKey(const InputEvent& event) {
  if (event.type != EventType::keyDown) return;
  FinderWindow* target = focusedFinderWindow();
  const bool viewFocused = target && ui_->focusedElement() == target->fileView;
  const std::uint64_t modifiers = event.flags & (EventFlags::command | EventFlags::option |
                                                 EventFlags::control | EventFlags::shift);
  const KeyboardLayout layout(desktop_.keyboardLayout);
  const auto character = layout.character(event.keyCode());
  if ((event.keyCode() == 36 || event.keyCode() == 76) && modifiers == 0) {
    if (renaming_ || viewFocused) startOrEndRenaming();
    return;
  }
  if (!viewFocused) return;
  if (modifiers == EventFlags::command && character == "c") copySelection();
  if (modifiers == EventFlags::command && character == "v") pasteCopies();
  if (modifiers == (EventFlags::command | EventFlags::option) && character == "v") moveHere();
  if (modifiers == EventFlags::command && event.keyCode() == 125) openSelection();
  if (modifiers == EventFlags::command && event.keyCode() == 51) moveSelectionToTrash();
}

void SimFinder::relaunch() {
  std::vector<std::tuple<fs::path, View, ScreenRect>> reopen;
  for (const auto& w : windows_) reopen.emplace_back(w->folder, w->view, *w->window.node->frame);
  auto relaunched = desktop_.workspace.relaunch(application());
  windows_.clear();
  renaming_ = false;
  ui_ = std::make_unique<SimApplicationUI>(desktop_, relaunched);
  buildUI();
  for (const auto& [path, view, bounds] : reopen) openWindow(path, view, bounds);
  desktop_.workspace.bringToFront(relaunched);
}

}  // namespace mirlet::sim
