// The ping loop driven tick by tick, over a fake network and a fake window.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <vector>

#include "keepalive/ping_loop.h"

namespace zv {
namespace {

// Answers each echo with the next scripted round-trip time (0 once the script is used up).
class FakeNetwork : public PingNetwork {
public:
    bool socketsStart = true;
    std::deque<std::uint32_t> rtts;
    std::vector<std::string> calls;
    std::vector<std::string> resolved;
    bool replyWasClear = true;
    std::function<void()> onStop;  // runs inside StopSockets, as its message box's loop would

    bool StartSockets() override {
        calls.push_back("StartSockets");
        return socketsStart;
    }
    std::string ResolveHost(const std::string& host) override {
        calls.push_back("ResolveHost " + host);
        return host.ends_with(".invalid") ? kUnableToResolve : "127.0.0.1";
    }
    std::int32_t SendEcho(const std::string& address, const std::string& data, EchoReply& reply) override {
        calls.push_back("SendEcho " + address + " " + std::to_string(data.size()) + "x" + data.substr(0, 1));
        EchoReply clear{};
        if (std::memcmp(&reply, &clear, sizeof reply) != 0) replyWasClear = false;
        if (address == kUnableToResolve) return -1;
        if (!rtts.empty()) {
            reply.Address = 0x0100007F;
            reply.RoundTripTime = rtts.front();
            rtts.pop_front();
        }
        return 0;
    }
    void StopSockets() override {
        calls.push_back("StopSockets");
        if (onStop) onStop();
    }
    int Echoes() const {
        int n = 0;
        for (const auto& c : calls) n += c.rfind("SendEcho", 0) == 0;
        return n;
    }
};

class FakeView : public PingView {
public:
    std::string site = "www.quonibar.example";
    int interval = 0;
    bool check1 = false;

    bool animation = false;
    int stillIcons = 0;
    bool chartTimer = false;
    std::optional<bool> pingingControls;
    std::optional<bool> trayItems;
    std::string status = "unset";
    int timerChanges = 0;
    int charts = 0;
    int lastBackground = -1;
    std::optional<ActivityChart> lastChart;
    std::vector<std::string> messages;
    std::function<void()> onMessage;  // runs while the box is "open"

    std::string SiteText() override { return site; }
    int IntervalItem() override { return interval; }
    bool AnimationDisabled() override { return check1; }
    void SetAnimation(bool on) override {
        animation = on;
        ++timerChanges;
    }
    void ShowStillIcon() override { ++stillIcons; }
    void SetChartTimer(bool on) override {
        chartTimer = on;
        ++timerChanges;
    }
    void SetPingingControls(bool pinging) override { pingingControls = pinging; }
    void SetTrayPingItemsEnabled(bool enabled) override { trayItems = enabled; }
    void SetStatusText(const std::string& text) override { status = text; }
    double ChartWidthTwips() override { return 5460; }
    double ChartHeightTwips() override { return 1185; }
    void ShowChart(int backgroundIndex, const ActivityChart* chart) override {
        ++charts;
        lastBackground = backgroundIndex;
        lastChart = chart ? std::optional<ActivityChart>(*chart) : std::nullopt;
    }
    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        if (onMessage) onMessage();
    }
};

struct Rig {
    FakeNetwork net;
    FakeView view;
    PingLoop loop{net, view};
    Rig() { loop.Reset(); }

    // Runs `ticks` clock ticks and returns the numbers (1-based) of those that pinged.
    std::vector<int> Tick(int ticks) {
        std::vector<int> pinged;
        for (int t = 1; t <= ticks; ++t) {
            int before = net.Echoes();
            loop.ChartTimer_Timer();
            if (net.Echoes() != before) pinged.push_back(t);
        }
        return pinged;
    }
};

TEST(IntervalTable, ItemsGiveTicksBetweenPings) {
    const int expected[] = {1, 3, 6, 12};
    for (int i = 0; i < kIntervalCount; ++i) {
        EXPECT_EQ(PingEveryTicksFor(i), expected[i]) << "item " << kIntervalItems[i];
        EXPECT_EQ(std::stoi(kIntervalItems[i]), expected[i] * kChartTimerMs / 1000) << "item " << kIntervalItems[i];
    }
    EXPECT_FALSE(PingEveryTicksFor(-1)) << "no selection";
    EXPECT_FALSE(PingEveryTicksFor(4)) << "past the list";
}

TEST(PingClock, PingsAtTheFirstTickAndThenEveryInterval) {
    struct Case {
        int item;
        std::vector<int> pingedTicks;
    } cases[] = {
        {0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {1, {1, 4, 7, 10, 13}},
        {2, {1, 7, 13}},
        {3, {1, 13}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.view.interval = c.item;
        rig.loop.StartPinging();
        EXPECT_EQ(rig.Tick(13), c.pingedTicks) << "interval " << kIntervalItems[c.item];
    }
}

TEST(PingClock, IntervalChosenWhileIdleTakesEffectAtTheNextStart) {
    Rig rig;
    rig.loop.StartPinging();
    rig.Tick(2);
    rig.loop.StopPinging();
    rig.view.interval = 1;  // "30"
    EXPECT_EQ(rig.loop.PingEveryTicks(), 1) << "choosing alone changes nothing";
    rig.loop.StartPinging();
    EXPECT_EQ(rig.loop.PingEveryTicks(), 3);
    EXPECT_EQ(rig.Tick(9), (std::vector<int>{1, 4, 7}));
}

TEST(PingClock, NoSelectionKeepsTheInterval) {
    Rig rig;
    rig.view.interval = 2;
    rig.loop.StartPinging();
    rig.loop.StopPinging();
    rig.view.interval = -1;
    rig.loop.StartPinging();
    EXPECT_EQ(rig.loop.PingEveryTicks(), 6);
}

TEST(PingClock, StopAndStartKeepTheCounter) {
    // Stopped with the counter at 5, restarted with the interval shown.
    struct Case {
        int restartItem;
        int firstPingTick;
    } cases[] = {{3, 8}, {0, 1}, {1, 2}, {2, 2}};
    for (const Case& c : cases) {
        Rig rig;
        rig.view.interval = 3;  // "120"
        rig.loop.StartPinging();
        rig.Tick(5);
        ASSERT_EQ(rig.loop.TickCounter(), 5);
        rig.loop.StopPinging();
        EXPECT_EQ(rig.loop.TickCounter(), 5) << "stop keeps the counter";
        rig.view.interval = c.restartItem;
        rig.loop.StartPinging();
        std::vector<int> pinged = rig.Tick(c.firstPingTick);
        EXPECT_EQ(pinged, std::vector<int>{c.firstPingTick}) << "restarted with " << kIntervalItems[c.restartItem];
    }
}

TEST(PingLoop, TellsItsObserverEveryEchoTriedAndEveryClear) {
    struct Events : PingObserver {
        std::vector<std::string> seen;
        void PingStarted() override { seen.push_back("start"); }
        void PingRecorded(const PingOutcome& o) override {
            seen.push_back(o.host + (o.answered ? " " + std::to_string(o.rttMs) : " lost"));
        }
        void PingStopped() override { seen.push_back("stop"); }
        void ActivityCleared() override { seen.push_back("reset"); }
    } events;
    Rig rig;
    rig.loop.SetObserver(&events);
    rig.net.rtts = {25};
    rig.loop.StartPinging();
    rig.loop.PingOnce();
    rig.loop.PingOnce();  // the script is used up: a record left clear
    rig.view.site = "gone.invalid";
    rig.loop.PingOnce();
    rig.net.socketsStart = false;
    rig.loop.PingOnce();  // nothing tried
    rig.loop.ResetActivity();
    rig.loop.StopPinging();
    EXPECT_EQ(events.seen, (std::vector<std::string>{"start", "www.quonibar.example 25", "www.quonibar.example lost",
                                                     "gone.invalid lost", "reset", "stop"}));
}

TEST(PingLoop, StartAndStopSwitchControlsTimersAndTray) {
    Rig rig;
    rig.loop.StartPinging();
    EXPECT_TRUE(rig.loop.Pinging());
    EXPECT_TRUE(rig.view.animation);
    EXPECT_TRUE(rig.view.chartTimer);
    EXPECT_EQ(rig.view.pingingControls, true);
    EXPECT_EQ(rig.view.trayItems, false);

    rig.net.rtts = {30, 40};
    rig.Tick(2);
    rig.view.stillIcons = 0;
    rig.loop.StopPinging();
    EXPECT_FALSE(rig.loop.Pinging());
    EXPECT_FALSE(rig.view.animation);
    EXPECT_EQ(rig.view.stillIcons, 1);
    EXPECT_FALSE(rig.view.chartTimer);
    EXPECT_EQ(rig.view.pingingControls, false);
    EXPECT_EQ(rig.view.trayItems, true);
    EXPECT_EQ(rig.view.status, "");
    EXPECT_EQ(rig.loop.History().samples(), ActivityHistory::Samples{}) << "stop clears the history";
    EXPECT_EQ(rig.view.lastBackground, rig.loop.BackgroundIndex());
    EXPECT_FALSE(rig.view.lastChart) << "stop shows the grid only";
}

TEST(PingOnce, CallsTheNetworkInOrderAndReportsTheTime) {
    Rig rig;
    rig.net.rtts = {45};
    rig.loop.StartPinging();
    rig.loop.ChartTimer_Timer();
    EXPECT_EQ(rig.net.calls, (std::vector<std::string>{"StartSockets", "ResolveHost www.quonibar.example",
                                                        "SendEcho 127.0.0.1 56x1", "StopSockets"}));
    EXPECT_TRUE(rig.net.replyWasClear);
    EXPECT_EQ(rig.view.status, "Ping Result for www.quonibar.example :45 ms");
    EXPECT_EQ(rig.loop.History().samples()[89], 45);
    EXPECT_TRUE(rig.view.animation);
    ASSERT_TRUE(rig.view.lastChart);
    EXPECT_DOUBLE_EQ(rig.view.lastChart->lines[88].to.y, 1185 - 45 * 2);
}

TEST(PingOnce, AnimatesOnlyForAnAnswerOfAtLeastOneMillisecond) {
    struct Case {
        const char* what;
        std::string site;
        std::uint32_t rtt;
        bool check1;
        bool animates;
        const char* status;
    } cases[] = {
        {"answer", "192.0.2.10", 12, false, true, "Ping Result for 192.0.2.10 :12 ms"},
        {"one millisecond", "192.0.2.10", 1, false, true, "Ping Result for 192.0.2.10 :1 ms"},
        {"under a millisecond", "127.0.0.1", 0, false, false, "Ping Result for 127.0.0.1 :0 ms"},
        {"unresolvable", "nosuch.invalid", 0, false, false, "Ping Result for nosuch.invalid :0 ms"},
        {"animation disabled", "192.0.2.10", 12, true, false, "Ping Result for 192.0.2.10 :12 ms"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.view.site = c.site;
        rig.view.check1 = c.check1;
        rig.loop.StartPinging();
        rig.net.rtts = {7};
        rig.loop.ChartTimer_Timer();  // a first sample that the next must push along
        rig.net.rtts = {c.rtt};
        rig.view.stillIcons = 0;
        rig.loop.ChartTimer_Timer();
        EXPECT_EQ(rig.view.animation, c.animates) << c.what;
        EXPECT_EQ(rig.view.stillIcons, c.animates ? 0 : 1) << c.what;
        EXPECT_EQ(rig.view.status, c.status) << c.what;
        EXPECT_EQ(rig.loop.History().samples()[89], c.site.ends_with(".invalid") ? 0 : static_cast<int>(c.rtt))
            << c.what;
        EXPECT_EQ(rig.loop.History().samples()[88], c.site.ends_with(".invalid") ? 0 : 7) << c.what;
    }
}

TEST(PingOnce, HistoryDropsTheOldestAfterNinetyPings) {
    Rig rig;
    for (std::uint32_t i = 1; i <= 95; ++i) rig.net.rtts.push_back(i);
    rig.loop.StartPinging();
    rig.Tick(89);
    EXPECT_EQ(rig.loop.History().samples()[0], 0) << "89 pings leave one empty place";
    EXPECT_EQ(rig.loop.History().samples()[1], 1);
    rig.Tick(6);
    for (int i = 0; i < kHistorySize; ++i) EXPECT_EQ(rig.loop.History().samples()[i], i + 6) << "index " << i;
}

TEST(PingOnce, TimesBeyondASampleAreKeptAsTheLargestSample) {
    Rig rig;
    rig.net.rtts = {40000};
    rig.loop.StartPinging();
    rig.loop.ChartTimer_Timer();
    EXPECT_EQ(rig.loop.History().samples()[89], 32767);
    EXPECT_EQ(rig.view.status, "Ping Result for www.quonibar.example :40000 ms");
}

TEST(PingOnce, BackgroundStepsThroughTheThreeImages) {
    Rig rig;
    rig.loop.StartPinging();
    std::vector<int> shown;
    for (int i = 0; i < 4; ++i) {
        rig.loop.ChartTimer_Timer();
        shown.push_back(rig.view.lastBackground);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1}));
}

TEST(ResetActivity, ClearsTheChartButKeepsPinging) {
    Rig rig;
    rig.view.interval = 1;
    rig.net.rtts = {80, 90, 100};
    rig.loop.StartPinging();
    rig.Tick(4);
    int timerChanges = rig.view.timerChanges;
    int background = rig.loop.BackgroundIndex();
    rig.loop.ResetActivity();
    EXPECT_EQ(rig.view.timerChanges, timerChanges) << "reset leaves the timers alone";
    EXPECT_TRUE(rig.view.chartTimer);
    EXPECT_EQ(rig.loop.PingEveryTicks(), 3);
    EXPECT_EQ(rig.view.status, "");
    EXPECT_EQ(rig.loop.History().samples(), ActivityHistory::Samples{});
    ASSERT_TRUE(rig.view.lastChart) << "reset draws the (flat) chart";
    EXPECT_EQ(rig.view.lastBackground, background);
    for (const TwipLine& l : rig.view.lastChart->lines) {
        EXPECT_DOUBLE_EQ(l.from.y, 1185);
        EXPECT_DOUBLE_EQ(l.to.y, 1185);
    }
    EXPECT_EQ(rig.Tick(3), std::vector<int>{3}) << "the interval goes on where it was";
    ActivityHistory::Samples expected{};
    expected[89] = 100;
    EXPECT_EQ(rig.loop.History().samples(), expected);
}

TEST(SocketsFailure, ShowsTheMessageAddsNoSampleAndTriesAgainNextTime) {
    Rig rig;
    rig.net.socketsStart = false;
    rig.loop.StartPinging();
    rig.loop.ChartTimer_Timer();
    EXPECT_EQ(rig.view.messages,
              std::vector<std::string>{"Windows Sockets for 32 bit Windows environments is not successfully responding."});
    EXPECT_EQ(rig.net.calls, std::vector<std::string>{"StartSockets"}) << "no resolve, echo or cleanup";
    EXPECT_EQ(rig.view.status, "unset");
    EXPECT_EQ(rig.view.lastBackground, 1) << "the chart still steps and redraws";
    EXPECT_TRUE(rig.view.lastChart);
    rig.loop.ChartTimer_Timer();
    EXPECT_EQ(rig.view.messages.size(), 2u);
}

TEST(SocketsFailure, TicksWhileTheBoxIsOpenStartNoCycle) {
    Rig rig;
    rig.net.socketsStart = false;
    rig.view.interval = 0;
    rig.loop.StartPinging();
    int ticksDuringBox = 0;
    rig.view.onMessage = [&] {
        // The box stays open for 35 seconds; its message loop delivers the clock's ticks.
        if (ticksDuringBox > 0) return;
        for (int i = 0; i < 3; ++i) {
            ++ticksDuringBox;
            rig.loop.ChartTimer_Timer();
        }
    };
    rig.loop.ChartTimer_Timer();
    EXPECT_EQ(ticksDuringBox, 3);
    EXPECT_EQ(rig.view.messages.size(), 1u) << "boxes must not pile up";
    EXPECT_EQ(rig.net.calls.size(), 1u) << "no cycle starts while the box is open";
    rig.loop.ChartTimer_Timer();
    EXPECT_EQ(rig.view.messages.size(), 2u) << "after the box the loop goes on";
}

TEST(SocketsFailure, TicksDuringTheCleanupBoxStartNoCycle) {
    Rig rig;
    rig.loop.StartPinging();
    rig.net.rtts = {20, 30};
    bool nested = false;
    rig.net.onStop = [&] {
        if (nested) return;
        nested = true;
        rig.loop.ChartTimer_Timer();
    };
    rig.loop.ChartTimer_Timer();
    EXPECT_EQ(rig.net.Echoes(), 1);
    EXPECT_EQ(rig.loop.History().samples()[88], 0);
    EXPECT_EQ(rig.loop.History().samples()[89], 20);
}

}  // namespace
}  // namespace zv
