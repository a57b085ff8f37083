#include "Finder/FinderAXAdapter.h"

#include <algorithm>
#include <set>

#include "Finder/FinderCutError.h"
#include "core/UnicodeText.h"
#include "core/Url.h"

namespace mirlet {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

std::string replaced(std::string text, std::string_view placeholder, const std::string& value) {
  for (auto at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

// Whether one of the templates, with every placeholder replaced, is the title.
bool matchesTemplate(const std::vector<std::string>& templates, std::string_view placeholder,
                     const std::string& value, const std::string& title) {
  return std::any_of(templates.begin(), templates.end(), [&](const std::string& pattern) {
    return replaced(pattern, placeholder, value) == title;
  });
}

std::vector<std::string> sorted(std::vector<std::string> list) {
  std::sort(list.begin(), list.end());
  return list;
}

// The file's name, as Finder shows it: the URL's last path segment, decoded.
std::string fileName(const std::string& url) {
  std::string path = Url::filePath(url);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The names Finder may show for a file: composed (file systems may keep an accent
// apart from its letter, Finder shows them joined), and without its extension,
// which Finder hides when asked to.
std::vector<std::string> shownNames(const std::string& fileName) {
  std::vector<std::string> names{UnicodeText::composed(fileName)};
  const auto dot = names.front().find_last_of('.');
  if (dot != std::string::npos && dot > 0) names.push_back(names.front().substr(0, dot));
  return names;
}

}  // namespace

FinderCommandNames FinderCommandNames::installed(const BundleResources& bundles) {
  const auto tables = bundles.localizedStringTables(FinderBundle::path, kTableName);
  if (!tables) throw FinderCutError(FinderCutErrorCode::unavailable, FinderBundle::path);
  std::map<std::string, std::set<std::string>> titles;
  for (const StringTable& table : *tables) {
    for (const char* key : {"ME2", "N47_V2", "N47_V3", "N66_V1", "N66_V2"}) {
      if (auto found = table.find(key); found != table.end()) titles[key].insert(found->second);
    }
  }
  if (titles["ME2"].empty() || titles["N66_V1"].empty()) {
    throw FinderCutError(FinderCutErrorCode::unavailable, "no copy or move titles");
  }
  auto list = [&](const char* key) {
    return std::vector<std::string>(titles[key].begin(), titles[key].end());
  };
  return {list("ME2"), list("N47_V2"), list("N47_V3"), list("N66_V1"), list("N66_V2")};
}

bool FinderCommandNames::isCopy(const std::optional<std::string>& identifier,
                                const std::string& title,
                                const std::vector<std::string>& fileNames) const {
  if (identifier != "_NS:8" || fileNames.empty()) return false;
  if (contains(copy, title)) return true;
  if (fileNames.size() == 1) {
    const std::string shown = UnicodeText::composed(title);
    return std::ranges::any_of(shownNames(fileNames.front()), [&](const std::string& name) {
      return matchesTemplate(copyOne, "^1", name, shown);
    });
  }
  return matchesTemplate(copyMany, "^0", std::to_string(fileNames.size()), title);
}

bool FinderCommandNames::isMove(const std::optional<std::string>& identifier,
                                const std::string& title, std::size_t count) const {
  if (identifier != "_NS:38" || count < 1) return false;
  if (count == 1) return contains(moveOne, title);
  return matchesTemplate(moveMany, "^0", std::to_string(count), title);
}

bool FinderClipboardProof::matches(const std::vector<std::string>& expected,
                                   const std::vector<std::string>& actual, std::int64_t before,
                                   std::int64_t after) {
  if (before == INT64_MAX || after != before + 1) return false;
  if (expected.empty() || expected.size() != actual.size()) return false;
  auto isFileURL = [](const std::string& url) {
    return url.starts_with("file:");
  };
  if (!std::all_of(expected.begin(), expected.end(), isFileURL) ||
      !std::all_of(actual.begin(), actual.end(), isFileURL)) {
    return false;
  }
  return sorted(expected) == sorted(actual);
}

namespace FinderFileViews {

std::string_view selectionAttribute(FinderFileView view) {
  return view == FinderFileView::list ? "AXSelectedRows" : "AXSelectedChildren";
}

std::optional<FinderFileView> classify(const RoleAndIdentifier& element,
                                       const std::vector<RoleAndIdentifier>& ancestors) {
  if (!element.role) return std::nullopt;
  const std::string& role = *element.role;
  if (role == "AXOutline" && element.identifier == "ListView") return FinderFileView::list;
  if (role != "AXList") return std::nullopt;
  if (element.identifier == "IconView") return FinderFileView::icon;
  if (element.identifier == "GalleryView") return FinderFileView::gallery;
  if (element.identifier) return std::nullopt;
  const auto nearest =
      ancestors.begin() + std::min<std::ptrdiff_t>(FinderAXAdapter::kAncestorWalk,
                                                   static_cast<std::ptrdiff_t>(ancestors.size()));
  const bool inColumnView = std::any_of(ancestors.begin(), nearest, [](const auto& ancestor) {
    return ancestor.role == "AXBrowser" && ancestor.identifier == "ColumnView";
  });
  return inColumnView ? std::optional(FinderFileView::column) : std::nullopt;
}

bool sameElements(const std::vector<AXElement>& a, const std::vector<AXElement>& b) {
  return !a.empty() && a == b;
}

}  // namespace FinderFileViews

bool FinderFocusedFileView::isSameSelection(const FinderFocusedFileView& other) const {
  return processID == other.processID && window == other.window && focus == other.focus &&
         FinderFileViews::sameElements(selection, other.selection);
}

FinderAXAdapter::FinderAXAdapter(Services services, FinderCommandNames names)
    : services_(services), names_(std::move(names)) {}

std::optional<AXValue> FinderAXAdapter::value(const AXElement& element,
                                              const std::string& attribute) {
  if (!element.isValid() || services_.clock.uptime() >= deadline_) return std::nullopt;
  if (services_.accessibility.setMessagingTimeout(element, kMessagingTimeout) != AXError::success)
    return std::nullopt;
  AXResult result = services_.accessibility.copyAttribute(element, attribute);
  if (!result.ok()) return std::nullopt;
  return std::move(result.value);
}

std::optional<AXElement> FinderAXAdapter::elementValue(const AXElement& element,
                                                       const std::string& attribute) {
  const auto found = value(element, attribute);
  const auto* typed = found ? found->as<AXElement>() : nullptr;
  if (!typed || !typed->isValid()) return std::nullopt;
  return *typed;
}

std::optional<std::string> FinderAXAdapter::stringValue(const AXElement& element,
                                                        const std::string& attribute) {
  const auto found = value(element, attribute);
  const auto* typed = found ? found->as<std::string>() : nullptr;
  return typed ? std::optional(*typed) : std::nullopt;
}

std::optional<bool> FinderAXAdapter::boolValue(const AXElement& element,
                                               const std::string& attribute) {
  const auto found = value(element, attribute);
  const auto* typed = found ? found->as<bool>() : nullptr;
  return typed ? std::optional(*typed) : std::nullopt;
}

std::optional<std::vector<AXElement>> FinderAXAdapter::elementsValue(const AXElement& element,
                                                                     const std::string& attribute) {
  const auto found = value(element, attribute);
  const auto* array = found ? found->as<AXValue::Array>() : nullptr;
  if (!array || array->size() > kCollectionLimit) return std::nullopt;
  std::vector<AXElement> elements;
  elements.reserve(array->size());
  for (const AXValue& item : *array) {
    const auto* typed = item.as<AXElement>();
    if (!typed || !typed->isValid()) return std::nullopt;
    elements.push_back(*typed);
  }
  return elements;
}

std::optional<FinderAXAdapter::FocusedWindow> FinderAXAdapter::focusedFinderWindow(int processID) {
  if (!services_.accessibility.isProcessTrusted()) return std::nullopt;
  auto application = services_.workspace.runningApplication(processID);
  if (!application || application->bundleIdentifier() != FinderBundle::identifier ||
      !application->isActive() || application->isTerminated()) {
    return std::nullopt;
  }
  const AXElement applicationElement = services_.accessibility.application(processID);
  const auto window = elementValue(applicationElement, "AXFocusedWindow");
  if (!window || stringValue(*window, "AXRole") != "AXWindow" ||
      stringValue(*window, "AXSubrole") != "AXStandardWindow" ||
      stringValue(*window, "AXIdentifier") != "FinderWindow" ||
      boolValue(*window, "AXMinimized") != false) {
    return std::nullopt;
  }
  const auto focus = elementValue(applicationElement, "AXFocusedUIElement");
  if (!focus || elementValue(*focus, "AXTopLevelUIElement") != *window) return std::nullopt;
  return FocusedWindow{std::move(application), applicationElement, *window, *focus};
}

std::optional<FinderFileView> FinderAXAdapter::fileView(const AXElement& focus) {
  const FinderFileViews::RoleAndIdentifier element{stringValue(focus, "AXRole"),
                                                   stringValue(focus, "AXIdentifier")};
  std::vector<FinderFileViews::RoleAndIdentifier> ancestors;
  // Only a list without identifier may be a column: its ancestors tell.
  if (element.role == "AXList" && !element.identifier) {
    AXElement current = focus;
    for (int level = 0; level < kAncestorWalk; ++level) {
      const auto parent = elementValue(current, "AXParent");
      if (!parent) break;
      ancestors.push_back({stringValue(*parent, "AXRole"), stringValue(*parent, "AXIdentifier")});
      current = *parent;
    }
  }
  return FinderFileViews::classify(element, ancestors);
}

bool FinderAXAdapter::isEditingText(int processID) {
  deadline_ = services_.clock.uptime() + kTextCheckDeadline;
  const auto focus =
      elementValue(services_.accessibility.application(processID), "AXFocusedUIElement");
  const auto role = focus ? stringValue(*focus, "AXRole") : std::nullopt;
  return role == "AXTextField" || role == "AXTextArea" || role == "AXComboBox";
}

std::optional<FinderFocusedFileView> FinderAXAdapter::focusedFileView(int processID) {
  deadline_ = services_.clock.uptime() + kFileViewDeadline;
  const auto focused = focusedFinderWindow(processID);
  if (!focused) return std::nullopt;
  const auto view = fileView(focused->focus);
  if (!view) return std::nullopt;
  auto selection =
      elementsValue(focused->focus, std::string(FinderFileViews::selectionAttribute(*view)));
  if (!selection) return std::nullopt;
  return FinderFocusedFileView{processID, focused->window, focused->focus, *view,
                               std::move(*selection)};
}

std::optional<std::string> FinderAXAdapter::fileURL(const AXValue& value) const {
  if (const auto* url = value.as<AXURL>()) return services_.fileURLs.filePathURL(url->text);
  if (const auto* text = value.as<std::string>()) return services_.fileURLs.filePathURL(*text);
  return std::nullopt;
}

std::optional<std::vector<std::string>> FinderAXAdapter::selectedURLs(const AXElement& element,
                                                                      int depth,
                                                                      std::size_t& budget) {
  if (depth > kSelectedElementDepth || budget == 0) return std::nullopt;
  --budget;
  // An element that names a file is that file, whatever it holds.
  if (const auto found = value(element, "AXURL")) {
    auto url = fileURL(*found);
    if (!url) return std::nullopt;
    return std::vector<std::string>{std::move(*url)};
  }
  const auto children = elementsValue(element, "AXChildren");
  if (!children || children->empty()) return std::nullopt;
  std::vector<std::string> urls;
  for (const AXElement& child : *children) {
    auto more = selectedURLs(child, depth + 1, budget);
    if (more) urls.insert(urls.end(), more->begin(), more->end());
  }
  if (urls.empty()) return std::nullopt;
  return urls;
}

std::optional<std::vector<std::string>> FinderAXAdapter::pathIdentity(const AXElement& element,
                                                                      int depth) {
  if (depth > kPathIdentityDepth) return std::nullopt;
  const auto children = elementsValue(element, "AXChildren");
  if (!children) return std::nullopt;
  std::vector<std::vector<std::string>> candidates;
  for (const AXElement& child : *children) {
    const auto role = stringValue(child, "AXRole");
    if (role == "AXSplitGroup") {
      if (auto found = pathIdentity(child, depth + 1)) candidates.push_back(std::move(*found));
    } else if (role == "AXList" && !stringValue(child, "AXIdentifier")) {
      // A path list: static texts, each naming a folder of the path.
      const auto parts = elementsValue(child, "AXChildren");
      if (!parts || parts->empty()) continue;
      std::vector<std::string> urls;
      for (const AXElement& part : *parts) {
        if (stringValue(part, "AXRole") != "AXStaticText") break;
        const auto found = value(part, "AXURL");
        auto url = found ? fileURL(*found) : std::nullopt;
        if (!url) break;
        urls.push_back(std::move(*url));
      }
      if (urls.size() == parts->size()) candidates.push_back(std::move(urls));
    }
  }
  if (candidates.size() != 1) return std::nullopt;
  return std::move(candidates.front());
}

std::optional<FinderAXSnapshot> FinderAXAdapter::inspect(int processID) {
  deadline_ = services_.clock.uptime() + kOperationDeadline;
  const auto focused = focusedFinderWindow(processID);
  if (!focused) return std::nullopt;
  const auto view = fileView(focused->focus);
  if (!view) return std::nullopt;
  const auto selection =
      elementsValue(focused->focus, std::string(FinderFileViews::selectionAttribute(*view)));
  if (!selection) return std::nullopt;
  std::size_t budget = kCollectionLimit;
  std::vector<std::string> files;
  for (const AXElement& selected : *selection) {
    const auto urls = selectedURLs(selected, 0, budget);
    if (!urls) return std::nullopt;
    // A row that names two different files is no file.
    if (std::set<std::string>(urls->begin(), urls->end()).size() != 1) return std::nullopt;
    files.push_back(urls->front());
  }
  if (files.size() > kCollectionLimit ||
      std::set<std::string>(files.begin(), files.end()).size() != files.size()) {
    return std::nullopt;
  }
  // Nothing moved while it was read.
  if (services_.clock.uptime() >= deadline_ || !focused->application->isActive() ||
      elementValue(focused->applicationElement, "AXFocusedWindow") != focused->window ||
      elementValue(focused->applicationElement, "AXFocusedUIElement") != focused->focus) {
    return std::nullopt;
  }
  auto place = pathIdentity(focused->window, 0);
  if (!place || place->empty()) return std::nullopt;
  return FinderAXSnapshot{processID,        focused->window,   focused->focus,
                          std::move(files), std::move(*place), services_.clock.uptime()};
}

bool FinderAXAdapter::sameContext(const FinderAXSnapshot& a, const FinderAXSnapshot& b,
                                  bool selection) {
  return a.processID == b.processID && a.pathIdentity == b.pathIdentity && a.window == b.window &&
         a.focus == b.focus && (!selection || a.files == b.files);
}

std::optional<FinderClipboardSnapshot> FinderAXAdapter::clipboard() {
  Pasteboard& pasteboard = services_.pasteboard;
  const std::int64_t count = pasteboard.changeCount();
  const auto items = pasteboard.items();
  if (items.empty() || items.size() > kCollectionLimit) return std::nullopt;
  std::vector<std::string> files;
  for (const auto& item : items) {
    const auto types = item->types();
    if (!contains(types, "public.file-url")) return std::nullopt;
    const auto data = item->data("public.file-url");
    if (!data) return std::nullopt;
    auto url = services_.fileURLs.filePathURL(std::string(data->begin(), data->end()));
    if (!url) return std::nullopt;
    files.push_back(std::move(*url));
  }
  if (pasteboard.changeCount() != count) return std::nullopt;
  return FinderClipboardSnapshot{count, std::move(files)};
}

std::vector<std::pair<std::size_t, AXElement>> FinderAXAdapter::scanMenus(
    const std::vector<AXElement>& topLevel, const std::vector<std::size_t>& indices, bool copy,
    const std::vector<std::string>& fileNames, std::size_t count) {
  std::vector<std::pair<std::size_t, AXElement>> found;
  for (const std::size_t index : indices) {
    for (const AXElement& menu :
         elementsValue(topLevel[index], "AXChildren").value_or(std::vector<AXElement>{})) {
      for (const AXElement& item :
           elementsValue(menu, "AXChildren").value_or(std::vector<AXElement>{})) {
        const auto identifier = stringValue(item, "AXIdentifier");
        const auto title = stringValue(item, "AXTitle");
        if (!title) continue;
        const bool matches = copy ? names_.isCopy(identifier, *title, fileNames)
                                  : names_.isMove(identifier, *title, count);
        if (matches && boolValue(item, "AXEnabled") == true) found.emplace_back(index, item);
      }
    }
  }
  return found;
}

bool FinderAXAdapter::pressCommand(bool copy, const FinderAXSnapshot& snapshot, std::size_t count,
                                   const std::optional<FinderClipboardSnapshot>& expectedClipboard,
                                   const Permission& isAllowed) {
  deadline_ = services_.clock.uptime() + kOperationDeadline;
  const int processID = snapshot.processID;
  const AXElement application = services_.accessibility.application(processID);
  const auto menuBar = elementValue(application, "AXMenuBar");
  const auto topLevel = menuBar ? elementsValue(*menuBar, "AXChildren") : std::nullopt;
  if (!topLevel) return false;
  std::vector<std::string> fileNames;
  for (const std::string& file : snapshot.files) fileNames.push_back(fileName(file));

  std::vector<std::pair<std::size_t, AXElement>> found;
  if (commandMenu_ && commandMenu_->processID == processID &&
      commandMenu_->index < topLevel->size()) {
    found = scanMenus(*topLevel, {commandMenu_->index}, copy, fileNames, count);
  }
  if (found.empty()) {
    std::vector<std::size_t> all(topLevel->size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    found = scanMenus(*topLevel, all, copy, fileNames, count);
  }
  if (found.size() != 1) {
    commandMenu_.reset();
    return false;
  }
  commandMenu_ = CommandMenu{processID, found.front().first};
  const AXElement item = found.front().second;

  if (!isAllowed() || services_.clock.uptime() >= deadline_) return false;
  const auto running = services_.workspace.runningApplication(processID);
  if (!running || !running->isActive() ||
      elementValue(application, "AXFocusedWindow") != snapshot.window ||
      elementValue(application, "AXFocusedUIElement") != snapshot.focus) {
    return false;
  }
  // For a move the selection may have changed; the place may not.
  const auto fresh = inspect(processID);
  if (!fresh || !sameContext(snapshot, *fresh, copy) || !isAllowed()) return false;
  if (expectedClipboard) {
    const auto board = clipboard();
    if (!board || board->count != expectedClipboard->count ||
        sorted(board->files) != sorted(expectedClipboard->files) || !isAllowed()) {
      return false;
    }
  }
  return services_.accessibility.performAction(item, "AXPress") == AXError::success;
}

std::optional<FinderClipboardSnapshot> FinderAXAdapter::copy(const FinderAXSnapshot& snapshot,
                                                             const Permission& isAllowed) {
  const auto fresh = inspect(snapshot.processID);
  if (!fresh || !sameContext(snapshot, *fresh, true) || fresh->files.empty()) return std::nullopt;
  Pasteboard& pasteboard = services_.pasteboard;
  const std::int64_t before = pasteboard.changeCount();
  if (!pressCommand(true, *fresh, fresh->files.size(), std::nullopt, isAllowed)) {
    return std::nullopt;
  }
  // Finder copies on its own time, and clears the pasteboard before it writes the
  // files there under the same change count.
  const auto written = [&] {
    const std::int64_t count = pasteboard.changeCount();
    return count != before && (count != before + 1 || !pasteboard.items().empty());
  };
  const double pressedAt = services_.clock.uptime();
  while (!written() && services_.clock.uptime() - pressedAt < kCopyWait) {
    services_.clock.sleep(kCopyPoll);
  }
  auto board = clipboard();
  if (!board || !FinderClipboardProof::matches(fresh->files, board->files, before, board->count)) {
    return std::nullopt;
  }
  // The user did not move or change the selection meanwhile.
  const auto newest = inspect(snapshot.processID);
  if (!newest || !sameContext(*fresh, *newest, true)) return std::nullopt;
  return board;
}

bool FinderAXAdapter::move(const FinderAXSnapshot& snapshot, const FinderClipboardSnapshot& copied,
                           const Permission& isAllowed) {
  const auto fresh = inspect(snapshot.processID);
  if (!fresh || !sameContext(snapshot, *fresh, false)) return false;
  const auto board = clipboard();
  if (!board || board->count != copied.count || sorted(board->files) != sorted(copied.files)) {
    return false;
  }
  return pressCommand(false, *fresh, copied.files.size(), copied, isAllowed);
}

}  // namespace mirlet
