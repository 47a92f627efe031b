// The optimization presets and the two resets to Windows defaults, as data with one runner.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "tuning/adapters.h"
#include "tuning/catalogue.h"

namespace zv {

// One write of a preset: the writer of its set receives the number, or its decimal digits for
// the entries the set keeps as text.
struct PresetWrite {
    EntryId entry;
    std::int32_t value;
};

struct Preset {
    std::string name;  // W95DialUp1 ... W98Satellite5, NtPreset1 ... NtPreset11
    AccessorSet set;
    std::vector<PresetWrite> writes;  // in write order
};

// 20 Win95-set presets, 20 Win98-set presets, 11 NT presets.
std::span<const Preset> Presets();
const Preset* FindPreset(std::string_view name);

// Every write of the preset, in order, through the writers of its set. The target is used only
// by the Adapter entries (NT presets ignore it).
void RunPreset(Registry& reg, const Preset& preset, const AdapterTarget& target);
// False, and nothing written, for an unknown name.
bool RunPreset(Registry& reg, std::string_view name, const AdapterTarget& target);

// The deletions of the 9x reset for one adapter target (the adapter values, then all global
// 9x values), and those of the NT reset, in the order they are made.
std::span<const RegLocation> Reset9xDeletions();
std::span<const RegLocation> ResetNtDeletions();
void Reset9x(Registry& reg, const AdapterTarget& target);
void ResetNt(Registry& reg);

}  // namespace zv
