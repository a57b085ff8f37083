#pragma once

// What callers of a Pasteboard rely on, as tests any implementation can run.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "host/Pasteboard.h"

namespace mirlet::contract {

class PasteboardHarness {
 public:
  virtual ~PasteboardHarness() = default;
  virtual Pasteboard& pasteboard() = 0;
  // Another application copies plain text.
  virtual void copyTextElsewhere(const std::string& text) = 0;
  // The application that copied last quits.
  virtual void quitCopyingApplication() = 0;
  virtual void runMainLoop() = 0;
};

using PasteboardHarnessFactory = std::function<std::unique_ptr<PasteboardHarness>()>;

class PasteboardContract : public ::testing::TestWithParam<PasteboardHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam()(); }
  Pasteboard& pasteboard() { return harness_->pasteboard(); }
  static Bytes bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

  std::unique_ptr<PasteboardHarness> harness_;
};

TEST_P(PasteboardContract, ChangeCountMovesOnEveryWriteByAnyone) {
  const auto start = pasteboard().changeCount();
  harness_->copyTextElsewhere("uno");
  const auto afterCopy = pasteboard().changeCount();
  EXPECT_NE(afterCopy, start);
  pasteboard().clearContents();
  ASSERT_TRUE(pasteboard().writeItems({{{{"public.utf8-plain-text", bytes("dos")}}}}));
  EXPECT_NE(pasteboard().changeCount(), afterCopy);
}

TEST_P(PasteboardContract, WrittenItemsReadBackInOrder) {
  pasteboard().clearContents();
  ASSERT_TRUE(pasteboard().writeItems({
      {{{"public.utf8-plain-text", bytes("hola")}, {"org.nspasteboard.ConcealedType", {}}}},
      {{{"public.utf8-plain-text", bytes("adiós")}}},
  }));
  const auto items = pasteboard().items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0]->types(),
            (std::vector<std::string>{"public.utf8-plain-text", "org.nspasteboard.ConcealedType"}));
  EXPECT_EQ(items[0]->data("public.utf8-plain-text"), bytes("hola"));
  EXPECT_EQ(items[0]->data("org.nspasteboard.ConcealedType"), Bytes{});
  EXPECT_EQ(items[1]->data("public.utf8-plain-text"), bytes("adiós"));
  EXPECT_EQ(items[1]->data("public.html"), std::nullopt);
}

TEST_P(PasteboardContract, ItemsOfAnEarlierGenerationGiveNoData) {
  harness_->copyTextElsewhere("antes");
  const auto earlier = pasteboard().items();
  ASSERT_EQ(earlier.size(), 1u);
  harness_->copyTextElsewhere("después");
  EXPECT_EQ(earlier[0]->data("public.utf8-plain-text"), std::nullopt);
  EXPECT_EQ(pasteboard().items().at(0)->data("public.utf8-plain-text"), bytes("después"));
}

TEST_P(PasteboardContract, ClearingEmptiesThePasteboard) {
  harness_->copyTextElsewhere("algo");
  pasteboard().clearContents();
  EXPECT_TRUE(pasteboard().items().empty());
}

TEST_P(PasteboardContract, ANotifyingHostTellsOfEveryChangeOnce) {
  if (!pasteboard().notifiesChanges()) GTEST_SKIP() << "this host is polled";
  int changes = 0;
  auto watching = pasteboard().observeChanges([&] { ++changes; });
  harness_->copyTextElsewhere("uno");
  harness_->runMainLoop();
  EXPECT_EQ(changes, 1);
  pasteboard().clearContents();
  ASSERT_TRUE(pasteboard().writeItems({{{{"public.utf8-plain-text", bytes("dos")}}}}));
  harness_->runMainLoop();
  EXPECT_EQ(changes, 2);
  watching.reset();
  harness_->copyTextElsewhere("tres");
  harness_->runMainLoop();
  EXPECT_EQ(changes, 2);
}

TEST_P(PasteboardContract, ContentsGoWithTheApplicationThatCopiedThemOnlyWhereTheHostSaysSo) {
  harness_->copyTextElsewhere("del editor");
  EXPECT_FALSE(pasteboard().isOwnerless());
  const auto before = pasteboard().changeCount();
  harness_->quitCopyingApplication();
  harness_->runMainLoop();
  EXPECT_EQ(pasteboard().isOwnerless(), pasteboard().emptiesWhenOwnerQuits());
  if (pasteboard().emptiesWhenOwnerQuits()) {
    EXPECT_TRUE(pasteboard().items().empty());
    EXPECT_NE(pasteboard().changeCount(), before);
  } else {
    EXPECT_EQ(pasteboard().items().at(0)->data("public.utf8-plain-text"), bytes("del editor"));
    EXPECT_EQ(pasteboard().changeCount(), before);
  }

  // What this program writes is its own.
  harness_->copyTextElsewhere("otra vez");
  pasteboard().clearContents();
  ASSERT_TRUE(pasteboard().writeItems({{{{"public.utf8-plain-text", bytes("mío")}}}}));
  harness_->quitCopyingApplication();
  harness_->runMainLoop();
  EXPECT_EQ(pasteboard().items().at(0)->data("public.utf8-plain-text"), bytes("mío"));
  EXPECT_FALSE(pasteboard().isOwnerless());
}

}  // namespace mirlet::contract
