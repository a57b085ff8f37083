#pragma once

#include <QFrame>
#include <vector>

#include "app/AppModel.h"

class QLabel;
class QPushButton;
class QCheckBox;
class QVBoxLayout;

namespace mirlet {

class ClipboardHistorySettingsView;
class ClipboardHistoryViews;
class ToggleSwitch;

// One feature on the features page: what it does, its switch, its state with the
// action that state offers, and its own options.
class FeatureRow : public QFrame {
 public:
  // `clipboardHistory` gives the clipboard history's row its settings.
  FeatureRow(AppModel& model, FeaturePresentation feature,
             const ClipboardHistoryViews* clipboardHistory, QWidget* parent = nullptr);

  const std::string& featureId() const { return feature_.id; }

 private:
  void addFinderKeyOptions(QVBoxLayout* layout);
  void addFinderCutStatus(QVBoxLayout* layout);
  void addClipboardHistorySettings(QVBoxLayout* layout);
  FeatureState state() const;
  void refreshState();
  void refreshOptions();

  AppModel& model_;
  FeaturePresentation feature_;
  const ClipboardHistoryViews* clipboardHistory_;
  ToggleSwitch* toggle_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* grantButton_ = nullptr;
  QPushButton* retryButton_ = nullptr;
  std::vector<std::pair<FinderKey, QCheckBox*>> keyBoxes_;
  QLabel* cutStatus_ = nullptr;
  ClipboardHistorySettingsView* clipboardSettings_ = nullptr;
  QPushButton* cancelCut_ = nullptr;
  std::vector<Subscription> subscriptions_;
};

// The details text as rich text: paragraphs, each heading line in bold.
QString detailsHtml(const std::string& details);

}  // namespace mirlet
