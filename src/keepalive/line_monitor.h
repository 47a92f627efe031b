// The line's watch: statistics, the chart's timed record and the outage log, fed by the ping loop;
// the window shows its ready-made texts.
//
// The window's share: loop.SetObserver(&watch); after every clock tick show StatsLine(), Tooltip()
// and any TakeNotice(); Close() when it unloads; SaveActivityText() for "Save Activity".
#pragma once

#include <string>

#include "keepalive/line_alert.h"
#include "keepalive/outage_log.h"
#include "keepalive/ping_loop.h"
#include "keepalive/ping_stats.h"

namespace zv {

class LineMonitor : public PingObserver {
public:
    LineMonitor(Clock& clock, TextFiles& files, LogPlaceSource outageLog);
    LineMonitor(Clock& clock, TextFiles& files, LogPlace outageLog)
        : LineMonitor(clock, files, [outageLog] { return outageLog; }) {}

    // "OutageLosses": the losses in a row that make an outage.
    void SetOutageLosses(int losses) { outages_.SetLosses(losses); }
    int OutageLosses() const { return outages_.Losses(); }

    // PingObserver. Since-start figures begin again at every start; the chart's record follows the
    // history. Stopping while the line is down logs the outage with an empty end, as closing does.
    void PingStarted() override;
    void PingRecorded(const PingOutcome& outcome) override;
    void PingStopped() override;
    void ActivityCleared() override;
    // The program ends: an open outage is logged with an empty end and the duration so far.
    void Close();

    const PingFigures& SinceStart() const { return sinceStart_; }
    const ActivityRecord& Activity() const { return activity_; }
    std::string StatsLine() const { return StatsLineText(sinceStart_); }
    std::string Tooltip() const { return StatsTooltipText(sinceStart_, activity_.Figures()); }
    std::string SaveActivityText() const { return ActivityCsv(activity_); }
    const std::string& OutageLogFile() const { return log_.File(); }

    // The line is down: an outage is open. Its first loss's time for the tooltip.
    bool LineDown() const { return outages_.Open(); }
    // The tray tooltip for the last ping.
    std::string TrayTip() const;
    // The alert of the last ping, when it opened or closed an outage; taking it clears it.
    std::optional<OutageAlert> TakeAlert();

    // Set when the outage log could not be written, once until it can be again. Show it outside
    // the ping cycle (a modal box inside it would hold up the clock); taking it clears it.
    std::string TakeNotice();

private:
    void Log(const std::string& line);

    Clock& clock_;
    PingFigures sinceStart_;
    ActivityRecord activity_;
    OutageTracker outages_;
    AppendLog log_;
    std::string notice_;
    std::optional<OutageAlert> alert_;
    bool pinging_ = false;
    bool pinged_ = false;
    PingOutcome last_;
};

}  // namespace zv
