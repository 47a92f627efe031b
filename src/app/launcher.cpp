// What the launcher page, the keep-alive start and the about window's links start, over a process seam.
#include "app/launcher.h"

namespace zv {

namespace {

constexpr std::string_view kControlRunDll = "rundll32.exe shell32.dll,Control_RunDLL ";
constexpr std::string_view kNewLines = "\r\n\r\n";

std::string NotStartedRun(std::string_view what, const std::string& commandLine, std::string_view hint = {}) {
    std::string text = std::string(what) + " could not be started." + std::string(kNewLines) + "Tried to run: " +
                       commandLine;
    if (!hint.empty()) text += "\r\n" + std::string(hint);
    return text;
}

std::string NotStartedOpen(std::string_view what, const std::string& target, std::string_view hint) {
    return std::string(what) + " could not be started." + std::string(kNewLines) + "Tried to open: " + target +
           "\r\n" + std::string(hint);
}

LaunchOutcome OpenInBrowser(const std::string& address, ProcessStarter& starter, OwnerWindow owner) {
    // "start <address>" is a command of the command interpreter on the NT family, not a program, so the
    // address goes to the shell, which hands it to the default browser on every family.
    if (starter.ShellOpen(owner, address, ShowMode::Normal)) return {true, {}};
    return {false, NotStartedOpen("The default browser", address,
                                  "Check that a web browser is installed and set as the default browser.")};
}

LaunchOutcome OpenMail(const std::string& mailto, ProcessStarter& starter, OwnerWindow owner) {
    if (starter.ShellOpen(owner, mailto, ShowMode::Show)) return {true, {}};
    return {false, NotStartedOpen("The default mail program", mailto,
                                  "Check that a mail program is installed and set as the default mail program.")};
}

const char* CaptionOf(LaunchOption option) {
    for (const auto& info : kLaunchOptions)
        if (info.option == option) return info.caption;
    return "";
}

}  // namespace

std::string LaunchCommandLine(LaunchOption option, const COpSysInfo& os) {
    switch (option) {
        case LaunchOption::NetworkSettings:
            // The NT family's applet is ncpa.cpl: "Network" on NT 4.0, "Network Connections" on 2000 and XP.
            return std::string(kControlRunDll) + (os.IsWinNT() ? "ncpa.cpl" : "netcpl.cpl");
        case LaunchOption::ModemSettings: return std::string(kControlRunDll) + "modem.cpl";
        case LaunchOption::InternetSettings: return std::string(kControlRunDll) + "inetcpl.cpl";
        case LaunchOption::IpConfiguration: return os.IsWin9x() ? "winipcfg" : "ipconfig";
        case LaunchOption::DefaultBrowser:
        case LaunchOption::DefaultMailProgram: return {};
    }
    return {};
}

LaunchOption SelectedLaunchOption(const bool (&checked)[6]) {
    constexpr LaunchOption kAskedInOrder[] = {LaunchOption::NetworkSettings, LaunchOption::ModemSettings,
                                              LaunchOption::InternetSettings, LaunchOption::DefaultBrowser,
                                              LaunchOption::DefaultMailProgram};
    for (LaunchOption option : kAskedInOrder) {
        if (checked[static_cast<int>(option)]) return option;
    }
    return LaunchOption::IpConfiguration;
}

LaunchOutcome Launch(LaunchOption option, const COpSysInfo& os, ProcessStarter& starter, OwnerWindow owner) {
    switch (option) {
        case LaunchOption::DefaultBrowser: return OpenInBrowser(std::string(kMakerWebAddress), starter, owner);
        case LaunchOption::DefaultMailProgram:
            // A new message without a recipient.
            return OpenMail("mailto:", starter, owner);
        case LaunchOption::IpConfiguration:
            // Neither tool is reported when it cannot be started.
            return {starter.Run(LaunchCommandLine(option, os), ShowMode::Normal), {}};
        case LaunchOption::NetworkSettings:
        case LaunchOption::ModemSettings:
        case LaunchOption::InternetSettings: {
            std::string commandLine = LaunchCommandLine(option, os);
            if (starter.Run(commandLine, ShowMode::Normal)) return {true, {}};
            return {false, NotStartedRun(CaptionOf(option), commandLine)};
        }
    }
    return {};
}

std::string KeepAliveCommandLine(const std::string& programDir) {
    std::string path = programDir;
    // The program directory of a drive's root already ends in a backslash ("C:\").
    if (path.empty() || path.back() != '\\') path += '\\';
    path += "pulsiva.exe";
    return "\"" + path + "\"";
}

LaunchOutcome StartKeepAlive(const std::string& programDir, ProcessStarter& starter) {
    std::string commandLine = KeepAliveCommandLine(programDir);
    if (starter.Run(commandLine, ShowMode::Normal)) return {true, {}};
    return {false, NotStartedRun("Pulsiva", commandLine, "Check that pulsiva.exe is in the same folder as zarvelo.exe.")};
}

std::string AboutLinkText(AboutLink link) {
    switch (link) {
        case AboutLink::WebSite: return std::string(kMakerWebAddress);
        case AboutLink::SupportMail: return std::string(kMakerSupportAddress);
        case AboutLink::SalesMail: return std::string(kMakerSalesAddress);
    }
    return {};
}

std::string AboutLinkTarget(AboutLink link) {
    if (link == AboutLink::WebSite) return std::string(kMakerWebAddress);
    return "mailto:" + AboutLinkText(link);
}

LaunchOutcome FollowAboutLink(AboutLink link, ProcessStarter& starter, OwnerWindow owner) {
    if (link == AboutLink::WebSite) return OpenInBrowser(AboutLinkTarget(link), starter, owner);
    return OpenMail(AboutLinkTarget(link), starter, owner);
}

}  // namespace zv
