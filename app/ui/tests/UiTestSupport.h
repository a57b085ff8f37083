#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/AppModel.h"
#include "app/FeatureCatalog.h"
#include "core/testing/FakeFeature.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "platform/FeatureControls.h"
#include "platform/testing/ScriptedSystemEnvironment.h"

namespace mirlet::testing {

// A clipboard-history stand-in with the controls the shell uses.
class FakeClipboardFeature : public FakeFeature, public ClipboardHistoryControl {
 public:
  FakeClipboardFeature() : FakeFeature({FeatureIds::clipboardHistory, "", "", false}) {}
  bool isPaused() const override { return paused; }
  void setPaused(bool value) override { paused = value; }
  std::optional<std::string> hotKeyLabel() const override { return hotKey; }
  bool paused = false;
  std::optional<std::string> hotKey = "⌃⌥V";
};

// The four features as fakes with their real ids, and what the model needs.
struct FakeDesktop {
  MemoryDefaultsStore store;
  ScriptedSystemEnvironment environment;
  VirtualTimeScheduler scheduler;
  std::shared_ptr<FakeFeature> rightClick =
      std::make_shared<FakeFeature>(FeatureDescriptor{FeatureIds::rightClickFocus, "", "", true});
  std::shared_ptr<FakeFeature> finderCut =
      std::make_shared<FakeFeature>(FeatureDescriptor{FeatureIds::finderCut, "", "", true});
  std::shared_ptr<FakeFeature> finderKeys =
      std::make_shared<FakeFeature>(FeatureDescriptor{FeatureIds::finderKeys, "", "", true});
  std::shared_ptr<FakeClipboardFeature> clipboard = std::make_shared<FakeClipboardFeature>();

  FeatureFactory factory() {
    return [this](const FeatureSinks&, Preferences&) -> FeatureRegistry::Features {
      return {rightClick, finderCut, finderKeys, clipboard};
    };
  }
  AppModel::Services services() { return {store, environment, scheduler, scheduler}; }
};

// The visible labels, buttons and section titles of a window, by text.
inline std::vector<std::string> visibleTexts(QWidget* root) {
  std::vector<std::string> texts;
  for (auto* label : root->findChildren<QLabel*>()) {
    if (label->isVisible()) texts.push_back(label->text().toStdString());
  }
  for (auto* button : root->findChildren<QAbstractButton*>()) {
    if (button->isVisible() && !button->text().isEmpty()) {
      texts.push_back(button->text().toStdString());
    }
  }
  for (auto* box : root->findChildren<QGroupBox*>()) {
    if (box->isVisible() && !box->title().isEmpty()) texts.push_back(box->title().toStdString());
  }
  return texts;
}

inline QAbstractButton* visibleButton(QWidget* root, const QString& text) {
  for (auto* button : root->findChildren<QAbstractButton*>()) {
    if (button->isVisible() && button->text() == text) return button;
  }
  return nullptr;
}

}  // namespace mirlet::testing
