#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Handoff.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "host/Accessibility.h"
#include "host/sim/SimAccessibilityTrust.h"
#include "host/sim/SimEventSystem.h"

namespace mirlet::sim {

class SimAccessibility;

// One element of a simulated application's accessibility tree: attributes (fixed
// or computed when read), actions, settable attributes, children, an optional
// frame for hit testing and an optional answer delay.
class SimAXNode : public std::enable_shared_from_this<SimAXNode> {
 public:
  using Getter = std::function<AXValue()>;
  using Action = std::function<AXError()>;
  using Setter = std::function<AXError(const AXValue&)>;

  explicit SimAXNode(int pid) : pid_(pid) {}

  int pid() const { return pid_; }
  SimAXNode* parent() const { return parent_.lock().get(); }
  const std::vector<std::shared_ptr<SimAXNode>>& children() const { return children_; }

  // A new child with that role, appended.
  std::shared_ptr<SimAXNode> addChild(const std::string& role);
  void removeChild(const std::shared_ptr<SimAXNode>& child);
  void removeAllChildren();

  void set(const std::string& attribute, AXValue value) { values_[attribute] = std::move(value); }
  void compute(const std::string& attribute, Getter getter) {
    getters_[attribute] = std::move(getter);
  }
  void unset(const std::string& attribute) {
    values_.erase(attribute);
    getters_.erase(attribute);
  }
  void onAction(const std::string& action, Action handler) {
    actions_[action] = std::move(handler);
  }
  void onSet(const std::string& attribute, Setter setter) {
    setters_[attribute] = std::move(setter);
  }

  // Where the element is on screen, for hit testing.
  std::optional<ScreenRect> frame;
  // How long this element takes to answer; otherwise its application's delay.
  std::optional<double> answerDelay;

 private:
  friend class SimAccessibility;

  // The attribute's value: structure first, then computed, then fixed values.
  std::optional<AXValue> read(SimAccessibility& accessibility, const std::string& attribute);
  // What a client setting the attribute gets.
  AXError write(const std::string& attribute, const AXValue& value);
  AXError perform(const std::string& action);

  int pid_;
  std::weak_ptr<SimAXNode> parent_;
  std::vector<std::shared_ptr<SimAXNode>> children_;
  std::map<std::string, AXValue> values_;
  std::map<std::string, Getter> getters_;
  std::map<std::string, Action> actions_;
  std::map<std::string, Setter> setters_;
  bool hasParent_ = false;
  bool detached_ = false;
};

// The simulated accessibility interface: element trees per application, element
// identity by node, trust the test grants and revokes, answers that take virtual
// time (a messaging time-out below the delay fails, and a hung application costs
// exactly the time-out), observers whose notifications arrive on the main loop,
// and hit testing through the window list. A query made from inside an event
// tap's callback, which would stall every key and click of the system, fails and
// is counted, so that tests can require that none happens.
class SimAccessibility : public Accessibility {
 public:
  // Without a messaging time-out, a call waits this long.
  static constexpr double kDefaultMessagingTimeout = 6.0;

  SimAccessibility(testing::VirtualTimeScheduler& time, SimAccessibilityTrust& trust,
                   SimWorkspace& workspace, SimEventSystem& events);

  bool isProcessTrusted() const override { return trust_.isProcessTrusted(); }
  void requestTrust() override { trust_.requestTrust(); }
  AXElement systemWide() override;
  AXElement application(int pid) override;
  AXError setMessagingTimeout(const AXElement& element, double seconds) override;
  AXResult copyAttribute(const AXElement& element, const std::string& attribute) override;
  AXError setAttribute(const AXElement& element, const std::string& attribute,
                       const AXValue& value) override;
  AXError performAction(const AXElement& element, const std::string& action) override;
  AXResult elementAtPosition(const AXElement& systemWide, double x, double y) override;
  std::optional<int> processID(const AXElement& element) override;
  std::unique_ptr<AXObserver> createObserver(int pid, ObserverCallback callback) override;
  void announce(const std::string& message) override { announcements_.push_back(message); }

  // The test's and the simulated applications' side.
  // The root ("AXApplication") of an application's tree, made on first use.
  std::shared_ptr<SimAXNode> applicationNode(int pid);
  AXElement element(const std::shared_ptr<SimAXNode>& node) const;
  // The node an element names, if it still exists.
  std::shared_ptr<SimAXNode> node(const AXElement& element) const;
  // Links a window of the window list to its element, for hit testing.
  void attachWindow(std::int64_t windowID, const std::shared_ptr<SimAXNode>& node);
  // Every element of an application answers after this many seconds.
  void setAnswerDelay(int pid, double seconds) { delays_[pid] = seconds; }
  // The node's application emits a notification; observers that added it on the
  // node or on the application element receive it on the main loop.
  void notify(const std::shared_ptr<SimAXNode>& node, const std::string& notification);
  const std::vector<std::string>& announcements() const { return announcements_; }
  // Queries refused because a tap's callback made them.
  int callsFromTapCallbacks() const { return callsFromTapCallbacks_; }
  // While false, creating an observer fails, as it does for a busy or sandboxed
  // application.
  bool observersCanBeCreated = true;

 private:
  class Handle;
  class Observer;
  struct Registration {
    std::weak_ptr<SimAXNode> node;
    std::string notification;
  };
  struct ObserverState {
    int pid;
    ObserverCallback deliver;  // does nothing once the observer is gone
    std::vector<Registration> registrations;
  };

  // Waits as the element's application answers, within the time-out of the handle
  // asked; past it, fails, and `lateEffect` happens when the application answers.
  AXError answer(SimAXNode& node, const AXElement& asked, std::function<void()> lateEffect = {});
  bool isSystemWide(const AXElement& element) const;

  testing::VirtualTimeScheduler& time_;
  SimAccessibilityTrust& trust_;
  SimWorkspace& workspace_;
  SimEventSystem& events_;
  std::shared_ptr<SimAXNode> systemWide_;
  struct ApplicationTree {
    std::shared_ptr<SimAXNode> root;
    std::weak_ptr<SimApplication> process;  // the process the tree belongs to
  };
  std::map<int, ApplicationTree> applications_;
  std::map<std::int64_t, std::weak_ptr<SimAXNode>> windows_;
  std::map<int, double> delays_;
  double globalMessagingTimeout_ = kDefaultMessagingTimeout;
  std::vector<std::shared_ptr<ObserverState>> observers_;
  std::vector<std::string> announcements_;
  int callsFromTapCallbacks_ = 0;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet::sim
