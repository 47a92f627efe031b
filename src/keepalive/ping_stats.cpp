// Loss and round-trip statistics of the keep-alive pings and their texts.
#include "keepalive/ping_stats.h"

#include <algorithm>
#include <cstdio>

namespace zv {

PingOutcome ClassifyEcho(const std::string& host, std::int32_t status, const EchoReply& reply) {
    PingOutcome outcome{host, false, 0};
    if (EchoAnswered(status, reply)) {
        outcome.answered = true;
        outcome.rttMs = reply.RoundTripTime;
    }
    return outcome;
}

std::string TimeText(const CivilTime& t) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

namespace {
// Days since 1970-01-01 in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
    std::int64_t y = year - (month <= 2 ? 1 : 0);
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t yearOfEra = y - era * 400;
    std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int64_t Seconds(const CivilTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

// numerator / denominator to one decimal, a half rounded up; both positive.
std::string Tenths(std::uint64_t numerator, std::uint64_t denominator) {
    std::uint64_t tenths = (numerator * 20 + denominator) / (denominator * 2);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}
}  // namespace

std::int64_t SecondsBetween(const CivilTime& from, const CivilTime& to) { return Seconds(to) - Seconds(from); }

void PingFigures::Add(const PingOutcome& outcome) {
    ++sent_;
    if (!outcome.answered) return;
    const std::uint32_t ms = outcome.rttMs;
    if (answered_ == 0) {
        minMs_ = maxMs_ = ms;
    } else {
        minMs_ = std::min(minMs_, ms);
        maxMs_ = std::max(maxMs_, ms);
        sumStepsMs_ += ms > lastMs_ ? ms - lastMs_ : lastMs_ - ms;
    }
    ++answered_;
    sumMs_ += ms;
    lastMs_ = ms;
}

std::string PingFigures::LossPercentText() const {
    if (sent_ == 0) return "-";
    return Tenths(static_cast<std::uint64_t>(Lost()) * 100, static_cast<std::uint64_t>(sent_)) + "%";
}

std::string PingFigures::WholePercentText() const {
    if (sent_ == 0) return "-";
    // A half rounds up: 1 of 8 reads 13 %. A loss never reads as none.
    const std::uint64_t percent = (static_cast<std::uint64_t>(Lost()) * 200 + sent_) / (2 * sent_);
    if (percent == 0 && Lost() > 0) return "<1 %";
    return std::to_string(percent) + " %";
}

std::string PingFigures::MinAvgMaxText() const {
    if (answered_ == 0) return "-";
    const std::uint64_t n = static_cast<std::uint64_t>(answered_);
    const std::uint64_t average = (sumMs_ * 2 + n) / (n * 2);
    return std::to_string(minMs_) + "/" + std::to_string(average) + "/" + std::to_string(maxMs_) + " ms";
}

std::string PingFigures::JitterText() const {
    if (answered_ < 2) return "-";
    return Tenths(sumStepsMs_, static_cast<std::uint64_t>(answered_ - 1)) + " ms";
}

void ActivityRecord::Add(ActivitySample sample) {
    if (samples_.size() == static_cast<std::size_t>(kHistorySize)) samples_.pop_front();
    samples_.push_back(std::move(sample));
}

std::array<bool, kHistorySize> ActivityRecord::LossMarks() const {
    std::array<bool, kHistorySize> marks{};
    const std::size_t first = kHistorySize - samples_.size();
    for (std::size_t i = 0; i < samples_.size(); ++i) marks[first + i] = samples_[i].lost;
    return marks;
}

PingFigures ActivityRecord::Figures() const {
    PingFigures figures;
    for (const ActivitySample& s : samples_) figures.Add({s.host, !s.lost, s.rttMs});
    return figures;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string ActivityCsv(const ActivityRecord& record) {
    std::string csv = "Time,Host,Round trip (ms)\r\n";
    for (const ActivitySample& s : record.Samples()) {
        csv += s.time + "," + CsvField(s.host) + "," + (s.lost ? std::string() : std::to_string(s.rttMs)) + "\r\n";
    }
    return csv;
}

std::string StatsLineText(const PingFigures& f) {
    return "Sent " + std::to_string(f.Sent()) + ", answered " + std::to_string(f.Answered()) + ", lost " +
           std::to_string(f.Lost()) + " (" + f.WholePercentText() + ")  Min/Avg/Max " + f.MinAvgMaxText() +
           "  Jitter " + f.JitterText();
}

namespace {
std::string TooltipScope(const char* title, const PingFigures& f) {
    return std::string(title) + ": sent " + std::to_string(f.Sent()) + ", lost " + std::to_string(f.Lost()) + " (" +
           f.LossPercentText() + ")\r\nMin/Avg/Max " + f.MinAvgMaxText() + ", jitter " + f.JitterText();
}
}  // namespace

std::string StatsTooltipText(const PingFigures& sinceStart, const PingFigures& lastSamples) {
    return TooltipScope("Since Ping start", sinceStart) + "\r\n" + TooltipScope("Last 90 pings", lastSamples);
}

}  // namespace zv
