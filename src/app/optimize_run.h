// One Optimize of the wizard: the family of a fresh version record, the adapter targets of the
// choice, the reset and preset, and how many changes did not take effect.
#pragma once

#include "app/navigation.h"
#include "optimize/automatic.h"
#include "platform/opsysinfo.h"
#include "platform/registry.h"
#include "tuning/adapters.h"

namespace zv {

// Returns the number of writes and deletions the registry refused.
unsigned long RunOptimize(Registry& reg, const COpSysInfo& os, const WizardChoice& choice,
                          const DiscoveredAdapters& adapters);

}  // namespace zv
