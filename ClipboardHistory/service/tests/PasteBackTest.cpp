#include "ClipboardHistory/service/PasteBack.h"

#include <gtest/gtest.h>

#include "ClipboardHistory/service/PasteboardWriter.h"
#include "host/sim/DesktopScenario.h"

namespace mirlet {
namespace {

Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

class PasteboardWriterTest : public ::testing::Test {
 protected:
  sim::SimDesktop desktop_;
  PasteboardWriter writer_{desktop_.pasteboard, "app.mirlet"};
};

TEST_F(PasteboardWriterTest, ItemsNameThisProgramAsTheirSourceAndMayBeConcealed) {
  const auto count = writer_.write(
      {{{"public.utf8-plain-text", bytes("hola")}, {"org.nspasteboard.source", bytes("otra.app")}}},
      true);
  ASSERT_TRUE(count);
  EXPECT_EQ(*count, desktop_.pasteboard.changeCount());
  const auto items = desktop_.pasteboard.items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->types(),
            (std::vector<std::string>{"public.utf8-plain-text", "org.nspasteboard.source",
                                      "org.nspasteboard.ConcealedType"}));
  EXPECT_EQ(items[0]->data("org.nspasteboard.source"), bytes("app.mirlet"));
  EXPECT_EQ(items[0]->data("org.nspasteboard.ConcealedType"), Bytes{});
}

TEST_F(PasteboardWriterTest, PlainTextsAreOneItemEachAndARefusalIsNoCount) {
  ASSERT_TRUE(writer_.writePlain({"uno", "dos", "tres"}, false));
  EXPECT_EQ(desktop_.pasteboard.items().size(), 3u);
  EXPECT_EQ(desktop_.pasteboard.items()[2]->data("public.utf8-plain-text"), bytes("tres"));
  desktop_.pasteboard.refuseWrites = true;
  EXPECT_EQ(writer_.writePlain({"x"}, false), std::nullopt);
  EXPECT_EQ(
      PasteboardWriter(desktop_.pasteboard, "").makeItems({{}}, false)[0].representations[0].data,
      bytes("app.mirlet.local"));
}

class PasteBackTest : public ::testing::Test {
 protected:
  void paste(const std::shared_ptr<RunningApplication>& target) {
    result_.reset();
    pasteBack_.paste(target, [this](bool pasted) { result_ = pasted; });
  }
  std::vector<InputEvent> postedTo(const sim::SimApplication& app) {
    std::vector<InputEvent> events;
    for (const auto& [pid, event] : scenario_.desktop.events.postedEvents())
      if (pid == app.processIdentifier()) events.push_back(event);
    return events;
  }

  sim::DesktopScenario scenario_;
  PasteBack pasteBack_{{scenario_.desktop.workspace, scenario_.desktop.events,
                        scenario_.desktop.keyboardLayout, scenario_.desktop.time,
                        scenario_.desktop.time}};
  std::optional<bool> result_;
};

TEST_F(PasteBackTest, TheFrontmostApplicationGetsCommandVAtOnceMarkedAsOurs) {
  scenario_.copyText(scenario_.safari, "pegado");
  scenario_.activate(scenario_.textEdit);
  paste(scenario_.textEdit);
  EXPECT_EQ(result_, true);
  const auto posted = postedTo(*scenario_.textEdit);
  ASSERT_EQ(posted.size(), 2u);
  for (const auto& event : posted) {
    EXPECT_EQ(event.flags, EventFlags::command);
    EXPECT_EQ(event.sourceUserData(), kClipboardPasteMarker);
    EXPECT_EQ(event.keyCode(), 9);
  }
  scenario_.settle();
  EXPECT_EQ(scenario_.textEditUI->text(scenario_.textArea), "pegado");
}

TEST_F(PasteBackTest, ABackgroundApplicationIsBroughtForwardThenGivenTimeToSettle) {
  scenario_.textEdit->activation = sim::SimApplication::Activation::delay;
  scenario_.textEdit->activationDelay = 0.2;
  paste(scenario_.textEdit);
  scenario_.rest(0.2);
  EXPECT_FALSE(result_);
  EXPECT_TRUE(postedTo(*scenario_.textEdit).empty());
  scenario_.rest(0.05);
  EXPECT_EQ(result_, true);
  EXPECT_EQ(postedTo(*scenario_.textEdit).size(), 2u);
}

TEST_F(PasteBackTest, NoPasteWhenTheApplicationRefusesIsTooSlowOrQuits) {
  scenario_.textEdit->activation = sim::SimApplication::Activation::refuse;
  paste(scenario_.textEdit);
  EXPECT_EQ(result_, false);

  scenario_.textEdit->activation = sim::SimApplication::Activation::delay;
  scenario_.textEdit->activationDelay = 0.8;
  paste(scenario_.textEdit);
  scenario_.rest(0.6);
  EXPECT_EQ(result_, false);

  scenario_.safari->activation = sim::SimApplication::Activation::delay;
  paste(scenario_.safari);
  scenario_.desktop.workspace.terminate(scenario_.safari);
  scenario_.rest(1);
  EXPECT_EQ(result_, false);
  EXPECT_TRUE(postedTo(*scenario_.textEdit).empty());
}

TEST_F(PasteBackTest, TheKeyIsTheOneThatTypesVInTheCurrentLayout) {
  scenario_.desktop.keyboardLayout.layout = sim::SimKeyboardLayout::Layout::dvorak;
  pasteBack_.postPaste(scenario_.finder->processIdentifier());
  EXPECT_EQ(postedTo(*scenario_.finder).front().keyCode(), 47);
}

}  // namespace
}  // namespace mirlet
