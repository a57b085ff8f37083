#include "platform/FinderAXAdapter.h"

#include <algorithm>

namespace mirlet {

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

FinderAXAdapter::FinderAXAdapter(Accessibility& accessibility, Workspace& workspace, Clock& clock)
    : accessibility_(accessibility), workspace_(workspace), clock_(clock) {}

std::optional<AXValue> FinderAXAdapter::value(const AXElement& element,
                                              const std::string& attribute) {
  if (!element.isValid() || clock_.uptime() >= deadline_) return std::nullopt;
  if (accessibility_.setMessagingTimeout(element, kMessagingTimeout) != AXError::success)
    return std::nullopt;
  AXResult result = accessibility_.copyAttribute(element, attribute);
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
  if (!accessibility_.isProcessTrusted()) return std::nullopt;
  auto application = workspace_.runningApplication(processID);
  if (!application || application->bundleIdentifier() != kFinderBundleIdentifier ||
      !application->isActive() || application->isTerminated()) {
    return std::nullopt;
  }
  const AXElement applicationElement = accessibility_.application(processID);
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
  deadline_ = clock_.uptime() + kTextCheckDeadline;
  const auto focus = elementValue(accessibility_.application(processID), "AXFocusedUIElement");
  const auto role = focus ? stringValue(*focus, "AXRole") : std::nullopt;
  return role == "AXTextField" || role == "AXTextArea" || role == "AXComboBox";
}

std::optional<FinderFocusedFileView> FinderAXAdapter::focusedFileView(int processID) {
  deadline_ = clock_.uptime() + kFileViewDeadline;
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

}  // namespace mirlet
