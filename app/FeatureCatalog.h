#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ClipboardHistory/ClipboardHistoryControl.h"
#include "FinderCut/FinderCutControl.h"
#include "FinderKeys/FinderKeysControl.h"
#include "RightClickFocus/RightClickFocusID.h"

namespace mirlet {

// A group of features in the window's sidebar.
struct FeatureCategory {
  std::string id;
  std::string title;
  std::string symbol;  // names an icon

  friend bool operator==(const FeatureCategory&, const FeatureCategory&) = default;
};

// What the user sees of a feature in the window.
struct FeaturePresentation {
  std::string id;  // a feature id
  std::string title;
  std::string summary;
  std::string details;  // paragraphs separated by blank lines; each starts with a heading line
  std::string symbol;
  FeatureCategory category;
  std::optional<std::string> permissionNote;

  friend bool operator==(const FeaturePresentation&, const FeaturePresentation&) = default;
};

// The catalogue of the four features, in the order of the rows of the features page.
const std::vector<FeaturePresentation>& standardCatalog();

}  // namespace mirlet
