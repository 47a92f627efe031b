// Safe changes: the change set is exactly what the run writes, the write run stops before writing
// when it must, Undo puts every value back, and the custom editors show what is stored now.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <sstream>

#include "app/safe_changes.h"
#include "app/startup.h"
#include "backup/backup_restore.h"
#include "backup_support.h"
#include "family_query.h"
#include "optimize/custom_current.h"
#include "tuning_support.h"
#include "writerun/network_check.h"
#include "writerun/overlay_registry.h"

namespace zv {
namespace {

using zvtest::Bin;
using zvtest::Dw;
using zvtest::Sz;

// Every location the catalogue names (main, mirrors, deletions; all eleven slots) in one of five
// states picked by a fixed sequence: absent (twice as likely), "1500", the number 64, or bytes.
void SeedMixed(Registry& reg, unsigned seed) {
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % 5;
    };
    const std::vector<AdapterTarget> slots = SlotTable();
    for (const CatalogueEntry& entry : Catalogue()) {
        std::vector<RegLocation> places = {entry.main};
        for (const Mirror& m : entry.mirrors) places.push_back(m.where);
        places.insert(places.end(), entry.deletionSet.begin(), entry.deletionSet.end());
        for (const AdapterTarget& target : IsAdapterEntry(entry) ? slots : std::vector<AdapterTarget>{{}}) {
            for (const RegLocation& at : places) {
                const ValueLocation where{at.root, KeyPath(at, target), at.value};
                switch (next()) {
                    case 2: PutValue(reg, where, Sz("1500")); break;
                    case 3: PutValue(reg, where, Dw(64)); break;
                    case 4: PutValue(reg, where, Bin({1, 0, 0, 0})); break;
                    default: break;
                }
            }
        }
    }
}

// Every value, without the program's own settings (which a write run changes by design).
std::string Values(const MemoryRegistry& reg) {
    std::istringstream in(reg.Dump());
    std::string line, out;
    while (std::getline(in, line)) {
        if (line.find(" : \"") != std::string::npos && line.find("Quonibar") == std::string::npos) out += line + "\n";
    }
    return out;
}

WizardChoice Wizard(int connection, int option, const std::string& adapter = kDefaultAdapter) {
    WizardChoice c;
    c.adapterIndex = 0;
    c.adapterText = adapter;
    c.connectionIndex = connection;
    c.connectionText = connection == 4 ? "Windows Defaults" : "Dial-up Modem";
    if (option >= 1 && option <= 4) c.options[static_cast<std::size_t>(option - 1)] = true;
    return c;
}

WriteRun Optimize(WindowsFamily family, int connection, int option) {
    return OptimizeRun(COpSysInfo(zvtest::FamilyQuery(family)), Wizard(connection, option), DiscoveredAdapters{});
}

CustomSelections AllSet(bool someDefaults) {
    CustomSelections s;
    for (int n = 1; n <= kCustomEditorCount; ++n) {
        const int items = static_cast<int>(ListData(CustomEditorFor(n).list).items.size());
        s[static_cast<std::size_t>(n - 1)] = someDefaults && n % 4 == 0 ? 0 : 1 + n % (items - 1);
    }
    return s;
}

// As regedit imports a file of the set: each section makes its key, then its values are set or deleted.
void ImportAsRegedit(Registry& reg, const ChangeSet& file) {
    for (const ValueChange& row : file.rows) {
        RegKey key = 0;
        if (reg.CreateKey(row.where.root, row.where.key, &key) == kErrorSuccess) reg.CloseKey(key);
    }
    ApplyChangeSet(reg, file);
}

TEST(SafeChangesPlan, WritingTheChangeSetGivesExactlyWhatTheRunWrites) {
    // A run on a fresh machine makes the NWLink keys that Combo20's "Default" then empties.
    MemoryRegistry backup;
    SeedMixed(backup, 99);
    const auto restoreFile = TakeBackup(backup, WindowsFamily::Win98).bytes;
    struct Case {
        const char* what;
        unsigned seed;
        WriteRun run;
    };
    const Case cases[] = {
        {"98, Default Adapter, Satellite #3", 1, Optimize(WindowsFamily::Win98, 3, 3)},
        {"Me, Default Adapter, Windows Defaults", 2, Optimize(WindowsFamily::WinMe, 4, 1)},
        {"XP, Lan #3", 3, Optimize(WindowsFamily::WinXP, 1, 3)},
        {"95 Apply, all 35 set", 4, ApplyRun(WindowsFamily::Win95, AllSet(false), {kDefaultAdapter, 0}, {})},
        {"98 Apply, values and defaults", 0, ApplyRun(WindowsFamily::Win98, AllSet(true), {kDefaultAdapter, 0}, {})},
        {"XP Apply, all 35 set", 5, ApplyRun(WindowsFamily::WinXP, AllSet(false), {kDefaultAdapter, 0}, {})},
        {"98 Restore", 6, RestoreRun(WindowsFamily::Win98, "b", restoreFile)},
    };
    for (const Case& c : cases) {
        MemoryRegistry direct, viaRows;
        if (c.seed) {
            SeedMixed(direct, c.seed);
            SeedMixed(viaRows, c.seed);
        }
        const std::string seeded = viaRows.Dump();
        ASSERT_EQ(c.run.plan(direct), "") << c.what;

        ChangeSet changes;
        {
            OverlayRegistry overlay(viaRows);
            ASSERT_EQ(c.run.plan(overlay), "") << c.what;
            changes = overlay.Changes();
        }
        EXPECT_EQ(viaRows.Dump(), seeded) << c.what << ": working out the changes wrote something";
        EXPECT_EQ(viaRows.OpenHandleCount(), 0u) << c.what;
        EXPECT_FALSE(changes.ChangesNothing()) << c.what;
        ApplyChangeSet(viaRows, changes);
        EXPECT_EQ(viaRows.Dump(), direct.Dump()) << c.what;

        OverlayRegistry again(direct);
        c.run.plan(again);
        const ChangeSet tuned = again.Changes();
        EXPECT_TRUE(tuned.ChangesNothing()) << c.what << ": the same run a second time changes nothing";
        // All values the run writes, taken on the tuned machine, tune one in the state before.
        MemoryRegistry imported;
        if (c.seed) SeedMixed(imported, c.seed);
        ImportAsRegedit(imported, tuned.AllWrites());
        EXPECT_EQ(imported.Dump(), direct.Dump()) << c.what << ": all values the run writes";
    }
}

using zvtest::MemoryFolder;

struct Machine {
    explicit Machine(WindowsFamily f, unsigned seed = 1) : family(f) { SeedMixed(reg, seed); }
    WriteRunContext Context(int second, ReviewChanges review = nullptr) {
        return WriteRunContext{reg, folder, family, LocalTime{2026, 12, 8, 14, 5, second}, std::move(review),
                               "LAB-01", {}};
    }
    WindowsFamily family;
    MemoryRegistry reg;
    MemoryFolder folder;
};

TEST(SafeChangesRun, NothingIsWrittenWhenTheSafetyBackupFailsOrTheReviewIsCancelled) {
    Machine m(WindowsFamily::Win98);
    const std::string before = m.reg.Dump();
    m.folder.refuse = "The disk is full.";
    auto ctx = m.Context(1);
    WriteRunOutcome out = RunWrite(ctx, Optimize(m.family, 0, 2));
    EXPECT_EQ(out.status, WriteRunStatus::BackupFailed);
    EXPECT_NE(out.message.find("nothing has been changed"), std::string::npos) << out.message;
    EXPECT_NE(out.message.find("The disk is full."), std::string::npos);
    EXPECT_EQ(m.reg.Dump(), before);

    m.folder.refuse.clear();
    int asked = 0;
    auto cancel = m.Context(2, [&](const ChangeSet& c, const WriteRun& run) {
        ++asked;
        EXPECT_EQ(run.kind, RunKind::Optimize);
        EXPECT_FALSE(c.ChangesNothing());
        return false;
    });
    EXPECT_EQ(RunWrite(cancel, Optimize(m.family, 0, 2)).status, WriteRunStatus::Cancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(m.reg.Dump(), before);
    EXPECT_TRUE(m.folder.files.empty());

    // With the review switched off the run is not held up.
    WriteReviewChanges(m.reg, false);
    EXPECT_EQ(RunWrite(cancel, Optimize(m.family, 0, 2)).status, WriteRunStatus::Written);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(m.folder.files.size(), 1u);
}

TEST(SafeChangesUndo, OptimizeThenUndoPutsEveryValueBackAndTheUndoCanBeUndone) {
    for (WindowsFamily family : {WindowsFamily::Win98, WindowsFamily::WinXP}) {
        Machine m(family);
        const std::string before = Values(m.reg);
        EXPECT_FALSE(CanUndo(m.reg, m.folder));
        auto first = m.Context(1);
        const WriteRunOutcome optimized = RunWrite(first, Optimize(family, 3, 3));
        ASSERT_TRUE(optimized.Written());
        EXPECT_EQ(optimized.safetyBackup, "Before Optimize 2026-12-08 14.05.01.zsb");
        const std::string after = Values(m.reg);
        ASSERT_NE(after, before);
        ASSERT_TRUE(CanUndo(m.reg, m.folder));

        auto second = m.Context(2);
        const WriteRunOutcome undone = RunUndo(second);
        ASSERT_TRUE(undone.Written()) << undone.message;
        EXPECT_EQ(undone.changes.rows.size(), optimized.changes.rows.size());
        EXPECT_EQ(Values(m.reg), before) << FamilyName(family);

        auto third = m.Context(3);
        ASSERT_TRUE(RunUndo(third).Written());
        EXPECT_EQ(Values(m.reg), after) << FamilyName(family);
    }
}

// The worst run of each kind, cut off at each of its registry calls in turn as a power cut would cut it,
// then started again on what was left. With the run recorded, "Put Back" gives every value, type and
// absence it touches as they were before; without it, they are as before the run or as after it.
TEST(SafeChangesCutOff, PutBackAfterACutAtAnyCallGivesEveryValueFromBefore) {
    const COpSysInfo win98(zvtest::FamilyQuery(WindowsFamily::Win98));
    DiscoveredAdapters two;
    two.instanceNames = {"0000", "0001"};
    two.descriptions = {"Dial-Up Adapter", "Realtek RTL8139"};
    two.bindingKeys = {"NetTrans\\0000", "NetTrans\\0001"};
    MemoryRegistry other;
    SeedMixed(other, 99);
    const auto fullBackup = TakeBackup(other, WindowsFamily::Win98).bytes;
    const WriteRun optimize = OptimizeRun(win98, Wizard(1 /* LAN */, 3), two);
    const struct {
        const char* what;
        bool optimizedBefore;
        std::function<WriteRunOutcome(WriteRunContext&)> run;
    } cases[] = {
        {"98 Optimize, Default Adapter, LAN #3, two adapters", false, [&](auto& c) { return RunWrite(c, optimize); }},
        {"98 Apply, all 35 editors", false,
         [&](auto& c) { return RunWrite(c, ApplyRun(WindowsFamily::Win98, AllSet(true), {kDefaultAdapter, 0}, two)); }},
        {"98 Restore of a full backup", false,
         [&](auto& c) { return RunWrite(c, RestoreRun(WindowsFamily::Win98, "full", fullBackup)); }},
        {"98 Undo of that Optimize", true, [](auto& c) { return RunUndo(c); }},
    };
    const auto context = [](MemoryRegistry& reg, MemoryFolder& folder, int minute) {
        return WriteRunContext{reg, folder, WindowsFamily::Win98, {2026, 12, 9, 10, minute, 0}, nullptr, "LAB-01", {}};
    };
    for (const auto& c : cases) {
        Machine start(WindowsFamily::Win98, 3);
        if (c.optimizedBefore) {
            auto first = start.Context(0);
            ASSERT_TRUE(RunWrite(first, optimize).Written());
        }
        // The whole run: where it writes, and the values there before and after it.
        std::vector<ValueLocation> touched;
        const auto valuesAt = [&touched](const MemoryRegistry& reg) {
            std::vector<std::optional<RegValue>> values;
            for (const ValueLocation& at : touched) values.push_back(reg.Get(at.root, at.key, at.name));
            return values;
        };
        const std::unique_ptr<MemoryRegistry> wholeReg = start.reg.Copy();
        MemoryFolder wholeFolder = start.folder;
        auto wholeContext = context(*wholeReg, wholeFolder, 0);
        const WriteRunOutcome whole = c.run(wholeContext);
        ASSERT_TRUE(whole.Written()) << c.what << ": " << whole.message;
        for (const ValueChange& row : whole.changes.rows) touched.push_back(row.where);
        const auto before = valuesAt(start.reg);
        const auto after = valuesAt(*wholeReg);

        // The run again, watched: at each call, what a cut there would leave is started on. A cut after no
        // registry or file change since the call before ends alike.
        const std::unique_ptr<MemoryRegistry> reg = start.reg.Copy();
        MemoryFolder folder = start.folder;
        unsigned long calls = 0, states = 0, lost = 0;
        bool lastLost = false;
        std::string lastState = "none";
        reg->BeforeEachCall([&] {
            ++calls;
            std::string state = std::to_string(reg->Writes());
            for (const auto& file : folder.files) state += "|" + file.first;
            if (state != lastState) {
                ++states;
                lastState = state;
                const std::unique_ptr<MemoryRegistry> left = reg->Copy();
                MemoryFolder leftFolder = folder;
                const bool record = ReadRecordedRun(*left).has_value();
                if (record) {
                    auto again = context(*left, leftFolder, 5);
                    const WriteRunOutcome putBack = PutBackCutOffRun(again);
                    EXPECT_TRUE(putBack.Written() || putBack.status == WriteRunStatus::NothingToChange) << putBack.message;
                }
                const auto found = valuesAt(*left);
                lastLost = !(found == before || (!record && found == after)) || ReadRecordedRun(*left).has_value();
                if (lastLost && lost < 3) ADD_FAILURE() << c.what << ", cut off at call " << calls;
            }
            lost += lastLost;
        });
        auto watched = context(*reg, folder, 0);
        ASSERT_TRUE(c.run(watched).Written());
        std::cout << c.what << ": cut off at each of " << calls << " calls (" << states
                  << " different states left), lost values after " << lost << "\n";
        EXPECT_EQ(lost, 0u);
        EXPECT_GT(states, whole.changes.rows.size()) << c.what << ": each value written leaves a state of its own";
    }
}

TEST(SafeChangesUndo, AMissingOrDamagedSafetyBackupChangesNothingAndEndsTheOffer) {
    Machine m(WindowsFamily::WinXP);
    auto ctx = m.Context(1);
    EXPECT_EQ(RunUndo(ctx).message, "There is nothing to undo.");
    ASSERT_TRUE(RunWrite(ctx, Optimize(m.family, 0, 1)).Written());
    const std::string name = ReadLastSafetyBackup(m.reg);

    std::vector<std::uint8_t> damaged = m.folder.files[name];
    damaged[20] ^= 1;
    m.folder.files[name] = damaged;
    std::string before = Values(m.reg);
    EXPECT_TRUE(CanUndo(m.reg, m.folder)) << "only reading the file shows the damage";
    EXPECT_EQ(RunWrite(ctx, RestoreSafetyRun(m.family, name, damaged, "")).status, WriteRunStatus::Refused);
    WriteRunOutcome out = RunUndo(ctx);
    EXPECT_EQ(out.status, WriteRunStatus::Refused);
    EXPECT_NE(out.message.find("is damaged"), std::string::npos) << out.message;
    EXPECT_FALSE(CanUndo(m.reg, m.folder));
    EXPECT_EQ(ReadLastSafetyBackup(m.reg), "");
    EXPECT_EQ(Values(m.reg), before);

    // A file that has gone: the same, and the stored name is forgotten.
    auto later = m.Context(2);
    ASSERT_TRUE(RunWrite(later, Optimize(m.family, 0, 5)).Written());
    m.folder.files.erase(ReadLastSafetyBackup(m.reg));
    EXPECT_FALSE(CanUndo(m.reg, m.folder));
    before = Values(m.reg);
    out = RunUndo(later);
    EXPECT_NE(out.message.find("no longer in the backup folder"), std::string::npos) << out.message;
    EXPECT_EQ(ReadLastSafetyBackup(m.reg), "");
    EXPECT_EQ(Values(m.reg), before);

    WriteLastSafetyBackup(m.reg, "mine");  // not a safety backup's name
    m.folder.files["mine"] = {};
    EXPECT_FALSE(CanUndo(m.reg, m.folder));
}

TEST(SafeChangesRun, TheNewestTenAutomaticBackupsAndEveryUserFileAreKept) {
    Machine m(WindowsFamily::Win95);
    m.folder.files["mine.dat"] = {1};
    for (int day = 1; day <= 12; ++day) {
        m.folder.files[SafetyBackupFileName(RunKind::Apply, LocalTime{2026, 11, day, 9, 0, 0}, {})] = {1};
    }
    // A check pending since the restart after the oldest run still needs that run's safety backup.
    const std::string oldest = SafetyBackupFileName(RunKind::Apply, LocalTime{2026, 11, 1, 9, 0, 0}, {});
    StorePendingCheck(m.reg, PendingCheck{"example.org", oldest, {2026, 11, 1, 9, 0, 1}}, "C:\\Z\\zarvelo.exe");
    auto ctx = m.Context(1);
    ASSERT_TRUE(RunWrite(ctx, Optimize(m.family, 1, 4)).Written());
    EXPECT_EQ(m.folder.files.size(), 12u);
    EXPECT_TRUE(m.folder.Exists("mine.dat"));
    EXPECT_TRUE(m.folder.Exists(ReadLastSafetyBackup(m.reg)));
    EXPECT_TRUE(m.folder.Exists(oldest));
    EXPECT_FALSE(m.folder.Exists("Before Apply 2026-11-03 09.00.00.zsb"));
    EXPECT_TRUE(m.folder.Exists("Before Apply 2026-11-04 09.00.00.zsb"));
    // The Restore window asks before it deletes either.
    const std::string last = ReadLastSafetyBackup(m.reg);
    EXPECT_EQ(StillNeededSafetyBackups(m.reg, {"mine", oldest, "Before Apply 2026-11-04 09.00.00.zsb", last}),
              (std::vector<std::string>{oldest, last}));
}

// The Restore window's OK: a safety backup by its file name, a saved backup by its name, refused names
// and a restore that changes nothing.
TEST(SafeChangesRestore, TheRestoreWindowRestoresSafetyAndSavedBackupsAsWriteRuns) {
    Machine m(WindowsFamily::Win98);
    zvtest::FakeFolder window;  // the backup folder as the Restore window reads it
    window.files["mine.dat"] = TakeBackup(m.reg, m.family, "LAB-01").bytes;
    window.files["theirs.dat"] = TakeBackup(m.reg, m.family, "LAB-02").bytes;
    window.files["older.dat"] = TakeBackup(m.reg, m.family).bytes;  // says no computer
    auto optimize = m.Context(1);
    const WriteRunOutcome optimized = RunWrite(optimize, Optimize(m.family, 3, 3));
    ASSERT_TRUE(optimized.Written());
    window.files[optimized.safetyBackup] = m.folder.files.at(optimized.safetyBackup);
    const std::string theirSafety = "Before Apply 2026-12-01 09.00.00.zsb";
    SafetyBackup their = *ParseSafetyBackup(window.files[optimized.safetyBackup]).backup;
    their.computer = "LAB-02";
    window.files[theirSafety] = EncodeSafetyBackup(their).bytes;

    const struct {
        std::string text;
        bool done, relist, focusName;
        std::string says;  // the start of the message
        int answer = -1;   // to "Restore it on this computer anyway?": -1 not asked, 0 No, 1 Yes
        bool asked = false;
    } cases[] = {
        {"a:b", false, false, true, "A backup name cannot contain"},
        {"missing", false, false, false, "There is no backup named \"missing\""},
        {"mine", true, true, false, ""},
        {optimized.safetyBackup, true, true, false, ""},
        {optimized.safetyBackup, true, false, false, "Nothing needs to change"},
        {"theirs", false, false, false,
         "The backup \"theirs\" was taken on the computer LAB-02, not on this one (LAB-01)."},
        {"theirs", false, false, false, "", 0, true},
        {theirSafety, false, false, false, "", 0, true},
        {"theirs", true, true, false, "", 1, true},
        {"older", true, false, false, "Nothing needs to change", 0, false},
    };
    for (const auto& c : cases) {
        auto ctx = m.Context(2);
        bool asked = false;
        if (c.answer >= 0) {
            ctx.restoreElsewhere = [&](const std::string& question) {
                asked = true;
                EXPECT_NE(question.find("anyway?"), std::string::npos) << question;
                return c.answer == 1;
            };
        }
        const SavedFileOk ok = RestoreOkRun(ctx, c.text, window);
        EXPECT_EQ(asked, c.asked) << c.text;
        EXPECT_EQ(ok.done, c.done) << c.text;
        EXPECT_EQ(ok.relist, c.relist) << c.text;
        EXPECT_EQ(ok.focusName, c.focusName) << c.text;
        EXPECT_EQ(ok.message.rfind(c.says, 0), 0u) << c.text << ": " << ok.message;
    }
}

TEST(SafeChangesSettings, ReviewIsOnUnlessSwitchedOff) {
    MemoryRegistry reg;
    EXPECT_TRUE(ReadReviewChanges(reg));
    WriteReviewChanges(reg, false);
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kZarveloKey, "ReviewChanges"), Sz("No"));
    EXPECT_FALSE(ReadReviewChanges(reg));
    WriteReviewChanges(reg, true);
    EXPECT_TRUE(ReadReviewChanges(reg));
}

TEST(SafeChangesDisplay, ValuesAreShownAsTheReviewShowsThem) {
    EXPECT_EQ(ValueText(Dw(1500), "not set"), "REG_DWORD 1500 (0x5DC)");
    EXPECT_EQ(ValueText(Sz("576"), "not set"), "REG_SZ \"576\"");
    EXPECT_EQ(ValueText(Bin({1, 0, 0xAB}), "not set"), "REG_BINARY 01 00 AB");
    EXPECT_EQ(ValueText(std::nullopt, "deleted"), "deleted");
    ChangeSet c;
    c.rows = {{{}, std::nullopt, Dw(1)}, {{}, Dw(1), std::nullopt}, {{}, Dw(1), Dw(2)}};
    EXPECT_EQ(ChangeSummary(c), "2 values will be set and 1 deleted.");
}

TEST(SafeChangesCurrent, EditorsShowTheStoredValueOfTheChosenAdapter) {
    MemoryRegistry reg;
    const std::string mstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
    for (const AdapterTarget& slot : SlotTable()) {
        PutValue(reg, {kHkeyLocalMachine, kClassNetKey + slot.adapterKey, "MaxMTU"}, Sz("1500"));
        const RegValue ipmtu = Sz(slot.adapterKey == "0004" ? "576" : "1500");
        PutValue(reg, {kHkeyLocalMachine, kClassNetKey + slot.adapterKey, "IPMTU"}, ipmtu);
    }
    PutValue(reg, {kHkeyLocalMachine, mstcp, "PMTUDiscovery"}, Dw(1));
    PutValue(reg, {kHkeyLocalMachine, mstcp, "SessionKeepAlive"}, Sz("1800000"));
    PutValue(reg, {kHkeyLocalMachine, zvtest::kTcpip, "TcpWindowSize"}, Dw(8576));

    auto now = CurrentEditorTexts(reg, WindowsFamily::WinMe, {kDefaultAdapter, 0}, {});
    EXPECT_EQ(now[0], "Now: differs");  // Combo1, IPMTU: slot 0004 disagrees
    EXPECT_EQ(now[2], "Now: 1500");     // Combo3, MaxMTU
    EXPECT_EQ(now[11], "Now: On");      // Combo12, PMTUDiscovery 1
    EXPECT_EQ(now[15], "Now: 30");      // Combo16, minutes
    EXPECT_EQ(now[10], "Now: not set");

    DiscoveredAdapters one{{"0004"}, {"Card"}, {"NetTrans\\0004"}};
    EXPECT_EQ(CurrentEditorTexts(reg, WindowsFamily::Win98, {"Card", 0}, one)[0], "Now: 576");

    now = CurrentEditorTexts(reg, WindowsFamily::WinXP, {kDefaultAdapter, 0}, {});
    EXPECT_EQ(now[0], "") << "not written on the NT family";
    EXPECT_EQ(now[1], "Now: 8576");
}

}  // namespace
}  // namespace zv
