// The line's watch over the ping loop: figures, chart record, outage log.
#include "keepalive/line_monitor.h"

namespace zv {

LineMonitor::LineMonitor(Clock& clock, TextFiles& files, LogPlaceSource outageLog)
    : clock_(clock), log_(files, std::move(outageLog), kOutageCsvHeader) {}

void LineMonitor::PingStarted() { sinceStart_ = PingFigures(); }

void LineMonitor::PingRecorded(const PingOutcome& outcome) {
    const ClockReading now = clock_.Now();
    sinceStart_.Add(outcome);
    activity_.Add({TimeText(now.local), outcome.host, !outcome.answered, outcome.answered ? outcome.rttMs : 0});
    Log(outages_.Record(outcome, now));
}

void LineMonitor::PingStopped() {
    activity_.Clear();
    Log(outages_.Finish(clock_.Now()));
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
