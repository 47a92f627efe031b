// The keep-alive window's ping loop: the 10-second clock with its interval arithmetic, one ping
// cycle, start, stop and reset. The window supplies the controls through PingView.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "keepalive/activity_chart.h"
#include "platform/echo.h"
#include "keepalive/ping_stats.h"

namespace zv {

inline constexpr unsigned kChartTimerMs = 10000;
inline constexpr unsigned kAnimationTimerMs = 100;

// The items of the interval list and the clock ticks between two pings for each.
inline constexpr const char* kIntervalItems[] = {"10", "30", "60", "120"};
inline constexpr int kIntervalCount = 4;
// Ticks for an item index; nothing for no selection (or an index outside the list).
std::optional<std::int16_t> PingEveryTicksFor(int itemIndex);

// The window's controls and timers as the loop sees them.
class PingView {
public:
    virtual ~PingView() = default;
    virtual std::string SiteText() = 0;         // txtDomain
    virtual int IntervalItem() = 0;             // Combo1's selected item, -1 for none
    virtual bool AnimationDisabled() = 0;       // Check1 "Disable Animation"
    virtual void SetAnimation(bool on) = 0;     // Timer1 enabled or not
    virtual void ShowStillIcon() = 0;           // the tray's still image
    virtual void SetChartTimer(bool on) = 0;    // ChartTimer enabled or not
    // Pinging: txtDomain, Combo1 and cmdPing disabled, Command1 and cmdResetActivity enabled;
    // idle the other way round.
    virtual void SetPingingControls(bool pinging) = 0;
    virtual void SetTrayPingItemsEnabled(bool enabled) = 0;  // tray menu "&Ping" and "P&ing Interval"
    virtual void SetStatusText(const std::string& text) = 0;  // StatusBar1 panel 1
    // ChartPict's size in twips, as its drawing uses it.
    virtual double ChartWidthTwips() = 0;
    virtual double ChartHeightTwips() = 0;
    // Puts background image `backgroundIndex` on ChartPict, erasing what was drawn, then draws the
    // chart over it when one is given.
    virtual void ShowChart(int backgroundIndex, const ActivityChart* chart) = 0;
    // A modal box with an OK button; returns when the user has dismissed it.
    virtual void ShowMessage(const std::string& text) = 0;
};

// Told what pinging does, for the statistics and the outage log.
class PingObserver {
public:
    virtual ~PingObserver() = default;
    virtual void PingStarted() = 0;
    // Every echo the cycle tried, answered or lost; not a cycle whose sockets would not start.
    virtual void PingRecorded(const PingOutcome& outcome) = 0;
    virtual void PingStopped() = 0;      // the history was cleared too
    virtual void ActivityCleared() = 0;  // Reset Activity: the history was cleared, pinging goes on
};

class PingLoop {
public:
    PingLoop(PingNetwork& network, PingView& view) : network_(network), view_(view) {}

    // Null for none.
    void SetObserver(PingObserver* observer) { observer_ = observer; }

    // Start-up's share: the counters and the history to their first values.
    void Reset();

    void StartPinging();      // cmdPing
    void StopPinging();       // Command1
    void ResetActivity();     // cmdResetActivity
    void ChartTimer_Timer();  // every 10 seconds while pinging
    void PingOnce();

    bool Pinging() const { return pinging_; }
    std::int16_t PingEveryTicks() const { return pingEveryTicks_; }
    std::int16_t TickCounter() const { return tickCounter_; }
    std::int16_t BackgroundIndex() const { return backgroundIndex_; }
    const ActivityHistory& History() const { return history_; }

private:
    void DrawChart();

    PingNetwork& network_;
    PingView& view_;
    std::int16_t pingEveryTicks_ = 1;
    std::int16_t tickCounter_ = 0;
    std::int16_t backgroundIndex_ = 0;
    ActivityHistory history_;
    bool pinging_ = false;
    PingObserver* observer_ = nullptr;
    // A cycle is under way. Its message boxes run a message loop in which the clock keeps ticking;
    // those ticks are dropped so that boxes do not pile up and no second cycle starts inside one.
    bool inCycle_ = false;
};

}  // namespace zv
