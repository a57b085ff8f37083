#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "host/HotKeys.h"

namespace mirlet::sim {

// Simulated system-wide hot keys: combinations are held exclusively, by this
// program or (as the test says) by another application; a press reaches the
// holder's callback on the main loop.
class SimHotKeys : public HotKeys {
 public:
  using Combination = std::pair<std::uint16_t, std::uint32_t>;  // key code, platform modifiers

  explicit SimHotKeys(MainLoop& mainLoop) : mainLoop_(mainLoop) {}

  Result registerHotKey(std::uint16_t keyCode, std::uint32_t modifiers,
                        std::function<void()> pressed) override;

  // The test's side.
  void holdByAnotherApplication(std::uint16_t keyCode, std::uint32_t modifiers);
  // The user presses the combination; true when a registration of this program holds it.
  bool press(std::uint16_t keyCode, std::uint32_t modifiers);
  std::vector<Combination> registered() const;
  // Makes registration impossible, as when the event handler cannot be installed.
  bool unavailable = false;

 private:
  struct Entry;
  class Registration;

  MainLoop& mainLoop_;
  std::set<Combination> heldElsewhere_;
  std::vector<std::shared_ptr<Entry>> entries_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet::sim
