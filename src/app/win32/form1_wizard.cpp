// Form1's automatic optimization wizard: page flow, Optimize, the progress run and the restart notice.
#include "app/win32/form1.h"

#include <commctrl.h>

#include "app/safe_changes.h"
#include "app/startup.h"
#include "app/win32/resource.h"
#include "app/win32/write_runs.h"

namespace zv {

WizardChoice Form1::ReadWizardChoice() {
    WizardChoice c;
    auto selected = [this](int id, int* index, std::string* text) {
        HWND combo = Control(id);
        *index = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
        text->clear();
        if (*index < 0) return;
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(*index), 0);
        if (length == CB_ERR) return;
        std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(static_cast<std::size_t>(length));
        *text = buffer;
    };
    selected(IDC_cmbAdapter, &c.adapterIndex, &c.adapterText);
    selected(IDC_cmbConnection, &c.connectionIndex, &c.connectionText);
    HWND page2 = Frame1(kPageConfiguration);
    const int options[4] = {IDC_Option8, IDC_Option9, IDC_Option10, IDC_Option11};
    for (std::size_t i = 0; i < 4; ++i) c.options[i] = IsDlgButtonChecked(page2, options[i]) == BST_CHECKED;
    return c;
}

void Form1::Command7_Click() {
    nav_.NextFromAdapterPage(ReadWizardChoice());
    Refresh();
    FocusVisiblePage();
}

// "< &Back" on the first page has nowhere to go; it is shown disabled.
void Form1::Command8_Click() {}

void Form1::Command10_Click() {
    nav_.NextFromConfigurationPage(ReadWizardChoice());
    Refresh();
    FocusVisiblePage();
}

void Form1::Command11_Click() {
    nav_.BackFromConfigurationPage();
    Refresh();
    FocusVisiblePage();
}

void Form1::Command12_Click() {
    nav_.BackFromSummaryPage(ReadWizardChoice().connectionIndex);
    Refresh();
    FocusVisiblePage();
}

void Form1::Command3_Click() { ShowHelp(hwnd_, HelpRequest{HelpView::Topic, kAutomaticTopic}); }
void Form1::Command9_Click() { ShowHelp(hwnd_, HelpRequest{HelpView::Topic, kAutomaticTopic}); }
void Form1::Command14_Click() { ShowHelp(hwnd_, HelpRequest{HelpView::Topic, kAutomaticTopic}); }

void Form1::Command13_Click() {
    if (services_.restartComputer) services_.restartComputer();
}

void Form1::Command1_Click() {
    // One run at a time: mnuOptimize stays enabled while Command1 is disabled, and a second run
    // would write again and leave an extra status-bar panel behind.
    // Apply's run uses the same status-bar display.
    if (optimizeProgress_.Running() || applyProgress_.Running()) return;
    os_ = std::make_unique<COpSysInfo>(services_.versionQuery);
    // Disabled while the review is open, so that Enter on the page cannot start a second run.
    HWND command1 = Control(IDC_Command1);
    EnableWindow(command1, FALSE);
    const WriteRunOutcome outcome =
        RunFromWindow(services_, hwnd_, FamilyOf(*os_), OptimizeRun(*os_, ReadWizardChoice(), adapters_));
    if (!EndWriteRun(outcome, command1)) return;
    SendMessageA(progressBar_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ProgressInStatusBar(true);
    optimizeProgress_.Start(outcome.failedChanges);
    SetTimer(hwnd_, IDT_Timer1, 100, nullptr);
}

void Form1::Timer1_Timer() {
    if (!optimizeProgress_.Running()) {
        // A tick already queued when the run ended.
        KillTimer(hwnd_, IDT_Timer1);
        return;
    }
    const OptimizeProgressRun::Tick tick = optimizeProgress_.OnTick();
    SetBusy(true);
    EnableWindow(toolbar_, FALSE);
    RunEndNotice notice;
    if (tick.finished) {
        KillTimer(hwnd_, IDT_Timer1);
        ProgressInStatusBar(false);
        HWND command1 = Control(IDC_Command1);
        EnableWindow(command1, TRUE);
        panels_.DropProgressPanels();
        ApplyStatusPanels();
        SetBusy(false);
        EnableWindow(toolbar_, TRUE);
        notice = EndOfOptimizeRun(optimizeProgress_.FailedChanges());
        // The notice speaks for this run alone: one that was refused takes back an earlier "Restart".
        nav_.SetRestartNotice(notice.restartNotice);
        if (notice.restartNotice) OfferNetworkCheck();
        Refresh();
        // Disabling Command1 took the focus away from it.
        if (!GetFocus() && GetActiveWindow() == hwnd_ && IsWindowVisible(command1)) SetFocus(command1);
    }
    SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(tick.barValue), 0);
    if (tick.finished && !notice.restartNotice && services_.messageBox) {
        services_.messageBox(hwnd_, notice.message, "Zarvelo", MB_OK | MB_ICONEXCLAMATION);
    }
}

void Form1::ProgressInStatusBar(bool show) {
    RECT bar{};
    GetClientRect(statusBar_, &bar);
    panels_.AddProgressPanel(TwipsFromPixels(bar.right, dpiX_));
    ApplyStatusPanels();
    // Over the added panel, the second.
    if (show) {
        statusProgress_.Show(1);
    } else {
        statusProgress_.Hide();
    }
}

}  // namespace zv
