// What the custom editors' values are now, as the short texts shown beside the editors.
#pragma once

#include <array>
#include <string>

#include "optimize/custom.h"
#include "platform/opsysinfo.h"
#include "platform/registry.h"
#include "tuning/adapters.h"

namespace zv {

// One text per editor, Combo1 first: "Now: 1500", "Now: On", "Now: not set", and for "Default
// Adapter" slot 0000's value, or "Now: differs" when the eleven slots do not all agree. A value that
// one of the editor's items writes is shown as that item ("On", "30" minutes). Empty for an editor
// that is not written on the family, and for an adapter editor when the choice names no adapter.
std::array<std::string, kCustomEditorCount> CurrentEditorTexts(Registry& reg, WindowsFamily family,
                                                               const AdapterChoice& choice,
                                                               const DiscoveredAdapters& adapters);

}  // namespace zv
