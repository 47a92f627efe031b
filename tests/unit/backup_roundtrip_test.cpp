// Backup, then anything the program can do to the values, then restore: every location the
// family's backup covers is back exactly as it was, for thousands of generated states.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <set>

#include "backup/backup_restore.h"
#include "backup/record_format.h"
#include "optimize/presets.h"
#include "platform/memory_registry.h"

#ifdef _WIN32
#include <windows.h>
#include <shlwapi.h>

#include "platform/win32/advapi_registry.h"
#endif

namespace zv {
namespace {

// Cases per 9x family; the NT families, whose cases are far smaller, run three times as many.
// ZV_BACKUP_CASES asks for another count (for a longer run by hand).
int CasesPerFamily() {
    if (const char* env = std::getenv("ZV_BACKUP_CASES")) {
        if (int n = std::atoi(env); n > 0) return n;
    }
#ifdef _WIN32
    return 200;  // natively the sanitizers make each case over ten times slower
#else
    return 80;
#endif
}

struct Location {
    RegKey root;
    std::string path;
    std::string value;
    std::string Name() const {
        return std::string(root == kHkeyCurrentUser ? "HKCU\\" : "HKLM\\") + path + " : \"" + value + "\"";
    }
};

#ifdef _WIN32
// Every place a backup of this format reads, and a restore writes or deletes.
std::vector<Location> Covered(BackupFormat format) {
    std::vector<Location> list;
    std::set<std::string> seen;
    auto add = [&](const RegLocation& where, const AdapterTarget& target) {
        Location loc{where.root, KeyPath(where, target), where.value};
        if (seen.insert(loc.Name()).second) list.push_back(loc);
    };
    auto addEntry = [&](const CatalogueEntry& e, const AdapterTarget& target) {
        add(e.main, target);
        for (const auto& m : e.mirrors) add(m.where, target);
        for (const auto& d : e.deletionSet) add(d, target);
    };
    if (format.layout == BackupLayout::kNt) {
        for (const auto& e : EntriesOf(AccessorSet::Nt)) addEntry(e, {});
        return list;
    }
    for (const auto& slot : SlotTable()) {
        for (EntryId id : k9xAdapterEntries) addEntry(Entry(id), slot);
    }
    for (EntryId id : k9xGlobalEntries) addEntry(Entry(id), {});
    return list;
}
#endif

std::optional<RegValue> Raw(Registry& reg, const Location& at) {
    RegKey key = 0;
    if (reg.OpenKey(at.root, at.path, &key) != kErrorSuccess) return std::nullopt;
    std::optional<RegValue> out;
    RegValue v;
    std::uint32_t size = 0;
    if (reg.QueryValue(key, at.value, &v.type, nullptr, &size) == kErrorSuccess) {
        v.data.assign(size, 0);
        if (size == 0 || reg.QueryValue(key, at.value, &v.type, v.data.data(), &size) == kErrorSuccess) {
            v.data.resize(size);
            out = v;
        }
    }
    reg.CloseKey(key);
    return out;
}

void PutRaw(Registry& reg, const Location& at, const std::optional<RegValue>& v) {
    RegKey key = 0;
    if (!v) {
        if (reg.OpenKey(at.root, at.path, &key) == kErrorSuccess) {
            reg.DeleteValue(key, at.value);
            reg.CloseKey(key);
        }
        return;
    }
    if (reg.CreateKey(at.root, at.path, &key) != kErrorSuccess) return;
    std::vector<std::uint8_t> data = v->data;
    data.push_back(0);  // text data ends in a NUL beyond its size, as a C string does
    reg.SetValue(key, at.value, v->type, data.data(), static_cast<std::uint32_t>(v->data.size()));
    reg.CloseKey(key);
}

#ifdef _WIN32
using Snapshot = std::vector<std::optional<RegValue>>;

Snapshot Take(Registry& reg, const std::vector<Location>& where) {
    Snapshot s;
    for (const auto& at : where) s.push_back(Raw(reg, at));
    return s;
}
#endif

std::string Show(const std::optional<RegValue>& v) {
    if (!v) return "absent";
    std::string out = "type " + std::to_string(v->type) + " =";
    for (auto b : v->data) out += " " + std::to_string(b);
    return out;
}

// Random values of the kinds a location can hold.
class Generator {
public:
    explicit Generator(std::uint32_t seed) : rng_(seed) {}

    int Below(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }

    std::int32_t Number() {
        switch (Below(6)) {
            case 0: return 0;
            case 1: return 1;
            case 2: return -1;
            case 3: return Below(2) ? INT32_MIN : INT32_MAX;
            default: return static_cast<std::int32_t>(rng_());
        }
    }

    std::string Text(std::size_t longest) {
        switch (Below(5)) {
            case 0: return "";
            case 1: return std::to_string(Below(100000));
            case 2: return std::string(longest, char('0' + Below(10)));
            default: {
                std::string s(1 + Below(30), ' ');
                for (auto& c : s) c = static_cast<char>(1 + Below(255));  // any ANSI byte but NUL
                return s;
            }
        }
    }

    // Nothing (absent), a number or a text.
    std::optional<EntryValue> Value(bool slownet, std::size_t longest = kMaxTaggedText) {
        int pick = Below(4);
        if (pick == 0) return std::nullopt;
        if (slownet) return ByteArray{static_cast<std::uint8_t>(Below(256))};
        if (pick == 1) return Number();
        return Text(longest);
    }

    std::mt19937& rng() { return rng_; }

private:
    std::mt19937 rng_;
};

void Put(Registry& reg, const CatalogueEntry& e, const AdapterTarget& target, const std::optional<EntryValue>& v) {
    if (v) {
        WriteEntryAs(reg, e, target, *v);
    } else {
        DeleteEntry(reg, e, target);
    }
}

// Every covered value at random; mirrors as their writers or deletion sets leave them.
void RandomState(Registry& reg, BackupFormat format, Generator& g) {
    if (format.layout == BackupLayout::kNt) {
        for (const auto& e : EntriesOf(AccessorSet::Nt)) Put(reg, e, {}, g.Value(false));
        return;
    }
    for (const auto& slot : SlotTable()) {
        for (EntryId id : k9xAdapterEntries) Put(reg, Entry(id), slot, g.Value(id == EntryId::AdapterSLOWNET));
    }
    // The MSTCP DefaultMSS need not follow any slot (the optimizer may have set it for one adapter).
    const RegLocation& mss = SharedDefaultMssLocation();
    if (auto v = g.Value(false, kMaxTaggedText - kSharedMssOffset)) {
        if (auto* n = std::get_if<std::int32_t>(&*v)) {
            WriteRegDword(reg, mss.root, mss.path, mss.value, *n);
        } else {
            WriteRegString(reg, mss.root, mss.path, mss.value, std::get<std::string>(*v));
        }
    } else {
        DeleteAt(reg, mss, {});
    }
    for (EntryId id : k9xGlobalEntries) Put(reg, Entry(id), {}, g.Value(false));
}

// Presets, resets, writes of either set, deletions, and values of other types at main locations.
void Disturb(Registry& reg, BackupFormat format, Generator& g, std::string& trace) {
    const bool nt = format.layout == BackupLayout::kNt;
    std::vector<const Preset*> presets;
    for (const auto& p : Presets()) {
        if ((p.set == AccessorSet::Nt) == nt) presets.push_back(&p);
    }
    auto entries = EntriesOf(nt ? AccessorSet::Nt : AccessorSet::Win95);
    const auto slots = SlotTable();
    int steps = 1 + g.Below(8);
    for (int step = 0; step < steps; ++step) {
        const AdapterTarget& slot = slots[g.Below(static_cast<int>(slots.size()))];
        const CatalogueEntry& e = entries[g.Below(static_cast<int>(entries.size()))];
        switch (g.Below(6)) {
            case 0: {
                const Preset* p = presets[g.Below(static_cast<int>(presets.size()))];
                RunPreset(reg, *p, slot);
                trace += " preset " + p->name;
                break;
            }
            case 1:
                if (nt) {
                    ResetNt(reg);
                } else {
                    Reset9x(reg, slot);
                }
                trace += " reset";
                break;
            case 2: {
                AccessorSet set = nt ? AccessorSet::Nt : (g.Below(2) ? AccessorSet::Win95 : AccessorSet::Win98);
                auto v = g.Value(e.kind == KindRule::Binary);
                if (v) WriteEntry(reg, e, set, slot, *v);
                trace += " write " + e.name;
                break;
            }
            case 3:
                DeleteEntry(reg, e, slot);
                trace += " delete " + e.name;
                break;
            default: {
                // A value of any type where the entry's reader looks.
                static const std::uint32_t types[] = {kRegSz, kRegDword, kRegBinary, kRegExpandSz, kRegMultiSz};
                RegValue v{types[g.Below(5)], {}};
                v.data.resize(g.Below(9));
                for (auto& b : v.data) b = static_cast<std::uint8_t>(g.Below(256));
                PutRaw(reg, Location{e.main.root, KeyPath(e.main, slot), e.main.value}, v);
                trace += " raw " + e.name;
                break;
            }
        }
    }
}

// Each mirror holds what its main location holds (SLOWNET's binding mirror: the first byte's number).
void ExpectMirrorsAgree(Registry& reg, BackupFormat format, const std::string& trace) {
    auto check = [&](const CatalogueEntry& e, const AdapterTarget& target) {
        auto main = Raw(reg, Location{e.main.root, KeyPath(e.main, target), e.main.value});
        for (const auto& m : e.mirrors) {
            if (e.id == EntryId::AdapterMSS && m.where.base == KeyBase::Fixed) continue;  // shared by all slots
            Location at{m.where.root, KeyPath(m.where, target), m.where.value};
            std::optional<RegValue> want = main;
            if (main && m.form == MirrorForm::FirstByteAsDword) {
                want = RegValue{kRegDword, {main->data[0], 0, 0, 0}};
            }
            ASSERT_EQ(Show(Raw(reg, at)), Show(want)) << at.Name() << " mirrors " << e.name << trace;
        }
    };
    if (format.layout == BackupLayout::kNt) {
        for (const auto& e : EntriesOf(AccessorSet::Nt)) check(e, {});
        return;
    }
    for (const auto& slot : SlotTable()) {
        for (EntryId id : k9xAdapterEntries) check(Entry(id), slot);
    }
    for (EntryId id : k9xGlobalEntries) check(Entry(id), {});
}

// The values only (keys made on the way may stay), one per line.
std::string Values(const MemoryRegistry& reg) {
    std::string dump = reg.Dump(), out;
    for (std::size_t at = 0; at < dump.size();) {
        std::size_t end = dump.find('\n', at);
        if (end == std::string::npos) end = dump.size();
        if (dump.substr(at, end - at).find(" : \"") != std::string::npos) out.append(dump, at, end - at + 1);
        at = end + 1;
    }
    return out;
}

// One case after its random state: backup, disturbance, restore. The comparison is the caller's.
std::string BackupDisturbRestore(Registry& reg, WindowsFamily family, Generator& g, std::uint32_t seed) {
    BackupFormat format = *BackupFormatFor(family);
    BackupResult backup = TakeBackup(reg, family);
    EXPECT_TRUE(backup.ok()) << backup.message << " seed " << seed;
    std::string trace = " (seed " + std::to_string(seed) + ":";
    Disturb(reg, format, g, trace);
    trace += ")";
    RestoreResult restored = RestoreBackup(reg, family, backup.bytes);
    EXPECT_TRUE(restored.ok()) << restored.message << trace;
    return trace;
}

struct FamilyCase {
    WindowsFamily family;
    const char* name;
};

class BackupRoundTrip : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(BackupRoundTrip, BringsEveryValueBack) {
    const BackupFormat format = *BackupFormatFor(GetParam().family);
    const int cases = format.layout == BackupLayout::kNt ? CasesPerFamily() * 10 / 3 : CasesPerFamily();
    for (int i = 0; i < cases; ++i) {
        const auto seed = 1000u * static_cast<std::uint32_t>(GetParam().family) + static_cast<std::uint32_t>(i);
        MemoryRegistry work;
        // The state the generator leaves holds only covered values: all of them must come back.
        Generator g(seed);
        RandomState(work, format, g);
        const std::string before = Values(work);
        const std::string trace = BackupDisturbRestore(work, GetParam().family, g, seed);
        ASSERT_EQ(Values(work), before) << trace;
        if (i % 10 == 0) ExpectMirrorsAgree(work, format, trace);
        ASSERT_FALSE(HasFailure()) << trace;
        ASSERT_EQ(work.OpenHandleCount(), 0u);
    }
}

#ifdef _WIN32
// A few cases on the real registry; whatever was there before is put back afterwards.
TEST_P(BackupRoundTrip, BringsEveryValueBackInTheRealRegistry) {
    BackupFormat format = *BackupFormatFor(GetParam().family);
    const auto covered = Covered(format);
    AdvapiRegistry reg;
    const Snapshot original = Take(reg, covered);
    // The keys (and their parents) the test may create that are not there yet: removed afterwards.
    std::set<std::string> missing;
    for (const auto& at : covered) {
        for (std::string key = at.path;; key.resize(key.rfind('\\'))) {
            HKEY probe = nullptr;
            if (RegOpenKeyA(HKEY(at.root), key.c_str(), &probe) == ERROR_SUCCESS) {
                RegCloseKey(probe);
                break;
            }
            missing.insert(std::to_string(at.root) + "|" + key);
            if (key.find('\\') == std::string::npos) break;
        }
    }
    for (int i = 0; i < 2 && !HasFailure(); ++i) {
        const auto seed = 7000u + 10u * static_cast<std::uint32_t>(GetParam().family) + static_cast<std::uint32_t>(i);
        Generator g(seed);
        RandomState(reg, format, g);
        const Snapshot before = Take(reg, covered);
        const std::string trace = BackupDisturbRestore(reg, GetParam().family, g, seed);
        const Snapshot after = Take(reg, covered);
        for (std::size_t k = 0; k < covered.size(); ++k) {
            EXPECT_EQ(Show(after[k]), Show(before[k])) << covered[k].Name() << trace;
        }
        ExpectMirrorsAgree(reg, format, trace);
    }
    for (std::size_t i = 0; i < covered.size(); ++i) PutRaw(reg, covered[i], original[i]);
    for (const auto& entry : missing) {
        const auto bar = entry.find('|');
        SHDeleteKeyA(HKEY(std::stoul(entry.substr(0, bar))), entry.substr(bar + 1).c_str());
    }
}
#endif

INSTANTIATE_TEST_SUITE_P(SixFamilies, BackupRoundTrip,
                         ::testing::Values(FamilyCase{WindowsFamily::Win95, "Win95"},
                                           FamilyCase{WindowsFamily::Win98, "Win98"},
                                           FamilyCase{WindowsFamily::WinMe, "WinMe"},
                                           FamilyCase{WindowsFamily::WinNT, "WinNT"},
                                           FamilyCase{WindowsFamily::Win2K, "Win2K"},
                                           FamilyCase{WindowsFamily::WinXP, "WinXP"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zv
