// Preset data against a hand transcription of the tables, preset runs as registry state, the resets.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "optimize/presets.h"
#include "unit/tuning_support.h"

namespace zv {
namespace {

using namespace zvtest;

struct FixtureWrite {
    std::string entry;
    std::int32_t value;
    std::string kind;  // S or D
    bool operator==(const FixtureWrite&) const = default;
};
std::ostream& operator<<(std::ostream& out, const FixtureWrite& w) {
    return out << w.entry << " " << w.value << " " << w.kind;
}

using Fixture = std::map<std::string, std::vector<FixtureWrite>>;

// The hand-written preset table; under Wine the Linux path is reached through drive Z:.
Fixture LoadFixture() {
    std::string path = std::string(ZV_TEST_DATA_DIR) + "/presets.txt";
#ifdef _WIN32
    path = "Z:" + path;
#endif
    Fixture fixture;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string preset;
        FixtureWrite w;
        fields >> preset >> w.entry >> w.value >> w.kind;
        fixture[preset].push_back(w);
    }
    return fixture;
}

const Fixture& TheFixture() {
    static const Fixture fixture = LoadFixture();
    return fixture;
}

std::vector<FixtureWrite> AsWritten(const Preset& preset) {
    std::vector<FixtureWrite> out;
    for (const auto& w : preset.writes) {
        const auto& entry = Entry(w.entry);
        out.push_back({entry.name, w.value, KindIn(entry, preset.set) == ValueKind::Dword ? "D" : "S"});
    }
    return out;
}

TEST(PresetData, MatchesTheHandTranscribedTables) {
    const auto& fixture = TheFixture();
    ASSERT_EQ(fixture.size(), 51u) << "fixture not found or incomplete";
    ASSERT_EQ(Presets().size(), 51u);
    for (const auto& preset : Presets()) {
        auto it = fixture.find(preset.name);
        ASSERT_NE(it, fixture.end()) << preset.name << " missing from the fixture";
        EXPECT_EQ(AsWritten(preset), it->second) << preset.name;
    }
}

TEST(PresetData, SetsAndWriteCounts) {
    std::map<AccessorSet, int> perSet;
    const std::set<std::string> without1323 = {"W95DialUp3", "W98DialUp3", "W98Lan3", "W98Pppoe3", "W98Satellite3"};
    for (const auto& preset : Presets()) {
        ++perSet[preset.set];
        if (preset.set == AccessorSet::Nt) continue;
        EXPECT_EQ(preset.name.substr(0, 3), preset.set == AccessorSet::Win95 ? "W95" : "W98");
        const char option = preset.name.back();
        if (option == '3') {
            EXPECT_EQ(preset.writes.size(), without1323.count(preset.name) ? 33u : 34u) << preset.name;
        }
        if (option == '5') {
            EXPECT_EQ(preset.writes.size(), 7u) << preset.name;
            for (const auto& w : preset.writes) EXPECT_FALSE(IsAdapterEntry(Entry(w.entry))) << preset.name;
        }
    }
    EXPECT_EQ(perSet[AccessorSet::Win95], 20);
    EXPECT_EQ(perSet[AccessorSet::Win98], 20);
    EXPECT_EQ(perSet[AccessorSet::Nt], 11);
    EXPECT_NE(FindPreset("NtPreset6"), nullptr);
    EXPECT_EQ(FindPreset("W95DialUp6"), nullptr);
}

TEST(PresetRun, EveryWriteLandsAtItsMainLocationInItsKind) {
    const AdapterTarget target{"0005", "NetTrans\\0005"};
    for (const auto& [name, writes] : TheFixture()) {
        MemoryRegistry reg;
        ASSERT_TRUE(RunPreset(reg, name, target)) << name;
        for (const auto& w : writes) {
            const CatalogueEntry* entry = FindEntry(w.entry);
            ASSERT_NE(entry, nullptr) << w.entry;
            const RegValue expected = w.kind == "D" ? Dw(std::uint32_t(w.value)) : Sz(std::to_string(w.value));
            EXPECT_EQ(reg.Get(entry->main.root, KeyPath(entry->main, target), entry->main.value), expected)
                << name << " " << w;
        }
    }
}

// Everything the Dial-up #1 presets write on (0002, NetTrans\0002), in the given kind for the two numbers.
void ExpectDialUp1(MemoryRegistry& expected, bool numbersAsText) {
    const std::string a = kNet + "0002", b = kClass + "NetTrans\\0002";
    auto text = [&](const std::string& key, const std::string& name, const std::string& v) {
        Seed(expected, kHkeyLocalMachine, key, name, Sz(v));
    };
    auto number = [&](const std::string& key, const std::string& name, std::uint32_t v) {
        Seed(expected, kHkeyLocalMachine, key, name, numbersAsText ? Sz(std::to_string(v)) : Dw(v));
    };
    text(a, "IPMTU", "576");
    text(a + "\\Ndi\\Params\\IPMTU", "default", "576");
    text(b, "IPMTU", "576");
    for (const auto& key : {a, b}) {
        text(key, "MaxMTU", "576");
        text(key, "MaxMSS", "536");
        text(key, "MSS", "536");
    }
    text(kMstcp, "DefaultMSS", "536");
    number(kMstcp, "DefaultRcvWindow", 2144);
    number(kMstcpPar, "DefaultRcvWindow", 2144);
    text(kMstcp, "DefaultTTL", "64");
    number(kMstcp, "PMTUDiscovery", 1);
    text(kNwlink, "cachesize", "16");
    for (const char* name : {"default", "0", "1", "NdiValue"}) text(kNwlink + "\\Ndi\\params\\cachesize", name, "16");
}

TEST(PresetRun, DialUp1OnAdapter0002ChangesNothingElse) {
    for (const char* name : {"W95DialUp1", "W98DialUp1"}) {
        MemoryRegistry reg, expected;
        for (auto* r : {&reg, &expected}) Seed(*r, kHkeyLocalMachine, kMstcp, "Unrelated", Sz("kept"));
        ExpectDialUp1(expected, std::string(name) == "W98DialUp1");
        RunPreset(reg, name, {"0002", "NetTrans\\0002"});
        EXPECT_EQ(reg.Dump(), expected.Dump()) << name;
    }
}

TEST(PresetRun, Lan5WritesNoAdapterValueAndConnectionLimitsInItsKind) {
    for (const auto& [name, per, per10] :
         {std::tuple{"W95Lan5", Dw(8), Dw(16)}, std::tuple{"W98Lan5", Sz("8"), Sz("16")}}) {
        MemoryRegistry reg;
        RunPreset(reg, name, {"0001", "NetTrans\\0001"});
        EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\Class")) << name;
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kInternet, "MaxConnectionsPerServer"), per) << name;
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kInternet, "MaxConnectionsPer1_0Server"), per10) << name;
        EXPECT_FALSE(reg.HasKey(kHkeyCurrentUser, kInternet)) << name;
    }
}

// The 9x reset on (0003, NetTrans\0003), in order, as the reset list gives it.
std::vector<std::string> HandReset9x() {
    const std::string a = "HKLM|" + kNet + "0003", b = "HKLM|" + kClass + "NetTrans\\0003";
    const std::string m = "HKLM|" + kMstcp, p = "HKLM|" + kMstcpPar, n = "HKLM|" + kNwlink;
    const std::string np = n + "\\Ndi\\params\\", e = "HKLM|" + kNetbeui, ep = e + "\\Ndi\\params\\";
    return {
        a + "|IPMTU", a + "\\Ndi\\Params\\IPMTU|", a + "\\Ndi\\Params\\IPMTU|default", b + "|IPMTU",
        a + "|IPXHeaderCompression", a + "\\Ndi\\Params\\IPXHeaderCompression|",
        a + "\\Ndi\\Params\\IPXHeaderCompression|default",
        a + "|Logging", a + "\\Ndi\\Params\\Logging|", a + "\\Ndi\\Params\\Logging|default",
        a + "|MaxMSS", b + "|MaxMSS",
        a + "|MaxMTU", b + "|MaxMTU",
        a + "|MSS", b + "|MSS", m + "|DefaultMSS",
        a + "|PointToPointIP", a + "\\Ndi\\Params\\PointToPointIP|", a + "\\Ndi\\Params\\PointToPointIP|default",
        a + "|SLOWNET", b + "|SLOWNET",
        m + "|BSDUrgent", m + "|DefaultRcvWindow", p + "|DefaultRcvWindow", m + "|DefaultTTL", m + "|LocalCopyMade",
        m + "|PMTUAutoDetection", m + "|PMTUBlackHoleDetect", m + "|PMTUBlackHoleEnabled", m + "|PMTUDiscovery",
        m + "|SackOpts", p + "|SackOpts", m + "|SessionKeepAlive", m + "|Tcp1323Opts", p + "|Tcp1323Opts",
        m + "|TcpUseRFC1122UrgentPointer", p + "|MaxDupAcks",
        n + "|cachesize", np + "cachesize|", np + "cachesize|default", np + "cachesize|0", np + "cachesize|1",
        np + "cachesize|NdiValue", np + "forceeven|default", np + "forceeven|",
        np + "maxconnect|default", np + "maxconnect|", np + "maxconnect|max", np + "maxconnect|min",
        np + "maxsockets|default", np + "maxsockets|", np + "maxsockets|max", np + "maxsockets|min",
        "HKCU|" + kInternet + "|MaxConnectionsPerServer", "HKCU|" + kInternet + "|MaxConnectionsPer1_0Server",
        // The two added: our presets write these under the machine.
        "HKLM|" + kInternet + "|MaxConnectionsPerServer", "HKLM|" + kInternet + "|MaxConnectionsPer1_0Server",
        e + "|default", e + "|ncbs", e + "|sessions",
        ep + "ncbs|default", ep + "ncbs|max", ep + "ncbs|min",
        ep + "sessions|default", ep + "sessions|max", ep + "sessions|min",
    };
}

TEST(Resets, Reset9xMakesItsDeletionsInOrderAndLeavesNothing) {
    const auto hand = HandReset9x();
    ASSERT_EQ(hand.size(), 65u + 2u);
    RecordingRegistry reg;
    for (const auto& line : hand) {
        auto first = line.find('|'), last = line.rfind('|');
        Seed(reg, line.substr(0, first) == "HKCU" ? kHkeyCurrentUser : kHkeyLocalMachine,
             line.substr(first + 1, last - first - 1), line.substr(last + 1), Sz("1"));
    }
    reg.log.clear();
    Reset9x(reg, {"0003", "NetTrans\\0003"});
    EXPECT_EQ(reg.log.size(), hand.size());
    for (std::size_t i = 0; i < hand.size() && i < reg.log.size(); ++i) {
        EXPECT_EQ(reg.log[i], "D|" + hand[i]) << "deletion " << i + 1;
    }
    EXPECT_EQ(reg.Dump().find(" : "), std::string::npos) << "values left:\n" << reg.Dump();
    EXPECT_EQ(Reset9xDeletions().size(), 67u);
}

TEST(Resets, Reset9xRemovesTheConnectionLimitsAPresetWrote) {
    MemoryRegistry reg;
    RunPreset(reg, "W95Lan5", {"0000", "NetTrans\\0000"});
    Seed(reg, kHkeyCurrentUser, kInternet, "MaxConnectionsPerServer", Dw(4));
    Reset9x(reg, {"0000", "NetTrans\\0000"});
    for (RegKey root : {kHkeyCurrentUser, kHkeyLocalMachine}) {
        EXPECT_FALSE(reg.Get(root, kInternet, "MaxConnectionsPerServer")) << root;
        EXPECT_FALSE(reg.Get(root, kInternet, "MaxConnectionsPer1_0Server")) << root;
    }
}

TEST(Resets, ResetNtDeletesTheNineTcpipValuesInOrder) {
    RecordingRegistry reg;
    const char* names[] = {"DefaultTTL",       "EnablePMTUBHDetect", "EnablePMTUDiscovery",
                           "TcpUseRFC1122UrgentPointer", "TcpWindowSize", "SessionKeepAlive",
                           "TcpMaxDupAcks",    "SackOpts",           "Tcp1323Opts"};
    for (const char* name : names) Seed(reg, kHkeyLocalMachine, kTcpip, name, Dw(1));
    Seed(reg, kHkeyLocalMachine, kTcpip, "Hostname", Sz("box"));
    reg.log.clear();
    ResetNt(reg);
    ASSERT_EQ(reg.log.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(reg.log[i], "D|HKLM|" + kTcpip + "|" + names[i]) << i;
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "Hostname"), Sz("box"));
}

TEST(Resets, OnAnEmptyRegistryChangeNothingAndCreateNoKey) {
    MemoryRegistry reg;
    const std::string before = reg.Dump();
    ResetNt(reg);
    Reset9x(reg, {"0000", "NetTrans\\0000"});
    EXPECT_EQ(reg.Dump(), before);
    EXPECT_EQ(reg.FailedChanges(), 0u);
}

}  // namespace
}  // namespace zv
