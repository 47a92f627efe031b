// The write runs the user starts: Optimize in the wizard and Apply in the custom editor, each with
// the same registry work the program did before writes were planned, reviewed and backed up first.
#pragma once

#include "app/navigation.h"
#include "optimize/custom.h"
#include "platform/opsysinfo.h"
#include "tuning/adapters.h"
#include "writerun/write_run.h"

namespace zv {

WriteRun OptimizeRun(const COpSysInfo& os, const WizardChoice& choice, const DiscoveredAdapters& adapters);
WriteRun ApplyRun(WindowsFamily family, const CustomSelections& selections, const AdapterChoice& choice,
                  const DiscoveredAdapters& adapters);

}  // namespace zv
