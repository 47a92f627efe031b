// The keep-alive program created in the test's own process over the in-memory registry: the tray
// icon records, the animation, the replacement window procedure, the pop-up menu and its commands,
// start-up and shut-down.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <deque>
#include <memory>
#include <thread>

#include "keepalive/settings.h"
#include "keepalive/tray.h"
#include "keepalive/win32/pulsiva_program.h"
#include "keepalive/win32/resource.h"
#include "platform/memory_registry.h"
#include "platform/registry_helpers.h"
#include "support/tray_probe.h"
#include "support/wintest.h"

namespace zv {
namespace {

// Every echo is answered after 25 ms without anything being sent.
class QuietNetwork : public PingNetwork {
public:
    int echoes = 0;
    bool answers = true;
    bool StartSockets() override { return true; }
    std::string ResolveHost(const std::string&) override { return "192.0.2.10"; }
    std::int32_t SendEcho(const std::string&, const std::string&, EchoReply& reply) override {
        ++echoes;
        if (!answers) return 11010;  // timed out
        reply.RoundTripTime = 25;
        reply.Address = 0x0A0200C0;  // 192.0.2.10 answered
        return 0;
    }
    void StopSockets() override {}
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // Timer ticks are the test's to give: a real one comes whenever the machine gets to it.
        if (msg.message == WM_TIMER) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The frame of ImageList1 an icon shows (1 to 16), found by comparing its pixels and mask with the
// frame pictures; 0 when it is none of them.
int FrameOfIcon(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    HDC screen = GetDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kIconSize;
    bi.bmiHeader.biHeight = -kIconSize;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::uint32_t colour[kIconSize * kIconSize] = {}, mask[kIconSize * kIconSize] = {};
    BITMAPINFO mbi = bi;
    bool ok = info.hbmColor && GetDIBits(screen, info.hbmColor, 0, kIconSize, colour, &bi, DIB_RGB_COLORS) == kIconSize &&
              GetDIBits(screen, info.hbmMask, 0, kIconSize, mask, &mbi, DIB_RGB_COLORS) == kIconSize;
    ReleaseDC(nullptr, screen);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (!ok) return 0;
    for (int frame = 1; frame <= kTrayFrames; ++frame) {
        IconPicture p = TrayFramePicture(frame);
        bool same = true;
        for (int y = 0; y < kIconSize && same; ++y) {
            for (int x = 0; x < kIconSize && same; ++x) {
                bool transparent = (mask[y * kIconSize + x] & 0xFFFFFF) != 0;
                same = transparent == !p.Drawn(x, y) && (transparent || (colour[y * kIconSize + x] & 0xFFFFFF) == p.At(x, y));
            }
        }
        if (same) return frame;
    }
    return 0;
}

// One Shell_NotifyIconA call as the program made it.
struct NotifyCall {
    DWORD message;
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    int frame;  // of hIcon; 0 without one
    std::string tip;
    std::string info;  // a balloon's text
};

class Tray : public ::testing::Test {
protected:
    QuietNetwork net;
    MemoryRegistry reg;
    std::vector<NotifyCall> calls;
    std::vector<std::string> help;
    std::unique_ptr<PulsivaProgram> program;
    HWND hwnd = nullptr;
    bool realShell = false;  // the real taskbar instead of the recorder
    std::string path = "C:\\Quonibar\\pulsiva.exe";
    LogPlace outageLog;
    ShellVersion shell{4, 72};  // the shell of 98 and NT 4 with Internet Explorer: no balloons

    void Start() {
        PulsivaProgram::Options o;
        o.quitOnDestroy = false;
        o.programPath = path;
        o.outageLog = outageLog;
        o.shell = shell;
        o.help = [this](HWND owner, const std::string& file, const std::string& topic) {
            help.push_back(std::string(owner == program->Menu().hwnd() ? "frmMenu" : "other") + "|" + file + "|" + topic);
        };
        if (!realShell) {
            o.notify = [this](DWORD message, NotifyIconRecord& d) {
                calls.push_back({message, d.cbSize, d.hWnd, d.uID, d.uFlags, d.uCallbackMessage,
                                 d.hIcon && program && d.hIcon == program->Icon().FrameIcon(kDownFrame) ? kDownFrame : FrameOfIcon(d.hIcon),
                                 std::string(d.szTip, strnlen(d.szTip, sizeof d.szTip)),
                                 std::string(d.szInfo, strnlen(d.szInfo, sizeof d.szInfo))});
                return TRUE;
            };
        }
        program = std::make_unique<PulsivaProgram>(GetModuleHandleA(nullptr), reg, net, o);
        hwnd = program->Create();
        ASSERT_NE(hwnd, nullptr);
        if (!program->StartsInTray()) ShowWindow(hwnd, SW_SHOW);
        Pump();
        program->AddDueTrayIcon();  // as the message loop does once nothing waits
    }
    void TearDown() override {
        program.reset();
        Pump();
    }

    HWND Menu() { return program->Menu().hwnd(); }
    void MenuCommand(int id) {
        SendMessageA(Menu(), WM_COMMAND, id, 0);
        Pump();
    }
    void Click(int id) {
        SendMessageA(GetDlgItem(hwnd, id), BM_CLICK, 0, 0);
        Pump();
    }
    void AnimationTicks(int n) {
        for (int i = 0; i < n; ++i) SendMessageA(hwnd, WM_TIMER, IDT_Timer1, 0);
    }
    std::string Stored(const std::string& name) { return ReadRegString(reg, kHkeyLocalMachine, kPulsivaKey, name, "<absent>"); }
};

TEST_F(Tray, IconIsAddedWithTheFirstFormOfTheRecord) {
    Start();
    ASSERT_EQ(calls.size(), 1u);
    const NotifyCall& add = calls[0];
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.cbSize, NotifyIconRecordSize(shell));  // 88 bytes in the 32-bit program
    EXPECT_EQ(add.hWnd, hwnd);
    EXPECT_EQ(add.uID, 1u);
    EXPECT_EQ(add.uFlags, 7u) << "NIF_MESSAGE | NIF_ICON | NIF_TIP";
    EXPECT_EQ(add.uCallbackMessage, 513u);
    EXPECT_EQ(add.frame, 1) << "the first frame of ImageList1";
    EXPECT_EQ(add.tip, "Pulsiva") << "no ping yet";
    EXPECT_EQ(ImageList_GetImageCount(program->Icon().ImageList1()), 17) << "sixteen frames and the down picture";
    EXPECT_TRUE(program->Form().AnimationRunning()) << "pinging starts the animation";
}

TEST_F(Tray, Timer1ChangesTheIconFrameByFrame) {
    Start();
    calls.clear();
    AnimationTicks(17);
    ASSERT_EQ(calls.size(), 17u);
    for (int i = 0; i < 17; ++i) {
        int expected = (i + 1) % 16 + 1;  // 2 ... 16, 1, 2
        EXPECT_EQ(calls[i].message, static_cast<DWORD>(NIM_MODIFY)) << "tick " << i + 1;
        EXPECT_EQ(calls[i].uFlags, 2u) << "tick " << i + 1 << ": the icon only";
        EXPECT_EQ(calls[i].cbSize, NotifyIconRecordSize(shell));
        EXPECT_EQ(calls[i].uID, 1u);
        EXPECT_EQ(calls[i].frame, expected) << "tick " << i + 1;
    }
}

TEST_F(Tray, DisableAnimationShowsTheStillIconWhilePinging) {
    Start();
    AnimationTicks(4);
    calls.clear();
    Click(IDC_Check1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].frame, 16);
    EXPECT_FALSE(program->Form().AnimationRunning());
    EXPECT_EQ(program->Animation().IconFrame(), 1);

    // Pings keep the still icon while the box is checked.
    SendMessageA(hwnd, WM_TIMER, IDT_ChartTimer, 0);
    Pump();
    EXPECT_EQ(net.echoes, 1);
    EXPECT_FALSE(program->Form().AnimationRunning());

    Click(IDC_Check1);
    EXPECT_TRUE(program->Form().AnimationRunning());
    calls.clear();
    AnimationTicks(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].frame, 2) << "the animation restarts from frame 2";
}

TEST_F(Tray, MenuItemsFollowThePingingState) {
    Start();
    const char* texts[] = {"&Ping",        "&Stop Ping",           "P&ing Interval", "", "&Restore", "&Help",
                           "Outage &Log", "&Save Activity\x85", "Alert on &Outage", "", "&Close"};
    HMENU options = program->Menu().Options();
    ASSERT_NE(options, nullptr);
    ASSERT_EQ(GetMenuItemCount(options), 11);
    char text[64];
    for (int i = 0; i < 11; ++i) {
        text[0] = 0;
        GetMenuStringA(options, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, texts[i]) << "mnuOpts " << i;
        if (!*texts[i]) {
            EXPECT_TRUE(GetMenuState(options, i, MF_BYPOSITION) & MF_SEPARATOR) << "mnuOpts " << i;
        }
    }
    HMENU interval = GetSubMenu(options, 2);
    ASSERT_NE(interval, nullptr);
    const char* intervals[] = {"10 seonds", "30 seconds", "60 seconds", "120 seconds"};
    ASSERT_EQ(GetMenuItemCount(interval), 4);
    for (int i = 0; i < 4; ++i) {
        GetMenuStringA(interval, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, intervals[i]) << "mnuInterval " << i;
    }
    GetWindowTextA(Menu(), text, sizeof text);
    EXPECT_STREQ(text, "Form1");
    EXPECT_FALSE(IsWindowVisible(Menu())) << "frmMenu is never shown";

    auto enabled = [&](int i) { return program->Menu().ItemEnabled(i); };
    EXPECT_FALSE(enabled(0)) << "pinging: &Ping greyed";
    EXPECT_TRUE(enabled(1));
    EXPECT_FALSE(enabled(2)) << "pinging: P&ing Interval greyed";

    // A greyed item's command, sent by id, is not carried out.
    MenuCommand(IDM_mnuInterval2);
    EXPECT_EQ(SendDlgItemMessageA(hwnd, IDC_Combo1, CB_GETCURSEL, 0, 0), 0);

    calls.clear();
    MenuCommand(IDM_mnuOpts1);  // &Stop Ping
    EXPECT_FALSE(program->Form().Loop().Pinging());
    EXPECT_TRUE(enabled(0) && enabled(1) && enabled(2)) << "idle: all enabled";
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().frame, 16) << "stopping shows the still icon";

    MenuCommand(IDM_mnuInterval2);  // "60 seconds"
    EXPECT_EQ(SendDlgItemMessageA(hwnd, IDC_Combo1, CB_GETCURSEL, 0, 0), 2);
    MenuCommand(IDM_mnuOpts0);  // &Ping
    EXPECT_TRUE(program->Form().Loop().Pinging());
    EXPECT_EQ(program->Form().Loop().PingEveryTicks(), 6) << "the interval takes effect at the start";
    EXPECT_FALSE(enabled(0));
    EXPECT_FALSE(enabled(2));

    MenuCommand(IDM_mnuOpts5);  // &Help
    EXPECT_EQ(help, std::vector<std::string>{"frmMenu|" + zvtest::TestDir() + "\\zarvelo.chm|ping.htm"});
}

TEST_F(Tray, OutageLogItemTellsWhenThereIsNoneYet) {
    outageLog.file = zvtest::TestDir() + "\\zv-no-such-folder\\outages.csv";
    Start();
    std::string text;
    std::thread closer([&] {
        HWND box = nullptr;
        // The box is the window the form is disabled for: owned by it.
        auto ownedBox = [&] {
            HWND found = nullptr;
            for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT))
                if (GetWindow(w, GW_OWNER) == hwnd && IsWindowVisible(w)) found = w;
            return found;
        };
        if (zvtest::WaitFor([&] { return (box = ownedBox()) != nullptr; }, 10000)) {
            text = zvtest::WindowText(GetDlgItem(box, 0xFFFF));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    });
    MenuCommand(IDM_mnuOutageLog);
    closer.join();
    EXPECT_EQ(text, "No outage has been logged yet.");
}

// Closes every pop-up menu of this process that opens while it lives, and counts them, so that a
// menu opened by mistake fails the test instead of holding it up.
class MenuCloser {
public:
    MenuCloser()
        : thread_([this] {
              while (!stop_) {
                  for (HWND menu : zvtest::PopupMenus(GetCurrentProcessId())) {
                      ++opened_;
                      PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                      Sleep(200);
                  }
                  Sleep(20);
              }
          }) {}
    ~MenuCloser() {
        stop_ = true;
        thread_.join();
    }
    int Opened() const { return opened_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> opened_{0};
    std::thread thread_;
};

TEST_F(Tray, DoubleClickRestoresOnlyThroughTheTraysMessage) {
    Start();
    ShowWindow(hwnd, SW_MINIMIZE);
    Pump();
    EXPECT_FALSE(IsWindowVisible(hwnd)) << "minimized, the window lives in the tray only";

    struct Stray {
        UINT message;
        LPARAM lParam;
    } strays[] = {{WM_MOUSEMOVE, 515}, {WM_RBUTTONDOWN, 516}, {WM_LBUTTONUP, 515}, {WM_USER + 1, 515},
                  {513, 513}, {513, 514}, {513, 517}};
    for (const Stray& s : strays) {
        MenuCloser closer;
        SendMessageA(hwnd, s.message, 0, s.lParam);
        Pump();
        EXPECT_FALSE(IsWindowVisible(hwnd)) << "message " << s.message << " with lParam " << s.lParam;
        EXPECT_EQ(closer.Opened(), 0) << "a menu opened for message " << s.message << " with lParam " << s.lParam;
    }

    EXPECT_EQ(SendMessageA(hwnd, 513, 0, 515), 0);
    Pump();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(IsIconic(hwnd)) << "back in normal state";
    SendMessageA(hwnd, 513, 0, 515);
    Pump();
    EXPECT_TRUE(IsWindowVisible(hwnd)) << "already visible: stays so";

    ShowWindow(hwnd, SW_MINIMIZE);
    Pump();
    MenuCommand(IDM_mnuOpts4);  // &Restore
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(IsIconic(hwnd));
}

TEST_F(Tray, UnhookingPutsThePreviousProcedureBack) {
    Start();
    TrayHook& hook = program->Hook();
    ASSERT_TRUE(hook.Hooked());
    WNDPROC previous = hook.PreviousProc();
    ASSERT_NE(previous, nullptr);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), previous);
    hook.UnhookWindow();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), previous);
    ShowWindow(hwnd, SW_MINIMIZE);
    Pump();
    SendMessageA(hwnd, 513, 0, 515);
    Pump();
    EXPECT_FALSE(IsWindowVisible(hwnd)) << "unhooked, the tray's messages no longer reach the program";
}

TEST_F(Tray, TaskbarCreatedAddsTheIconAgain) {
    Start();
    AnimationTicks(3);
    calls.clear();
    SendMessageA(hwnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(calls[0].uFlags, 7u);
    EXPECT_EQ(calls[0].uCallbackMessage, 513u);
    EXPECT_EQ(calls[0].frame, 4) << "the frame the animation stands at";
    EXPECT_EQ(calls[0].tip, "Pulsiva");

    // With the animation off the still picture is what the new taskbar gets.
    Click(IDC_Check1);
    calls.clear();
    SendMessageA(hwnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].frame, 16);

    // After shut-down nothing comes back.
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    calls.clear();
    program->Icon().AddAgain();
    EXPECT_TRUE(calls.empty());
}

TEST_F(Tray, CloseStoresTheSettingsAndLetsEverythingGo) {
    WriteRegString(reg, kHkeyLocalMachine, kRunKey, kRunValue, "C:\\Old\\pulsiva.exe");
    Start();
    SetWindowPos(hwnd, nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Click(IDC_Check2);
    HWND menuWindow = Menu();
    calls.clear();
    MenuCommand(IDM_mnuOpts7);  // &Close
    EXPECT_FALSE(IsWindow(hwnd)) << "&Close ends frmGetIp";
    EXPECT_FALSE(IsWindow(menuWindow)) << "and frmMenu";
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(calls[0].hWnd, hwnd);
    EXPECT_EQ(calls[0].uID, 1u);
    EXPECT_FALSE(program->Hook().Hooked());

    HDC screen = GetDC(nullptr);
    int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(Stored("Loaded"), "Yes");
    EXPECT_EQ(ReadRegDword(reg, kHkeyLocalMachine, kPulsivaKey, "Left", -1), PixelsToTwips(120, dpiX));
    EXPECT_EQ(ReadRegDword(reg, kHkeyLocalMachine, kPulsivaKey, "Top", -1), PixelsToTwips(90, dpiY));
    EXPECT_EQ(Stored("WinStart"), "1");
    EXPECT_EQ(Stored("Minimized"), "0");
    EXPECT_EQ(ReadRegString(reg, kHkeyLocalMachine, kRunKey, kRunValue), "\"" + path + "\"");
}

// What a test saw of the pop-up menu while it was open.
struct SeenMenu {
    bool found = false;
    std::vector<UINT> states;  // GetMenuState of each item
    UINT defaultItem = 0;
    std::vector<std::string> texts;
    RECT rect{};
};

// Sends the tray's right-button notification to the window and, while the menu is open, reads it,
// takes screenshots and then presses the keys given (posted to the menu window).
SeenMenu RightClickTray(HWND form, const std::string& shot, std::vector<WPARAM> keys) {
    SeenMenu seen;
    std::thread watcher([&] {
        std::vector<HWND> menus;
        if (!zvtest::WaitFor([&] { return !(menus = zvtest::PopupMenus(GetCurrentProcessId())).empty(); }, 20000)) return;
        seen.found = true;
        auto menu = reinterpret_cast<HMENU>(SendMessageA(menus[0], MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = {};
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            seen.texts.push_back(text);
            seen.states.push_back(GetMenuState(menu, i, MF_BYPOSITION));
        }
        seen.defaultItem = GetMenuDefaultItem(menu, TRUE, GMDI_USEDISABLED);
        GetWindowRect(menus[0], &seen.rect);
        Sleep(500);
        zvtest::SaveDesktopScreenshot(shot);
        zvtest::SaveScreenshot(menus[0], shot + "-alone");
        for (WPARAM key : keys) {
            PostMessageA(menus[0], WM_KEYDOWN, key, 0);
            Sleep(100);
        }
    });
    EXPECT_EQ(SendMessageA(form, 513, 0, 516), 0);  // returns when the menu has closed
    watcher.join();
    Pump();
    return seen;
}

TEST_F(Tray, RightClickShowsTheMenuAtTheTaskbarsCorner) {
    realShell = true;
    Start();
    HWND taskbar = zvtest::Taskbar();
    ASSERT_NE(taskbar, nullptr) << "the virtual desktop has a taskbar";
    RECT bar = zvtest::TaskbarRect();
    ASSERT_GT(bar.right - bar.left, 0);
    EXPECT_TRUE(zvtest::TrayIconPresent(hwnd, 1));

    SeenMenu seen = RightClickTray(hwnd, "pulsiva-tray-menu", {VK_ESCAPE});
    ASSERT_TRUE(seen.found) << "no pop-up menu appeared";
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"&Ping", "&Stop Ping", "P&ing Interval", "", "&Restore", "&Help",
                                                   "Outage &Log", "&Save Activity\x85", "Alert on &Outage", "",
                                                   "&Close"}));
    ASSERT_EQ(seen.states.size(), 11u);
    EXPECT_TRUE(seen.states[8] & MF_CHECKED) << "alerts are on by default";
    EXPECT_TRUE(seen.states[0] & MF_GRAYED) << "&Ping greyed while pinging";
    EXPECT_FALSE(seen.states[1] & MF_GRAYED) << "&Stop Ping enabled";
    EXPECT_TRUE(seen.states[2] & MF_GRAYED) << "P&ing Interval greyed while pinging";
    EXPECT_EQ(seen.defaultItem, 0u) << "&Ping is the default item";
    EXPECT_TRUE(seen.states[0] & MFS_DEFAULT) << "drawn bold";
    EXPECT_EQ(seen.rect.right, bar.right) << "right-aligned at the taskbar's right edge";
    EXPECT_EQ(seen.rect.bottom, bar.bottom) << "no room below the taskbar's bottom: the menu opens upwards from it";
    EXPECT_TRUE(zvtest::PopupMenus(GetCurrentProcessId()).empty()) << "Esc closed the menu";
    EXPECT_TRUE(program->Form().Loop().Pinging()) << "no command was chosen";

    // Idle, everything can be chosen; the first item chosen with the keyboard starts pinging.
    MenuCommand(IDM_mnuOpts1);
    ASSERT_FALSE(program->Form().Loop().Pinging());
    seen = RightClickTray(hwnd, "pulsiva-tray-menu-idle", {VK_DOWN, VK_RETURN});
    ASSERT_TRUE(seen.found);
    ASSERT_EQ(seen.states.size(), 11u);
    for (int i : {0, 1, 2, 4, 5, 6, 7, 8, 10}) EXPECT_FALSE(seen.states[i] & MF_GRAYED) << "idle: item " << i << " enabled";
    EXPECT_TRUE(seen.states[0] & MFS_DEFAULT);
    Pump();
    EXPECT_TRUE(program->Form().Loop().Pinging()) << "\"&Ping\" chosen in the menu reached frmMenu";
}

// Four unanswered pings and an answer, on shells with and without balloons and with alerts off.
TEST_F(Tray, AnOutageShowsTheDownPictureAndItsTwoBalloons) {
    struct Case {
        ShellVersion shell;
        bool alertsOff;
        unsigned size;
        int balloons;
    } cases[] = {{{5, 0}, false, sizeof(void*) == 8 ? 504u : 488u, 2},
                 {{4, 72}, false, sizeof(void*) == 8 ? 104u : 88u, 0},
                 {{6, 0}, true, sizeof(void*) == 8 ? 520u : 504u, 0}};
    for (const Case& c : cases) {
        shell = c.shell;
        if (c.alertsOff) {
            WriteRegString(reg, kHkeyLocalMachine, kPulsivaKey, "Loaded", "Yes");
            WriteRegString(reg, kHkeyLocalMachine, kPulsivaKey, kAlertOnOutageValue, "0");
        }
        Start();
        SetDlgItemTextA(hwnd, IDC_txtDomain, "h");
        calls.clear();
        net.answers = false;
        for (int i = 0; i < 4; ++i) SendMessageA(hwnd, WM_TIMER, IDT_ChartTimer, 0);
        EXPECT_EQ(program->Icon().ShownFrame(), kDownFrame) << c.size;
        AnimationTicks(2);
        EXPECT_EQ(program->Icon().ShownFrame(), kDownFrame) << c.size << ": the animation does not cover it";
        std::string tip = calls.empty() ? "" : calls.back().tip;
        net.answers = true;
        SendMessageA(hwnd, WM_TIMER, IDT_ChartTimer, 0);
        AnimationTicks(1);
        EXPECT_NE(program->Icon().ShownFrame(), kDownFrame) << c.size;
        std::vector<std::string> infos;
        for (const NotifyCall& call : calls) {
            EXPECT_EQ(call.cbSize, c.size);
            if (call.uFlags & kTrayInfoFlag) infos.push_back(call.info);
            if (call.uFlags & NIF_TIP) tip = call.tip;
        }
        ASSERT_EQ(static_cast<int>(infos.size()), c.balloons) << c.size;
        if (c.balloons) {
            EXPECT_EQ(infos[0].rfind("Line down: h has not answered since ", 0), 0u) << infos[0];
            EXPECT_NE(infos[0].find(" (3 pings lost)"), std::string::npos) << infos[0];
            EXPECT_EQ(infos[1].rfind("Line back: h answers again after ", 0), 0u) << infos[1];
        }
        EXPECT_EQ(tip, "Pulsiva: h 25 ms");
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(Stored(kAlertOnOutageValue), c.alertsOff ? "0" : "1");
        program.reset();
        Pump();
    }
}

}  // namespace
}  // namespace zv
