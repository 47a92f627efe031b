// The line's watch over the ping loop: figures, chart record, outage log.
#include "keepalive/line_monitor.h"

namespace zv {

LineMonitor::LineMonitor(Clock& clock, TextFiles& files, LogPlaceSource outageLog)
    : clock_(clock), log_(files, std::move(outageLog), kOutageCsvHeader) {}

void LineMonitor::PingStarted() {
    sinceStart_ = PingFigures();
    pinging_ = true;
    pinged_ = false;
}

void LineMonitor::PingRecorded(const PingOutcome& outcome) {
    const ClockReading now = clock_.Now();
    sinceStart_.Add(outcome);
    activity_.Add({TimeText(now.local), outcome.host, !outcome.answered, outcome.answered ? outcome.rttMs : 0});
    const bool wasOpen = outages_.Open();
    // Taken before the answer that ends the run forgets it.
    const ClockReading start = outages_.RunStart();
    const int lost = outages_.Run();
    Log(outages_.Record(outcome, now));
    const bool opened = !wasOpen && outages_.Open();
    // Kept until the window takes it, whatever pings come first.
    if (auto alert = AlertForPing(wasOpen, outages_.Open(), outcome.host,
                                  opened ? outages_.RunStart().local : start.local, opened ? outages_.Run() : lost,
                                  SecondsBetween(start.universal, now.universal))) {
        alert_ = alert;
    }
    pinged_ = true;
    last_ = outcome;
}

void LineMonitor::PingStopped() {
    activity_.Clear();
    Log(outages_.Finish(clock_.Now()));
    pinging_ = false;
    alert_.reset();
}

std::string LineMonitor::TrayTip() const {
    LineTip tip{pinging_, pinged_, last_.host, last_, std::nullopt};
    if (outages_.Open()) tip.downSince = outages_.RunStart().local;
    return TrayTipText(tip);
}

std::optional<OutageAlert> LineMonitor::TakeAlert() {
    std::optional<OutageAlert> alert;
    alert.swap(alert_);
    return alert;
}

void LineMonitor::ActivityCleared() { activity_.Clear(); }

void LineMonitor::Close() { Log(outages_.Finish(clock_.Now())); }

void LineMonitor::Log(const std::string& line) {
    if (!line.empty()) log_.Add(line);
    // Lines that could not be written are tried again at every ping until they are.
    std::string notice = log_.Flush();
    if (!notice.empty()) notice_ = notice;
}

std::string LineMonitor::TakeNotice() {
    std::string notice;
    notice.swap(notice_);
    return notice;
}

}  // namespace zv
