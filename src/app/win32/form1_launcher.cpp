// Form1's System Settings Launcher page: Launch (Command2, mnuLaunch), its help, and launch failures.
#include "app/win32/form1.h"

#include "app/win32/resource.h"

namespace zv {

LaunchOption Form1::ReadLaunchOption() {
    // The option buttons in kLaunchOptions order.
    constexpr int kOptions[6] = {IDC_Option1, IDC_Option3, IDC_Option4, IDC_Option5, IDC_Option6, IDC_Option7};
    HWND page = Frame1(kPageLauncher);
    bool checked[6] = {};
    for (std::size_t i = 0; i < 6; ++i) checked[i] = IsDlgButtonChecked(page, kOptions[i]) == BST_CHECKED;
    return SelectedLaunchOption(checked);
}

void Form1::Command2_Click() {
    // Every launch asks the system afresh which Windows it is.
    os_ = std::make_unique<COpSysInfo>(services_.versionQuery);
    if (!services_.starter) return;
    ReportLaunch(hwnd_, Launch(ReadLaunchOption(), *os_, *services_.starter, hwnd_));
}

void Form1::Command6_Click() { ShowHelp(hwnd_, HelpRequest{HelpView::Topic, kLauncherTopic}); }

void Form1::ReportLaunch(HWND owner, const LaunchOutcome& outcome) {
    if (outcome.message.empty() || !services_.messageBox) return;
    services_.messageBox(owner, outcome.message, std::string(kLauncherMessageTitle), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace zv
