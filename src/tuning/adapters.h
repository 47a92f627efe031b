// Network adapters that carry TCP/IP, the eleven fixed slots behind "Default Adapter", and the
// resolution of an adapter choice to the keys that adapter-level values are written to.
#pragma once

#include <string>
#include <vector>

#include "platform/opsysinfo.h"
#include "platform/registry.h"

namespace zv {

inline const std::string kDefaultAdapter = "Default Adapter";

// Where one adapter's values live: its key name under Class\Net (0000) and its TCP/IP binding
// key under Class (NetTrans\0000).
struct AdapterTarget {
    std::string adapterKey;
    std::string bindingKey;
    bool operator==(const AdapterTarget&) const = default;
};

// Slots 0 to 10: 0000 ... 0010 with NetTrans\0000 ... NetTrans\0010.
std::vector<AdapterTarget> SlotTable();

// One element per TCP/IP instance under Enum\Network\MSTCP, in registry order.
struct DiscoveredAdapters {
    std::vector<std::string> instanceNames;
    std::vector<std::string> descriptions;
    std::vector<std::string> bindingKeys;
};

// Empty on the NT family, where nothing is per adapter.
DiscoveredAdapters DiscoverAdapters(Registry& reg, const COpSysInfo& os);

// The items of the adapter list box, "Default Adapter" last (or alone). When the first description
// is empty its item is dropped and so is element 0 of the discovered lists, so that item i always
// stands for discovered element i.
std::vector<std::string> AdapterListItems(DiscoveredAdapters& adapters, bool win9x);

// The targets of an adapter-level write for the selected list item: the eleven slots for
// "Default Adapter", else discovered element `index`; none when there is no such element.
std::vector<AdapterTarget> ResolveAdapterTargets(const std::string& itemText, int index,
                                                 const DiscoveredAdapters& adapters);

}  // namespace zv
