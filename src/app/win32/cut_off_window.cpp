// The cut-off run's question, and carrying out the answer as a write run from a window.
#include "app/win32/cut_off_window.h"

#include "app/win32/resource.h"
#include "app/win32/write_runs.h"
#include "platform/win32/window_base.h"

namespace zv {
namespace {

class CutOffWindow : public WindowBase {
public:
    explicit CutOffWindow(RecordedRun run) : run_(std::move(run)) {}

private:
    Result OnMessage(HWND, UINT msg, WPARAM wp, LPARAM) override {
        switch (msg) {
        case WM_INITDIALOG:
            SendDlgItemMessageA(hwnd_, IDC_CutOff_Icon, STM_SETICON,
                                reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_EXCLAMATION)), 0);
            SetDlgItemTextA(hwnd_, IDC_CutOff_Text, CutOffText(run_).c_str());
            return TRUE;  // the focus goes to the default button
        case WM_COMMAND:
            switch (LOWORD(wp)) {
            case IDC_CutOff_PutBack: EndDialog(hwnd_, IDC_CutOff_PutBack); return TRUE;
            // Keeping loses nothing: Undo Last Change still puts the values back.
            case IDC_CutOff_Keep:
            case IDCANCEL: EndDialog(hwnd_, IDC_CutOff_Keep); return TRUE;
            default: return std::nullopt;
            }
        default: return std::nullopt;
        }
    }
    void RestoreAfterFailure() override {}

    RecordedRun run_;
};

}  // namespace

bool OnlyZarveloRunning() {
    // Held until the process ends, also when it is ended from outside.
    static const bool only = [] {
        const HANDLE running = CreateMutexA(nullptr, FALSE, "Quonibar.Zarvelo.Running");
        return running && GetLastError() != ERROR_ALREADY_EXISTS;
    }();
    return only;
}

void AskAboutCutOffRun(HINSTANCE instance, const Form1Services& services, HWND owner) {
    if (!OnlyZarveloRunning()) return;
    while (const auto run = ReadRecordedRun(*services.registry)) {
        CutOffWindow window(*run);
        const INT_PTR choice = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CutOffRun), owner,
                                               WindowBase::DialogProc, WindowBase::CreationParam(&window));
        if (choice == -1) return;  // no window, no answer: the record stays for the next start
        if (choice != IDC_CutOff_PutBack) {
            KeepCutOffRunFromWindow(services);
            return;
        }
        const WriteRunOutcome out = PutBackFromWindow(services, owner);
        if (out.status == WriteRunStatus::Cancelled) continue;
        const bool written = out.Written();
        const std::string text = written ? PutBackMessage(out.failedChanges) : out.message;
        const UINT icon = written ? (out.failedChanges ? MB_ICONEXCLAMATION : MB_ICONINFORMATION) : OutcomeIcon(out);
        if (!text.empty()) services.messageBox(owner, text, "Zarvelo", MB_OK | icon);
        // Not written and still recorded (no safety backup, not an administrator): asked again next time.
        if (!written && ReadRecordedRun(*services.registry)) return;
    }
}

}  // namespace zv
