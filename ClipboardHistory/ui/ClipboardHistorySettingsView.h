#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "host/HostTexts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace mirlet {

class HotKeyRecorder;

// What the settings block needs from the application around it.
struct ClipboardHistorySettingsActions {
  const HostTexts& texts;
  std::function<bool()> isRunning;
  std::function<bool()> accessibilityGranted;
  std::function<void()> grantAccessibility;
  std::function<void()> openHistory;
};

// The clipboard history's block under its row of the settings window: the try-it
// hint, the hot-key recorder, what choosing does, "Más opciones", and clearing the
// history. Every control writes through the feature.
class ClipboardHistorySettingsView : public QWidget {
 public:
  ClipboardHistorySettingsView(ClipboardHistoryFeature& feature,
                               ClipboardHistorySettingsActions actions, QWidget* parent = nullptr);

  HotKeyRecorder& recorder() { return *recorder_; }
  // Shows the clear confirmation; its answer clears or not.
  void confirmClear();
  // The state around the block changed (the feature started, the permission came).
  void refresh();

 private:
  QWidget* makeTryIt();
  QWidget* makeMoreOptions();
  void clear();

  ClipboardHistoryFeature& feature_;
  ClipboardHistorySettingsActions actions_;
  QWidget* tryIt_ = nullptr;
  QLabel* tryItText_ = nullptr;
  QPushButton* tryItOpen_ = nullptr;
  HotKeyRecorder* recorder_ = nullptr;
  QComboBox* chooseAction_ = nullptr;
  QWidget* accessibilityNote_ = nullptr;
  QToolButton* moreToggle_ = nullptr;
  QWidget* more_ = nullptr;
  QComboBox* limit_ = nullptr;
  QComboBox* resetAfter_ = nullptr;
  QCheckBox* promoteOnUse_ = nullptr;
  QCheckBox* playSound_ = nullptr;
  QCheckBox* fetchLinkTitles_ = nullptr;
  QCheckBox* storePrivate_ = nullptr;
  QWidget* clearFailed_ = nullptr;
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
