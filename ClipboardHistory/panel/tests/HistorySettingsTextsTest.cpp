#include "ClipboardHistory/panel/HistorySettingsTexts.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

namespace Texts = HistorySettingsTexts;
using Error = HotKeyCombo::ValidationError;
const HostTexts& mac = HostTexts::mac;

TEST(HistorySettingsTextsTest, LimitsReadAsTheUserCountsThem) {
  EXPECT_EQ(Texts::limit(HistoryLimit::count(20)), "20 elementos");
  EXPECT_EQ(Texts::limit(HistoryLimit::count(500)), "500 elementos");
  EXPECT_EQ(Texts::limit(HistoryLimit::count(1000)), "1.000 elementos");
  EXPECT_EQ(Texts::limit(HistoryLimit::count(10000)), "10.000 elementos");
  EXPECT_EQ(Texts::limit(HistoryLimit::count(1234567)), "1.234.567 elementos");
  EXPECT_EQ(Texts::limit(HistoryLimit::days(1)), "1 día");
  EXPECT_EQ(Texts::limit(HistoryLimit::days(7)), "1 semana");
  EXPECT_EQ(Texts::limit(HistoryLimit::days(30)), "1 mes");
  EXPECT_EQ(Texts::limit(HistoryLimit::days(90)), "3 meses");
  EXPECT_EQ(Texts::limit(HistoryLimit::days(180)), "6 meses");
  EXPECT_EQ(Texts::limit(HistoryLimit::days(365)), "1 año");
  EXPECT_EQ(Texts::limit(HistoryLimit::days(14)), "14 días");
  for (const HistoryLimit& limit : HistoryLimits::presets)
    EXPECT_FALSE(Texts::limit(limit).empty());
}

TEST(HistorySettingsTextsTest, ResetChoices) {
  EXPECT_EQ(Texts::resetAfter(std::nullopt), "Nunca");
  EXPECT_EQ(Texts::resetAfter(0), "Siempre");
  EXPECT_EQ(Texts::resetAfter(1), "1 minuto");
  EXPECT_EQ(Texts::resetAfter(15), "15 minutos");
}

TEST(HistorySettingsTextsTest, TheRecorderExplainsEveryRefusal) {
  EXPECT_EQ(Texts::recorderMessage(HotKeyStatus::registered, mac), std::nullopt);
  EXPECT_EQ(Texts::recorderMessage(HotKeyStatus::none, mac), std::nullopt);
  EXPECT_EQ(Texts::recorderMessage(HotKeyStatus::invalid(Error::modifierOnly), mac),
            "Pulsa también una tecla; los modificadores solos no bastan.");
  EXPECT_EQ(Texts::recorderMessage(HotKeyStatus::invalid(Error::needsModifier), mac),
            "Incluye ⌃, o ⌥ junto con ⌘, además de una tecla. Así no choca con los atajos de las "
            "apps ni con los caracteres que escribes.");
  EXPECT_EQ(Texts::recorderMessage(HotKeyStatus::invalid(Error::reserved), mac),
            "macOS usa esa combinación. Elige otra.");
  const std::string occupied =
      "Otra app ya usa este atajo. Elige otro. El panel sigue disponible desde el menú de la "
      "barra.";
  EXPECT_EQ(Texts::recorderMessage(HotKeyStatus::occupied, mac), occupied);
  EXPECT_EQ(Texts::registrationWarning(HotKeyStatus::occupied, mac), occupied);
  EXPECT_EQ(Texts::registrationWarning(HotKeyStatus::unavailable, mac),
            Texts::recorderMessage(HotKeyStatus::unavailable, mac));
  EXPECT_EQ(Texts::registrationWarning(HotKeyStatus::invalid(Error::reserved), mac), std::nullopt);
  EXPECT_EQ(Texts::registrationWarning(HotKeyStatus::registered, mac), std::nullopt);
}

TEST(HistorySettingsTextsTest, ALinuxDesktopIsNotCalledMacOS) {
  for (const auto& status : {HotKeyStatus::unavailable, HotKeyStatus::invalid(Error::reserved)}) {
    const auto message = Texts::recorderMessage(status, HostTexts::linuxDesktop);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->find("macOS"), std::string::npos);
  }
}

TEST(HistorySettingsTextsTest, TheTryItHintNamesTheHotKey) {
  EXPECT_EQ(Texts::tryIt("⌃⌥V"), "Pruébalo: copia algo y pulsa ⌃⌥V.");
  EXPECT_EQ(Texts::tryIt(std::nullopt), "Pruébalo: copia algo y abre el historial.");
}

}  // namespace
}  // namespace mirlet
