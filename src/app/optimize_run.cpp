// The Optimize command's registry work.
#include "app/optimize_run.h"

namespace zv {

unsigned long RunOptimize(Registry& reg, const COpSysInfo& os, const WizardChoice& choice,
                          const DiscoveredAdapters& adapters) {
    reg.ResetFailedChanges();
    const WindowsFamily family = FamilyOf(os);
    const int option = SelectedOption(choice.options);
    std::vector<AdapterTarget> targets;
    // The adapter choice matters on the 9x family only; the NT values are not per adapter.
    if (family != WindowsFamily::Unknown && !IsNtFamily(family)) {
        targets = ResolveAdapterTargets(choice.adapterText, choice.adapterIndex, adapters);
    }
    RunAutomaticOptimization(reg, family, choice.connectionIndex, option, targets);
    return reg.FailedChanges();
}

}  // namespace zv
