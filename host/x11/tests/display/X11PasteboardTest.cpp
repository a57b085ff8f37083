#include "host/x11/X11Pasteboard.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <filesystem>

#include "host/linux/QtMainLoop.h"
#include "host/linux/testing/QtRunLoop.h"
#include "host/testing/PasteboardContract.h"
#include "host/x11/XcbConnection.h"
#include "host/x11/testing/SelectionAnswer.h"

namespace mirlet {
namespace {

using Representation = PasteboardItemData::Representation;
using testing::runFor;
using testing::runUntil;

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// This program's pasteboard, and another X client copying on its own connection.
class X11PasteboardHarness : public contract::PasteboardHarness {
 public:
  Pasteboard& pasteboard() override { return mine_; }
  void copyTextElsewhere(const std::string& text) override {
    copyElsewhere({{{{"public.utf8-plain-text", bytes(text)}}}});
  }
  void quitCopyingApplication() override { other_.reset(); }
  void runMainLoop() override { runFor(150); }

  // Waits until this program's pasteboard has seen the copy.
  void copyElsewhere(const std::vector<PasteboardItemData>& items) {
    if (!other_) other_ = std::make_unique<X11Pasteboard>(loop_);
    const auto before = mine_.changeCount();
    other_->clearContents();
    other_->writeItems(items);
    runUntil([&] { return mine_.changeCount() != before; });
  }
  X11Pasteboard& mine() { return mine_; }

 private:
  QtMainLoop loop_;
  X11Pasteboard mine_{loop_};
  std::unique_ptr<X11Pasteboard> other_;
};

using contract::PasteboardContract;
INSTANTIATE_TEST_SUITE_P(X11, PasteboardContract, ::testing::Values([] {
                           return std::unique_ptr<contract::PasteboardHarness>(
                               std::make_unique<X11PasteboardHarness>());
                         }));

class X11PasteboardTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(harness_.mine().isAvailable()); }
  std::vector<std::string> types() {
    const auto items = harness_.mine().items();
    return items.empty() ? std::vector<std::string>{} : items.front()->types();
  }
  std::optional<Bytes> data(const std::string& type, std::size_t item = 0) {
    const auto items = harness_.mine().items();
    return item < items.size() ? items[item]->data(type) : std::nullopt;
  }

  X11PasteboardHarness harness_;
};

TEST_F(X11PasteboardTest, HtmlWithTextKeepsBoth) {
  harness_.copyElsewhere(
      {{{{"public.html", bytes("<b>hola</b>")}, {"public.utf8-plain-text", bytes("hola")}}}});
  EXPECT_EQ(data("public.html"), bytes("<b>hola</b>"));
  EXPECT_EQ(data("public.utf8-plain-text"), bytes("hola"));
}

TEST_F(X11PasteboardTest, FilesAreOneItemEachAndTheHintMarksAPassword) {
  harness_.copyElsewhere({{{{"public.file-url", bytes("file:///tmp/a.txt")}}},
                          {{{"public.file-url", bytes("file:///tmp/b%20c.txt")}}}});
  ASSERT_EQ(harness_.mine().items().size(), 2u);
  EXPECT_EQ(data("public.file-url", 0), bytes("file:///tmp/a.txt"));
  EXPECT_EQ(data("public.file-url", 1), bytes("file:///tmp/b%20c.txt"));

  harness_.copyElsewhere(
      {{{{"public.utf8-plain-text", bytes("s3cr3t")}, {"org.nspasteboard.ConcealedType", {}}}}});
  EXPECT_EQ(data("org.nspasteboard.ConcealedType"), Bytes{});
}

TEST_F(X11PasteboardTest, LargeContentsArriveWhole) {
  Bytes large(6 << 20);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>('a' + i % 26);
  harness_.copyElsewhere({{{{"public.utf8-plain-text", large}}}});
  EXPECT_EQ(data("public.utf8-plain-text"), large);
}

TEST_F(X11PasteboardTest, AHungOwnerNeverHoldsUpTheMainThreadOrLaterCopies) {
  XcbConnection hung;
  ASSERT_TRUE(hung.isOpen());
  const xcb_window_t window = xcb_generate_id(hung.get());
  xcb_create_window(hung.get(), XCB_COPY_FROM_PARENT, window, hung.root(), 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_set_selection_owner(hung.get(), window, hung.atom("CLIPBOARD"), XCB_CURRENT_TIME);
  xcb_flush(hung.get());
  const auto before = harness_.mine().changeCount();
  QElapsedTimer timer;
  timer.start();
  runFor(100);
  EXPECT_LT(timer.elapsed(), 1000);  // the loop kept running while the read waited
  EXPECT_EQ(harness_.mine().changeCount(), before);

  harness_.copyTextElsewhere("después");  // read once the hung owner's time is up
  EXPECT_EQ(data("public.utf8-plain-text"), bytes("después"));
}

TEST_F(X11PasteboardTest, OthersReadWhatThisProgramWrites) {
  QtMainLoop loop;
  X11Pasteboard other(loop);
  const auto before = other.changeCount();
  harness_.mine().clearContents();
  ASSERT_TRUE(harness_.mine().writeItems({{{{"public.utf8-plain-text", bytes("de Mirlet")},
                                            {"org.nspasteboard.ConcealedType", {}}}}}));
  ASSERT_TRUE(runUntil([&] { return other.changeCount() != before; }));
  ASSERT_EQ(other.items().size(), 1u);
  EXPECT_EQ(other.items()[0]->data("public.utf8-plain-text"), bytes("de Mirlet"));
  EXPECT_EQ(other.items()[0]->data("org.nspasteboard.ConcealedType"), Bytes{});
}

TEST_F(X11PasteboardTest, AnOwnerThatQuitsMidTransferLeavesNothingHalfRead) {
  QtMainLoop loop;
  auto owner = std::make_unique<X11Pasteboard>(loop);
  Bytes large(40 << 20, 'x');
  const auto before = harness_.mine().changeCount();
  owner->clearContents();
  owner->writeItems({{{{"public.utf8-plain-text", large}}}});
  runFor(5);  // the transfer has begun
  owner.reset();
  runUntil([&] { return harness_.mine().changeCount() != before; });
  runFor(300);
  for (const auto& item : harness_.mine().items()) {
    const auto data = item->data("public.utf8-plain-text");
    EXPECT_TRUE(!data || *data == large);  // whole or not at all
  }
  harness_.copyTextElsewhere("sigue funcionando");
  EXPECT_EQ(data("public.utf8-plain-text"), bytes("sigue funcionando"));
}

// An owner may list any number of targets: only the first are named and read, so
// a list of thousands costs no more than a real copy; its hint still counts.
TEST_F(X11PasteboardTest, AnOwnerListingThousandsOfTargetsHasOnlyTheFirstRead) {
  PasteboardItemData item{{{"public.utf8-plain-text", bytes("texto")}}};
  for (int i = 0; i < 3000; ++i) {
    item.representations.push_back({"application/x-relleno-" + std::to_string(i), bytes("x")});
  }
  item.representations.push_back({"org.nspasteboard.ConcealedType", {}});
  harness_.copyElsewhere({item});
  EXPECT_EQ(data("public.utf8-plain-text"), bytes("texto"));
  const auto read = types();
  EXPECT_LE(read.size(), 66u);
  EXPECT_NE(std::ranges::find(read, "org.nspasteboard.ConcealedType"), read.end());
}

TEST_F(X11PasteboardTest, ContentsOverTheLimitAreLeftOutAndTheRestKept) {
  QtMainLoop loop;
  X11Pasteboard limited(loop, X11Pasteboard::Limits{1.0, 1 << 20});
  X11Pasteboard owner(loop);
  const auto before = limited.changeCount();
  owner.clearContents();
  owner.writeItems(
      {{{{"public.html", Bytes(3 << 20, 'h')}, {"public.utf8-plain-text", bytes("corto")}}}});
  ASSERT_TRUE(runUntil([&] { return limited.changeCount() != before; }));
  ASSERT_EQ(limited.items().size(), 1u);
  EXPECT_EQ(limited.items()[0]->data("public.html"), std::nullopt);
  EXPECT_EQ(limited.items()[0]->data("public.utf8-plain-text"), bytes("corto"));
}

// An owner driven step by step by the test: it answers each request only when
// told, so the reader's every move can be seen and raced.
class ManualOwner {
 public:
  ManualOwner() {
    window_ = xcb_generate_id(connection_.get());
    xcb_create_window(connection_.get(), XCB_COPY_FROM_PARENT, window_, connection_.root(), 0, 0, 1,
                      1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  }
  void own() {
    xcb_set_selection_owner(connection_.get(), window_, connection_.atom("CLIPBOARD"),
                            XCB_CURRENT_TIME);
    xcb_flush(connection_.get());
  }
  // The next request, the main loop running meanwhile; nothing when none comes.
  std::optional<xcb_selection_request_event_t> nextRequest() {
    std::optional<xcb_selection_request_event_t> request;
    runUntil([&] {
      while (auto* event = xcb_poll_for_event(connection_.get())) {
        if ((event->response_type & 0x7F) == XCB_SELECTION_REQUEST && !request) {
          request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
        }
        std::free(event);
      }
      return request.has_value();
    });
    return request;
  }
  // Whether any request has come that was not taken yet.
  bool wasAsked() {
    std::free(xcb_get_input_focus_reply(connection_.get(), xcb_get_input_focus(connection_.get()),
                                        nullptr));
    bool asked = false;
    while (auto* event = xcb_poll_for_event(connection_.get())) {
      asked = asked || (event->response_type & 0x7F) == XCB_SELECTION_REQUEST;
      std::free(event);
    }
    return asked;
  }
  std::string targetOf(const xcb_selection_request_event_t& request) {
    return connection_.name(request.target);
  }
  void offer(const xcb_selection_request_event_t& request, const std::vector<std::string>& names) {
    std::vector<xcb_atom_t> atoms;
    for (const auto& name : names) atoms.push_back(connection_.atom(name));
    xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, request.requestor,
                        request.property, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
    notify(request);
  }
  void give(const xcb_selection_request_event_t& request, std::string_view text) {
    xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, request.requestor,
                        request.property, request.target, 8,
                        static_cast<std::uint32_t>(text.size()), text.data());
    notify(request);
  }

 private:
  void notify(const xcb_selection_request_event_t& request) {
    const auto notify = testing::selectionNotify(request, request.property);
    xcb_send_event(connection_.get(), 0, request.requestor, 0,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(connection_.get());
  }

  XcbConnection connection_;
  xcb_window_t window_;
};

// The answer an earlier owner gives late, after a newer owner took the selection,
// is never taken for the newer owner's: that read was given up when it was
// overtaken, and the answer was to another request.
TEST_F(X11PasteboardTest, ALateAnswerFromAnOvertakenOwnerIsNeverTakenForTheNewOnes) {
  ManualOwner earlier;
  ManualOwner later;
  const auto before = harness_.mine().changeCount();
  earlier.own();
  const auto earlierTargets = earlier.nextRequest();
  ASSERT_TRUE(earlierTargets);
  earlier.offer(*earlierTargets, {"TARGETS", "UTF8_STRING"});
  const auto earlierText = earlier.nextRequest();
  ASSERT_TRUE(earlierText);
  ASSERT_EQ(earlier.targetOf(*earlierText), "UTF8_STRING");

  later.own();  // the earlier read is given up at once, not when its time is up
  const auto laterTargets = later.nextRequest();
  ASSERT_TRUE(laterTargets);
  later.offer(*laterTargets, {"TARGETS", "UTF8_STRING"});
  const auto laterText = later.nextRequest();
  ASSERT_TRUE(laterText);
  earlier.give(*earlierText, "viejo");
  runFor(50);
  later.give(*laterText, "nuevo");

  ASSERT_TRUE(runUntil([&] { return harness_.mine().changeCount() != before; }));
  EXPECT_EQ(harness_.mine().changeCount(), before + 1);  // the overtaken copy is never told of
  EXPECT_EQ(data("public.utf8-plain-text"), bytes("nuevo"));
}

// What the planner will not keep is never asked of the owner, which renders
// every target it is asked for.
TEST_F(X11PasteboardTest, ReadsFollowThePlanMadeFromTheTypesAlone) {
  std::vector<PasteboardOffer> offers;
  PasteboardReadPlan plan{false};
  const Subscription planning = harness_.mine().planReads([&](const PasteboardOffer& offer) {
    offers.push_back(offer);
    return plan;
  });
  ManualOwner owner;
  const auto before = harness_.mine().changeCount();
  owner.own();
  const auto targets = owner.nextRequest();
  ASSERT_TRUE(targets);
  owner.offer(*targets, {"TARGETS", "UTF8_STRING", "x-kde-passwordManagerHint"});
  ASSERT_TRUE(runUntil([&] { return harness_.mine().changeCount() != before; }));
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0].types,
            (std::vector<std::string>{"public.utf8-plain-text", "org.nspasteboard.ConcealedType"}));
  EXPECT_EQ(types(), offers[0].types);
  EXPECT_EQ(data("public.utf8-plain-text"), std::nullopt);
  runFor(100);
  EXPECT_FALSE(owner.wasAsked()) << "nothing but the target list was asked for";

  plan = PasteboardReadPlan{true, 1000, {"public.utf8-plain-text"}};
  harness_.copyElsewhere({{{{"public.html", Bytes(5000, 'h')},
                            {"public.rtf", bytes("{\\rtf1}")},
                            {"public.utf8-plain-text", bytes("texto")}}}});
  EXPECT_EQ(types(), std::vector<std::string>{"public.utf8-plain-text"});
  EXPECT_EQ(data("public.utf8-plain-text"), bytes("texto"));
}

TEST(X11PasteboardDisplayTest, ADisplayThatGoesAwayLeavesAnEmptyPasteboardThatRefusesWrites) {
  QProcess server;
  int display = 150;
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(display))) ++display;
  server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(display),
                                        QStringLiteral("-nolisten"), QStringLiteral("tcp")});
  ASSERT_TRUE(server.waitForStarted());
  const auto socket = "/tmp/.X11-unix/X" + std::to_string(display);
  ASSERT_TRUE(runUntil([&] { return std::filesystem::exists(socket); }));
  const QByteArray previous = qgetenv("DISPLAY");
  qputenv("DISPLAY", QByteArray(":") + QByteArray::number(display));
  QtMainLoop loop;
  {
    X11Pasteboard pasteboard(loop);
    qputenv("DISPLAY", previous);
    ASSERT_TRUE(pasteboard.isAvailable());
    server.kill();
    server.waitForFinished();
    runFor(100);
    EXPECT_TRUE(pasteboard.items().empty());
    EXPECT_FALSE(pasteboard.writeItems({{{{"public.utf8-plain-text", bytes("nadie")}}}}));
  }  // and it goes without waiting on anyone
}

}  // namespace
}  // namespace mirlet
