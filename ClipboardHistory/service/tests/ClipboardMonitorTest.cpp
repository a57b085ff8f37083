#include "ClipboardHistory/service/ClipboardMonitor.h"

#include <gtest/gtest.h>

#include <fstream>

#include "ClipboardHistory/service/CaptureSupport.h"
#include "host/sim/SimDesktop.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

using Rep = sim::SimPasteboard::Representation;

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// A monitor over the simulated pasteboard, with the switches a test sets.
class ClipboardMonitorTest : public ::testing::Test {
 protected:
  void startMonitor() {
    monitor_ = std::make_unique<ClipboardMonitor>(
        desktop_.pasteboard, desktop_.time, 0.5,
        ClipboardMonitor::Hooks{
            [this] { return context_; },
            [](std::optional<int> owner) {
              // Process 7 is a password manager's.
              if (owner == 7)
                return std::optional<SourceApp>(SourceApp{"KeePassXC", "KeePassXC", 7});
              return std::optional<SourceApp>(SourceApp{"com.apple.Notes", "Notas", 42});
            },
            [this](CapturedPasteboard captured) {
              captured_.push_back(captured);
            }});
  }
  void startMonitor(Pasteboard& pasteboard) {
    monitor_ = std::make_unique<ClipboardMonitor>(
        pasteboard, desktop_.time, 0.5,
        ClipboardMonitor::Hooks{
            [this] { return context_; },
            [](std::optional<int> owner) {
              if (owner != 7) return std::optional<SourceApp>();
              return std::optional<SourceApp>(SourceApp{"KeePassXC", "KeePassXC", 7});
            },
            [this](CapturedPasteboard captured) {
              captured_.push_back(captured);
            }});
  }
  void copy(std::vector<sim::SimPasteboard::Item> items) {
    desktop_.pasteboard.copy(std::move(items));
    desktop_.time.advance(0.5);
  }

  sim::SimDesktop desktop_;
  ClipboardMonitor::Context context_;
  std::unique_ptr<ClipboardMonitor> monitor_;
  std::vector<CapturedPasteboard> captured_;
};

TEST_F(ClipboardMonitorTest, WhatWasThereAtTheStartIsNotCapturedTheNextCopyIs) {
  desktop_.pasteboard.copyText("antes");
  startMonitor();
  desktop_.time.advance(1);
  EXPECT_TRUE(captured_.empty());
  copy({{Rep::text("public.utf8-plain-text", "después")}});
  ASSERT_EQ(captured_.size(), 1u);
  EXPECT_EQ(captured_[0].items, (CapturedItems{{{"public.utf8-plain-text", bytes("después")}}}));
  EXPECT_EQ(captured_[0].source, (SourceApp{"com.apple.Notes", "Notas", 42}));
  EXPECT_FALSE(captured_[0].isPrivate);
  desktop_.time.advance(2);
  EXPECT_EQ(captured_.size(), 1u);  // the same change is captured once
}

TEST_F(ClipboardMonitorTest, ACopySeenBetweenItsClearAndItsWriteIsCapturedOnceWritten) {
  desktop_.pasteboard.writeGap = 0.3;
  startMonitor();
  desktop_.time.advance(0.4);
  desktop_.pasteboard.copyText("a medio escribir");
  desktop_.time.advance(0.2);  // the poll at 0.5 saw it cleared
  EXPECT_TRUE(captured_.empty());
  desktop_.time.advance(1);
  ASSERT_EQ(captured_.size(), 1u);
  EXPECT_EQ(captured_[0].items,
            (CapturedItems{{{"public.utf8-plain-text", bytes("a medio escribir")}}}));
  desktop_.time.advance(2);
  EXPECT_EQ(captured_.size(), 1u);
}

TEST_F(ClipboardMonitorTest, ACopyWhilePausedIsConsumedUnreadAndNeverCaptured) {
  startMonitor();
  context_.paused = true;
  copy({{Rep::text("public.utf8-plain-text", "en pausa")}});
  context_.paused = false;
  desktop_.time.advance(2);
  EXPECT_TRUE(captured_.empty());
  EXPECT_EQ(desktop_.pasteboard.reads("public.utf8-plain-text"), 0);
}

TEST_F(ClipboardMonitorTest, MarkersDynamicAndPromisedTypesAreNeverRead) {
  startMonitor();
  copy({{Rep::text("public.utf8-plain-text", "hola"), Rep::text("org.nspasteboard.source", "x"),
         Rep::text("dyn.ah62d4rv4gu8y", "d"),
         Rep::text("com.apple.pasteboard.promised-file-url", "p"),
         Rep::text("com.apple.NSFilePromiseItemMetaData", "m")}});
  ASSERT_EQ(captured_.size(), 1u);
  EXPECT_EQ(captured_[0].items, (CapturedItems{{{"public.utf8-plain-text", bytes("hola")}}}));
  for (const char* type :
       {"org.nspasteboard.source", "dyn.ah62d4rv4gu8y", "com.apple.pasteboard.promised-file-url",
        "com.apple.NSFilePromiseItemMetaData"}) {
    EXPECT_EQ(desktop_.pasteboard.reads(type), 0) << type;
  }
}

TEST_F(ClipboardMonitorTest, OnlyMarkersIsNothingToKeep) {
  startMonitor();
  copy({{Rep::text("org.nspasteboard.TransientType", ""), Rep::text("org.nspasteboard.x", "y")}});
  copy({{Rep::text("org.nspasteboard.ConcealedType", ""), Rep::text("org.nspasteboard.x", "y")}});
  EXPECT_TRUE(captured_.empty());
}

TEST_F(ClipboardMonitorTest, PrivateCopiesAreMarkedOrLeftUnreadWhenIgnored) {
  startMonitor();
  copy({{Rep::text("public.utf8-plain-text", "clave"),
         Rep::bytes("org.nspasteboard.ConcealedType", {})}});
  ASSERT_EQ(captured_.size(), 1u);
  EXPECT_TRUE(captured_[0].isPrivate);
  context_.ignorePrivate = true;
  const int readsBefore = desktop_.pasteboard.reads("public.utf8-plain-text");
  copy({{Rep::text("public.utf8-plain-text", "otra"),
         Rep::bytes("org.nspasteboard.ConcealedType", {})}});
  EXPECT_EQ(captured_.size(), 1u);
  EXPECT_EQ(desktop_.pasteboard.reads("public.utf8-plain-text"), readsBefore);
}

TEST_F(ClipboardMonitorTest, AHugeCopyKeepsOnlyTextAndFileURLsOrIsDropped) {
  startMonitor();
  const Bytes huge(60 * 1024 * 1024, 0x41);
  copy({{Rep::bytes("public.png", huge), Rep::text("public.utf8-plain-text", "pie de foto")}});
  ASSERT_EQ(captured_.size(), 1u);
  EXPECT_EQ(captured_[0].items,
            (CapturedItems{{{"public.utf8-plain-text", bytes("pie de foto")}}}));
  copy({{Rep::bytes("public.png", huge)}});
  EXPECT_EQ(captured_.size(), 1u);
}

TEST_F(ClipboardMonitorTest, APasteboardThatTellsOfChangesIsPolledAtOnceWithoutATimer) {
  desktop_.pasteboard.notifies = true;
  startMonitor();
  EXPECT_FALSE(monitor_->isPolling());
  desktop_.pasteboard.copyText("al instante");
  desktop_.time.runUntilIdle();
  EXPECT_EQ(captured_.size(), 1u);
  EXPECT_EQ(desktop_.time.pendingMainLoopWork(), 0u);  // nothing wakes up while idle
}

TEST_F(ClipboardMonitorTest, TheProgramsOwnWriteIsSkipped) {
  startMonitor();
  desktop_.pasteboard.clearContents();
  desktop_.pasteboard.writeItems({{{{"public.utf8-plain-text", bytes("propio")}}}});
  monitor_->skipChange(desktop_.pasteboard.changeCount());
  desktop_.time.advance(1);
  EXPECT_TRUE(captured_.empty());
}

// A pasteboard that reads each change before telling of it, as the X11 one does:
// the monitor's planner is what it asks.
class PlannedPasteboard : public Pasteboard {
 public:
  explicit PlannedPasteboard(Pasteboard& inner) : inner_(inner) {}
  std::int64_t changeCount() const override { return inner_.changeCount(); }
  std::vector<std::shared_ptr<const PasteboardItem>> items() const override {
    return inner_.items();
  }
  void clearContents() override { inner_.clearContents(); }
  bool writeItems(const std::vector<PasteboardItemData>& items) override {
    return inner_.writeItems(items);
  }
  bool emptiesWhenOwnerQuits() const override { return true; }
  bool isOwnerless() const override { return false; }
  std::optional<int> ownerProcessID() const override { return std::nullopt; }
  bool notifiesChanges() const override { return false; }
  Subscription observeChanges(std::function<void()>) override { return {}; }
  Subscription planReads(
      std::function<PasteboardReadPlan(const PasteboardOffer&)> planner) override {
    planner_ = std::make_shared<decltype(planner)>(std::move(planner));
    return Subscription([this] { planner_.reset(); });
  }

  std::optional<PasteboardReadPlan> plan(std::vector<std::string> types,
                                         std::optional<int> owner = std::nullopt) const {
    if (!planner_) return std::nullopt;
    return (*planner_)({std::move(types), owner});
  }

 private:
  Pasteboard& inner_;
  std::shared_ptr<std::function<PasteboardReadPlan(const PasteboardOffer&)>> planner_;
};

TEST_F(ClipboardMonitorTest, AChangeReadBeforeItIsToldOfIsReadOnlyAsThePolicyWouldKeepIt) {
  PlannedPasteboard pasteboard(desktop_.pasteboard);
  startMonitor(pasteboard);
  const PasteboardReadPlan everything{
      true, CapturePolicy::maximumBytes, {"public.utf8-plain-text", "public.file-url"}};
  const PasteboardReadPlan nothing{false};
  EXPECT_EQ(pasteboard.plan({"public.html", "public.utf8-plain-text"}), everything);
  EXPECT_EQ(pasteboard.plan({"public.utf8-plain-text", "org.nspasteboard.TransientType"}), nothing);

  EXPECT_EQ(pasteboard.plan({"public.utf8-plain-text", "org.nspasteboard.ConcealedType"}),
            everything);
  EXPECT_EQ(pasteboard.plan({"public.utf8-plain-text"}, 7), everything);
  context_.ignorePrivate = true;
  EXPECT_EQ(pasteboard.plan({"public.utf8-plain-text", "org.nspasteboard.ConcealedType"}), nothing);
  EXPECT_EQ(pasteboard.plan({"public.utf8-plain-text"}, 7), nothing);

  context_.ignorePrivate = false;
  context_.paused = true;
  EXPECT_EQ(pasteboard.plan({"public.utf8-plain-text"}), nothing);

  monitor_.reset();
  EXPECT_EQ(pasteboard.plan({"public.utf8-plain-text"}), std::nullopt);
}

class CaptureSupportTest : public ::testing::Test {
 protected:
  sim::SimDesktop desktop_;
  PosixFileSystem files_;
  CaptureSupport support_{desktop_.fileURLs, files_, desktop_.images};
  testing::TemporaryFolder folder_;
};

TEST_F(CaptureSupportTest, TextsOfAllItemsAreJoinedAndRepaired) {
  const auto input = support_.classifierInput(
      {{{"public.utf8-plain-text", bytes("uno")}, {"public.html", bytes("<b>")}},
       {{"public.utf8-plain-text", Bytes{'d', 0xFF, 's'}}}},
      "com.apple.Safari");
  EXPECT_EQ(input.text, "uno\nd\uFFFDs");
  EXPECT_EQ(input.types, (std::vector<std::string>{"public.utf8-plain-text", "public.html"}));
  EXPECT_EQ(input.sourceBundleID, "com.apple.Safari");
}

TEST_F(CaptureSupportTest, CalendarEventsAreCounted) {
  const std::string three = "BEGIN:VEVENT\nA\nBEGIN:VEVENT\nB\nBEGIN:VEVENT\nEND";
  EXPECT_EQ(support_.classifierInput({{{"text/calendar", bytes(three)}}}, {}).calendarEventCount,
            3);
  EXPECT_EQ(support_.classifierInput({{{"com.apple.ical.ics", bytes("BEGIN:VCALENDAR")}}}, {})
                .calendarEventCount,
            0);
}

TEST_F(CaptureSupportTest, FileURLsAreResolvedAndFoldersKnown) {
  std::filesystem::create_directory(folder_ / "Fotos");
  std::ofstream(folder_ / "nota.txt") << "x";
  const std::string reference = *desktop_.fileURLs.referenceURL(folder_ / "nota.txt");
  const auto input = support_.classifierInput(
      {{{"public.file-url", bytes(reference)}},
       {{"public.file-url", bytes(sim::SimFileURLs::pathURL(folder_ / "Fotos"))}},
       {{"public.file-url", bytes("https://example.com/")}}},
      {});
  EXPECT_EQ(input.fileURLs,
            (std::vector<std::string>{sim::SimFileURLs::pathURL(folder_ / "nota.txt"),
                                      sim::SimFileURLs::pathURL(folder_ / "Fotos")}));
  EXPECT_EQ(input.directoryFlags, (std::vector<bool>{false, true}));
}

TEST_F(CaptureSupportTest, ImagesHaveASizeOfAtLeastOnePixelAndThumbnails) {
  const Bytes photo = sim::SimImageCodec::png(2048, 1024);
  const auto input = support_.classifierInput(
      {{{"public.utf8-plain-text", bytes("pie")}, {"public.png", photo}}}, {});
  EXPECT_EQ(input.imagePixelSize, (PixelSize{2048, 1024}));
  EXPECT_EQ(support_.pixelSize(sim::SimImageCodec::png(0, 40)), std::nullopt);
  EXPECT_EQ(desktop_.images.pixelSize(*support_.thumbnailPNG(photo)), (ImagePixelSize{512, 256}));
  EXPECT_EQ(CaptureSupport::imageRepresentation({{{"com.example.unknown", photo}}}), nullptr);
}

}  // namespace
}  // namespace mirlet
