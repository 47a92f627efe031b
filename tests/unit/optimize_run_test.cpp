// One Optimize of the wizard over the in-memory registry: the family decides, the adapter choice
// picks the targets, and refused changes are counted for the end of the progress run.
#include <gtest/gtest.h>

#include "app/optimize_run.h"
#include "app/progress.h"
#include "platform/memory_registry.h"
#include "platform/registry_helpers.h"
#include "unit/family_query.h"

namespace zv {
namespace {

const std::string kTcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string kNet = "System\\CurrentControlSet\\Services\\Class\\Net\\";
const std::string kClass = "System\\CurrentControlSet\\Services\\Class\\";
const std::string kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

WizardChoice Choice(const std::string& adapter, int adapterIndex, int connection, int option) {
    WizardChoice c;
    c.adapterText = adapter;
    c.adapterIndex = adapterIndex;
    c.connectionIndex = connection;
    c.connectionText = kConnectionTypes[static_cast<std::size_t>(connection)];
    if (option >= 1 && option <= 4) c.options[static_cast<std::size_t>(option - 1)] = true;
    return c;
}

DiscoveredAdapters TwoAdapters() {
    DiscoveredAdapters a;
    a.instanceNames = {"0000", "0001"};
    a.descriptions = {"Dial-Up Adapter", "Realtek RTL8139"};
    a.bindingKeys = {"NetTrans\\0000", "NetTrans\\0001"};
    return a;
}

TEST(RunOptimize, TheSelectedAdapterIndexPicksTheTarget) {
    MemoryRegistry reg;
    COpSysInfo os(zvtest::FamilyQuery(WindowsFamily::Win98));
    const unsigned long failed = RunOptimize(reg, os, Choice("Realtek RTL8139", 1, 1, 1), TwoAdapters());
    EXPECT_EQ(failed, 0u);
    EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, kNet + "0001", "IPMTU"), "1500");
    EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, kClass + "NetTrans\\0001", "MaxMTU"), "1500");
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, kNet + "0000")) << "the other adapter is left alone";
}

TEST(RunOptimize, DefaultAdapterWritesAllElevenSlots) {
    MemoryRegistry reg;
    COpSysInfo os(zvtest::FamilyQuery(WindowsFamily::WinMe));
    RunOptimize(reg, os, Choice("Default Adapter", 2, 0, 2), TwoAdapters());
    for (const char* slot : {"0000", "0005", "0009", "0010"}) {
        EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, kNet + slot, "IPMTU"), "576") << slot;
    }
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, kNet + "0011"));
    // Windows Me takes the Win95 set: the receive window is a number.
    EXPECT_EQ(ReadRegDword(reg, kHkeyLocalMachine, kMstcp, "DefaultRcvWindow", 0), 2144);
}

TEST(RunOptimize, TheNtFamilyIgnoresTheAdapterChoice) {
    MemoryRegistry reg;
    COpSysInfo os(zvtest::FamilyQuery(WindowsFamily::Win2K));
    RunOptimize(reg, os, Choice("Realtek RTL8139", 1, 0, 4), TwoAdapters());
    EXPECT_EQ(ReadRegDword(reg, kHkeyLocalMachine, kTcpip, "TcpWindowSize", 0), 23360);
    EXPECT_FALSE(reg.HasKey(kHkeyLocalMachine, kNet + "0001"));
}

TEST(RunOptimize, AnUnknownFamilyWritesNothing) {
    MemoryRegistry reg;
    COpSysInfo os(zvtest::FamilyQuery(WindowsFamily::Unknown));
    const std::string before = reg.Dump();
    EXPECT_EQ(RunOptimize(reg, os, Choice("Default Adapter", 0, 0, 1), {}), 0u);
    EXPECT_EQ(reg.Dump(), before);
    EXPECT_TRUE(EndOfOptimizeRun(0).restartNotice) << "the notice still follows the run";
}

TEST(RunOptimizeFailures, AnAccountWithoutRightsGetsTheMessageNotTheRestartNotice) {
    const struct {
        WindowsFamily family;
        const char* name;
        std::string adapter;
        int connection, option;
    } cases[] = {{WindowsFamily::WinXP, "XP", "Default Adapter", 0, 1},
                 {WindowsFamily::Win2K, "2000", "Default Adapter", 1, 3},
                 {WindowsFamily::Win98, "98", "Realtek RTL8139", 2, 3},
                 {WindowsFamily::WinMe, "Me", "Default Adapter", 3, 2}};
    for (const auto& c : cases) {
        MemoryRegistry reg;
        reg.SetReadOnly(true);
        COpSysInfo os(zvtest::FamilyQuery(c.family));
        const unsigned long failed = RunOptimize(reg, os, Choice(c.adapter, 1, c.connection, c.option), TwoAdapters());
        EXPECT_GT(failed, 0u) << c.name;
        const RunEndNotice n = EndOfOptimizeRun(failed);
        EXPECT_FALSE(n.restartNotice) << c.name;
        EXPECT_NE(n.message.find(std::to_string(failed) + " settings could not be changed"), std::string::npos)
            << c.name << ": " << n.message;
    }
}

TEST(RunOptimizeFailures, EachRefusedWriteOfAPresetCounts) {
    MemoryRegistry reg;
    reg.SetReadOnly(true);
    COpSysInfo os(zvtest::FamilyQuery(WindowsFamily::WinXP));
    // NtPreset1 writes three values; the reset finds nothing to delete.
    EXPECT_EQ(RunOptimize(reg, os, Choice("Default Adapter", 0, 0, 1), {}), 3u);
}

TEST(RunOptimizeFailures, ResettingValuesThatAreAbsentIsNoFailure) {
    MemoryRegistry reg;
    reg.SetReadOnly(true);
    COpSysInfo os(zvtest::FamilyQuery(WindowsFamily::WinXP));
    EXPECT_EQ(RunOptimize(reg, os, Choice("Default Adapter", 0, kWindowsDefaultsIndex, 1), {}), 0u);
}

TEST(RunOptimizeFailures, RefusedDeletionsInAnExistingKeyCount) {
    MemoryRegistry reg;
    WriteRegDword(reg, kHkeyLocalMachine, kTcpip, "DefaultTTL", 64);
    WriteRegDword(reg, kHkeyLocalMachine, kTcpip, "SackOpts", 1);
    reg.SetReadOnly(true);
    COpSysInfo os(zvtest::FamilyQuery(WindowsFamily::WinNT));
    // Without the right to change the key every one of the nine deletions is refused.
    EXPECT_EQ(RunOptimize(reg, os, Choice("Default Adapter", 0, kWindowsDefaultsIndex, 1), {}), 9u);
}

TEST(RunOptimizeFailures, EachRunCountsOnlyItsOwnFailures) {
    MemoryRegistry reg;
    reg.SetReadOnly(true);
    COpSysInfo os(zvtest::FamilyQuery(WindowsFamily::WinXP));
    RunOptimize(reg, os, Choice("Default Adapter", 0, 0, 1), {});
    reg.SetReadOnly(false);
    EXPECT_EQ(RunOptimize(reg, os, Choice("Default Adapter", 0, 0, 1), {}), 0u);
    EXPECT_TRUE(EndOfOptimizeRun(reg.FailedChanges()).restartNotice);
}

}  // namespace
}  // namespace zv
