// The network check that zarvelo.exe /check runs after a restart.
#pragma once

#include "platform/registry.h"

namespace zv {

// Runs the check started by /check; `quiet`: no window at all. Returns the program's exit code.
int RunPendingCheckStart(Registry& registry, bool quiet);

}  // namespace zv
