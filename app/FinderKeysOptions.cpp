#include "app/FinderKeysOptions.h"

#include <array>
#include <string>

#include "app/FeatureCatalog.h"

namespace mirlet {
namespace {

constexpr std::array<FinderKey, 3> kFinderKeys{FinderKey::enter, FinderKey::f2, FinderKey::delete_};

std::string optionName(FinderKey key) { return std::string(FinderKeys::rawValue(key)); }

}  // namespace

FinderKeysOptions::FinderKeysOptions(Preferences& preferences, FinderKeysControl* feature)
    : preferences_(preferences), feature_(feature) {
  std::set<FinderKey> keys;
  for (FinderKey key : kFinderKeys) {
    if (preferences_.isOptionEnabled(optionName(key), FeatureIds::finderKeys)) keys.insert(key);
  }
  keys_.set(keys);
  if (feature_) feature_->setEnabledKeys(keys);
}

void FinderKeysOptions::setKeyEnabled(bool enabled, FinderKey key) {
  preferences_.setOptionEnabled(enabled, optionName(key), FeatureIds::finderKeys);
  std::set<FinderKey> keys = keys_.get();
  if (enabled) {
    keys.insert(key);
  } else {
    keys.erase(key);
  }
  keys_.set(keys);
  if (feature_) feature_->setEnabledKeys(keys);
}

}  // namespace mirlet
