#include "host/testing/PasteboardContract.h"

#include "core/testing/VirtualTimeScheduler.h"
#include "host/sim/SimPasteboard.h"

namespace mirlet::sim {
namespace {

class SimPasteboardHarness : public contract::PasteboardHarness {
 public:
  SimPasteboardHarness(bool notifies, bool owned) {
    pasteboard_.notifies = notifies;
    pasteboard_.ownedByApplications = owned;
  }
  Pasteboard& pasteboard() override { return pasteboard_; }
  void copyTextElsewhere(const std::string& text) override {
    pasteboard_.copyText(text, "com.apple.Notes", kNotes);
  }
  void quitCopyingApplication() override { pasteboard_.ownerQuit(kNotes); }
  void runMainLoop() override { time_.runUntilIdle(); }

 private:
  static constexpr int kNotes = 4242;
  testing::VirtualTimeScheduler time_;
  SimPasteboard pasteboard_{time_};
};

using contract::PasteboardContract;

// Polled, as on the Mac; told of changes; and also with contents that go with their
// owner, as on X11.
INSTANTIATE_TEST_SUITE_P(Sim, PasteboardContract,
                         ::testing::Values(
                             [] {
                               return std::unique_ptr<contract::PasteboardHarness>(
                                   std::make_unique<SimPasteboardHarness>(false, false));
                             },
                             [] {
                               return std::unique_ptr<contract::PasteboardHarness>(
                                   std::make_unique<SimPasteboardHarness>(true, false));
                             },
                             [] {
                               return std::unique_ptr<contract::PasteboardHarness>(
                                   std::make_unique<SimPasteboardHarness>(true, true));
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

TEST(SimPasteboardTest, AnotherApplicationsCopyIsClearedFirstAndWrittenLater) {
  testing::VirtualTimeScheduler time;
  SimPasteboard pasteboard(time);
  pasteboard.writeGap = 0.02;
  const auto before = pasteboard.changeCount();
  pasteboard.copyText("hola");
  EXPECT_EQ(pasteboard.changeCount(), before + 1);
  EXPECT_TRUE(pasteboard.items().empty());
  time.advance(0.02);
  ASSERT_EQ(pasteboard.items().size(), 1u);
  EXPECT_EQ(pasteboard.items().at(0)->data("public.utf8-plain-text"), (Bytes{'h', 'o', 'l', 'a'}));
  EXPECT_EQ(pasteboard.changeCount(), before + 1);

  // A clear between the two steps voids the write.
  pasteboard.copyText("adiós");
  pasteboard.clearContents();
  time.advance(0.05);
  EXPECT_TRUE(pasteboard.items().empty());
  EXPECT_EQ(pasteboard.changeCount(), before + 3);
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
