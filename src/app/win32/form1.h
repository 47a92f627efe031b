// Form1, zarvelo's main window: menu, Toolbar1, StatusBar1 and the page host Frame1, with the
// automatic optimization wizard on pages 0, 2 and 3.
//
// How the window is built, for those who add to it:
// - Every member of Frame1 is a child dialog made from the template IDD_Frame1_<index> in
//   zarvelo.rc; its controls carry the ids of resource.h. A page's controls are Form1's controls:
//   their WM_COMMAND and WM_NOTIFY reach Form1::OnCommand / OnNotify, which call the handler named
//   after control and event (Command7_Click, Combo3_Click ...). To fill page 1 or 6, put the
//   controls into its template, the handlers into a form1_<page>.cpp, their dispatch into OnCommand
//   or OnNotify, their start-up into Form_Load, and the page's default button into DefaultButton.
// - Windows opened from the menu: a modal one is a DialogBoxParam owned by Window(); one without
//   modality is registered with Services().windows (TopWindows) so that keyboard navigation works
//   in it, mnuExit closes it, and the program ends only after it is closed too.
// - Form1, its pages and every other window stand on WindowBase (platform/win32/window_base.h): a
//   handler may open boxes and modal windows without the form going away under it, and an
//   exception it throws is reported. A handler that disables controls or starts a run must let
//   RestoreAfterFailure undo that.
// - Decisions live in portable classes (Navigation, StatusPanels, OptimizeProgressRun, the hover
//   rule, StartUpPosition); the handlers here apply their results to the controls.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/custom_page.h"
#include "app/help.h"
#include "app/launcher.h"
#include "app/navigation.h"
#include "app/progress.h"
#include "app/status_panels.h"
#include "app/win32/status_bar_progress.h"
#include "app/win32/toolbar_pictures.h"
#include "optimize/custom.h"
#include "platform/opsysinfo.h"
#include "platform/registry.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_base.h"
#include "tuning/adapters.h"
#include "writerun/write_run.h"

namespace zv {

class TopWindows;

// What Form1 takes from outside: the program passes the real things, tests their own.
struct Form1Services {
    Registry* registry = nullptr;
    VersionQuery versionQuery;
    std::string programDir;
    std::function<void()> restartComputer;
    std::function<void(HWND owner, const std::string& helpFile, const HelpRequest& request)> showHelp;
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)> messageBox;
    TopWindows* windows = nullptr;  // may be null
    // Starts the launcher's programs, pulsiva.exe and the about window's links; may be null.
    std::shared_ptr<ProcessStarter> starter;
    // Shows the Review Changes window over `owner`; false when the user cancels. Null: write runs
    // are not reviewed.
    std::function<bool(HWND owner, const ChangeSet& changes, const WriteRun& run)> review;
    // Where safety backups go; null: the backup folder under programDir, on disk.
    SafetyFolder* safetyFolder = nullptr;
};

// The real services: RestartComputer, HtmlHelpA, MessageBoxA, CreateProcessA and ShellExecuteA, the
// Review Changes window, and this program's directory.
Form1Services SystemServices(Registry& registry, TopWindows* windows);

// Common controls for the main window and its pages (InitCommonControlsEx where it exists).
void InitZarveloControls();

class Form1 : public WindowBase {
public:
    static bool RegisterWindowClass(HINSTANCE instance);
    // Creates the window, runs Form_Load and shows it. The window owns the object.
    static HWND Create(HINSTANCE instance, Form1Services services, int showCommand);
    static Form1* FromWindow(HWND hwnd);

    // A member of Frame1; the pages are made when first needed.
    HWND Frame1(int index);
    // A tab frame of the Custom Optimization page, 0 to 3.
    HWND frmCustom(int index) const;
    // A control of any page, or of the form itself, by id (making the pages not made yet).
    HWND Control(int id);
    HWND Toolbar1() const { return toolbar_; }
    HWND StatusBar1() const { return statusBar_; }
    HWND ProgressBar1() const { return progressBar_; }

    const Form1Services& Services() const { return services_; }
    const Navigation& State() const { return nav_; }
    const StatusPanels& Panels() const { return panels_; }
    const OptimizeProgressRun& OptimizeProgress() const { return optimizeProgress_; }
    const ApplyProgressRun& ApplyProgress() const { return applyProgress_; }
    const COpSysInfo& OpSysInfo() const { return *os_; }

    // Makes one member of Frame1 visible and the others invisible.
    void ShowPage(int page);
    // Puts ProgressBar1 over a new panel of the status bar, or takes it out again.
    void ProgressInStatusBar(bool show);
    // Makes one frmCustom frame visible and the others invisible; outside 0 to 3 hides all four.
    void ShowCustomTab(int index);

private:
    Form1(HINSTANCE instance, Form1Services services);
    // The form's own messages (Proc), its pages' (child dialogs whose controls are Form1's) and
    // Toolbar1's, which is subclassed for its hover texts.
    Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    Result Proc(UINT msg, WPARAM wp, LPARAM lp);
    Result PageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
    // After a failed handler: no run, no hourglass, the toolbar and the run buttons enabled.
    void RestoreAfterFailure() override;
    void ShowFailure(const std::string& text) override;

    // Start-up and shut-down.
    bool CreateControls();
    // Makes a member of Frame1 as it starts, once.
    HWND MakePage(int index);
    // A control of the pages made so far, or of the form itself.
    HWND MadeControl(int id) const;
    void Form_Load(int showCommand);
    void Form_Unload();
    void FirstRunPrompt();

    // Events of the form's parts.
    bool OnCommand(int id, int code);
    LRESULT OnNotify(NMHDR* header);
    void Form_MouseMove();
    void Frame1_MouseMove(int index);
    void Toolbar1_MouseMove(int x, int y);
    void Toolbar1_ButtonClick(int button);

    // Menu.
    void mnuApply_Click();
    void mnuOptimize_Click();
    void mnuLaunch_Click();
    void mnuBackup_Click();
    void mnuRestore_Click();
    void mnuExit_Click();
    void mnuUndo_Click();
    void mnuReview_Click();
    void mnuAuto_Click();
    void mnuManual_Click();
    void mnuLauncher_Click();
    void mnuPulsiva_Click();
    void mnuIndex_Click();
    void mnuContents_Click();
    void mnuAbout_Click();

    // The wizard (form1_wizard.cpp).
    void Command1_Click();
    void Command3_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    void Timer1_Timer();
    WizardChoice ReadWizardChoice();
    // The restart notice's offer of the network check after the restart (form1_check.cpp).
    void OfferNetworkCheck();
    void chkCheckNetwork_Click();
    void txtCheckHost_Change();
    // Stores the pending check while the offer stands checked with a host, else forgets it.
    void StoreNetworkCheck();

    // The Custom Optimization page (form1_custom.cpp). Its tabs, frames and editors are made when the
    // page is first shown, not at start-up; until then frmCustom() and their controls are null.
    void CreateCustomPage();
    void Command4_Click();
    void Command5_Click();
    void Timer2_Timer();
    void TabStrip1_Click();
    // Ctrl+Tab and Ctrl+Shift+Tab on the custom page; false elsewhere.
    bool CustomPage_CtrlTab(bool backwards);
    CustomSelections ReadCustomSelections();
    // The System Settings Launcher page (form1_launcher.cpp).
    void Command2_Click();
    void Command6_Click();
    LaunchOption ReadLaunchOption();
    // Shows what could not be started, in a message box owned by the window.
    void ReportLaunch(HWND owner, const LaunchOutcome& outcome);

    // A write run's outcome: tells why nothing was written; true when it was.
    bool TellOutcome(const WriteRunOutcome& outcome);
    // After Optimize's or Apply's write run, started by `button` (disabled meanwhile): menus and tips
    // brought up to date, or the user told why nothing was written and the button given back. True
    // when the run was written and its progress display may start.
    bool EndWriteRun(const WriteRunOutcome& outcome, HWND button);
    // The editors' "Now: ..." tips, from the registry and the adapter chosen on the wizard page.
    void RefreshEditorTips();

    // Mirrors of the portable state into the controls.
    void Refresh();
    void RefreshSummary();
    void ApplyFileMenu();
    // Undo greyed when there is nothing to undo; Review Changes checked while it is on.
    void ApplyRunMenus();
    void ApplyStatusPanels();
    void SetPanelText(int number, const std::string& text);
    void SetBusy(bool busy);
    void FocusVisiblePage();
    int DefaultButton();
    // The "&Help" button of the page in view, which F1 presses; 0 on a page without one.
    int HelpButton() const;
    void ShowHelp(HWND owner, const HelpRequest& request);
    // The Backup window; without modality from the first-run prompt.
    void ShowBackupWindow(bool modal);

    HINSTANCE instance_;
    Form1Services services_;
    HWND toolbar_ = nullptr;
    HWND statusBar_ = nullptr;
    HWND progressBar_ = nullptr;
    StatusBarProgress statusProgress_;
    std::array<HWND, kFrame1Members> frame1_{};
    int pageTop_ = 0;
    std::array<HWND, kCustomTabs> frmCustom_{};
    ImageList imageList1_;
    HACCEL keys_ = nullptr;  // loaded from the resources: freed with the program, never destroyed
    HWND editorTips_ = nullptr;  // the tooltip of the custom editors, made with them
    UniqueFont boldFont_;
    int dpiX_ = 96;
    int dpiY_ = 96;

    std::unique_ptr<COpSysInfo> os_;
    DiscoveredAdapters adapters_;
    std::string helpFile_;
    bool firstRun_ = false;
    Navigation nav_;
    StatusPanels panels_;
    OptimizeProgressRun optimizeProgress_;
    ApplyProgressRun applyProgress_;
    std::array<std::string, 3> fileMenuCaptions_;  // mnuApply, mnuOptimize, mnuLaunch
    bool busy_ = false;
    bool customPageMade_ = false;
    bool unloaded_ = false;
    bool networkCheckOffered_ = false;  // the last run can be undone: the notice offers the check
};

}  // namespace zv
