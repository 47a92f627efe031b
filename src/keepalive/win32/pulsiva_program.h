// The keep-alive program as a whole: frmGetIp with its tray icon, the hidden menu form frmMenu, the
// replacement window procedure, and the stored options and autostart entry.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/echo.h"
#include "keepalive/settings.h"
#include "keepalive/tray.h"
#include "keepalive/win32/frm_get_ip.h"
#include "keepalive/win32/frm_menu.h"
#include "keepalive/win32/mod_public.h"
#include "keepalive/win32/tray_icon.h"
#include "platform/registry.h"

namespace zv {

class PulsivaProgram : private LifecycleWindow, private TrayIconView {
public:
    struct Options {
        bool quitOnDestroy = true;  // frmGetIp's end ends the message loop
        HelpCommand help;           // both help commands; empty: HtmlHelpA from hhctrl.ocx
        NotifyIconCall notify;      // empty: Shell_NotifyIconA
        std::string programPath;    // the autostart entry's data; empty: this program's own file
        LogPlace outageLog;         // no file: the outage log's usual place
        // The shell the tray icon is made for, with balloons from 5.0; empty: the system's own.
        std::optional<ShellVersion> shell;
    };

    PulsivaProgram(HINSTANCE instance, Registry& reg, PingNetwork& network, Options options);
    PulsivaProgram(const PulsivaProgram&) = delete;
    PulsivaProgram& operator=(const PulsivaProgram&) = delete;
    ~PulsivaProgram() override;

    // Loads frmMenu and then frmGetIp, whose start-up applies the stored options, makes the tray
    // icon due and starts pinging. The window is left hidden; null when it could not be made.
    HWND Create();
    // Adds the tray icon that start-up made due. It comes once the window is drawn and nothing
    // waits: the shell answers NIM_ADD slowly, and the window need not wait for it.
    void AddDueTrayIcon();
    // Start-up put the program in the tray only ("Start Minimized"): the window is not to be shown.
    bool StartsInTray() const { return startsInTray_; }
    bool PreTranslateMessage(MSG& msg) { return form_.PreTranslateMessage(msg); }

    HWND hwnd() const { return form_.hwnd(); }
    FrmGetIp& Form() { return form_; }
    FrmMenu& Menu() { return menu_; }
    TrayIcon& Icon() { return icon_; }
    TrayHook& Hook() { return hook_; }
    const TrayAnimation& Animation() const { return animation_; }

    // The tray menu's commands.
    void mnuOpts_Click(int index);
    void mnuInterval_Click(int index);
    bool AlertOnOutage() const { return alertOnOutage_; }
    // Double click on the icon, "&Restore": the window in normal state, shown.
    void RestoreWindow();

private:
    void Check1_Click();
    // After every change of the figures: the down picture, the tooltip and an outage's balloon.
    void ShowLine();

    // LifecycleWindow
    void HookWindow() override;
    PixelRect WindowRect() override;
    PixelRect NormalRect() override;
    PixelRect VirtualScreen() override;
    int DpiX() override;
    int DpiY() override;
    void MoveWindow(int x, int y) override;
    bool Check2() override;
    void SetCheck2(bool on) override;
    bool Check3() override;
    void SetCheck3(bool on) override;
    void Minimize() override;
    void AddTrayIcon() override;
    void CloseMenuForm() override;
    void RemoveTrayIcon() override;
    void UnhookWindow() override;
    std::string ProgramPath() override;
    void SetOutageLosses(int losses) override;
    int OutageLosses() override;
    void SetAlertOnOutage(bool on) override;
    bool AlertOnOutage() override { return alertOnOutage_; }

    // TrayIconView
    void ShowFrame(int frame) override;
    void SetAnimationTimer(bool on) override;

    FrmGetIp::Options FormOptions();

    HINSTANCE instance_;
    Registry& reg_;
    Options options_;
    TrayAnimation animation_;
    TrayHook hook_;
    TrayIcon icon_;
    FrmMenu menu_;
    // Declared last so that it goes first: its window still runs through the hook and the icon.
    FrmGetIp form_;
    bool startsInTray_ = false;
    bool trayIconDue_ = false;
    bool alertOnOutage_ = true;
};

}  // namespace zv
