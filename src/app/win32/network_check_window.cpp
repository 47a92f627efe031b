// The check window: echoes on a thread of their own (a name that does not resolve can block for long),
// the countdown, Undo through the safety backup the pending check names, and the restart.
#include "app/win32/network_check_window.h"

#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/win32/resource.h"
#include "app/win32/shell_commands.h"
#include "backup/win32/backup_folder.h"
#include "platform/echo.h"
#include "platform/opsysinfo.h"
#include "platform/win32/advapi_registry.h"
#include "platform/win32/desktop.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_net_api.h"
#include "platform/win32/window_base.h"
#include "writerun/network_check.h"
#include "writerun/win32/safety_disk_folder.h"

namespace zv {
namespace {

// An echo has ended: lParam a CheckedEcho the window takes over.
constexpr UINT kEchoDone = WM_APP + 1;

struct EchoJob {
    HWND window;
    std::string host;
};

// A network layer that tells nobody: the check says itself what went wrong.
class SilentNetApi : public SystemNetApi {
    void ShowExclamation(const std::string&) override {}
};

// One echo, caught whole: whatever goes wrong inside says nothing about the network.
CheckedEcho CheckedEchoTo(const std::string& host) {
    try {
        SilentNetApi api;
        return CheckEcho(api, host);
    } catch (...) {
        CheckedEcho failed;
        failed.why = "The echo could not be sent.";
        return failed;
    }
}

// Each echo on a thread of its own, so that the window may end without waiting for one under way.
DWORD WINAPI EchoThread(LPVOID param) {
    std::unique_ptr<EchoJob> job(static_cast<EchoJob*>(param));
    auto echo = std::make_unique<CheckedEcho>(CheckedEchoTo(job->host));
    if (PostMessageA(job->window, kEchoDone, 0, reinterpret_cast<LPARAM>(echo.get()))) echo.release();
    return 0;
}

CheckRunEnd EndOf(const NetworkCheck& check, const WriteRunOutcome* undo);

class NetworkCheckWindow : public WindowBase {
public:
    NetworkCheckWindow(Registry& registry, PendingCheck check) : registry_(registry), check_(std::move(check)) {}
    // How the check ended, once the window is gone.
    CheckRunEnd End() const { return EndOf(check_, undo_ ? &*undo_ : nullptr); }

private:
    Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    Result OnCommand(int id);
    void RestoreAfterFailure() override;
    void Form_Load();
    void StartEcho();
    void EchoDone(const CheckedEcho& echo);
    void Undo();
    void Apply(const CheckStep& step);
    void ShowScreen();
    void Finish() { EndDialog(hwnd_, 0); }

    Registry& registry_;
    NetworkCheck check_;
    std::optional<WriteRunOutcome> undo_;
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
        CheckedEcho none;
        none.why = "The echo could not be started.";
        EchoDone(none);
    }
}

// The step after one echo, in the window or without it.
CheckStep AfterEcho(NetworkCheck& check, const CheckedEcho& echo, std::uint32_t startedMs, std::uint32_t nowMs) {
    switch (echo.result) {
    case CheckedEcho::Result::Answered: return check.EchoResult(echo.rttMs, startedMs, nowMs);
    case CheckedEcho::Result::NoAnswer: return check.EchoResult(std::nullopt, startedMs, nowMs);
    case CheckedEcho::Result::NotSent: break;
    }
    return check.EchoNotSent(echo.why, startedMs, nowMs);
}

void NetworkCheckWindow::EchoDone(const CheckedEcho& echo) {
    Apply(AfterEcho(check_, echo, echoStartedMs_, MsSince(startTick_)));
}

WriteRunOutcome UndoThroughSafetyBackup(Registry& registry, const std::string& safetyBackup) {
    const COpSysInfo os(SystemVersionQuery());
    const auto folder = DiskSafetyFolder(BackupDirectory(ProgramDirectory()), ReplaceMethodFor(os));
    WriteRunContext context{registry, *folder, FamilyOf(os), LocalNow(), nullptr, ComputerName(), nullptr};
    return UndoCheckedChange(context, safetyBackup);
}

// How the check ended, for the exit code and the log.
CheckRunEnd EndOf(const NetworkCheck& check, const WriteRunOutcome* undo) {
    CheckRunEnd end;
    switch (check.State()) {
    case CheckState::Answered: end.outcome = "check answered"; break;
    case CheckState::Kept: end.outcome = "check kept"; break;
    case CheckState::CouldNotCheck:
        end.exitCode = kExitCheckNotDone;
        end.outcome = "could not check";
        break;
    case CheckState::Undone:
        end.exitCode = kExitCheckUndone;
        end.outcome = "check undone";
        break;
    default:
        end.exitCode = undo ? FromWrite(*undo, kExitBackupFile).exitCode : kExitBackupFile;
        if (end.exitCode == kExitDone) end.exitCode = kExitBackupFile;  // the change stayed though it should not
        end.outcome = "check not undone";
        break;
    }
    end.outcome += ", " + check.Summary();
    return end;
}

void NetworkCheckWindow::Undo() {
    undo_ = UndoThroughSafetyBackup(registry_, check_.Check().safetyBackup);
    Apply(check_.UndoFinished(*undo_));
}

// The window's steps without the window.
CheckRunEnd RunQuietly(Registry& registry, PendingCheck pending) {
    NetworkCheck check(std::move(pending));
    const DWORD start = GetTickCount();
    std::optional<WriteRunOutcome> undo;
    CheckStep step = check.Start();
    for (;;) {
        if (step.clearPending) ClearPendingCheck(registry);
        switch (step.what) {
        case CheckStep::Do::EchoAfter: {
            Sleep(step.afterMs);
            const std::uint32_t started = MsSince(start);
            const CheckedEcho echo = CheckedEchoTo(check.Check().host);
            step = AfterEcho(check, echo, started, MsSince(start));
            break;
        }
        case CheckStep::Do::TickAfter: step = check.UndoNow(); break;
        case CheckStep::Do::Undo:
            undo = UndoThroughSafetyBackup(registry, check.Check().safetyBackup);
            step = check.UndoFinished(*undo);
            break;
        default: return EndOf(check, undo ? &*undo : nullptr);  // the check is over
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
    case kEchoDone: {
        const std::unique_ptr<CheckedEcho> echo(reinterpret_cast<CheckedEcho*>(lp));
        if (!failed_) EchoDone(*echo);
        return 0;
    }
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

CheckRunEnd RunPendingCheckStart(HINSTANCE instance, Registry& registry, bool quiet) {
    std::optional<PendingCheck> check = ReadPendingCheck(registry);
    if (!check) return CheckRunEnd{kExitDone, "no check pending"};
    if (quiet) return RunQuietly(registry, std::move(*check));
    NetworkCheckWindow window(registry, std::move(*check));
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_NetworkCheck), nullptr, WindowBase::DialogProc,
                    WindowBase::CreationParam(&window));
    return window.End();
}

}  // namespace zv
