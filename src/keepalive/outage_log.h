// The outage log: when the line was down and for how long, one CSV line per outage, appended to a
// file in the user's application-data folder; a file that cannot be written is reported once.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "keepalive/ping_stats.h"

namespace zv {

inline constexpr int kDefaultOutageLosses = 3;
// A stored count below 1 makes no sense: the default instead.
int ValidOutageLosses(std::int32_t stored);

// An outage begins once `losses` pings in a row went unanswered, is dated from the first of them,
// and ends at the next answer. Lines: start, end, duration in seconds, pings lost, host.
class OutageTracker {
public:
    explicit OutageTracker(int losses = kDefaultOutageLosses) : losses_(ValidOutageLosses(losses)) {}
    // Applies to the run of losses under way too; an outage already open stays open.
    void SetLosses(int losses);
    int Losses() const { return losses_; }
    bool Open() const { return open_; }
    // The run of losses under way: how many, since when (its first loss) and to which host.
    int Run() const { return run_; }
    const ClockReading& RunStart() const { return runStart_; }

    // A ping's result: the line of the outage an answer ends, or empty.
    std::string Record(const PingOutcome& outcome, const ClockReading& when);
    // Pinging ends (stopped, or the program closes) while the line may still be down: an open
    // outage's line with an empty end and the duration up to now, or empty. Forgets the run.
    std::string Finish(const ClockReading& when);

private:
    std::string Line(const ClockReading& when, bool ended) const;

    int losses_;
    int run_ = 0;  // losses in a row
    bool open_ = false;
    ClockReading runStart_;
    std::string host_;
};

inline constexpr char kOutageCsvHeader[] = "Start,End,Duration (s),Pings lost,Host\r\n";

// The file system calls the log needs; the program supplies them.
class TextFiles {
public:
    virtual ~TextFiles() = default;
    // Bytes in the file; -1 when it does not exist or cannot be asked.
    virtual std::int64_t FileSize(const std::string& path) = 0;
    // True also when the folder is there already.
    virtual bool CreateFolder(const std::string& path) = 0;
    // Appends the text at the end, creating the file; false unless all of it was written.
    virtual bool Append(const std::string& path, const std::string& text) = 0;
};

// Where the log goes: "<AppData>\Quonibar\Pulsiva\outages.csv" when the system has an
// application-data folder (empty when it has none), otherwise "<program folder>\outages.csv".
struct LogPlace {
    std::vector<std::string> folders;  // to create first, outermost first
    std::string file;
};
LogPlace ChooseOutageLogPlace(const std::string& appDataFolder, const std::string& programFolder);

// Where the log goes, asked when it is first needed: finding the place may take the system a while,
// and nothing is written at start-up.
using LogPlaceSource = std::function<LogPlace()>;

// Appends lines to one file, a header first when the file is new or empty. Lines that could not be
// written wait in memory for the next try. A failure is reported once, until a write succeeds.
class AppendLog {
public:
    AppendLog(TextFiles& files, LogPlaceSource place, std::string header)
        : files_(files), source_(std::move(place)), header_(std::move(header)) {}

    void Add(const std::string& line) { waiting_ += line; }
    bool Waiting() const { return !waiting_.empty(); }
    // Writes what waits. The notice to show when this write failed after one that succeeded (or
    // after none); empty otherwise.
    std::string Flush();
    const std::string& File() const { return Place().file; }

private:
    const LogPlace& Place() const;

    TextFiles& files_;
    LogPlaceSource source_;
    mutable std::optional<LogPlace> place_;
    std::string header_;
    std::string waiting_;
    bool failing_ = false;
};

}  // namespace zv
