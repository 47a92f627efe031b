// What Pulsiva tells the user about the line outside its window: the tray tooltip, the balloon when
// an outage begins and ends, and which icon record and balloons the system's shell knows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "keepalive/ping_stats.h"

namespace zv {

// "4 min 20 s", "35 s", "1 h 5 min": the largest two units, a zero second part left out.
std::string DurationText(std::int64_t seconds);
// "14:05:10".
std::string ClockText(const CivilTime& t);

// "Line down: <host> has not answered since 14:05:10 (3 pings lost)".
std::string LineDownText(const std::string& host, const CivilTime& since, int lost);
// "Line back: <host> answers again after 4 min 20 s".
std::string LineBackText(const std::string& host, std::int64_t seconds);

// The tray tooltip: "Pulsiva: <host> 21 ms", "Pulsiva: <host> no answer", "Pulsiva: <host> down since
// 14:05:10"; "Pulsiva" before the first ping and while pinging is stopped.
struct LineTip {
    bool pinging = false;
    bool pinged = false;  // a result since pinging started
    std::string host;
    PingOutcome last;
    std::optional<CivilTime> downSince;
};
std::string TrayTipText(const LineTip& line);

// The shell's version as DllGetVersion gives it, and the Windows family the program runs on.
struct ShellVersion {
    unsigned major = 4;
    unsigned minor = 0;
};
// Balloon tips came with Shell32 5.0, which only Windows Me and 2000 and later carry. The family is
// asked too: a shell that reports 5.0 or later on 95, 98 or NT 4 (Wine does so for every version)
// has not got the balloons those systems never had.
bool BalloonTipsAvailable(ShellVersion shell, bool familyHasBalloonShell);
// The icon record's size as that shell reads it: 88 bytes before 5.0, 488 from 5.0, 504 from 6.0
// (32-bit sizes; `pointerSize` 8 for a 64-bit build, whose handles are wider).
unsigned NotifyIconRecordSize(ShellVersion shell, unsigned pointerSize = sizeof(void*));
// The tooltip's room in that record, with its NUL: 64 characters before 5.0, 128 from then on.
unsigned TrayTipRoom(ShellVersion shell);

// The outage's two alerts, decided after each ping from the outage tracker's state before and after
// it: one when an outage opens, one when it closes; none when alerts are off.
struct OutageAlert {
    bool down = false;  // the line went down; false: it came back
    std::string text;
};
std::optional<OutageAlert> AlertForPing(bool wasOpen, bool isOpen, const std::string& host, const CivilTime& since,
                                        int lost, std::int64_t downSeconds);

}  // namespace zv
