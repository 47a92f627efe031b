// The parameter catalogue: every tunable networking value, where it lives, its mirrors and kinds.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/opsysinfo.h"
#include "platform/registry.h"
#include "platform/registry_helpers.h"
#include "tuning/adapters.h"

namespace zv {

// The 9x entries exist in two sets that differ only in the kind of the twelve "either" entries;
// the NT set holds the nine Tcpip entries.
enum class AccessorSet { Win95, Win98, Nt };

// Optimizer and custom editor: Me takes the Win95 set. Nothing for an unknown family.
std::optional<AccessorSet> OptimizerAccessorSet(WindowsFamily family);
// Backup and restore: Me takes the Win98 set.
std::optional<AccessorSet> BackupAccessorSet(WindowsFamily family);

enum class ValueKind { Text, Dword, Binary };

// Every entry, 9x entries first, in catalogue order.
enum class EntryId : int {
    AdapterIPMTU,
    AdapterIPXHeaderCompression,
    AdapterLogging,
    AdapterMaxMSS,
    AdapterMaxMTU,
    AdapterMSS,
    AdapterPointToPointIP,
    AdapterSLOWNET,
    MstcpBSDUrgent,
    MstcpDefaultRcvWindow,
    MstcpDefaultTTL,
    MstcpLocalCopyMade,
    MstcpPMTUAutoDetection,
    MstcpPMTUBlackHoleDetect,
    MstcpPMTUBlackHoleEnabled,
    MstcpPMTUDiscovery,
    MstcpSackOpts,
    MstcpSessionKeepAlive,
    MstcpTcp1323Opts,
    MstcpTcpUseRFC1122UrgentPointer,
    MstcpMaxDupAcks,
    NWLinkCachesize,
    NWLinkForceevenDefault,
    NWLinkMaxconnectDefault,
    NWLinkMaxconnectMax,
    NWLinkMaxconnectMin,
    NWLinkMaxsocketsDefault,
    NWLinkMaxsocketsMax,
    NWLinkMaxsocketsMin,
    InternetMaxConnectionsPerServer,
    InternetMaxConnectionsPer1_0Server,
    NetBEUIDefault,
    NetBEUINcbs,
    NetBEUISessions,
    NetBEUINcbsDefault,
    NetBEUINcbsMax,
    NetBEUINcbsMin,
    NetBEUISessionsDefault,
    NetBEUISessionsMax,
    NetBEUISessionsMin,
    TcpipDefaultTTL,
    TcpipEnablePMTUBHDetect,
    TcpipEnablePMTUDiscovery,
    TcpipTcpUseRFC1122UrgentPointer,
    TcpipTcpWindowSize,
    TcpipSessionKeepAlive,
    TcpipTcpMaxDupAcks,
    TcpipSackOpts,
    TcpipTcp1323Opts,
};
inline constexpr int k9xEntryCount = 40;
inline constexpr int kNtEntryCount = 9;
inline constexpr int kEntryCount = k9xEntryCount + kNtEntryCount;

// The key paths the catalogue, the resets and the deletions use.
inline const std::string kClassKey = "System\\CurrentControlSet\\Services\\Class\\";
inline const std::string kClassNetKey = "System\\CurrentControlSet\\Services\\Class\\Net\\";
inline const std::string kMstcpKey = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
inline const std::string kMstcpParametersKey = "System\\CurrentControlSet\\Services\\VxD\\MSTCP\\Parameters";
inline const std::string kNwlinkKey = "System\\CurrentControlSet\\Services\\VxD\\NWLink";
inline const std::string kNetbeuiKey = "System\\CurrentControlSet\\Services\\VxD\\NETBEUI";
inline const std::string kInternetKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline const std::string kTcpipKey = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

// What a location's key path hangs on: nothing (a fixed key), the adapter key
// (Class\Net\<adapter key name>) or the binding key (Class\<binding key>).
enum class KeyBase { Fixed, Adapter, Binding };

struct RegLocation {
    RegKey root = kHkeyLocalMachine;
    KeyBase base = KeyBase::Fixed;
    std::string path;   // the key (Fixed), or what follows the adapter or binding key ("" for itself)
    std::string value;  // value name; empty names the unnamed value
    bool operator==(const RegLocation&) const = default;
};

// Locations as the catalogue and the custom editors name them: a value in a fixed key; in the
// adapter key itself (sub empty) or one of its subkeys; in the binding key.
RegLocation Fixed(const std::string& key, const std::string& value, RegKey root = kHkeyLocalMachine);
RegLocation AtAdapter(const std::string& sub, const std::string& value);
RegLocation AtBinding(const std::string& value);
// The parameter subkeys: "\Ndi\Params\<param>" below an adapter key, and the protocols' own.
std::string AdapterNdi(const std::string& param);
std::string NwlinkParams(const std::string& param);
std::string NetbeuiParams(const std::string& param);

// The full key path of a location for an adapter target (ignored by fixed locations). An empty
// binding key leaves the mirror in "...\Class\" itself.
std::string KeyPath(const RegLocation& where, const AdapterTarget& target);

// How a mirror stores the written value: as it is, or (SLOWNET's binding mirror) the number of
// the first byte as a REG_DWORD.
enum class MirrorForm { Same, FirstByteAsDword };

struct Mirror {
    RegLocation where;
    MirrorForm form = MirrorForm::Same;
};

// Text, number, byte sequence, or the twelve entries that are numbers in the Win95 set and
// decimal text in the Win98 set.
enum class KindRule { Text, Dword, Binary, DwordOrText };

struct CatalogueEntry {
    EntryId id;
    std::string name;   // Group.ValueName or Group.param.field
    bool nt = false;    // NT set; otherwise both 9x sets
    KindRule kind = KindRule::Text;
    RegLocation main;                      // what the reader reads
    std::vector<Mirror> mirrors;           // what the writer also sets, in writing order
    std::vector<RegLocation> deletionSet;  // what goes when the value is to be absent, in order
};

// A value as readers return it and writers take it. A text, a 32-bit number, or a byte sequence;
// the SLOWNET reader gives the number 0 when the value is absent.
using EntryValue = std::variant<std::int32_t, std::string, ByteArray>;

std::span<const CatalogueEntry> Catalogue();
// The 40 entries of a 9x set or the 9 of the NT set.
std::span<const CatalogueEntry> EntriesOf(AccessorSet set);
const CatalogueEntry& Entry(EntryId id);
const CatalogueEntry* FindEntry(std::string_view name);

bool InSet(const CatalogueEntry& entry, AccessorSet set);
ValueKind KindIn(const CatalogueEntry& entry, AccessorSet set);
// Per-adapter entries need an adapter target.
bool IsAdapterEntry(const CatalogueEntry& entry);

// The value converted to a kind: numbers to decimal text and back, a byte sequence to the number
// of its first byte. Nothing when it cannot be converted (text that is no 32-bit decimal number,
// text or an empty sequence to a byte sequence).
std::optional<EntryValue> ConvertValue(const EntryValue& value, ValueKind kind);

// The set's reader: the main location through the helper of the set's kind, with its default
// (empty text, 0, or the number 0 for an absent byte sequence). A value of another type reads as absent.
EntryValue ReadEntry(Registry& reg, const CatalogueEntry& entry, AccessorSet set,
                     const AdapterTarget& target = {});
// The set's writer: converts the value to the set's kind, then writes as WriteEntryAs does.
void WriteEntry(Registry& reg, const CatalogueEntry& entry, AccessorSet set, const AdapterTarget& target,
                const EntryValue& value);
// Writes the value in the kind it holds at the main location and then at every mirror, in order,
// creating missing keys; mirrors keep their own form. An empty byte sequence writes nothing.
void WriteEntryAs(Registry& reg, const CatalogueEntry& entry, const AdapterTarget& target, const EntryValue& value);
// Deletes the entry's deletion set, in order. The Internet entries go under both roots.
void DeleteEntry(Registry& reg, const CatalogueEntry& entry, const AdapterTarget& target = {});
void DeleteAt(Registry& reg, const RegLocation& where, const AdapterTarget& target);

}  // namespace zv
