// The outage log's state machine, its CSV lines, its place and its append-with-report-once file.
#include "keepalive/outage_log.h"

namespace zv {

int ValidOutageLosses(std::int32_t stored) { return stored >= 1 ? stored : kDefaultOutageLosses; }

void OutageTracker::SetLosses(int losses) {
    losses_ = ValidOutageLosses(losses);
    if (run_ >= losses_) open_ = true;
}

std::string OutageTracker::Record(const PingOutcome& outcome, const ClockReading& when) {
    if (!outcome.answered) {
        if (run_++ == 0) {
            runStart_ = when;
            host_ = outcome.host;
        }
        if (run_ >= losses_) open_ = true;
        return std::string();
    }
    std::string line = open_ ? Line(when, true) : std::string();
    run_ = 0;
    open_ = false;
    return line;
}

std::string OutageTracker::Finish(const ClockReading& when) {
    std::string line = open_ ? Line(when, false) : std::string();
    run_ = 0;
    open_ = false;
    return line;
}

std::string OutageTracker::Line(const ClockReading& when, bool ended) const {
    // A duration measured backwards (the clock was set back) says nothing: 0.
    std::int64_t seconds = SecondsBetween(runStart_.universal, when.universal);
    if (seconds < 0) seconds = 0;
    return TimeText(runStart_.local) + "," + (ended ? TimeText(when.local) : std::string()) + "," +
           std::to_string(seconds) + "," + std::to_string(run_) + "," + CsvField(host_) + "\r\n";
}

namespace {
std::string Join(std::string folder, const std::string& name) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder.empty() ? name : folder + "\\" + name;
}
}  // namespace

LogPlace ChooseOutageLogPlace(const std::string& appDataFolder, const std::string& programFolder) {
    LogPlace place;
    if (appDataFolder.empty()) {
        place.file = Join(programFolder, "outages.csv");
        return place;
    }
    const std::string maker = Join(appDataFolder, "Quonibar");
    const std::string own = Join(maker, "Pulsiva");
    place.folders = {maker, own};
    place.file = Join(own, "outages.csv");
    return place;
}

const LogPlace& AppendLog::Place() const {
    if (!place_) place_ = source_ ? source_() : LogPlace{};
    return *place_;
}

std::string AppendLog::Flush() {
    if (waiting_.empty()) return std::string();
    const LogPlace& place = Place();
    for (const std::string& folder : place.folders) files_.CreateFolder(folder);
    const bool fresh = files_.FileSize(place.file) <= 0;
    if (files_.Append(place.file, fresh ? header_ + waiting_ : waiting_)) {
        waiting_.clear();
        failing_ = false;
        return std::string();
    }
    if (failing_) return std::string();
    failing_ = true;
    return "Pulsiva cannot write to " + place.file +
           ". Pinging goes on; the outages are written there once the file can be written again.";
}

}  // namespace zv
