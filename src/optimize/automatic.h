// The automatic optimization: which reset and preset the family, connection type and option call
// for, and the run itself over the registry.
#pragma once

#include <string>
#include <vector>

#include "platform/opsysinfo.h"
#include "platform/registry.h"
#include "tuning/adapters.h"

namespace zv {

// Index of the connection type list; the last one only resets.
enum ConnectionType : int { kDialUp = 0, kLan = 1, kPppoe = 2, kSatellite = 3, kWindowsDefaults = 4 };

struct OptimizeDecision {
    bool resetNt = false;        // ResetNt runs
    bool reset9x = false;        // Reset9x runs on every target
    std::string preset;          // preset name (W95DialUp1, W98Lan3, NtPreset6 ...); empty: none
};

// option is 1 to 5. An unknown family decides nothing.
OptimizeDecision DecideOptimization(WindowsFamily family, int connectionType, int option);

// Runs the decision: on the NT family ResetNt and the NT preset (targets unused); on the 9x family,
// target by target, Reset9x then the preset. Failures are counted by the registry, never reported.
void RunAutomaticOptimization(Registry& reg, WindowsFamily family, int connectionType, int option,
                              const std::vector<AdapterTarget>& targets);

}  // namespace zv
