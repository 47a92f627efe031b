// The status-bar progress display of Form1 and the Backup and Restore windows.
#include "app/win32/status_bar_progress.h"

#include <commctrl.h>

namespace zv {

void StatusBarProgress::Attach(HWND home, HWND statusBar, HWND bar) {
    home_ = home;
    statusBar_ = statusBar;
    bar_ = bar;
}

void StatusBarProgress::Show(int panel) {
    if (!bar_ || !statusBar_) return;
    RECT r{};
    SendMessageA(statusBar_, SB_GETRECT, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(&r));
    SetParent(bar_, statusBar_);
    MoveWindow(bar_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    ShowWindow(bar_, SW_SHOWNA);
    SetPos(0);
}

void StatusBarProgress::Hide() {
    if (!bar_) return;
    SetParent(bar_, home_);
    ShowWindow(bar_, SW_HIDE);
    SetPos(0);
}

void StatusBarProgress::SetPos(int value) {
    if (bar_) SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

}  // namespace zv
