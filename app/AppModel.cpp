#include "app/AppModel.h"

#include <algorithm>
#include <stdexcept>

#include "ClipboardHistory/ClipboardHistoryControl.h"
#include "FinderCut/FinderCutControl.h"
#include "FinderKeys/FinderKeysControl.h"
#include "app/SessionLifecycle.h"

namespace mirlet {
namespace {

const std::string kAllFeaturesTitle = "Mis mirlets";

}  // namespace

AppModel::AppModel(Services services, const FeatureFactory& makeFeatures,
                   std::vector<FeaturePresentation> catalog)
    : clock_(services.clock),
      texts_(services.texts),
      preferences_(services.defaults),
      failureRelay_(std::make_shared<EventRelay<FailureReport>>()),
      activityRelay_(std::make_shared<EventRelay<FinderCutActivity>>()) {
  // Features may outlive the model (the shell shares them), so their callbacks
  // reach the relays only while the model exists.
  FeatureSinks sinks{
      [weakRelay = std::weak_ptr(failureRelay_)](const std::string& id) {
        return [weakRelay, id](const Uuid& runID) {
          if (auto relay = weakRelay.lock()) relay->send({id, runID});
        };
      },
      [weakRelay = std::weak_ptr(activityRelay_)](FinderCutActivity activity) {
        if (auto relay = weakRelay.lock()) relay->send(activity);
      },
  };
  FeatureRegistry registry(makeFeatures(sinks, preferences_));

  std::set<std::string> catalogIds;
  for (auto& entry : catalog) {
    if (!catalogIds.insert(entry.id).second) {
      throw std::logic_error("repeated catalogue id " + entry.id);
    }
    if (entry.id == FeatureIds::clipboardHistory && !texts_.clipboardSummary.empty()) {
      entry.summary = texts_.clipboardSummary;
      entry.details = texts_.clipboardDetails;
    }
    if (registry.feature(entry.id)) catalog_.push_back(std::move(entry));
  }

  finderKeys_ = std::make_unique<FinderKeysOptions>(
      preferences_, dynamic_cast<FinderKeysControl*>(registry.feature(FeatureIds::finderKeys)));

  controller_ = std::make_unique<FeatureController>(std::move(registry), preferences_);
  systemSettings_ = std::make_unique<SystemSettings>(preferences_, *controller_,
                                                     services.environment, services.mainLoop);

  welcomeStep_.set(preferences_.hasCompletedOnboarding() ? WelcomeStep::completed
                                                         : WelcomeStep::welcome);
  subscriptions_.push_back(systemSettings_->observeAccessibilityGranted([this] {
    permissionCheck_.set(PermissionCheck{clock_.now(), systemSettings_->accessibility().get()});
  }));
  // A permission check's result stands only while the permission is what it found.
  subscriptions_.push_back(
      systemSettings_->accessibility().subscribe([this](AccessibilityPermission permission) {
        const auto& check = permissionCheck_.get();
        if (check && check->permission != permission) permissionCheck_.set(std::nullopt);
      }));
  failureRelay_->attach([this](const FailureReport& report) {
    try {
      controller_->reportFailure(report.first, report.second);
    } catch (const FeatureRegistryError&) {
      featureChangeFailed_.set(true);
    }
  });
  activityRelay_->attach([this](FinderCutActivity activity) { finderCutActivity_.set(activity); });
}

std::string AppModel::pageTitle() const {
  return std::visit(
      [this](const auto& current) -> std::string {
        using P = std::decay_t<decltype(current)>;
        if constexpr (std::is_same_v<P, SettingsPage>) {
          return "Ajustes";
        } else if constexpr (std::is_same_v<P, CategoryPage>) {
          for (const auto& category : categories()) {
            if (category.id == current.id) return category.title;
          }
          return kAllFeaturesTitle;
        } else {
          return kAllFeaturesTitle;
        }
      },
      page().get());
}

std::vector<FeaturePresentation> AppModel::visibleFeatures() const {
  if (std::holds_alternative<SettingsPage>(page().get())) return {};
  if (const auto* category = std::get_if<CategoryPage>(&page().get())) {
    std::vector<FeaturePresentation> visible;
    std::copy_if(catalog_.begin(), catalog_.end(), std::back_inserter(visible),
                 [&](const auto& entry) { return entry.category.id == category->id; });
    return visible;
  }
  return catalog_;
}

std::vector<FeatureCategory> AppModel::categories() const {
  std::vector<FeatureCategory> distinct;
  for (const auto& entry : catalog_) {
    if (std::find(distinct.begin(), distinct.end(), entry.category) == distinct.end()) {
      distinct.push_back(entry.category);
    }
  }
  return distinct;
}

bool AppModel::hasFeatureAwaitingPermission() const {
  const auto& states = featureStates().get();
  return std::any_of(states.begin(), states.end(), [](const auto& entry) {
    return entry.second == FeatureState::requiresAccessibility;
  });
}

std::optional<StatusMenu::ClipboardState> AppModel::runningClipboard() const {
  auto* clipboard = featureControl<ClipboardHistoryControl>(FeatureIds::clipboardHistory);
  if (!clipboard || controller_->state(FeatureIds::clipboardHistory) != FeatureState::running) {
    return std::nullopt;
  }
  return StatusMenu::ClipboardState{clipboard->isPaused(), clipboard->hotKeyLabel()};
}

void AppModel::setFeatureEnabled(bool enabled, const std::string& id) {
  featureChangeFailed_.set(false);
  systemSettings_->refresh();
  try {
    controller_->setEnabled(enabled, id, systemSettings_->accessibility().get());
  } catch (const FeatureRegistryError&) {
    featureChangeFailed_.set(true);
  }
}

void AppModel::cancelFinderCut() {
  if (auto* control = featureControl<FinderCutControl>(FeatureIds::finderCut)) {
    control->cancelPendingCut();
  }
}

void AppModel::startWelcome() { welcomeStep_.set(WelcomeStep::finish); }

void AppModel::backToWelcome() { welcomeStep_.set(WelcomeStep::welcome); }

void AppModel::completeWelcome() {
  preferences_.setHasCompletedOnboarding(true);
  welcomeStep_.set(WelcomeStep::completed);
}

void AppModel::grantAccessibility() {
  if (systemSettings_->accessibility().get() != AccessibilityPermission::granted) {
    systemSettings_->requestAccessibility();
  }
  systemSettings_->openAccessibilitySettings();
  systemSettings_->watchForAccessibility(120);
}

void AppModel::checkPermission() {
  const Date checkedAt = clock_.now();
  systemSettings_->refresh();
  permissionCheck_.set(PermissionCheck{checkedAt, systemSettings_->accessibility().get()});
}

void AppModel::applicationDidBecomeActive() { systemSettings_->refresh(); }

void AppModel::sessionChanged(SessionEvent event) {
  if (SessionLifecycle::action(event) == SessionLifecycle::Action::suspend) {
    controller_->stopAll();
  } else {
    systemSettings_->refresh();
  }
}

void AppModel::prepareForTermination() { controller_->stopAll(); }

}  // namespace mirlet
