// TrayWindowProc, HookWindow, UnhookWindow and ShowTrayMenu.
#include "keepalive/win32/mod_public.h"

#include <exception>

#include "keepalive/tray.h"
#include "platform/win32/window_base.h"

namespace zv {

namespace {
// The hook that serves a window, found from inside the replacement procedure.
constexpr char kHookProperty[] = "PulsivaTrayHook";
}  // namespace

TrayHook::TrayHook(Handlers handlers) : handlers_(std::move(handlers)) {}

TrayHook::~TrayHook() { UnhookWindow(); }

void TrayHook::HookWindow(HWND hwnd) {
    if (hwnd_ || !hwnd) return;
    hwnd_ = hwnd;
    // Explorer tells every top-level window when it has built a new taskbar.
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    SetPropA(hwnd, kHookProperty, this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayHook::TrayWindowProc)));
}

void TrayHook::UnhookWindow() {
    if (!hwnd_) return;
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropA(hwnd_, kHookProperty);
    }
    hwnd_ = nullptr;
}

LRESULT CALLBACK TrayHook::TrayWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<TrayHook*>(GetPropA(hwnd, kHookProperty));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    return self->Handle(hwnd, msg, wp, lp);
}

LRESULT TrayHook::Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Copied first: the previous procedure may unhook (shut-down runs inside it).
    const WNDPROC previous = previous_;
    if (hwnd == hwnd_) {
        try {
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
        } catch (const std::exception& e) {
            // Nothing may leave a window procedure; the message goes on as if untouched.
            ReportWindowFailure(hwnd, "Pulsiva", e.what());
        } catch (...) {
            ReportWindowFailure(hwnd, "Pulsiva", "unknown exception");
        }
    }
    if (msg == WM_NCDESTROY) {
        // The window goes while still hooked: it takes the previous procedure with it.
        LRESULT result = CallWindowProcA(previous, hwnd, msg, wp, lp);
        RemovePropA(hwnd, kHookProperty);
        if (hwnd == hwnd_) hwnd_ = nullptr;
        return result;
    }
    return CallWindowProcA(previous, hwnd, msg, wp, lp);
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
