// The "Checking the network" window that `zarvelo.exe /check` opens at the log-on after a change.
#pragma once

#include <windows.h>

#include <string>

#include "platform/registry.h"

namespace zv {

struct CheckRunEnd {
    int exitCode = 0;
    std::string outcome;  // for the log: what became of the change, the host and the echoes
};

// Runs the pending check to its end over the registry and the real backup folder and network; returns
// at once, showing nothing, when no check is pending. `quiet`: no window; nobody is there to answer,
// so an unanswered check undoes the change without the countdown. Exit code 0 when the host answered
// or the user kept the change, kExitCheckUndone when it was undone, kExitCheckNotDone when no echo
// could be sent; an undo that failed gives the write run's code.
CheckRunEnd RunPendingCheckStart(HINSTANCE instance, Registry& registry, bool quiet);

}  // namespace zv
