// The main window's page switching, its three modes with their File menu, and the wizard's page flow.
#pragma once

#include <array>
#include <string>

namespace zv {

// Members of the page host Frame1; 4 and 5 exist but are never shown.
inline constexpr int kFrame1Members = 7;
enum Frame1Page : int {
    kPageAutomatic = 0,      // wizard: adapter and connection type
    kPageCustom = 1,         // Custom Optimization
    kPageConfiguration = 2,  // wizard: the five configuration options
    kPageSummary = 3,        // wizard: summary, Optimize, restart notice
    kPageLauncher = 6,       // System Settings Launcher
};

// The connection type that only resets ("Windows Defaults").
inline constexpr int kWindowsDefaultsIndex = 4;

// cmbConnection's five fixed items, index 0 to 4.
inline constexpr std::array<const char*, 5> kConnectionTypes = {
    "Dial-up Modem", "Lan, Cable Modem, xDSL, ISDN, T1, or faster", "Cable/DSL running PPPoE or PPTP", "Satellite",
    "Windows Defaults"};

struct MenuItemState {
    bool visible = false;
    bool enabled = false;
    bool operator==(const MenuItemState&) const = default;
};

// The three items above the File menu's first separator.
struct FileMenuState {
    MenuItemState apply;     // mnuApply
    MenuItemState optimize;  // mnuOptimize
    MenuItemState launch;    // mnuLaunch
    bool operator==(const FileMenuState&) const = default;
};

enum class Mode { Automatic, Custom, Launcher };

// What the wizard reads from its pages when the user moves on or presses Optimize.
struct WizardChoice {
    int adapterIndex = -1;
    std::string adapterText;     // selected cmbAdapter item
    int connectionIndex = -1;
    std::string connectionText;  // selected cmbConnection item
    std::array<bool, 4> options{};  // Option8 to Option11; Option12 is never read
};

// 1 for Option8 ... 4 for Option11, else 5.
int SelectedOption(const std::array<bool, 4>& option8To11);
// "Automatic Configuration #n".
std::string ConfigurationName(int option);

// Page 3's summary: captions Label52, values Label53 to Label55.
struct Summary {
    bool bold = false;
    std::string configurationCaption = "Configuration Option";  // Label52
    std::string adapter;        // Label53
    std::string connection;     // Label54
    std::string configuration;  // Label55
    bool operator==(const Summary&) const = default;
};

// The state the window shows: which member of Frame1 is visible, the File menu, the wizard's
// summary and its restart notice (Frame3). The window code only mirrors it into controls.
class Navigation {
public:
    Navigation();

    // ShowPage: the member of that index becomes visible, every other one invisible; an index
    // outside 0 to 6 hides all seven.
    void ShowPage(int page);
    bool PageVisible(int index) const;
    // The visible member, or -1 when none is.
    int VisiblePage() const;

    // A mode command: switches the page, then sets the three File menu items.
    void SwitchMode(Mode mode);
    const FileMenuState& FileMenu() const { return menu_; }
    // mnuOptimize can run the Optimize command only while it is shown and enabled.
    bool OptimizeMenuAvailable() const { return menu_.optimize.visible && menu_.optimize.enabled; }

    // Command7 "&Next >" on page 0.
    void NextFromAdapterPage(const WizardChoice& choice);
    // Command11 "< &Back" on page 2.
    void BackFromConfigurationPage();
    // Command10 "&Next >" on page 2.
    void NextFromConfigurationPage(const WizardChoice& choice);
    // Command12 "< &Back" on page 3.
    void BackFromSummaryPage(int connectionIndex);

    const Summary& SummaryLabels() const { return summary_; }
    bool RestartNoticeVisible() const { return restartNotice_; }
    // The end of an Optimize run: the notice shows only when that run changed everything.
    void SetRestartNotice(bool shown) { restartNotice_ = shown; }

private:
    std::array<bool, kFrame1Members> visible_{};
    FileMenuState menu_;
    Summary summary_;
    bool restartNotice_ = false;
};

}  // namespace zv
