// frmGetIp, the keep-alive window "Pulsiva": site, interval, start/stop, the activity chart and the status bar.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "keepalive/line_monitor.h"
#include "platform/echo.h"
#include "keepalive/ping_loop.h"
#include "keepalive/win32/system_line_files.h"
#include "platform/win32/handles.h"
#include "platform/win32/html_help.h"
#include "platform/win32/window_base.h"

namespace zv {

// The calls through which the tray icon, its menu and the stored settings join the window.
// Each may be left empty.
struct FrmGetIpHooks {
    // Start-up, after the counters, the help file and the interval are set and before the history
    // is cleared and pinging starts: hook the window, apply the stored options, add the tray icon.
    std::function<void(HWND)> load;
    // Shut-down, while the window still exists: store the options, remove the tray icon, unhook.
    std::function<void(HWND)> unload;
    std::function<void()> animationFrame;        // every Timer1 tick
    std::function<void()> showStillIcon;         // animation stopped
    std::function<void(bool)> trayPingItems;     // enable "&Ping" and "P&ing Interval"
    std::function<void()> check1Click;           // "Disable Animation" clicked
    std::function<void()> idle;                  // nothing waits, after RequestIdle()
    std::function<void()> figures;               // after a ping, a start, a stop or a reset
};

// Opens a help topic: owner, help file, topic.
using HelpCommand = std::function<void(HWND, const std::string&, const std::string&)>;

// The chart picture box: keeps what is drawn on it in a bitmap of its client size. Its window is made
// by the dialog template; Attach joins it to this object, which the form owns.
class ChartPicture : public WindowBase {
public:
    ChartPicture() = default;
    static void Register(HINSTANCE instance);
    void Attach(HWND hwnd);
    // Puts the image at the top-left over the picture box's background, erasing the drawing.
    void SetPicture(HBITMAP image);
    // The chart as drawn for a client area of heightTwips, 0 ms on the bottom row, with a short red
    // mark at the bottom of each column whose ping was lost.
    void Draw(const ActivityChart& chart, double heightTwips, int dpiX, int dpiY,
              const std::array<bool, kHistorySize>& lost);
    // 0xRRGGBB; 0 outside the client area.
    std::uint32_t Pixel(int x, int y) const;
    SIZE ClientSize() const { return {width_, height_}; }

private:
    Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    void RestoreAfterFailure() override;
    void Invalidate();

    UniqueBitmap backing_;
    UniqueMemoryDc dc_;  // holds backing_ selected; goes first
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

class FrmGetIp : public WindowBase, private PingView {
public:
    struct Options {
        bool quitOnDestroy = true;  // the program's only window ends the message loop
        HelpCommand help;           // empty: HtmlHelpA from hhctrl.ocx
        FrmGetIpHooks hooks;
        // Where the outage log goes; no file: the user's application-data folder, or beside the program.
        LogPlace outageLog;
    };

    FrmGetIp(HINSTANCE instance, PingNetwork& network, Options options);
    FrmGetIp(const FrmGetIp&) = delete;
    FrmGetIp& operator=(const FrmGetIp&) = delete;
    ~FrmGetIp() override;

    // Calls hooks.idle once the window has nothing else to do: a timer message comes only when no
    // input, posted message or painting waits.
    void RequestIdle();

    // Loads the window, hidden; start-up runs and pinging starts. Null when it could not be made.
    HWND Create();
    HWND hwnd() const { return Window(); }
    // Keyboard navigation of the window; true when the message was consumed.
    bool PreTranslateMessage(MSG& msg);

    // Commands, as the buttons and the tray menu give them.
    void cmdPing_Click();
    void Command1_Click();
    void cmdResetActivity_Click();
    void Command2_Click();
    void cmdExit_Click();
    void SelectInterval(int item);  // Combo1
    // The tray menu's "Outage &Log" and "&Save Activity…"; `owner` owns the boxes they show.
    void OutageLog_Click(HWND owner);
    void SaveActivity_Click(HWND owner);

    // The icon animation (Timer1) on and off, and the still icon.
    void AnimationOn();
    void AnimationOff();
    void ShowStill();

    bool AnimationRunning() const { return timer1On_; }
    bool ChartTimerRunning() const { return chartTimerOn_; }
    PingLoop& Loop() { return loop_; }
    LineMonitor& Watch() { return watch_; }
    const std::string& HelpFile() const { return helpFile_; }
    std::uint32_t ChartPixel(int x, int y) const { return chart_.Pixel(x, y); }
    SIZE ChartClientSize() const { return chart_.ClientSize(); }

private:
    Result OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    // Pinging stops: the failure is shown once, and the window waits for Ping.
    void RestoreAfterFailure() override;
    void SetWindowIcons();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void OnCommand(int id, int code);
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // The chart background for a grid image, made when first needed.
    HBITMAP GridBackground(int index);
    void AddChartTip();
    void UpdateChartTip();
    // The statistics line and the chart's tooltip follow the watch; a write failure it reports is
    // shown once the ping cycle is over.
    void ShowFigures();
    void ShowNotice();

    // PingView
    std::string SiteText() override;
    int IntervalItem() override;
    bool AnimationDisabled() override;
    void SetAnimation(bool on) override;
    void ShowStillIcon() override;
    void SetChartTimer(bool on) override;
    void SetPingingControls(bool pinging) override;
    void SetTrayPingItemsEnabled(bool enabled) override;
    void SetStatusText(const std::string& text) override;
    double ChartWidthTwips() override;
    double ChartHeightTwips() override;
    void ShowChart(int backgroundIndex, const ActivityChart* chart) override;
    void ShowMessage(const std::string& text) override;

    HINSTANCE instance_;
    Options options_;
    PingLoop loop_;
    SystemClock clock_;
    SystemTextFiles files_;
    LineMonitor watch_;
    HWND chartTip_ = nullptr;  // owned by the window, which destroys it
    std::string notice_;
    std::string helpFile_;
    std::array<UniqueBitmap, kGridImages> Picture1_;
    UniqueIcon bigIcon_;  // the window's Alt+Tab and caption icons, freed when it is gone
    UniqueIcon smallIcon_;
    ChartPicture chart_;
    int dpiX_ = 96;
    int dpiY_ = 96;
    bool timer1On_ = false;
    bool chartTimerOn_ = false;
    bool unloaded_ = false;
};

// The site the window offers when it opens.
inline constexpr char kDefaultSite[] = "www.quonibar.example";

}  // namespace zv
