// The runs the user starts in the wizard and the custom editor, with the facts a registry file of them
// names.
#include "app/safe_changes.h"

#include "app/optimize_run.h"

namespace zv {
namespace {

// The run's facts; on 9x each adapter it writes to by its keys and, where known, its description.
RegExportFacts RunFacts(WindowsFamily family, const std::string& adapter, const std::string& connection,
                        const std::string& option, const std::vector<AdapterTarget>& targets,
                        const DiscoveredAdapters& adapters) {
    RegExportFacts facts;
    facts.family = family;
    facts.adapter = adapter;
    facts.connection = connection;
    facts.option = option;
    if (IsNtFamily(family)) return facts;
    for (const AdapterTarget& target : targets) {
        std::string line = "Net\\" + target.adapterKey + ", " + target.bindingKey;
        for (std::size_t i = 0; i < adapters.instanceNames.size() && i < adapters.descriptions.size(); ++i) {
            if (adapters.instanceNames[i] == target.adapterKey) line += ": " + adapters.descriptions[i];
        }
        facts.adapterKeys.push_back(line);
    }
    return facts;
}

}  // namespace

WriteRun OptimizeRun(const COpSysInfo& os, const WizardChoice& choice, const DiscoveredAdapters& adapters) {
    std::string detail = choice.connectionText;
    if (choice.connectionIndex != kWindowsDefaultsIndex) {
        detail += ", " + ConfigurationName(SelectedOption(choice.options));
    }
    if (!IsNtFamily(FamilyOf(os))) detail += ", " + choice.adapterText;
    const std::string option = choice.connectionIndex == kWindowsDefaultsIndex
                                   ? std::string()
                                   : ConfigurationName(SelectedOption(choice.options));
    return WriteRun{RunKind::Optimize, detail,
                    [os, choice, adapters](Registry& reg) {
                        RunOptimize(reg, os, choice, adapters);
                        return std::string();
                    },
                    RunFacts(FamilyOf(os), choice.adapterText, choice.connectionText, option,
                             ResolveAdapterTargets(choice.adapterText, choice.adapterIndex, adapters), adapters)};
}

WriteRun ApplyRun(WindowsFamily family, const CustomSelections& selections, const AdapterChoice& choice,
                  const DiscoveredAdapters& adapters) {
    int chosen = 0;
    for (int s : selections) chosen += s >= 0;
    const std::string detail =
        "Custom Optimization, " + std::to_string(chosen) + (chosen == 1 ? " setting chosen" : " settings chosen");
    return WriteRun{RunKind::Apply, detail,
                    [family, selections, choice, adapters](Registry& reg) {
                        ApplyCustom(reg, family, selections, choice, adapters);
                        return std::string();
                    },
                    RunFacts(family, choice.itemText, "Custom Optimization", detail.substr(detail.find(", ") + 2),
                             ResolveAdapterTargets(choice.itemText, choice.itemIndex, adapters), adapters)};
}

}  // namespace zv
