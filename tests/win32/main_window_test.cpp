// zarvelo.exe's main window end to end: the wizard's pages and their flow, mnuOptimize, the
// progress run and restart notice, the first run, the stored position, modes and hover texts.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/win32/resource.h"
#include "support/registry_sandbox.h"
#include "support/zarvelo_app.h"

namespace {

const HKEY HKLM = HKEY_LOCAL_MACHINE;
using zvtest::kZarveloSettingsKey;

int ScreenDpiX() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return dpi;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        zvtest::GuardZarveloKeys(sandbox_);
        // The pointer stays off the window: only the test's own mouse messages move it.
        SetCursorPos(0, 0);
    }

    static void NotFirstRun() { zvtest::WriteSz(HKLM, kZarveloSettingsKey, "LoadedMain", "Yes"); }

    static void SeedTwoAdapters() {
        zvtest::WriteSz(HKLM, zvtest::kMstcpEnum + "\\0000", "Driver", "NetTrans\\0000");
        zvtest::WriteSz(HKLM, zvtest::kMstcpEnum + "\\0001", "Driver", "NetTrans\\0001");
        zvtest::WriteSz(HKLM, zvtest::kClassNet + "0000", "DriverDesc", "Dial-Up Adapter");
        zvtest::WriteSz(HKLM, zvtest::kClassNet + "0001", "DriverDesc", "Realtek RTL8139 PCI Fast Ethernet Adapter");
    }

    static void ExpectCentred(const zvtest::ZarveloApp& app) {
        const RECT r = app.WindowRect();
        const int w = r.right - r.left, h = r.bottom - r.top;
        EXPECT_NEAR(r.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, 1) << "left";
        EXPECT_NEAR(r.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 1) << "top";
    }

    static bool Checked(zvtest::ZarveloApp& app, int id) {
        return zvtest::SendTo(app.Control(id), BM_GETCHECK) == BST_CHECKED;
    }

    zvtest::RegistrySandbox sandbox_;
};

TEST_F(MainWindow, WizardPagesCarryTheirTextsAndFlow) {
    NotFirstRun();
    SeedTwoAdapters();
    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());

    // Page 0.
    ASSERT_EQ(app.VisiblePage(), 0);
    EXPECT_EQ(app.Text(IDC_Frame1Caption_0), "Automatic Optimization");
    EXPECT_EQ(app.Text(IDC_Label1), "Select Adapter");
    EXPECT_EQ(app.Text(IDC_Label38), "A network adapter is a hardware device that connects yor computer to a network. "
                                     "Select the adapter you");
    EXPECT_EQ(app.Text(IDC_Label39), "want to optimize from the list. To make optimization only for the default "
                                     "adapter in your computer, choose");
    EXPECT_EQ(app.Text(IDC_Label40), "\"Default Adapter\".");
    EXPECT_EQ(app.Text(IDC_Label2), "Connection Type");
    EXPECT_EQ(app.Text(IDC_Label42), "To get the maximum performance, choose the correct connection type from the "
                                     "list. Choosing wrong");
    EXPECT_EQ(app.Text(IDC_Label41), "optimization type can make your connection even slower. It is possible to turn "
                                     "back your default values by");
    EXPECT_EQ(app.Text(IDC_Label43), "choosing \"Windows Defaults\".");
    const char* connections[] = {"Dial-up Modem", "Lan, Cable Modem, xDSL, ISDN, T1, or faster",
                                 "Cable/DSL running PPPoE or PPTP", "Satellite", "Windows Defaults"};
    ASSERT_EQ(app.ItemCount(IDC_cmbConnection), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(app.ItemText(IDC_cmbConnection, i), connections[i]) << "item " << i;
    EXPECT_EQ(app.Selection(IDC_cmbConnection), 0);
    EXPECT_EQ(app.Text(IDC_Command8), "< &Back");
    EXPECT_FALSE(app.Enabled(IDC_Command8)) << "Back on the first page has nowhere to go";
    EXPECT_EQ(app.Text(IDC_Command7), "&Next >");
    EXPECT_EQ(app.Text(IDC_Command3), "&Help");
    app.Shot("zarvelo-page0");

    // Page 2.
    app.Select(IDC_cmbAdapter, 1);
    app.Select(IDC_cmbConnection, 1);
    app.Click(IDC_Command7);
    ASSERT_EQ(app.VisiblePage(), 2);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(app.Text(IDC_Option8 + i), "Automatic Configuration #" + std::to_string(i + 1));
        EXPECT_EQ(Checked(app, IDC_Option8 + i), i == 0) << "Option" << 8 + i;
    }
    EXPECT_EQ(app.Text(IDC_Label44), "Select a configuration option. Alternative configurations are possible for your "
                                     "adapter and connection type. ");
    EXPECT_EQ(app.Text(IDC_Label45), "These configurations are tested in various systems. Different configuration "
                                     "option can give the maximum");
    EXPECT_EQ(app.Text(IDC_Label47), "performance on different systems. To find the best configuration for your "
                                     "system, run Zarvelo several");
    EXPECT_EQ(app.Text(IDC_Label46), "times and try different configuration each time.");
    app.Shot("zarvelo-page2");
    app.Click(IDC_Command11);
    EXPECT_EQ(app.VisiblePage(), 0) << "Back from the options";

    // Page 3.
    app.Click(IDC_Command7);
    app.Click(IDC_Option10);
    app.Click(IDC_Command10);
    ASSERT_EQ(app.VisiblePage(), 3);
    EXPECT_EQ(app.Text(IDC_Label48), "Zarvelo is ready to optimize your settings. Before optimizing your system, it is "
                                     "recommended to take a");
    EXPECT_EQ(app.Text(IDC_Label49), "backup of your current configuration.");
    EXPECT_EQ(app.Text(IDC_Label50), "Selected Adapter");
    EXPECT_EQ(app.Text(IDC_Label51), "Connection Type");
    EXPECT_EQ(app.Text(IDC_Label52), "Configuration Option");
    EXPECT_EQ(app.Text(IDC_Label53), "Realtek RTL8139 PCI Fast Ethernet Adapter");
    EXPECT_EQ(app.Text(IDC_Label54), "Lan, Cable Modem, xDSL, ISDN, T1, or faster");
    EXPECT_EQ(app.Text(IDC_Label55), "Automatic Configuration #3");
    EXPECT_FALSE(app.Visible(IDC_Frame3)) << "the restart notice comes only after a run";
    EXPECT_FALSE(app.Visible(IDC_Command13));
    EXPECT_EQ(app.Text(IDC_Command1), "&Optimize");
    app.Shot("zarvelo-page3");
    app.Click(IDC_Command12);
    EXPECT_EQ(app.VisiblePage(), 2) << "Back from the summary";
    app.Click(IDC_Command11);

    // Windows Defaults goes straight to the summary, without a configuration line.
    app.Select(IDC_cmbAdapter, 0);
    app.Select(IDC_cmbConnection, 4);
    app.Click(IDC_Command7);
    ASSERT_EQ(app.VisiblePage(), 3);
    EXPECT_EQ(app.Text(IDC_Label52), "");
    EXPECT_EQ(app.Text(IDC_Label55), "");
    EXPECT_EQ(app.Text(IDC_Label53), "Dial-Up Adapter");
    EXPECT_EQ(app.Text(IDC_Label54), "Windows Defaults");
    app.Click(IDC_Command12);
    EXPECT_EQ(app.VisiblePage(), 0) << "Back from the summary of Windows Defaults";
    EXPECT_TRUE(app.Close());
}

TEST_F(MainWindow, OptimizeMenuRunsOnlyFromTheSummaryReachedThroughTheOptions) {
    NotFirstRun();
    zvtest::WriteSz(HKLM, zvtest::kMstcpKey, "DefaultTTL", "32");
    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());

    app.Command(IDM_mnuOptimize);
    app.Sync();
    EXPECT_EQ(app.StatusPanels(), 1) << "page 0: disabled";
    app.Click(IDC_Command7);
    app.Command(IDM_mnuOptimize);
    EXPECT_EQ(app.StatusPanels(), 1) << "page 2: disabled";
    app.Click(IDC_Command10);
    app.Click(IDC_Command12);
    app.Command(IDM_mnuOptimize);
    EXPECT_EQ(app.StatusPanels(), 1) << "back from page 3: disabled again";
    EXPECT_TRUE(zvtest::HasSz(HKLM, zvtest::kMstcpKey, "DefaultTTL", "32")) << "nothing ran";

    app.Click(IDC_Command10);
    app.Command(IDM_mnuOptimize);
    EXPECT_EQ(app.StatusPanels(), 2) << "page 3 through Next: enabled, the run starts";
    EXPECT_FALSE(app.Enabled(IDC_Command1));
    ASSERT_TRUE(app.WaitForRunEnd());
    EXPECT_TRUE(app.Visible(IDC_Frame3));
    // W98DialUp1 after the reset.
    EXPECT_TRUE(zvtest::HasSz(HKLM, zvtest::kMstcpKey, "DefaultTTL", "64"));

    // Windows Defaults reaches the summary without enabling it.
    app.Command(IDM_mnuAuto);
    app.Select(IDC_cmbConnection, 4);
    app.Click(IDC_Command7);
    ASSERT_EQ(app.VisiblePage(), 3);
    app.Command(IDM_mnuOptimize);
    EXPECT_EQ(app.StatusPanels(), 1) << "automatic mode disabled it";
    EXPECT_TRUE(zvtest::HasSz(HKLM, zvtest::kMstcpKey, "DefaultTTL", "64"));
    EXPECT_TRUE(app.Close());
}

TEST_F(MainWindow, ProgressRunEndsWithOptimizeEnabledAndTheRestartNotice) {
    NotFirstRun();
    zvtest::ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    app.Click(IDC_Command7);
    app.Click(IDC_Command10);
    app.Click(IDC_Command1);

    HWND bar = app.Control(IDC_ProgressBar1);
    HWND status = app.Control(IDC_StatusBar1);
    EXPECT_FALSE(app.Enabled(IDC_Command1));
    EXPECT_EQ(GetParent(bar), status) << "the bar sits in the status bar";
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(app.StatusPanels(), 2);
    EXPECT_TRUE(zvtest::WaitFor([&] { return !IsWindowEnabled(app.Control(IDC_Toolbar1)); }, 5000))
        << "the toolbar is disabled from the first tick";

    // A second Optimize while the bar runs is ignored (mnuOptimize is still enabled).
    app.Command(IDM_mnuOptimize);
    EXPECT_EQ(app.StatusPanels(), 2) << "no second panel";
    zvtest::WaitFor([&] { return zvtest::SendTo(bar, PBM_GETPOS) >= 50; }, 5000);
    app.Shot("zarvelo-progress");

    ASSERT_TRUE(app.WaitForRunEnd());
    EXPECT_TRUE(app.Visible(IDC_Frame3));
    EXPECT_TRUE(app.Visible(IDC_Label56));
    EXPECT_TRUE(app.Visible(IDC_Label57));
    EXPECT_TRUE(app.Visible(IDC_Command13));
    EXPECT_EQ(app.Text(IDC_Label56), "Please restart your computer for the settings to be active. You can always turn "
                                     "back to original settings by");
    EXPECT_EQ(app.Text(IDC_Label57), "restoring from the backup files.");
    EXPECT_EQ(app.Text(IDC_Command13), "Restart");
    EXPECT_EQ(GetParent(bar), app.Form1()) << "the bar is back on the form";
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_TRUE(IsWindowEnabled(app.Control(IDC_Toolbar1)));
    EXPECT_EQ(app.StatusPanels(), 1);
    app.Shot("zarvelo-restart-notice");

    // Next on page 0 hides the notice again.
    app.Command(IDM_mnuAuto);
    app.Click(IDC_Command7);
    EXPECT_FALSE(app.Visible(IDC_Frame3));
    EXPECT_TRUE(app.Close());
}

TEST_F(MainWindow, FirstRunIsCentredAndOffersABackup) {
    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    HWND box = zvtest::WaitForMessageBox(app.ProcessId(), "Zarvelo");
    ASSERT_NE(box, nullptr) << "no first-run prompt";
    EXPECT_EQ(zvtest::MessageBoxText(box),
              "This is the first time you are running Zarvelo. It is recommended\r\n"
              "to to take a backup of your current settings. Do you want to take a \r\n"
              "backup now?");
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    ExpectCentred(app);
    zvtest::Settle(app.Program().Handle());
    zvtest::SaveScreenshot(box, "zarvelo-first-run-prompt");

    PostMessageA(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(zvtest::WaitFor([&] { return !IsWindow(box); }, 10000)) << "the prompt stays";
    // Yes opens the Backup window without modality: the main window is usable.
    HWND backup = zvtest::WaitForWindow(app.ProcessId(), "Zarvelo Backup");
    ASSERT_NE(backup, nullptr) << "Yes opened no Backup window";
    app.Sync();
    EXPECT_TRUE(IsWindowEnabled(app.Form1()));
    EXPECT_EQ(GetWindow(backup, GW_OWNER), nullptr) << "the Backup window is not owned by the main window";
    app.Click(IDC_Command7);
    EXPECT_EQ(app.VisiblePage(), 2);
    // Closing the main window leaves the Backup window open; the program ends with it.
    PostMessageA(app.Form1(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(zvtest::WaitFor([&] { return !IsWindow(app.Form1()); }, 10000));
    EXPECT_FALSE(app.Program().WaitExit(1000)) << "ended with the Backup window open";
    EXPECT_TRUE(IsWindow(backup));
    PostMessageA(backup, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Program().WaitExit(20000)) << "still running after the Backup window closed";
    EXPECT_TRUE(zvtest::HasSz(HKLM, kZarveloSettingsKey, "LoadedMain", "Yes"));
}

TEST_F(MainWindow, AnyOtherTextThanYesIsCentredWithoutThePrompt) {
    zvtest::WriteSz(HKLM, kZarveloSettingsKey, "LoadedMain", "yes");
    zvtest::WriteDword(HKLM, kZarveloSettingsKey, "LeftMain", 0);
    zvtest::WriteDword(HKLM, kZarveloSettingsKey, "TopMain", 0);
    zvtest::ZarveloApp app("winme");
    ASSERT_TRUE(app.Started());
    ExpectCentred(app);
    EXPECT_EQ(zvtest::WaitForMessageBox(app.ProcessId(), "Zarvelo", 3000), nullptr) << "no prompt";
    EXPECT_TRUE(app.Close());
}

TEST_F(MainWindow, PositionIsStoredInTwipsAndRestored) {
    const int dpi = ScreenDpiX();
    auto twips = [dpi](int px) { return static_cast<DWORD>(zv::TwipsFromPixels(px, dpi)); };
    NotFirstRun();
    zvtest::WriteDword(HKLM, kZarveloSettingsKey, "LeftMain", twips(150));
    zvtest::WriteDword(HKLM, kZarveloSettingsKey, "TopMain", twips(90));
    {
        zvtest::ZarveloApp app("win2k");
        ASSERT_TRUE(app.Started());
        EXPECT_EQ(app.WindowRect().left, 150);
        EXPECT_EQ(app.WindowRect().top, 90);
        app.MoveTo(210, 130);
        ASSERT_TRUE(app.Close());
    }
    EXPECT_TRUE(zvtest::HasSz(HKLM, kZarveloSettingsKey, "LoadedMain", "Yes"));
    EXPECT_TRUE(zvtest::HasDword(HKLM, kZarveloSettingsKey, "LeftMain", twips(210)));
    EXPECT_TRUE(zvtest::HasDword(HKLM, kZarveloSettingsKey, "TopMain", twips(130)));

    zvtest::ZarveloApp again("win2k");
    ASSERT_TRUE(again.Started());
    EXPECT_EQ(again.WindowRect().left, 210);
    EXPECT_EQ(again.WindowRect().top, 130);
    EXPECT_EQ(zvtest::WaitForMessageBox(again.ProcessId(), "Zarvelo", 1000), nullptr);
}

TEST_F(MainWindow, AStoredPositionOffTheScreenIsCentred) {
    NotFirstRun();
    zvtest::WriteDword(HKLM, kZarveloSettingsKey, "LeftMain", 5000 * 15);
    zvtest::WriteDword(HKLM, kZarveloSettingsKey, "TopMain", 100 * 15);
    zvtest::ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    ExpectCentred(app);
}

// Stored near the work area's corner and opened larger (at a higher DPI): moved just inside it.
TEST_F(MainWindow, AStoredPositionPartlyOffTheWorkAreaIsMovedInside) {
    NotFirstRun();
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    zvtest::WriteDword(HKLM, kZarveloSettingsKey, "LeftMain", zv::TwipsFromPixels(work.right - 100, ScreenDpiX()));
    zvtest::WriteDword(HKLM, kZarveloSettingsKey, "TopMain", zv::TwipsFromPixels(work.bottom - 100, ScreenDpiX()));
    zvtest::ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    EXPECT_EQ(app.WindowRect().right, work.right);
    EXPECT_EQ(app.WindowRect().bottom, work.bottom);
}

TEST_F(MainWindow, HoverTextFollowsThePointerOverTheToolbar) {
    NotFirstRun();
    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    HWND toolbar = app.Control(IDC_Toolbar1);
    const RECT backup = app.ToolbarButtonRect(4);
    const RECT restore = app.ToolbarButtonRect(5);
    ASSERT_GT(backup.right, backup.left) << "button 5 has no rectangle";
    EXPECT_EQ(app.StatusText(), "");

    app.MouseMove(toolbar, (backup.left + backup.right) / 2, (backup.top + backup.bottom) / 2);
    EXPECT_EQ(app.StatusText(), "Click to take a backup of your settings") << "over button 5";
    app.MouseMove(toolbar, (restore.left + restore.right) / 2, (restore.top + restore.bottom) / 2);
    EXPECT_EQ(app.StatusText(), "Restore your settings from a backup file") << "over button 6";
    app.MouseMove(app.Page(0), 30, 30);
    EXPECT_EQ(app.StatusText(), "") << "over the page";

    const RECT separator = app.ToolbarButtonRect(3);
    app.MouseMove(toolbar, (restore.left + restore.right) / 2, (restore.top + restore.bottom) / 2);
    app.MouseMove(toolbar, (separator.left + separator.right) / 2, (separator.top + separator.bottom) / 2);
    EXPECT_EQ(app.StatusText(), "") << "over a separator";
    app.MouseMove(toolbar, (restore.left + restore.right) / 2, (restore.top + restore.bottom) / 2);
    app.MouseMove(app.Form1(), 2, 2);
    EXPECT_EQ(app.StatusText(), "") << "over the window background";
}

TEST_F(MainWindow, ModeCommandsSwitchPagesAndTheOtherCommandsAreHarmless) {
    NotFirstRun();
    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    const struct {
        int command;
        int page;
        const char* caption;
    } steps[] = {{IDM_mnuManual, 1, "Custom Optimization"},
                 {IDM_mnuLauncher, 6, "System Settings Launcher"},
                 {IDM_mnuAuto, 0, "Automatic Optimization"},
                 {IDC_Toolbar1_Button1 + 1, 1, "Custom Optimization"},
                 {IDC_Toolbar1_Button1 + 7, 6, "System Settings Launcher"},
                 {IDC_Toolbar1_Button1, 0, "Automatic Optimization"}};
    for (const auto& s : steps) {
        app.Command(s.command);
        EXPECT_EQ(app.VisiblePage(), s.page) << "command " << s.command;
        EXPECT_EQ(app.Text(IDC_Frame1Caption_0 + s.page), s.caption) << "command " << s.command;
    }
    // Automatic mode returns the wizard to its first page.
    app.Click(IDC_Command7);
    app.Click(IDC_Command10);
    app.Command(IDC_Toolbar1_Button1);
    EXPECT_EQ(app.VisiblePage(), 0);

    // mnuLaunch is hidden in automatic mode and does nothing; mnuPulsiva, toolbar button 3, mnuAbout,
    // Backup and Restore (menu, buttons 5 and 6) start or open windows and have tests of their own.
    for (int command : {IDM_mnuApply, IDM_mnuLaunch, IDC_Toolbar1_Button1 + 3, IDC_Toolbar1_Button1 + 6,
                        IDC_Toolbar1_Button1 + 8}) {
        app.Command(command);
    }
    app.Sync();
    EXPECT_FALSE(app.Program().WaitExit(0));
    EXPECT_EQ(app.VisiblePage(), 0);
}

TEST_F(MainWindow, HelpCommandsOpenTheHelpFile) {
    NotFirstRun();
    zvtest::ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    // HTML Help runs inside the program; its window carries the help project's title.
    auto helpWindow = [&] {
        HWND hwnd = nullptr;
        zvtest::WaitFor([&] { return (hwnd = zvtest::FindTopWindow("Zarvelo Help", app.ProcessId())) != nullptr; },
                        30000);
        return hwnd;
    };
    const struct {
        const char* what;
        int command;
    } commands[] = {{"toolbar button 10", IDC_Toolbar1_Button1 + 9},
                    {"mnuIndex", IDM_mnuIndex},
                    {"Command3", IDC_Command3}};
    for (const auto& c : commands) {
        if (c.command == IDC_Command3) {
            app.Click(IDC_Command3);
        } else {
            app.Command(c.command);
        }
        HWND help = helpWindow();
        ASSERT_NE(help, nullptr) << c.what << " opened no help window";
        PostMessageA(help, WM_CLOSE, 0, 0);
        EXPECT_TRUE(zvtest::WaitFor([&] { return !IsWindow(help); }, 10000)) << c.what;
    }
    EXPECT_TRUE(app.Close());
}

TEST_F(MainWindow, ExitEndsTheProgramAndStoresThePosition) {
    zvtest::WriteSz(HKLM, kZarveloSettingsKey, "LoadedMain", "No");
    zvtest::ZarveloApp app("nt40");
    ASSERT_TRUE(app.Started());
    PostMessageA(app.Form1(), WM_COMMAND, IDM_mnuExit, 0);
    EXPECT_TRUE(app.Program().WaitExit(20000));
    EXPECT_TRUE(zvtest::HasSz(HKLM, kZarveloSettingsKey, "LoadedMain", "Yes"));
    EXPECT_TRUE(zvtest::ReadValue(HKLM, kZarveloSettingsKey, "LeftMain").exists);
}

}  // namespace
