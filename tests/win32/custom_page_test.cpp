// The Custom Optimization page of zarvelo.exe driven under Wine: its tabs and editors, and Apply on
// each Windows family checked in the real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "support/registry_sandbox.h"
#include "support/remote.h"
#include "support/zarvelo_app.h"

namespace {

using zvtest::HasDword;
using zvtest::HasSz;
using zvtest::IsAbsent;
using zvtest::kClassKey;
using zvtest::kClassNet;
using zvtest::kMstcpKey;
using zvtest::kMstcpParameters;
using zvtest::kTcpipKey;
using zvtest::ZarveloApp;

const HKEY HKLM = HKEY_LOCAL_MACHINE;
// The eight values the custom editors write on the NT family, in editor order.
const std::vector<std::string> kNtEight = {"TcpWindowSize", "TcpMaxDupAcks",       "Tcp1323Opts",
                                           "SackOpts",      "DefaultTTL",          "EnablePMTUDiscovery",
                                           "EnablePMTUBHDetect", "SessionKeepAlive"};

int Combo(int n) { return IDC_Combo1 + n - 1; }
HWND Frame(const ZarveloApp& app, int index) { return app.Control(IDC_frmCustom_0 + index); }

// The frmCustom frame in view; -1 when none, -2 when several are.
int VisibleFrame(const ZarveloApp& app) {
    int visible = -1;
    for (int i = 0; i < 4; ++i) {
        if (!IsWindowVisible(Frame(app, i))) continue;
        if (visible != -1) return -2;
        visible = i;
    }
    return visible;
}

int SelectedTab(const ZarveloApp& app) {
    return static_cast<int>(zvtest::SendTo(app.Control(IDC_TabStrip1), TCM_GETCURSEL));
}

std::string TabCaption(ZarveloApp& app, int index) {
    HWND tab = app.Control(IDC_TabStrip1);
    // The item and its text buffer, both inside the program.
    zvtest::RemoteBuffer memory(tab, sizeof(TCITEMW) + 101 * sizeof(wchar_t));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<LPWSTR>(memory.Address() + sizeof(TCITEMW));
    item.cchTextMax = 100;
    memory.Write(&item, sizeof item);
    if (!zvtest::SendTo(tab, TCM_GETITEMW, static_cast<WPARAM>(index), memory.Address())) return "<none>";
    const std::vector<char> data = memory.Read();
    if (data.size() < sizeof(TCITEMW) + 101 * sizeof(wchar_t)) return "<unread>";
    wchar_t text[101] = {0};
    std::memcpy(text, data.data() + sizeof(TCITEMW), 100 * sizeof(wchar_t));
    char narrow[256] = {0};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// A click on a tab, where the user would click it (the notification then stays inside the program).
void ClickTab(ZarveloApp& app, int index) {
    HWND tab = app.Control(IDC_TabStrip1);
    zvtest::RemoteBuffer memory(tab, sizeof(RECT));
    zvtest::SendTo(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), memory.Address());
    RECT r{};
    const std::vector<char> data = memory.Read();
    if (data.size() == sizeof r) std::memcpy(&r, data.data(), sizeof r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tab, WM_LBUTTONUP, 0, at);
    // Posted input is handled after the messages sent meanwhile: wait for the frame to follow.
    zvtest::WaitFor([&] { return VisibleFrame(app) == index; }, 5000);
}

// An arrow key pressed while the tab strip has the keyboard; waits for the frame of the next tab.
void ArrowOnTabs(ZarveloApp& app, UINT key) {
    HWND tab = app.Control(IDC_TabStrip1);
    const int expected = SelectedTab(app) + (key == VK_RIGHT ? 1 : -1);
    PostMessageW(tab, WM_KEYDOWN, key, 1);
    PostMessageW(tab, WM_KEYUP, key, 0xC0000001);
    zvtest::WaitFor([&] { return VisibleFrame(app) == expected; }, 5000);
}

// The Apply run has ended when Command4 is enabled again and the status bar has one panel.
bool WaitApplyEnd(const ZarveloApp& app) {
    return zvtest::WaitFor([&] { return app.Enabled(IDC_Command4) && app.StatusPanels() == 1; }, 30000);
}

// Apply, returning when its progress run is over.
void Apply(ZarveloApp& app) {
    app.Click(IDC_Command4);
    ASSERT_TRUE(WaitApplyEnd(app)) << "Command4 was not enabled again";
}

// Keys typed as the user types them: into the foreground window, with the key state that goes with them.
void Type(const std::vector<WORD>& held, WORD key) {
    std::vector<INPUT> in;
    auto add = [&](WORD vk, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    for (WORD k : held) add(k, false);
    add(key, false);
    add(key, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) add(*it, true);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

std::string Slot(int i) { return i < 10 ? "000" + std::to_string(i) : "0010"; }

class CustomPage : public ::testing::Test {
protected:
    void SetUp() override {
        zvtest::GuardZarveloKeys(sandbox_);
        // Not a first run, and at the screen's corner for the screenshots.
        zvtest::WriteSz(HKLM, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
        zvtest::WriteDword(HKLM, zvtest::kZarveloSettingsKey, "LeftMain", 0);
        zvtest::WriteDword(HKLM, zvtest::kZarveloSettingsKey, "TopMain", 0);
    }

    // One TCP/IP instance 0003 whose binding key is NetTrans\0004, listed as "Test Adapter".
    static void SeedAdapter() {
        zvtest::WriteSz(HKLM, zvtest::kMstcpEnum + "\\0003", "Driver", "NetTrans\\0004");
        zvtest::WriteSz(HKLM, kClassNet + "0003", "DriverDesc", "Test Adapter");
    }

    zvtest::RegistrySandbox sandbox_;
};

TEST_F(CustomPage, TabsShowTheirFramesEditorsStartEmptyAndOfferTheirLists) {
    SeedAdapter();
    ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuManual);
    ASSERT_EQ(app.VisiblePage(), 1);

    const char* captions[] = {"       Genaral       ", "       TCP/IP       ", "        NWLink        ",
                              "      NetBEUI      "};
    const char* frames[] = {"General", "TCP/IP", "NWlink", "NetBeui"};
    EXPECT_EQ(zvtest::SendTo(app.Control(IDC_TabStrip1), TCM_GETITEMCOUNT), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(TabCaption(app, i), captions[i]) << "tab " << i + 1;
        EXPECT_EQ(app.Text(IDC_frmCustomCaption_0 + i), frames[i]) << "frame " << i;
    }
    EXPECT_EQ(app.Text(IDC_Frame1Caption_1), "Custom Optimization");
    EXPECT_EQ(app.Text(IDC_Command4), "&Apply");
    EXPECT_EQ(app.Text(IDC_Command5), "&Help");
    EXPECT_EQ(SelectedTab(app), 0);
    EXPECT_EQ(VisibleFrame(app), 0) << "the General frame is in view at first";

    // Every editor: a drop-down list with nothing selected, "Default" first.
    const int counts[36] = {0, 10, 10, 10, 10, 3, 3, 3, 3, 3, 3, 8, 3, 3, 3, 3, 8, 3, 3,
                            9, 9, 9, 9, 9, 9, 9, 9, 8, 8, 8, 8, 8, 8, 8, 8, 8};
    for (int n = 1; n <= 35; ++n) {
        HWND combo = app.Control(Combo(n));
        ASSERT_NE(combo, nullptr) << "Combo" << n;
        EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST) << "Combo" << n;
        EXPECT_EQ(zvtest::SendTo(combo, CB_GETCURSEL), CB_ERR) << "Combo" << n;
        EXPECT_EQ(app.ItemCount(Combo(n)), counts[n]) << "Combo" << n;
        EXPECT_EQ(app.ItemText(Combo(n), 0), "Default") << "Combo" << n;
    }
    EXPECT_EQ(app.ItemText(Combo(2), 9), "285984");
    EXPECT_EQ(app.ItemText(Combo(4), 9), "17874");
    EXPECT_EQ(app.ItemText(Combo(16), 7), "60");
    EXPECT_EQ(app.ItemText(Combo(18), 2), "Off");
    EXPECT_EQ(app.ItemText(Combo(26), 8), "255");
    EXPECT_EQ(app.Text(IDC_Label9), "IPX Header Compression");
    EXPECT_EQ(app.Text(IDC_Frame4), "Max Connections");
    EXPECT_EQ(app.Text(IDC_Frame5), "Max Sockets");
    EXPECT_EQ(app.Text(IDC_Frame6), "Sessions");
    EXPECT_EQ(app.Text(IDC_Frame7), "NCBS");
    app.Shot("custom-tab1-general");

    // Arrow keys and clicks on the strip itself, as a user switches tabs.
    const char* shots[] = {"custom-tab1-general", "custom-tab2-tcpip", "custom-tab3-nwlink", "custom-tab4-netbeui"};
    for (int i = 1; i < 4; ++i) {
        ArrowOnTabs(app, VK_RIGHT);
        EXPECT_EQ(VisibleFrame(app), i) << "after moving right to tab " << i + 1;
        app.Shot(shots[i]);
    }
    ClickTab(app, 0);
    EXPECT_EQ(VisibleFrame(app), 0) << "after clicking tab 1";
    ClickTab(app, 2);
    EXPECT_EQ(VisibleFrame(app), 2) << "tab 3 shows frame 2, captioned NWlink";
    ArrowOnTabs(app, VK_LEFT);
    EXPECT_EQ(VisibleFrame(app), 1) << "after moving left to tab 2";
    ClickTab(app, 3);
    EXPECT_EQ(VisibleFrame(app), 3) << "a click after the arrow keys";

    // A choice survives switching tabs and pages.
    app.Select(Combo(11), 3);
    app.Command(IDM_mnuAuto);
    app.Command(IDM_mnuManual);
    EXPECT_EQ(app.Selection(Combo(11)), 3);
    EXPECT_EQ(VisibleFrame(app), 3) << "the page keeps its tab";
}

TEST_F(CustomPage, CtrlTabSwitchesTabsFromTheEditors) {
    ZarveloApp app("win2k");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuManual);
    SetForegroundWindow(app.Form1());
    ASSERT_TRUE(zvtest::WaitFor([&] { return GetForegroundWindow() == app.Form1(); }, 5000));
    app.Sync();
    Type({VK_CONTROL}, VK_TAB);
    EXPECT_TRUE(zvtest::WaitFor([&] { return VisibleFrame(app) == 1; }, 5000)) << "Ctrl+Tab from tab 1";
    Type({VK_CONTROL, VK_SHIFT}, VK_TAB);
    EXPECT_TRUE(zvtest::WaitFor([&] { return VisibleFrame(app) == 0; }, 5000)) << "Ctrl+Shift+Tab back";
    Type({VK_CONTROL, VK_SHIFT}, VK_TAB);
    EXPECT_TRUE(zvtest::WaitFor([&] { return VisibleFrame(app) == 3; }, 5000)) << "round to the last tab";
    EXPECT_EQ(SelectedTab(app), 3) << "the strip follows";
    // Plain Tab moves the focus and leaves the tab alone.
    Type({}, VK_TAB);
    app.Sync();
    EXPECT_EQ(VisibleFrame(app), 3);
}

TEST_F(CustomPage, Win98DefaultAdapterWritesIpmtuTextToElevenSlots) {
    SeedAdapter();
    ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    ASSERT_EQ(app.ItemText(IDC_cmbAdapter, 1), "Default Adapter");
    app.Select(IDC_cmbAdapter, 1);
    app.Command(IDM_mnuManual);
    app.Select(Combo(1), 4);  // 1500
    Apply(app);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_TRUE(HasSz(HKLM, kClassNet + Slot(i), "IPMTU", "1500")) << "slot " << i;
        EXPECT_TRUE(HasSz(HKLM, kClassNet + Slot(i) + "\\Ndi\\Params\\IPMTU", "default", "1500")) << "slot " << i;
        EXPECT_TRUE(HasSz(HKLM, kClassKey + "NetTrans\\" + Slot(i), "IPMTU", "1500")) << "slot " << i;
    }
    EXPECT_FALSE(zvtest::KeyExists(HKLM, kClassNet + "0011")) << "eleven slots, no more";
    EXPECT_FALSE(zvtest::KeyExists(HKLM, kClassKey + "NetTrans\\0011"));
}

TEST_F(CustomPage, Win95SpecificAdapterDefaultDeletesTheFourValuesOfThatAdapter) {
    SeedAdapter();
    for (const std::string& key : {kClassNet + "0003", kClassNet + "0000"}) {
        zvtest::WriteSz(HKLM, key, "IPMTU", "1500");
        zvtest::WriteSz(HKLM, key, "MaxMTU", "1500");
        zvtest::WriteSz(HKLM, key + "\\Ndi\\Params\\IPMTU", "", "IP MTU");
        zvtest::WriteSz(HKLM, key + "\\Ndi\\Params\\IPMTU", "default", "1500");
    }
    zvtest::WriteSz(HKLM, kClassKey + "NetTrans\\0004", "IPMTU", "1500");
    zvtest::WriteSz(HKLM, kClassKey + "NetTrans\\0000", "IPMTU", "1500");
    ZarveloApp app("win95");
    ASSERT_TRUE(app.Started());
    EXPECT_EQ(app.ItemText(IDC_cmbAdapter, 0), "Test Adapter");
    EXPECT_EQ(app.Selection(IDC_cmbAdapter), 0);
    app.Command(IDM_mnuManual);
    app.Select(Combo(1), 0);  // "Default"
    Apply(app);
    EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0003", "IPMTU"));
    EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0003\\Ndi\\Params\\IPMTU", ""));
    EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0003\\Ndi\\Params\\IPMTU", "default"));
    EXPECT_TRUE(IsAbsent(HKLM, kClassKey + "NetTrans\\0004", "IPMTU"));
    // Nothing else: not the adapter's other values, not slot 0000.
    EXPECT_TRUE(HasSz(HKLM, kClassNet + "0003", "MaxMTU", "1500"));
    EXPECT_TRUE(HasSz(HKLM, kClassNet + "0000", "IPMTU", "1500"));
    EXPECT_TRUE(HasSz(HKLM, kClassNet + "0000\\Ndi\\Params\\IPMTU", "", "IP MTU"));
    EXPECT_TRUE(HasSz(HKLM, kClassKey + "NetTrans\\0000", "IPMTU", "1500"));
}

TEST_F(CustomPage, MeWritesTheReceiveWindowAsANumberAnd98AsText) {
    for (const char* version : {"winme", "win98"}) {
        const bool me = std::string(version) == "winme";
        zvtest::DeleteValue(HKLM, kMstcpKey, "DefaultRcvWindow");
        zvtest::DeleteValue(HKLM, kMstcpParameters, "DefaultRcvWindow");
        ZarveloApp app(version);
        ASSERT_TRUE(app.Started()) << version;
        app.Command(IDM_mnuManual);
        app.Select(Combo(2), 1);  // 8576
        Apply(app);
        for (const std::string& key : {kMstcpKey, kMstcpParameters}) {
            EXPECT_TRUE(me ? HasDword(HKLM, key, "DefaultRcvWindow", 8576) : HasSz(HKLM, key, "DefaultRcvWindow", "8576"))
                << version << " " << key;
        }
    }
}

TEST_F(CustomPage, Ttl256IsWrittenUnclampedOn9xAndNt) {
    {
        ZarveloApp app("win95");
        ASSERT_TRUE(app.Started());
        app.Command(IDM_mnuManual);
        app.Select(Combo(11), 7);  // 256
        Apply(app);
        EXPECT_TRUE(HasSz(HKLM, kMstcpKey, "DefaultTTL", "256"));
    }
    ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuManual);
    app.Select(Combo(11), 7);
    Apply(app);
    EXPECT_TRUE(HasDword(HKLM, kTcpipKey, "DefaultTTL", 256));
}

TEST_F(CustomPage, KeepAliveThirtyAndSixtyMinutesInMilliseconds) {
    for (const char* version : {"win98", "win2k"}) {
        const bool nt = std::string(version) == "win2k";
        auto written = [&](DWORD ms) {
            return nt ? HasDword(HKLM, kTcpipKey, "SessionKeepAlive", ms)
                      : HasSz(HKLM, kMstcpKey, "SessionKeepAlive", std::to_string(ms));
        };
        ZarveloApp app(version);
        ASSERT_TRUE(app.Started()) << version;
        app.Command(IDM_mnuManual);
        app.Select(Combo(16), 4);  // 30
        Apply(app);
        EXPECT_TRUE(written(1800000)) << version;
        app.Select(Combo(16), 7);  // 60
        Apply(app);
        EXPECT_TRUE(written(3600000)) << version;
    }
}

TEST_F(CustomPage, XpWithAllEditorsSetWritesOnlyTheEightTcpipValues) {
    SeedAdapter();
    ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuManual);
    for (int n = 1; n <= 35; ++n) app.Select(Combo(n), 2);
    Apply(app);
    // Item 2: "Off" on a switch, else the list's second number.
    const DWORD expected[] = {15456, 0, 0, 0, 8, 0, 0, 600000};
    for (std::size_t i = 0; i < kNtEight.size(); ++i) {
        EXPECT_TRUE(HasDword(HKLM, kTcpipKey, kNtEight[i], expected[i])) << kNtEight[i];
    }
    EXPECT_TRUE(IsAbsent(HKLM, kTcpipKey, "TcpUseRFC1122UrgentPointer"));
    EXPECT_FALSE(zvtest::KeyExists(HKLM, "System\\CurrentControlSet\\Services\\VxD")) << "no 9x value on XP";
    EXPECT_FALSE(zvtest::KeyExists(HKLM, kClassNet + "0000"));
    EXPECT_TRUE(IsAbsent(HKLM, kClassNet + "0003", "IPMTU"));
}

TEST_F(CustomPage, Win2000DefaultTtlDeletesDefaultTtl) {
    zvtest::WriteDword(HKLM, kTcpipKey, "DefaultTTL", 128);
    zvtest::WriteDword(HKLM, kTcpipKey, "SackOpts", 1);
    ZarveloApp app("win2k");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuManual);
    app.Select(Combo(11), 0);
    Apply(app);
    EXPECT_TRUE(IsAbsent(HKLM, kTcpipKey, "DefaultTTL"));
    EXPECT_TRUE(HasDword(HKLM, kTcpipKey, "SackOpts", 1)) << "left alone";
}

TEST_F(CustomPage, ApplyRunsItsProgressIgnoresASecondApplyAndEnablesApplyAgain) {
    ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuManual);
    ASSERT_EQ(app.StatusPanels(), 1);
    HWND bar = app.Control(IDC_ProgressBar1);
    app.Select(Combo(11), 2);
    app.Click(IDC_Command4);
    EXPECT_FALSE(app.Enabled(IDC_Command4)) << "Command4 is disabled during the run";
    EXPECT_EQ(GetParent(bar), app.Control(IDC_StatusBar1)) << "the bar sits in the status bar";
    EXPECT_TRUE(IsWindowVisible(bar));

    // The File menu's Apply during the run is ignored: nothing is written.
    app.Select(Combo(11), 1);
    app.Command(IDM_mnuApply);
    EXPECT_TRUE(zvtest::WaitFor([&] { return zvtest::SendTo(bar, PBM_GETPOS) >= 50; }, 20000));
    app.Shot("custom-apply-progress");
    ASSERT_TRUE(WaitApplyEnd(app));
    EXPECT_FALSE(HasDword(HKLM, kTcpipKey, "DefaultTTL", 4)) << "the Apply during the run wrote";
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(app.StatusPanels(), 1) << "one full-width panel after the run";
    EXPECT_TRUE(app.Enabled(IDC_Toolbar1));

    // Once the run is over the menu item applies.
    app.Command(IDM_mnuApply);
    EXPECT_TRUE(HasDword(HKLM, kTcpipKey, "DefaultTTL", 4));
    EXPECT_FALSE(app.Enabled(IDC_Command4));
    ASSERT_TRUE(WaitApplyEnd(app));
}

}  // namespace
