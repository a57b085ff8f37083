#include "ClipboardHistory/service/HistoryPreferences.h"

#include <string>

#include "ClipboardHistory/ClipboardHistoryControl.h"

namespace mirlet {
namespace {

constexpr const char* kPanelOpened = "panelOpened";
constexpr const char* kHotKey = "hotKey";

ClipboardHistorySettings loadSettings(Preferences& preferences) {
  ClipboardHistorySettings::Values values;
  for (std::string_view key : ClipboardHistorySettings::keys) {
    if (auto value = preferences.string(std::string(key), FeatureIds::clipboardHistory)) {
      values.emplace(key, std::move(*value));
    }
  }
  return ClipboardHistorySettings::fromValues(values);
}

}  // namespace

HistoryPreferences::HistoryPreferences(Preferences& preferences)
    : preferences_(preferences),
      settings_(loadSettings(preferences)),
      hasOpenedPanel_(preferences.string(kPanelOpened, FeatureIds::clipboardHistory) == "true") {}

bool HistoryPreferences::update(const std::function<void(ClipboardHistorySettings&)>& change) {
  ClipboardHistorySettings updated = settings_.get();
  change(updated);
  if (updated == settings_.get()) return false;
  settings_.set(updated);
  for (const auto& [name, value] : updated.values())
    preferences_.setString(value, name, FeatureIds::clipboardHistory);
  return true;
}

void HistoryPreferences::setHotKey(const std::optional<HotKeyCombo>& combo) {
  ClipboardHistorySettings updated = settings_.get();
  updated.hotKey = combo;
  settings_.set(updated);
  preferences_.setString(updated.values().at(kHotKey), kHotKey, FeatureIds::clipboardHistory);
}

void HistoryPreferences::notePanelOpened() {
  if (hasOpenedPanel_.get()) return;
  hasOpenedPanel_.set(true);
  preferences_.setString("true", kPanelOpened, FeatureIds::clipboardHistory);
}

}  // namespace mirlet
