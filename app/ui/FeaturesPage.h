#pragma once

#include <QWidget>
#include <vector>

#include "app/AppModel.h"

class QLabel;
class QVBoxLayout;

namespace mirlet {

class ClipboardHistoryViews;

// A page of feature rows: all features, or one category's. Above the rows, the
// banners for a missing permission and for a change that could not be applied.
class FeaturesPage : public QWidget {
 public:
  FeaturesPage(AppModel& model, const ClipboardHistoryViews* clipboardHistory,
               QWidget* parent = nullptr);

  // Rebuilds the rows for the model's current page.
  void rebuild();

 private:
  void refreshBanners();

  AppModel& model_;
  const ClipboardHistoryViews* clipboardHistory_;
  QLabel* title_ = nullptr;
  QWidget* permissionBanner_ = nullptr;
  QLabel* watchingText_ = nullptr;
  QLabel* changeFailed_ = nullptr;
  QVBoxLayout* rows_ = nullptr;
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
