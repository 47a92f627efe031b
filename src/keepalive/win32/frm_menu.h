// frmMenu: the hidden form ("Form1", never shown) that carries the tray's pop-up menu mnuOptions.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/window_base.h"

namespace zv {

// Positions in mnuOptions, the control array mnuOpts.
inline constexpr int kMnuPing = 0;
inline constexpr int kMnuStopPing = 1;
inline constexpr int kMnuInterval = 2;
inline constexpr int kMnuRestore = 4;
inline constexpr int kMnuHelp = 5;
inline constexpr int kMnuOutageLog = 6;
inline constexpr int kMnuSaveActivity = 7;
inline constexpr int kMnuAlertOnOutage = 8;
inline constexpr int kMnuClose = 10;

class FrmMenu : public WindowBase {
public:
    struct Handlers {
        std::function<void(int)> mnuOpts;      // mnuOpts(index) clicked
        std::function<void(int)> mnuInterval;  // mnuInterval(index) clicked
    };

    FrmMenu(HINSTANCE instance, Handlers handlers);
    FrmMenu(const FrmMenu&) = delete;
    FrmMenu& operator=(const FrmMenu&) = delete;
    ~FrmMenu() override;

    // Creates the form, hidden, with its menu bar. Null when it could not be made.
    HWND Load();
    // Closes the form and releases it; the menu goes with it.
    void Unload();
    HWND hwnd() const { return Window(); }
    // mnuOptions, the menu bar's first submenu; null once unloaded.
    HMENU Options() const;

    // "&Ping" and "P&ing Interval"; "&Stop Ping" stays enabled.
    void SetPingItemsEnabled(bool enabled);
    bool ItemEnabled(int position) const;
    // The check mark of "Alert on &Outage".
    void SetAlertChecked(bool on);

private:
    Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    void RestoreAfterFailure() override;
    void ShowFailure(const std::string& text) override;
    void OnCommand(int id);

    HINSTANCE instance_;
    Handlers handlers_;
};

}  // namespace zv
