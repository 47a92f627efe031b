// The decision tables of the automatic optimization, cell by cell, and the run over the registry.
#include <gtest/gtest.h>

#include <algorithm>

#include "optimize/automatic.h"
#include "unit/tuning_support.h"

namespace zv {
namespace {

using namespace zvtest;

using Table = std::vector<std::vector<std::string>>;  // [connection type 0..3][option 1..5]

const Table kNtTable = {
    {"NtPreset1", "NtPreset3", "NtPreset2", "NtPreset3", "NtPreset7"},
    {"NtPreset4", "NtPreset5", "NtPreset6", "NtPreset10", "NtPreset7"},
    {"NtPreset8", "NtPreset5", "NtPreset9", "NtPreset10", "NtPreset7"},
    {"NtPreset11", "NtPreset5", "NtPreset9", "NtPreset10", "NtPreset7"},
};
const Table kXpTable = {
    {"NtPreset1", "NtPreset3", "NtPreset2", "NtPreset3", "NtPreset7"},
    {"NtPreset4", "NtPreset3", "NtPreset2", "NtPreset3", "NtPreset7"},
    {"NtPreset8", "NtPreset5", "NtPreset9", "NtPreset10", "NtPreset7"},
    {"NtPreset11", "NtPreset5", "NtPreset9", "NtPreset10", "NtPreset7"},
};
const Table kW95Table = {
    {"W95DialUp1", "W95DialUp2", "W95DialUp3", "W95DialUp4", "W95DialUp5"},
    {"W95Lan1", "W95Lan2", "W95Lan3", "W95Lan4", "W95Lan5"},
    {"W95Pppoe1", "W95Pppoe2", "W95Pppoe3", "W95Pppoe4", "W95Pppoe5"},
    {"W95Satellite1", "W95Satellite2", "W95Satellite3", "W95Satellite4", "W95Satellite5"},
};
const Table kW98Table = {
    {"W98DialUp1", "W98DialUp2", "W98DialUp3", "W98DialUp4", "W98DialUp5"},
    {"W98Lan1", "W98Lan2", "W98Lan3", "W98Lan4", "W98Lan5"},
    {"W98Pppoe1", "W98Pppoe2", "W98Pppoe3", "W98Pppoe4", "W98Pppoe5"},
    {"W98Satellite1", "W98Satellite2", "W98Satellite3", "W98Satellite4", "W98Satellite5"},
};

TEST(DecisionTable, EveryFamilyConnectionTypeAndOption) {
    const std::pair<WindowsFamily, const Table*> families[] = {
        {WindowsFamily::WinXP, &kXpTable}, {WindowsFamily::Win2K, &kNtTable}, {WindowsFamily::WinNT, &kNtTable},
        {WindowsFamily::WinMe, &kW95Table}, {WindowsFamily::Win98, &kW98Table}, {WindowsFamily::Win95, &kW95Table},
    };
    for (const auto& [family, table] : families) {
        const bool nt = table == &kXpTable || table == &kNtTable;
        for (int c = 0; c <= 4; ++c) {
            for (int option = 1; option <= 5; ++option) {
                const auto d = DecideOptimization(family, c, option);
                const std::string cell = "family " + std::to_string(int(family)) + " type " + std::to_string(c) +
                                         " option " + std::to_string(option);
                EXPECT_EQ(d.resetNt, nt) << cell;
                EXPECT_EQ(d.reset9x, !nt) << cell;
                EXPECT_EQ(d.preset, c == kWindowsDefaults ? "" : (*table)[c][option - 1]) << cell;
            }
        }
    }
}

TEST(DecisionTable, UnknownFamilyOrTypeDecidesNothingAndOddOptionsTakeFive) {
    for (int c = 0; c <= 4; ++c) {
        const auto d = DecideOptimization(WindowsFamily::Unknown, c, 1);
        EXPECT_FALSE(d.resetNt || d.reset9x || !d.preset.empty()) << c;
    }
    const auto bad = DecideOptimization(WindowsFamily::Win98, 5, 1);
    EXPECT_FALSE(bad.resetNt || bad.reset9x || !bad.preset.empty());
    EXPECT_EQ(DecideOptimization(WindowsFamily::Win98, kSatellite, 0).preset, "W98Satellite5");
    EXPECT_EQ(DecideOptimization(WindowsFamily::Win2K, kLan, 6).preset, "NtPreset7");
}

std::size_t FirstIndexOf(const std::vector<std::string>& log, const std::string& part) {
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].find(part) != std::string::npos) return i;
    }
    return log.size();
}

TEST(AutomaticRun, MeDefaultAdapterResetsAndWritesEverySlotInTurn) {
    RecordingRegistry reg;
    // Old values in every slot, so that each reset has something to delete.
    for (const auto& slot : SlotTable()) Seed(reg, kHkeyLocalMachine, kNet + slot.adapterKey, "IPMTU", Sz("9000"));
    reg.log.clear();
    RunAutomaticOptimization(reg, WindowsFamily::WinMe, kDialUp, 2, SlotTable());
    for (const auto& slot : SlotTable()) {
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kNet + slot.adapterKey, "IPMTU"), Sz("576")) << slot.adapterKey;
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kNet + slot.adapterKey + "\\Ndi\\Params\\IPMTU", "default"), Sz("576"))
            << slot.adapterKey;
        EXPECT_EQ(reg.Get(kHkeyLocalMachine, kClass + slot.bindingKey, "MSS"), Sz("536")) << slot.bindingKey;
    }
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"), Dw(2144)) << "Me writes the Win95 set";
    // Slot 0 is reset and written before slot 1 is touched.
    const auto& log = reg.log;
    const std::size_t firstWrite0 = FirstIndexOf(log, "W|HKLM|" + kNet + "0000|");
    const std::size_t firstOn1 = FirstIndexOf(log, kNet + "0001");
    EXPECT_LT(firstWrite0, firstOn1);
    EXPECT_EQ(log[firstOn1].substr(0, 2), "D|") << "each slot starts with its reset";
    EXPECT_EQ(FirstIndexOf(log, "D|"), 0u);
}

TEST(AutomaticRun, WindowsDefaultsOnlyResetsEachTarget) {
    RecordingRegistry reg;
    for (const char* key : {"0000", "0001"}) Seed(reg, kHkeyLocalMachine, kNet + key, "MaxMTU", Sz("1500"));
    Seed(reg, kHkeyLocalMachine, kMstcp, "DefaultTTL", Sz("128"));
    reg.log.clear();
    RunAutomaticOptimization(reg, WindowsFamily::Win95, kWindowsDefaults, 3,
                             {{"0000", "NetTrans\\0000"}, {"0001", "NetTrans\\0001"}});
    EXPECT_TRUE(reg.Writes().empty());
    EXPECT_EQ(reg.Dump().find(" : "), std::string::npos) << reg.Dump();
}

TEST(AutomaticRun, Win98Pppoe5OnOneAdapterResetsItAndWritesOnlyGlobals) {
    MemoryRegistry reg;
    Seed(reg, kHkeyLocalMachine, kNet + "0001", "IPMTU", Sz("1500"));
    Seed(reg, kHkeyLocalMachine, kClass + "NetTrans\\0001", "IPMTU", Sz("1500"));
    RunAutomaticOptimization(reg, WindowsFamily::Win98, kPppoe, 5, {{"0001", "NetTrans\\0001"}});
    EXPECT_FALSE(reg.Get(kHkeyLocalMachine, kNet + "0001", "IPMTU"));
    EXPECT_FALSE(reg.Get(kHkeyLocalMachine, kClass + "NetTrans\\0001", "IPMTU"));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"), Sz("4288"));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kInternet, "MaxConnectionsPer1_0Server"), Sz("16"));
}

TEST(AutomaticRun, NtResetsThenWritesItsPresetAndIgnoresTargets) {
    MemoryRegistry reg;
    Seed(reg, kHkeyLocalMachine, kTcpip, "Tcp1323Opts", Dw(3));
    RunAutomaticOptimization(reg, WindowsFamily::Win2K, kDialUp, 4, SlotTable());
    EXPECT_FALSE(reg.Get(kHkeyLocalMachine, kTcpip, "Tcp1323Opts"));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "TcpWindowSize"), Dw(23360));
    EXPECT_EQ(reg.Get(kHkeyLocalMachine, kTcpip, "EnablePMTUDiscovery"), Dw(1));
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\Class"));

    MemoryRegistry xp;
    RunAutomaticOptimization(xp, WindowsFamily::WinXP, kLan, 3, {});
    EXPECT_EQ(xp.Get(kHkeyLocalMachine, kTcpip, "TcpMaxDupAcks"), Dw(3)) << "XP Lan #3 is NtPreset2";
    EXPECT_FALSE(xp.Get(kHkeyLocalMachine, kTcpip, "Tcp1323Opts"));
}

TEST(AutomaticRun, UnknownFamilyWritesNothing) {
    MemoryRegistry reg;
    Seed(reg, kHkeyLocalMachine, kTcpip, "DefaultTTL", Dw(64));
    const std::string before = reg.Dump();
    RunAutomaticOptimization(reg, WindowsFamily::Unknown, kLan, 1, SlotTable());
    EXPECT_EQ(reg.Dump(), before);
}

}  // namespace
}  // namespace zv
