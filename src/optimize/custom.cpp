// The custom editors' table and the three Apply routines over it.
#include "optimize/custom.h"

#include <stdexcept>

namespace zv {
namespace {

// An adapter value with its "\Ndi\Params\<name>" default: the value, the Ndi key's unnamed value and
// its "default".
std::vector<RegLocation> AdapterWithNdi(const std::string& value) {
    return {AtAdapter("", value), AtAdapter(AdapterNdi(value), ""), AtAdapter(AdapterNdi(value), "default")};
}

std::vector<ItemListData> BuildLists() {
    auto numbered = [](ItemList id, std::vector<std::int32_t> numbers) {
        ItemListData list{id, {"Default"}, numbers};
        for (auto n : numbers) list.items.push_back(std::to_string(n));
        return list;
    };
    std::vector<ItemListData> lists;
    lists.push_back(numbered(ItemList::Mtu, {576, 1006, 1492, 1500, 1524, 4352, 4464, 9180, 17914}));
    lists.push_back(numbered(ItemList::Window, {8576, 15456, 23232, 23360, 23744, 68992, 70784, 146240, 285984}));
    // Each MSS is the MTU at the same place less the 40 bytes of the TCP and IP headers.
    {
        std::vector<std::int32_t> mss;
        for (auto mtu : lists[0].values) mss.push_back(mtu - 40);
        lists.push_back(numbered(ItemList::Mss, mss));
    }
    lists.push_back(ItemListData{ItemList::Switch, {"Default", "On", "Off"}, {1, 0}});
    lists.push_back(numbered(ItemList::Ttl, {4, 8, 16, 32, 64, 128, 256}));
    // Shown in minutes, written in milliseconds.
    {
        ItemListData keepAlive{ItemList::KeepAlive, {"Default"}, {}};
        for (int minutes : {5, 10, 20, 30, 40, 50, 60}) {
            keepAlive.items.push_back(std::to_string(minutes));
            keepAlive.values.push_back(minutes * 60000);
        }
        lists.push_back(keepAlive);
    }
    lists.push_back(numbered(ItemList::NWLink, {2, 4, 8, 16, 32, 64, 128, 255}));
    lists.push_back(numbered(ItemList::NetBEUI, {4, 8, 16, 32, 64, 128, 255}));
    return lists;
}

const std::vector<ItemListData>& Lists() {
    static const std::vector<ItemListData> lists = BuildLists();
    return lists;
}

std::vector<CustomEditor> BuildEditors() {
    using E = EntryId;
    using L = ItemList;
    const auto none = AdapterScope::None;
    const auto adapter = AdapterScope::Adapter;
    const auto binding = AdapterScope::AdapterAndBinding;
    auto tcpip = [](const char* value) { return std::vector<RegLocation>{Fixed(kTcpipKey, value)}; };
    auto mstcp = [](const char* value) { return std::vector<RegLocation>{Fixed(kMstcpKey, value)}; };
    auto mstcpBoth = [](const char* value) {
        return std::vector<RegLocation>{Fixed(kMstcpKey, value), Fixed(kMstcpParametersKey, value)};
    };
    // The NWLink parameter defaults take their key's unnamed value with them; min and max do not.
    auto nwDefault = [](const char* param) {
        return std::vector<RegLocation>{Fixed(NwlinkParams(param), "default"), Fixed(NwlinkParams(param), "")};
    };
    auto nw = [](const char* param, const char* field) {
        return std::vector<RegLocation>{Fixed(NwlinkParams(param), field)};
    };
    // The NetBEUI rows remove only the named value.
    auto nb = [](const char* param, const char* field) {
        return std::vector<RegLocation>{Fixed(NetbeuiParams(param), field)};
    };
    const std::string cacheParams = NwlinkParams("cachesize");
    const std::vector<RegLocation> cachesize = {Fixed(kNwlinkKey, "cachesize"), Fixed(cacheParams, ""),
                                                Fixed(cacheParams, "default"),  Fixed(cacheParams, "0"),
                                                Fixed(cacheParams, "1"),        Fixed(cacheParams, "NdiValue")};
    const std::vector<RegLocation> ntNone;

    std::vector<RegLocation> ipmtu = AdapterWithNdi("IPMTU");
    ipmtu.push_back(AtBinding("IPMTU"));

    return {
        {1, L::Mtu, E::AdapterIPMTU, std::nullopt, binding, ipmtu, ntNone},
        {2, L::Window, E::MstcpDefaultRcvWindow, E::TcpipTcpWindowSize, none, mstcpBoth("DefaultRcvWindow"),
         tcpip("TcpWindowSize")},
        {3, L::Mtu, E::AdapterMaxMTU, std::nullopt, binding, {AtAdapter("", "MaxMTU"), AtBinding("MaxMTU")}, ntNone},
        {4, L::Mss, E::AdapterMSS, std::nullopt, binding,
         {AtAdapter("", "MSS"), AtBinding("MSS"), Fixed(kMstcpKey, "DefaultMSS")}, ntNone},
        {5, L::Switch, E::NWLinkForceevenDefault, std::nullopt, none, nwDefault("forceeven"), ntNone},
        {6, L::Switch, E::AdapterPointToPointIP, std::nullopt, adapter, AdapterWithNdi("PointToPointIP"), ntNone},
        {7, L::Switch, E::AdapterIPXHeaderCompression, std::nullopt, adapter, AdapterWithNdi("IPXHeaderCompression"),
         ntNone},
        {8, L::Switch, E::MstcpMaxDupAcks, E::TcpipTcpMaxDupAcks, none, {Fixed(kMstcpParametersKey, "MaxDupAcks")},
         tcpip("TcpMaxDupAcks")},
        {9, L::Switch, E::MstcpTcp1323Opts, E::TcpipTcp1323Opts, none, mstcpBoth("Tcp1323Opts"), tcpip("Tcp1323Opts")},
        {10, L::Switch, E::MstcpSackOpts, E::TcpipSackOpts, none, mstcpBoth("SackOpts"), tcpip("SackOpts")},
        {11, L::Ttl, E::MstcpDefaultTTL, E::TcpipDefaultTTL, none, mstcp("DefaultTTL"), tcpip("DefaultTTL")},
        {12, L::Switch, E::MstcpPMTUDiscovery, E::TcpipEnablePMTUDiscovery, none, mstcp("PMTUDiscovery"),
         tcpip("EnablePMTUDiscovery")},
        {13, L::Switch, E::MstcpPMTUBlackHoleDetect, E::TcpipEnablePMTUBHDetect, none, mstcp("PMTUBlackHoleDetect"),
         tcpip("EnablePMTUBHDetect")},
        {14, L::Switch, E::MstcpPMTUAutoDetection, std::nullopt, none, mstcp("PMTUAutoDetection"), ntNone},
        {15, L::Switch, E::MstcpPMTUBlackHoleEnabled, std::nullopt, none, mstcp("PMTUBlackHoleEnabled"), ntNone},
        {16, L::KeepAlive, E::MstcpSessionKeepAlive, E::TcpipSessionKeepAlive, none, mstcp("SessionKeepAlive"),
         tcpip("SessionKeepAlive")},
        {17, L::Switch, E::AdapterLogging, std::nullopt, adapter, AdapterWithNdi("Logging"), ntNone},
        {18, L::Switch, E::AdapterSLOWNET, std::nullopt, binding, {AtAdapter("", "SLOWNET"), AtBinding("SLOWNET")},
         ntNone},
        {19, L::NWLink, E::NWLinkCachesize, std::nullopt, none, cachesize, ntNone},
        {20, L::NWLink, E::NWLinkCachesize, std::nullopt, none, cachesize, ntNone},
        {21, L::NWLink, E::NWLinkMaxconnectMin, std::nullopt, none, nw("maxconnect", "min"), ntNone},
        {22, L::NWLink, E::NWLinkMaxconnectMax, std::nullopt, none, nw("maxconnect", "max"), ntNone},
        {23, L::NWLink, E::NWLinkMaxsocketsMax, std::nullopt, none, nw("maxsockets", "max"), ntNone},
        {24, L::NWLink, E::NWLinkMaxsocketsMin, std::nullopt, none, nw("maxsockets", "min"), ntNone},
        {25, L::NWLink, E::NWLinkMaxconnectDefault, std::nullopt, none, nwDefault("maxconnect"), ntNone},
        {26, L::NWLink, E::NWLinkMaxsocketsDefault, std::nullopt, none, nwDefault("maxsockets"), ntNone},
        {27, L::NetBEUI, E::NetBEUISessionsDefault, std::nullopt, none, nb("sessions", "default"), ntNone},
        {28, L::NetBEUI, E::NetBEUISessionsMin, std::nullopt, none, nb("sessions", "min"), ntNone},
        {29, L::NetBEUI, E::NetBEUISessionsMax, std::nullopt, none, nb("sessions", "max"), ntNone},
        {30, L::NetBEUI, E::NetBEUINcbsDefault, std::nullopt, none, nb("ncbs", "default"), ntNone},
        {31, L::NetBEUI, E::NetBEUINcbsMax, std::nullopt, none, nb("ncbs", "max"), ntNone},
        {32, L::NetBEUI, E::NetBEUINcbsMin, std::nullopt, none, nb("ncbs", "min"), ntNone},
        {33, L::NetBEUI, E::NetBEUIDefault, std::nullopt, none, {Fixed(kNetbeuiKey, "default")}, ntNone},
        {34, L::NetBEUI, E::NetBEUINcbs, std::nullopt, none, {Fixed(kNetbeuiKey, "ncbs")}, ntNone},
        {35, L::NetBEUI, E::NetBEUISessions, std::nullopt, none, {Fixed(kNetbeuiKey, "sessions")}, ntNone},
    };
}

const std::vector<CustomEditor>& Editors() {
    static const std::vector<CustomEditor> editors = BuildEditors();
    return editors;
}

// One editor on the 9x family: for an adapter-level editor once per target, else once.
void Apply9xEditor(Registry& reg, AccessorSet set, const CustomEditor& editor, int selection,
                   const std::vector<AdapterTarget>& targets) {
    static const std::vector<AdapterTarget> kNoAdapter = {AdapterTarget{}};
    const auto& scope = editor.scope == AdapterScope::None ? kNoAdapter : targets;
    if (selection == 0) {
        for (const auto& target : scope) {
            for (const auto& where : editor.defaults9x) DeleteAt(reg, where, target);
        }
        return;
    }
    const auto value = CustomItemValue(editor, set, selection);
    if (!value) return;
    for (const auto& target : scope) WriteEntry(reg, Entry(editor.entry9x), set, target, *value);
}

void Apply9x(Registry& reg, AccessorSet set, const CustomSelections& selections, const AdapterChoice& choice,
             const DiscoveredAdapters& adapters) {
    // No target (an item without a discovered element) leaves the adapter-level editors out.
    const auto targets = ResolveAdapterTargets(choice.itemText, choice.itemIndex, adapters);
    for (const auto& editor : Editors()) {
        const int selection = selections[static_cast<std::size_t>(editor.combo - 1)];
        if (selection < 0) continue;
        Apply9xEditor(reg, set, editor, selection, targets);
    }
}

}  // namespace

const ItemListData& ListData(ItemList list) {
    for (const auto& l : Lists()) {
        if (l.id == list) return l;
    }
    throw std::out_of_range("no such item list");
}

std::span<const CustomEditor> CustomEditors() { return Editors(); }

const CustomEditor& CustomEditorFor(int combo) {
    return Editors().at(static_cast<std::size_t>(combo - 1));
}

CustomSelections NoSelections() {
    CustomSelections s;
    s.fill(-1);
    return s;
}

std::optional<EntryValue> CustomItemValue(const CustomEditor& editor, AccessorSet set, int item) {
    const auto& values = ListData(editor.list).values;
    if (item < 1 || static_cast<std::size_t>(item) > values.size()) return std::nullopt;
    const std::int32_t n = values[static_cast<std::size_t>(item - 1)];
    const std::optional<EntryId> id = set == AccessorSet::Nt ? editor.entryNt : std::optional(editor.entry9x);
    if (!id) return std::nullopt;
    switch (KindIn(Entry(*id), set)) {
        case ValueKind::Dword: return n;
        case ValueKind::Binary: return ByteArray{static_cast<std::uint8_t>(n)};
        case ValueKind::Text: break;
    }
    return std::to_string(n);
}

CustomRoutine CustomRoutineFor(WindowsFamily family) {
    const auto set = OptimizerAccessorSet(family);
    if (!set) return CustomRoutine::None;
    switch (*set) {
        case AccessorSet::Win95: return CustomRoutine::Win95;
        case AccessorSet::Win98: return CustomRoutine::Win98;
        case AccessorSet::Nt: break;
    }
    return CustomRoutine::Nt;
}

void ApplyCustomWin95(Registry& reg, const CustomSelections& selections, const AdapterChoice& choice,
                      const DiscoveredAdapters& adapters) {
    Apply9x(reg, AccessorSet::Win95, selections, choice, adapters);
}

void ApplyCustomWin98(Registry& reg, const CustomSelections& selections, const AdapterChoice& choice,
                      const DiscoveredAdapters& adapters) {
    Apply9x(reg, AccessorSet::Win98, selections, choice, adapters);
}

void ApplyCustomNT(Registry& reg, const CustomSelections& selections) {
    for (const auto& editor : Editors()) {
        if (!editor.entryNt) continue;
        const int selection = selections[static_cast<std::size_t>(editor.combo - 1)];
        if (selection < 0) continue;
        if (selection == 0) {
            for (const auto& where : editor.defaultsNt) DeleteAt(reg, where, AdapterTarget{});
        } else if (auto value = CustomItemValue(editor, AccessorSet::Nt, selection)) {
            WriteEntry(reg, Entry(*editor.entryNt), AccessorSet::Nt, AdapterTarget{}, *value);
        }
    }
}

unsigned long ApplyCustom(Registry& reg, WindowsFamily family, const CustomSelections& selections,
                          const AdapterChoice& choice, const DiscoveredAdapters& adapters) {
    reg.ResetFailedChanges();
    switch (CustomRoutineFor(family)) {
        case CustomRoutine::Win95: ApplyCustomWin95(reg, selections, choice, adapters); break;
        case CustomRoutine::Win98: ApplyCustomWin98(reg, selections, choice, adapters); break;
        case CustomRoutine::Nt: ApplyCustomNT(reg, selections); break;
        case CustomRoutine::None: break;
    }
    return reg.FailedChanges();
}

}  // namespace zv
