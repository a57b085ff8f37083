#include "ClipboardHistory/panel/ShortcutRecording.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

constexpr std::uint16_t kB = 11;

TEST(ShortcutRecordingTest, TheKeyAfterModifiersPressedOneByOneIsTheCombination) {
  ShortcutRecording recording;
  recording.modifierPressed(Modifiers::control);
  recording.modifierPressed(Modifiers::option);
  EXPECT_EQ(recording.held(), Modifiers{Modifiers::control | Modifiers::option});
  EXPECT_EQ(recording.keyPressed(kB),
            (HotKeyCombo{kB, Modifiers{Modifiers::control | Modifiers::option}}));
  // A modifier whose press came before recording began, as the key's event says.
  EXPECT_EQ(
      recording.keyPressed(kB, Modifiers{Modifiers::shift}),
      (HotKeyCombo{kB, Modifiers{Modifiers::control | Modifiers::option | Modifiers::shift}}));
}

TEST(ShortcutRecordingTest, ModifiersReleasedWithNoKeyAreAnAttemptWithModifiersAlone) {
  ShortcutRecording recording;
  EXPECT_FALSE(recording.modifierReleased(Modifiers::control));  // pressed before: no attempt
  recording.modifierPressed(Modifiers::control);
  recording.modifierPressed(Modifiers::shift);
  EXPECT_FALSE(recording.modifierReleased(Modifiers::shift));
  EXPECT_TRUE(recording.modifierReleased(Modifiers::control));
  EXPECT_EQ(recording.held(), Modifiers{});
}

}  // namespace
}  // namespace mirlet
