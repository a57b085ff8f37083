#pragma once

#include <optional>
#include <string>
#include <vector>

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

// The feature ids, in registration order.
namespace FeatureIds {
inline const std::string rightClickFocus = "right-click-focus";
inline const std::string finderCut = "finder-cut";
inline const std::string finderKeys = "finder-keys";
inline const std::string clipboardHistory = "clipboard-history";
}  // namespace FeatureIds

// The catalogue of the four features, in the order of the rows of the features page.
const std::vector<FeaturePresentation>& standardCatalog();

}  // namespace mirlet
