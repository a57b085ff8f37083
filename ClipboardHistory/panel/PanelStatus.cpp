#include "ClipboardHistory/panel/PanelStatus.h"

namespace mirlet {

std::vector<PanelStatusRow> panelStatusRows(const PanelStatusInput& input) {
  using Button = PanelStatusRow::Button;
  using Kind = HotKeyStatus::Kind;
  std::vector<PanelStatusRow> rows;
  if (input.isPaused) rows.push_back({"pause.circle.fill", "Captura en pausa", Button::resume});
  if (const auto& message = input.message) {
    std::optional<Button> button;
    if (message->action == PanelMessage::Action::grantAccessibility) {
      button = Button::grantAccessibility;
    }
    rows.push_back(
        {message->isError ? "exclamationmark.triangle" : "info.circle", message->text, button});
  }
  const Kind hotKey = input.hotKeyStatus.kind;
  if (hotKey == Kind::occupied || hotKey == Kind::unavailable) {
    constexpr std::string_view kStillInMenu =
        "El panel sigue disponible desde el menú de la barra.";
    std::string text = hotKey == Kind::occupied && input.hotKeyLabel
                           ? "Otra app ya usa " + *input.hotKeyLabel +
                                 ". Elige otro atajo en Ajustes. " + std::string(kStillInMenu)
                           : "El atajo global no está disponible. " + std::string(kStillInMenu);
    rows.push_back({"keyboard.badge.ellipsis", std::move(text), Button::openSettings});
  }
  if (!input.privateItemsAvailable) {
    rows.push_back({"lock.slash",
                    "No se puede leer la clave del Llavero: los elementos privados no están "
                    "disponibles.",
                    std::nullopt});
  }
  return rows;
}

PanelEmptyState panelEmptyState(const HistorySection& section, std::string_view query,
                                const std::optional<std::string>& hotKeyLabel) {
  if (!query.empty()) {
    return {"Sin resultados", "Prueba con otra palabra o cambia de sección."};
  }
  std::string text;
  if (std::holds_alternative<HistorySections::List>(section)) {
    text = "Arrastra elementos a esta lista o usa su menú contextual.";
  } else if (std::holds_alternative<HistorySections::App>(section) ||
             std::holds_alternative<HistorySections::Kind>(section)) {
    text = "No hay elementos de este tipo ni de esta app.";
  } else if (std::holds_alternative<HistorySections::Favorites>(section)) {
    text = "Marca un elemento con ⌘D para tenerlo siempre a mano.";
  } else {
    text = "Copia algo con ⌘C y aparecerá aquí. ";
    text += hotKeyLabel ? "Pulsa " + *hotKeyLabel + " para abrir este panel desde cualquier app."
                        : "Abre este panel desde el menú de la barra.";
  }
  return {"Aún no hay nada aquí", std::move(text)};
}

std::string_view panelStatusButtonTitle(PanelStatusRow::Button button) {
  switch (button) {
    case PanelStatusRow::Button::resume:
      return "Reanudar";
    case PanelStatusRow::Button::grantAccessibility:
      return "Permitir que pegue por mí…";
    case PanelStatusRow::Button::openSettings:
      return "Ajustes";
  }
  return "";
}

}  // namespace mirlet
