// The real network layer under Wine: wsock32 and the ICMP functions; with the echo responder in a
// network namespace of the test's own (scripts/netns-session), the true round-trip times.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <vector>

#include "keepalive/activity_chart.h"
#include "keepalive/tray.h"
#include "platform/echo.h"
#include "keepalive/win32/resource.h"
#include "keepalive/win32/system_line_files.h"
#include "platform/win32/system_net_api.h"
#include "support/netns_responder.h"
#include "support/remote.h"
#include "support/tray_probe.h"
#include "support/wintest.h"

namespace zv {
namespace {

// ---- without the namespace: nothing is sent --------------------------------------------------------

TEST(IcmpLibraries, IcmpDllServesAndIphlpapiStandsIn) {
    EXPECT_EQ(SystemNetApi().IcmpLibrary(), "icmp.dll");
    EXPECT_EQ(SystemNetApi({"zv-no-such.dll", "iphlpapi.dll"}).IcmpLibrary(), "iphlpapi.dll");

    SystemNetApi none({"zv-no-such.dll"});
    EXPECT_EQ(none.IcmpLibrary(), "");
    EXPECT_EQ(none.IcmpCreateFile(), 0u);
    EchoReply reply{};
    EXPECT_EQ(WinsockPing(none).SendEcho("127.0.0.1", kEchoRequestData, reply), 0) << "no handle: nothing sent";
}

TEST(WinsockRoutines, DottedAddressResolvesToItself) {
    SystemNetApi api;
    WinsockPing ping(api);
    ASSERT_TRUE(ping.StartSockets());
    EXPECT_EQ(ping.ResolveHost("127.0.0.1"), "127.0.0.1");
    EchoReply reply{};
    EXPECT_EQ(ping.SendEcho(kUnableToResolve, kEchoRequestData, reply), -1);
    EXPECT_EQ(ping.SendEcho("255.255.255.255", kEchoRequestData, reply), -1) << "inet_addr cannot tell it from none";
    ping.StopSockets();
}

// ---- inside the namespace, with the responder ---------------------------------------------------

using zvtest::kLoadSlackMs;
using zvtest::Responder;

TEST(NetnsEcho, ReplyRecordIsFilledByEitherLibrary) {
    NETNS_RESPONDER_OR_SKIP(responder);
    responder.SetDelay(5);
    for (const char* library : {"icmp.dll", "iphlpapi.dll"}) {
        SystemNetApi api({library});
        WinsockPing ping(api);
        ASSERT_TRUE(ping.StartSockets());
        EchoReply reply{};
        EXPECT_EQ(ping.SendEcho("127.0.0.1", kEchoRequestData, reply), 0) << library;
        EXPECT_EQ(reply.Address, 0x0100007Fu) << library;
        EXPECT_EQ(reply.DataSize, 56) << library;
        auto base = reinterpret_cast<std::uintptr_t>(&reply);
        ASSERT_GE(reply.DataPointer, base + offsetof(EchoReply, Data)) << library << ": the data lands inside the record";
        ASSERT_LE(reply.DataPointer + 56, base + sizeof reply) << library;
        EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(reply.DataPointer)),
                              kEchoRequestData.data(), 56),
                  0)
            << library;
        EXPECT_GT(reply.Ttl, 0) << library;
        // The delay is a floor; a loaded machine (tests share two cores) only ever adds to it.
        EXPECT_GE(reply.RoundTripTime, 4u) << library;
        EXPECT_LE(reply.RoundTripTime, 5u + kLoadSlackMs) << library;
        ping.StopSockets();
    }
}

TEST(NetnsEcho, RoundTripTimeIsTheRespondersDelay) {
    NETNS_RESPONDER_OR_SKIP(responder);
    for (int delay : {40, 120}) {
        responder.SetDelay(delay);
        int before = responder.Replies();
        SystemNetApi api;
        WinsockPing ping(api);
        std::vector<std::uint32_t> rtts;
        for (int i = 0; i < 7; ++i) {
            ASSERT_TRUE(ping.StartSockets());
            EchoReply reply{};
            EXPECT_EQ(ping.SendEcho(ping.ResolveHost("127.0.0.1"), kEchoRequestData, reply), 0) << "delay " << delay;
            ping.StopSockets();
            EXPECT_GE(reply.RoundTripTime, static_cast<std::uint32_t>(delay - 1)) << "delay " << delay << " echo " << i;
            EXPECT_LE(reply.RoundTripTime, static_cast<std::uint32_t>(delay) + kLoadSlackMs)
                << "delay " << delay << " echo " << i;
            rtts.push_back(reply.RoundTripTime);
        }
        // Load delays some echoes; the quickest of seven shows the delay itself.
        std::sort(rtts.begin(), rtts.end());
        EXPECT_NEAR(rtts.front(), delay, 2) << "quickest at delay " << delay;
        // The responder writes its line just after the reply has left.
        zvtest::WaitFor([&] { return responder.Replies() - before >= 7; }, 2000);
        EXPECT_EQ(responder.Replies() - before, 7) << "every echo went to the responder";
    }
}

TEST(NetnsEcho, AnswerSlowerThanTheTimeOutLeavesZero) {
    NETNS_RESPONDER_OR_SKIP(responder);
    responder.SetDelay(700);
    SystemNetApi api;
    WinsockPing ping(api);
    ASSERT_TRUE(ping.StartSockets());
    EchoReply reply{};
    DWORD start = GetTickCount();
    EXPECT_EQ(ping.SendEcho("127.0.0.1", kEchoRequestData, reply), 11010) << "IP_REQ_TIMED_OUT";
    DWORD waited = GetTickCount() - start;
    ping.StopSockets();
    EXPECT_EQ(reply.RoundTripTime, 0u);
    EXPECT_GE(waited, 450u);
    EXPECT_LT(waited, 690u) << "gave up after about 500 ms";
    Sleep(400);  // let the late answer arrive before the next test
}

TEST(NetnsEcho, UnresolvableNameSendsNothing) {
    NETNS_RESPONDER_OR_SKIP(responder);
    responder.SetDelay(20);
    int before = responder.Replies();
    SystemNetApi api;
    WinsockPing ping(api);
    ASSERT_TRUE(ping.StartSockets());
    std::string address = ping.ResolveHost("nosuch.invalid");
    EXPECT_EQ(address, "Unable to resolve domain name.");
    EchoReply reply{};
    EXPECT_EQ(ping.SendEcho(address, kEchoRequestData, reply), -1);
    ping.StopSockets();
    EXPECT_EQ(reply.RoundTripTime, 0u);
    Sleep(200);
    EXPECT_EQ(responder.Replies(), before);
}

// ---- pulsiva.exe in the namespace -----------------------------------------------------------------

struct RunningPulsiva {
    zvtest::Process process;
    HWND window = nullptr;

    explicit RunningPulsiva(const char* family) {
        zvtest::ForgetPulsiva();
        zvtest::SetWineVersion("pulsiva.exe", family);
        process = zvtest::Process("\"" + zvtest::ProgramDir() + "\\pulsiva.exe\"");
        if (process.Started()) window = zvtest::WaitForWindow(process.Id(), "Pulsiva", 30000);
        if (window) zvtest::Settle(process.Handle());
    }
    ~RunningPulsiva() {
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        process.WaitExit(10000);
        zvtest::ForgetPulsiva();  // the settings and autostart entry it stored when it ended
    }
    HWND Item(int id) const { return GetDlgItem(window, id); }
    void Click(int id) const {
        SendMessageTimeoutA(Item(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        zvtest::Settle(process.Handle(), 1000);
    }
    std::string Status() const { return zvtest::StatusBarText(Item(IDC_StatusBar1)); }
    void SetSite(const std::string& site) const {
        SendMessageTimeoutA(Item(IDC_txtDomain), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(site.c_str()),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    zvtest::ScreenPixels Chart() const { return zvtest::CaptureClient(Item(IDC_ChartPict)); }
    // The round-trip time of the status text "Ping Result for <site> :<rtt> ms", waited for.
    std::optional<int> WaitForResult(const std::string& site, std::function<bool(int)> accept, DWORD ms) const {
        const std::string prefix = "Ping Result for " + site + " :";
        std::optional<int> rtt;
        zvtest::WaitFor(
            [&] {
                std::string s = Status();
                if (s.rfind(prefix, 0) != 0 || s.size() < prefix.size() + 3 || s.substr(s.size() - 3) != " ms") return false;
                int value = std::stoi(s.substr(prefix.size()));
                if (!accept(value)) return false;
                rtt = value;
                return true;
            },
            ms);
        return rtt;
    }
};

// The row of a time in a chart of that height at 96 DPI: two twips a millisecond up from the
// bottom row, where 0 ms lies.
int RowOf(int ms, int height) { return height - 1 - zv::TwipsToPixels(ms * 2, 96); }

// Where the newest sample of `ms` lands in the chart picture: rows around that time's height.
int BluePixelsNearRow(const zvtest::ScreenPixels& chart, int row, int fromX) {
    int n = 0;
    for (int y = std::max(0, row - 1); y <= std::min(chart.height - 1, row + 1); ++y)
        for (int x = fromX; x < chart.width; ++x) n += chart.At(x, y) == kRgbChartLine;
    return n;
}

TEST(NetnsPulsiva, PingsTheResponderChartsTheTimeAndStops) {
    NETNS_RESPONDER_OR_SKIP(responder);
    responder.SetDelay(60);
    RunningPulsiva app("win98");
    ASSERT_NE(app.window, nullptr) << "pulsiva.exe showed no window";
    zvtest::SaveScreenshot(app.window, "pulsiva-startup");
    EXPECT_FALSE(IsWindowEnabled(app.Item(IDC_cmdPing))) << "pinging from the first moment";
    EXPECT_TRUE(IsWindowEnabled(app.Item(IDC_Command1)));

    app.Click(IDC_Command1);
    EXPECT_TRUE(IsWindowEnabled(app.Item(IDC_cmdPing)));
    app.SetSite("127.0.0.1");
    zvtest::Settle(app.process.Handle(), 1000);
    zvtest::SaveScreenshot(app.window, "pulsiva-idle");
    int before = responder.Replies();
    app.Click(IDC_cmdPing);
    EXPECT_EQ(app.Chart().Count(kRgbChartLine), 0) << "no sample yet";

    std::optional<int> rtt = app.WaitForResult("127.0.0.1", [](int) { return true; }, 30000);
    ASSERT_TRUE(rtt) << "no ping result; status reads '" << app.Status() << "'";
    // The delay is a floor; a loaded machine only ever adds to it.
    EXPECT_GE(*rtt, 59) << "the status bar shows the responder's delay";
    EXPECT_LE(*rtt, 60 + static_cast<int>(kLoadSlackMs)) << "the status bar shows the responder's delay";
    EXPECT_GE(responder.Replies() - before, 1);
    zvtest::ScreenPixels chart = app.Chart();
    int row = RowOf(60, chart.height);
    EXPECT_GT(BluePixelsNearRow(chart, row, chart.width - 6), 0)
        << "the newest sample is drawn at the right edge, row " << row;

    // More samples at other delays, for a chart worth looking at.
    for (int delay : {180, 320, 240}) {
        responder.SetDelay(delay);
        // Less slack than elsewhere, so that the previous delay's reading is not taken for this one's.
        rtt = app.WaitForResult("127.0.0.1", [delay](int v) { return v >= delay - 1 && v <= delay + 50; }, 30000);
        EXPECT_TRUE(rtt) << "delay " << delay << "; status reads '" << app.Status() << "'";
    }
    chart = app.Chart();
    EXPECT_GT(BluePixelsNearRow(chart, RowOf(240, chart.height), chart.width - 6), 0);
    EXPECT_GT(chart.Count(kRgbChartLine), 20);
    zvtest::SaveScreenshot(app.window, "pulsiva-pinging");

    app.Click(IDC_Command1);
    EXPECT_EQ(app.Status(), "");
    EXPECT_FALSE(IsWindowEnabled(app.Item(IDC_Command1))) << "&Cancel Ping greyed";
    EXPECT_FALSE(IsWindowEnabled(app.Item(IDC_cmdResetActivity))) << "&Reset Activity greyed";
    EXPECT_TRUE(IsWindowEnabled(app.Item(IDC_cmdPing)));
    EXPECT_TRUE(IsWindowEnabled(app.Item(IDC_txtDomain)));
    EXPECT_EQ(app.Chart().Count(kRgbChartLine), 0) << "stop leaves the grid only";
    zvtest::SaveScreenshot(app.window, "pulsiva-stopped");
}

std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(NetnsPulsiva, FourUnansweredIntervalsMakeOneOutageLine) {
    NETNS_RESPONDER_OR_SKIP(responder);
    responder.SetDelay(20);
    const std::string log = SystemOutageLogPlace().file;
    DeleteFileA(log.c_str());
    RunningPulsiva app("winxp");
    ASSERT_NE(app.window, nullptr) << "pulsiva.exe showed no window";
    app.Click(IDC_Command1);
    app.SetSite("127.0.0.1");
    app.Click(IDC_cmdPing);
    auto stats = [&] { return zvtest::WindowText(app.Item(IDC_lblStats)); };
    auto waitForStats = [&](const std::string& start, DWORD ms) {
        return zvtest::WaitFor([&] { return stats().rfind(start, 0) == 0; }, ms);
    };
    ASSERT_TRUE(waitForStats("Sent 1, answered 1, lost 0 (0 %)  Min/Avg/Max ", 30000)) << stats();

    responder.Silence();
    ASSERT_TRUE(waitForStats("Sent 5, answered 1, lost 4 (80 %)", 70000)) << stats();
    responder.SetDelay(20);
    ASSERT_TRUE(waitForStats("Sent 6, answered 2, lost 4 (67 %)", 30000)) << stats();
    zvtest::ScreenPixels chart = app.Chart();
    EXPECT_GE(chart.Count(kRgbLossMark), 4 * 5) << "a red mark under each lost ping";
    zvtest::SaveScreenshot(app.window, "pulsiva-outage");

    std::vector<std::string> lines = FileLines(log);
    ASSERT_EQ(lines.size(), 2u) << "a header and one outage, in " << log;
    EXPECT_EQ(lines[0], "Start,End,Duration (s),Pings lost,Host");
    // start,end,duration,lost,host: four intervals of ten seconds from the first loss to the answer.
    std::vector<std::string> fields;
    std::stringstream line(lines[1]);
    for (std::string field; std::getline(line, field, ',');) fields.push_back(field);
    ASSERT_EQ(fields.size(), 5u) << lines[1];
    EXPECT_EQ(fields[0].size(), 19u) << lines[1];
    EXPECT_EQ(fields[1].size(), 19u) << "the outage has ended: " << lines[1];
    EXPECT_NEAR(std::stoi(fields[2]), 40, 5) << lines[1];
    EXPECT_EQ(fields[3], "4") << lines[1];
    EXPECT_EQ(fields[4], "127.0.0.1") << lines[1];
}

// What the tray shows during an outage, looked at every quarter second: each balloon text as it
// appears (the shell's balloon is a tooltip with TTS_BALLOON) and whether the down picture is there.
struct TrayWatch {
    std::vector<std::string> balloons;
    bool down = false;

    static BOOL CALLBACK Balloon(HWND h, LPARAM lp) {
        char cls[32] = {};
        GetClassNameA(h, cls, sizeof cls);
        auto* seen = reinterpret_cast<std::vector<std::string>*>(lp);
        if (!lstrcmpiA(cls, "tooltips_class32") && IsWindowVisible(h) && (GetWindowLongA(h, GWL_STYLE) & 0x40)) {
            std::string text = zvtest::WindowText(h);
            if (!text.empty() && (seen->empty() || seen->back() != text)) seen->push_back(text);
        }
        return TRUE;
    }
    void Look() {
        EnumWindows(Balloon, reinterpret_cast<LPARAM>(&balloons));
        // The red of the down picture's badge, inside its rim.
        down = zvtest::CaptureClient(zvtest::Taskbar()).Count(TrayDownPicture().At(7, 3)) >= 20;
    }
    bool LookUntil(const std::function<bool()>& done, DWORD ms) {
        const DWORD start = GetTickCount();
        for (Look(); !done(); Look()) {
            if (GetTickCount() - start > ms) return false;
            Sleep(250);
        }
        return true;
    }
};

// Four intervals without answers: the down picture from the third loss, and where the shell has
// balloons one "down" balloon then one "back" balloon when the responder answers again.
TEST(NetnsPulsiva, AnOutageShowsTheDownPictureAndBalloonsWhereTheShellHasThem) {
    NETNS_RESPONDER_OR_SKIP(responder);
    const struct {
        const char* family;
        bool balloons;
    } families[] = {{"winxp", true}, {"win98", false}};
    for (const auto& f : families) {
        responder.SetDelay(20);
        RunningPulsiva app(f.family);
        ASSERT_NE(app.window, nullptr) << f.family;
        app.Click(IDC_Command1);
        app.SetSite("127.0.0.1");
        app.Click(IDC_cmdPing);
        auto stats = [&] { return zvtest::WindowText(app.Item(IDC_lblStats)); };
        auto statsAre = [&](const std::string& start) { return [&, start] { return stats().rfind(start, 0) == 0; }; };
        TrayWatch tray;
        ASSERT_TRUE(tray.LookUntil(statsAre("Sent 1, answered 1,"), 30000)) << f.family << ": " << stats();
        EXPECT_FALSE(tray.down) << f.family;

        responder.Silence();
        ASSERT_TRUE(tray.LookUntil(statsAre("Sent 4, answered 1, lost 3"), 50000)) << f.family << ": " << stats();
        EXPECT_TRUE(tray.LookUntil([&] { return tray.down; }, 3000)) << f.family << ": the down picture";
        // The shell shows a balloon two seconds after it was asked for.
        if (f.balloons) tray.LookUntil([&] { return !tray.balloons.empty(); }, 5000);
        zvtest::SaveDesktopScreenshot(std::string("pulsiva-line-down-") + f.family);
        ASSERT_TRUE(tray.LookUntil(statsAre("Sent 5, answered 1, lost 4"), 20000)) << f.family << ": " << stats();
        EXPECT_TRUE(tray.down) << f.family << ": down while the answers stay away";
        responder.SetDelay(20);
        ASSERT_TRUE(tray.LookUntil(statsAre("Sent 6, answered 2"), 20000)) << f.family << ": " << stats();
        EXPECT_TRUE(tray.LookUntil([&] { return !tray.down; }, 3000)) << f.family << ": the animation is back";
        tray.LookUntil([&] { return tray.balloons.size() >= 2; }, 5000);

        if (!f.balloons) {
            EXPECT_TRUE(tray.balloons.empty()) << f.family << ": " << tray.balloons[0];
            continue;
        }
        ASSERT_EQ(tray.balloons.size(), 2u) << f.family;
        EXPECT_EQ(tray.balloons[0].rfind("Line down: 127.0.0.1 has not answered since ", 0), 0u) << tray.balloons[0];
        EXPECT_NE(tray.balloons[0].find(" (3 pings lost)"), std::string::npos) << tray.balloons[0];
        EXPECT_EQ(tray.balloons[1].rfind("Line back: 127.0.0.1 answers again after ", 0), 0u) << tray.balloons[1];
    }
}

TEST(NetnsPulsiva, UnresolvableSiteShowsZero) {
    NETNS_RESPONDER_OR_SKIP(responder);
    responder.SetDelay(30);
    RunningPulsiva app("winxp");
    ASSERT_NE(app.window, nullptr) << "pulsiva.exe showed no window";
    app.Click(IDC_Command1);
    app.SetSite("nosuch.invalid");
    int before = responder.Replies();
    app.Click(IDC_cmdPing);
    std::optional<int> rtt = app.WaitForResult("nosuch.invalid", [](int) { return true; }, 30000);
    ASSERT_TRUE(rtt) << "no ping result; status reads '" << app.Status() << "'";
    EXPECT_EQ(app.Status(), "Ping Result for nosuch.invalid :0 ms");
    EXPECT_EQ(responder.Replies(), before) << "nothing was sent";
}

}  // namespace
}  // namespace zv
