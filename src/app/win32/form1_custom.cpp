// Form1's Custom Optimization page: TabStrip1 and the frmCustom frames, the 35 editors, Apply and its
// progress run on Timer2, Help.
#include "app/win32/form1.h"

#include <commctrl.h>

#include "app/safe_changes.h"
#include "app/win32/resource.h"
#include "app/win32/write_runs.h"
#include "optimize/custom_current.h"

namespace zv {

// Made once, when the page is first shown: the first page does not need its 35 editors, and under Wine
// every drop-down list is a window of the X server, which made them most of the start-up time.
void Form1::CreateCustomPage() {
    if (customPageMade_) return;
    customPageMade_ = true;
    HWND page = Frame1(kPageCustom);
    HWND tabStrip = GetDlgItem(page, IDC_TabStrip1);
    if (!tabStrip) return;
    for (int i = 0; i < kCustomTabs; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kCustomTabCaptions[static_cast<std::size_t>(i)]);
        SendMessageA(tabStrip, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }

    // The frames lie on top of each other in the tab strip's display area, above the strip so that
    // it does not paint over them; being above it also puts their editors first in tab order.
    RECT area{};
    GetClientRect(tabStrip, &area);
    SendMessageA(tabStrip, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabStrip, page, reinterpret_cast<POINT*>(&area), 2);
    for (int i = 0; i < kCustomTabs; ++i) {
        HWND frame = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_frmCustom_0 + i), page, WindowBase::DialogProc,
                                        CreationParam(this));
        if (!frame) return;
        SetWindowLongPtrA(frame, GWLP_ID, IDC_frmCustom_0 + i);
        RECT r{};
        GetWindowRect(frame, &r);
        const int x = area.left + ((area.right - area.left) - (r.right - r.left)) / 2;
        const int y = area.top + ((area.bottom - area.top) - (r.bottom - r.top)) / 2;
        SetWindowPos(frame, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        frmCustom_[static_cast<std::size_t>(i)] = frame;
    }

    // Every editor offers its fixed list and starts with nothing selected.
    for (const CustomEditor& editor : CustomEditors()) {
        HWND combo = Control(IDC_Combo1 + editor.combo - 1);
        if (!combo) return;
        for (const std::string& item : ListData(editor.list).items) {
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }

    // "Now: ..." in each editor's tooltip. TTF_SUBCLASS lets the tooltip see the mouse over the editor.
    editorTips_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    for (int n = 1; n <= kCustomEditorCount; ++n) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the size the first common controls know
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(Control(IDC_Combo1 + n - 1));
        tool.lpszText = const_cast<char*>("");
        SendMessageA(editorTips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    RefreshEditorTips();

    // Only the General frame is shown at first, as the first tab is selected: the frames beneath it
    // stay hidden so that the keyboard cannot reach their editors.
    ShowCustomTab(0);
}

void Form1::RefreshEditorTips() {
    if (!editorTips_) return;
    const WizardChoice wizard = ReadWizardChoice();
    const auto texts = CurrentEditorTexts(*services_.registry, FamilyOf(*os_),
                                          AdapterChoice{wizard.adapterText, wizard.adapterIndex}, adapters_);
    for (int n = 1; n <= kCustomEditorCount; ++n) {
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(Control(IDC_Combo1 + n - 1));
        tool.lpszText = const_cast<char*>(texts[static_cast<std::size_t>(n - 1)].c_str());
        SendMessageA(editorTips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Form1::ShowCustomTab(int index) {
    const auto visible = CustomFrameVisibility(index);
    for (int i = 0; i < kCustomTabs; ++i) {
        HWND frame = frmCustom_[static_cast<std::size_t>(i)];
        const bool show = visible[static_cast<std::size_t>(i)];
        if ((IsWindowVisible(frame) != FALSE) != show) ShowWindow(frame, show ? SW_SHOWNA : SW_HIDE);
    }
}

void Form1::TabStrip1_Click() {
    HWND tabStrip = Control(IDC_TabStrip1);
    // The strip numbers its tabs from 0; the frame of tab n (from 1) is n - 1.
    const int selected = static_cast<int>(SendMessageA(tabStrip, TCM_GETCURSEL, 0, 0));
    // Some tab controls (Wine's) leave a tab chosen by mouse marked as pressed when the arrow keys then
    // choose another, and take the next click for a deselection: only the selected tab stays marked.
    for (int i = 0; i < kCustomTabs; ++i) {
        if (i == selected) continue;
        TCITEMA item{};
        item.mask = TCIF_STATE;
        item.dwStateMask = TCIS_BUTTONPRESSED;
        item.dwState = 0;
        SendMessageA(tabStrip, TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    ShowCustomTab(CustomFrameOfTab(selected + 1));
}

bool Form1::CustomPage_CtrlTab(bool backwards) {
    if (nav_.VisiblePage() != kPageCustom) return false;
    HWND tabStrip = Control(IDC_TabStrip1);
    const int current = static_cast<int>(SendMessageA(tabStrip, TCM_GETCURSEL, 0, 0));
    const int next = AdjacentCustomTab(current, backwards);
    // Selecting by message sends no notification: show the frame here.
    SendMessageA(tabStrip, TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
    TabStrip1_Click();
    // Focus in the frame just hidden moves to the first editor of the one now shown.
    HWND focus = GetFocus();
    if (!focus || !IsWindowVisible(focus)) {
        if (HWND first = GetNextDlgTabItem(frmCustom(next), nullptr, FALSE)) SetFocus(first);
    }
    return true;
}

CustomSelections Form1::ReadCustomSelections() {
    CustomSelections selections = NoSelections();
    for (int n = 1; n <= kCustomEditorCount; ++n) {
        // An editor not made yet has nothing selected.
        HWND combo = Control(IDC_Combo1 + n - 1);
        const LRESULT index = combo ? SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
        selections[static_cast<std::size_t>(n - 1)] = index == CB_ERR ? -1 : static_cast<int>(index);
    }
    return selections;
}

void Form1::Command4_Click() {
    // One progress run at a time on the status-bar display: an Apply during a run (mnuApply stays
    // available while Command4 is disabled) is ignored, and so is one during Optimize's run.
    if (applyProgress_.Running() || optimizeProgress_.Running()) return;
    os_ = std::make_unique<COpSysInfo>(services_.versionQuery);
    HWND command4 = Control(IDC_Command4);
    EnableWindow(command4, FALSE);

    const WindowsFamily family = FamilyOf(*os_);
    const WizardChoice wizard = ReadWizardChoice();
    const WriteRun run =
        ApplyRun(family, ReadCustomSelections(), AdapterChoice{wizard.adapterText, wizard.adapterIndex}, adapters_);
    // The Windows 95 routine shows the hourglass while it writes; the others leave the pointer alone.
    // (The review window has its own pointer.)
    const bool hourglass = CustomRoutineFor(family) == CustomRoutine::Win95;
    if (hourglass) SetBusy(true);
    const WriteRunOutcome outcome = RunFromWindow(services_, hwnd_, family, run);
    if (hourglass) SetBusy(false);
    if (!EndWriteRun(outcome, command4)) return;

    SendMessageA(progressBar_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ProgressInStatusBar(true);
    applyProgress_.Start(outcome.failedChanges);
    SetTimer(hwnd_, IDT_Timer2, 100, nullptr);
}

void Form1::Timer2_Timer() {
    if (!applyProgress_.Running()) {
        // A tick already queued when the run ended.
        KillTimer(hwnd_, IDT_Timer2);
        return;
    }
    const ApplyProgressRun::Tick tick = applyProgress_.OnTick();
    SetBusy(true);
    EnableWindow(toolbar_, FALSE);
    if (tick.finished) {
        KillTimer(hwnd_, IDT_Timer2);
        ProgressInStatusBar(false);
        HWND command4 = Control(IDC_Command4);
        EnableWindow(command4, TRUE);
        panels_.DropProgressPanels();
        ApplyStatusPanels();
        SetBusy(false);
        EnableWindow(toolbar_, TRUE);
        // Disabling Command4 took the focus away from it.
        if (!GetFocus() && GetActiveWindow() == hwnd_ && IsWindowVisible(command4)) SetFocus(command4);
    }
    SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(tick.barValue), 0);
    if (tick.finished && services_.messageBox) {
        const std::string message = EndOfApplyRunMessage(applyProgress_.FailedChanges());
        if (!message.empty()) services_.messageBox(hwnd_, message, "Zarvelo", MB_OK | MB_ICONEXCLAMATION);
    }
}

void Form1::Command5_Click() { ShowHelp(hwnd_, HelpRequest{HelpView::Topic, kCustomTopic}); }

}  // namespace zv
