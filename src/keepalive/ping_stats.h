// Loss and round-trip statistics of the keep-alive pings: what counts as an answer, the figures, the
// timed record of the chart's 90 samples, the clock they are stamped by, and their texts.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "keepalive/activity_chart.h"
#include "platform/echo.h"

namespace zv {

// One ping cycle's result as the statistics see it. A loss carries rtt 0 but never counts as a time.
struct PingOutcome {
    std::string host;
    bool answered = false;
    std::uint32_t rttMs = 0;
};

// Answered as EchoAnswered says.
PingOutcome ClassifyEcho(const std::string& host, std::int32_t status, const EchoReply& reply);

// A date and time of day as the system's clock gives it.
struct CivilTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// Local time for what people read; universal time for durations, so that a change to or from
// summer time inside an outage does not bend them.
struct ClockReading {
    CivilTime local;
    CivilTime universal;
};
class Clock {
public:
    virtual ~Clock() = default;
    virtual ClockReading Now() = 0;
};
// "YYYY-MM-DD HH:MM:SS".
std::string TimeText(const CivilTime& t);
// Whole seconds from `from` to `to`; negative when the clock went back.
std::int64_t SecondsBetween(const CivilTime& from, const CivilTime& to);

// Counts and round-trip figures over a run of pings.
class PingFigures {
public:
    void Add(const PingOutcome& outcome);

    int Sent() const { return sent_; }
    int Answered() const { return answered_; }
    int Lost() const { return sent_ - answered_; }
    // The texts below; "-" where there is nothing to tell (no ping, no answer, fewer than two answers).
    std::string LossPercentText() const;  // "8.3%"
    std::string WholePercentText() const;  // "25 %"
    std::string MinAvgMaxText() const;    // "12/15/31 ms", average rounded to a whole ms
    std::string JitterText() const;       // "3.2 ms"

private:
    int sent_ = 0;
    int answered_ = 0;
    std::uint64_t sumMs_ = 0;
    std::uint32_t minMs_ = 0;
    std::uint32_t maxMs_ = 0;
    // Jitter is the mean absolute difference between consecutive answered round-trip times: each
    // answer is compared with the answer before it, whatever losses lie between them, and the sum of
    // those differences is divided by their number (answers - 1).
    std::uint64_t sumStepsMs_ = 0;
    std::uint32_t lastMs_ = 0;
};

// One chart sample with the time it was taken and the site it went to.
struct ActivitySample {
    std::string time;  // TimeText of the local time
    std::string host;
    bool lost = false;
    std::uint32_t rttMs = 0;
};

// The chart's samples beside its 16-bit history, which keeps 0 for a loss: up to 90, oldest first.
class ActivityRecord {
public:
    void Add(ActivitySample sample);
    void Clear() { samples_.clear(); }
    const std::deque<ActivitySample>& Samples() const { return samples_; }
    // Which chart positions hold a loss, indexed like the history (newest at 89); positions no ping
    // has reached yet are false.
    std::array<bool, kHistorySize> LossMarks() const;
    PingFigures Figures() const;

private:
    std::deque<ActivitySample> samples_;
};

// CSV texts, lines ending in CR LF.
std::string CsvField(const std::string& text);  // quoted when it holds a comma, quote or line break
// "Save Activity": a header, then time, host and round-trip ms (empty for a loss), oldest first.
std::string ActivityCsv(const ActivityRecord& record);

// The line under the chart: "Sent 12, answered 9, lost 3 (25 %)  Min/Avg/Max 12/15/31 ms  Jitter 3.2 ms".
std::string StatsLineText(const PingFigures& figures);
// The chart's tooltip: both scopes, two lines each.
std::string StatsTooltipText(const PingFigures& sinceStart, const PingFigures& lastSamples);

}  // namespace zv
