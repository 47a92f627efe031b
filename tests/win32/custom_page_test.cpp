// The Custom Optimization page of zarvelo.exe driven under Wine: its tabs and editors, and Apply on
// each Windows family checked in the real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/win32/resource.h"
#include "support/wintest.h"

namespace {

using zvtest::FindChildById;

const std::string kNet = "System\\CurrentControlSet\\Services\\Class\\Net\\";
const std::string kClass = "System\\CurrentControlSet\\Services\\Class\\";
const std::string kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
const std::string kMstcpPar = "System\\CurrentControlSet\\Services\\VxD\\MSTCP\\Parameters";
const std::string kTcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string kEnumMstcp = "Enum\\Network\\MSTCP";
const std::string kSettings = "SOFTWARE\\Quonibar\\Zarvelo";
const std::vector<std::string> kNtEight = {"TcpWindowSize", "TcpMaxDupAcks",       "Tcp1323Opts",
                                           "SackOpts",      "DefaultTTL",          "EnablePMTUDiscovery",
                                           "EnablePMTUBHDetect", "SessionKeepAlive"};

// A value as the registry holds it: its type and its data.
struct Value {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const Value&) const = default;
};
Value Text(const std::string& s) {
    Value v{REG_SZ, std::vector<BYTE>(s.begin(), s.end())};
    v.data.push_back(0);
    return v;
}
Value Number(DWORD n) { return Value{REG_DWORD, {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)}}; }
void PrintTo(const Value& v, std::ostream* os) {
    *os << "type " << v.type << " data";
    for (BYTE b : v.data) *os << ' ' << int(b);
}

// The value, or type 0 when it is absent.
Value Get(const std::string& key, const std::string& name) {
    HKEY h;
    Value v;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return v;
    DWORD size = 0;
    if (RegQueryValueExA(h, name.c_str(), nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        v.data.resize(size);
        RegQueryValueExA(h, name.c_str(), nullptr, &v.type, v.data.data(), &size);
        v.data.resize(size);
    } else {
        v.type = 0;
    }
    RegCloseKey(h);
    return v;
}
bool KeyExists(const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}
void Put(const std::string& key, const std::string& name, const Value& v) {
    HKEY h;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &h) != ERROR_SUCCESS) return;
    RegSetValueExA(h, name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    RegCloseKey(h);
}
void Remove(const std::string& key, const std::string& name) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
    RegDeleteValueA(h, name.c_str());
    RegCloseKey(h);
}

// Every key of ours goes, before and after each test; the Tcpip key keeps its other values.
void CleanRegistry() {
    zvtest::DeleteTree(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Class");
    zvtest::DeleteTree(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\VxD");
    zvtest::DeleteTree(HKEY_LOCAL_MACHINE, "Enum\\Network");
    for (const auto& v : kNtEight) Remove(kTcpip, v);
}

// A buffer inside the program, for messages whose lParam points to memory.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size) : process_(process) {
        at_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
    }
    BYTE* at() const { return static_cast<BYTE*>(at_); }
    void Write(const void* data, SIZE_T size, SIZE_T offset = 0) {
        WriteProcessMemory(process_, at() + offset, data, size, nullptr);
    }
    void Read(void* data, SIZE_T size, SIZE_T offset = 0) {
        ReadProcessMemory(process_, at() + offset, data, size, nullptr);
    }

private:
    HANDLE process_;
    void* at_;
};

// zarvelo.exe under a chosen Windows family, with its position stored so that no first-run prompt comes.
class Zarvelo {
public:
    explicit Zarvelo(const char* version) {
        zvtest::SetWineVersion("zarvelo.exe", version);
        Put(kSettings, "LoadedMain", Text("Yes"));
        Put(kSettings, "LeftMain", Number(0));
        Put(kSettings, "TopMain", Number(0));
        process_ = zvtest::Process("\"" + zvtest::ProgramDir() + "\\zarvelo.exe\"");
        form_ = zvtest::WaitForWindow(process_.Id(), "Zarvelo");
        if (form_) zvtest::Settle(process_.Handle());
    }
    ~Zarvelo() {
        if (form_ && IsWindow(form_)) PostMessageA(form_, WM_CLOSE, 0, 0);
        process_.WaitExit(15000);
    }

    HWND Form() const { return form_; }
    HANDLE Process() const { return process_.Handle(); }
    HWND Control(int id) const { return FindChildById(form_, id); }
    HWND Frame(int index) const { return Control(IDC_frmCustom_0 + index); }

    void Command(int id) { SendMessageA(form_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void CustomMode() { Command(IDM_mnuManual); }

    // Picks an item as the user does: the selection, then the notification to the list's parent.
    void Pick(int id, int item) {
        HWND combo = Control(id);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    void PickCombo(int combo, int item) { Pick(IDC_Combo1 + combo - 1, item); }

    // Apply, returning when the click has been handled (the writes are made inside it).
    void ClickApply() { SendMessageW(Control(IDC_Command4), BM_CLICK, 0, 0); }
    // The progress run has ended when Command4 is enabled again.
    bool WaitApplyEnd() {
        HWND command4 = Control(IDC_Command4);
        return zvtest::WaitFor([&] { return IsWindowEnabled(command4) != FALSE; }, 30000);
    }
    void Apply() {
        ClickApply();
        ASSERT_TRUE(WaitApplyEnd()) << "Command4 was not enabled again";
    }

    std::string ComboItem(HWND combo, int index) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR) return "<none>";
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        return std::string(text.begin(), text.end());
    }

    std::string TabCaption(int index) {
        HWND tab = Control(IDC_TabStrip1);
        RemoteBuffer buffer(Process(), sizeof(TCITEMW) + 256);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<LPWSTR>(buffer.at() + sizeof(TCITEMW));
        item.cchTextMax = 100;
        buffer.Write(&item, sizeof item);
        if (!SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.at()))) {
            return "<none>";
        }
        wchar_t text[101] = {0};
        buffer.Read(text, 100 * sizeof(wchar_t), sizeof(TCITEMW));
        std::wstring w(text);
        return std::string(w.begin(), w.end());
    }

    // A click on a tab, where the user would click it.
    void ClickTab(int index) {
        HWND tab = Control(IDC_TabStrip1);
        RemoteBuffer buffer(Process(), sizeof(RECT));
        SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.at()));
        RECT r{};
        buffer.Read(&r, sizeof r);
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(tab, WM_LBUTTONUP, 0, at);
        zvtest::Settle(Process(), 2000);
    }
    // An arrow key pressed on the tab strip.
    void ArrowOnTabs(UINT key) {
        HWND tab = Control(IDC_TabStrip1);
        PostMessageW(tab, WM_KEYDOWN, key, 1);
        PostMessageW(tab, WM_KEYUP, key, 0xC0000001);
        zvtest::Settle(Process(), 2000);
    }

    int VisibleFrame() {
        int visible = -1;
        for (int i = 0; i < 4; ++i) {
            if (IsWindowVisible(Frame(i))) {
                if (visible != -1) return -2;  // more than one
                visible = i;
            }
        }
        return visible;
    }

    int StatusParts() { return static_cast<int>(SendMessageW(Control(IDC_StatusBar1), SB_GETPARTS, 0, 0)); }

private:
    zvtest::Process process_;
    HWND form_ = nullptr;
};

// One TCP/IP instance 0003 whose binding key is NetTrans\0004, shown as "Test Adapter".
void SeedAdapter() {
    Put(kEnumMstcp + "\\0003", "Driver", Text("NetTrans\\0004"));
    Put(kNet + "0003", "DriverDesc", Text("Test Adapter"));
}

std::string Slot(int i) { return i < 10 ? "000" + std::to_string(i) : "0010"; }

class CustomPage : public ::testing::Test {
protected:
    void SetUp() override { CleanRegistry(); }
    void TearDown() override { CleanRegistry(); }
};

TEST_F(CustomPage, TabsShowTheirFramesEditorsStartEmptyAndOfferTheirLists) {
    SeedAdapter();
    Zarvelo app("win98");
    ASSERT_NE(app.Form(), nullptr);
    app.CustomMode();
    ASSERT_TRUE(zvtest::WaitFor([&] { return IsWindowVisible(app.Control(IDC_Frame1_1)) != FALSE; }, 10000));

    const char* captions[] = {"       Genaral       ", "       TCP/IP       ", "        NWLink        ",
                              "      NetBEUI      "};
    const char* frames[] = {"General", "TCP/IP", "NWlink", "NetBeui"};
    EXPECT_EQ(SendMessageW(app.Control(IDC_TabStrip1), TCM_GETITEMCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(app.TabCaption(i), captions[i]) << "tab " << i + 1;
        EXPECT_EQ(zvtest::WindowText(app.Control(IDC_frmCustomCaption_0 + i)), frames[i]) << "frame " << i;
    }
    EXPECT_EQ(zvtest::WindowText(app.Control(IDC_Command4)), "&Apply");
    EXPECT_EQ(zvtest::WindowText(app.Control(IDC_Command5)), "&Help");
    EXPECT_EQ(app.VisibleFrame(), 0) << "the General frame is in view at first";

    // Every editor: a drop-down list with nothing selected, "Default" first.
    const int counts[36] = {0, 10, 10, 10, 10, 3, 3, 3, 3, 3, 3, 8, 3, 3, 3, 3, 8, 3, 3,
                            9, 9, 9, 9, 9, 9, 9, 9, 8, 8, 8, 8, 8, 8, 8, 8, 8};
    for (int n = 1; n <= 35; ++n) {
        HWND combo = app.Control(IDC_Combo1 + n - 1);
        ASSERT_NE(combo, nullptr) << "Combo" << n;
        EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST) << "Combo" << n;
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR) << "Combo" << n;
        EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), counts[n]) << "Combo" << n;
        EXPECT_EQ(app.ComboItem(combo, 0), "Default") << "Combo" << n;
    }
    EXPECT_EQ(app.ComboItem(app.Control(IDC_Combo2), 9), "285984");
    EXPECT_EQ(app.ComboItem(app.Control(IDC_Combo4), 9), "17874");
    EXPECT_EQ(app.ComboItem(app.Control(IDC_Combo16), 7), "60");
    EXPECT_EQ(app.ComboItem(app.Control(IDC_Combo18), 2), "Off");
    EXPECT_EQ(zvtest::WindowText(app.Control(IDC_Label9)), "IPX Header Compression");
    EXPECT_EQ(zvtest::WindowText(app.Control(IDC_Frame4)), "Max Connections");
    EXPECT_EQ(zvtest::WindowText(app.Control(IDC_Frame7)), "NCBS");
    zvtest::SaveScreenshot(app.Form(), "custom-tab1-general");

    // Arrow keys and clicks on the strip itself, as a user switches tabs.
    const char* shots[] = {"custom-tab1-general", "custom-tab2-tcpip", "custom-tab3-nwlink", "custom-tab4-netbeui"};
    for (int i = 1; i < 4; ++i) {
        app.ArrowOnTabs(VK_RIGHT);
        EXPECT_EQ(app.VisibleFrame(), i) << "after moving right to tab " << i + 1;
        zvtest::SaveScreenshot(app.Form(), shots[i]);
    }
    app.ClickTab(0);
    EXPECT_EQ(app.VisibleFrame(), 0) << "after clicking tab 1";
    app.ClickTab(2);
    EXPECT_EQ(app.VisibleFrame(), 2) << "tab 3 shows frame 2, captioned NWlink";
    app.ArrowOnTabs(VK_LEFT);
    EXPECT_EQ(app.VisibleFrame(), 1) << "after moving left to tab 2";
    app.ClickTab(3);
    EXPECT_EQ(app.VisibleFrame(), 3) << "a click after the arrow keys";

    // A choice survives switching tabs and pages.
    app.PickCombo(11, 3);
    app.Command(IDM_mnuAuto);
    app.CustomMode();
    EXPECT_EQ(SendMessageW(app.Control(IDC_Combo11), CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(app.VisibleFrame(), 3) << "the page keeps its tab";
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

TEST_F(CustomPage, CtrlTabSwitchesTabsFromTheEditors) {
    Zarvelo app("win2k");
    ASSERT_NE(app.Form(), nullptr);
    app.CustomMode();
    SetForegroundWindow(app.Form());
    ASSERT_TRUE(zvtest::WaitFor([&] { return GetForegroundWindow() == app.Form(); }, 5000));
    zvtest::Settle(app.Process());
    Type({VK_CONTROL}, VK_TAB);
    EXPECT_TRUE(zvtest::WaitFor([&] { return app.VisibleFrame() == 1; }, 5000)) << "Ctrl+Tab from tab 1";
    Type({VK_CONTROL, VK_SHIFT}, VK_TAB);
    EXPECT_TRUE(zvtest::WaitFor([&] { return app.VisibleFrame() == 0; }, 5000)) << "Ctrl+Shift+Tab back";
    Type({VK_CONTROL, VK_SHIFT}, VK_TAB);
    EXPECT_TRUE(zvtest::WaitFor([&] { return app.VisibleFrame() == 3; }, 5000)) << "round to the last tab";
    EXPECT_EQ(SendMessageW(app.Control(IDC_TabStrip1), TCM_GETCURSEL, 0, 0), 3) << "the strip follows";
    // Plain Tab moves the focus and leaves the tab alone.
    Type({}, VK_TAB);
    zvtest::Settle(app.Process());
    EXPECT_EQ(app.VisibleFrame(), 3);
}

TEST_F(CustomPage, Win98DefaultAdapterWritesIpmtuTextToElevenSlots) {
    SeedAdapter();
    Zarvelo app("win98");
    ASSERT_NE(app.Form(), nullptr);
    HWND adapters = app.Control(IDC_cmbAdapter);
    ASSERT_EQ(app.ComboItem(adapters, 1), "Default Adapter");
    app.Pick(IDC_cmbAdapter, 1);
    app.CustomMode();
    app.PickCombo(1, 4);  // 1500
    app.Apply();
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(Get(kNet + Slot(i), "IPMTU"), Text("1500")) << "slot " << i;
        EXPECT_EQ(Get(kNet + Slot(i) + "\\Ndi\\Params\\IPMTU", "default"), Text("1500")) << "slot " << i;
        EXPECT_EQ(Get(kClass + "NetTrans\\" + Slot(i), "IPMTU"), Text("1500")) << "slot " << i;
    }
    EXPECT_EQ(Get(kNet + "0011", "IPMTU").type, 0u);
}

TEST_F(CustomPage, Win95SpecificAdapterDefaultDeletesTheFourValuesOfThatAdapter) {
    SeedAdapter();
    for (const std::string& key : {kNet + "0003", kNet + "0000"}) {
        Put(key, "IPMTU", Text("1500"));
        Put(key, "MaxMTU", Text("1500"));
        Put(key + "\\Ndi\\Params\\IPMTU", "", Text("IP MTU"));
        Put(key + "\\Ndi\\Params\\IPMTU", "default", Text("1500"));
    }
    Put(kClass + "NetTrans\\0004", "IPMTU", Text("1500"));
    Put(kClass + "NetTrans\\0000", "IPMTU", Text("1500"));
    Zarvelo app("win95");
    ASSERT_NE(app.Form(), nullptr);
    EXPECT_EQ(app.ComboItem(app.Control(IDC_cmbAdapter), 0), "Test Adapter");
    EXPECT_EQ(SendMessageW(app.Control(IDC_cmbAdapter), CB_GETCURSEL, 0, 0), 0);
    app.CustomMode();
    app.PickCombo(1, 0);  // "Default"
    app.Apply();
    EXPECT_EQ(Get(kNet + "0003", "IPMTU").type, 0u);
    EXPECT_EQ(Get(kNet + "0003\\Ndi\\Params\\IPMTU", "").type, 0u);
    EXPECT_EQ(Get(kNet + "0003\\Ndi\\Params\\IPMTU", "default").type, 0u);
    EXPECT_EQ(Get(kClass + "NetTrans\\0004", "IPMTU").type, 0u);
    // Nothing else: not the adapter's other values, not slot 0000.
    EXPECT_EQ(Get(kNet + "0003", "MaxMTU"), Text("1500"));
    EXPECT_EQ(Get(kNet + "0000", "IPMTU"), Text("1500"));
    EXPECT_EQ(Get(kNet + "0000\\Ndi\\Params\\IPMTU", ""), Text("IP MTU"));
    EXPECT_EQ(Get(kClass + "NetTrans\\0000", "IPMTU"), Text("1500"));
}

TEST_F(CustomPage, MeWritesTheReceiveWindowAsANumberAnd98AsText) {
    const std::pair<const char*, Value> cases[] = {{"winme", Number(8576)}, {"win98", Text("8576")}};
    for (const auto& [version, expected] : cases) {
        CleanRegistry();
        Zarvelo app(version);
        ASSERT_NE(app.Form(), nullptr) << version;
        app.CustomMode();
        app.PickCombo(2, 1);  // 8576
        app.Apply();
        EXPECT_EQ(Get(kMstcp, "DefaultRcvWindow"), expected) << version;
        EXPECT_EQ(Get(kMstcpPar, "DefaultRcvWindow"), expected) << version;
    }
}

TEST_F(CustomPage, Ttl256IsWrittenUnclampedOn9xAndNt) {
    {
        Zarvelo app("win95");
        ASSERT_NE(app.Form(), nullptr);
        app.CustomMode();
        app.PickCombo(11, 7);  // 256
        app.Apply();
        EXPECT_EQ(Get(kMstcp, "DefaultTTL"), Text("256"));
    }
    Zarvelo app("winxp");
    ASSERT_NE(app.Form(), nullptr);
    app.CustomMode();
    app.PickCombo(11, 7);
    app.Apply();
    EXPECT_EQ(Get(kTcpip, "DefaultTTL"), Number(256));
}

TEST_F(CustomPage, KeepAliveThirtyAndSixtyMinutesInMilliseconds) {
    for (const char* version : {"win98", "win2k"}) {
        const bool nt = std::string(version) == "win2k";
        Zarvelo app(version);
        ASSERT_NE(app.Form(), nullptr) << version;
        app.CustomMode();
        app.PickCombo(16, 4);  // 30
        app.Apply();
        EXPECT_EQ(nt ? Get(kTcpip, "SessionKeepAlive") : Get(kMstcp, "SessionKeepAlive"),
                  nt ? Number(1800000) : Text("1800000"))
            << version;
        app.PickCombo(16, 7);  // 60
        app.Apply();
        EXPECT_EQ(nt ? Get(kTcpip, "SessionKeepAlive") : Get(kMstcp, "SessionKeepAlive"),
                  nt ? Number(3600000) : Text("3600000"))
            << version;
    }
}

TEST_F(CustomPage, XpWithAllEditorsSetWritesOnlyTheEightTcpipValues) {
    SeedAdapter();
    Zarvelo app("winxp");
    ASSERT_NE(app.Form(), nullptr);
    app.CustomMode();
    for (int n = 1; n <= 35; ++n) app.PickCombo(n, 2);
    app.Apply();
    // Item 2: "Off" on a switch, else the list's second number.
    const DWORD expected[] = {15456, 0, 0, 0, 8, 0, 0, 600000};
    for (std::size_t i = 0; i < kNtEight.size(); ++i) {
        EXPECT_EQ(Get(kTcpip, kNtEight[i]), Number(expected[i])) << kNtEight[i];
    }
    EXPECT_FALSE(KeyExists("System\\CurrentControlSet\\Services\\VxD")) << "no 9x value on XP";
    EXPECT_FALSE(KeyExists(kNet + "0000"));
    EXPECT_EQ(Get(kNet + "0003", "IPMTU").type, 0u);
}

TEST_F(CustomPage, Win2000DefaultTtlDeletesDefaultTtl) {
    Put(kTcpip, "DefaultTTL", Number(128));
    Put(kTcpip, "SackOpts", Number(1));
    Zarvelo app("win2k");
    ASSERT_NE(app.Form(), nullptr);
    app.CustomMode();
    app.PickCombo(11, 0);
    app.Apply();
    EXPECT_EQ(Get(kTcpip, "DefaultTTL").type, 0u);
    EXPECT_EQ(Get(kTcpip, "SackOpts"), Number(1)) << "left alone";
}

TEST_F(CustomPage, ApplyRunsItsProgressIgnoresASecondApplyAndEnablesApplyAgain) {
    Zarvelo app("winxp");
    ASSERT_NE(app.Form(), nullptr);
    app.CustomMode();
    ASSERT_EQ(app.StatusParts(), 1);
    HWND command4 = app.Control(IDC_Command4);
    HWND bar = app.Control(IDC_ProgressBar1);
    app.ClickApply();  // nothing selected
    EXPECT_FALSE(IsWindowEnabled(command4)) << "Command4 is disabled during the run";
    EXPECT_EQ(GetParent(bar), app.Control(IDC_StatusBar1)) << "the bar sits in the status bar";
    EXPECT_TRUE(IsWindowVisible(bar));

    // The File menu's Apply during the run is ignored: nothing is written.
    app.PickCombo(11, 1);
    app.Command(IDM_mnuApply);
    EXPECT_TRUE(zvtest::WaitFor([&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) >= 50; }, 20000));
    zvtest::SaveScreenshot(app.Form(), "custom-apply-progress");
    ASSERT_TRUE(app.WaitApplyEnd());
    EXPECT_EQ(Get(kTcpip, "DefaultTTL").type, 0u) << "the Apply during the run wrote";
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(app.StatusParts(), 1) << "one full-width panel after the run";
    EXPECT_TRUE(IsWindowEnabled(app.Control(IDC_Toolbar1)));

    // Once the run is over the menu item applies.
    app.Command(IDM_mnuApply);
    EXPECT_EQ(Get(kTcpip, "DefaultTTL"), Number(4));
    ASSERT_TRUE(app.WaitApplyEnd());
    EXPECT_EQ(app.StatusParts(), 1);
}

}  // namespace
