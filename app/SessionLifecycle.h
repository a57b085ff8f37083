#pragma once

#include "host/SessionEvents.h"

namespace mirlet {

// How the application reacts to the user's session: features stop while the
// machine sleeps or the session is inactive, and start again afterwards.
namespace SessionLifecycle {

enum class Action { suspend, resume };

Action action(SessionEvent event);

}  // namespace SessionLifecycle
}  // namespace mirlet
