// The safety backup file: round trip, the reader's refusals, names and which files are kept.
#include <gtest/gtest.h>

#include <functional>

#include "writerun/safety_backup.h"
#include "writerun/safety_names.h"

namespace zv {
namespace {

using Bytes = std::vector<std::uint8_t>;

const LocalTime kWhen{2026, 12, 8, 14, 5, 33};

RegValue Value(std::uint32_t type, std::string bytes) { return RegValue{type, Bytes(bytes.begin(), bytes.end())}; }

TEST(SafetyBackupFile, RoundTripKeepsEveryRecordExactly) {
    SafetyBackup b{RunKind::Restore, "12_7_2026_1", kWhen, WindowsFamily::WinMe, {}, "LAB-07"};
    b.records = {
        {{kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultTTL"},
         Value(kRegSz, {"64\0", 3})},
        {{kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\Class\\Net\\0003", "IPMTU"},
         std::nullopt},
        {{kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
          "MaxConnectionsPerServer"},
         Value(kRegDword, {"\x08\0\0\0", 4})},
        {{kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\VxD\\NWLink\\Ndi\\params\\cachesize", ""},
         Value(kRegBinary, "")},
        {{kHkeyLocalMachine, "Software\\Odd", "text without terminator"}, Value(kRegSz, "abc")},
    };
    const EncodedSafetyBackup file = EncodeSafetyBackup(b);
    ASSERT_TRUE(file.ok()) << file.message;
    // The header as the format note describes it.
    ASSERT_GE(file.bytes.size(), 18u);
    EXPECT_EQ(Bytes(file.bytes.begin(), file.bytes.begin() + 18),
              (Bytes{'Z', 'V', 'S', 'B', 2, 0, 3, 3, 0xEA, 0x07, 12, 8, 14, 5, 33, 0, 11, 0}));
    EXPECT_EQ(Bytes(file.bytes.begin() + 29, file.bytes.begin() + 37), (Bytes{6, 0, 'L', 'A', 'B', '-', '0', '7'}))
        << "the computer after the detail";
    const ParsedSafetyBackup back = ParseSafetyBackup(file.bytes);
    ASSERT_TRUE(back.backup) << back.reason;
    EXPECT_EQ(*back.backup, b);
}

// One record, so that every field sits at a known offset: the detail "D" at 18, no computer (its
// length at 19), the count at 21; then root 25, key length 26, key "Software\Z" 28-37, name length 38,
// name 40, presence 41, type 42, data length 46, data 50-53, checksum 54-57.
Bytes OneRecordFile() {
    SafetyBackup b{RunKind::Optimize, "D", kWhen, WindowsFamily::Win98, {}, {}};
    b.records = {{{kHkeyLocalMachine, "Software\\Z", "v"}, Value(kRegDword, {"\x40\0\0\0", 4})}};
    return EncodeSafetyBackup(b).bytes;
}

void Reseal(Bytes& f) {
    const std::uint32_t crc = SafetyChecksum(std::span(f).first(f.size() - 4));
    for (int i = 0; i < 4; ++i) f[f.size() - 4 + i] = std::uint8_t(crc >> (8 * i));
}

TEST(SafetyBackupFile, DamagedFilesAreRefusedWithTheirReason) {
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        bool reseal;  // the damage keeps a valid checksum, so that the check behind it is reached
        const char* reason;
    };
    const Case cases[] = {
        {"empty", [](Bytes& f) { f.clear(); }, false, "not a Zarvelo safety backup"},
        {"bad magic", [](Bytes& f) { f[0] = 'X'; }, false, "not a Zarvelo safety backup"},
        {"newer version", [](Bytes& f) { f[4] = 3; }, false, "format version 3"},
        {"cut in the header", [](Bytes& f) { f.resize(10); }, false, "truncated"},
        {"cut in a record", [](Bytes& f) { f.resize(45); }, false, "truncated"},
        {"checksum cut", [](Bytes& f) { f.pop_back(); }, false, "truncated"},
        {"bytes after the end", [](Bytes& f) { f.push_back(0); }, false, "goes on after its checksum"},
        {"a changed byte", [](Bytes& f) { f[50] = 0x41; }, false, "checksum does not match"},
        {"key length 0", [](Bytes& f) { f[26] = 0; }, false, "key path of a bad length"},
        {"data length huge", [](Bytes& f) { f[49] = 0x7F; }, false, "value of a bad length"},
        {"computer name too long", [](Bytes& f) { f[19] = 121; }, false, "computer name has a bad length"},
        {"computer name with a control character",
         [](Bytes& f) {
             f[19] = 1;
             f.insert(f.begin() + 21, '\n');
         },
         true, "computer name holds a control character"},
        {"unknown root", [](Bytes& f) { f[25] = 9; }, true, "unknown root key"},
        {"key with an empty name", [](Bytes& f) { f[28] = '\\'; }, true, "empty key name"},
        {"key with a control character", [](Bytes& f) { f[32] = '\t'; }, true, "must not have"},
        {"value name with a NUL", [](Bytes& f) { f[40] = 0; }, true, "must not have"},
        {"not set but holding data", [](Bytes& f) { f[41] = 0; }, true, "marked not set"},
        {"unknown run", [](Bytes& f) { f[6] = 7; }, true, "which run"},
        {"unknown Windows", [](Bytes& f) { f[7] = 0; }, true, "no known version of Windows"},
        {"month 13", [](Bytes& f) { f[10] = 13; }, true, "date and time"},
        {"too large", [](Bytes& f) { f.resize(kMaxSafetyBackupSize + 1); }, false, "too large"},
    };
    for (const Case& c : cases) {
        Bytes f = OneRecordFile();
        ASSERT_EQ(f.size(), 58u);
        ASSERT_TRUE(ParseSafetyBackup(f).backup);
        c.damage(f);
        if (c.reseal) Reseal(f);
        const ParsedSafetyBackup parsed = ParseSafetyBackup(f);
        EXPECT_FALSE(parsed.backup) << c.what;
        EXPECT_NE(parsed.reason.find(c.reason), std::string::npos) << c.what << ": " << parsed.reason;
    }
}

// Files of version 1 have no computer field; they are read as before, taken on no computer in particular.
TEST(SafetyBackupFile, VersionOneFilesAreStillRead) {
    Bytes f = OneRecordFile();
    f[4] = 1;
    f.erase(f.begin() + 19, f.begin() + 21);
    Reseal(f);
    const ParsedSafetyBackup parsed = ParseSafetyBackup(f);
    ASSERT_TRUE(parsed.backup) << parsed.reason;
    EXPECT_EQ(parsed.backup->computer, "");
    EXPECT_EQ(parsed.backup->records.size(), 1u);
}

TEST(SafetyBackupFile, TheWriterRefusesWhatTheReaderWould) {
    SafetyBackup b{RunKind::Apply, "", kWhen, WindowsFamily::WinXP, {{{kHkeyLocalMachine, "\\Lead", "v"}, {}}}, {}};
    EXPECT_FALSE(EncodeSafetyBackup(b).ok());
    b.records[0].where.key = "Fine";
    b.computer = "LAB\t07";
    EXPECT_FALSE(EncodeSafetyBackup(b).ok());
    b.computer = "LAB-07";
    b.family = WindowsFamily::Unknown;
    EXPECT_FALSE(EncodeSafetyBackup(b).ok());
}

TEST(SafetyBackupNames, NamesAreBuiltAndReadBackAndNothingElseIsTakenForOne) {
    EXPECT_EQ(SafetyBackupFileName(RunKind::Optimize, kWhen, {"mine.dat"}), "Before Optimize 2026-12-08 14.05.33.zsb");
    EXPECT_EQ(SafetyBackupFileName(RunKind::Undo, kWhen, {"before undo 2026-12-08 14.05.33.ZSB"}),
              "Before Undo 2026-12-08 14.05.33 (2).zsb");
    for (RunKind kind : {RunKind::Optimize, RunKind::Apply, RunKind::Restore, RunKind::Undo}) {
        const std::string name = SafetyBackupFileName(kind, kWhen, {});
        EXPECT_EQ(ParseSafetyBackupName(name), (SafetyBackupName{kind, kWhen, 1})) << name;
    }
    EXPECT_EQ(ParseSafetyBackupName("Before Apply 2026-12-08 14.05.33 (12).ZSB"),
              (SafetyBackupName{RunKind::Apply, kWhen, 12}));
    EXPECT_EQ(SafetyBackupShownName("Before Apply 2026-12-08 14.05.33.zsb"), "Before Apply 2026-12-08 14.05.33");

    for (const char* other : {
             "Before Optimize 2026-12-08 14.05.33.zsb.dat",  // what the user gets by typing that name
             "Before Optimize 2026-12-08 14.05.33.dat", "notes.zsb", "Before Defrag 2026-12-08 14.05.33.zsb",
             "before Optimize 2026-12-08 14.05.33.zsb", "Before Optimize 2026-13-08 14.05.33.zsb",
             "Before Optimize 2026-12-08 14.05.33 (1).zsb", "Before Optimize 2026-12-08 14.05.33 (02).zsb",
             "Before Optimize 2026-12-08 14.05.33x.zsb", "Before Optimize 2026-12-08 14:05:33.zsb",
             "Before Optimize 2026-12-8 14.05.33.zsb", ".zsb"}) {
        EXPECT_FALSE(IsSafetyBackupName(other)) << other;
    }
}

TEST(SafetyBackupNames, OnlyAutomaticOnesBeyondTheNewestTenGo) {
    std::vector<std::string> entries = {"mine.dat", "notes.zsb", "Before Optimize 2026-12-08 14.05.33.zsb.dat"};
    // Twelve automatic ones, the days out of order, and a second one within the newest second.
    for (int day : {5, 1, 12, 3, 9, 2, 11, 7, 4, 10, 8, 6}) {
        entries.push_back(SafetyBackupFileName(RunKind::Apply, LocalTime{2026, 12, day, 9, 0, 0}, {}));
    }
    entries.push_back("Before Undo 2026-12-12 09.00.00 (2).zsb");
    const auto list = SafetyBackupList(entries);
    ASSERT_EQ(list.size(), 13u);
    EXPECT_EQ(list.front(), "Before Undo 2026-12-12 09.00.00 (2).zsb");
    EXPECT_EQ(list.back(), "Before Apply 2026-12-01 09.00.00.zsb");

    EXPECT_EQ(SafetyBackupsToDelete(entries, {}),
              (std::vector<std::string>{"Before Apply 2026-12-03 09.00.00.zsb", "Before Apply 2026-12-02 09.00.00.zsb",
                                        "Before Apply 2026-12-01 09.00.00.zsb"}));
    // The ones Undo and a pending network check would restore stay, whatever their dates.
    EXPECT_EQ(SafetyBackupsToDelete(entries, {"Before Apply 2026-12-01 09.00.00.zsb"}).size(), 2u);
    EXPECT_EQ(SafetyBackupsToDelete(entries, {"Before Apply 2026-12-01 09.00.00.zsb",
                                              "Before Apply 2026-12-02 09.00.00.zsb"}),
              std::vector<std::string>{"Before Apply 2026-12-03 09.00.00.zsb"});
}

}  // namespace
}  // namespace zv
