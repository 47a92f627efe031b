// The "Checking the network" window that `zarvelo.exe /check` opens at the log-on after a change.
#pragma once

#include <windows.h>

#include "backup/safety_backup.h"

namespace zv {

// The local time to the second, as the pending check and the safety backups record it.
LocalTime LocalNow();

// Runs the pending check to its end over the real registry, backup folder and network; returns at
// once, showing nothing, when no check is pending.
int RunPendingCheckStart(HINSTANCE instance);

}  // namespace zv
