// The "Checking the network" window that `zarvelo.exe /check` opens at the log-on after a change.
#pragma once

#include <windows.h>

#include "platform/registry.h"

namespace zv {

// Runs the pending check to its end over the registry and the real backup folder and network; returns
// at once, showing nothing, when no check is pending. `quiet`: no window; nobody is there to answer,
// so an unanswered check undoes the change without the countdown. Returns the program's exit code.
int RunPendingCheckStart(HINSTANCE instance, Registry& registry, bool quiet);

}  // namespace zv
