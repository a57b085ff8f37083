#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "FinderCut/FinderCutActivity.h"
#include "FinderKeys/FinderKey.h"
#include "app/EventRelay.h"
#include "app/FeatureCatalog.h"
#include "app/FinderKeysOptions.h"
#include "app/StatusMenu.h"
#include "app/SystemSettings.h"
#include "core/Clock.h"
#include "core/FeatureController.h"
#include "core/MainLoop.h"
#include "core/Preferences.h"
#include "core/Signal.h"
#include "host/HostTexts.h"
#include "host/SessionEvents.h"

namespace mirlet {

// Where the features report to. Given to the feature factory, so that features can
// be built before the model is ready to receive their reports.
struct FeatureSinks {
  // The failure callback for the feature with this id.
  std::function<MirletFeature::FailureCallback(const std::string& id)> failureCallback;
  std::function<void(FinderCutActivity)> finderCutActivity;
};

// Builds the host's features in registration order: right-click focus, Finder
// cut, Finder keys, clipboard history (each only where the host provides it).
using FeatureFactory =
    std::function<FeatureRegistry::Features(const FeatureSinks& sinks, Preferences& preferences)>;

// The application model behind the settings window: the feature catalogue, the
// pages, the welcome flow, the feature switches and the permission actions. Plain
// C++, main thread only; views subscribe to its published fields.
class AppModel {
 public:
  struct CategoryPage {
    std::string id;
    friend bool operator==(const CategoryPage&, const CategoryPage&) = default;
  };
  struct FeaturesPage {
    friend bool operator==(const FeaturesPage&, const FeaturesPage&) = default;
  };
  struct SettingsPage {
    friend bool operator==(const SettingsPage&, const SettingsPage&) = default;
  };
  using Page = std::variant<FeaturesPage, CategoryPage, SettingsPage>;

  enum class WelcomeStep { welcome, finish, completed };

  struct PermissionCheck {
    Date checkedAt;
    AccessibilityPermission permission;
    friend bool operator==(const PermissionCheck&, const PermissionCheck&) = default;
  };

  struct Services {
    DefaultsStore& defaults;
    SystemEnvironment& environment;
    MainLoop& mainLoop;
    Clock& clock;
    const HostTexts& texts = HostTexts::mac;
  };

  // Builds the features, the registry and the controller, then the system settings,
  // whose first refresh starts the enabled features. Throws FeatureRegistryError
  // for a feature list that cannot be registered, and std::logic_error for a
  // catalogue with repeated ids: both are programming errors.
  AppModel(Services services, const FeatureFactory& makeFeatures,
           std::vector<FeaturePresentation> catalog = standardCatalog());
  AppModel(const AppModel&) = delete;
  AppModel& operator=(const AppModel&) = delete;

  Preferences& preferences() { return preferences_; }
  // The texts that name this desktop.
  const HostTexts& texts() const { return texts_; }
  FeatureController& controller() { return *controller_; }
  SystemSettings& systemSettings() { return *systemSettings_; }
  // The catalogue entries whose feature is registered, in catalogue order.
  const std::vector<FeaturePresentation>& catalog() const { return catalog_; }

  // Published fields; views subscribe to them.
  const ObservableView<Page>& page() const { return page_; }
  const ObservableView<WelcomeStep>& welcomeStep() const { return welcomeStep_; }
  const ObservableView<FeatureController::States>& featureStates() const {
    return controller_->states();
  }
  const ObservableView<bool>& featureChangeFailed() const { return featureChangeFailed_; }
  const ObservableView<std::optional<PermissionCheck>>& permissionCheck() const {
    return permissionCheck_;
  }
  const ObservableView<FinderCutActivity>& finderCutActivity() const { return finderCutActivity_; }
  const ObservableView<std::set<FinderKey>>& finderKeys() const { return finderKeys_->keys(); }

  std::string pageTitle() const;
  std::vector<FeaturePresentation> visibleFeatures() const;
  // The distinct categories of the catalogue, in first-appearance order.
  std::vector<FeatureCategory> categories() const;
  // True when some enabled feature waits for the permission.
  bool hasFeatureAwaitingPermission() const;
  // What the status menu shows of the clipboard history while it runs.
  std::optional<StatusMenu::ClipboardState> runningClipboard() const;

  void showPage(Page page) { page_.set(std::move(page)); }
  void setFeatureEnabled(bool enabled, const std::string& id);
  void setKeyEnabled(bool enabled, FinderKey key) { finderKeys_->setKeyEnabled(enabled, key); }
  // Cancels the Finder cut that is being prepared or waits for ⌘V.
  void cancelFinderCut();

  // The welcome flow: "Empezar", "Atrás", "Ver mis mirlets".
  void startWelcome();
  void backToWelcome();
  void completeWelcome();

  // Asks for the permission unless granted, opens the system's settings and
  // watches for the grant.
  void grantAccessibility();
  // Refreshes and records the result with the time of the check.
  void checkPermission();

  // Opens the history panel, when the application has one (the delegate says how).
  void setHistoryOpener(std::function<void()> open) { historyOpener_ = std::move(open); }
  void openHistory() const {
    if (historyOpener_) historyOpener_();
  }

  // Lifecycle of the application.
  void applicationDidBecomeActive();
  void sessionChanged(SessionEvent event);
  void prepareForTermination();

  template <class Control>
  Control* featureControl(const std::string& id) const {
    return dynamic_cast<Control*>(controller_->registry().feature(id));
  }

 private:
  using FailureReport = std::pair<std::string, Uuid>;

  Clock& clock_;
  const HostTexts& texts_;
  Preferences preferences_;
  std::shared_ptr<EventRelay<FailureReport>> failureRelay_;
  std::shared_ptr<EventRelay<FinderCutActivity>> activityRelay_;
  std::vector<FeaturePresentation> catalog_;
  std::unique_ptr<FeatureController> controller_;
  std::unique_ptr<SystemSettings> systemSettings_;
  std::unique_ptr<FinderKeysOptions> finderKeys_;
  std::function<void()> historyOpener_;
  Observable<Page> page_{FeaturesPage{}};
  Observable<WelcomeStep> welcomeStep_{WelcomeStep::welcome};
  Observable<bool> featureChangeFailed_{false};
  Observable<std::optional<PermissionCheck>> permissionCheck_;
  Observable<FinderCutActivity> finderCutActivity_{FinderCutActivity::idle};
  std::vector<Subscription> subscriptions_;
};

}  // namespace mirlet
