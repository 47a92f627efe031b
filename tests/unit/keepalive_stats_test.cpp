// Loss, round-trip and jitter figures, the chart's timed record and the outage log, driven by echo
// results as the ping loop reports them, a stepped clock and an in-memory file system.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <sstream>

#include "keepalive/line_monitor.h"

namespace zv {
namespace {

// A ping token as the echo leaves it: a number is an answer in that many ms, "x" a time-out the
// system reported, "0" a record left clear (no ICMP handle), "?" a site that does not resolve.
PingOutcome Echo(const std::string& host, const std::string& token) {
    EchoReply reply{};
    if (token != "0" && token != "?") reply.Address = 0x0A0200C0;
    reply.Status = token == "x" ? 11010 : 0;
    reply.RoundTripTime = std::isdigit(static_cast<unsigned char>(token[0])) ? std::stoul(token) : 0;
    return ClassifyEcho(host, token == "?" ? -1 : static_cast<std::int32_t>(reply.Status), reply);
}

// Seconds past noon (under an hour), local time two hours ahead of universal time.
struct SteppedClock : Clock {
    int seconds = 0;
    ClockReading Now() override {
        return {{2024, 5, 6, 12, seconds / 60, seconds % 60}, {2024, 5, 6, 10, seconds / 60, seconds % 60}};
    }
};

struct MemoryFiles : TextFiles {
    std::map<std::string, std::string> files;
    bool refuse = false;
    std::int64_t FileSize(const std::string& path) override {
        return files.count(path) ? static_cast<std::int64_t>(files[path].size()) : -1;
    }
    bool CreateFolder(const std::string&) override { return !refuse; }
    bool Append(const std::string& path, const std::string& text) override {
        if (!refuse) files[path] += text;
        return !refuse;
    }
};

constexpr char kLog[] = "C:\\Data\\Quonibar\\Pulsiva\\outages.csv";
constexpr char kHeader[] = "Start,End,Duration (s),Pings lost,Host\r\n";

struct Rig {
    SteppedClock clock;
    MemoryFiles files;
    LineMonitor watch{clock, files, ChooseOutageLogPlace("C:\\Data", "C:\\Program Files\\Quonibar")};
    std::string site = "www.quonibar.example";
    Rig() { watch.PingStarted(); }
    // Space-separated tokens: pings as above ("20*3" for three), "stop", "start", "reset", "close",
    // "N<count>" and "@<site>". Every one is ten seconds after the one before.
    void Run(const std::string& tokens) {
        std::istringstream in(tokens);
        for (std::string t; in >> t;) {
            const std::size_t star = t.find('*');
            const int times = star == std::string::npos ? 1 : std::stoi(t.substr(star + 1));
            for (int i = 0; i < times; ++i) Step(t.substr(0, star));
        }
    }
    void Step(const std::string& t) {
        clock.seconds += 10;
        if (t == "stop") watch.PingStopped();
        else if (t == "start") watch.PingStarted();
        else if (t == "reset") watch.ActivityCleared();
        else if (t == "close") watch.Close();
        else if (t[0] == 'N') watch.SetOutageLosses(std::stoi(t.substr(1)));
        else if (t[0] == '@') site = t.substr(1);
        else watch.PingRecorded(Echo(site, t));
    }
    std::string Marks() const {
        std::string marks;
        for (bool lost : watch.Activity().LossMarks()) marks += lost ? 'x' : '.';
        return marks.substr(kHistorySize - 8);
    }
};

// 2024-05-06 12:00:00 local plus that many seconds, under an hour.
std::string At(int seconds) { return TimeText({2024, 5, 6, 12, seconds / 60, seconds % 60}); }
// An outage's line; no end: still open when pinging ended.
std::string Out(int start, int end, int seconds, int lost, const std::string& host = "www.quonibar.example") {
    return At(start) + "," + (end ? At(end) : "") + "," + std::to_string(seconds) + "," + std::to_string(lost) + "," +
           host + "\r\n";
}

TEST(LineWatch, SequencesDriveFiguresMarksAndOutages) {
    const std::string h = kHeader;
    struct Case {
        std::string tokens, sinceStart, last90 /* empty: the same */, newestMarks, log;
    } cases[] = {
        {"12 15 31 12", "Sent 4, answered 4, lost 0 (0 %)  Min/Avg/Max 12/18/31 ms  Jitter 12.7 ms", "", "", ""},
        {"20 x 0 ? 40", "Sent 5, answered 2, lost 3 (60 %)  Min/Avg/Max 20/30/40 ms  Jitter 20.0 ms", "", "xxx.", h + Out(20, 50, 30, 3)},
        {"10 x x 10 x", "Sent 5, answered 2, lost 3 (60 %)  Min/Avg/Max 10/10/10 ms  Jitter 0.0 ms", "", "xx.x", ""},
        {"N2 10 x x 10", "Sent 4, answered 2, lost 2 (50 %)  Min/Avg/Max 10/10/10 ms  Jitter 0.0 ms", "", "xx.", h + Out(30, 50, 20, 2)},
        {"N5 x x x x 10", "Sent 5, answered 1, lost 4 (80 %)  Min/Avg/Max 10/10/10 ms  Jitter -", "", "xxxx.", ""},
        {"x x N2 10", "Sent 3, answered 1, lost 2 (67 %)  Min/Avg/Max 10/10/10 ms  Jitter -", "", "xx.", h + Out(10, 40, 30, 2)},
        {"10 x x x x close", "Sent 5, answered 1, lost 4 (80 %)  Min/Avg/Max 10/10/10 ms  Jitter -", "", "xxxx", h + Out(20, 0, 40, 4)},
        {"x x x stop start 10 close", "Sent 1, answered 1, lost 0 (0 %)  Min/Avg/Max 10/10/10 ms  Jitter -", "", "", h + Out(10, 0, 30, 3)},
        {"", "Sent 0, answered 0, lost 0 (-)  Min/Avg/Max -  Jitter -", "", "", ""},
        {"x ?", "Sent 2, answered 0, lost 2 (100 %)  Min/Avg/Max -  Jitter -", "", "xx", ""},
        {"x 20*94", "Sent 95, answered 94, lost 1 (1 %)  Min/Avg/Max 20/20/20 ms  Jitter 0.0 ms",
         "Sent 90, answered 90, lost 0 (0 %)  Min/Avg/Max 20/20/20 ms  Jitter 0.0 ms", "", ""},
        {"x 10 reset 30", "Sent 3, answered 2, lost 1 (33 %)  Min/Avg/Max 10/20/30 ms  Jitter 20.0 ms",
         "Sent 1, answered 1, lost 0 (0 %)  Min/Avg/Max 30/30/30 ms  Jitter -", "", ""},
        {"@a,\"b\" x x x 9 x x x 9 close", "Sent 8, answered 2, lost 6 (75 %)  Min/Avg/Max 9/9/9 ms  Jitter 0.0 ms", "", "xxx.xxx.",
         h + Out(20, 50, 30, 3, "\"a,\"\"b\"\"\"") + Out(60, 90, 30, 3, "\"a,\"\"b\"\"\"")},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Run(c.tokens);
        EXPECT_EQ(rig.watch.StatsLine(), c.sinceStart) << c.tokens;
        EXPECT_EQ(StatsLineText(rig.watch.Activity().Figures()), c.last90.empty() ? c.sinceStart : c.last90) << c.tokens;
        EXPECT_EQ(rig.Marks(), std::string(8 - c.newestMarks.size(), '.') + c.newestMarks) << c.tokens;
        EXPECT_EQ(rig.files.files[kLog], c.log) << c.tokens;
    }
}

TEST(LineWatch, TooltipAndSavedActivityShowBothScopesAndLosses) {
    Rig rig;
    rig.Run("@a,b 12 x reset 30 ?");
    EXPECT_EQ(rig.watch.Tooltip(),
              "Since Ping start: sent 4, lost 2 (50.0%)\r\nMin/Avg/Max 12/21/30 ms, jitter 18.0 ms\r\n"
              "Last 90 pings: sent 2, lost 1 (50.0%)\r\nMin/Avg/Max 30/30/30 ms, jitter -");
    EXPECT_EQ(rig.watch.SaveActivityText(),
              "Time,Host,Round trip (ms)\r\n" + At(50) + ",\"a,b\",30\r\n" + At(60) + ",\"a,b\",\r\n");
}

TEST(LineWatch, AnUnwritableLogIsReportedOnceAndItsLinesWaitForTheNextWrite) {
    Rig rig;
    rig.files.refuse = true;
    rig.Run("x x x 10");
    EXPECT_NE(rig.watch.TakeNotice().find(kLog), std::string::npos) << "the first failure is reported";
    rig.Run("x x x 10 20");
    EXPECT_EQ(rig.watch.TakeNotice(), "") << "failing again: no second report";
    EXPECT_EQ(rig.watch.StatsLine().rfind("Sent 9, answered 3, lost 6", 0), 0u) << "pinging went on";
    rig.files.refuse = false;
    rig.Run("30");
    EXPECT_EQ(rig.files.files[kLog], kHeader + Out(10, 40, 30, 3) + Out(50, 80, 30, 3)) << "once, with all that waited";
    rig.files.refuse = true;
    rig.Run("x x x 10");
    EXPECT_NE(rig.watch.TakeNotice(), "") << "after a success, a new failure is reported again";
}

TEST(LineWatch, TheLogsPlaceIsAskedForOnceWhenTheFirstLineIsWritten) {
    SteppedClock clock;
    MemoryFiles files;
    int asked = 0;
    LineMonitor watch{clock, files, [&asked] {
                          ++asked;
                          return ChooseOutageLogPlace("C:\\Data", "C:\\Program Files\\Quonibar");
                      }};
    watch.PingStarted();
    watch.PingRecorded(Echo("h", "10"));
    EXPECT_EQ(asked, 0) << "nothing to write yet";
    for (const char* ping : {"x", "x", "x", "10", "x", "x", "x", "10"}) watch.PingRecorded(Echo("h", ping));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(watch.OutageLogFile(), kLog);
}

TEST(OutageLog, TimesAndDurations) {
    EXPECT_EQ(TimeText({2024, 3, 5, 7, 8, 9}), "2024-03-05 07:08:09");
    EXPECT_EQ(SecondsBetween({2024, 2, 28, 23, 59, 59}, {2024, 3, 1, 0, 0, 0}), 86401) << "leap day";
    // Summer time ends inside the outage: local time goes back, universal time runs on.
    OutageTracker tracker(1);
    tracker.Record({"h", false, 0}, {{2024, 10, 27, 2, 59, 50}, {2024, 10, 27, 0, 59, 50}});
    EXPECT_EQ(tracker.Record({"h", true, 5}, {{2024, 10, 27, 2, 0, 10}, {2024, 10, 27, 1, 0, 10}}),
              "2024-10-27 02:59:50,2024-10-27 02:00:10,20,1,h\r\n");
}

TEST(OutageLog, PlaceAndCsvQuoting) {
    const LogPlace appData = ChooseOutageLogPlace("D:\\Roaming\\", "C:\\Pulsiva");
    EXPECT_EQ(appData.file, "D:\\Roaming\\Quonibar\\Pulsiva\\outages.csv");
    EXPECT_EQ(appData.folders, (std::vector<std::string>{"D:\\Roaming\\Quonibar", "D:\\Roaming\\Quonibar\\Pulsiva"}));
    const LogPlace none = ChooseOutageLogPlace("", "C:\\");
    EXPECT_EQ(none.file, "C:\\outages.csv") << "no application-data folder: beside the program";
    EXPECT_TRUE(none.folders.empty());
    const std::pair<std::string, std::string> fields[] = {
        {"plain.example", "plain.example"}, {"", ""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"a\nb", "\"a\nb\""}};
    for (const auto& [in, out] : fields) EXPECT_EQ(CsvField(in), out) << in;
}

// After each ping: the alert it raised ("down"/"back" text, "-" for none) and the tray tooltip.
TEST(LineAlerts, OneAlertWhenTheOutageOpensAndOneWhenItCloses) {
    struct Case {
        std::string tokens, alerts, lastTip;
    } cases[] = {
        {"21 x", "- -", "Pulsiva: s no answer"},
        {"21 x x x x 9", "- - - Line down: s has not answered since 12:00:20 (3 pings lost) - "
                         "Line back: s answers again after 40 s", "Pulsiva: s 9 ms"},
        {"N1 x", "Line down: s has not answered since 12:00:20 (1 ping lost)", "Pulsiva: s down since 12:00:20"},
        {"x x*25 7", "- Line down: s has not answered since 12:00:10 (3 pings lost) "
                     "Line back: s answers again after 4 min 20 s", "Pulsiva: s 7 ms"},
        {"x x x stop start 5", "- - Line down: s has not answered since 12:00:10 (3 pings lost) - -", "Pulsiva: s 5 ms"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.site = "s";
        std::string alerts;
        std::istringstream in(c.tokens);
        for (std::string t; in >> t;) {
            rig.Run(t);
            if (t[0] == 'N' || t == "start") continue;
            std::optional<OutageAlert> a = rig.watch.TakeAlert();
            alerts += std::string(alerts.empty() ? "" : " ") + (a ? a->text : "-");
        }
        EXPECT_EQ(alerts, c.alerts) << c.tokens;
        EXPECT_EQ(rig.watch.TrayTip(), c.lastTip) << c.tokens;
    }
}

TEST(LineAlerts, DurationsTipsAndTheShellsRecord) {
    for (auto [seconds, text] : std::vector<std::pair<int, std::string>>{
             {0, "0 s"}, {35, "35 s"}, {60, "1 min"}, {260, "4 min 20 s"}, {3600, "1 h"}, {3900, "1 h 5 min"}}) {
        EXPECT_EQ(DurationText(seconds), text) << seconds;
    }
    struct Shell {
        unsigned major, minor;
        bool family, balloons;
        unsigned size32, size64, tip;
    } shells[] = {{4, 72, true, false, 88, 104, 64}, {5, 0, true, true, 488, 504, 128},
                  {6, 0, true, true, 504, 520, 128}, {6, 0, false, false, 504, 520, 128}};
    for (const Shell& s : shells) {
        const ShellVersion v{s.major, s.minor};
        EXPECT_EQ(BalloonTipsAvailable(v, s.family), s.balloons) << s.major << "." << s.minor << " " << s.family;
        EXPECT_EQ(NotifyIconRecordSize(v, 4), s.size32) << s.major;
        EXPECT_EQ(NotifyIconRecordSize(v, 8), s.size64) << s.major;
        EXPECT_EQ(TrayTipRoom(v), s.tip) << s.major;
    }
    EXPECT_EQ(TrayTipText({}), "Pulsiva") << "before the first ping";
}

}  // namespace
}  // namespace zv
