// frmGetIp created in the test's own process over a scripted network: controls, states, chart pixels, boxes.
#include <gtest/gtest.h>

#include <stdexcept>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <deque>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

#include "keepalive/win32/frm_get_ip.h"
#include "keepalive/win32/resource.h"
#include "support/remote.h"
#include "support/wintest.h"

namespace zv {
namespace {

class ScriptedNetwork : public PingNetwork {
public:
    bool socketsStart = true;
    std::deque<std::uint32_t> rtts;
    int starts = 0;
    int echoes = 0;
    std::function<void()> duringEcho;  // what happens while the cycle waits for its answer

    bool StartSockets() override {
        ++starts;
        return socketsStart;
    }
    std::string ResolveHost(const std::string&) override { return "192.0.2.10"; }
    std::int32_t SendEcho(const std::string&, const std::string&, EchoReply& reply) override {
        ++echoes;
        if (duringEcho) duringEcho();
        if (!rtts.empty()) {
            reply.RoundTripTime = rtts.front();
            if (reply.RoundTripTime) reply.Address = 0x0A0200C0;  // 192.0.2.10 answered
            rtts.pop_front();
        }
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

struct HookLog {
    int loads = 0;
    HWND loadedWindow = nullptr;
    bool pingingAtLoad = true;
    std::string intervalAtLoad;
    int unloads = 0;
    int frames = 0;
    int stillIcons = 0;
    std::vector<bool> trayItems;
    int check1Clicks = 0;
    std::vector<std::string> help;
};

class Window : public ::testing::Test {
protected:
    ScriptedNetwork net;
    HookLog log;
    std::unique_ptr<FrmGetIp> form;
    HWND hwnd = nullptr;
    std::string outageLog;

    void SetUp() override {
        FrmGetIp::Options options;
        options.quitOnDestroy = false;
        options.help = [this](HWND owner, const std::string& file, const std::string& topic) {
            log.help.push_back(std::to_string(owner == hwnd) + "|" + file + "|" + topic);
        };
        options.hooks.load = [this](HWND h) {
            ++log.loads;
            log.loadedWindow = h;
            log.pingingAtLoad = form->Loop().Pinging();
            char text[16] = {};
            GetDlgItemTextA(h, IDC_Combo1, text, sizeof text);
            log.intervalAtLoad = text;
        };
        options.hooks.unload = [this](HWND) { ++log.unloads; };
        options.hooks.animationFrame = [this] { ++log.frames; };
        options.hooks.showStillIcon = [this] { ++log.stillIcons; };
        options.hooks.trayPingItems = [this](bool on) { log.trayItems.push_back(on); };
        options.hooks.check1Click = [this] { ++log.check1Clicks; };
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        outageLog = std::string(temp) + "zv-window-outages.csv";
        DeleteFileA(outageLog.c_str());
        options.outageLog.file = outageLog;
        form = std::make_unique<FrmGetIp>(GetModuleHandleA(nullptr), net, options);
        hwnd = form->Create();
        ASSERT_NE(hwnd, nullptr);
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
        Pump();
    }
    void TearDown() override {
        form.reset();
        Pump();
    }

    HWND Item(int id) { return GetDlgItem(hwnd, id); }
    void Click(int id) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) SendMessageA(hwnd, WM_TIMER, IDT_ChartTimer, 0);
        Pump();
    }
    std::string Status() { return zvtest::StatusBarText(Item(IDC_StatusBar1)); }
    int BluePixels() {
        SIZE s = form->ChartClientSize();
        int n = 0;
        for (int y = 0; y < s.cy; ++y)
            for (int x = 0; x < s.cx; ++x) n += form->ChartPixel(x, y) == kRgbChartLine;
        return n;
    }
};

TEST_F(Window, ControlsCarryTheirCaptions) {
    struct Control {
        int id;
        const char* className;
        const char* text;
    } controls[] = {
        {IDC_Frame1, "Button", "   Options   "},
        {IDC_Label1, "Static", "Site:"},
        {IDC_txtDomain, "Edit", "www.quonibar.example"},
        {IDC_Label2, "Static", "Ping Interval:"},
        {IDC_Combo1, "ComboBox", "10"},
        {IDC_Label3, "Static", "seconds"},
        {IDC_Frame3, "Button", ""},
        {IDC_Check1, "Button", "Disable Animation"},
        {IDC_Check2, "Button", "Run when Windows starts."},
        {IDC_Check3, "Button", "Start Minimized"},
        {IDC_Frame2, "Button", "   Ping Activity    "},
        {IDC_ChartPict, "PulsivaChartPict", ""},
        {IDC_cmdPing, "Button", "&Ping"},
        {IDC_Command1, "Button", "&Cancel Ping"},
        {IDC_cmdResetActivity, "Button", "&Reset Activity"},
        {IDC_Command2, "Button", "&Help"},
        {IDC_cmdExit, "Button", "E&xit"},
        {IDC_StatusBar1, "msctls_statusbar32", ""},
    };
    char text[128];
    EXPECT_EQ((GetWindowTextA(hwnd, text, sizeof text), std::string(text)), "Pulsiva");
    for (const Control& c : controls) {
        HWND h = Item(c.id);
        ASSERT_NE(h, nullptr) << "control " << c.id;
        char cls[64];
        GetClassNameA(h, cls, sizeof cls);
        EXPECT_STREQ(cls, c.className) << "control " << c.id << " " << c.text;
        GetWindowTextA(h, text, sizeof text);
        EXPECT_STREQ(text, c.text) << "control " << c.id;
    }
    const char* items[] = {"10", "30", "60", "120"};
    ASSERT_EQ(SendMessageA(Item(IDC_Combo1), CB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        SendMessageA(Item(IDC_Combo1), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, items[i]) << "interval item " << i;
    }
    // Frame1 holds the options down to Check3, Frame3 the check boxes, Frame2 the chart.
    auto inside = [&](int inner, int outer) {
        RECT a, b;
        GetWindowRect(Item(inner), &a);
        GetWindowRect(Item(outer), &b);
        return a.left >= b.left && a.right <= b.right && a.top >= b.top && a.bottom <= b.bottom;
    };
    for (int id : {IDC_Label1, IDC_txtDomain, IDC_Label2, IDC_Combo1, IDC_Label3, IDC_Frame3})
        EXPECT_TRUE(inside(id, IDC_Frame1)) << "control " << id << " in Frame1";
    for (int id : {IDC_Check1, IDC_Check2, IDC_Check3}) EXPECT_TRUE(inside(id, IDC_Frame3)) << "control " << id;
    EXPECT_TRUE(inside(IDC_ChartPict, IDC_Frame2));
}

TEST_F(Window, CaptionAndTaskbarGetTheProgramIconAtTheirOwnSizes) {
    for (auto [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, which, 0));
        ASSERT_NE(icon, nullptr) << "icon " << which;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm{};
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, GetSystemMetrics(metric)) << "icon " << which;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST_F(Window, StartUpSelectsTenSecondsAndStartsPinging) {
    EXPECT_EQ(log.loads, 1);
    EXPECT_EQ(log.loadedWindow, hwnd);
    EXPECT_FALSE(log.pingingAtLoad) << "the stored options and tray come before pinging starts";
    EXPECT_EQ(log.intervalAtLoad, "10");
    EXPECT_TRUE(form->Loop().Pinging());
    EXPECT_EQ(form->Loop().PingEveryTicks(), 1);
    EXPECT_EQ(form->Loop().TickCounter(), 0);
    EXPECT_TRUE(form->ChartTimerRunning());
    EXPECT_TRUE(form->AnimationRunning());
    EXPECT_EQ(log.trayItems, std::vector<bool>{false});
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_txtDomain)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_Combo1)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_cmdPing)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_Command1)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_cmdResetActivity)));
    EXPECT_EQ(net.starts, 0) << "the first ping waits for the first tick";
    std::string helpFile = zvtest::TestDir() + "\\zarvelo.chm";
    EXPECT_EQ(form->HelpFile(), helpFile);

    // ChartPict is 5460 x 1185 twips; its client holds the 360 x 75 grid picture 0.
    RECT r;
    GetWindowRect(Item(IDC_ChartPict), &r);
    HDC screen = GetDC(nullptr);
    int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(r.right - r.left, TwipsToPixels(5460, dpiX));
    EXPECT_EQ(r.bottom - r.top, TwipsToPixels(1185, dpiY));
    EXPECT_EQ(form->ChartPixel(10, 0), kRgbGrid);
    EXPECT_EQ(form->ChartPixel(11, 0), kRgbWhite);
    EXPECT_EQ(form->ChartPixel(100, 61), kRgbYellow);
    // Inside the sunken edge, the background fills the client area to its last pixel.
    const SIZE client = form->ChartClientSize();
    EXPECT_EQ(client.cx, r.right - r.left - 4);
    EXPECT_EQ(client.cy, r.bottom - r.top - 4);
    const std::vector<std::uint32_t> grid = GridPicture(0, client.cx, client.cy);
    int differing = 0;
    for (int y = 0; y < client.cy; ++y)
        for (int x = 0; x < client.cx; ++x) differing += form->ChartPixel(x, y) != grid[y * client.cx + x];
    EXPECT_EQ(differing, 0);
    zvtest::SaveScreenshot(hwnd, "pulsiva-window-startup");
}

TEST_F(Window, TooltipFollowsThePingsAndAnOpenOutageIsWrittenAtClose) {
    net.rtts = {30, 0, 0, 0};
    Tick(4);
    // The chart's tooltip: the tooltip window the form owns, made when the pointer first comes over
    // the chart.
    HWND chart = Item(IDC_ChartPict);
    SendMessageA(chart, WM_SETCURSOR, reinterpret_cast<WPARAM>(chart), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    HWND tip = nullptr;
    for (HWND w = GetTopWindow(nullptr); w && !tip; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (GetWindow(w, GW_OWNER) == hwnd && std::string(cls) == TOOLTIPS_CLASSA) tip = w;
    }
    ASSERT_NE(tip, nullptr);
    // The wide form: the narrow one gives no more than 80 characters back.
    wchar_t text[512] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(IDC_ChartPict));
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    const std::string expected = form->Watch().Tooltip();
    EXPECT_EQ(std::wstring(text), std::wstring(expected.begin(), expected.end()));

    Click(IDC_cmdExit);
    std::ifstream in(outageLog);
    std::string header, line;
    std::getline(in, header);
    std::getline(in, line);
    EXPECT_NE(line.find(",,"), std::string::npos) << "an empty end: " << line;
    const std::string tail = ",3,www.quonibar.example";
    EXPECT_TRUE(line.size() > tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0) << line;
}

TEST_F(Window, EveryTickPingsAndDrawsTheHistoryToThePixel) {
    // A ramp and a few steps, all under 590 ms so every point is inside the picture.
    for (int i = 0; i < 95; ++i) net.rtts.push_back(static_cast<std::uint32_t>(i < 40 ? 10 + i * 12 : (i % 10) * 50 + 5));
    Tick(95);
    EXPECT_EQ(net.echoes, 95);
    EXPECT_EQ(Status(), "Ping Result for www.quonibar.example :" + std::to_string((94 % 10) * 50 + 5) + " ms");
    const ActivityHistory::Samples& s = form->Loop().History().samples();
    EXPECT_EQ(s[0], 10 + 5 * 12) << "the five oldest have left the chart";

    HDC screen = GetDC(nullptr);
    int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // The chart is drawn in the client area, every sample on it.
    SIZE client = form->ChartClientSize();
    const double width = client.cx * 1440.0 / dpiX, height = client.cy * 1440.0 / dpiY;
    const ChartPixels px = ChartInPixels(DrawActivityChart(s, width, height), height, client.cy, dpiX, dpiY);
    for (int i = 0; i < kHistorySize; ++i) {
        const PixelPoint& at = px.corners[i];
        EXPECT_EQ(form->ChartPixel(at.x, at.y), kRgbChartLine) << "sample " << i << " at " << at.x << "," << at.y;
    }
    EXPECT_EQ(px.corners[89].x, client.cx - client.cx / 90) << "the newest sample one step short of the right edge";
    // 95 pings: background image 95 mod 3 = 2, vertical lines from column 2; the top row is
    // clear of the chart.
    EXPECT_EQ(form->Loop().BackgroundIndex(), 2);
    EXPECT_EQ(form->ChartPixel(2, 0), kRgbGrid);
    EXPECT_EQ(form->ChartPixel(14, 0), kRgbGrid);
    EXPECT_EQ(form->ChartPixel(10, 0), kRgbWhite);

    // What is on screen is what was drawn.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    zvtest::ScreenPixels shot = zvtest::CaptureClient(Item(IDC_ChartPict));
    ASSERT_EQ(shot.width, client.cx);
    int differing = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) differing += shot.At(x, y) != form->ChartPixel(x, y);
    EXPECT_EQ(differing, 0);
    zvtest::SaveScreenshot(hwnd, "pulsiva-window-filled-chart");
}

TEST_F(Window, StopAndResetLeaveTheGrid) {
    net.rtts = {100, 120, 140};
    Tick(3);
    EXPECT_GT(BluePixels(), 0);
    zvtest::SaveScreenshot(hwnd, "pulsiva-window-few-values");
    Click(IDC_cmdResetActivity);
    EXPECT_EQ(Status(), "");
    EXPECT_TRUE(form->ChartTimerRunning()) << "reset keeps pinging";
    // The empty history: a flat line along the bottom row, from the left edge to one step short
    // of the right edge.
    const SIZE client = form->ChartClientSize();
    const int step = client.cx / 90;
    int bottomRow = 0;
    for (int x = 0; x < client.cx; ++x) bottomRow += form->ChartPixel(x, client.cy - 1) == kRgbChartLine;
    EXPECT_EQ(bottomRow, client.cx - step + 1);
    EXPECT_EQ(BluePixels(), bottomRow) << "all of it on the bottom row";
    zvtest::SaveScreenshot(hwnd, "pulsiva-window-flat-line");
    net.rtts = {200};
    Tick();
    EXPECT_GT(BluePixels(), 0);

    log.trayItems.clear();
    Click(IDC_Command1);
    EXPECT_EQ(Status(), "");
    EXPECT_EQ(BluePixels(), 0);
    EXPECT_FALSE(form->ChartTimerRunning());
    EXPECT_FALSE(form->AnimationRunning());
    EXPECT_EQ(log.stillIcons, 1);
    EXPECT_EQ(log.trayItems, std::vector<bool>{true});
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_txtDomain)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_Combo1)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_cmdPing)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_Command1)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_cmdResetActivity)));
}

// The tray's "Close" while a cycle waits for its echo: the cycle ends after the window has gone,
// draws nothing and leaves the other windows on the desktop unpainted.
TEST_F(Window, ACycleEndingAfterCloseLeavesTheDesktopAlone) {
    HWND other = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    UpdateWindow(other);
    ValidateRect(other, nullptr);
    net.rtts = {100};
    net.duringEcho = [this] { form->cmdExit_Click(); };
    SendMessageA(hwnd, WM_TIMER, IDT_ChartTimer, 0);
    // Close posts its WM_CLOSE: only the keep-alive window's messages are pumped, so that a repaint
    // of the other window would still be pending.
    MSG msg;
    for (int i = 0; i < 100 && IsWindow(hwnd) && PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(net.echoes, 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(log.unloads, 1);
    EXPECT_FALSE(form->AnimationRunning()) << "an animation timer without a window";
    EXPECT_FALSE(GetUpdateRect(other, nullptr, FALSE)) << "the whole desktop was invalidated";
    DestroyWindow(other);
}

TEST_F(Window, KeyboardMovesThroughTheEnabledControlsAndEscKeepsTheWindow) {
    SetFocus(Item(IDC_Command1));
    Click(IDC_Command1);
    std::vector<int> order;
    HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    for (HWND h = first; h && order.size() < 20;) {
        order.push_back(GetDlgCtrlID(h));
        h = GetNextDlgTabItem(hwnd, h, FALSE);
        if (h == first) break;
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_txtDomain, IDC_Combo1, IDC_Check1, IDC_Check2, IDC_Check3, IDC_cmdPing,
                                       IDC_Command2, IDC_cmdExit}));
    EXPECT_EQ(GetFocus(), Item(IDC_cmdPing)) << "the disabled Cancel Ping hands the focus to Ping";

    SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    Pump();
    EXPECT_TRUE(IsWindow(hwnd)) << "Esc does not close the window";
    SendMessageA(hwnd, WM_COMMAND, IDOK, 0);  // Enter presses the default button, Ping
    Pump();
    EXPECT_TRUE(form->Loop().Pinging());
    EXPECT_EQ(GetFocus(), Item(IDC_Command1));
    SendMessageA(hwnd, WM_COMMAND, IDOK, 0);  // Ping is disabled now: nothing happens
    EXPECT_EQ(log.trayItems.size(), 3u);
}

TEST_F(Window, HelpExitAndHooks) {
    Click(IDC_Command2);
    EXPECT_EQ(log.help, std::vector<std::string>{"1|" + zvtest::TestDir() + "\\zarvelo.chm|ping.htm"});
    Click(IDC_Check1);
    EXPECT_EQ(log.check1Clicks, 1);
    SendMessageA(hwnd, WM_TIMER, IDT_Timer1, 0);
    EXPECT_EQ(log.frames, 1);
    Click(IDC_cmdExit);
    EXPECT_EQ(log.unloads, 1);
    EXPECT_FALSE(IsWindow(hwnd)) << "Exit closes the window";
}

TEST_F(Window, CloseBoxRunsShutDownOnce) {
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(log.unloads, 1);
    EXPECT_FALSE(IsWindow(hwnd));
}

// The visible message boxes ("Pulsiva") of a thread other than the form itself.
struct BoxSearch {
    HWND form;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<BoxSearch*>(lp);
    char cls[32], text[64];
    GetClassNameA(h, cls, sizeof cls);
    GetWindowTextA(h, text, sizeof text);
    if (h != f->form && IsWindowVisible(h) && !strcmp(cls, "#32770") && !strcmp(text, "Pulsiva")) f->boxes.push_back(h);
    return TRUE;
}

std::vector<HWND> MessageBoxesOf(DWORD thread, HWND form) {
    BoxSearch f{form, {}};
    EnumThreadWindows(thread, CollectBox, reinterpret_cast<LPARAM>(&f));
    return f.boxes;
}

// The ticks that reach the window while the sockets box is open must not open more boxes.
TEST_F(Window, SocketsFailureShowsOneBoxAtATime) {
    net.socketsStart = false;
    DWORD thread = GetCurrentThreadId();
    std::atomic<int> mostBoxes{0};
    std::atomic<bool> sawText{false};
    HWND formWindow = hwnd;
    std::thread watcher([&] {
        auto boxes = [&] { return MessageBoxesOf(thread, formWindow); };
        std::vector<HWND> open;
        zvtest::WaitFor([&] { return !(open = boxes()).empty(); }, 20000);
        if (open.empty()) return;
        sawText = zvtest::FindChildByText(open[0], kSocketsNotResponding) != nullptr;
        // Three more ticks of the clock while the box is open.
        for (int i = 0; i < 3; ++i) {
            PostMessageA(formWindow, WM_TIMER, IDT_ChartTimer, 0);
            Sleep(300);
            mostBoxes = std::max<int>(mostBoxes, static_cast<int>(boxes().size()));
        }
        PostMessageA(open[0], WM_COMMAND, IDOK, 0);
    });
    SendMessageA(hwnd, WM_TIMER, IDT_ChartTimer, 0);  // returns when the box is dismissed
    watcher.join();
    EXPECT_TRUE(sawText);
    EXPECT_EQ(mostBoxes.load(), 1);
    EXPECT_EQ(net.starts, 1) << "no ping cycle starts while the box is open";
    EXPECT_EQ(net.echoes, 0);
}

// A cycle that throws shows its box once and leaves the window idle, not a box every interval.
TEST_F(Window, AFailingCycleStopsPingingUntilPingIsPressed) {
    net.duringEcho = [] { throw std::runtime_error("echo broke"); };
    DWORD thread = GetCurrentThreadId();
    HWND formWindow = hwnd;
    std::thread watcher([&] {
        std::vector<HWND> open;
        if (zvtest::WaitFor([&] { return !(open = MessageBoxesOf(thread, formWindow)).empty(); }, 20000))
            PostMessageA(open[0], WM_COMMAND, IDOK, 0);
    });
    SendMessageA(hwnd, WM_TIMER, IDT_ChartTimer, 0);
    watcher.join();
    EXPECT_FALSE(form->ChartTimerRunning()) << "the clock stopped";
    EXPECT_FALSE(form->Loop().Pinging());
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_cmdPing)));
    net.duringEcho = nullptr;
    Click(IDC_cmdPing);
    EXPECT_TRUE(form->ChartTimerRunning()) << "Ping starts it again";
}

}  // namespace
}  // namespace zv
