// Backup and restore over the in-memory registry: what a backup holds, how older and marked files
// are put back, and that a refused file changes nothing.
#include <gtest/gtest.h>

#include <random>

#include "backup/backup_restore.h"
#include "backup_support.h"
#include "optimize/presets.h"
#include "platform/memory_registry.h"
#include "tuning_support.h"

namespace zv {
namespace {

using namespace zvtest;

const RegKey HKLM = kHkeyLocalMachine;
const RegKey HKCU = kHkeyCurrentUser;

std::string Net(int slot) { return kNet + SlotKey(slot); }
std::string Binding(int slot) { return kClass + SlotBinding(slot); }

// The value at the start of record n of a file, as bytes.
Bytes RecordHead(const Bytes& file, int record, std::size_t n) {
    std::size_t at = std::size_t(record - 1) * 128;
    return Bytes(file.begin() + at, file.begin() + at + n);
}

Bytes TText(const std::string& s) {
    Bytes b = {8, 0, std::uint8_t(s.size()), 0};
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

TEST(StoredValues, AreReadAsTheTypeTheyAreStoredAs) {
    struct Case {
        const char* what;
        std::optional<RegValue> stored;
        SavedValue want;
    };
    const Case cases[] = {
        {"absent", std::nullopt, SavedValue::Absent()},
        {"number", Dw(64240), SavedValue::Number(64240)},
        {"number 0", Dw(0), SavedValue::Number(0)},
        {"number -1", Dw(0xFFFFFFFF), SavedValue::Number(-1)},
        {"number equal to the probe default", Dw(std::uint32_t(-0x5A5A5A5B)), SavedValue::Number(-0x5A5A5A5B)},
        {"text", Sz("64"), SavedValue::Text("64")},
        {"empty text", Sz(""), SavedValue::Text("")},
        {"text equal to the probe default", Sz("\x01?"), SavedValue::Text("\x01?")},
        {"binary", Bin({1, 2}), SavedValue::Absent()},
        {"expandable text", RegValue{kRegExpandSz, {'1', 0}}, SavedValue::Absent()},
        {"number of 8 bytes", RegValue{kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}}, SavedValue::Absent()},
    };
    for (const auto& c : cases) {
        MemoryRegistry reg;
        if (c.stored) Seed(reg, HKLM, kMstcp, "DefaultTTL", *c.stored);
        EXPECT_EQ(ReadStoredValue(reg, Entry(EntryId::MstcpDefaultTTL)), c.want) << c.what;
    }
    MemoryRegistry reg;
    // A text as WriteRegString stores it.
    WriteRegString(reg, HKLM, kMstcp, "DefaultTTL", "7");
    EXPECT_EQ(ReadStoredValue(reg, Entry(EntryId::MstcpDefaultTTL)), SavedValue::Text("7"));
    Seed(reg, HKLM, Net(1), "SLOWNET", Bin({7, 9}));
    EXPECT_EQ(ReadStoredValue(reg, Entry(EntryId::AdapterSLOWNET), SlotTable()[1]), SavedValue::Byte(7));
    Seed(reg, HKLM, Net(2), "SLOWNET", Dw(1));
    EXPECT_EQ(ReadStoredValue(reg, Entry(EntryId::AdapterSLOWNET), SlotTable()[2]), SavedValue::Absent())
        << "SLOWNET is read as bytes only";
}

TEST(TakingABackup, On98Holds143RecordsWithTheSlotsWhereDescribed) {
    MemoryRegistry reg;
    Seed(reg, HKLM, Net(0), "IPMTU", Sz("576"));
    Seed(reg, HKLM, Net(1), "IPMTU", Sz("1500"));
    Seed(reg, HKLM, Net(2), "SLOWNET", Bin({1, 0, 0, 0}));
    BackupResult b = TakeBackup(reg, WindowsFamily::Win98);
    ASSERT_TRUE(b.ok()) << b.message;
    EXPECT_EQ(b.bytes.size(), 143u * 128);
    EXPECT_EQ(RecordHead(b.bytes, 1, 12), (Bytes{10, 0, 0, 0, 'Z', 'V', 'B', 'K', 1, 2, 2, 0}));
    EXPECT_EQ(RecordHead(b.bytes, 2, 8), TText("0000"));
    EXPECT_EQ(RecordHead(b.bytes, 3, 17), TText("NetTrans\\0000"));
    EXPECT_EQ(RecordHead(b.bytes, 23, 17), TText("NetTrans\\0010"));
    EXPECT_EQ(RecordHead(b.bytes, 24, 7), TText("576"));
    EXPECT_EQ(RecordHead(b.bytes, 32, 8), TText("1500"));
    EXPECT_EQ(RecordHead(b.bytes, 40 + 7, 3), (Bytes{17, 0, 1})) << "four SLOWNET bytes 1 0 0 0 saved as byte 1";
    // A slot without keys: every value absent, which is the tagged empty text.
    for (int k = 0; k < 8; ++k) EXPECT_EQ(RecordHead(b.bytes, 24 + 8 * 5 + k, 4), TText("")) << k;
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST(TakingABackup, OnXpHoldsRecords2To10AndTheMark) {
    MemoryRegistry reg;
    Seed(reg, HKLM, kTcpip, "TcpWindowSize", Dw(65535));
    Seed(reg, HKLM, kTcpip, "SackOpts", Dw(0));
    BackupResult b = TakeBackup(reg, WindowsFamily::WinXP);
    ASSERT_TRUE(b.ok()) << b.message;
    EXPECT_EQ(b.bytes.size(), 10u * 128);
    EXPECT_EQ(RecordHead(b.bytes, 1, 12), (Bytes{0, 0, 0, 0, 'Z', 'V', 'B', 'K', 1, 1, 3, 0}));
    EXPECT_EQ(RecordHead(b.bytes, 2, 6), (Bytes{3, 0, 0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(RecordHead(b.bytes, 7, 6), (Bytes{3, 0, 0, 0, 0, 0})) << "SackOpts 0 kept as the number 0";
    EXPECT_EQ(RecordHead(b.bytes, 3, 4), TText("")) << "absent DefaultTTL";
}

TEST(TakingABackup, OnMeKeepsTheNumbersTheOptimizerWrote) {
    MemoryRegistry reg;
    Seed(reg, HKLM, kMstcp, "SackOpts", Dw(0));
    Seed(reg, HKLM, kMstcp, "DefaultRcvWindow", Dw(64240));
    Seed(reg, HKLM, kMstcp, "DefaultTTL", Sz(""));
    BackupResult b = TakeBackup(reg, WindowsFamily::WinMe);
    ASSERT_TRUE(b.ok()) << b.message;
    EXPECT_EQ(RecordHead(b.bytes, 1, 12)[10], 2) << "Me takes the Win98 set";
    EXPECT_EQ(RecordHead(b.bytes, 112 + 17, 6), (Bytes{3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(RecordHead(b.bytes, 112 + 1, 6), (Bytes{3, 0, 0xF0, 0xFA, 0, 0}));
    EXPECT_EQ(RecordHead(b.bytes, 112 + 2, 5), (Bytes{8, 0, 1, 0, 0})) << "an existing empty text";
}

TEST(TakingABackup, RefusesAValueNoRecordCanHoldAndBadNames) {
    MemoryRegistry reg;
    Seed(reg, HKLM, kNwlink, "cachesize", Sz(std::string(200, '9')));
    BackupResult b = TakeBackup(reg, WindowsFamily::Win95);
    EXPECT_FALSE(b.ok());
    EXPECT_NE(b.message.find("NWLink.cachesize"), std::string::npos) << b.message;
    EXPECT_TRUE(b.bytes.empty());
    EXPECT_FALSE(TakeBackupNamed(reg, WindowsFamily::WinXP, "LPT1").ok());
    EXPECT_FALSE(TakeBackupNamed(reg, WindowsFamily::WinXP, "").ok());
    EXPECT_TRUE(TakeBackupNamed(reg, WindowsFamily::WinXP, "12_7_2026_1").ok());
    EXPECT_FALSE(TakeBackup(reg, WindowsFamily::Unknown).ok());
}

class RestoringOlderFiles : public ::testing::Test {
protected:
    RecordingRegistry reg;
};

TEST_F(RestoringOlderFiles, On98DeleteEmptyValuesAndWriteTheRest) {
    // What the registry held before: values the restore should remove or replace.
    for (const char* v : {"IPMTU", "IPXHeaderCompression", "Logging", "MaxMSS", "MaxMTU", "MSS", "PointToPointIP"}) {
        Seed(reg, HKLM, Net(3), v, Sz("1"));
    }
    Seed(reg, HKLM, Net(3), "SLOWNET", Bin({1}));
    Seed(reg, HKLM, Net(3) + "\\Ndi\\Params\\IPMTU", "default", Sz("1"));
    Seed(reg, HKLM, Binding(3), "IPMTU", Sz("1"));
    Seed(reg, HKLM, Binding(3), "MSS", Sz("1"));
    Seed(reg, HKLM, Binding(3), "SLOWNET", Dw(1));
    Seed(reg, HKLM, kMstcp, "DefaultMSS", Sz("1"));
    Seed(reg, HKLM, kInternet, "MaxConnectionsPerServer", Dw(8));
    Seed(reg, HKCU, kInternet, "MaxConnectionsPerServer", Dw(4));
    const std::string cache = kNwlink + "\\Ndi\\params\\cachesize";
    Seed(reg, HKLM, kNwlink, "cachesize", Sz("64"));
    for (const char* v : {"", "default", "0", "1", "NdiValue"}) Seed(reg, HKLM, cache, v, Sz("64"));

    Handmade h = Older9x(AccessorSet::Win98);
    h.TByte(24 + 7, 1);       // slot 0 SLOWNET
    h.TText(24 + 8, "1500");  // slot 1 IPMTU
    h.TText(112 + 17, "1");   // SackOpts, text in the Win98 set
    h.PText(143, "3");        // NetBEUI.sessions.min as plain text
    RestoreResult r = RestoreBackup(reg, WindowsFamily::Win98, h.file);
    ASSERT_TRUE(r.ok()) << r.message;

    for (const char* v : {"IPMTU", "IPXHeaderCompression", "Logging", "MaxMSS", "MaxMTU", "MSS", "PointToPointIP",
                          "SLOWNET"}) {
        EXPECT_FALSE(reg.Get(HKLM, Net(3), v)) << v << " of slot 3";
    }
    EXPECT_FALSE(reg.Get(HKLM, Net(3) + "\\Ndi\\Params\\IPMTU", "default"));
    for (const char* v : {"IPMTU", "MSS", "SLOWNET"}) EXPECT_FALSE(reg.Get(HKLM, Binding(3), v)) << v;
    EXPECT_FALSE(reg.Get(HKLM, kMstcp, "DefaultMSS"));

    EXPECT_EQ(reg.Get(HKLM, Net(0), "SLOWNET"), Bin({1})) << "one-byte binary 01";
    EXPECT_EQ(reg.Get(HKLM, Binding(0), "SLOWNET"), Dw(1)) << "the number 1 in the binding key";
    EXPECT_EQ(ReadRegString(reg, HKLM, Net(1), "IPMTU"), "1500");
    EXPECT_EQ(ReadRegString(reg, HKLM, Binding(1), "IPMTU"), "1500");
    EXPECT_EQ(ReadRegString(reg, HKLM, Net(1) + "\\Ndi\\Params\\IPMTU", "default"), "1500");
    EXPECT_EQ(reg.Get(HKLM, kMstcp, "SackOpts")->type, kRegSz);
    EXPECT_EQ(ReadRegString(reg, HKLM, kMstcpPar, "SackOpts"), "1");
    EXPECT_EQ(ReadRegString(reg, HKLM, kNetbeui + "\\Ndi\\params\\sessions", "min"), "3");

    EXPECT_FALSE(reg.Get(HKCU, kInternet, "MaxConnectionsPerServer")) << "the current user's value";
    EXPECT_FALSE(reg.Get(HKLM, kInternet, "MaxConnectionsPerServer")) << "and the one the optimizer wrote";
    EXPECT_FALSE(reg.Get(HKLM, kNwlink, "cachesize"));
    for (const char* v : {"", "default", "0", "1", "NdiValue"}) EXPECT_FALSE(reg.Get(HKLM, cache, v)) << v;
    EXPECT_EQ(reg.OpenHandleCount(), 0u);
}

TEST_F(RestoringOlderFiles, On95DeleteZeroNumbers) {
    Seed(reg, HKLM, kMstcp, "SackOpts", Dw(1));
    Seed(reg, HKLM, kMstcpPar, "SackOpts", Dw(1));
    Handmade h = Older9x(AccessorSet::Win95);
    h.TInt(112 + 1, 8760);  // DefaultRcvWindow
    RestoreResult r = RestoreBackup(reg, WindowsFamily::Win95, h.file);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_FALSE(reg.Get(HKLM, kMstcp, "SackOpts")) << "0 in an older file means absent";
    EXPECT_FALSE(reg.Get(HKLM, kMstcpPar, "SackOpts"));
    EXPECT_EQ(reg.Get(HKLM, kMstcp, "DefaultRcvWindow"), Dw(8760));
    EXPECT_EQ(reg.Get(HKLM, kMstcpPar, "DefaultRcvWindow"), Dw(8760));
}

TEST_F(RestoringOlderFiles, OnNtDeleteZeroAndWriteNumbers) {
    Seed(reg, HKLM, kTcpip, "SackOpts", Dw(1));
    Seed(reg, HKLM, kTcpip, "DefaultTTL", Dw(32));
    Handmade h = OlderNt();
    h.TInt(2, 65535);
    RestoreResult r = RestoreBackup(reg, WindowsFamily::Win2K, h.file);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(reg.Get(HKLM, kTcpip, "TcpWindowSize"), Dw(65535));
    EXPECT_FALSE(reg.Get(HKLM, kTcpip, "SackOpts"));
    EXPECT_FALSE(reg.Get(HKLM, kTcpip, "DefaultTTL"));
    // Deleted in the order of the file's records, each in the Tcpip key.
    std::vector<std::string> want;
    for (const char* v : {"DefaultTTL", "SessionKeepAlive", "EnablePMTUBHDetect", "EnablePMTUDiscovery", "SackOpts",
                          "Tcp1323Opts", "TcpUseRFC1122UrgentPointer", "TcpMaxDupAcks"}) {
        want.push_back("D|HKLM|" + kTcpip + "|" + v);
    }
    EXPECT_EQ(reg.Deletions(), want);
}

TEST(RestoringMarkedFiles, KeepsZeroEmptyTextAndTypes) {
    MemoryRegistry reg;
    Seed(reg, HKLM, kTcpip, "SackOpts", Dw(0));
    Seed(reg, HKLM, kTcpip, "TcpWindowSize", Sz("65535"));  // a text where numbers belong: kept a text
    BackupResult b = TakeBackup(reg, WindowsFamily::WinXP);
    ASSERT_TRUE(b.ok());
    ResetNt(reg);
    Seed(reg, HKLM, kTcpip, "DefaultTTL", Dw(128));
    ASSERT_TRUE(RestoreBackup(reg, WindowsFamily::WinXP, b.bytes).ok());
    EXPECT_EQ(reg.Get(HKLM, kTcpip, "SackOpts"), Dw(0));
    EXPECT_EQ(ReadRegString(reg, HKLM, kTcpip, "TcpWindowSize", "absent"), "65535");
    EXPECT_FALSE(reg.Get(HKLM, kTcpip, "DefaultTTL")) << "absent when saved";
}

TEST(RestoringMarkedFiles, OnMeBringsBackWhatTheOptimizerWrote) {
    MemoryRegistry reg;
    // The optimizer uses the Win95 set on Me: numbers.
    ASSERT_TRUE(RunPreset(reg, "W95Lan1", SlotTable()[0]));
    const std::string before = reg.Dump();
    BackupResult b = TakeBackup(reg, WindowsFamily::WinMe);
    ASSERT_TRUE(b.ok()) << b.message;
    for (const auto& slot : SlotTable()) Reset9x(reg, slot);
    ASSERT_TRUE(RunPreset(reg, "W98DialUp2", SlotTable()[0]));
    ASSERT_TRUE(RestoreBackup(reg, WindowsFamily::WinMe, b.bytes).ok());
    std::string after = reg.Dump();
    // Keys created on the way may stay; every value is back.
    auto values = [](const std::string& dump) {
        std::string out;
        std::size_t at = 0;
        while (at < dump.size()) {
            std::size_t end = dump.find('\n', at);
            std::string line = dump.substr(at, end - at);
            if (line.find(" : \"") != std::string::npos) out += line + "\n";
            at = end + 1;
        }
        return out;
    };
    EXPECT_EQ(values(after), values(before));
}

// A registry with a little of everything in it, to see that nothing moves.
void Populate(MemoryRegistry& reg) {
    RunPreset(reg, "W98Lan3", SlotTable()[2]);
    RunPreset(reg, "NtPreset4", {});
    Seed(reg, HKCU, kInternet, "MaxConnectionsPerServer", Dw(4));
    Seed(reg, HKLM, Net(4), "SLOWNET", Bin({2, 0}));
}

TEST(RestoringMarkedFiles, CountsWhatTheRegistryRefused) {
    MemoryRegistry reg;
    Populate(reg);
    BackupResult b = TakeBackup(reg, WindowsFamily::WinXP);
    ASSERT_TRUE(b.ok());
    RestoreResult all = RestoreBackup(reg, WindowsFamily::WinXP, b.bytes);
    EXPECT_TRUE(all.ok());
    EXPECT_EQ(all.failedChanges, 0u);
    reg.SetReadOnly(true);  // an account without the right to change the values
    RestoreResult refused = RestoreBackup(reg, WindowsFamily::WinXP, b.bytes);
    EXPECT_TRUE(refused.ok()) << "the file itself was fine";
    EXPECT_GT(refused.failedChanges, 0u);
}

TEST(RefusedFiles, LeaveTheRegistryAsItWas) {
    struct Case {
        const char* what;
        WindowsFamily family;
        std::string name;
        std::optional<Bytes> file;
        const char* says;
    };
    MemoryRegistry source;
    Populate(source);
    Bytes marked98 = TakeBackup(source, WindowsFamily::Win98).bytes;
    Bytes marked95 = TakeBackup(source, WindowsFamily::Win95).bytes;
    Bytes markedNt = TakeBackup(source, WindowsFamily::WinNT).bytes;
    Bytes truncated = marked98;
    truncated.resize(120 * 128 + 3);
    std::mt19937 rng(99);
    Bytes noise(143 * 128);
    for (auto& b : noise) b = std::uint8_t(rng());
    Bytes olderWithNul = Older9x(AccessorSet::Win98).file;
    olderWithNul[(60 - 1) * 128 + 4] = 0;
    olderWithNul[(60 - 1) * 128 + 2] = 1;

    const std::vector<Case> cases = {
        {"empty name", WindowsFamily::Win98, "", marked98, "name"},
        {"device name", WindowsFamily::Win98, "aux", marked98, "device"},
        {"name with a path", WindowsFamily::Win98, "..\\x", marked98, "characters"},
        {"missing file", WindowsFamily::Win98, "gone", std::nullopt, "no backup named \"gone\""},
        {"empty file", WindowsFamily::Win98, "x", Bytes{}, "empty"},
        {"truncated", WindowsFamily::Win98, "x", truncated, "incomplete"},
        {"random bytes", WindowsFamily::Win98, "x", noise, "record"},
        {"random bytes on NT", WindowsFamily::WinXP, "x", noise, "record"},
        {"NT file on 98", WindowsFamily::Win98, "x", markedNt, "Windows NT, 2000 or XP"},
        {"98 file on NT", WindowsFamily::Win2K, "x", marked98, "Windows 98 or Me"},
        {"older NT file on 95", WindowsFamily::Win95, "x", OlderNt().file, "record 2"},
        {"older 95 file on XP", WindowsFamily::WinXP, "x", Older9x(AccessorSet::Win95).file, "record 2"},
        {"95 file on 98", WindowsFamily::Win98, "x", marked95, "Windows 95"},
        {"98 file on Me", WindowsFamily::WinMe, "x", marked95, "Windows 95"},
        {"98 file on 95", WindowsFamily::Win95, "x", marked98, "Windows 98 or Me"},
        {"older file with a NUL", WindowsFamily::Win98, "x", olderWithNul, "zero byte"},
        {"unknown Windows", WindowsFamily::Unknown, "x", marked98, "not known"},
    };
    for (const auto& c : cases) {
        MemoryRegistry reg;
        Populate(reg);
        const std::string before = reg.Dump();
        RestoreResult r = RestoreBackupNamed(reg, c.family, c.name, c.file);
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_NE(r.message.find(c.says), std::string::npos) << c.what << ": " << r.message;
        EXPECT_EQ(reg.Dump(), before) << c.what;
    }
    // The good files themselves are accepted.
    MemoryRegistry reg;
    EXPECT_TRUE(RestoreBackupNamed(reg, WindowsFamily::WinMe, "x", marked98).ok());
}

}  // namespace
}  // namespace zv
