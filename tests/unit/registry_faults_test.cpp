// A fault injected into each registry call that writes an Optimize, an Apply and a Restore in turn, as
// the program writes them (the change set planned on an overlay): nothing crashes, every refused change is
// counted, and the user hears of it instead of the restart notice; and what the registry answers for
// "not there" on each family is no refusal, nor keeps a preview from making the key.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <sstream>

#include "app/custom_page.h"
#include "app/optimize_run.h"
#include "app/progress.h"
#include "backup/backup_restore.h"
#include "backup/saved_file_commands.h"
#include "optimize/custom.h"
#include "platform/change_set.h"
#include "platform/registry_helpers.h"
#include "unit/backup_support.h"
#include "unit/family_query.h"
#include "unit/tuning_support.h"
#include "app/safe_changes.h"
#include "writerun/overlay_registry.h"
#include "writerun/write_run.h"

namespace zv {
namespace {

WizardChoice DefaultAdapter(int connection, int option) {
    WizardChoice c;
    c.adapterText = kDefaultAdapter;
    c.adapterIndex = 0;
    c.connectionIndex = connection;
    if (option >= 1 && option <= 4) c.options[static_cast<std::size_t>(option - 1)] = true;
    return c;
}

// What the user is shown after the run: the count and the text instead of the restart notice.
struct Seen {
    unsigned long refused = 0;
    std::string message;  // empty: the restart notice (Optimize) or nothing more (Apply, Restore)
};

// A run as the program makes it: planned on an overlay, then its change set written.
struct Scenario {
    const char* what;
    std::function<void(MemoryRegistry&)> seed;
    WriteRun run;
    std::function<std::string(unsigned long refused)> message;
    const char* says;  // what the message says after the count
};

CustomSelections EveryEditorSet() {
    CustomSelections s = NoSelections();
    // Odd editors write their first item, even ones go back to "Default".
    for (int n = 1; n <= kCustomEditorCount; ++n) s[static_cast<std::size_t>(n - 1)] = n % 2;
    return s;
}

CustomSelections EveryEditorWriting() {
    CustomSelections s = NoSelections();
    s.fill(1);
    return s;
}

std::vector<Scenario> Scenarios() {
    static const DiscoveredAdapters kNone;
    const COpSysInfo win98(zvtest::FamilyQuery(WindowsFamily::Win98));
    // The backup of a registry the worst-case Optimize has filled.
    MemoryRegistry filled;
    RunOptimize(filled, win98, DefaultAdapter(kLan, 3), kNone);
    const std::vector<std::uint8_t> full = TakeBackup(filled, WindowsFamily::Win98).bytes;
    return {
        {"Optimize, Default Adapter, Windows 98, option #3",
         [win98](MemoryRegistry& reg) { RunOptimize(reg, win98, DefaultAdapter(kPppoe, 3), kNone); },
         OptimizeRun(win98, DefaultAdapter(kLan, 3), kNone),
         [](unsigned long refused) {
             const RunEndNotice notice = EndOfOptimizeRun(refused);
             EXPECT_EQ(notice.restartNotice, notice.message.empty());
             return notice.message;
         },
         "could not be changed."},
        {"Apply, all 35 editors, Default Adapter, Windows 98",
         [](MemoryRegistry& reg) {
             ApplyCustom(reg, WindowsFamily::Win98, EveryEditorWriting(), {kDefaultAdapter, 0}, kNone);
         },
         ApplyRun(WindowsFamily::Win98, EveryEditorSet(), {kDefaultAdapter, 0}, kNone), EndOfApplyRunMessage,
         "could not be changed."},
        {"Restore of a full Windows 98 backup",
         [win98](MemoryRegistry& reg) { RunOptimize(reg, win98, DefaultAdapter(kDialUp, 1), kNone); },
         RestoreRun(FamilyOf(win98), "full", full),
         [](unsigned long refused) { return refused ? RefusedRestoreMessage(refused) : std::string(); },
         "could not be restored."},
    };
}

// The plan on the registry as it is, then the change set written: the faults meet only the writing.
ChangeSet Plan(MemoryRegistry& reg, const Scenario& s) {
    std::string refused;
    ChangeSet changes = PlanChanges(reg, s.run, &refused);
    EXPECT_EQ(refused, "") << s.what;
    reg.ResetFailedChanges();
    return changes;
}

Seen Write(MemoryRegistry& reg, const Scenario& s, const ChangeSet& changes) {
    ApplyChangeSet(reg, changes);
    return Seen{reg.FailedChanges(), s.message(reg.FailedChanges())};
}

// Values that differ between two dumps, in either direction.
std::size_t DifferingLines(const std::string& a, const std::string& b) {
    auto lines = [](const std::string& text) {
        std::multiset<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) out.insert(line);
        return out;
    };
    const auto la = lines(a), lb = lines(b);
    std::size_t n = 0;
    for (const auto& l : la) n += lb.count(l) == 0;
    for (const auto& l : lb) n += la.count(l) == 0;
    return n;
}

// For each kind of call, writing r refuses the r-th call of that kind and every third after it, so that
// across the three writings every call is refused once. A refused call never keeps another call of its
// kind from being made, and no helper call makes two of one kind. Every refused call but a close is
// a change that did not happen.
TEST(RegistryFaults, EveryRefusedCallIsCountedAndShown) {
    constexpr unsigned long kPeriod = 3;
    const RegCall kinds[] = {RegCall::Open, RegCall::Create, RegCall::Query, RegCall::Set,
                             RegCall::Delete, RegCall::Enum,   RegCall::Close};
    std::set<RegCall> met;
    for (const Scenario& s : Scenarios()) {
        MemoryRegistry clean;
        s.seed(clean);
        const ChangeSet cleanChanges = Plan(clean, s);
        std::array<unsigned long, 8> before{};
        for (RegCall kind : kinds) before[std::size_t(kind)] = clean.Calls(kind);
        EXPECT_EQ(Write(clean, s, cleanChanges).refused, 0u) << s.what;
        const std::string wanted = clean.Dump();

        for (RegCall kind : kinds) {
            const unsigned long made = clean.Calls(kind) - before[std::size_t(kind)];
            // Writing a change set reads nothing.
            if (kind == RegCall::Query || kind == RegCall::Enum) EXPECT_EQ(made, 0u) << s.what << ", kind " << int(kind);
            if (made) met.insert(kind);
            unsigned long refusedInAll = 0;
            for (unsigned long r = 1; r <= std::min(kPeriod, made); ++r) {
                SCOPED_TRACE(std::string(s.what) + ", kind " + std::to_string(int(kind)) + ", run " + std::to_string(r));
                MemoryRegistry reg;
                s.seed(reg);
                const ChangeSet changes = Plan(reg, s);
                reg.RefuseCalls(kind, r, kPeriod);
                const Seen seen = Write(reg, s, changes);
                refusedInAll += reg.RefusedCalls();
                if (kind == RegCall::Close) {
                    // The changes were made; only the keys stay open.
                    EXPECT_EQ(seen.refused, 0u);
                    EXPECT_EQ(seen.message, "");
                    EXPECT_EQ(reg.Dump(), wanted);
                    EXPECT_EQ(reg.OpenHandleCount(), reg.RefusedCalls());
                    continue;
                }
                EXPECT_EQ(seen.refused, reg.RefusedCalls());
                const std::string count =
                    std::to_string(seen.refused) + (seen.refused == 1 ? " setting " : " settings ") + s.says;
                EXPECT_EQ(seen.message.rfind(count, 0), 0u) << seen.message;
                // Each refused change leaves at most its old value and misses its new one (or its key).
                EXPECT_LE(DifferingLines(reg.Dump(), wanted), 2 * seen.refused);
                EXPECT_EQ(reg.OpenHandleCount(), 0u);
            }
            EXPECT_EQ(refusedInAll, made) << s.what << ", kind " << int(kind) << ": not every call was refused";
        }
    }
    EXPECT_EQ(met.size(), 5u) << "every kind of call that writes was refused somewhere";
}

TEST(RegistryFaults, DeletingCountsEveryCodeButThoseForNothingThere) {
    const struct {
        long code;
        bool refused;
    } codes[] = {{kErrorFileNotFound, false}, {kErrorPathNotFound, false}, {kErrorBadKey, false},
                 {kErrorCantOpen, false},     {kErrorCantRead, false},     {kErrorKeyDeleted, false},
                 {kErrorAccessDenied, true},  {kErrorInvalidHandle, true}, {1009 /* ERROR_BADDB */, true},
                 {1016 /* ERROR_REGISTRY_IO_FAILED */, true}};
    for (const auto& c : codes) {
        for (RegCall call : {RegCall::Open, RegCall::Delete}) {
            MemoryRegistry reg;
            WriteRegDword(reg, kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL", 64);
            reg.ResetFailedChanges();
            reg.RefuseCalls(call, 1, 0, c.code);
            DeleteRegValue(reg, kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL");
            EXPECT_EQ(reg.FailedChanges(), c.refused ? 1u : 0u) << "code " << c.code << " on call " << int(call);
        }
    }
}

TEST(RegistryFaults, ResettingAbsentSlotsOn9xReportsNothingRefused) {
    MemoryRegistry reg;
    reg.SetFamily(RegistryFamily::Win9x);
    // Only slot 0000 exists, with one value; the ten others and most values are missing.
    WriteRegString(reg, kHkeyLocalMachine, zvtest::kNet + "0000", "IPMTU", "1500");
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(kHkeyLocalMachine, zvtest::kNet + "0005", &key), kErrorCantOpen) << "not answering as 9x";
    const COpSysInfo win98(zvtest::FamilyQuery(WindowsFamily::Win98));
    const unsigned long refused =
        RunOptimize(reg, win98, DefaultAdapter(kWindowsDefaults, 1), DiscoveredAdapters{});
    EXPECT_EQ(refused, 0u);
    EXPECT_TRUE(EndOfOptimizeRun(refused).restartNotice);
    EXPECT_FALSE(reg.Get(kHkeyLocalMachine, zvtest::kNet + "0000", "IPMTU"));
    // The write runs' own deleter answers alike, in a missing key and in one that is there.
    PutValue(reg, {kHkeyLocalMachine, zvtest::kNet + "0007", "MaxMTU"}, std::nullopt);
    PutValue(reg, {kHkeyLocalMachine, zvtest::kNet + "0000", "MaxMTU"}, std::nullopt);
    EXPECT_EQ(reg.FailedChanges(), 0u);
}

TEST(RegistryFaults, AnOverlayOn9xMakesTheKeysThatAreNotThere) {
    MemoryRegistry base;
    base.SetFamily(RegistryFamily::Win9x);
    OverlayRegistry overlay(base);
    WriteRegString(overlay, kHkeyLocalMachine, zvtest::kNet + "0005", "IPMTU", "576");
    EXPECT_EQ(overlay.FailedChanges(), 0u);
    EXPECT_EQ(ReadRegString(overlay, kHkeyLocalMachine, zvtest::kNet + "0005", "IPMTU"), "576");
    RegKey key = 0;
    EXPECT_EQ(overlay.OpenKey(kHkeyLocalMachine, zvtest::kNet + "0006", &key), kErrorCantOpen);
}

}  // namespace
}  // namespace zv
