// frmMenu: the hidden form ("Form1", never shown) that carries the tray's pop-up menu mnuOptions.
#pragma once

#include <windows.h>

#include <functional>

namespace zv {

// Positions in mnuOptions, the control array mnuOpts.
inline constexpr int kMnuPing = 0;
inline constexpr int kMnuStopPing = 1;
inline constexpr int kMnuInterval = 2;
inline constexpr int kMnuRestore = 4;
inline constexpr int kMnuHelp = 5;
inline constexpr int kMnuClose = 7;

class FrmMenu {
public:
    struct Handlers {
        std::function<void(int)> mnuOpts;      // mnuOpts(index) clicked
        std::function<void(int)> mnuInterval;  // mnuInterval(index) clicked
    };

    FrmMenu(HINSTANCE instance, Handlers handlers);
    FrmMenu(const FrmMenu&) = delete;
    FrmMenu& operator=(const FrmMenu&) = delete;
    ~FrmMenu();

    // Creates the form, hidden, with its menu bar. Null when it could not be made.
    HWND Load();
    // Closes the form and releases it; the menu goes with it.
    void Unload();
    HWND hwnd() const { return hwnd_; }
    // mnuOptions, the menu bar's first submenu; null once unloaded.
    HMENU Options() const;

    // "&Ping" and "P&ing Interval"; "&Stop Ping" stays enabled.
    void SetPingItemsEnabled(bool enabled);
    bool ItemEnabled(int position) const;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void OnCommand(int id);

    HINSTANCE instance_;
    Handlers handlers_;
    HWND hwnd_ = nullptr;
};

}  // namespace zv
