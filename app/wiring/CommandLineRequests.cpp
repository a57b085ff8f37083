#include "app/wiring/CommandLineRequests.h"

#include "app/AppVersion.h"
#include "app/BundleInfo.h"

namespace mirlet {
namespace {

using Action = CommandRequest::Action;

const char* complaint(CommandStatus status) {
  switch (status) {
    case CommandStatus::done:
      return nullptr;
    case CommandStatus::failed:
      return "Mirlet no pudo hacerlo.";
    case CommandStatus::usage:
      return "La línea de órdenes no es válida.";
    case CommandStatus::notRunning:
      return "Mirlet no está en marcha. Inícialo con «mirlet» y vuelve a intentarlo.";
    case CommandStatus::notFound:
      return "Ningún elemento del historial tiene ese id.";
    case CommandStatus::historyOff:
      return "El historial del portapapeles está desactivado. Actívalo en los ajustes de "
             "Mirlet.";
  }
  return "Mirlet no pudo hacerlo.";
}

// A status the running copy answered; anything it should not say is a failure.
CommandStatus answered(int status) {
  switch (status) {
    case static_cast<int>(CommandStatus::done):
    case static_cast<int>(CommandStatus::notFound):
    case static_cast<int>(CommandStatus::historyOff):
      return static_cast<CommandStatus>(status);
    default:
      return CommandStatus::failed;
  }
}

}  // namespace

CommandStatus perform(const CommandRequest& request, const DBusInstanceClient& running,
                      std::ostream& out, std::ostream& errors) {
  if (request.action == Action::help) {
    out << CommandLine::help();
    return CommandStatus::done;
  }
  if (request.action == Action::version) {
    out << "Mirlet " << AppVersion::description(BundleInfo::current().info) << "\n";
    return CommandStatus::done;
  }
  CommandStatus status = CommandStatus::notRunning;
  if (running.isRunning()) {
    switch (request.action) {
      case Action::togglePanel:
        status = answered(running.togglePanel());
        break;
      case Action::showSettings:
        status = answered(running.showSettings());
        break;
      case Action::list:
      case Action::search: {
        const auto [found, text] = running.findHistory(request.text, request.limit, request.json);
        status = answered(found);
        if (status == CommandStatus::done) out << text;
        break;
      }
      case Action::copy:
      case Action::paste:
        status = answered(running.choose(request.text, request.action == Action::paste));
        break;
      case Action::clear:
        status = answered(running.clearHistory());
        break;
      default:
        status = CommandStatus::usage;
        break;
    }
  }
  if (const char* text = complaint(status)) errors << text << "\n";
  return status;
}

}  // namespace mirlet
