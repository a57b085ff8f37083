#include "platform/host/testing/PasteboardContract.h"

#include "core/testing/VirtualTimeScheduler.h"
#include "platform/sim/SimPasteboard.h"

namespace mirlet::sim {
namespace {

class SimPasteboardHarness : public contract::PasteboardHarness {
 public:
  explicit SimPasteboardHarness(bool notifies) { pasteboard_.notifies = notifies; }
  Pasteboard& pasteboard() override { return pasteboard_; }
  void copyTextElsewhere(const std::string& text) override {
    pasteboard_.copyText(text, "com.apple.Notes");
  }
  void runMainLoop() override { time_.runUntilIdle(); }

 private:
  testing::VirtualTimeScheduler time_;
  SimPasteboard pasteboard_{time_};
};

using contract::PasteboardContract;

// Polled, as on the Mac, and told of changes, as on Linux.
INSTANTIATE_TEST_SUITE_P(Sim, PasteboardContract,
                         ::testing::Values(
                             [] {
                               return std::unique_ptr<contract::PasteboardHarness>(
                                   std::make_unique<SimPasteboardHarness>(false));
                             },
                             [] {
                               return std::unique_ptr<contract::PasteboardHarness>(
                                   std::make_unique<SimPasteboardHarness>(true));
                             }));

TEST(SimPasteboardTest, LazyTypesAreProducedOnlyWhenRead) {
  testing::VirtualTimeScheduler time;
  SimPasteboard pasteboard(time);
  int produced = 0;
  pasteboard.copy(
      {{SimPasteboard::Representation::text("public.utf8-plain-text", "hola"),
        SimPasteboard::Representation::lazy("com.apple.pasteboard.promised-file-url", [&] {
          ++produced;
          return std::optional<Bytes>(Bytes{'f'});
        })}});
  const auto item = pasteboard.items().at(0);
  EXPECT_EQ(item->types().size(), 2u);
  item->data("public.utf8-plain-text");
  EXPECT_EQ(produced, 0);
  EXPECT_EQ(pasteboard.reads("com.apple.pasteboard.promised-file-url"), 0);
  EXPECT_EQ(item->data("com.apple.pasteboard.promised-file-url"), Bytes{'f'});
  EXPECT_EQ(produced, 1);
  EXPECT_EQ(pasteboard.reads("com.apple.pasteboard.promised-file-url"), 1);
}

TEST(SimPasteboardTest, RefusedWriteLeavesTheCountOfTheClear) {
  testing::VirtualTimeScheduler time;
  SimPasteboard pasteboard(time);
  pasteboard.refuseWrites = true;
  pasteboard.clearContents();
  const auto afterClear = pasteboard.changeCount();
  EXPECT_FALSE(pasteboard.writeItems({{{{"public.utf8-plain-text", Bytes{'x'}}}}}));
  EXPECT_EQ(pasteboard.changeCount(), afterClear);
  EXPECT_TRUE(pasteboard.items().empty());
}

TEST(SimPasteboardTest, CopiesCarryTheSourceMarker) {
  testing::VirtualTimeScheduler time;
  SimPasteboard pasteboard(time);
  pasteboard.copyText("hola", "com.apple.Safari");
  EXPECT_EQ(
      pasteboard.items().at(0)->data("org.nspasteboard.source"),
      (Bytes{'c', 'o', 'm', '.', 'a', 'p', 'p', 'l', 'e', '.', 'S', 'a', 'f', 'a', 'r', 'i'}));
}

}  // namespace
}  // namespace mirlet::sim
