#include "host/sim/SimHotKeys.h"

#include <algorithm>

namespace mirlet::sim {

struct SimHotKeys::Entry {
  Combination combination;
  std::function<void()> pressed;
  bool active = true;
};

class SimHotKeys::Registration : public HotKeyRegistration {
 public:
  Registration(std::shared_ptr<Entry> entry, std::function<void()> remove)
      : entry_(std::move(entry)), remove_(std::move(remove)) {}
  ~Registration() override {
    entry_->active = false;
    remove_();
  }

 private:
  std::shared_ptr<Entry> entry_;
  std::function<void()> remove_;  // does nothing once the hot keys are gone
};

HotKeys::Result SimHotKeys::registerHotKey(std::uint16_t keyCode, std::uint32_t modifiers,
                                           std::function<void()> pressed) {
  if (unavailable) return {Status::unavailable, nullptr};
  const Combination combination{keyCode, modifiers};
  const bool taken = heldElsewhere_.contains(combination) ||
                     std::any_of(entries_.begin(), entries_.end(), [&](const auto& entry) {
                       return entry->combination == combination;
                     });
  if (taken) return {Status::occupied, nullptr};
  auto entry = std::make_shared<Entry>(Entry{combination, std::move(pressed)});
  entries_.push_back(entry);
  return {Status::registered, std::make_unique<Registration>(entry, handoff_.bind([this, entry] {
            std::erase(entries_, entry);
          }))};
}

void SimHotKeys::holdByAnotherApplication(std::uint16_t keyCode, std::uint32_t modifiers) {
  heldElsewhere_.insert({keyCode, modifiers});
}

bool SimHotKeys::press(std::uint16_t keyCode, std::uint32_t modifiers) {
  auto found = std::find_if(entries_.begin(), entries_.end(), [&](const auto& entry) {
    return entry->combination == Combination{keyCode, modifiers};
  });
  if (found == entries_.end()) return false;
  std::shared_ptr<Entry> entry = *found;
  mainLoop_.post([entry] {
    if (entry->active && entry->pressed) entry->pressed();
  });
  return true;
}

std::vector<SimHotKeys::Combination> SimHotKeys::registered() const {
  std::vector<Combination> combinations;
  for (const auto& entry : entries_) combinations.push_back(entry->combination);
  return combinations;
}

}  // namespace mirlet::sim
