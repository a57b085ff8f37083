#include "host/sim/SimAccessibility.h"

#include <algorithm>

namespace mirlet::sim {

class SimAccessibility::Handle : public AXElement::Handle {
 public:
  explicit Handle(std::weak_ptr<SimAXNode> target) : node(std::move(target)) {}
  bool sameElement(const AXElement::Handle& other) const override {
    const auto* simOther = dynamic_cast<const Handle*>(&other);
    return simOther && !node.owner_before(simOther->node) && !simOther->node.owner_before(node);
  }
  std::weak_ptr<SimAXNode> node;
  // Set on this handle only: another handle to the same element has the default.
  mutable std::optional<double> messagingTimeout;
};

class SimAccessibility::Observer : public AXObserver {
 public:
  Observer(SimAccessibility& accessibility, std::shared_ptr<ObserverState> state,
           ObserverCallback callback)
      : accessibility_(accessibility),
        state_(std::move(state)),
        unregister_(accessibility.handoff_.bind(
            [&accessibility, state = state_] { std::erase(accessibility.observers_, state); })) {
    state_->deliver = handoff_.bind(std::move(callback));
  }
  ~Observer() override { unregister_(); }
  AXError addNotification(const AXElement& element, const std::string& notification) override {
    auto target = accessibility_.node(element);
    if (!target) return AXError::invalidElement;
    if (target->pid() != state_->pid) return AXError::illegalArgument;
    state_->registrations.push_back({target, notification});
    return AXError::success;
  }

 private:
  SimAccessibility& accessibility_;
  std::shared_ptr<ObserverState> state_;
  std::function<void()> unregister_;
  Handoff handoff_;  // last: revoked first
};

std::shared_ptr<SimAXNode> SimAXNode::addChild(const std::string& role) {
  auto child = std::make_shared<SimAXNode>(pid_);
  child->parent_ = weak_from_this();
  child->hasParent_ = true;
  child->set("AXRole", role);
  children_.push_back(child);
  return child;
}

void SimAXNode::removeChild(const std::shared_ptr<SimAXNode>& child) {
  child->detached_ = true;
  std::erase(children_, child);
}

void SimAXNode::removeAllChildren() {
  for (auto& child : children_) child->detached_ = true;
  children_.clear();
}

AXError SimAXNode::write(const std::string& attribute, const AXValue& value) {
  auto setter = setters_.find(attribute);
  if (setter == setters_.end()) return AXError::attributeUnsupported;
  return setter->second(value);
}

AXError SimAXNode::perform(const std::string& action) {
  auto handler = actions_.find(action);
  if (handler == actions_.end()) return AXError::actionUnsupported;
  return handler->second();
}

std::optional<AXValue> SimAXNode::read(SimAccessibility& accessibility,
                                       const std::string& attribute) {
  if (attribute == "AXChildren") {
    AXValue::Array elements;
    for (const auto& child : children_) elements.push_back(accessibility.element(child));
    return AXValue(std::move(elements));
  }
  if (attribute == "AXParent") {
    auto parent = parent_.lock();
    if (!parent) return std::nullopt;
    return AXValue(accessibility.element(parent));
  }
  if (auto getter = getters_.find(attribute); getter != getters_.end()) return getter->second();
  if (auto value = values_.find(attribute); value != values_.end()) return value->second;
  if (attribute == "AXTopLevelUIElement" || attribute == "AXWindow") {
    // The nearest window at or above the element.
    for (auto node = shared_from_this(); node; node = node->parent_.lock()) {
      auto role = node->values_.find("AXRole");
      if (role != node->values_.end() && role->second == AXValue("AXWindow"))
        return AXValue(accessibility.element(node));
    }
  }
  return std::nullopt;
}

SimAccessibility::SimAccessibility(testing::VirtualTimeScheduler& time,
                                   SimAccessibilityTrust& trust, SimWorkspace& workspace,
                                   SimEventSystem& events)
    : time_(time),
      trust_(trust),
      workspace_(workspace),
      events_(events),
      systemWide_(std::make_shared<SimAXNode>(0)) {
  systemWide_->set("AXRole", "AXSystemWide");
}

AXElement SimAccessibility::element(const std::shared_ptr<SimAXNode>& target) const {
  return AXElement(std::make_shared<Handle>(target));
}

std::shared_ptr<SimAXNode> SimAccessibility::node(const AXElement& target) const {
  const auto* handle = dynamic_cast<const Handle*>(target.handle());
  if (!handle) return nullptr;
  auto found = handle->node.lock();
  if (!found) return nullptr;
  if (found == systemWide_) return found;
  const auto process = workspace_.application(found->pid());
  if (!process) return nullptr;  // the process is gone
  // Anything inside a closed window or a removed element is gone with it.
  auto top = found;
  for (auto ancestor = found; ancestor; ancestor = ancestor->parent_.lock()) {
    if (ancestor->detached_) return nullptr;
    if (ancestor->hasParent_ && ancestor->parent_.expired()) return nullptr;
    top = ancestor;
  }
  // A tree of a process that quit stays gone when another process takes its id.
  const auto tree = applications_.find(found->pid());
  if (tree != applications_.end() && tree->second.root == top &&
      tree->second.process.lock() != process) {
    return nullptr;
  }
  return found;
}

bool SimAccessibility::isSystemWide(const AXElement& target) const {
  return target == element(systemWide_);
}

std::shared_ptr<SimAXNode> SimAccessibility::applicationNode(int pid) {
  auto& tree = applications_[pid];
  const auto process = workspace_.application(pid);
  if (!tree.root || tree.process.lock() != process) {
    tree = {std::make_shared<SimAXNode>(pid), process};
    tree.root->set("AXRole", "AXApplication");
  }
  return tree.root;
}

AXElement SimAccessibility::systemWide() { return element(systemWide_); }

AXElement SimAccessibility::application(int pid) { return element(applicationNode(pid)); }

AXError SimAccessibility::answer(SimAXNode& target, const AXElement& asked,
                                 std::function<void()> lateEffect) {
  if (events_.isInTapCallback()) {
    ++callsFromTapCallbacks_;
    return AXError::cannotComplete;
  }
  double delay = 0;
  if (target.answerDelay) {
    delay = *target.answerDelay;
  } else if (auto found = delays_.find(target.pid()); found != delays_.end()) {
    delay = found->second;
  }
  const auto* handle = dynamic_cast<const Handle*>(asked.handle());
  const double timeout =
      handle && handle->messagingTimeout ? *handle->messagingTimeout : globalMessagingTimeout_;
  if (delay > timeout) {
    time_.sleep(timeout);
    // The caller gave up, but the application still carries the request out when
    // it gets to it.
    if (lateEffect) time_.after(delay - timeout, handoff_.bind(std::move(lateEffect)));
    return AXError::cannotComplete;
  }
  time_.sleep(delay);
  return AXError::success;
}

AXError SimAccessibility::setMessagingTimeout(const AXElement& target, double seconds) {
  if (!(seconds >= 0)) return AXError::illegalArgument;
  // Zero restores the default; on the system-wide element it sets the default.
  const std::optional<double> timeout = seconds > 0 ? std::optional(seconds) : std::nullopt;
  if (isSystemWide(target)) {
    globalMessagingTimeout_ = timeout.value_or(kDefaultMessagingTimeout);
    return AXError::success;
  }
  if (!node(target)) return AXError::invalidElement;
  dynamic_cast<const Handle&>(*target.handle()).messagingTimeout = timeout;
  return AXError::success;
}

AXResult SimAccessibility::copyAttribute(const AXElement& target, const std::string& attribute) {
  if (!isProcessTrusted()) return {AXError::apiDisabled, {}};
  auto found = node(target);
  if (!found) return {AXError::invalidElement, {}};
  if (AXError waited = answer(*found, target); waited != AXError::success) return {waited, {}};
  auto value = found->read(*this, attribute);
  if (!value) return {AXError::attributeUnsupported, {}};
  if (std::holds_alternative<std::monostate>(value->value)) return {AXError::noValue, {}};
  return {AXError::success, std::move(*value)};
}

AXError SimAccessibility::setAttribute(const AXElement& target, const std::string& attribute,
                                       const AXValue& value) {
  if (!isProcessTrusted()) return AXError::apiDisabled;
  auto found = node(target);
  if (!found) return AXError::invalidElement;
  AXError waited = answer(*found, target, [this, target, attribute, value] {
    if (auto late = node(target)) late->write(attribute, value);
  });
  if (waited != AXError::success) return waited;
  return found->write(attribute, value);
}

AXError SimAccessibility::performAction(const AXElement& target, const std::string& action) {
  if (!isProcessTrusted()) return AXError::apiDisabled;
  auto found = node(target);
  if (!found) return AXError::invalidElement;
  AXError waited = answer(*found, target, [this, target, action] {
    if (auto late = node(target)) late->perform(action);
  });
  if (waited != AXError::success) return waited;
  return found->perform(action);
}

AXResult SimAccessibility::elementAtPosition(const AXElement& target, double x, double y) {
  if (!isProcessTrusted()) return {AXError::apiDisabled, {}};
  if (!isSystemWide(target)) return {AXError::illegalArgument, {}};
  auto window = events_.windowAt({x, y});
  if (!window) return {AXError::noValue, {}};
  auto attached = windows_.find(window->windowID);
  std::shared_ptr<SimAXNode> hit = attached == windows_.end() ? nullptr : attached->second.lock();
  if (!hit) hit = applicationNode(window->ownerPID);
  if (AXError waited = answer(*hit, target); waited != AXError::success) return {waited, {}};
  // The deepest descendant whose frame holds the point.
  for (bool descended = true; descended;) {
    descended = false;
    for (const auto& child : hit->children()) {
      if (child->frame && child->frame->contains({x, y})) {
        hit = child;
        descended = true;
        break;
      }
    }
  }
  return {AXError::success, AXValue(element(hit))};
}

std::optional<int> SimAccessibility::processID(const AXElement& target) {
  auto found = node(target);
  if (!found || found == systemWide_) return std::nullopt;
  return found->pid();
}

std::unique_ptr<AXObserver> SimAccessibility::createObserver(int pid, ObserverCallback callback) {
  if (!observersCanBeCreated || !isProcessTrusted() || !workspace_.application(pid)) return nullptr;
  auto state = std::make_shared<ObserverState>(ObserverState{pid, {}, {}});
  observers_.push_back(state);
  return std::make_unique<Observer>(*this, state, std::move(callback));
}

void SimAccessibility::attachWindow(std::int64_t windowID,
                                    const std::shared_ptr<SimAXNode>& target) {
  windows_[windowID] = target;
}

void SimAccessibility::notify(const std::shared_ptr<SimAXNode>& target,
                              const std::string& notification) {
  if (!isProcessTrusted()) return;  // observers hear nothing without the permission
  const auto root = applicationNode(target->pid());
  for (const auto& state : observers_) {
    if (state->pid != target->pid()) continue;
    const bool wanted =
        std::any_of(state->registrations.begin(), state->registrations.end(), [&](const auto& r) {
          auto registered = r.node.lock();
          return r.notification == notification && (registered == target || registered == root);
        });
    if (!wanted) continue;
    time_.post([deliver = state->deliver, notified = element(target), notification] {
      deliver(notified, notification);
    });
  }
}

}  // namespace mirlet::sim
