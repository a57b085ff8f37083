#pragma once

#include <ostream>

#include "app/CommandLine.h"
#include "host/linux/DBusSingleInstance.h"

namespace mirlet {

// Carries a command-line request other than a plain run to the running copy, or
// answers it here (help, version), printing what it gives on `out` and what went
// wrong, in Spanish, on `errors`. Needs a Qt application object for the bus.
CommandStatus perform(const CommandRequest& request, const DBusInstanceClient& running,
                      std::ostream& out, std::ostream& errors);

}  // namespace mirlet
