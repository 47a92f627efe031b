// Discovery of the TCP/IP adapters, the eleven fixed slots and the resolution of an adapter choice.
#include "tuning/adapters.h"

#include "platform/registry_helpers.h"
#include "tuning/catalogue.h"

namespace zv {
namespace {

const std::string kMstcpEnumKey = "Enum\\Network\\MSTCP";

}  // namespace

std::vector<AdapterTarget> SlotTable() {
    std::vector<AdapterTarget> slots;
    for (int i = 0; i <= 9; ++i) {
        const std::string digits = "000" + std::to_string(i);
        slots.push_back({digits, "NetTrans\\" + digits});
    }
    slots.push_back({"0010", "NetTrans\\0010"});
    return slots;
}

DiscoveredAdapters DiscoverAdapters(Registry& reg, const COpSysInfo& os) {
    DiscoveredAdapters found;
    if (!os.IsWin9x()) return found;
    found.instanceNames = EnumRegSubkeys(reg, kHkeyLocalMachine, kMstcpEnumKey);
    for (const auto& name : found.instanceNames) {
        found.descriptions.push_back(ReadRegString(reg, kHkeyLocalMachine, kClassNetKey + name, "DriverDesc"));
        found.bindingKeys.push_back(ReadRegString(reg, kHkeyLocalMachine, kMstcpEnumKey + "\\" + name, "Driver"));
    }
    return found;
}

std::vector<std::string> AdapterListItems(DiscoveredAdapters& adapters, bool win9x) {
    std::vector<std::string> items;
    if (win9x) {
        items = adapters.descriptions;
        // An empty first description hides its adapter; the lists drop it too so that item i
        // keeps standing for element i.
        if (!items.empty() && items.front().empty()) {
            items.erase(items.begin());
            for (auto* list : {&adapters.instanceNames, &adapters.descriptions, &adapters.bindingKeys}) {
                if (!list->empty()) list->erase(list->begin());
            }
        }
    }
    items.push_back(kDefaultAdapter);
    return items;
}

std::vector<AdapterTarget> ResolveAdapterTargets(const std::string& itemText, int index,
                                                 const DiscoveredAdapters& adapters) {
    if (itemText == kDefaultAdapter) return SlotTable();
    if (index < 0 || static_cast<std::size_t>(index) >= adapters.instanceNames.size()) return {};
    const auto i = static_cast<std::size_t>(index);
    return {AdapterTarget{adapters.instanceNames[i], i < adapters.bindingKeys.size() ? adapters.bindingKeys[i] : ""}};
}

}  // namespace zv
