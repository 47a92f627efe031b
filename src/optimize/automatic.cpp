// The decision tables of the automatic optimization and its run over the registry.
#include "optimize/automatic.h"

#include "optimize/presets.h"

namespace zv {
namespace {

// NT presets by connection type (rows 0 to 3) and option (columns #1 to #5).
constexpr int kNtTable[4][5] = {
    {1, 3, 2, 3, 7},     // Dial-up Modem
    {4, 5, 6, 10, 7},    // Lan ..., Windows 2000 and NT
    {8, 5, 9, 10, 7},    // Cable/DSL running PPPoE or PPTP
    {11, 5, 9, 10, 7},   // Satellite
};
// Windows XP takes the dial-up presets for options #2 to #4 of the Lan row.
constexpr int kNtXpLanRow[5] = {4, 3, 2, 3, 7};

const char* const kConnectionPart[4] = {"DialUp", "Lan", "Pppoe", "Satellite"};

}  // namespace

OptimizeDecision DecideOptimization(WindowsFamily family, int connectionType, int option) {
    OptimizeDecision decision;
    if (family == WindowsFamily::Unknown || connectionType < kDialUp || connectionType > kWindowsDefaults) {
        return decision;
    }
    // The wizard reads option buttons #1 to #4 and takes #5 otherwise.
    if (option < 1 || option > 5) option = 5;
    const bool nt = IsNtFamily(family);
    decision.resetNt = nt;
    decision.reset9x = !nt;
    if (connectionType == kWindowsDefaults) return decision;

    if (nt) {
        const int* row = (family == WindowsFamily::WinXP && connectionType == kLan) ? kNtXpLanRow
                                                                                     : kNtTable[connectionType];
        decision.preset = "NtPreset" + std::to_string(row[option - 1]);
    } else {
        const char* prefix = family == WindowsFamily::Win98 ? "W98" : "W95";
        decision.preset = std::string(prefix) + kConnectionPart[connectionType] + std::to_string(option);
    }
    return decision;
}

void RunAutomaticOptimization(Registry& reg, WindowsFamily family, int connectionType, int option,
                              const std::vector<AdapterTarget>& targets) {
    const OptimizeDecision decision = DecideOptimization(family, connectionType, option);
    const Preset* preset = decision.preset.empty() ? nullptr : FindPreset(decision.preset);
    if (decision.resetNt) {
        ResetNt(reg);
        if (preset) RunPreset(reg, *preset, AdapterTarget{});
    }
    if (decision.reset9x) {
        for (const auto& target : targets) {
            Reset9x(reg, target);
            if (preset) RunPreset(reg, *preset, target);
        }
    }
}

}  // namespace zv
