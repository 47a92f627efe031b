// What the launcher page, the keep-alive start and the about window's links start, over a process seam.
#pragma once

#include <string>
#include <string_view>

#include "platform/opsysinfo.h"

namespace zv {

// The maker's addresses, shown in the about window and opened by the launcher.
inline constexpr std::string_view kMakerWebAddress = "http://www.quonibar.example/";
inline constexpr std::string_view kMakerSupportAddress = "support@quonibar.example";
inline constexpr std::string_view kMakerSalesAddress = "sales@quonibar.example";

// Title of the message boxes that report a start that failed.
inline constexpr std::string_view kLauncherMessageTitle = "Zarvelo";

// The window a started program belongs to (an HWND on Windows); null for none.
using OwnerWindow = void*;

// How the started program's window is shown: SW_SHOWNORMAL (a normal window with the focus) or SW_SHOW.
enum class ShowMode { Normal, Show };

// Starts programs and opens documents. The Win32 one is Win32ProcessStarter; tests record the calls.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Starts the command line as a new process; false when it could not be started.
    virtual bool Run(const std::string& commandLine, ShowMode show) = 0;
    // ShellExecute with the verb "open" on a file, web address or "mailto:" address, no parameters and no
    // directory; false when nothing could open it.
    virtual bool ShellOpen(OwnerWindow owner, const std::string& file, ShowMode show) = 0;
};

// The six option buttons of the System Settings Launcher page, in their order on the page.
enum class LaunchOption {
    NetworkSettings,    // Option1
    ModemSettings,      // Option3
    InternetSettings,   // Option4
    IpConfiguration,    // Option5
    DefaultBrowser,     // Option6
    DefaultMailProgram  // Option7
};

struct LaunchOptionInfo {
    LaunchOption option;
    const char* control;  // the option button's name
    const char* caption;
};

// Control names and captions of the six option buttons, top to bottom; Option1 is selected at start.
inline constexpr LaunchOptionInfo kLaunchOptions[] = {
    {LaunchOption::NetworkSettings, "Option1", "Network Settings"},
    {LaunchOption::ModemSettings, "Option3", "Modem Settings"},
    {LaunchOption::InternetSettings, "Option4", "Internet Settings"},
    {LaunchOption::IpConfiguration, "Option5", "IP Configuration"},
    {LaunchOption::DefaultBrowser, "Option6", "Default Browser"},
    {LaunchOption::DefaultMailProgram, "Option7", "Default Mail Program"},
};

// The option Launch acts on, from the checked states of the six option buttons in kLaunchOptions order.
// They are asked Option1, Option3, Option4, Option6, Option7; anything else, none checked included, is the
// IP configuration tool.
LaunchOption SelectedLaunchOption(const bool (&checked)[6]);

// The result of one start. message is empty when the start worked or when its failure is not reported;
// otherwise it is the text to show in a message box titled kLauncherMessageTitle.
struct LaunchOutcome {
    bool started = false;
    std::string message;
};

// Command line that the option runs, empty for the two options opened through the shell (browser, mail).
// The network applet is netcpl.cpl on Windows 95, 98 and Me and ncpa.cpl on NT 4.0, 2000 and XP; the IP
// configuration tool is winipcfg on Windows 95, 98 and Me and ipconfig everywhere else.
std::string LaunchCommandLine(LaunchOption option, const COpSysInfo& os);

// Launch (Command2, mnuLaunch): starts what the selected option names. The caller passes a COpSysInfo made
// fresh for this launch. A failure of the IP configuration tools is silent.
LaunchOutcome Launch(LaunchOption option, const COpSysInfo& os, ProcessStarter& starter, OwnerWindow owner);

// The keep-alive program: the program directory followed by "\pulsiva.exe", quoted so that a directory with
// blanks in its name still names one program.
std::string KeepAliveCommandLine(const std::string& programDir);

// mnuPulsiva, toolbar button 3: starts pulsiva.exe from the program directory, with no arguments.
LaunchOutcome StartKeepAlive(const std::string& programDir, ProcessStarter& starter);

// The three links of the about window.
enum class AboutLink {
    WebSite,         // Label12
    SupportMail,     // Label13
    SalesMail        // Label14
};

// The text the link label shows.
std::string AboutLinkText(AboutLink link);

// What a click on the link opens: the web address, or "mailto:" followed by the mail address.
std::string AboutLinkTarget(AboutLink link);

// A click on the link: the web site in the default browser, or a new message in the default mail program.
LaunchOutcome FollowAboutLink(AboutLink link, ProcessStarter& starter, OwnerWindow owner);

}  // namespace zv
