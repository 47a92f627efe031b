// Tooltip, outage balloon texts and the shell's balloon support.
#include "keepalive/line_alert.h"

#include <cstdio>

namespace zv {

std::string DurationText(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    const std::int64_t h = seconds / 3600, m = seconds % 3600 / 60, s = seconds % 60;
    auto part = [](std::int64_t n, const char* unit) { return std::to_string(n) + " " + unit; };
    if (h > 0) return m ? part(h, "h") + " " + part(m, "min") : part(h, "h");
    if (m > 0) return s ? part(m, "min") + " " + part(s, "s") : part(m, "min");
    return part(s, "s");
}

std::string ClockText(const CivilTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

std::string LineDownText(const std::string& host, const CivilTime& since, int lost) {
    return "Line down: " + host + " has not answered since " + ClockText(since) + " (" + std::to_string(lost) +
           (lost == 1 ? " ping lost)" : " pings lost)");
}

std::string LineBackText(const std::string& host, std::int64_t seconds) {
    return "Line back: " + host + " answers again after " + DurationText(seconds);
}

std::string TrayTipText(const LineTip& line) {
    if (!line.pinging || !line.pinged) return "Pulsiva";
    const std::string head = "Pulsiva: " + line.host;
    if (line.downSince) return head + " down since " + ClockText(*line.downSince);
    if (!line.last.answered) return head + " no answer";
    return head + " " + std::to_string(line.last.rttMs) + " ms";
}

bool BalloonTipsAvailable(ShellVersion shell, bool familyHasBalloonShell) {
    return shell.major >= 5 && familyHasBalloonShell;
}

unsigned NotifyIconRecordSize(ShellVersion shell, unsigned pointerSize) {
    // Past the 88 bytes: a longer tip (64 more), state and mask, the balloon's text, time-out, title
    // and flags; then, from 6.0, a GUID.
    // In a 64-bit build hWnd and hIcon are 8 bytes, and each follows a 4-byte field that is padded to 8.
    const unsigned wide = pointerSize == 8 ? 16 : 0;
    const unsigned first = 88 + wide;
    if (shell.major < 5) return first;
    const unsigned second = first + 64 + 4 + 4 + 256 + 4 + 64 + 4;
    return shell.major < 6 ? second : second + 16;
}

unsigned TrayTipRoom(ShellVersion shell) { return shell.major < 5 ? 64 : 128; }

std::optional<OutageAlert> AlertForPing(bool wasOpen, bool isOpen, const std::string& host, const CivilTime& since,
                                        int lost, std::int64_t downSeconds) {
    if (!wasOpen && isOpen) return OutageAlert{true, LineDownText(host, since, lost)};
    if (wasOpen && !isOpen) return OutageAlert{false, LineBackText(host, downSeconds)};
    return std::nullopt;
}

}  // namespace zv
