// frmGetIp: creates the controls, forwards their events to the ping loop and shows what it decides.
#include "keepalive/win32/frm_get_ip.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "keepalive/win32/resource.h"
#include "platform/win32/common_controls.h"
#include "platform/win32/desktop.h"

namespace zv {

namespace {

constexpr char kChartClass[] = "PulsivaChartPict";
constexpr char kCaption[] = "Pulsiva";
// ChartPict's outer size; the sunken edge takes two pixels of it on each side.
constexpr double kChartWidthTwips = 5460;
constexpr double kChartHeightTwips = 1185;
// Loss marks are a few pixels high at the bottom of the column, drawn under the blue line.
constexpr int kLossMarkHeight = 5;
// Posted when the watch has a write failure to tell, so that the box opens outside the ping cycle.
constexpr UINT kShowNoticeMessage = WM_APP + 1;
constexpr char kNoOutageLog[] = "No outage has been logged yet.";

COLORREF ToColorRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// A background image at the chart's client size.
HBITMAP MakeGridBitmap(int image, SIZE size) {
    std::uint32_t* bits = nullptr;
    HBITMAP bmp = CreateDib32(size.cx, size.cy, &bits);
    if (bmp && bits) {
        std::vector<std::uint32_t> pixels = GridPicture(image, size.cx, size.cy);
        std::memcpy(bits, pixels.data(), pixels.size() * sizeof pixels[0]);
    }
    return bmp;
}

}  // namespace

// ---- ChartPicture -------------------------------------------------------------------------

void ChartPicture::Register(HINSTANCE instance) {
    WNDCLASSA wc{};
    if (GetClassInfoA(instance, kChartClass, &wc)) return;
    wc.lpfnWndProc = WindowBase::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kChartClass;
    RegisterClassA(&wc);
}

void ChartPicture::Attach(HWND hwnd) {
    AttachWindow(hwnd);
    RECT rc{};
    GetClientRect(hwnd, &rc);
    width_ = rc.right - rc.left;
    height_ = rc.bottom - rc.top;
    dc_.reset();
    backing_.reset(CreateDib32(width_ > 0 ? width_ : 1, height_ > 0 ? height_ : 1, &bits_));
    dc_.reset(CreateCompatibleDC(nullptr));
    SelectObject(dc_.get(), backing_.get());
}

void ChartPicture::SetPicture(HBITMAP image) {
    if (!dc_) return;
    RECT all{0, 0, width_, height_};
    FillRect(dc_.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    UniqueMemoryDc source(CreateCompatibleDC(dc_.get()));
    {
        SelectedObject pick(source.get(), image);
        BitBlt(dc_.get(), 0, 0, width_, height_, source.get(), 0, 0, SRCCOPY);
    }
    Invalidate();
}

void ChartPicture::Draw(const ActivityChart& chart, double heightTwips, int dpiX, int dpiY,
                        const std::array<bool, kHistorySize>& lost) {
    if (!dc_) return;
    HDC dc = dc_.get();
    const ChartPixels pixels = ChartInPixels(chart, heightTwips, height_, dpiX, dpiY);
    // Three pixels wide where the columns leave room: one would be hard to see at a glance.
    const int half = (pixels.corners[1].x - pixels.corners[0].x) >= 4 ? 1 : 0;
    UniqueBrush red(CreateSolidBrush(ToColorRef(kRgbLossMark)));
    for (int i = 0; i < kHistorySize; ++i) {
        if (!lost[i]) continue;
        const int x = pixels.corners[i].x;
        RECT mark{x - half, height_ - kLossMarkHeight, x + half + 1, height_};
        FillRect(dc, &mark, red.get());
    }
    const COLORREF blue = ToColorRef(kRgbChartLine);
    UniquePen pen(CreatePen(PS_SOLID, 1, blue));
    SelectedObject usePen(dc, pen.get());
    SetPixel(dc, pixels.firstPoint.x, pixels.firstPoint.y, blue);
    POINT corners[kHistorySize];
    for (int i = 0; i < kHistorySize; ++i) corners[i] = {pixels.corners[i].x, pixels.corners[i].y};
    Polyline(dc, corners, kHistorySize);
    // A line leaves out its last pixel: the newest sample's own point.
    SetPixel(dc, corners[kHistorySize - 1].x, corners[kHistorySize - 1].y, blue);
    Invalidate();
}

void ChartPicture::Invalidate() {
    // Once the picture box is gone there is nothing to repaint; a null window would be the desktop.
    if (HWND picture = Window(); picture && IsWindow(picture)) InvalidateRect(picture, nullptr, FALSE);
}

std::uint32_t ChartPicture::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    return bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF;
}

WindowBase::Result ChartPicture::OnMessage(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (dc_) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            BitBlt(dc, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
            EndPaint(hwnd, &ps);
            return 0;
        }
        break;
    }
    return std::nullopt;
}

// A picture box keeps no state between messages that a failed one could leave half-done.
void ChartPicture::RestoreAfterFailure() {}

// ---- FrmGetIp -----------------------------------------------------------------------------

FrmGetIp::FrmGetIp(HINSTANCE instance, PingNetwork& network, Options options)
    : instance_(instance),
      options_(std::move(options)),
      loop_(network, *this),
      watch_(clock_, files_, options_.outageLog.file.empty() ? LogPlaceSource(SystemOutageLogPlace)
                                                             : LogPlaceSource([p = options_.outageLog] { return p; })) {
    loop_.SetObserver(&watch_);
}

FrmGetIp::~FrmGetIp() {
    // The window goes before the object: its last messages still come here.
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND FrmGetIp::Create() {
    InitCommonControlClasses(ICC_BAR_CLASSES);
    ChartPicture::Register(instance_);
    // The object stays its creator's: the window does not delete it.
    return CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_frmGetIp), nullptr, WindowBase::DialogProc,
                              CreationParam(this));
}

bool FrmGetIp::PreTranslateMessage(MSG& msg) {
    // Only keys concern the dialog manager; anything else it would dispatch itself, through a second
    // translation of every animation tick.
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    return hwnd_ && IsDialogMessageA(hwnd_, &msg);
}

WindowBase::Result FrmGetIp::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kShowNoticeMessage) {
        ShowNotice();
        return 0;
    }
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowIcons();
        Form_Load();
        // Focus to the first control that can take it (the site box is disabled while pinging).
        if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
        return FALSE;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_SETCURSOR:
        // The pointer comes over the chart for the first time: its tooltip is made now, not at start-up.
        if (!chartTip_ && reinterpret_cast<HWND>(wp) == Item(IDC_ChartPict) && HIWORD(lp) == WM_MOUSEMOVE) {
            AddChartTip();
        }
        return std::nullopt;
    case WM_TIMER:
        if (wp == IDT_ChartTimer) loop_.ChartTimer_Timer();
        else if (wp == IDT_Timer1 && options_.hooks.animationFrame) options_.hooks.animationFrame();
        else if (wp == IDT_Idle) {
            KillTimer(hwnd_, IDT_Idle);
            if (options_.hooks.idle) options_.hooks.idle();
        }
        return 0;
    case WM_SIZE:
        if (wp == SIZE_MINIMIZED) Form_Resize();
        return std::nullopt;
    case WM_CLOSE:
        Form_Unload();
        DestroyWindow(hwnd_);
        return 0;
    case WM_ENDSESSION:
        if (wp) Form_Unload();
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, IDT_ChartTimer);
        KillTimer(hwnd_, IDT_Timer1);
        KillTimer(hwnd_, IDT_Idle);
        chartTimerOn_ = timer1On_ = false;
        return 0;
    case WM_NCDESTROY:
        bigIcon_.reset();
        smallIcon_.reset();
        if (options_.quitOnDestroy) PostQuitMessage(0);
        return std::nullopt;
    }
    return std::nullopt;
}

void FrmGetIp::RequestIdle() {
    if (hwnd_) SetTimer(hwnd_, IDT_Idle, 0, nullptr);
}

void FrmGetIp::RestoreAfterFailure() {
    // A cycle that failed once fails again at the next tick: rather than a box every interval, the
    // clock stops and the window stands idle until the user presses Ping.
    SetChartTimer(false);
    SetPingingControls(false);
    SetTrayPingItemsEnabled(true);
    if (loop_.Pinging()) loop_.StopPinging();
}

void FrmGetIp::SetWindowIcons() {
    // A dialog has no class icon: without these the caption, taskbar and Alt+Tab show the system's.
    // Each size is loaded from its own image rather than shrunk from the large one.
    auto load = [this](int cx, int cy) {
        return static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_Pulsiva), IMAGE_ICON,
                                             GetSystemMetrics(cx), GetSystemMetrics(cy), 0));
    };
    bigIcon_.reset(load(SM_CXICON, SM_CYICON));
    smallIcon_.reset(load(SM_CXSMICON, SM_CYSMICON));
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void FrmGetIp::Form_Load() {
    const ScreenDpi dpi = GetScreenDpi();
    dpiX_ = dpi.x;
    dpiY_ = dpi.y;

    // ChartPict keeps its size in twips whatever the dialog font; it is centred in its frame.
    HWND pict = Item(IDC_ChartPict);
    RECT frame{};
    RECT place{};
    if (GetWindowRect(Item(IDC_Frame2), &frame) && GetWindowRect(pict, &place)) {
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&frame), 2);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&place), 2);
        int w = TwipsToPixels(kChartWidthTwips, dpiX_);
        int h = TwipsToPixels(kChartHeightTwips, dpiY_);
        int x = frame.left + (frame.right - frame.left - w) / 2;
        SetWindowPos(pict, nullptr, x, place.top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    chart_.Attach(pict);
    chart_.SetPicture(GridBackground(0));

    SetDlgItemTextA(hwnd_, IDC_txtDomain, kDefaultSite);
    for (const char* item : kIntervalItems) SendDlgItemMessageA(hwnd_, IDC_Combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    int parts[] = {-1};
    SendDlgItemMessageA(hwnd_, IDC_StatusBar1, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    SendDlgItemMessageA(hwnd_, IDC_StatusBar1, WM_SIZE, 0, 0);  // to the bottom edge of the window

    // Start-up: counters, help file, the "10" interval, then the tray and settings, then the
    // cleared history and the start of pinging.
    loop_.Reset();
    helpFile_ = ProgramHelpFile();
    SelectInterval(0);
    if (options_.hooks.load) options_.hooks.load(hwnd_);
    loop_.StartPinging();
    ShowFigures();
}

void FrmGetIp::AddChartTip() {
    chartTip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    if (!chartTip_) return;
    TTTOOLINFOA tool{};
    // The first form of the record: the only one the first common controls accept.
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(IDC_ChartPict));
    tool.lpszText = const_cast<char*>("");
    SendMessageA(chartTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    // A width makes the tip break at its line ends (common controls 4.70 on; the first show one line).
    SendMessageA(chartTip_, TTM_SETMAXTIPWIDTH, 0, 600);
    // Four lines of figures take longer to read than the usual five seconds.
    SendMessageA(chartTip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
    UpdateChartTip();
    // The move that brought the pointer here, so that the tip's wait starts with it.
    POINT at{};
    GetCursorPos(&at);
    MSG move{};
    move.hwnd = Item(IDC_ChartPict);
    move.message = WM_MOUSEMOVE;
    move.pt = at;
    ScreenToClient(move.hwnd, &at);
    move.lParam = MAKELPARAM(at.x, at.y);
    SendMessageA(chartTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void FrmGetIp::UpdateChartTip() {
    if (!chartTip_) return;
    const std::string text = watch_.Tooltip();
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(IDC_ChartPict));
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(chartTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void FrmGetIp::ShowFigures() {
    if (!hwnd_) return;
    SetDlgItemTextA(hwnd_, IDC_lblStats, watch_.StatsLine().c_str());
    UpdateChartTip();
    if (options_.hooks.figures) options_.hooks.figures();
    std::string notice = watch_.TakeNotice();
    if (!notice.empty()) {
        notice_ = std::move(notice);
        PostMessageA(hwnd_, kShowNoticeMessage, 0, 0);
    }
}

// The clock keeps ticking while the box is open: its message loop dispatches the timers.
void FrmGetIp::ShowNotice() {
    std::string text;
    text.swap(notice_);
    if (!text.empty()) MessageBoxA(hwnd_, text.c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
}

void FrmGetIp::Form_Resize() {
    // Minimized, the window lives in the tray only.
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
}

void FrmGetIp::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    watch_.Close();
    if (options_.hooks.unload) options_.hooks.unload(hwnd_);
}

void FrmGetIp::OnCommand(int id, int code) {
    if (code != BN_CLICKED && id != IDOK && id != IDCANCEL) return;
    switch (id) {
    case IDOK:  // Enter: the default button, while it can be pressed
        if (IsWindowEnabled(Item(IDC_cmdPing))) cmdPing_Click();
        break;
    case IDCANCEL:  // Esc: the window stays; it is a keep-alive window, not a dialog to dismiss
        break;
    case IDC_cmdPing:
        if (IsWindowEnabled(Item(IDC_cmdPing))) cmdPing_Click();
        break;
    case IDC_Command1:
        if (IsWindowEnabled(Item(IDC_Command1))) Command1_Click();
        break;
    case IDC_cmdResetActivity:
        if (IsWindowEnabled(Item(IDC_cmdResetActivity))) cmdResetActivity_Click();
        break;
    case IDC_Command2:
        Command2_Click();
        break;
    case IDC_cmdExit:
        cmdExit_Click();
        break;
    case IDC_Check1:
        if (options_.hooks.check1Click) options_.hooks.check1Click();
        break;
    }
}

void FrmGetIp::cmdPing_Click() {
    loop_.StartPinging();
    ShowFigures();
}
void FrmGetIp::Command1_Click() { loop_.StopPinging(); }
void FrmGetIp::cmdResetActivity_Click() { loop_.ResetActivity(); }

void FrmGetIp::Command2_Click() {
    if (options_.help) options_.help(hwnd_, helpFile_, "ping.htm");
    else CallHtmlHelp(hwnd_, helpFile_, kHhDisplayTopic, reinterpret_cast<DWORD_PTR>("ping.htm"));
}

void FrmGetIp::cmdExit_Click() { Close(); }

void FrmGetIp::SelectInterval(int item) { SendDlgItemMessageA(hwnd_, IDC_Combo1, CB_SETCURSEL, item, 0); }

void FrmGetIp::OutageLog_Click(HWND owner) {
    const std::string& file = watch_.OutageLogFile();
    if (files_.FileSize(file) < 0) {
        MessageBoxA(owner, kNoOutageLog, kCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Values up to 32 are errors; the program that opens .csv files tells the user its own troubles.
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        MessageBoxA(owner, ("Pulsiva cannot open " + file + ".").c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
    }
}

void FrmGetIp::SaveActivity_Click(HWND owner) {
    std::string path = "activity.csv";
    // The text is taken before the box opens: the clock ticks while it is open.
    const std::string text = watch_.SaveActivityText();
    if (!AskFileToSave(owner, "CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0", "csv", &path)) return;
    if (!WriteWholeFile(path, text)) {
        MessageBoxA(owner, ("Pulsiva cannot write to " + path + ".").c_str(), kCaption,
                    MB_OK | MB_ICONEXCLAMATION);
    }
}

void FrmGetIp::AnimationOn() { SetAnimation(true); }
void FrmGetIp::AnimationOff() { SetAnimation(false); }
void FrmGetIp::ShowStill() { ShowStillIcon(); }

// ---- PingView -----------------------------------------------------------------------------

std::string FrmGetIp::SiteText() {
    HWND box = Item(IDC_txtDomain);
    int n = GetWindowTextLengthA(box);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    n = GetWindowTextA(box, text.data(), n + 1);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

int FrmGetIp::IntervalItem() {
    LRESULT sel = SendDlgItemMessageA(hwnd_, IDC_Combo1, CB_GETCURSEL, 0, 0);
    return sel == CB_ERR ? -1 : static_cast<int>(sel);
}

bool FrmGetIp::AnimationDisabled() { return IsDlgButtonChecked(hwnd_, IDC_Check1) == BST_CHECKED; }

void FrmGetIp::SetAnimation(bool on) {
    // Without its window a timer would belong to the thread and never be killed.
    if (!hwnd_ || on == timer1On_) return;
    if (on) SetTimer(hwnd_, IDT_Timer1, kAnimationTimerMs, nullptr);
    else KillTimer(hwnd_, IDT_Timer1);
    timer1On_ = on;
}

void FrmGetIp::ShowStillIcon() {
    if (options_.hooks.showStillIcon) options_.hooks.showStillIcon();
}

void FrmGetIp::SetChartTimer(bool on) {
    if (!hwnd_ || on == chartTimerOn_) return;
    if (on) SetTimer(hwnd_, IDT_ChartTimer, kChartTimerMs, nullptr);
    else KillTimer(hwnd_, IDT_ChartTimer);
    chartTimerOn_ = on;
}

void FrmGetIp::SetPingingControls(bool pinging) {
    HWND focus = GetFocus();
    EnableWindow(Item(IDC_txtDomain), !pinging);
    EnableWindow(Item(IDC_Combo1), !pinging);
    EnableWindow(Item(IDC_cmdPing), !pinging);
    EnableWindow(Item(IDC_Command1), pinging);
    EnableWindow(Item(IDC_cmdResetActivity), pinging);
    // A button that disabled itself under the keyboard focus hands it to its counterpart.
    if (focus && IsChild(hwnd_, focus) && !IsWindowEnabled(focus)) {
        SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(pinging ? IDC_Command1 : IDC_cmdPing)), TRUE);
    }
}

void FrmGetIp::SetTrayPingItemsEnabled(bool enabled) {
    if (options_.hooks.trayPingItems) options_.hooks.trayPingItems(enabled);
}

void FrmGetIp::SetStatusText(const std::string& text) {
    SendDlgItemMessageA(hwnd_, IDC_StatusBar1, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The chart is drawn in ChartPict's client area, known since the window loaded: a cycle that ends
// after the window has gone asks no window for its size.
double FrmGetIp::ChartWidthTwips() { return chart_.ClientSize().cx * 1440.0 / dpiX_; }
double FrmGetIp::ChartHeightTwips() { return chart_.ClientSize().cy * 1440.0 / dpiY_; }

void FrmGetIp::ShowChart(int backgroundIndex, const ActivityChart* chart) {
    if (!hwnd_) return;
    chart_.SetPicture(GridBackground(backgroundIndex % kGridImages));
    if (chart) chart_.Draw(*chart, ChartHeightTwips(), dpiX_, dpiY_, watch_.Activity().LossMarks());
    // Every change of the figures (a ping, a reset, a stop) ends in a new picture.
    ShowFigures();
}

HBITMAP FrmGetIp::GridBackground(int index) {
    // Each drawn when first shown. They fill the client area, which the sunken edge makes smaller
    // than the box.
    UniqueBitmap& picture = Picture1_[static_cast<std::size_t>(index)];
    if (!picture) picture.reset(MakeGridBitmap(index, chart_.ClientSize()));
    return picture.get();
}

void FrmGetIp::ShowMessage(const std::string& text) { MessageBoxA(hwnd_, text.c_str(), kCaption, MB_OK); }

}  // namespace zv
