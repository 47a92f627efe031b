// Form1 in the test's own process: the menu tree and File menu states, the toolbar, fonts,
// keyboard, help and restart commands, the progress run tick by tick, and the message that
// replaces the restart notice when the registry refused changes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/win32/resource.h"
#include "app/win32/saved_files_windows.h"
#include "app/win32/toolbar_pictures.h"
#include "platform/registry_helpers.h"
#include "platform/win32/desktop.h"
#include "platform/win32/handles.h"
#include "support/form1_harness.h"
#include "unit/tuning_support.h"

namespace {

using zv::WindowsFamily;
using Items = std::vector<std::string>;

const Items kFileTail = {"&Undo Last Change\tCtrl+Z (grayed)", "-", "&Backup", "&Restore", "-", "E&xit"};

Items File(std::initializer_list<std::string> head) {
    Items items(head);
    items.insert(items.end(), kFileTail.begin(), kFileTail.end());
    return items;
}

// Not a first run, so no prompt is posted.
void NotFirstRun(zv::Registry& reg) { zv::WriteRegString(reg, zv::kHkeyLocalMachine, zv::kZarveloKey, "LoadedMain", "Yes"); }

class Form1Window : public ::testing::Test {
protected:
    explicit Form1Window(WindowsFamily family = WindowsFamily::Win98) : h(family) {}
    void SetUp() override {
        NotFirstRun(h.registry);
        ASSERT_TRUE(h.Create());
    }

    void ToSummary(int connection = 0) {
        h.Select(IDC_cmbConnection, connection);
        h.Click(IDC_Command7);
        if (connection != 4) h.Click(IDC_Command10);
        ASSERT_EQ(h.VisiblePage(), 3);
    }

    int FontWeight(int id) {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h.Control(id), WM_GETFONT, 0, 0)), sizeof lf, &lf);
        return lf.lfWeight;
    }

    zvtest::Form1Harness h;
};

class Form1WindowXp : public Form1Window {
protected:
    Form1WindowXp() : Form1Window(WindowsFamily::WinXP) {}
};

TEST_F(Form1Window, MenuTreeHasItsCaptionsAndIds) {
    HMENU bar = GetMenu(h.Form1());
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    const struct {
        const char* caption;
        int id;
        Items items;
    } menus[] = {{"&File", IDM_mnuFile, File({"&Optimize (grayed)"})},
                 {"&Settings",
                  IDM_mnuSettings,
                  {"&Automatic Settings", "&Manual Settings", "&Launcher Panel", "-", "&Pulsiva", "-",
                   "&Review Changes Before Writing (checked)"}},
                 {"&Help", IDM_mnuHelpp, {"&Index", "&Contents", "-", "&About"}}};
    for (int i = 0; i < 3; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_TYPE;
        char caption[64] = {0};
        info.dwTypeData = caption;
        info.cch = sizeof caption;
        ASSERT_TRUE(GetMenuItemInfoA(bar, static_cast<UINT>(i), TRUE, &info));
        EXPECT_STREQ(caption, menus[i].caption);
        EXPECT_EQ(static_cast<int>(info.wID), menus[i].id) << menus[i].caption;
        EXPECT_EQ(h.MenuItems(i), menus[i].items) << menus[i].caption;
    }
    const struct {
        int menu, position, id;
    } ids[] = {{0, 0, IDM_mnuOptimize}, {0, 1, IDM_mnuUndo},     {0, 2, IDM_mnuBar},      {0, 3, IDM_mnuBackup},
               {0, 4, IDM_mnuRestore},  {0, 5, IDM_mnuFileBar0}, {0, 6, IDM_mnuExit},     {1, 0, IDM_mnuAuto},
               {1, 1, IDM_mnuManual},   {1, 2, IDM_mnuLauncher}, {1, 3, IDM_mnuFileBar1}, {1, 4, IDM_mnuPulsiva},
               {1, 5, IDM_mnuFileBar2}, {1, 6, IDM_mnuReview},   {2, 0, IDM_mnuIndex},    {2, 1, IDM_mnuContents},
               {2, 2, IDM_mnuDash},     {2, 3, IDM_mnuAbout}};
    for (const auto& c : ids) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        GetMenuItemInfoA(GetSubMenu(bar, c.menu), static_cast<UINT>(c.position), TRUE, &info);
        EXPECT_EQ(static_cast<int>(info.wID), c.id) << "menu " << c.menu << " item " << c.position;
    }
}

TEST_F(Form1Window, ModesShowTheirPageAndTheirFileMenuItem) {
    const struct {
        int command;
        const char* name;
        int page;
        Items file;
    } steps[] = {
        {IDM_mnuManual, "mnuManual", 1, File({"&Apply"})},
        {IDM_mnuLauncher, "mnuLauncher", 6, File({"&Launch"})},
        {IDM_mnuAuto, "mnuAuto", 0, File({"&Optimize (grayed)"})},
        {IDC_Toolbar1_Button1 + 1, "button 2", 1, File({"&Apply"})},
        {IDC_Toolbar1_Button1 + 7, "button 8", 6, File({"&Launch"})},
        {IDC_Toolbar1_Button1, "button 1", 0, File({"&Optimize (grayed)"})},
    };
    for (const auto& s : steps) {
        h.Command(s.command);
        EXPECT_EQ(h.VisiblePage(), s.page) << s.name;
        EXPECT_EQ(h.MenuItems(0), s.file) << s.name;
    }
}

TEST_F(Form1Window, TheWizardEnablesAndDisablesOptimizeInTheFileMenu) {
    h.Click(IDC_Command7);
    EXPECT_EQ(h.MenuItems(0), File({"&Optimize (grayed)"})) << "page 2";
    h.Click(IDC_Command10);
    EXPECT_EQ(h.MenuItems(0), File({"&Optimize"})) << "page 3 through Next";
    h.Click(IDC_Command12);
    EXPECT_EQ(h.MenuItems(0), File({"&Optimize (grayed)"})) << "Back from page 3";
    h.Click(IDC_Command10);
    h.Command(IDM_mnuAuto);
    EXPECT_EQ(h.MenuItems(0), File({"&Optimize (grayed)"})) << "automatic mode";
    ToSummary(4);
    EXPECT_EQ(h.MenuItems(0), File({"&Optimize (grayed)"})) << "Windows Defaults leaves it";
}

TEST_F(Form1Window, SummaryValuesAreBoldAndTheCaptionsAreNot) {
    EXPECT_EQ(FontWeight(IDC_Label1), FW_BOLD) << "heading";
    ToSummary(2);
    for (int id : {IDC_Label53, IDC_Label54, IDC_Label55}) EXPECT_EQ(FontWeight(id), FW_BOLD) << id;
    for (int id : {IDC_Label50, IDC_Label51, IDC_Label52}) EXPECT_LT(FontWeight(id), FW_BOLD) << id;
    EXPECT_EQ(h.Text(IDC_Label53), "Default Adapter");
}

TEST_F(Form1Window, BackOnTheFirstPageIsShownDisabled) {
    EXPECT_TRUE(h.Visible(IDC_Command8));
    EXPECT_FALSE(h.Enabled(IDC_Command8));
    SendMessageA(h.Form1(), WM_COMMAND, MAKEWPARAM(IDC_Command8, BN_CLICKED), 0);
    EXPECT_EQ(h.VisiblePage(), 0);
}

TEST_F(Form1Window, ToolbarHasTenButtonsTheirTooltipsAndHoverTexts) {
    HWND toolbar = h.Control(IDC_Toolbar1);
    ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 10);
    const char* tips[10] = {"Automatic Optimization", "Custom Optimization", "Run \"Pulsiva\"", nullptr,
                            "Backup Settings", "Restore Settings", nullptr, "Launch to System Settings", nullptr, "Help"};
    for (int i = 0; i < 10; ++i) {
        TBBUTTON b{};
        SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ((b.fsStyle & TBSTYLE_SEP) != 0, tips[i] == nullptr) << "button " << i + 1;
        if (!tips[i]) continue;
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = toolbar;
        info.hdr.idFrom = static_cast<UINT_PTR>(b.idCommand);
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(h.Form1(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(info.lpszText, tips[i]) << "button " << i + 1;
        NMTTDISPINFOW wide{};
        wide.hdr = info.hdr;
        wide.hdr.code = TTN_GETDISPINFOW;
        SendMessageA(h.Form1(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide));
        char narrow[80] = {0};
        WideCharToMultiByte(CP_ACP, 0, wide.lpszText, -1, narrow, sizeof narrow, nullptr, nullptr);
        EXPECT_STREQ(narrow, tips[i]) << "button " << i + 1 << ", wide";
    }
    RECT r{};
    SendMessageA(toolbar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    SendMessageA(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    EXPECT_EQ(h.StatusText(), "Click to run \"Pulsiva\"");
    SendMessageA(h.Form()->Frame1(0), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(h.StatusText(), "");
}

TEST_F(Form1Window, HelpCommandsOpenTheHelpFile) {
    const std::string file = "C:\\Program Files\\Zarvelo\\zarvelo.chm";
    h.Click(IDC_Command3);
    h.Click(IDC_Command7);
    h.Click(IDC_Command9);
    h.Click(IDC_Command10);
    h.Click(IDC_Command14);
    h.Command(IDM_mnuContents);
    h.Command(IDC_Toolbar1_Button1 + 9);
    h.Command(IDM_mnuIndex);
    const zv::HelpRequest topic{zv::HelpView::Topic, "automatic.htm"};
    const zv::HelpRequest contents{zv::HelpView::Contents, ""};
    const zv::HelpRequest index{zv::HelpView::Index, ""};
    const struct {
        const char* what;
        HWND owner;
        zv::HelpRequest request;
    } expected[] = {{"Command3", h.Form1(), topic},       {"Command9", h.Form1(), topic},
                    {"Command14", h.Form1(), topic},      {"mnuContents", nullptr, contents},
                    {"toolbar button 10", nullptr, contents}, {"mnuIndex", nullptr, index}};
    ASSERT_EQ(h.helps.size(), std::size(expected));
    for (std::size_t i = 0; i < h.helps.size(); ++i) {
        EXPECT_EQ(h.helps[i].file, file) << expected[i].what;
        EXPECT_EQ(h.helps[i].owner, expected[i].owner) << expected[i].what;
        EXPECT_EQ(h.helps[i].request, expected[i].request) << expected[i].what;
    }
}

TEST_F(Form1Window, EnterPressesTheDefaultButtonOfThePageInView) {
    const int defaults[4] = {IDC_Command7, 0, IDC_Command10, IDC_Command1};
    for (int page : {0, 2, 3}) {
        h.Form()->ShowPage(page);
        EXPECT_EQ(SendMessageA(h.Form1(), DM_GETDEFID, 0, 0), MAKELRESULT(defaults[page], DC_HASDEFID)) << page;
    }
    h.Command(IDM_mnuManual);
    EXPECT_EQ(SendMessageA(h.Form1(), DM_GETDEFID, 0, 0), MAKELRESULT(IDC_Command4, DC_HASDEFID)) << "custom page: Apply";

    h.Command(IDM_mnuAuto);
    SetFocus(h.Control(IDC_cmbConnection));
    MSG enter{h.Control(IDC_cmbConnection), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageA(h.Form1(), &enter));
    EXPECT_EQ(h.VisiblePage(), 2) << "Enter on page 0 is Next";
}

TEST_F(Form1Window, TabOrderFollowsTheLayoutOfThePageInView) {
    auto chain = [&](int first, int count) {
        std::vector<int> ids;
        HWND at = h.Control(first);
        for (int i = 0; i < count && at; ++i) {
            ids.push_back(GetDlgCtrlID(at));
            at = GetNextDlgTabItem(h.Form1(), at, FALSE);
        }
        return ids;
    };
    EXPECT_EQ(chain(IDC_cmbAdapter, 5),
              (std::vector<int>{IDC_cmbAdapter, IDC_cmbConnection, IDC_Command7, IDC_Command3, IDC_cmbAdapter}));
    h.Click(IDC_Command7);
    EXPECT_EQ(chain(IDC_Option8, 5),
              (std::vector<int>{IDC_Option8, IDC_Command11, IDC_Command10, IDC_Command9, IDC_Option8}));
    h.Click(IDC_Command10);
    EXPECT_EQ(chain(IDC_Command12, 4), (std::vector<int>{IDC_Command12, IDC_Command1, IDC_Command14, IDC_Command12}));
}

TEST_F(Form1Window, AccessKeysPressTheirButtonsAndLeaveTheMenuTitlesToTheMenu) {
    SetFocus(h.Control(IDC_cmbAdapter));
    MSG altN{h.Control(IDC_cmbAdapter), WM_SYSCHAR, 'n', 0, 0, {}};
    EXPECT_TRUE(h.windows.TranslateDialogMessage(&altN));
    EXPECT_EQ(h.VisiblePage(), 2) << "Alt+N is Next";
    for (char key : {'h', 'H', 'f', 's'}) {
        MSG menu{h.Control(IDC_Option8), WM_SYSCHAR, static_cast<WPARAM>(key), 0, 0, {}};
        EXPECT_FALSE(h.windows.TranslateDialogMessage(&menu)) << "Alt+" << key << " goes on to the menu bar";
    }
    EXPECT_TRUE(h.helps.empty()) << "Alt+H pressed the page's Help button";
    MSG altB{h.Control(IDC_Option8), WM_SYSCHAR, 'b', 0, 0, {}};
    EXPECT_TRUE(h.windows.TranslateDialogMessage(&altB));
    EXPECT_EQ(h.VisiblePage(), 0) << "Alt+B is Back on page 2";

    // F1 is the Help button's key: Windows sends WM_HELP to the focused control, which passes it up.
    const struct {
        int menu, focus;
        const char* topic;
    } pages[] = {{IDM_mnuAuto, IDC_cmbAdapter, "automatic.htm"},
                 {IDM_mnuManual, IDC_Command4, "custom.htm"},
                 {IDM_mnuLauncher, IDC_Option1, "launcher.htm"}};
    for (const auto& p : pages) {
        h.Command(p.menu);
        h.helps.clear();
        HWND focus = h.Control(p.focus);
        HELPINFO info{sizeof info, HELPINFO_WINDOW, p.focus, focus, 0, {}};
        SendMessageA(focus, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_EQ(h.helps.size(), 1u) << p.topic;
        EXPECT_EQ(h.helps[0].request, (zv::HelpRequest{zv::HelpView::Topic, p.topic}));
    }
}

TEST_F(Form1Window, ProgressRunEndsOnTheTwentyFirstTick) {
    ToSummary(1);
    HWND bar = h.Control(IDC_ProgressBar1);
    HWND status = h.Control(IDC_StatusBar1);
    HWND toolbar = h.Control(IDC_Toolbar1);
    SendMessageA(h.Control(IDC_Toolbar1), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    h.Click(IDC_Command1);
    EXPECT_FALSE(h.Enabled(IDC_Command1));
    EXPECT_EQ(GetParent(bar), status);
    EXPECT_EQ(h.StatusPanels(), 2);
    RECT panel{};
    SendMessageA(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&panel));
    RECT barRect{};
    GetWindowRect(bar, &barRect);
    MapWindowPoints(nullptr, status, reinterpret_cast<POINT*>(&barRect), 2);
    EXPECT_EQ(barRect.left, panel.left);
    EXPECT_EQ(barRect.right, panel.right) << "the bar covers panel 2";
    EXPECT_EQ(h.Form()->OptimizeProgress().Counter(), 0);

    for (int tick = 1; tick <= 20; ++tick) {
        h.Tick();
        EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), tick * 5) << "tick " << tick;
        EXPECT_FALSE(h.Enabled(IDC_Command1)) << "tick " << tick;
        EXPECT_FALSE(IsWindowEnabled(toolbar)) << "tick " << tick;
        EXPECT_FALSE(h.Visible(IDC_Frame3)) << "tick " << tick;
    }
    h.Tick();
    EXPECT_TRUE(h.Enabled(IDC_Command1)) << "tick 21";
    EXPECT_TRUE(IsWindowEnabled(toolbar));
    EXPECT_TRUE(h.Visible(IDC_Frame3));
    EXPECT_TRUE(h.Visible(IDC_Command13));
    EXPECT_EQ(GetParent(bar), h.Form1());
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(h.StatusPanels(), 1);
    EXPECT_EQ(h.Form()->OptimizeProgress().Counter(), 0);
    EXPECT_TRUE(h.messages.empty());

    h.Tick();
    EXPECT_EQ(h.StatusPanels(), 1) << "a late tick changes nothing";
    EXPECT_TRUE(h.Enabled(IDC_Command1));

    h.Click(IDC_Command13);
    EXPECT_EQ(h.restarts, 1) << "Restart";
}

TEST_F(Form1Window, OptimizeDuringARunIsIgnored) {
    ToSummary(0);
    h.Click(IDC_Command1);
    for (int i = 0; i < 5; ++i) h.Tick();
    // A value the first run wrote, removed behind its back: a second run would write it again.
    const std::string mstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
    ASSERT_EQ(zv::ReadRegString(h.registry, zv::kHkeyLocalMachine, mstcp, "DefaultTTL"), "64");
    zv::DeleteRegValue(h.registry, zv::kHkeyLocalMachine, mstcp, "DefaultTTL");
    h.Command(IDM_mnuOptimize);
    EXPECT_EQ(h.StatusPanels(), 2);
    EXPECT_EQ(zv::ReadRegString(h.registry, zv::kHkeyLocalMachine, mstcp, "DefaultTTL", "absent"), "absent");
    EXPECT_EQ(h.Form()->OptimizeProgress().Counter(), 25);
    int ticks = 5;
    while (!h.Enabled(IDC_Command1) && ticks < 40) {
        h.Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 21) << "the run was not restarted";
    EXPECT_EQ(h.StatusPanels(), 1);
}

TEST_F(Form1Window, AnExceptionInAHandlerIsReportedAndTheWindowCanBeUsedAgain) {
    ToSummary(1);
    h.registry.throwOnChange = true;
    h.Click(IDC_Command1);
    ASSERT_EQ(h.messages.size(), 1u) << "the failure was not reported";
    EXPECT_NE(h.messages[0].text.find(zvtest::kRegistryThrew), std::string::npos) << h.messages[0].text;
    EXPECT_EQ(h.messages[0].owner, h.Form1());
    EXPECT_EQ(h.messages[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_TRUE(h.Enabled(IDC_Command1)) << "Optimize stays disabled";
    EXPECT_TRUE(IsWindowEnabled(h.Control(IDC_Toolbar1)));
    EXPECT_EQ(h.StatusPanels(), 1);

    h.registry.throwOnChange = false;
    h.Click(IDC_Command1);
    for (int i = 0; i < 21; ++i) h.Tick();
    EXPECT_TRUE(h.Visible(IDC_Frame3)) << "the next Optimize did not run to its end";
    EXPECT_EQ(h.messages.size(), 1u);
}

TEST_F(Form1WindowXp, RefusedChangesShowAMessageInsteadOfTheRestartNotice) {
    // A user who may change nothing is told so before anything is written.
    h.registry.SetReadOnly(true);
    ToSummary(0);
    h.Click(IDC_Command1);
    for (int i = 0; i < 21; ++i) h.Tick();
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text.rfind("Run Zarvelo as an administrator to change these settings", 0), 0u)
        << h.messages[0].text;
    EXPECT_FALSE(h.Visible(IDC_Frame3));
    EXPECT_TRUE(h.Enabled(IDC_Command1));
    h.registry.SetReadOnly(false);

    // Values the registry refuses one by one are counted and told at the end (the run's record, the first
    // value written, is taken).
    h.registry.RefuseCalls(zv::RegCall::Set, 2, 1);
    h.Click(IDC_Command1);
    for (int i = 0; i < 21; ++i) h.Tick();
    ASSERT_EQ(h.messages.size(), 2u);
    EXPECT_EQ(h.messages[1].caption, "Zarvelo");
    EXPECT_EQ(h.messages[1].owner, h.Form1());
    EXPECT_EQ(h.messages[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    // NtPreset1 writes three values; the reset found nothing to delete.
    EXPECT_EQ(h.messages[1].text.rfind("3 settings could not be changed.", 0), 0u) << h.messages[1].text;
    EXPECT_NE(h.messages[1].text.find("administrator"), std::string::npos);
    EXPECT_FALSE(h.Visible(IDC_Frame3));
    EXPECT_TRUE(h.Enabled(IDC_Command1));

    // With the rights back, the next run ends with the restart notice.
    h.registry.RefuseCalls(zv::RegCall::Set, 0);
    h.Click(IDC_Command1);
    for (int i = 0; i < 21; ++i) h.Tick();
    EXPECT_EQ(h.messages.size(), 2u);
    EXPECT_TRUE(h.Visible(IDC_Frame3));

    // Refused again: the earlier run's "Restart" goes; the notice speaks for the last run only.
    zv::WriteRegDword(h.registry, zv::kHkeyLocalMachine, zvtest::kTcpip, "DefaultTTL", 5);
    h.registry.RefuseCalls(zv::RegCall::Set, 2, 1);
    h.Click(IDC_Command1);
    for (int i = 0; i < 21; ++i) h.Tick();
    EXPECT_EQ(h.messages.size(), 3u);
    EXPECT_FALSE(h.Visible(IDC_Frame3));
    EXPECT_FALSE(h.Visible(IDC_Command13));
    h.registry.RefuseCalls(zv::RegCall::Set, 0);
}

TEST_F(Form1WindowXp, TheNtFamilyListsOnlyDefaultAdapter) {
    HWND combo = h.Control(IDC_cmbAdapter);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 1);
    char item[64] = {0};
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "Default Adapter");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0) << "selected, so that the summary names it";
}

TEST(Form1Adapters, AnEmptyFirstDescriptionIsDroppedWithItsAdapter) {
    zvtest::Form1Harness h(WindowsFamily::Win98);
    NotFirstRun(h.registry);
    const std::string mstcpEnum = "Enum\\Network\\MSTCP\\";
    const std::string net = "System\\CurrentControlSet\\Services\\Class\\Net\\";
    zv::WriteRegString(h.registry, zv::kHkeyLocalMachine, mstcpEnum + "0000", "Driver", "NetTrans\\0000");
    zv::WriteRegString(h.registry, zv::kHkeyLocalMachine, mstcpEnum + "0001", "Driver", "NetTrans\\0001");
    zv::WriteRegString(h.registry, zv::kHkeyLocalMachine, net + "0001", "DriverDesc", "Realtek RTL8139");
    ASSERT_TRUE(h.Create());
    HWND combo = h.Control(IDC_cmbAdapter);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    // The first item stands for adapter 0001: Optimize writes there.
    h.Select(IDC_cmbConnection, 1);
    h.Click(IDC_Command7);
    h.Click(IDC_Command10);
    h.Click(IDC_Command1);
    EXPECT_EQ(zv::ReadRegString(h.registry, zv::kHkeyLocalMachine, net + "0001", "IPMTU"), "1500");
    EXPECT_FALSE(h.registry.HasKey(zv::kHkeyLocalMachine, net + "0000"));
}

TEST(Form1FirstRun, ThePromptComesAfterTheWindowAndYesKeepsItUsable) {
    zvtest::Form1Harness h(WindowsFamily::WinMe);
    h.messageBoxAnswer = IDYES;
    ASSERT_TRUE(h.Create());
    EXPECT_TRUE(h.messages.empty()) << "not before the window is shown";
    EXPECT_TRUE(IsWindowVisible(h.Form1()));
    h.Pump();
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, zv::kFirstRunPrompt);
    EXPECT_EQ(h.messages[0].caption, "Zarvelo");
    EXPECT_EQ(h.messages[0].type, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_TRUE(IsWindowEnabled(h.Form1()));
    // Yes opened the Backup window without modality and without owner, registered for the keyboard.
    HWND backup = FindWindowA("#32770", "Zarvelo Backup");
    ASSERT_NE(backup, nullptr) << "Yes opened no Backup window";
    EXPECT_TRUE(h.windows.Contains(backup));
    EXPECT_EQ(GetWindow(backup, GW_OWNER), nullptr);
    h.Click(IDC_Command7);
    EXPECT_EQ(h.VisiblePage(), 2);
    // mnuExit closes it with the main window.
    h.Command(IDM_mnuExit);
    h.Pump();
    EXPECT_FALSE(IsWindow(backup));
    EXPECT_FALSE(IsWindow(h.Form1()));
}

TEST(Form1ShutDown, StoresYesAndThePositionInTwips) {
    zvtest::Form1Harness h(WindowsFamily::Win2K);
    NotFirstRun(h.registry);
    ASSERT_TRUE(h.Create());
    SetWindowPos(h.Form1(), nullptr, 120, 64, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HDC dc = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    SendMessageA(h.Form1(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h.Form1()));
    EXPECT_EQ(zv::ReadRegString(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "LoadedMain"), "Yes");
    EXPECT_EQ(zv::ReadRegDword(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "LeftMain", -1),
              static_cast<DWORD>(zv::TwipsFromPixels(120, dpiX)));
    EXPECT_EQ(zv::ReadRegDword(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "TopMain", -1),
              static_cast<DWORD>(zv::TwipsFromPixels(64, dpiY)));
    EXPECT_EQ(h.windows.Count(), 0u);
}

TEST(Form1ShutDown, WindowsShuttingDownStoresTheStateOnce) {
    zvtest::Form1Harness h(WindowsFamily::WinXP);
    ASSERT_TRUE(h.Create());
    h.Pump();  // the first-run prompt, answered No
    SendMessageA(h.Form1(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(zv::ReadRegString(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "LoadedMain"), "Yes");
    zv::WriteRegString(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "LoadedMain", "written once");
    SendMessageA(h.Form1(), WM_CLOSE, 0, 0);
    EXPECT_EQ(zv::ReadRegString(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "LoadedMain"), "written once");
}

TEST(Form1ShutDown, ExitClosesTheOtherWindowsFirst) {
    zvtest::Form1Harness h(WindowsFamily::Win98);
    NotFirstRun(h.registry);
    ASSERT_TRUE(h.Create());
    HWND other = CreateWindowExA(0, "STATIC", "Zarvelo Backup", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    h.windows.Add(other);
    h.Command(IDM_mnuExit);
    h.Pump();
    EXPECT_FALSE(IsWindow(other));
    EXPECT_FALSE(IsWindow(h.Form1()));
    EXPECT_EQ(zv::ReadRegString(h.registry, zv::kHkeyLocalMachine, zv::kZarveloKey, "LoadedMain"), "Yes");
}

// Each toolbar picture, drawn alone in the middle of a 3 x 3 block of cells at the sizes from 96 to
// 192 DPI, leaves the eight cells around it as they were: nothing spills onto a neighbouring button.
TEST(ToolbarPictures, EachStaysInsideItsCell) {
    constexpr std::uint32_t kUntouched = 0xFF00FF;
    for (int size : {16, 20, 24, 28, 32}) {
        for (int picture = 0; picture < zv::kToolbarPictures; ++picture) {
            const int side = 3 * size;
            std::uint32_t* bits = nullptr;
            zv::UniqueBitmap block(zv::CreateDib32(side, side, &bits));
            zv::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
            ASSERT_TRUE(block && bits && dc);
            std::fill(bits, bits + side * side, kUntouched);
            {
                zv::SelectedObject selected(dc.get(), block.get());
                zv::DrawToolbarPicture(dc.get(), picture, size, size, size);
                GdiFlush();
            }
            int inside = 0, outside = 0;
            std::string firstOutside;
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    if ((bits[y * side + x] & 0xFFFFFF) == kUntouched) continue;
                    const bool inCell = x >= size && x < 2 * size && y >= size && y < 2 * size;
                    inside += inCell;
                    if (!inCell && outside++ == 0) firstOutside = std::to_string(x - size) + "," + std::to_string(y - size);
                }
            }
            EXPECT_GT(inside, 0) << "picture " << picture << " at " << size << " px draws nothing";
            EXPECT_EQ(outside, 0) << "picture " << picture << " at " << size << " px: " << outside
                                  << " pixels outside its cell, the first at " << firstOutside;
        }
    }
}

// File > Exit chosen while a Backup or Restore window without modality shows a refusal: the window
// stays until the box is answered, and its object outlives the OK handler that opened the box.
TEST(Form1ShutDown, ExitDuringAMessageBoxOfASavedFilesWindowClosesItAfterTheBox) {
    for (const bool restore : {false, true}) {
        SCOPED_TRACE(restore ? "Restore" : "Backup");
        zvtest::Form1Harness h(WindowsFamily::Win98);
        HWND window = nullptr;
        if (restore) {
            NotFirstRun(h.registry);
            ASSERT_TRUE(h.Create());
            window = zv::OpenSavedFilesWindow(zv::SavedFilesWindow::Restore, GetModuleHandleA(nullptr), nullptr,
                                              h.Form()->Services(), false);
        } else {
            h.messageBoxAnswer = IDYES;  // the first-run prompt opens the Backup window
            ASSERT_TRUE(h.Create());
            h.Pump();
            window = FindWindowA("#32770", "Zarvelo Backup");
        }
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(h.ServiceHolders(), 2);
        const int ok = restore ? IDC_Restore_Command1 : IDC_Backup_Command1;
        SetWindowTextA(GetDlgItem(window, ok + IDC_Backup_Text1 - IDC_Backup_Command1), "");  // refused

        bool windowWhileOpen = false;
        long holdersWhileOpen = -1;
        h.answer = [&](const zvtest::RecordedMessage&) {
            PostMessageA(h.Form1(), WM_COMMAND, IDM_mnuExit, 0);
            h.Pump();
            windowWhileOpen = IsWindow(window) != FALSE;
            holdersWhileOpen = h.ServiceHolders();
            return IDOK;
        };
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(ok, BN_CLICKED), 0);
        EXPECT_EQ(h.messages.size(), restore ? 1u : 2u);
        EXPECT_TRUE(windowWhileOpen) << "the window was destroyed under its own message box";
        EXPECT_EQ(holdersWhileOpen, 1) << "only the window's object may be left while its box is open";
        EXPECT_FALSE(IsWindow(h.Form1()));
        h.Pump();
        EXPECT_FALSE(IsWindow(window)) << "Exit did not close it after the box";
        EXPECT_EQ(h.ServiceHolders(), 0) << "its object was not deleted";
        EXPECT_EQ(h.windows.Count(), 0u);
    }
}

}  // namespace
