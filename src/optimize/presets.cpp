// Preset tables (9x rows expanded through three write orders, NT lists) and the reset lists.
#include "optimize/presets.h"

#include <array>
#include <optional>

namespace zv {
namespace {

using E = EntryId;

constexpr int _ = -1;  // not written

// One 9x preset as a row of the values it writes; option selects the write order.
struct Row9x {
    const char* name;
    int option;
    int mtu, mss, rcvWindow, ttl, bhDetect, pmtuDiscovery, keepAlive, cachesize, tcp1323Opts, sackOpts, maxDupAcks;
    bool maxConn;   // Internet.MaxConnectionsPerServer 8, Internet.MaxConnectionsPer1_0Server 16
    bool extended;  // the extended block
};

// clang-format off
constexpr Row9x kWin95Rows[] = {
    //               opt  MTU   MSS   RcvWin  TTL  BH  PMTU  Keep  cache 1323 Sack Dup  MaxConn Ext
    {"W95DialUp1",    1,  576,  536,   2144,  64,  _,   1,     _,   16,   _,   _,   _,  false, false},
    {"W95DialUp2",    2,  576,  536,   2144,  64,  _,   1,     _,   64,   _,   _,   _,  false, false},
    {"W95DialUp3",    3, 1500, 1460,  23360, 128,  0,   _, 60000,    0,   _,   1,   3,  true,  true},
    {"W95DialUp4",    4, 1500, 1460,  23360, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W95DialUp5",    5,    _,    _,   4288, 128,  0,   1, 60000,    _,   _,   _,   _,  true,  false},
    {"W95Lan1",       1, 1500, 1460,   5840,  64,  _,   1,     _,   16,   _,   _,   _,  false, false},
    {"W95Lan2",       2, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   3,   1,   _,  false, false},
    {"W95Lan3",       3, 1500, 1460, 373760, 128,  0,   _, 60000,    0,   3,   1,   3,  true,  true},
    {"W95Lan4",       4, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W95Lan5",       5,    _,    _,   4288, 128,  0,   1, 60000,    _,   _,   _,   _,  true,  false},
    {"W95Pppoe1",     1, 1500, 1460,  64240, 128,  _,   1,     _,    _,   _,   1,   3,  false, false},
    {"W95Pppoe2",     2, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   3,   1,   _,  false, false},
    {"W95Pppoe3",     3, 1492, 1452, 371712, 128,  0,   _, 60000,    0,   3,   1,   3,  true,  true},
    {"W95Pppoe4",     4, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W95Pppoe5",     5,    _,    _,   4288, 128,  0,   1, 60000,    _,   _,   _,   _,  true,  false},
    {"W95Satellite1", 1, 1500, 1460,  64240,  64,  _,   1,     _,    _,   3,   1,   3,  false, false},
    {"W95Satellite2", 2, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   3,   1,   _,  false, false},
    {"W95Satellite3", 3, 1492, 1452, 371712, 128,  0,   _, 60000,    0,   3,   1,   3,  true,  true},
    {"W95Satellite4", 4, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W95Satellite5", 5,    _,    _,   4288, 128,  0,   1, 60000,    _,   _,   _,   _,  true,  false},
};

// As the Win95 rows, except DialUp2 and the Tcp1323Opts of Lan3, Pppoe3 and Satellite3.
constexpr Row9x kWin98Rows[] = {
    //               opt  MTU   MSS   RcvWin  TTL  BH  PMTU  Keep  cache 1323 Sack Dup  MaxConn Ext
    {"W98DialUp1",    1,  576,  536,   2144,  64,  _,   1,     _,   16,   _,   _,   _,  false, false},
    {"W98DialUp2",    2, 1500, 1460,  23360, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W98DialUp3",    3, 1500, 1460,  23360, 128,  0,   _, 60000,    0,   _,   1,   3,  true,  true},
    {"W98DialUp4",    4, 1500, 1460,  23360, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W98DialUp5",    5,    _,    _,   4288, 128,  0,   1, 60000,    _,   _,   _,   _,  true,  false},
    {"W98Lan1",       1, 1500, 1460,   5840,  64,  _,   1,     _,   16,   _,   _,   _,  false, false},
    {"W98Lan2",       2, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   3,   1,   _,  false, false},
    {"W98Lan3",       3, 1500, 1460, 373760, 128,  0,   _, 60000,    0,   _,   1,   3,  true,  true},
    {"W98Lan4",       4, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W98Lan5",       5,    _,    _,   4288, 128,  0,   1, 60000,    _,   _,   _,   _,  true,  false},
    {"W98Pppoe1",     1, 1500, 1460,  64240, 128,  _,   1,     _,    _,   _,   1,   3,  false, false},
    {"W98Pppoe2",     2, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   3,   1,   _,  false, false},
    {"W98Pppoe3",     3, 1492, 1452, 371712, 128,  0,   _, 60000,    0,   _,   1,   3,  true,  true},
    {"W98Pppoe4",     4, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W98Pppoe5",     5,    _,    _,   4288, 128,  0,   1, 60000,    _,   _,   _,   _,  true,  false},
    {"W98Satellite1", 1, 1500, 1460,  64240,  64,  _,   1,     _,    _,   3,   1,   3,  false, false},
    {"W98Satellite2", 2, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   3,   1,   _,  false, false},
    {"W98Satellite3", 3, 1492, 1452, 371712, 128,  0,   _, 60000,    0,   _,   1,   3,  true,  true},
    {"W98Satellite4", 4, 1500, 1460, 373760, 128,  0,   1, 60000,    0,   _,   _,   _,  false, false},
    {"W98Satellite5", 5,    _,    _,   4288, 128,  0,   1, 60000,    _,   _,   _,   _,  true,  false},
};
// clang-format on

// The extended block of the option #3 presets, the same in both sets.
constexpr std::pair<E, int> kExtendedBlock[] = {
    {E::AdapterLogging, 0},          {E::NWLinkForceevenDefault, 1},   {E::MstcpPMTUBlackHoleEnabled, 0},
    {E::AdapterIPXHeaderCompression, 1}, {E::AdapterPointToPointIP, 1}, {E::NWLinkMaxconnectMin, 2},
    {E::NWLinkMaxconnectMax, 128},   {E::NWLinkMaxconnectDefault, 64}, {E::NWLinkMaxsocketsMin, 32},
    {E::NWLinkMaxsocketsMax, 1020},  {E::NWLinkMaxsocketsDefault, 255}, {E::NetBEUISessions, 32},
    {E::NetBEUINcbs, 16},            {E::NetBEUIDefault, 32},          {E::NetBEUISessionsDefault, 32},
    {E::NetBEUISessionsMin, 4},      {E::NetBEUISessionsMax, 117},     {E::NetBEUINcbsDefault, 64},
    {E::NetBEUINcbsMin, 8},          {E::NetBEUINcbsMax, 255},
};

// Options #1, #2 and #4.
constexpr E kWriteOrder1[] = {
    E::AdapterIPMTU,          E::AdapterMaxMTU,          E::AdapterMaxMSS,   E::AdapterMSS,
    E::MstcpDefaultRcvWindow, E::MstcpDefaultTTL,        E::MstcpPMTUBlackHoleDetect,
    E::MstcpPMTUDiscovery,    E::MstcpSessionKeepAlive,  E::NWLinkCachesize, E::MstcpTcp1323Opts,
    E::MstcpSackOpts,         E::MstcpMaxDupAcks,
};

// Option #3.
constexpr E kWriteOrder2[] = {
    E::AdapterMSS,
    E::AdapterIPMTU,
    E::AdapterMaxMTU,
    E::AdapterMaxMSS,
    E::MstcpDefaultRcvWindow,
    E::InternetMaxConnectionsPer1_0Server,
    E::InternetMaxConnectionsPerServer,
    E::MstcpDefaultTTL,
    E::NWLinkCachesize,
    E::MstcpSessionKeepAlive,
    E::AdapterLogging,
    E::NWLinkForceevenDefault,
    E::MstcpPMTUBlackHoleDetect,
    E::MstcpPMTUBlackHoleEnabled,
    E::AdapterIPXHeaderCompression,
    E::AdapterPointToPointIP,
    E::NWLinkMaxconnectMin,
    E::NWLinkMaxconnectMax,
    E::NWLinkMaxconnectDefault,
    E::NWLinkMaxsocketsMin,
    E::NWLinkMaxsocketsMax,
    E::NWLinkMaxsocketsDefault,
    E::MstcpSackOpts,
    E::MstcpTcp1323Opts,
    E::MstcpMaxDupAcks,
    E::NetBEUISessions,
    E::NetBEUINcbs,
    E::NetBEUIDefault,
    E::NetBEUISessionsDefault,
    E::NetBEUISessionsMin,
    E::NetBEUISessionsMax,
    E::NetBEUINcbsDefault,
    E::NetBEUINcbsMin,
    E::NetBEUINcbsMax,
};

// Option #5.
constexpr E kWriteOrder3[] = {
    E::MstcpDefaultRcvWindow,    E::MstcpDefaultTTL,       E::MstcpPMTUBlackHoleDetect,
    E::MstcpPMTUDiscovery,       E::MstcpSessionKeepAlive, E::InternetMaxConnectionsPerServer,
    E::InternetMaxConnectionsPer1_0Server,
};

// The row's value for an entry; nothing when the row does not write it.
std::optional<std::int32_t> ValueOf(const Row9x& row, E entry) {
    auto column = [](int v) { return v == _ ? std::nullopt : std::optional<std::int32_t>(v); };
    switch (entry) {
        case E::AdapterIPMTU:
        case E::AdapterMaxMTU: return column(row.mtu);
        case E::AdapterMaxMSS:
        case E::AdapterMSS: return column(row.mss);
        case E::MstcpDefaultRcvWindow: return column(row.rcvWindow);
        case E::MstcpDefaultTTL: return column(row.ttl);
        case E::MstcpPMTUBlackHoleDetect: return column(row.bhDetect);
        case E::MstcpPMTUDiscovery: return column(row.pmtuDiscovery);
        case E::MstcpSessionKeepAlive: return column(row.keepAlive);
        case E::NWLinkCachesize: return column(row.cachesize);
        case E::MstcpTcp1323Opts: return column(row.tcp1323Opts);
        case E::MstcpSackOpts: return column(row.sackOpts);
        case E::MstcpMaxDupAcks: return column(row.maxDupAcks);
        case E::InternetMaxConnectionsPerServer: return row.maxConn ? std::optional<std::int32_t>(8) : std::nullopt;
        case E::InternetMaxConnectionsPer1_0Server:
            return row.maxConn ? std::optional<std::int32_t>(16) : std::nullopt;
        default: break;
    }
    if (row.extended) {
        for (const auto& [id, value] : kExtendedBlock) {
            if (id == entry) return value;
        }
    }
    return std::nullopt;
}

Preset Expand(const Row9x& row, AccessorSet set) {
    std::span<const E> order = row.option == 3 ? std::span<const E>(kWriteOrder2)
                               : row.option == 5 ? std::span<const E>(kWriteOrder3)
                                                 : std::span<const E>(kWriteOrder1);
    Preset preset{row.name, set, {}};
    for (E entry : order) {
        if (auto value = ValueOf(row, entry)) preset.writes.push_back({entry, *value});
    }
    return preset;
}

std::vector<Preset> BuildPresets() {
    std::vector<Preset> all;
    for (const auto& row : kWin95Rows) all.push_back(Expand(row, AccessorSet::Win95));
    for (const auto& row : kWin98Rows) all.push_back(Expand(row, AccessorSet::Win98));

    // NT presets, each in its own write order.
    auto nt = [&all](const char* name, std::vector<PresetWrite> writes) {
        all.push_back(Preset{name, AccessorSet::Nt, std::move(writes)});
    };
    const E window = E::TcpipTcpWindowSize, ttl = E::TcpipDefaultTTL, bh = E::TcpipEnablePMTUBHDetect,
            disc = E::TcpipEnablePMTUDiscovery, keep = E::TcpipSessionKeepAlive, sack = E::TcpipSackOpts,
            opts = E::TcpipTcp1323Opts, dup = E::TcpipTcpMaxDupAcks;
    nt("NtPreset1", {{window, 2144}, {ttl, 64}, {disc, 1}});
    nt("NtPreset2", {{window, 23360}, {ttl, 128}, {keep, 60000}, {bh, 0}, {sack, 1}, {dup, 3}});
    nt("NtPreset3", {{window, 23360}, {ttl, 128}, {bh, 0}, {disc, 1}, {keep, 60000}});
    nt("NtPreset4", {{window, 5840}, {ttl, 64}, {disc, 1}});
    nt("NtPreset5", {{window, 373760}, {ttl, 128}, {bh, 0}, {disc, 1}, {keep, 60000}, {opts, 3}, {sack, 1}});
    nt("NtPreset6", {{window, 373760}, {ttl, 128}, {keep, 60000}, {bh, 0}, {sack, 1}, {opts, 3}, {dup, 3}});
    nt("NtPreset7", {{window, 4288}, {ttl, 128}, {bh, 0}, {disc, 1}, {keep, 60000}});
    nt("NtPreset8", {{window, 64240}, {ttl, 128}, {disc, 1}});
    nt("NtPreset9", {{window, 371712}, {ttl, 128}, {keep, 60000}, {bh, 0}, {sack, 1}, {opts, 3}, {dup, 3}});
    nt("NtPreset10", {{window, 373760}, {ttl, 128}, {bh, 0}, {disc, 1}, {keep, 60000}});
    nt("NtPreset11", {{window, 64240}, {ttl, 64}, {disc, 1}});
    return all;
}

std::vector<RegLocation> BuildReset9x() {
    auto adapter = [](const std::string& sub, const std::string& value) {
        return RegLocation{kHkeyLocalMachine, KeyBase::Adapter, sub, value};
    };
    auto binding = [](const std::string& value) { return RegLocation{kHkeyLocalMachine, KeyBase::Binding, "", value}; };
    auto at = [](const std::string& key, const std::string& value, RegKey root = kHkeyLocalMachine) {
        return RegLocation{root, KeyBase::Fixed, key, value};
    };
    const std::string nw = kNwlinkKey + "\\Ndi\\params\\";
    const std::string nb = kNetbeuiKey + "\\Ndi\\params\\";
    const std::string& tcp = kMstcpKey;
    const std::string& par = kMstcpParametersKey;
    return {
        // The adapter target's values and mirrors.
        adapter("", "IPMTU"), adapter("\\Ndi\\Params\\IPMTU", ""), adapter("\\Ndi\\Params\\IPMTU", "default"),
        binding("IPMTU"),
        adapter("", "IPXHeaderCompression"), adapter("\\Ndi\\Params\\IPXHeaderCompression", ""),
        adapter("\\Ndi\\Params\\IPXHeaderCompression", "default"),
        adapter("", "Logging"), adapter("\\Ndi\\Params\\Logging", ""), adapter("\\Ndi\\Params\\Logging", "default"),
        adapter("", "MaxMSS"), binding("MaxMSS"),
        adapter("", "MaxMTU"), binding("MaxMTU"),
        adapter("", "MSS"), binding("MSS"), at(tcp, "DefaultMSS"),
        adapter("", "PointToPointIP"), adapter("\\Ndi\\Params\\PointToPointIP", ""),
        adapter("\\Ndi\\Params\\PointToPointIP", "default"),
        adapter("", "SLOWNET"), binding("SLOWNET"),
        // MSTCP.
        at(tcp, "BSDUrgent"), at(tcp, "DefaultRcvWindow"), at(par, "DefaultRcvWindow"), at(tcp, "DefaultTTL"),
        at(tcp, "LocalCopyMade"), at(tcp, "PMTUAutoDetection"), at(tcp, "PMTUBlackHoleDetect"),
        at(tcp, "PMTUBlackHoleEnabled"), at(tcp, "PMTUDiscovery"), at(tcp, "SackOpts"), at(par, "SackOpts"),
        at(tcp, "SessionKeepAlive"), at(tcp, "Tcp1323Opts"), at(par, "Tcp1323Opts"),
        at(tcp, "TcpUseRFC1122UrgentPointer"), at(par, "MaxDupAcks"),
        // NWLink.
        at(kNwlinkKey, "cachesize"), at(nw + "cachesize", ""), at(nw + "cachesize", "default"),
        at(nw + "cachesize", "0"), at(nw + "cachesize", "1"), at(nw + "cachesize", "NdiValue"),
        at(nw + "forceeven", "default"), at(nw + "forceeven", ""),
        at(nw + "maxconnect", "default"), at(nw + "maxconnect", ""), at(nw + "maxconnect", "max"),
        at(nw + "maxconnect", "min"),
        at(nw + "maxsockets", "default"), at(nw + "maxsockets", ""), at(nw + "maxsockets", "max"),
        at(nw + "maxsockets", "min"),
        // Internet: the current user's values, then those our presets write under the machine.
        at(kInternetKey, "MaxConnectionsPerServer", kHkeyCurrentUser),
        at(kInternetKey, "MaxConnectionsPer1_0Server", kHkeyCurrentUser),
        at(kInternetKey, "MaxConnectionsPerServer", kHkeyLocalMachine),
        at(kInternetKey, "MaxConnectionsPer1_0Server", kHkeyLocalMachine),
        // NetBEUI.
        at(kNetbeuiKey, "default"), at(kNetbeuiKey, "ncbs"), at(kNetbeuiKey, "sessions"),
        at(nb + "ncbs", "default"), at(nb + "ncbs", "max"), at(nb + "ncbs", "min"),
        at(nb + "sessions", "default"), at(nb + "sessions", "max"), at(nb + "sessions", "min"),
    };
}

std::vector<RegLocation> BuildResetNt() {
    std::vector<RegLocation> list;
    for (const char* value : {"DefaultTTL", "EnablePMTUBHDetect", "EnablePMTUDiscovery", "TcpUseRFC1122UrgentPointer",
                              "TcpWindowSize", "SessionKeepAlive", "TcpMaxDupAcks", "SackOpts", "Tcp1323Opts"}) {
        list.push_back(RegLocation{kHkeyLocalMachine, KeyBase::Fixed, kTcpipKey, value});
    }
    return list;
}

}  // namespace

std::span<const Preset> Presets() {
    static const std::vector<Preset> presets = BuildPresets();
    return presets;
}

const Preset* FindPreset(std::string_view name) {
    for (const auto& p : Presets()) {
        if (p.name == name) return &p;
    }
    return nullptr;
}

void RunPreset(Registry& reg, const Preset& preset, const AdapterTarget& target) {
    for (const auto& write : preset.writes) WriteEntry(reg, Entry(write.entry), preset.set, target, write.value);
}

bool RunPreset(Registry& reg, std::string_view name, const AdapterTarget& target) {
    const Preset* preset = FindPreset(name);
    if (!preset) return false;
    RunPreset(reg, *preset, target);
    return true;
}

std::span<const RegLocation> Reset9xDeletions() {
    static const std::vector<RegLocation> list = BuildReset9x();
    return list;
}

std::span<const RegLocation> ResetNtDeletions() {
    static const std::vector<RegLocation> list = BuildResetNt();
    return list;
}

void Reset9x(Registry& reg, const AdapterTarget& target) {
    for (const auto& where : Reset9xDeletions()) DeleteAt(reg, where, target);
}

void ResetNt(Registry& reg) {
    for (const auto& where : ResetNtDeletions()) DeleteAt(reg, where, {});
}

}  // namespace zv
