// The ping loop of the keep-alive window.
#include "keepalive/ping_loop.h"

namespace zv {

std::optional<std::int16_t> PingEveryTicksFor(int itemIndex) {
    constexpr std::int16_t ticks[kIntervalCount] = {1, 3, 6, 12};
    if (itemIndex < 0 || itemIndex >= kIntervalCount) return std::nullopt;
    return ticks[itemIndex];
}

void PingLoop::Reset() {
    pingEveryTicks_ = 1;
    tickCounter_ = 0;
    backgroundIndex_ = 0;
    history_.Clear();
}

void PingLoop::StartPinging() {
    if (std::optional<std::int16_t> ticks = PingEveryTicksFor(view_.IntervalItem())) pingEveryTicks_ = *ticks;
    view_.SetAnimation(true);
    view_.SetChartTimer(true);
    view_.SetPingingControls(true);
    view_.SetTrayPingItemsEnabled(false);
    pinging_ = true;
    if (observer_) observer_->PingStarted();
    // The tick counter carries on where it stood: a restart within an interval does not shorten it.
}

void PingLoop::StopPinging() {
    view_.SetAnimation(false);
    view_.ShowStillIcon();
    view_.SetChartTimer(false);
    history_.Clear();
    // The chart's record goes with the history, before anything draws from either.
    if (observer_) observer_->PingStopped();
    view_.ShowChart(backgroundIndex_, nullptr);
    view_.SetPingingControls(false);
    view_.SetStatusText(std::string());
    view_.SetTrayPingItemsEnabled(true);
    pinging_ = false;
}

void PingLoop::ResetActivity() {
    history_.Clear();
    if (observer_) observer_->ActivityCleared();
    DrawChart();
    view_.SetStatusText(std::string());
}

void PingLoop::ChartTimer_Timer() {
    if (inCycle_) return;
    if (tickCounter_ % pingEveryTicks_ == 0) PingOnce();
    tickCounter_ = static_cast<std::int16_t>((tickCounter_ + 1) % pingEveryTicks_);
}

void PingLoop::PingOnce() {
    if (inCycle_) return;
    struct CycleMark {
        bool& flag;
        explicit CycleMark(bool& f) : flag(f) { flag = true; }
        ~CycleMark() { flag = false; }
    } mark(inCycle_);
    backgroundIndex_ = static_cast<std::int16_t>((backgroundIndex_ + 1) % kGridImages);
    EchoReply reply{};
    if (network_.StartSockets()) {
        const std::string site = view_.SiteText();
        const std::string address = network_.ResolveHost(site);
        const std::int32_t status = network_.SendEcho(address, kEchoRequestData, reply);
        const std::uint32_t rtt = reply.RoundTripTime;
        if (rtt >= 1 && !view_.AnimationDisabled()) {
            view_.SetAnimation(true);
        } else {
            view_.SetAnimation(false);
            view_.ShowStillIcon();
        }
        view_.SetStatusText(PingResultText(site, rtt));
        history_.Add(rtt);
        if (observer_) observer_->PingRecorded(ClassifyEcho(site, status, reply));
        network_.StopSockets();
    } else {
        view_.ShowMessage(kSocketsNotResponding);
    }
    DrawChart();
}

void PingLoop::DrawChart() {
    ActivityChart chart = DrawActivityChart(history_.samples(), view_.ChartWidthTwips(), view_.ChartHeightTwips());
    view_.ShowChart(backgroundIndex_, &chart);
}

}  // namespace zv
