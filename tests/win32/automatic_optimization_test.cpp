// The wizard end to end: zarvelo.exe under each Windows family, driven through its pages to
// Optimize, and the registry checked value by value (type and data) afterwards.
#include <gtest/gtest.h>

#include "app/win32/resource.h"
#include "support/registry_sandbox.h"
#include "support/zarvelo_app.h"

namespace {

using zvtest::HasDword;
using zvtest::HasSz;
using zvtest::IsAbsent;
using zvtest::kClassKey;
using zvtest::kClassNet;
using zvtest::kInternetKey;
using zvtest::kMstcpKey;
using zvtest::kMstcpParameters;
using zvtest::kNetbeuiKey;
using zvtest::kNwlinkKey;
using zvtest::kTcpipKey;

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const HKEY HKCU = HKEY_CURRENT_USER;

class AutomaticOptimization : public ::testing::Test {
protected:
    void SetUp() override {
        zvtest::GuardZarveloKeys(sandbox_);
        // Not a first run: no prompt in the way.
        zvtest::WriteSz(HKLM, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
    }

    // Two TCP/IP instances as Windows 98 lists them, bound to NetTrans\0000 and NetTrans\0001.
    static void SeedTwoAdapters() {
        zvtest::WriteSz(HKLM, zvtest::kMstcpEnum + "\\0000", "Driver", "NetTrans\\0000");
        zvtest::WriteSz(HKLM, zvtest::kMstcpEnum + "\\0001", "Driver", "NetTrans\\0001");
        zvtest::WriteSz(HKLM, kClassNet + "0000", "DriverDesc", "Dial-Up Adapter");
        zvtest::WriteSz(HKLM, kClassNet + "0001", "DriverDesc", "Realtek RTL8139 PCI Fast Ethernet Adapter");
    }

    // Page 0: adapter (unless -1) and connection type; page 2: option 1 to 5; page 3: Optimize.
    static void RunWizard(zvtest::ZarveloApp& app, int adapter, int connection, int option) {
        if (adapter >= 0) app.Select(IDC_cmbAdapter, adapter);
        app.Select(IDC_cmbConnection, connection);
        app.Click(IDC_Command7);
        if (connection != 4) {
            ASSERT_EQ(app.VisiblePage(), 2);
            app.Click(IDC_Option8 + option - 1);
            app.Click(IDC_Command10);
        }
        ASSERT_EQ(app.VisiblePage(), 3);
        app.Click(IDC_Command1);
        ASSERT_TRUE(app.WaitForRunEnd()) << "the progress run did not end";
        EXPECT_TRUE(app.Visible(IDC_Frame3)) << "restart notice";
    }

    zvtest::RegistrySandbox sandbox_;
};

TEST_F(AutomaticOptimization, Windows98AdapterOnePppoeOptionFiveResetsThatAdapterAndWritesGlobalsOnly) {
    SeedTwoAdapters();
    zvtest::WriteSz(HKLM, kClassNet + "0000", "IPMTU", "1400");
    zvtest::WriteSz(HKLM, kClassNet + "0001", "IPMTU", "1400");
    zvtest::WriteSz(HKLM, kClassNet + "0001\\Ndi\\Params\\IPMTU", "default", "1400");
    zvtest::WriteSz(HKLM, kClassKey + "NetTrans\\0001", "MaxMTU", "1400");
    zvtest::WriteSz(HKLM, kMstcpKey, "DefaultTTL", "32");
    zvtest::WriteSz(HKLM, kMstcpKey, "Tcp1323Opts", "3");
    zvtest::WriteSz(HKLM, kMstcpKey, "EnableDNS", "1");
    zvtest::WriteSz(HKLM, kNwlinkKey, "cachesize", "32");
    zvtest::WriteDword(HKCU, kInternetKey, "MaxConnectionsPerServer", 4);

    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    ASSERT_EQ(app.ItemCount(IDC_cmbAdapter), 3);
    EXPECT_EQ(app.ItemText(IDC_cmbAdapter, 0), "Dial-Up Adapter");
    EXPECT_EQ(app.ItemText(IDC_cmbAdapter, 1), "Realtek RTL8139 PCI Fast Ethernet Adapter");
    EXPECT_EQ(app.ItemText(IDC_cmbAdapter, 2), "Default Adapter");
    EXPECT_EQ(app.Selection(IDC_cmbAdapter), 0);
    RunWizard(app, 1, 2, 5);
    ASSERT_TRUE(app.Close());

    // Reset9x on (0001, NetTrans\0001); the other adapter keeps its value.
    EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0001", "IPMTU"));
    EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0001\\Ndi\\Params\\IPMTU", "default"));
    EXPECT_TRUE(IsAbsent(HKLM, kClassKey + "NetTrans\\0001", "MaxMTU"));
    EXPECT_TRUE(HasSz(HKLM, kClassNet + "0000", "IPMTU", "1400"));
    EXPECT_TRUE(IsAbsent(HKLM, kMstcpKey, "Tcp1323Opts"));
    EXPECT_TRUE(IsAbsent(HKLM, kNwlinkKey, "cachesize"));
    EXPECT_TRUE(IsAbsent(HKCU, kInternetKey, "MaxConnectionsPerServer"));
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "EnableDNS", "1")) << "not a catalogue value";

    // W98Pppoe5: seven global values, as text in the Win98 set, and no adapter value.
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "DefaultRcvWindow", "4288"));
    EXPECT_TRUE(HasSz(HKLM, kMstcpParameters, "DefaultRcvWindow", "4288"));
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "DefaultTTL", "128"));
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "PMTUBlackHoleDetect", "0"));
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "PMTUDiscovery", "1"));
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "SessionKeepAlive", "60000"));
    EXPECT_TRUE(HasSz(HKLM, kInternetKey, "MaxConnectionsPerServer", "8"));
    EXPECT_TRUE(HasSz(HKLM, kInternetKey, "MaxConnectionsPer1_0Server", "16"));
    for (const char* name : {"IPMTU", "MaxMTU", "MaxMSS", "MSS"}) {
        EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0001", name));
    }
    EXPECT_TRUE(IsAbsent(HKLM, kMstcpKey, "DefaultMSS"));
}

TEST_F(AutomaticOptimization, WindowsMeDefaultAdapterDialUpOptionTwoWritesElevenSlots) {
    zvtest::ZarveloApp app("winme");
    ASSERT_TRUE(app.Started());
    ASSERT_EQ(app.ItemCount(IDC_cmbAdapter), 1) << "no adapter discovered";
    EXPECT_EQ(app.ItemText(IDC_cmbAdapter, 0), "Default Adapter");
    EXPECT_EQ(app.Selection(IDC_cmbAdapter), 0);
    RunWizard(app, -1, 0, 2);
    ASSERT_TRUE(app.Close());

    // W95DialUp2 on slots 0000 ... 0010: Windows Me takes the Win95 set.
    for (int slot = 0; slot <= 10; ++slot) {
        char name[8];
        std::snprintf(name, sizeof name, "%04d", slot);
        const std::string net = kClassNet + name;
        const std::string binding = kClassKey + "NetTrans\\" + name;
        SCOPED_TRACE(std::string("slot ") + name);
        EXPECT_TRUE(HasSz(HKLM, net, "IPMTU", "576"));
        EXPECT_TRUE(HasSz(HKLM, net + "\\Ndi\\Params\\IPMTU", "default", "576"));
        EXPECT_TRUE(HasSz(HKLM, net, "MaxMTU", "576"));
        EXPECT_TRUE(HasSz(HKLM, net, "MaxMSS", "536"));
        EXPECT_TRUE(HasSz(HKLM, net, "MSS", "536"));
        EXPECT_TRUE(HasSz(HKLM, binding, "IPMTU", "576"));
        EXPECT_TRUE(HasSz(HKLM, binding, "MaxMTU", "576"));
        EXPECT_TRUE(HasSz(HKLM, binding, "MaxMSS", "536"));
        EXPECT_TRUE(HasSz(HKLM, binding, "MSS", "536"));
    }
    EXPECT_FALSE(zvtest::KeyExists(HKLM, kClassNet + "0011"));
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "DefaultMSS", "536"));
    EXPECT_TRUE(HasDword(HKLM, kMstcpKey, "DefaultRcvWindow", 2144));
    EXPECT_TRUE(HasDword(HKLM, kMstcpParameters, "DefaultRcvWindow", 2144));
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "DefaultTTL", "64"));
    EXPECT_TRUE(HasDword(HKLM, kMstcpKey, "PMTUDiscovery", 1));
    EXPECT_TRUE(IsAbsent(HKLM, kMstcpKey, "PMTUBlackHoleDetect"));
    EXPECT_TRUE(IsAbsent(HKLM, kMstcpKey, "SessionKeepAlive"));
    EXPECT_TRUE(HasSz(HKLM, kNwlinkKey, "cachesize", "64"));
    for (const char* name : {"default", "0", "1", "NdiValue"}) {
        EXPECT_TRUE(HasSz(HKLM, kNwlinkKey + "\\Ndi\\params\\cachesize", name, "64"));
    }
}

// Windows Defaults on the 9x family deletes the catalogue values and writes nothing.
class WindowsDefaults9x : public AutomaticOptimization, public ::testing::WithParamInterface<const char*> {};

TEST_P(WindowsDefaults9x, OnlyResets) {
    SeedTwoAdapters();
    zvtest::WriteSz(HKLM, kClassNet + "0000", "IPMTU", "1500");
    zvtest::WriteSz(HKLM, kClassNet + "0000", "DriverDesc", "Dial-Up Adapter");
    zvtest::WriteSz(HKLM, kClassKey + "NetTrans\\0000", "MSS", "1460");
    zvtest::WriteDword(HKLM, kClassKey + "NetTrans\\0000", "SLOWNET", 1);
    zvtest::WriteSz(HKLM, kMstcpKey, "DefaultTTL", "128");
    zvtest::WriteSz(HKLM, kMstcpKey, "DefaultMSS", "1460");
    zvtest::WriteSz(HKLM, kMstcpKey, "EnableDNS", "1");
    zvtest::WriteSz(HKLM, kMstcpParameters, "MaxDupAcks", "3");
    zvtest::WriteSz(HKLM, kNwlinkKey + "\\Ndi\\params\\maxconnect", "max", "128");
    zvtest::WriteSz(HKLM, kNetbeuiKey, "sessions", "32");
    zvtest::WriteSz(HKLM, kNetbeuiKey + "\\Ndi\\params\\ncbs", "min", "8");
    zvtest::WriteDword(HKCU, kInternetKey, "MaxConnectionsPer1_0Server", 16);
    zvtest::WriteSz(HKLM, kInternetKey, "MaxConnectionsPerServer", "8");

    zvtest::ZarveloApp app(GetParam());
    ASSERT_TRUE(app.Started());
    RunWizard(app, 0, 4, 0);
    ASSERT_TRUE(app.Close());

    EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0000", "IPMTU"));
    EXPECT_TRUE(IsAbsent(HKLM, kClassKey + "NetTrans\\0000", "MSS"));
    EXPECT_TRUE(IsAbsent(HKLM, kClassKey + "NetTrans\\0000", "SLOWNET"));
    EXPECT_TRUE(IsAbsent(HKLM, kMstcpKey, "DefaultTTL"));
    EXPECT_TRUE(IsAbsent(HKLM, kMstcpKey, "DefaultMSS"));
    EXPECT_TRUE(IsAbsent(HKLM, kMstcpParameters, "MaxDupAcks"));
    EXPECT_TRUE(IsAbsent(HKLM, kNwlinkKey + "\\Ndi\\params\\maxconnect", "max"));
    EXPECT_TRUE(IsAbsent(HKLM, kNetbeuiKey, "sessions"));
    EXPECT_TRUE(IsAbsent(HKLM, kNetbeuiKey + "\\Ndi\\params\\ncbs", "min"));
    EXPECT_TRUE(IsAbsent(HKCU, kInternetKey, "MaxConnectionsPer1_0Server"));
    // The limits the presets write under the machine key go back to the defaults too.
    EXPECT_TRUE(IsAbsent(HKLM, kInternetKey, "MaxConnectionsPerServer"));
    // What the reset does not touch stays.
    EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "EnableDNS", "1"));
    EXPECT_TRUE(HasSz(HKLM, kClassNet + "0000", "DriverDesc", "Dial-Up Adapter"));
    // Nothing is written.
    for (const char* name : {"DefaultRcvWindow", "PMTUDiscovery", "SessionKeepAlive", "PMTUBlackHoleDetect"}) {
        EXPECT_TRUE(IsAbsent(HKLM, kMstcpKey, name));
    }
    EXPECT_TRUE(IsAbsent(HKLM, kNwlinkKey, "cachesize"));
    EXPECT_FALSE(zvtest::KeyExists(HKLM, kClassNet + "0001\\Ndi")) << "a reset creates no keys";
}

INSTANTIATE_TEST_SUITE_P(Families, WindowsDefaults9x, ::testing::Values("win95", "win98"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST_F(AutomaticOptimization, Windows95WindowsDefaultsWithDefaultAdapterResetsEverySlotAndCreatesNoKeys) {
    zvtest::WriteSz(HKLM, kClassNet + "0003", "IPMTU", "1500");
    zvtest::WriteSz(HKLM, kClassKey + "NetTrans\\0010", "MaxMSS", "1460");
    zvtest::ZarveloApp app("win95");
    ASSERT_TRUE(app.Started());
    ASSERT_EQ(app.ItemText(IDC_cmbAdapter, app.Selection(IDC_cmbAdapter)), "Default Adapter");
    RunWizard(app, -1, 4, 0);
    ASSERT_TRUE(app.Close());
    EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0003", "IPMTU"));
    EXPECT_TRUE(IsAbsent(HKLM, kClassKey + "NetTrans\\0010", "MaxMSS"));
    EXPECT_FALSE(zvtest::KeyExists(HKLM, kClassNet + "0004"));
}

// The NT family: the nine Tcpip values after ResetNt and the preset of the decision table.
struct NtCase {
    const char* name;
    const char* wineVersion;
    int connection;
    int option;
    // Expected value of each of the nine names, or -1 for absent.
    long long expected[9];  // DefaultTTL, EnablePMTUBHDetect, EnablePMTUDiscovery, TcpUseRFC1122UrgentPointer,
                            // TcpWindowSize, SessionKeepAlive, TcpMaxDupAcks, SackOpts, Tcp1323Opts
};

class NtOptimization : public AutomaticOptimization, public ::testing::WithParamInterface<NtCase> {};

TEST_P(NtOptimization, WritesThePresetOfTheFamilyAfterTheReset) {
    const NtCase& c = GetParam();
    // Values from an earlier optimization, all of which the reset removes first.
    for (const char* name : zvtest::kTcpipValues) zvtest::WriteDword(HKLM, kTcpipKey, name, 7);
    zvtest::ZarveloApp app(c.wineVersion);
    ASSERT_TRUE(app.Started());
    ASSERT_EQ(app.ItemCount(IDC_cmbAdapter), 1);
    EXPECT_EQ(app.ItemText(IDC_cmbAdapter, 0), "Default Adapter");
    EXPECT_EQ(app.Selection(IDC_cmbAdapter), 0);
    RunWizard(app, -1, c.connection, c.option);
    ASSERT_TRUE(app.Close());
    for (int i = 0; i < 9; ++i) {
        if (c.expected[i] < 0) {
            EXPECT_TRUE(IsAbsent(HKLM, kTcpipKey, zvtest::kTcpipValues[i]));
        } else {
            EXPECT_TRUE(HasDword(HKLM, kTcpipKey, zvtest::kTcpipValues[i], static_cast<DWORD>(c.expected[i])));
        }
    }
    EXPECT_TRUE(zvtest::ReadValue(HKLM, kTcpipKey, "Hostname").exists) << "Wine's own values stay";
    EXPECT_FALSE(zvtest::KeyExists(HKLM, kClassNet + "0000")) << "no adapter value on the NT family";
}

INSTANTIATE_TEST_SUITE_P(
    Families, NtOptimization,
    ::testing::Values(
        NtCase{"XpWindowsDefaults", "winxp", 4, 0, {-1, -1, -1, -1, -1, -1, -1, -1, -1}},
        NtCase{"W2kDialUpOption4NtPreset3", "win2k", 0, 4, {128, 0, 1, -1, 23360, 60000, -1, -1, -1}},
        NtCase{"XpLanOption3NtPreset2", "winxp", 1, 3, {128, 0, -1, -1, 23360, 60000, 3, 1, -1}},
        NtCase{"W2kLanOption3NtPreset6", "win2k", 1, 3, {128, 0, -1, -1, 373760, 60000, 3, 1, 3}},
        NtCase{"Nt4SatelliteOption1NtPreset11", "nt40", 3, 1, {64, -1, 1, -1, 64240, -1, -1, -1, -1}}),
    [](const ::testing::TestParamInfo<NtCase>& info) { return std::string(info.param.name); });

}  // namespace
