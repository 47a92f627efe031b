// The catalogue table and its one generic reader, writer and deleter.
#include "tuning/catalogue.h"

#include <limits>

namespace zv {
namespace {

Mirror Same(RegLocation where) { return Mirror{std::move(where), MirrorForm::Same}; }

std::vector<CatalogueEntry> BuildCatalogue() {
    using E = EntryId;
    const auto S = KindRule::Text;
    const auto D = KindRule::Dword;
    const auto B = KindRule::Binary;
    const auto X = KindRule::DwordOrText;
    std::vector<CatalogueEntry> t;
    auto add = [&t](E id, const char* name, KindRule kind, RegLocation main, std::vector<Mirror> mirrors,
                    std::vector<RegLocation> deletions, bool nt = false) {
        t.push_back(CatalogueEntry{id, name, nt, kind, std::move(main), std::move(mirrors), std::move(deletions)});
    };

    // Adapter values with their "\Ndi\Params\<name>" default mirror.
    auto adapterWithNdi = [&](E id, const char* name, const std::string& value, bool bindingMirror) {
        std::vector<Mirror> mirrors = {Same(AtAdapter(AdapterNdi(value), "default"))};
        std::vector<RegLocation> deletions = {AtAdapter("", value), AtAdapter(AdapterNdi(value), ""),
                                              AtAdapter(AdapterNdi(value), "default")};
        if (bindingMirror) {
            mirrors.push_back(Same(AtBinding(value)));
            deletions.push_back(AtBinding(value));
        }
        add(id, name, S, AtAdapter("", value), std::move(mirrors), std::move(deletions));
    };
    // Adapter values mirrored in the binding key only.
    auto adapterWithBinding = [&](E id, const char* name, const std::string& value) {
        add(id, name, S, AtAdapter("", value), {Same(AtBinding(value))}, {AtAdapter("", value), AtBinding(value)});
    };

    adapterWithNdi(E::AdapterIPMTU, "Adapter.IPMTU", "IPMTU", true);
    adapterWithNdi(E::AdapterIPXHeaderCompression, "Adapter.IPXHeaderCompression", "IPXHeaderCompression", false);
    adapterWithNdi(E::AdapterLogging, "Adapter.Logging", "Logging", false);
    adapterWithBinding(E::AdapterMaxMSS, "Adapter.MaxMSS", "MaxMSS");
    adapterWithBinding(E::AdapterMaxMTU, "Adapter.MaxMTU", "MaxMTU");
    add(E::AdapterMSS, "Adapter.MSS", S, AtAdapter("", "MSS"),
        {Same(AtBinding("MSS")), Same(Fixed(kMstcpKey, "DefaultMSS"))},
        {AtAdapter("", "MSS"), AtBinding("MSS"), Fixed(kMstcpKey, "DefaultMSS")});
    adapterWithNdi(E::AdapterPointToPointIP, "Adapter.PointToPointIP", "PointToPointIP", false);
    add(E::AdapterSLOWNET, "Adapter.SLOWNET", B, AtAdapter("", "SLOWNET"),
        {Mirror{AtBinding("SLOWNET"), MirrorForm::FirstByteAsDword}}, {AtAdapter("", "SLOWNET"), AtBinding("SLOWNET")});

    // MSTCP values, some mirrored in its Parameters subkey.
    auto mstcp = [&](E id, const char* name, KindRule kind, const std::string& value, bool parametersMirror) {
        std::vector<Mirror> mirrors;
        std::vector<RegLocation> deletions = {Fixed(kMstcpKey, value)};
        if (parametersMirror) {
            mirrors.push_back(Same(Fixed(kMstcpParametersKey, value)));
            deletions.push_back(Fixed(kMstcpParametersKey, value));
        }
        add(id, name, kind, Fixed(kMstcpKey, value), std::move(mirrors), std::move(deletions));
    };
    mstcp(E::MstcpBSDUrgent, "MSTCP.BSDUrgent", X, "BSDUrgent", false);
    mstcp(E::MstcpDefaultRcvWindow, "MSTCP.DefaultRcvWindow", X, "DefaultRcvWindow", true);
    mstcp(E::MstcpDefaultTTL, "MSTCP.DefaultTTL", S, "DefaultTTL", false);
    mstcp(E::MstcpLocalCopyMade, "MSTCP.LocalCopyMade", S, "LocalCopyMade", false);
    mstcp(E::MstcpPMTUAutoDetection, "MSTCP.PMTUAutoDetection", X, "PMTUAutoDetection", false);
    mstcp(E::MstcpPMTUBlackHoleDetect, "MSTCP.PMTUBlackHoleDetect", X, "PMTUBlackHoleDetect", false);
    mstcp(E::MstcpPMTUBlackHoleEnabled, "MSTCP.PMTUBlackHoleEnabled", X, "PMTUBlackHoleEnabled", false);
    mstcp(E::MstcpPMTUDiscovery, "MSTCP.PMTUDiscovery", X, "PMTUDiscovery", false);
    mstcp(E::MstcpSackOpts, "MSTCP.SackOpts", X, "SackOpts", true);
    mstcp(E::MstcpSessionKeepAlive, "MSTCP.SessionKeepAlive", S, "SessionKeepAlive", false);
    mstcp(E::MstcpTcp1323Opts, "MSTCP.Tcp1323Opts", X, "Tcp1323Opts", true);
    mstcp(E::MstcpTcpUseRFC1122UrgentPointer, "MSTCP.TcpUseRFC1122UrgentPointer", X, "TcpUseRFC1122UrgentPointer",
          false);
    add(E::MstcpMaxDupAcks, "MSTCP.MaxDupAcks", X, Fixed(kMstcpParametersKey, "MaxDupAcks"), {},
        {Fixed(kMstcpParametersKey, "MaxDupAcks")});

    // NWLink: cachesize sets four values of its parameter key as well.
    {
        const std::string params = NwlinkParams("cachesize");
        add(E::NWLinkCachesize, "NWLink.cachesize", S, Fixed(kNwlinkKey, "cachesize"),
            {Same(Fixed(params, "default")), Same(Fixed(params, "0")), Same(Fixed(params, "1")),
             Same(Fixed(params, "NdiValue"))},
            {Fixed(kNwlinkKey, "cachesize"), Fixed(params, ""), Fixed(params, "default"), Fixed(params, "0"),
             Fixed(params, "1"), Fixed(params, "NdiValue")});
    }
    // A parameter key's field; the "default" field of a parameter key also takes the key's unnamed
    // value with it (the NETBEUI key's own "default" is a plain value).
    auto param = [&](E id, const char* name, const std::string& key, const std::string& field) {
        std::vector<RegLocation> deletions = {Fixed(key, field)};
        if (field == "default" && key != kNetbeuiKey) deletions.push_back(Fixed(key, ""));
        add(id, name, S, Fixed(key, field), {}, std::move(deletions));
    };
    param(E::NWLinkForceevenDefault, "NWLink.forceeven.default", NwlinkParams("forceeven"), "default");
    param(E::NWLinkMaxconnectDefault, "NWLink.maxconnect.default", NwlinkParams("maxconnect"), "default");
    param(E::NWLinkMaxconnectMax, "NWLink.maxconnect.max", NwlinkParams("maxconnect"), "max");
    param(E::NWLinkMaxconnectMin, "NWLink.maxconnect.min", NwlinkParams("maxconnect"), "min");
    param(E::NWLinkMaxsocketsDefault, "NWLink.maxsockets.default", NwlinkParams("maxsockets"), "default");
    param(E::NWLinkMaxsocketsMax, "NWLink.maxsockets.max", NwlinkParams("maxsockets"), "max");
    param(E::NWLinkMaxsocketsMin, "NWLink.maxsockets.min", NwlinkParams("maxsockets"), "min");

    // Written under the local machine; removed under the current user as Windows keeps them there,
    // and under the local machine too, where our own writes put them.
    auto internet = [&](E id, const char* name, const std::string& value) {
        add(id, name, X, Fixed(kInternetKey, value), {},
            {Fixed(kInternetKey, value, kHkeyCurrentUser), Fixed(kInternetKey, value, kHkeyLocalMachine)});
    };
    internet(E::InternetMaxConnectionsPerServer, "Internet.MaxConnectionsPerServer", "MaxConnectionsPerServer");
    internet(E::InternetMaxConnectionsPer1_0Server, "Internet.MaxConnectionsPer1_0Server",
             "MaxConnectionsPer1_0Server");

    param(E::NetBEUIDefault, "NetBEUI.default", kNetbeuiKey, "default");
    param(E::NetBEUINcbs, "NetBEUI.ncbs", kNetbeuiKey, "ncbs");
    param(E::NetBEUISessions, "NetBEUI.sessions", kNetbeuiKey, "sessions");
    param(E::NetBEUINcbsDefault, "NetBEUI.ncbs.default", NetbeuiParams("ncbs"), "default");
    param(E::NetBEUINcbsMax, "NetBEUI.ncbs.max", NetbeuiParams("ncbs"), "max");
    param(E::NetBEUINcbsMin, "NetBEUI.ncbs.min", NetbeuiParams("ncbs"), "min");
    param(E::NetBEUISessionsDefault, "NetBEUI.sessions.default", NetbeuiParams("sessions"), "default");
    param(E::NetBEUISessionsMax, "NetBEUI.sessions.max", NetbeuiParams("sessions"), "max");
    param(E::NetBEUISessionsMin, "NetBEUI.sessions.min", NetbeuiParams("sessions"), "min");

    auto tcpip = [&](E id, const char* name, const std::string& value) {
        add(id, name, D, Fixed(kTcpipKey, value), {}, {Fixed(kTcpipKey, value)}, true);
    };
    tcpip(E::TcpipDefaultTTL, "Tcpip.DefaultTTL", "DefaultTTL");
    tcpip(E::TcpipEnablePMTUBHDetect, "Tcpip.EnablePMTUBHDetect", "EnablePMTUBHDetect");
    tcpip(E::TcpipEnablePMTUDiscovery, "Tcpip.EnablePMTUDiscovery", "EnablePMTUDiscovery");
    tcpip(E::TcpipTcpUseRFC1122UrgentPointer, "Tcpip.TcpUseRFC1122UrgentPointer", "TcpUseRFC1122UrgentPointer");
    tcpip(E::TcpipTcpWindowSize, "Tcpip.TcpWindowSize", "TcpWindowSize");
    tcpip(E::TcpipSessionKeepAlive, "Tcpip.SessionKeepAlive", "SessionKeepAlive");
    tcpip(E::TcpipTcpMaxDupAcks, "Tcpip.TcpMaxDupAcks", "TcpMaxDupAcks");
    tcpip(E::TcpipSackOpts, "Tcpip.SackOpts", "SackOpts");
    tcpip(E::TcpipTcp1323Opts, "Tcpip.Tcp1323Opts", "Tcp1323Opts");
    return t;
}

const std::vector<CatalogueEntry>& Table() {
    static const std::vector<CatalogueEntry> table = BuildCatalogue();
    return table;
}

// Decimal text as a 32-bit number, blanks around it allowed.
std::optional<std::int32_t> ParseDecimal(const std::string& text) {
    std::size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == end) return std::nullopt;
    std::int64_t n = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        n = n * 10 + (text[i] - '0');
        if (n > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1) return std::nullopt;
    }
    if (negative) n = -n;
    if (n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(n);
}

void WriteValueAt(Registry& reg, const RegLocation& where, const AdapterTarget& target, const EntryValue& value) {
    const std::string path = KeyPath(where, target);
    if (auto* n = std::get_if<std::int32_t>(&value)) {
        WriteRegDword(reg, where.root, path, where.value, *n);
    } else if (auto* s = std::get_if<std::string>(&value)) {
        WriteRegString(reg, where.root, path, where.value, *s);
    } else {
        WriteRegBinary(reg, where.root, path, where.value, std::get<ByteArray>(value));
    }
}

}  // namespace

RegLocation Fixed(const std::string& key, const std::string& value, RegKey root) {
    return RegLocation{root, KeyBase::Fixed, key, value};
}
RegLocation AtAdapter(const std::string& sub, const std::string& value) {
    return RegLocation{kHkeyLocalMachine, KeyBase::Adapter, sub, value};
}
RegLocation AtBinding(const std::string& value) { return RegLocation{kHkeyLocalMachine, KeyBase::Binding, "", value}; }

// Capital P under an adapter, small p under the protocols: both as Windows itself writes them.
std::string AdapterNdi(const std::string& param) { return "\\Ndi\\Params\\" + param; }
std::string NwlinkParams(const std::string& param) { return kNwlinkKey + "\\Ndi\\params\\" + param; }
std::string NetbeuiParams(const std::string& param) { return kNetbeuiKey + "\\Ndi\\params\\" + param; }

std::optional<AccessorSet> OptimizerAccessorSet(WindowsFamily family) {
    switch (family) {
        case WindowsFamily::WinXP:
        case WindowsFamily::Win2K:
        case WindowsFamily::WinNT: return AccessorSet::Nt;
        case WindowsFamily::WinMe: return AccessorSet::Win95;
        case WindowsFamily::Win98: return AccessorSet::Win98;
        case WindowsFamily::Win95: return AccessorSet::Win95;
        case WindowsFamily::Unknown: break;
    }
    return std::nullopt;
}

std::optional<AccessorSet> BackupAccessorSet(WindowsFamily family) {
    if (family == WindowsFamily::WinMe) return AccessorSet::Win98;
    return OptimizerAccessorSet(family);
}

std::string KeyPath(const RegLocation& where, const AdapterTarget& target) {
    switch (where.base) {
        case KeyBase::Adapter: return kClassNetKey + target.adapterKey + where.path;
        case KeyBase::Binding: return kClassKey + target.bindingKey + where.path;
        case KeyBase::Fixed: break;
    }
    return where.path;
}

std::span<const CatalogueEntry> Catalogue() { return Table(); }

std::span<const CatalogueEntry> EntriesOf(AccessorSet set) {
    std::span<const CatalogueEntry> all = Table();
    return set == AccessorSet::Nt ? all.subspan(k9xEntryCount) : all.first(k9xEntryCount);
}

const CatalogueEntry& Entry(EntryId id) { return Table().at(static_cast<std::size_t>(id)); }

const CatalogueEntry* FindEntry(std::string_view name) {
    for (const auto& e : Table()) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

bool InSet(const CatalogueEntry& entry, AccessorSet set) { return entry.nt == (set == AccessorSet::Nt); }

ValueKind KindIn(const CatalogueEntry& entry, AccessorSet set) {
    switch (entry.kind) {
        case KindRule::Text: return ValueKind::Text;
        case KindRule::Dword: return ValueKind::Dword;
        case KindRule::Binary: return ValueKind::Binary;
        case KindRule::DwordOrText: return set == AccessorSet::Win98 ? ValueKind::Text : ValueKind::Dword;
    }
    return ValueKind::Text;
}

bool IsAdapterEntry(const CatalogueEntry& entry) { return entry.main.base == KeyBase::Adapter; }

std::optional<EntryValue> ConvertValue(const EntryValue& value, ValueKind kind) {
    if (auto* n = std::get_if<std::int32_t>(&value)) {
        switch (kind) {
            case ValueKind::Dword: return *n;
            case ValueKind::Text: return std::to_string(*n);
            case ValueKind::Binary:
                if (*n < 0 || *n > 255) return std::nullopt;
                return ByteArray{static_cast<std::uint8_t>(*n)};
        }
    } else if (auto* s = std::get_if<std::string>(&value)) {
        switch (kind) {
            case ValueKind::Text: return *s;
            case ValueKind::Dword:
                if (auto n = ParseDecimal(*s)) return *n;
                return std::nullopt;
            case ValueKind::Binary: return std::nullopt;
        }
    } else {
        const auto& bytes = std::get<ByteArray>(value);
        if (bytes.empty()) return std::nullopt;
        switch (kind) {
            case ValueKind::Binary: return bytes;
            case ValueKind::Dword: return std::int32_t(bytes[0]);
            case ValueKind::Text: return std::to_string(bytes[0]);
        }
    }
    return std::nullopt;
}

EntryValue ReadEntry(Registry& reg, const CatalogueEntry& entry, AccessorSet set, const AdapterTarget& target) {
    const std::string path = KeyPath(entry.main, target);
    switch (KindIn(entry, set)) {
        case ValueKind::Text: return ReadRegString(reg, entry.main.root, path, entry.main.value, "");
        case ValueKind::Dword: return ReadRegDword(reg, entry.main.root, path, entry.main.value, 0);
        case ValueKind::Binary:
            if (auto bytes = ReadRegBinary(reg, entry.main.root, path, entry.main.value)) return *bytes;
            return std::int32_t{0};
    }
    return std::string();
}

void WriteEntry(Registry& reg, const CatalogueEntry& entry, AccessorSet set, const AdapterTarget& target,
                const EntryValue& value) {
    if (auto converted = ConvertValue(value, KindIn(entry, set))) WriteEntryAs(reg, entry, target, *converted);
}

void WriteEntryAs(Registry& reg, const CatalogueEntry& entry, const AdapterTarget& target, const EntryValue& value) {
    const auto* bytes = std::get_if<ByteArray>(&value);
    if (bytes && bytes->empty()) return;  // no first byte for the binding mirror
    WriteValueAt(reg, entry.main, target, value);
    for (const auto& mirror : entry.mirrors) {
        if (mirror.form == MirrorForm::FirstByteAsDword && bytes) {
            WriteValueAt(reg, mirror.where, target, std::int32_t((*bytes)[0]));
        } else {
            WriteValueAt(reg, mirror.where, target, value);
        }
    }
}

void DeleteAt(Registry& reg, const RegLocation& where, const AdapterTarget& target) {
    DeleteRegValue(reg, where.root, KeyPath(where, target), where.value);
}

void DeleteEntry(Registry& reg, const CatalogueEntry& entry, const AdapterTarget& target) {
    for (const auto& where : entry.deletionSet) DeleteAt(reg, where, target);
}

}  // namespace zv
