// The launcher, the keep-alive start and the about links: what is started, how, and what is reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/launcher.h"

namespace zv {
namespace {

// Records every start and answers with the configured success.
class RecordingStarter : public ProcessStarter {
public:
    struct Call {
        enum Kind { Run, ShellOpen } kind;
        std::string text;
        ShowMode show;
        OwnerWindow owner;
    };

    bool Run(const std::string& commandLine, ShowMode show) override {
        calls.push_back({Call::Run, commandLine, show, nullptr});
        return succeed;
    }
    bool ShellOpen(OwnerWindow owner, const std::string& file, ShowMode show) override {
        calls.push_back({Call::ShellOpen, file, show, owner});
        return succeed;
    }

    bool succeed = true;
    std::vector<Call> calls;
};

struct Family {
    const char* name;
    std::uint32_t platform, major, minor, build;
};

// Version records as each family reports them.
const Family kFamilies[] = {
    {"Windows 95", 1, 4, 0, (4u << 24) | 950},
    {"Windows 98", 1, 4, 10, (4u << 24) | (10u << 16) | 2222},
    {"Windows Me", 1, 4, 90, (4u << 24) | (90u << 16) | 3000},
    {"Windows NT 4", 2, 4, 0, 1381},
    {"Windows 2000", 2, 5, 0, 2195},
    {"Windows XP", 2, 5, 1, 2600},
};

COpSysInfo OsOf(const Family& f) {
    return COpSysInfo([f](OsVersionRecord& rec) {
        rec.dwPlatformId = f.platform;
        rec.dwMajorVersion = f.major;
        rec.dwMinorVersion = f.minor;
        rec.dwBuildNumber = f.build;
        return true;
    });
}

bool Is9x(const Family& f) { return f.platform == 1; }

OwnerWindow const kOwner = reinterpret_cast<OwnerWindow>(0x1234);

struct OptionCase {
    LaunchOption option;
    const char* caption;
    RecordingStarter::Call::Kind kind;
    const char* on9x;  // what is run or opened on Windows 95, 98 and Me
    const char* onNt;  // ... on Windows NT 4, 2000 and XP
    ShowMode show;
};

const OptionCase kOptionCases[] = {
    {LaunchOption::NetworkSettings, "Network Settings", RecordingStarter::Call::Run,
     "rundll32.exe shell32.dll,Control_RunDLL netcpl.cpl", "rundll32.exe shell32.dll,Control_RunDLL ncpa.cpl",
     ShowMode::Normal},
    {LaunchOption::ModemSettings, "Modem Settings", RecordingStarter::Call::Run,
     "rundll32.exe shell32.dll,Control_RunDLL modem.cpl", "rundll32.exe shell32.dll,Control_RunDLL modem.cpl",
     ShowMode::Normal},
    {LaunchOption::InternetSettings, "Internet Settings", RecordingStarter::Call::Run,
     "rundll32.exe shell32.dll,Control_RunDLL inetcpl.cpl", "rundll32.exe shell32.dll,Control_RunDLL inetcpl.cpl",
     ShowMode::Normal},
    {LaunchOption::IpConfiguration, "IP Configuration", RecordingStarter::Call::Run, "winipcfg", "ipconfig",
     ShowMode::Normal},
    {LaunchOption::DefaultBrowser, "Default Browser", RecordingStarter::Call::ShellOpen,
     "http://www.quonibar.example/", "http://www.quonibar.example/", ShowMode::Normal},
    {LaunchOption::DefaultMailProgram, "Default Mail Program", RecordingStarter::Call::ShellOpen, "mailto:",
     "mailto:", ShowMode::Show},
};

TEST(Launcher, EveryOptionStartsItsCommandOnEveryFamily) {
    for (const OptionCase& c : kOptionCases) {
        for (const Family& f : kFamilies) {
            SCOPED_TRACE(std::string(c.caption) + " on " + f.name);
            RecordingStarter starter;
            LaunchOutcome outcome = Launch(c.option, OsOf(f), starter, kOwner);
            ASSERT_EQ(starter.calls.size(), 1u);
            const auto& call = starter.calls[0];
            EXPECT_EQ(call.kind, c.kind);
            EXPECT_EQ(call.text, Is9x(f) ? c.on9x : c.onNt);
            EXPECT_EQ(call.show, c.show);
            if (call.kind == RecordingStarter::Call::ShellOpen) {
                EXPECT_EQ(call.owner, kOwner);
            }
            EXPECT_TRUE(outcome.started);
            EXPECT_EQ(outcome.message, "");
        }
    }
}

TEST(Launcher, OptionTableMatchesThePage) {
    const char* controls[] = {"Option1", "Option3", "Option4", "Option5", "Option6", "Option7"};
    ASSERT_EQ(std::size(kLaunchOptions), std::size(kOptionCases));
    for (std::size_t i = 0; i < std::size(kLaunchOptions); ++i) {
        EXPECT_EQ(kLaunchOptions[i].option, kOptionCases[i].option) << "row " << i;
        EXPECT_STREQ(kLaunchOptions[i].control, controls[i]) << "row " << i;
        EXPECT_STREQ(kLaunchOptions[i].caption, kOptionCases[i].caption) << "row " << i;
    }
}

TEST(Launcher, CommandLineIsEmptyForWhatTheShellOpens) {
    for (const Family& f : kFamilies) {
        EXPECT_EQ(LaunchCommandLine(LaunchOption::DefaultBrowser, OsOf(f)), "") << f.name;
        EXPECT_EQ(LaunchCommandLine(LaunchOption::DefaultMailProgram, OsOf(f)), "") << f.name;
    }
}

TEST(Launcher, UnknownWindowsRunsIpconfig) {
    // Neither family flag set (Win32s): the IP configuration case falls to ipconfig.
    COpSysInfo os([](OsVersionRecord& rec) {
        rec.dwPlatformId = 0;
        rec.dwMajorVersion = 1;
        rec.dwMinorVersion = 30;
        return true;
    });
    RecordingStarter starter;
    Launch(LaunchOption::IpConfiguration, os, starter, nullptr);
    ASSERT_EQ(starter.calls.size(), 1u);
    EXPECT_EQ(starter.calls[0].text, "ipconfig");
}

TEST(LauncherFailures, IpConfigurationToolsFailSilently) {
    for (const Family& f : kFamilies) {
        RecordingStarter starter;
        starter.succeed = false;
        LaunchOutcome outcome = Launch(LaunchOption::IpConfiguration, OsOf(f), starter, kOwner);
        EXPECT_FALSE(outcome.started) << f.name;
        EXPECT_EQ(outcome.message, "") << f.name;
        EXPECT_EQ(starter.calls.size(), 1u) << f.name << ": a failed start is not retried another way";
    }
}

TEST(LauncherFailures, OtherOptionsNameWhatCouldNotBeStarted) {
    for (const OptionCase& c : kOptionCases) {
        if (c.option == LaunchOption::IpConfiguration) continue;
        for (const Family& f : kFamilies) {
            SCOPED_TRACE(std::string(c.caption) + " on " + f.name);
            RecordingStarter starter;
            starter.succeed = false;
            LaunchOutcome outcome = Launch(c.option, OsOf(f), starter, kOwner);
            EXPECT_FALSE(outcome.started);
            EXPECT_EQ(starter.calls.size(), 1u);
            // The message names what was tried, so the user can try it by hand.
            EXPECT_NE(outcome.message.find(Is9x(f) ? c.on9x : c.onNt), std::string::npos) << outcome.message;
        }
    }
}

TEST(LauncherFailures, MessageTexts) {
    COpSysInfo os = OsOf(kFamilies[1]);
    struct Expected {
        LaunchOption option;
        const char* text;
    } expected[] = {
        {LaunchOption::NetworkSettings,
         "Network Settings could not be started.\r\n\r\n"
         "Tried to run: rundll32.exe shell32.dll,Control_RunDLL netcpl.cpl"},
        {LaunchOption::ModemSettings,
         "Modem Settings could not be started.\r\n\r\n"
         "Tried to run: rundll32.exe shell32.dll,Control_RunDLL modem.cpl"},
        {LaunchOption::InternetSettings,
         "Internet Settings could not be started.\r\n\r\n"
         "Tried to run: rundll32.exe shell32.dll,Control_RunDLL inetcpl.cpl"},
        {LaunchOption::DefaultBrowser,
         "The default browser could not be started.\r\n\r\n"
         "Tried to open: http://www.quonibar.example/\r\n"
         "Check that a web browser is installed and set as the default browser."},
        {LaunchOption::DefaultMailProgram,
         "The default mail program could not be started.\r\n\r\n"
         "Tried to open: mailto:\r\n"
         "Check that a mail program is installed and set as the default mail program."},
    };
    for (const Expected& e : expected) {
        RecordingStarter starter;
        starter.succeed = false;
        EXPECT_EQ(Launch(e.option, os, starter, nullptr).message, e.text);
    }
}

TEST(KeepAlive, RunsPulsivaFromTheProgramDirectory) {
    struct Case {
        const char* dir;
        const char* commandLine;
    } cases[] = {
        {"C:\\Zarvelo", "\"C:\\Zarvelo\\pulsiva.exe\""},
        {"C:\\Program Files\\Zarvelo", "\"C:\\Program Files\\Zarvelo\\pulsiva.exe\""},
        {"C:\\", "\"C:\\pulsiva.exe\""},
        {"\\\\server\\share\\tools", "\"\\\\server\\share\\tools\\pulsiva.exe\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeepAliveCommandLine(c.dir), c.commandLine) << c.dir;
        RecordingStarter starter;
        LaunchOutcome outcome = StartKeepAlive(c.dir, starter);
        ASSERT_EQ(starter.calls.size(), 1u) << c.dir;
        EXPECT_EQ(starter.calls[0].kind, RecordingStarter::Call::Run) << c.dir;
        EXPECT_EQ(starter.calls[0].text, c.commandLine) << c.dir;
        EXPECT_EQ(starter.calls[0].show, ShowMode::Normal) << c.dir;
        EXPECT_TRUE(outcome.started) << c.dir;
        EXPECT_EQ(outcome.message, "") << c.dir;
    }
}

TEST(KeepAlive, FailureIsReportedWithTheProgramPath) {
    RecordingStarter starter;
    starter.succeed = false;
    LaunchOutcome outcome = StartKeepAlive("C:\\Zarvelo", starter);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.message,
              "Pulsiva could not be started.\r\n\r\n"
              "Tried to run: \"C:\\Zarvelo\\pulsiva.exe\"\r\n"
              "Check that pulsiva.exe is in the same folder as zarvelo.exe.");
}

TEST(AboutLinks, EachLinkOpensItsAddress) {
    struct Case {
        AboutLink link;
        const char* text;
        const char* opened;
        ShowMode show;
    } cases[] = {
        {AboutLink::WebSite, "http://www.quonibar.example/", "http://www.quonibar.example/", ShowMode::Normal},
        {AboutLink::SupportMail, "support@quonibar.example", "mailto:support@quonibar.example", ShowMode::Show},
        {AboutLink::SalesMail, "sales@quonibar.example", "mailto:sales@quonibar.example", ShowMode::Show},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AboutLinkText(c.link), c.text);
        EXPECT_EQ(AboutLinkTarget(c.link), c.opened);
        RecordingStarter starter;
        LaunchOutcome outcome = FollowAboutLink(c.link, starter, kOwner);
        ASSERT_EQ(starter.calls.size(), 1u) << c.text;
        EXPECT_EQ(starter.calls[0].kind, RecordingStarter::Call::ShellOpen) << c.text;
        EXPECT_EQ(starter.calls[0].text, c.opened) << c.text;
        EXPECT_EQ(starter.calls[0].show, c.show) << c.text;
        EXPECT_EQ(starter.calls[0].owner, kOwner) << c.text;
        EXPECT_TRUE(outcome.started) << c.text;
        EXPECT_EQ(outcome.message, "") << c.text;

        starter.succeed = false;
        outcome = FollowAboutLink(c.link, starter, kOwner);
        EXPECT_FALSE(outcome.started) << c.text;
        EXPECT_NE(outcome.message.find(std::string("Tried to open: ") + c.opened), std::string::npos)
            << outcome.message;
    }
}

}  // namespace
}  // namespace zv

TEST(LaunchSelection, FirstCheckedInTheAskedOrderWins) {
    using zv::LaunchOption;
    // Checked states in page order: Option1, Option3, Option4, Option5, Option6, Option7.
    const struct {
        const char* what;
        bool checked[6];
        LaunchOption expected;
    } cases[] = {
        {"Option1", {true, false, false, false, false, false}, LaunchOption::NetworkSettings},
        {"Option3", {false, true, false, false, false, false}, LaunchOption::ModemSettings},
        {"Option4", {false, false, true, false, false, false}, LaunchOption::InternetSettings},
        {"Option5", {false, false, false, true, false, false}, LaunchOption::IpConfiguration},
        {"Option6", {false, false, false, false, true, false}, LaunchOption::DefaultBrowser},
        {"Option7", {false, false, false, false, false, true}, LaunchOption::DefaultMailProgram},
        // Option6 and Option7 are asked before Option5 falls through.
        {"Option5 and Option6", {false, false, false, true, true, false}, LaunchOption::DefaultBrowser},
        {"Option5 and Option7", {false, false, false, true, false, true}, LaunchOption::DefaultMailProgram},
        {"Option1 and Option7", {true, false, false, false, false, true}, LaunchOption::NetworkSettings},
        {"none", {false, false, false, false, false, false}, LaunchOption::IpConfiguration},
    };
    for (const auto& c : cases) EXPECT_EQ(zv::SelectedLaunchOption(c.checked), c.expected) << c.what;
}
