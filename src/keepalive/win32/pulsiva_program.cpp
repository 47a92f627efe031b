// The keep-alive program: joins frmGetIp, the tray icon, the tray menu and the stored settings.
#include "keepalive/win32/pulsiva_program.h"

#include "keepalive/win32/resource.h"
#include "platform/win32/desktop.h"
#include "platform/win32/html_help.h"

namespace zv {

PulsivaProgram::PulsivaProgram(HINSTANCE instance, Registry& reg, PingNetwork& network, Options options)
    : instance_(instance),
      reg_(reg),
      options_(std::move(options)),
      animation_(*this),
      hook_({[this] { RestoreWindow(); }, [this] { ShowTrayMenu(menu_.hwnd()); },
             [this] { icon_.AddAgain(); }}),
      icon_(options_.notify, options_.shell ? *options_.shell : SystemShellVersion(),
            options_.shell ? BalloonTipsAvailable(*options_.shell, true) : SystemHasBalloonTips()),
      menu_(instance, {[this](int index) { mnuOpts_Click(index); }, [this](int index) { mnuInterval_Click(index); }}),
      form_(instance, network, FormOptions()) {}

PulsivaProgram::~PulsivaProgram() = default;

FrmGetIp::Options PulsivaProgram::FormOptions() {
    FrmGetIp::Options o;
    o.quitOnDestroy = options_.quitOnDestroy;
    o.help = options_.help;
    o.outageLog = options_.outageLog;
    o.hooks.load = [this](HWND) {
        animation_.Reset();
        StartUp(reg_, *this);
    };
    o.hooks.unload = [this](HWND) { ShutDown(reg_, *this); };
    o.hooks.animationFrame = [this] { animation_.Timer1_Timer(); };
    o.hooks.showStillIcon = [this] { animation_.ShowStill(); };
    o.hooks.trayPingItems = [this](bool enabled) { menu_.SetPingItemsEnabled(enabled); };
    o.hooks.check1Click = [this] { Check1_Click(); };
    o.hooks.idle = [this] { AddDueTrayIcon(); };
    o.hooks.figures = [this] { ShowLine(); };
    return o;
}

HWND PulsivaProgram::Create() {
    menu_.Load();
    menu_.SetAlertChecked(alertOnOutage_);
    return form_.Create();
}

void PulsivaProgram::mnuOpts_Click(int index) {
    switch (index) {
    case kMnuPing: form_.cmdPing_Click(); break;
    case kMnuStopPing: form_.Command1_Click(); break;
    case kMnuRestore: RestoreWindow(); break;
    case kMnuHelp:
        if (options_.help) options_.help(menu_.hwnd(), form_.HelpFile(), "ping.htm");
        else CallHtmlHelp(menu_.hwnd(), form_.HelpFile(), kHhDisplayTopic, reinterpret_cast<DWORD_PTR>("ping.htm"));
        break;
    case kMnuOutageLog: form_.OutageLog_Click(hwnd()); break;
    case kMnuSaveActivity: form_.SaveActivity_Click(hwnd()); break;
    case kMnuAlertOnOutage: SetAlertOnOutage(!alertOnOutage_); break;
    case kMnuClose: form_.cmdExit_Click(); break;
    }
}

void PulsivaProgram::mnuInterval_Click(int index) { form_.SelectInterval(index); }

void PulsivaProgram::RestoreWindow() {
    HWND h = hwnd();
    if (!h) return;
    ShowWindow(h, SW_SHOWNORMAL);
    SetForegroundWindow(h);
    startsInTray_ = false;
}

void PulsivaProgram::ShowLine() {
    LineMonitor& watch = form_.Watch();
    if (watch.LineDown()) {
        if (icon_.ShownFrame() != kDownFrame) icon_.Change(kDownFrame);
    } else if (icon_.ShownFrame() == kDownFrame) {
        icon_.Change(form_.AnimationRunning() ? animation_.IconFrame() : kStillFrame);
    }
    icon_.SetTip(watch.TrayTip());
    if (std::optional<OutageAlert> alert = watch.TakeAlert(); alert && alertOnOutage_) {
        icon_.ShowBalloon(alert->text, alert->down);
    }
}

void PulsivaProgram::SetAlertOnOutage(bool on) {
    alertOnOutage_ = on;
    menu_.SetAlertChecked(on);
}

void PulsivaProgram::Check1_Click() { animation_.Check1_Click(IsDlgButtonChecked(hwnd(), IDC_Check1) == BST_CHECKED); }

// ---- LifecycleWindow ------------------------------------------------------------------------

void PulsivaProgram::HookWindow() { hook_.HookWindow(hwnd()); }

PixelRect PulsivaProgram::WindowRect() {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return {r.left, r.top, r.right, r.bottom};
}

// A minimized window sits far off screen; its normal place comes from its placement.
PixelRect PulsivaProgram::NormalRect() { return RestoredWindowRect(hwnd()); }

PixelRect PulsivaProgram::VirtualScreen() { return zv::VirtualScreen(); }

int PulsivaProgram::DpiX() { return GetScreenDpi().x; }
int PulsivaProgram::DpiY() { return GetScreenDpi().y; }

void PulsivaProgram::MoveWindow(int x, int y) {
    // A place stored at a smaller DPI or on a larger screen would put the window partly off it.
    const PixelRect now = WindowRect();
    const PixelRect place{x, y, x + now.Width(), y + now.Height()};
    const PixelPoint at = MoveInside(place, WorkAreaNear(place));
    SetWindowPos(hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PulsivaProgram::Check2() { return IsDlgButtonChecked(hwnd(), IDC_Check2) == BST_CHECKED; }
void PulsivaProgram::SetCheck2(bool on) { CheckDlgButton(hwnd(), IDC_Check2, on ? BST_CHECKED : BST_UNCHECKED); }
bool PulsivaProgram::Check3() { return IsDlgButtonChecked(hwnd(), IDC_Check3) == BST_CHECKED; }
void PulsivaProgram::SetCheck3(bool on) { CheckDlgButton(hwnd(), IDC_Check3, on ? BST_CHECKED : BST_UNCHECKED); }

void PulsivaProgram::Minimize() {
    // The window is still hidden at start-up: leaving it so puts the program in the tray only,
    // without showing a minimized window first.
    startsInTray_ = true;
}

void PulsivaProgram::AddTrayIcon() {
    trayIconDue_ = true;
    form_.RequestIdle();
}

void PulsivaProgram::AddDueTrayIcon() {
    if (!trayIconDue_) return;
    trayIconDue_ = false;
    // The frame the animation has reached by now; a window already closed gets no icon.
    if (hwnd()) icon_.Add(hwnd(), animation_.IconFrame(), form_.Watch().TrayTip());
}

void PulsivaProgram::CloseMenuForm() { menu_.Unload(); }

void PulsivaProgram::RemoveTrayIcon() {
    trayIconDue_ = false;
    icon_.Remove();
}

void PulsivaProgram::UnhookWindow() { hook_.UnhookWindow(); }

void PulsivaProgram::SetOutageLosses(int losses) { form_.Watch().SetOutageLosses(losses); }
int PulsivaProgram::OutageLosses() { return form_.Watch().OutageLosses(); }

std::string PulsivaProgram::ProgramPath() {
    if (!options_.programPath.empty()) return options_.programPath;
    return ProgramFilePath();
}

// ---- TrayIconView ---------------------------------------------------------------------------

// While the line is down its picture stands, even when the animation was switched on again.
void PulsivaProgram::ShowFrame(int frame) { icon_.Change(form_.Watch().LineDown() ? kDownFrame : frame); }

void PulsivaProgram::SetAnimationTimer(bool on) {
    if (on) form_.AnimationOn();
    else form_.AnimationOff();
}

}  // namespace zv
