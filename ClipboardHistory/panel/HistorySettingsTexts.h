#pragma once

#include <optional>
#include <string>

#include "ClipboardHistory/model/HistoryLimit.h"
#include "ClipboardHistory/service/HotKeyStatus.h"
#include "host/HostTexts.h"

namespace mirlet::HistorySettingsTexts {

// "1 semana", "90 días", "1.000 elementos".
std::string limit(const HistoryLimit& limit);
// "Nunca", "Siempre", "1 minuto", "15 minutos".
std::string resetAfter(const std::optional<int>& minutes);
// What the recorder says of the status a new combination got; nothing when it
// was registered or removed.
std::optional<std::string> recorderMessage(const HotKeyStatus& status, const HostTexts& host);
// The lasting warning under the recorder for a combination that is not registered.
std::optional<std::string> registrationWarning(const HotKeyStatus& status, const HostTexts& host);
// The try-it hint, with the hot key's label when there is one.
std::string tryIt(const std::optional<std::string>& hotKeyLabel);

}  // namespace mirlet::HistorySettingsTexts
