#pragma once

#include <QWidget>

#include "app/AppModel.h"
#include "app/BundleInfo.h"
#include "app/UpdateSettings.h"

class QListWidget;
class QStackedLayout;
class QStackedWidget;

namespace mirlet {

class ClipboardHistoryViews;
class FeaturesPage;

// The settings window: the welcome flow until it is completed, then a sidebar of
// pages (all features, each category, settings). Closing it only hides it.
class SettingsWindow : public QWidget {
 public:
  static constexpr QSize kSize{780, 500};
  static constexpr QSize kMinimumSize{700, 420};

  // `clipboardHistory` gives the clipboard history's row its settings, where the
  // host runs it.
  SettingsWindow(AppModel& model, UpdateSettings& updates, const BundleInfo& bundle,
                 const ClipboardHistoryViews* clipboardHistory = nullptr,
                 QWidget* parent = nullptr);

 private:
  QWidget* mainView(UpdateSettings& updates, const BundleInfo& bundle);
  void showPage(const AppModel::Page& page);

  AppModel& model_;
  QStackedLayout* flow_ = nullptr;
  QListWidget* sidebar_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  const ClipboardHistoryViews* clipboardHistory_;
  FeaturesPage* featuresPage_ = nullptr;
  QWidget* settingsPage_ = nullptr;
  std::vector<AppModel::Page> sidebarPages_;
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
