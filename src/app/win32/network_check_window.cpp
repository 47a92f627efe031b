// The check window: echoes on a thread of their own (a name that does not resolve can block for long),
// the countdown, Undo through the safety backup the pending check names, and the restart.
#include "app/win32/network_check_window.h"

#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/network_check.h"
#include "app/win32/resource.h"
#include "app/win32/shell_commands.h"
#include "backup/win32/backup_folder.h"
#include "backup/win32/safety_disk_folder.h"
#include "platform/echo.h"
#include "platform/opsysinfo.h"
#include "platform/win32/advapi_registry.h"
#include "platform/win32/desktop.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_net_api.h"
#include "platform/win32/window_base.h"

namespace zv {
namespace {

// An echo has ended: wParam 1 when answered, lParam the round-trip time.
constexpr UINT kEchoDone = WM_APP + 1;

struct EchoJob {
    HWND window;
    std::string host;
};

// One echo through the network layer Pulsiva pings with; each thread has its own, so that the window
// may end without waiting for an echo still under way.
DWORD WINAPI EchoThread(LPVOID param) {
    std::unique_ptr<EchoJob> job(static_cast<EchoJob*>(param));
    std::optional<std::uint32_t> rtt;
    try {
        SystemNetApi api;
        api.SetCaption("Zarvelo");
        WinsockPing network(api);
        rtt = EchoOnce(network, job->host);
    } catch (...) {
        rtt.reset();  // counted as no answer; the check goes on
    }
    PostMessageA(job->window, kEchoDone, rtt ? 1 : 0, static_cast<LPARAM>(rtt.value_or(0)));
    return 0;
}

class NetworkCheckWindow : public WindowBase {
public:
    NetworkCheckWindow(Registry& registry, PendingCheck check) : registry_(registry), check_(std::move(check)) {}

private:
    Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    Result OnCommand(int id);
    void RestoreAfterFailure() override;
    void Form_Load();
    void StartEcho();
    void EchoDone(bool answered, std::uint32_t rtt);
    void Undo();
    void Apply(const CheckStep& step);
    void ShowScreen();
    void Finish() { EndDialog(hwnd_, 0); }

    Registry& registry_;
    NetworkCheck check_;
    DWORD startTick_ = 0;
    std::uint32_t echoStartedMs_ = 0;
    UniqueKernelHandle echoThread_;
    bool failed_ = false;  // a handler threw: only Close is left
};

std::uint32_t MsSince(DWORD tick) { return static_cast<std::uint32_t>(GetTickCount() - tick); }

void NetworkCheckWindow::Form_Load() {
    startTick_ = GetTickCount();
    ShowScreen();
    Apply(check_.Start());
}

void NetworkCheckWindow::StartEcho() {
    echoStartedMs_ = MsSince(startTick_);
    auto job = std::make_unique<EchoJob>(EchoJob{hwnd_, check_.Check().host});
    DWORD id = 0;
    echoThread_.reset(CreateThread(nullptr, 0, EchoThread, job.get(), 0, &id));
    if (echoThread_) {
        job.release();  // the thread's now
    } else {
        EchoDone(false, 0);
    }
}

void NetworkCheckWindow::EchoDone(bool answered, std::uint32_t rtt) {
    Apply(check_.EchoResult(answered ? std::optional<std::uint32_t>(rtt) : std::nullopt, echoStartedMs_,
                            MsSince(startTick_)));
}

WriteRunOutcome UndoThroughSafetyBackup(Registry& registry, const std::string& safetyBackup) {
    const COpSysInfo os(SystemVersionQuery());
    const auto folder = DiskSafetyFolder(BackupDirectory(ProgramDirectory()),
                                         os.IsWinNT() ? ReplaceMethod::kMoveFileEx : ReplaceMethod::kDeleteThenMove);
    WriteRunContext context{registry, *folder, FamilyOf(os), LocalNow(), nullptr};
    return UndoCheckedChange(context, safetyBackup);
}

void NetworkCheckWindow::Undo() {
    Apply(check_.UndoFinished(UndoThroughSafetyBackup(registry_, check_.Check().safetyBackup)));
}

// A network layer that tells nobody: with /quiet there is no one to read a message box.
class SilentNetApi : public SystemNetApi {
    void ShowExclamation(const std::string&) override {}
};

// The window's steps without the window.
int RunQuietly(Registry& registry, PendingCheck pending) {
    NetworkCheck check(std::move(pending));
    SilentNetApi api;
    WinsockPing network(api);
    const DWORD start = GetTickCount();
    int exitCode = kExitDone;
    CheckStep step = check.Start();
    for (;;) {
        if (step.clearPending) ClearPendingCheck(registry);
        switch (step.what) {
        case CheckStep::Do::EchoAfter: {
            Sleep(step.afterMs);
            const std::uint32_t started = MsSince(start);
            const std::optional<std::uint32_t> rtt = EchoOnce(network, check.Check().host);
            step = check.EchoResult(rtt, started, MsSince(start));
            break;
        }
        case CheckStep::Do::TickAfter: step = check.UndoNow(); break;
        case CheckStep::Do::Undo: {
            const WriteRunOutcome undo = UndoThroughSafetyBackup(registry, check.Check().safetyBackup);
            exitCode = FromWrite(undo, kExitBackupFile).exitCode;
            step = check.UndoFinished(undo);
            break;
        }
        default: return exitCode;  // answered, kept, undone or failed: the check is over
        }
    }
}

void NetworkCheckWindow::Apply(const CheckStep& step) {
    if (step.clearPending) ClearPendingCheck(registry_);
    ShowScreen();
    switch (step.what) {
    case CheckStep::Do::Wait: break;
    case CheckStep::Do::EchoAfter:
        if (step.afterMs == 0) {
            StartEcho();
        } else {
            SetTimer(hwnd_, IDT_Check_Echo, step.afterMs, nullptr);
        }
        break;
    case CheckStep::Do::TickAfter: SetTimer(hwnd_, IDT_Check_Tick, step.afterMs, nullptr); break;
    case CheckStep::Do::Undo:
        KillTimer(hwnd_, IDT_Check_Tick);
        Undo();
        break;
    case CheckStep::Do::CloseAfter: SetTimer(hwnd_, IDT_Check_Close, step.afterMs, nullptr); break;
    case CheckStep::Do::Close: Finish(); break;
    }
}

void NetworkCheckWindow::ShowScreen() {
    const CheckScreen s = check_.Screen();
    SetDlgItemTextA(hwnd_, IDC_Check_Text, s.text.c_str());
    const std::pair<int, bool> buttons[] = {{IDC_Check_UndoNow, s.undoNow},
                                            {IDC_Check_KeepChanges, s.keepChanges},
                                            {IDC_Check_Restart, s.restart},
                                            {IDC_Check_Close, s.close}};
    HWND focus = GetFocus();
    for (const auto& [id, shown] : buttons) {
        HWND button = GetDlgItem(hwnd_, id);
        // A button about to be hidden must not keep the focus, or the keyboard has nowhere to go.
        if (!shown && focus == button) focus = nullptr;
        ShowWindow(button, shown ? SW_SHOWNA : SW_HIDE);
    }
    const int defaultId = s.undoNow ? IDC_Check_UndoNow : s.restart ? IDC_Check_Restart : IDC_Check_Close;
    SendMessageA(hwnd_, DM_SETDEFID, defaultId, 0);
    if (!focus || GetParent(focus) != hwnd_) SetFocus(GetDlgItem(hwnd_, defaultId));
}

WindowBase::Result NetworkCheckWindow::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        Form_Load();
        return FALSE;  // the focus is set
    case WM_TIMER:
        KillTimer(hwnd_, wp);
        if (wp == IDT_Check_Echo) StartEcho();
        if (wp == IDT_Check_Tick) Apply(check_.Tick());
        if (wp == IDT_Check_Close) Finish();
        return 0;
    case kEchoDone:
        if (failed_) return 0;
        EchoDone(wp != 0, static_cast<std::uint32_t>(lp));
        return 0;
    case WM_COMMAND: return OnCommand(LOWORD(wp));
    default: return std::nullopt;
    }
}

WindowBase::Result NetworkCheckWindow::OnCommand(int id) {
    switch (id) {
    case IDC_Check_UndoNow: Apply(check_.UndoNow()); return 0;
    case IDC_Check_KeepChanges: Apply(check_.KeepChanges()); return 0;
    case IDC_Check_Restart:
        Finish();
        RestartComputer();
        return 0;
    case IDC_Check_Close:
    case IDCANCEL:
        // Until the user has chosen, or the countdown has, the window stays: the check must end.
        if (failed_ || check_.Screen().close) Finish();
        return 0;
    default: return std::nullopt;
    }
}

// A handler that failed leaves the check over: no second check at the next log-on, and a way out.
void NetworkCheckWindow::RestoreAfterFailure() {
    failed_ = true;
    for (int timer : {IDT_Check_Echo, IDT_Check_Tick, IDT_Check_Close}) KillTimer(hwnd_, timer);
    ClearPendingCheck(registry_);
    ShowWindow(GetDlgItem(hwnd_, IDC_Check_UndoNow), SW_HIDE);
    ShowWindow(GetDlgItem(hwnd_, IDC_Check_KeepChanges), SW_HIDE);
    ShowWindow(GetDlgItem(hwnd_, IDC_Check_Close), SW_SHOWNA);
    SendMessageA(hwnd_, DM_SETDEFID, IDC_Check_Close, 0);
}

}  // namespace

int RunPendingCheckStart(HINSTANCE instance, Registry& registry, bool quiet) {
    std::optional<PendingCheck> check = ReadPendingCheck(registry);
    if (!check) return kExitDone;
    if (quiet) return RunQuietly(registry, std::move(*check));
    NetworkCheckWindow window(registry, std::move(*check));
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_NetworkCheck), nullptr, WindowBase::DialogProc,
                    WindowBase::CreationParam(&window));
    return kExitDone;
}

}  // namespace zv
