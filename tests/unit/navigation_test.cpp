// The main window's page switch, modes with their File menu, and the wizard's page flow.
#include <gtest/gtest.h>

#include "app/access_key.h"
#include "app/navigation.h"

namespace zv {
namespace {

std::string Visible(const Navigation& nav) {
    std::string s;
    for (int i = 0; i < kFrame1Members; ++i) s += nav.PageVisible(i) ? '1' : '0';
    return s;
}

WizardChoice Choice(int connection, std::array<bool, 4> options = {true, false, false, false}) {
    WizardChoice c;
    c.adapterIndex = 1;
    c.adapterText = "Realtek RTL8139";
    c.connectionIndex = connection;
    c.connectionText = kConnectionTypes[static_cast<std::size_t>(connection)];
    c.options = options;
    return c;
}

TEST(ShowPage, MakesExactlyTheGivenMemberVisible) {
    const struct {
        int page;
        const char* visible;
    } cases[] = {{0, "1000000"}, {1, "0100000"}, {2, "0010000"}, {3, "0001000"},
                 {4, "0000100"}, {6, "0000001"}, {-1, "0000000"}, {7, "0000000"}, {32767, "0000000"}};
    for (const auto& c : cases) {
        Navigation nav;
        nav.ShowPage(3);
        nav.ShowPage(c.page);
        EXPECT_EQ(Visible(nav), c.visible) << "ShowPage " << c.page;
        EXPECT_EQ(nav.VisiblePage(), std::string(c.visible).find('1') == std::string::npos
                                         ? -1
                                         : static_cast<int>(std::string(c.visible).find('1')))
            << "ShowPage " << c.page;
    }
}

TEST(StartUp, ShowsPageZeroInAutomaticModeWithOptimizeDisabled) {
    Navigation nav;
    EXPECT_EQ(Visible(nav), "1000000");
    EXPECT_EQ(nav.FileMenu(), (FileMenuState{{false, false}, {true, false}, {false, false}}));
    EXPECT_FALSE(nav.OptimizeMenuAvailable());
    EXPECT_FALSE(nav.RestartNoticeVisible());
}

TEST(Modes, SwitchThePageAndTheThreeFileMenuItems) {
    const struct {
        Mode mode;
        const char* name;
        const char* visible;
        FileMenuState menu;
    } cases[] = {
        {Mode::Automatic, "automatic", "1000000", {{false, false}, {true, false}, {false, false}}},
        {Mode::Custom, "custom", "0100000", {{true, true}, {false, false}, {false, false}}},
        {Mode::Launcher, "launcher", "0000001", {{false, false}, {false, false}, {true, true}}},
    };
    for (const auto& from : cases) {
        for (const auto& to : cases) {
            Navigation nav;
            nav.SwitchMode(from.mode);
            nav.SwitchMode(to.mode);
            EXPECT_EQ(Visible(nav), to.visible) << from.name << " then " << to.name;
            EXPECT_EQ(nav.FileMenu(), to.menu) << from.name << " then " << to.name;
        }
    }
}

TEST(Modes, AutomaticModeReturnsTheWizardToItsFirstPageAndDisablesOptimize) {
    Navigation nav;
    nav.NextFromAdapterPage(Choice(1));
    nav.NextFromConfigurationPage(Choice(1));
    ASSERT_TRUE(nav.OptimizeMenuAvailable());
    nav.SwitchMode(Mode::Automatic);
    EXPECT_EQ(nav.VisiblePage(), kPageAutomatic);
    EXPECT_FALSE(nav.FileMenu().optimize.enabled);
    EXPECT_TRUE(nav.FileMenu().optimize.visible);
}

TEST(PageFlow, NextGoesToTheOptionsUnlessWindowsDefaults) {
    for (int connection = 0; connection < 4; ++connection) {
        Navigation nav;
        nav.NextFromAdapterPage(Choice(connection));
        EXPECT_EQ(nav.VisiblePage(), kPageConfiguration) << "connection " << connection;
        nav.BackFromConfigurationPage();
        EXPECT_EQ(nav.VisiblePage(), kPageAutomatic) << "connection " << connection;
    }
}

TEST(PageFlow, WindowsDefaultsSkipsTheOptionsAndBlanksTheConfigurationLines) {
    Navigation nav;
    nav.NextFromAdapterPage(Choice(kWindowsDefaultsIndex));
    EXPECT_EQ(nav.VisiblePage(), kPageSummary);
    const Summary& s = nav.SummaryLabels();
    EXPECT_TRUE(s.bold);
    EXPECT_EQ(s.adapter, "Realtek RTL8139");
    EXPECT_EQ(s.connection, "Windows Defaults");
    EXPECT_EQ(s.configurationCaption, "");
    EXPECT_EQ(s.configuration, "");
    nav.BackFromSummaryPage(kWindowsDefaultsIndex);
    EXPECT_EQ(nav.VisiblePage(), kPageAutomatic);
}

TEST(PageFlow, SummaryAfterTheOptionsRestoresTheCaptionAfterWindowsDefaults) {
    Navigation nav;
    nav.NextFromAdapterPage(Choice(kWindowsDefaultsIndex));
    nav.BackFromSummaryPage(kWindowsDefaultsIndex);
    nav.NextFromAdapterPage(Choice(2));
    nav.NextFromConfigurationPage(Choice(2, {false, false, true, false}));
    const Summary& s = nav.SummaryLabels();
    EXPECT_EQ(nav.VisiblePage(), kPageSummary);
    EXPECT_EQ(s.configurationCaption, "Configuration Option");
    EXPECT_EQ(s.connection, "Cable/DSL running PPPoE or PPTP");
    EXPECT_EQ(s.configuration, "Automatic Configuration #3");
    nav.BackFromSummaryPage(2);
    EXPECT_EQ(nav.VisiblePage(), kPageConfiguration);
}

TEST(PageFlow, TheFirstSetOptionNamesTheConfigurationAndNoneMeansFive) {
    const struct {
        std::array<bool, 4> options;
        int expected;
    } cases[] = {
        {{true, false, false, false}, 1}, {{false, true, false, false}, 2}, {{false, false, true, false}, 3},
        {{false, false, false, true}, 4},  {{false, false, false, false}, 5}, {{false, true, true, false}, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SelectedOption(c.options), c.expected)
            << c.options[0] << c.options[1] << c.options[2] << c.options[3];
        Navigation nav;
        nav.NextFromAdapterPage(Choice(0));
        nav.NextFromConfigurationPage(Choice(0, c.options));
        EXPECT_EQ(nav.SummaryLabels().configuration, "Automatic Configuration #" + std::to_string(c.expected));
    }
}

TEST(OptimizeMenu, EnabledOnReachingTheSummaryDisabledOnGoingBack) {
    Navigation nav;
    nav.NextFromAdapterPage(Choice(0));
    EXPECT_FALSE(nav.OptimizeMenuAvailable()) << "page 2 leaves it disabled";
    nav.NextFromConfigurationPage(Choice(0));
    EXPECT_TRUE(nav.OptimizeMenuAvailable()) << "Command10 enables it";
    nav.BackFromSummaryPage(0);
    EXPECT_FALSE(nav.OptimizeMenuAvailable()) << "Command12 disables it";
}

TEST(OptimizeMenu, WindowsDefaultsLeavesItAsItWas) {
    Navigation nav;
    nav.NextFromAdapterPage(Choice(kWindowsDefaultsIndex));
    EXPECT_FALSE(nav.OptimizeMenuAvailable()) << "still disabled from start-up";

    // Enabled through the options, then back to page 0 by the menu's page switch only.
    Navigation other;
    other.NextFromAdapterPage(Choice(1));
    other.NextFromConfigurationPage(Choice(1));
    other.ShowPage(kPageAutomatic);
    other.NextFromAdapterPage(Choice(kWindowsDefaultsIndex));
    EXPECT_TRUE(other.OptimizeMenuAvailable()) << "stays enabled";
}

TEST(OptimizeMenu, HiddenInTheOtherModesIsNotAvailable) {
    Navigation nav;
    nav.NextFromAdapterPage(Choice(0));
    nav.NextFromConfigurationPage(Choice(0));
    nav.SwitchMode(Mode::Custom);
    EXPECT_FALSE(nav.OptimizeMenuAvailable());
    nav.SwitchMode(Mode::Launcher);
    EXPECT_FALSE(nav.OptimizeMenuAvailable());
}

TEST(RestartNotice, ShownAfterARunAndHiddenByNextOnPageZero) {
    Navigation nav;
    nav.NextFromAdapterPage(Choice(0));
    nav.NextFromConfigurationPage(Choice(0));
    nav.SetRestartNotice(true);
    EXPECT_TRUE(nav.RestartNoticeVisible());
    nav.BackFromSummaryPage(0);
    nav.BackFromConfigurationPage();
    EXPECT_TRUE(nav.RestartNoticeVisible()) << "only Command7 hides it";
    nav.NextFromAdapterPage(Choice(kWindowsDefaultsIndex));
    EXPECT_FALSE(nav.RestartNoticeVisible());
}

TEST(AccessKey, TheLetterAfterTheSingleAmpersandInEitherCase) {
    const struct {
        const char* caption;
        char key;
    } cases[] = {{"&Help", 'h'}, {"E&xit", 'x'}, {"< &Back", 'b'}, {"&&Save", 0}, {"Save && &Quit", 'q'},
                 {"Restart", 0}, {"ends in &", 0},  {"", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(AccessKey(c.caption), c.key) << c.caption;
        if (c.key) {
            EXPECT_TRUE(HasAccessKey(c.caption, static_cast<char>(c.key - 'a' + 'A'))) << c.caption;
        }
    }
    EXPECT_FALSE(HasAccessKey("Restart", 0));
    EXPECT_FALSE(HasAccessKey("&Help", 'e'));
}

}  // namespace
}  // namespace zv
