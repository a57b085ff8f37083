#include "ClipboardHistory/panel/PanelStatus.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

using Button = PanelStatusRow::Button;

TEST(PanelStatusTest, NoRowsWhenAllIsWell) {
  EXPECT_TRUE(panelStatusRows({}).empty());
  EXPECT_TRUE(panelStatusRows({.hotKeyStatus = HotKeyStatus::registered}).empty());
}

TEST(PanelStatusTest, RowsComeInTheirOrderWithTheirButtons) {
  const auto rows =
      panelStatusRows({.isPaused = true,
                       .message = PanelMessage{Uuid::random(), "Copiado.", false,
                                               PanelMessage::Action::grantAccessibility},
                       .hotKeyStatus = HotKeyStatus::occupied,
                       .hotKeyLabel = "⌃⌥V",
                       .privateItemsAvailable = false});
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (PanelStatusRow{"pause.circle.fill", "Captura en pausa", Button::resume}));
  EXPECT_EQ(rows[1], (PanelStatusRow{"info.circle", "Copiado.", Button::grantAccessibility}));
  EXPECT_EQ(rows[2].text,
            "Otra app ya usa ⌃⌥V. Elige otro atajo en Ajustes. El panel sigue disponible desde "
            "el menú de la barra.");
  EXPECT_EQ(rows[2].button, Button::openSettings);
  EXPECT_EQ(rows[3].symbol, "lock.slash");
  EXPECT_EQ(panelStatusButtonTitle(Button::grantAccessibility), "Permitir que pegue por mí…");
}

TEST(PanelStatusTest, AnErrorMessageAndAnUnavailableHotKey) {
  const auto rows = panelStatusRows(
      {.message = PanelMessage{Uuid::random(), "No se pudo usar el elemento.", true, std::nullopt},
       .hotKeyStatus = HotKeyStatus::unavailable,
       .hotKeyLabel = "⌃⌥V"});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (PanelStatusRow{"exclamationmark.triangle", "No se pudo usar el elemento.",
                                     std::nullopt}));
  EXPECT_EQ(rows[1].text,
            "El atajo global no está disponible. El panel sigue disponible desde el menú de la "
            "barra.");
}

TEST(PanelStatusTest, TheEmptyGridSaysWhatToDoInEachSection) {
  EXPECT_EQ(panelEmptyState(HistorySections::History{}, "zzz", "⌃⌥V"),
            (PanelEmptyState{"Sin resultados", "Prueba con otra palabra o cambia de sección."}));
  EXPECT_EQ(panelEmptyState(HistorySections::History{}, "", "⌃⌥V").text,
            "Copia algo con ⌘C y aparecerá aquí. Pulsa ⌃⌥V para abrir este panel desde cualquier "
            "app.");
  EXPECT_EQ(panelEmptyState(HistorySections::History{}, "", std::nullopt).text,
            "Copia algo con ⌘C y aparecerá aquí. Abre este panel desde el menú de la barra.");
  EXPECT_EQ(panelEmptyState(HistorySections::Favorites{}, "", std::nullopt).text,
            "Marca un elemento con ⌘D para tenerlo siempre a mano.");
  EXPECT_EQ(panelEmptyState(HistorySections::List{Uuid::random()}, "", std::nullopt).text,
            "Arrastra elementos a esta lista o usa su menú contextual.");
  EXPECT_EQ(
      panelEmptyState(HistorySections::Kind{ItemKind::image}, "", std::nullopt),
      (PanelEmptyState{"Aún no hay nada aquí", "No hay elementos de este tipo ni de esta app."}));
}

}  // namespace
}  // namespace mirlet
