// pulsiva.exe under Wine on the virtual desktop: the tray icon, the tray's messages, the pop-up menu,
// the stored settings and the autostart entry, through the real registry and taskbar. Nothing is
// pinged: the site is turned to a name that cannot be resolved before the first tick.
#include <gtest/gtest.h>

#include <windows.h>

#include "keepalive/settings.h"
#include "keepalive/win32/resource.h"
#include "support/tray_probe.h"
#include "support/wintest.h"

namespace zv {
namespace {

const std::string kProgram = "pulsiva.exe";

void CleanRegistry() {
    zvtest::ForgetPulsiva();
    zvtest::DeleteTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + kProgram);
}

class PulsivaTray : public ::testing::Test {
protected:
    zvtest::Process process;
    HWND window = nullptr;  // frmGetIp, visible or not
    HWND menuForm = nullptr;

    void SetUp() override { CleanRegistry(); }
    void TearDown() override {
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        process.WaitExit(10000);
        process.Kill();
        CleanRegistry();
    }

    // Starts the program under a Windows family and waits for its two windows, shown or hidden.
    void Start(const char* family) {
        zvtest::SetWineVersion(kProgram, family);
        process = zvtest::Process("\"" + zvtest::ProgramDir() + "\\" + kProgram + "\"");
        ASSERT_TRUE(process.Started());
        ASSERT_TRUE(zvtest::WaitFor(
            [&] {
                window = zvtest::FindTopWindow("Pulsiva", process.Id(), false);
                menuForm = zvtest::FindTopWindow("Form1", process.Id(), false);
                return window && menuForm && zvtest::TrayIconPresent(window, 1);
            },
            30000))
            << "pulsiva.exe did not come up with its window, frmMenu and the tray icon";
        SendMessageTimeoutA(Item(IDC_txtDomain), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("nosuch.invalid"),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
        zvtest::Settle(process.Handle());
    }
    HWND Item(int id) const { return GetDlgItem(window, id); }
    void Post(UINT message, WPARAM wp, LPARAM lp) {
        PostMessageA(window, message, wp, lp);
        zvtest::Settle(process.Handle(), 1000);
        Sleep(300);
    }
    void Click(int id) {
        SendMessageTimeoutA(Item(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        zvtest::Settle(process.Handle(), 1000);
    }
    bool Pinging() const { return !IsWindowEnabled(Item(IDC_cmdPing)) && IsWindowEnabled(Item(IDC_Command1)); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Ends the program the way given and waits for it to be gone.
    void EndWith(HWND target, UINT message, WPARAM wp) {
        HWND gone = window;
        PostMessageA(target, message, wp, 0);
        DWORD code = 99;
        ASSERT_TRUE(process.WaitExit(20000, &code)) << "pulsiva.exe did not end";
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(zvtest::TrayIconPresent(gone, 1)) << "the icon left with the program";
        window = nullptr;
    }
    zvtest::StoredValue Stored(const std::string& name) {
        return zvtest::ReadStored(HKEY_LOCAL_MACHINE, kPulsivaKey, name);
    }
};

int Dpi(int index) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST_F(PulsivaTray, StartMinimizedShowsOnlyTheIconAndOnlyTheTraysDoubleClickRestores) {
    zvtest::WriteStoredText(HKEY_LOCAL_MACHINE, kPulsivaKey, "Loaded", "Yes");
    zvtest::WriteStoredText(HKEY_LOCAL_MACHINE, kPulsivaKey, "Minimized", "1");
    Start("win98");
    EXPECT_FALSE(IsWindowVisible(window)) << "no window, only the tray icon";
    EXPECT_EQ(zvtest::FindTopWindow("Pulsiva", process.Id(), true), nullptr);
    EXPECT_TRUE(Pinging()) << "pinging from the first moment";
    EXPECT_TRUE(Checked(IDC_Check3));
    zvtest::SaveScreenshot(zvtest::Taskbar(), "pulsiva-taskbar-icon");

    // lParam 515 on messages other than the tray's: nothing happens.
    for (UINT message : {UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONUP), UINT(WM_USER + 1)}) {
        Post(message, 0, 515);
        EXPECT_FALSE(IsWindowVisible(window)) << "message " << message << " with lParam 515";
    }
    Post(513, 0, 515);
    EXPECT_TRUE(IsWindowVisible(window)) << "the tray's double click restores the window";
    EXPECT_FALSE(IsIconic(window));
    zvtest::SaveScreenshot(window, "pulsiva-restored-from-tray");
}

TEST_F(PulsivaTray, RightClickOpensTheMenuAtTheTaskbarsCorner) {
    Start("winxp");
    RECT bar = zvtest::TaskbarRect();
    ASSERT_GT(bar.right - bar.left, 0) << "the virtual desktop's taskbar has a rectangle";
    Post(513, 0, 516);
    std::vector<HWND> menus;
    ASSERT_TRUE(zvtest::WaitFor([&] { return !(menus = zvtest::PopupMenus(process.Id())).empty(); }, 10000))
        << "no pop-up menu appeared";
    RECT r;
    GetWindowRect(menus[0], &r);
    EXPECT_EQ(r.right, bar.right);
    EXPECT_EQ(r.bottom, bar.bottom);
    Sleep(500);
    zvtest::SaveDesktopScreenshot("pulsiva-tray-menu-program");
    PostMessageA(menus[0], WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(zvtest::WaitFor([&] { return zvtest::PopupMenus(process.Id()).empty(); }, 10000)) << "Esc closes it";
    EXPECT_TRUE(Pinging());
}

TEST_F(PulsivaTray, CloseFromTheMenuWritesAllFiveValuesAndTheAutostartEntry) {
    Start("win98");
    ASSERT_TRUE(IsWindowVisible(window)) << "first run: the window opens";
    EXPECT_FALSE(Checked(IDC_Check2));
    SetWindowPos(window, nullptr, 135, 95, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Click(IDC_Check2);
    ASSERT_TRUE(Checked(IDC_Check2));
    EndWith(menuForm, WM_COMMAND, IDM_mnuOpts7);  // "&Close"

    zvtest::StoredValue loaded = Stored("Loaded"), left = Stored("Left"), top = Stored("Top"),
                        winStart = Stored("WinStart"), minimized = Stored("Minimized");
    EXPECT_EQ(loaded.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(loaded.text, "Yes");
    EXPECT_EQ(left.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(left.number, static_cast<DWORD>(PixelsToTwips(135, Dpi(LOGPIXELSX))));
    EXPECT_EQ(top.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(top.number, static_cast<DWORD>(PixelsToTwips(95, Dpi(LOGPIXELSY))));
    EXPECT_EQ(winStart.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(winStart.text, "1");
    EXPECT_EQ(minimized.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(minimized.text, "0");
    zvtest::StoredValue run = zvtest::ReadStored(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    EXPECT_EQ(run.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(run.text, "\"" + zvtest::ProgramDir() + "\\pulsiva.exe\"") << "the running program's own path, quoted";

    // The next start finds it all; unchecking and leaving by Exit takes the autostart entry away.
    Start("winxp");
    ASSERT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(Checked(IDC_Check2));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 135);
    EXPECT_EQ(r.top, 95);
    Click(IDC_Check2);
    EndWith(Item(IDC_cmdExit), BM_CLICK, 0);
    EXPECT_FALSE(zvtest::ReadStored(HKEY_LOCAL_MACHINE, kRunKey, kRunValue).present);
    EXPECT_EQ(Stored("WinStart").text, "0");
}

TEST_F(PulsivaTray, EndingInTheTrayKeepsTheShownPlaceAnOffScreenPlaceIsIgnoredAndAnEdgeOneMovedIn) {
    Start("win2k");
    SetWindowPos(window, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(zvtest::WaitFor([&] { return !IsWindowVisible(window); }, 5000)) << "minimized goes to the tray";
    EndWith(window, WM_CLOSE, 0);
    EXPECT_EQ(Stored("Left").number, static_cast<DWORD>(PixelsToTwips(200, Dpi(LOGPIXELSX))));
    EXPECT_EQ(Stored("Top").number, static_cast<DWORD>(PixelsToTwips(150, Dpi(LOGPIXELSY))));

    // Where a minimized window sits: the window opens on the screen instead.
    zvtest::WriteStoredNumber(HKEY_LOCAL_MACHINE, kPulsivaKey, "Left", static_cast<DWORD>(-32000 * 15));
    zvtest::WriteStoredNumber(HKEY_LOCAL_MACHINE, kPulsivaKey, "Top", static_cast<DWORD>(-32000 * 15));
    Start("win95");
    ASSERT_TRUE(IsWindowVisible(window));
    RECT r, desk;
    GetWindowRect(window, &r);
    GetWindowRect(GetDesktopWindow(), &desk);
    RECT both;
    EXPECT_TRUE(IntersectRect(&both, &r, &desk)) << "window at " << r.left << "," << r.top;
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);

    // Near the work area's corner: moved just inside it.
    EndWith(window, WM_CLOSE, 0);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &desk, 0);
    zvtest::WriteStoredNumber(HKEY_LOCAL_MACHINE, kPulsivaKey, "Left", PixelsToTwips(desk.right - 50, Dpi(LOGPIXELSX)));
    zvtest::WriteStoredNumber(HKEY_LOCAL_MACHINE, kPulsivaKey, "Top", PixelsToTwips(desk.bottom - 50, Dpi(LOGPIXELSY)));
    Start("win98");
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right, desk.right);
    EXPECT_EQ(r.bottom, desk.bottom);
}

TEST_F(PulsivaTray, TaskbarCreatedBringsTheIconBack) {
    Start("nt40");
    ASSERT_TRUE(zvtest::TrayIconDelete(window, 1)) << "the taskbar loses the icon";
    ASSERT_FALSE(zvtest::TrayIconPresent(window, 1));
    Post(RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(zvtest::TrayIconPresent(window, 1)) << "added again for the new taskbar";
    EndWith(window, WM_CLOSE, 0);
}

}  // namespace
}  // namespace zv
