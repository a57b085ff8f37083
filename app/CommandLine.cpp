#include "app/CommandLine.h"

#include <charconv>

namespace mirlet::CommandLine {
namespace {

using Action = CommandRequest::Action;

struct Option {
  std::string_view name;
  std::string_view text;
};

// The help's sections, kept apart so the manual page sets them as its own.
constexpr std::string_view kSynopsis[] = {"mirlet [--toggle-panel | --show-settings]",
                                          "mirlet history ORDEN [ARGUMENTOS]",
                                          "mirlet --help | --version"};
constexpr std::string_view kDescription =
    "Mirlet guarda lo que copias para buscarlo y pegarlo después. Sin argumentos, "
    "inicia Mirlet, o abre la ventana de la copia que ya está en marcha. Las demás "
    "órdenes hablan con la copia en marcha por el bus de la sesión y nunca inician "
    "ninguna: se pueden asignar a un atajo del gestor de ventanas o usar en scripts.";
constexpr Option kOptions[] = {
    {"--toggle-panel", "Abre o cierra el panel del historial."},
    {"--show-settings", "Abre los ajustes."},
    {"--help", "Muestra esta ayuda y sale."},
    {"--version", "Muestra la versión y sale."},
};
constexpr Option kCommands[] = {
    {"history list [--limit N] [--json]",
     "Lista los elementos, el más reciente primero: un elemento por línea, con su "
     "id, su tipo y una línea de vista previa separados por tabuladores; con "
     "--json, una matriz JSON para programas."},
    {"history search TEXTO [--limit N] [--json]",
     "Busca como el buscador del panel, en el mismo orden."},
    {"history copy ID", "Copia el elemento al portapapeles, como elegirlo en el panel."},
    {"history paste ID", "Lo copia y lo pega en la aplicación activa."},
    {"history clear --yes",
     "Borra el historial, salvo los favoritos y los elementos de las listas."},
};
constexpr std::string_view kPrivate =
    "Los elementos privados aparecen como \"Privado\": su contenido nunca se muestra, "
    "con ninguna opción.";
constexpr Option kStatuses[] = {
    {"0", "Hecho."},
    {"1", "La copia en marcha no pudo hacerlo."},
    {"2", "La línea de órdenes no es válida."},
    {"3", "Mirlet no está en marcha."},
    {"4", "Ningún elemento tiene ese id."},
    {"5", "El historial del portapapeles está desactivado."},
};

std::string usage(std::string_view message) {
  return std::string(message) + "\nPrueba «mirlet --help» para más información.";
}

// The options a history command takes after its words: --limit N and --json.
std::variant<CommandRequest, std::string> historyRequest(
    Action action, const std::vector<std::string_view>& arguments) {
  CommandRequest request{action};
  std::vector<std::string_view> words;
  for (std::size_t i = 2; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    const bool listing = action == Action::list || action == Action::search;
    if (listing && argument == "--json") {
      request.json = true;
    } else if (listing && argument == "--limit") {
      if (++i == arguments.size()) return usage("Falta el número de --limit.");
      const std::string_view number = arguments[i];
      std::size_t limit = 0;
      const auto [end, error] =
          std::from_chars(number.data(), number.data() + number.size(), limit);
      if (error != std::errc() || end != number.data() + number.size()) {
        return usage("--limit necesita un número entero: «" + std::string(number) + "».");
      }
      request.limit = limit;
    } else if (action == Action::clear && argument == "--yes") {
      request.text = "--yes";
    } else if (argument.starts_with("--")) {
      return usage("Opción desconocida: «" + std::string(argument) + "».");
    } else {
      words.push_back(argument);
    }
  }
  switch (action) {
    case Action::list:
      if (!words.empty()) return usage("«history list» no admite argumentos.");
      break;
    case Action::search:
      if (words.empty()) return usage("Falta el texto que buscar.");
      for (std::string_view word : words) {
        if (!request.text.empty()) request.text += ' ';
        request.text += word;
      }
      break;
    case Action::copy:
    case Action::paste:
      if (words.size() != 1) return usage("Indica el id de un elemento.");
      request.text = words.front();
      break;
    case Action::clear:
      if (!words.empty()) return usage("«history clear» no admite argumentos.");
      if (request.text != "--yes") {
        return usage(
            "Borrar el historial no se puede deshacer: confírmalo con «history clear --yes».");
      }
      request.text.clear();
      break;
    default:
      break;
  }
  return request;
}

// Text that troff would otherwise take for its own requests or escapes.
std::string troff(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\') {
      escaped += "\\e";
    } else if (c == '-') {
      escaped += "\\-";
    } else {
      escaped += c;
    }
  }
  if (escaped.starts_with('.') || escaped.starts_with('\'')) escaped.insert(0, "\\&");
  return escaped;
}

}  // namespace

std::variant<CommandRequest, std::string> parse(const std::vector<std::string_view>& arguments) {
  if (arguments.empty()) return CommandRequest{};
  const std::string_view first = arguments.front();
  if (first == "history") {
    if (arguments.size() < 2) return usage("Falta la orden del historial.");
    const std::string_view command = arguments[1];
    if (command == "list") return historyRequest(Action::list, arguments);
    if (command == "search") return historyRequest(Action::search, arguments);
    if (command == "copy") return historyRequest(Action::copy, arguments);
    if (command == "paste") return historyRequest(Action::paste, arguments);
    if (command == "clear") return historyRequest(Action::clear, arguments);
    return usage("Orden del historial desconocida: «" + std::string(command) + "».");
  }
  CommandRequest request;
  for (std::string_view argument : arguments) {
    Action action = Action::run;
    if (argument == "--help" || argument == "-h") {
      action = Action::help;
    } else if (argument == "--version") {
      action = Action::version;
    } else if (argument == "--toggle-panel") {
      action = Action::togglePanel;
    } else if (argument == "--show-settings") {
      action = Action::showSettings;
    } else if (argument == "--login-item" || !argument.starts_with("--")) {
      continue;  // the autostart entry's mark, or the toolkit's own options
    } else {
      return usage("Opción desconocida: «" + std::string(argument) + "».");
    }
    if (request.action != Action::run && request.action != action) {
      return usage("Solo una opción a la vez.");
    }
    request.action = action;
  }
  return request;
}

std::string help() {
  std::string text = "Uso:";
  for (std::string_view line : kSynopsis) text += "\n  " + std::string(line);
  text += "\n\n" + std::string(kDescription) + "\n\nOpciones:\n";
  for (const Option& option : kOptions) {
    text += "  " + std::string(option.name) + "\n      " + std::string(option.text) + "\n";
  }
  text += "\nÓrdenes del historial:\n";
  for (const Option& command : kCommands) {
    text += "  " + std::string(command.name) + "\n      " + std::string(command.text) + "\n";
  }
  text += "\n" + std::string(kPrivate) + "\n\nEstado de salida:\n";
  for (const Option& status : kStatuses) {
    text += "  " + std::string(status.name) + "  " + std::string(status.text) + "\n";
  }
  return text;
}

std::string manualPage(std::string_view version) {
  // The coding line has man(1) read the page as UTF-8 whatever the locale.
  std::string page = "'\\\" -*- coding: UTF-8 -*-\n";
  page += ".TH MIRLET 1 \"\" \"Mirlet " + troff(version) + "\" \"Órdenes de usuario\"\n";
  page += ".SH NOMBRE\nmirlet \\- historial del portapapeles y atajos del escritorio\n";
  page += ".SH SINOPSIS\n";
  for (std::string_view line : kSynopsis) page += ".B " + troff(line) + "\n.br\n";
  page += ".SH DESCRIPCIÓN\n" + troff(kDescription) + "\n.SH OPCIONES\n";
  for (const Option& option : kOptions) {
    page += ".TP\n.B " + troff(option.name) + "\n" + troff(option.text) + "\n";
  }
  page += ".SH ÓRDENES DEL HISTORIAL\n";
  for (const Option& command : kCommands) {
    page += ".TP\n.B " + troff(command.name) + "\n" + troff(command.text) + "\n";
  }
  page += ".PP\n" + troff(kPrivate) + "\n.SH ESTADO DE SALIDA\n";
  for (const Option& status : kStatuses) {
    page += ".TP\n.B " + troff(status.name) + "\n" + troff(status.text) + "\n";
  }
  return page;
}

}  // namespace mirlet::CommandLine
