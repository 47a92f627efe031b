// TrayWindowProc, HookWindow, UnhookWindow and ShowTrayMenu.
#include "keepalive/win32/mod_public.h"

#include "keepalive/tray.h"
#include "platform/win32/window_base.h"

namespace zv {

TrayHook::TrayHook(Handlers handlers) : handlers_(std::move(handlers)) {}

TrayHook::~TrayHook() { UnhookWindow(); }

void TrayHook::HookWindow(HWND hwnd) {
    WindowBase* base = WindowBase::FromWindow(hwnd);
    if (hwnd_ || !base) return;
    // Explorer tells every top-level window when it has built a new taskbar.
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    if (!base->HookOwnWindow([this](UINT msg, WPARAM, LPARAM lp) { return TrayWindowProc(msg, lp); })) return;
    hwnd_ = hwnd;
    previous_ = base->OwnPreviousProc();
}

void TrayHook::UnhookWindow() {
    if (!hwnd_) return;
    // Gone with its window, the object is no longer found.
    if (WindowBase* base = WindowBase::FromWindow(hwnd_)) base->UnhookOwnWindow();
    hwnd_ = nullptr;
    previous_ = nullptr;
}

std::optional<LRESULT> TrayHook::TrayWindowProc(UINT msg, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        // The window goes while still hooked: the base drops the procedure with it.
        hwnd_ = nullptr;
        previous_ = nullptr;
        return std::nullopt;
    }
    switch (TrayMessageAction(msg, lp, taskbarCreated_)) {
    case TrayAction::Restore:
        if (handlers_.restore) handlers_.restore();
        return 0;
    case TrayAction::ShowMenu:
        if (handlers_.showMenu) handlers_.showMenu();
        return 0;
    case TrayAction::AddIconAgain:
        if (handlers_.addIconAgain) handlers_.addIconAgain();
        break;
    case TrayAction::PassOn:
        break;
    }
    return std::nullopt;
}

void ShowTrayMenu(HWND frmMenu) {
    HMENU options = GetSubMenu(GetMenu(frmMenu), 0);
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar || !options) return;
    RECT r{};
    if (!GetWindowRect(taskbar, &r)) return;
    SetMenuDefaultItem(options, 0, TRUE);
    // Without the foreground the menu would not close when the user clicks elsewhere; the empty
    // message afterwards lets a second right click open it again at once.
    SetForegroundWindow(frmMenu);
    TrackPopupMenu(options, TPM_RIGHTALIGN, r.right, r.bottom, 0, frmMenu, nullptr);
    PostMessageA(frmMenu, WM_NULL, 0, 0);
}

}  // namespace zv
