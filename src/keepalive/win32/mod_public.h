// The replacement window procedure through which the tray's notifications reach frmGetIp, and the
// tray's pop-up menu. The procedure is the window base's: its handlers, the menu's modal loop among
// them, run as dispatches of the window's object.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace zv {

class TrayHook {
public:
    struct Handlers {
        std::function<void()> restore;       // the icon was double-clicked
        std::function<void()> showMenu;      // the right button went down on the icon
        std::function<void()> addIconAgain;  // the taskbar was created anew (Explorer restarted)
    };

    explicit TrayHook(Handlers handlers);
    TrayHook(const TrayHook&) = delete;
    TrayHook& operator=(const TrayHook&) = delete;
    ~TrayHook();

    // Installs the tray's handling over the procedure of the window, which must be a WindowBase's.
    void HookWindow(HWND hwnd);
    // Puts the previous procedure back.
    void UnhookWindow();
    bool Hooked() const { return hwnd_ != nullptr; }
    WNDPROC PreviousProc() const { return previous_; }

private:
    std::optional<LRESULT> TrayWindowProc(UINT msg, LPARAM lp);

    Handlers handlers_;
    HWND hwnd_ = nullptr;
    WNDPROC previous_ = nullptr;
    UINT taskbarCreated_ = 0;
};

// Shows the "Options" menu of the menu form at the bottom-right corner of the taskbar, "&Ping" as
// its default item; the chosen command reaches the menu form. Nothing when there is no taskbar.
void ShowTrayMenu(HWND frmMenu);

}  // namespace zv
