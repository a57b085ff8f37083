#include "host/testing/HotKeysContract.h"

#include "host/sim/SimDesktop.h"

namespace mirlet::sim {
namespace {

class SimHotKeysHarness : public contract::HotKeysHarness {
 public:
  HotKeys& hotKeys() override { return desktop_.hotKeys; }
  void holdElsewhere(std::uint16_t keyCode, std::uint32_t modifiers) override {
    desktop_.hotKeys.holdByAnotherApplication(keyCode, modifiers);
  }
  void press(std::uint16_t keyCode, std::uint32_t modifiers) override {
    desktop_.hotKeys.press(keyCode, modifiers);
    desktop_.time.runUntilIdle();
  }

 private:
  SimDesktop desktop_;
};

using contract::HotKeysContract;

INSTANTIATE_TEST_SUITE_P(Sim, HotKeysContract, ::testing::Values([] {
                           return std::unique_ptr<contract::HotKeysHarness>(
                               std::make_unique<SimHotKeysHarness>());
                         }));

}  // namespace
}  // namespace mirlet::sim
