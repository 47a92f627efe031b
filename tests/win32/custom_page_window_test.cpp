// The Custom Optimization page in the test's own process: Help, the Apply run tick by tick, the
// message after changes the registry refused, and Apply and Optimize never running at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "app/progress.h"
#include "app/win32/resource.h"
#include "support/form1_harness.h"
#include "unit/tuning_support.h"

namespace {

using zvtest::Form1Harness;

int Combo(int n) { return IDC_Combo1 + n - 1; }

void TickApply(Form1Harness& h) { SendMessageA(h.Form1(), WM_TIMER, IDT_Timer2, 0); }

int Bar(Form1Harness& h) { return static_cast<int>(SendMessageA(h.Form()->ProgressBar1(), PBM_GETPOS, 0, 0)); }

TEST(CustomPageWindow, HelpOpensTheCustomTopicOverTheWindow) {
    Form1Harness h(zv::WindowsFamily::Win98);
    ASSERT_TRUE(h.Create());
    h.Command(IDM_mnuManual);
    h.Click(IDC_Command5);
    ASSERT_EQ(h.helps.size(), 1u);
    EXPECT_EQ(h.helps[0].request, (zv::HelpRequest{zv::HelpView::Topic, "custom.htm"}));
    EXPECT_EQ(h.helps[0].file, "C:\\Program Files\\Zarvelo\\zarvelo.chm");
    EXPECT_EQ(h.helps[0].owner, h.Form1());
}

TEST(CustomPageWindow, TheRunStepsTheBarAndEndsOnTheTwentyFirstTick) {
    Form1Harness h(zv::WindowsFamily::Win98);
    ASSERT_TRUE(h.Create());
    h.Command(IDM_mnuManual);
    h.Select(Combo(11), 5);  // 64
    h.Click(IDC_Command4);
    EXPECT_EQ(h.registry.Get(zv::kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL"), zvtest::Sz("64"))
        << "written inside the click";
    EXPECT_FALSE(h.Enabled(IDC_Command4));
    EXPECT_TRUE(h.Form()->ApplyProgress().Running());
    for (int tick = 1; tick <= 20; ++tick) {
        TickApply(h);
        EXPECT_EQ(Bar(h), tick * 5) << "tick " << tick;
        EXPECT_FALSE(h.Enabled(IDC_Command4)) << "tick " << tick;
        EXPECT_FALSE(h.Enabled(IDC_Toolbar1)) << "tick " << tick;
    }
    TickApply(h);
    EXPECT_TRUE(h.Enabled(IDC_Command4));
    EXPECT_TRUE(h.Enabled(IDC_Toolbar1));
    EXPECT_EQ(h.Form()->ApplyProgress().Counter(), 0);
    EXPECT_FALSE(IsWindowVisible(h.Form()->ProgressBar1()));
    EXPECT_EQ(h.StatusPanels(), 1);
    EXPECT_TRUE(h.messages.empty()) << "every change took effect: nothing more is shown";
    EXPECT_EQ(h.VisiblePage(), 1) << "no frame of the wizard comes up";
    EXPECT_TRUE(IsWindowVisible(h.Form()->frmCustom(0))) << "nor does the tab change";
}

TEST(CustomPageWindow, RefusedChangesAreReportedAtTheEndOfTheRun) {
    Form1Harness h(zv::WindowsFamily::WinMe);
    ASSERT_TRUE(h.Create());
    h.registry.RefuseCalls(zv::RegCall::Set, 2, 1);  // every value the registry is given after the run's record
    h.Command(IDM_mnuManual);
    h.Select(Combo(2), 1);   // two values
    h.Select(Combo(33), 4);  // one value
    h.Click(IDC_Command4);
    for (int tick = 1; tick <= 20; ++tick) TickApply(h);
    EXPECT_TRUE(h.messages.empty()) << "not before the run ends";
    TickApply(h);
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, zv::FailedChangesMessage(3));
    EXPECT_EQ(h.messages[0].caption, "Zarvelo");
    EXPECT_TRUE(h.Enabled(IDC_Command4));
}

TEST(CustomPageWindow, TheMenuItemAppliesOnlyInCustomModeAndNotDuringARun) {
    Form1Harness h(zv::WindowsFamily::WinXP);
    ASSERT_TRUE(h.Create());
    h.Command(IDM_mnuManual);
    h.Select(Combo(11), 1);
    h.Command(IDM_mnuAuto);
    h.Command(IDM_mnuApply);  // automatic mode: the item is hidden
    EXPECT_FALSE(h.Form()->ApplyProgress().Running());
    EXPECT_FALSE(h.registry.Get(zv::kHkeyLocalMachine, zvtest::kTcpip, "DefaultTTL"));

    h.Command(IDM_mnuManual);
    h.Command(IDM_mnuApply);
    EXPECT_TRUE(h.Form()->ApplyProgress().Running());
    EXPECT_EQ(h.registry.Get(zv::kHkeyLocalMachine, zvtest::kTcpip, "DefaultTTL"), zvtest::Dw(4));
    TickApply(h);
    TickApply(h);
    // A second Apply during the run: nothing written, the run goes on from where it was.
    h.Select(Combo(11), 2);
    h.Command(IDM_mnuApply);
    EXPECT_EQ(h.registry.Get(zv::kHkeyLocalMachine, zvtest::kTcpip, "DefaultTTL"), zvtest::Dw(4));
    EXPECT_EQ(h.Form()->ApplyProgress().Counter(), 10);
    EXPECT_EQ(h.StatusPanels(), 2) << "no second progress panel";
    for (int tick = 3; tick <= 21; ++tick) TickApply(h);
    EXPECT_EQ(h.StatusPanels(), 1);
}

TEST(CustomPageWindow, ApplyAndOptimizeShareTheStatusBarOneAtATime) {
    Form1Harness h(zv::WindowsFamily::Win98);
    ASSERT_TRUE(h.Create());
    // Optimize ("Windows Defaults": only deletions), then straight to the custom page while its run goes on.
    zv::WriteRegString(h.registry, zv::kHkeyLocalMachine, zvtest::kMstcp, "DefaultTTL", "32");
    h.Select(IDC_cmbConnection, 4);
    h.Click(IDC_Command1);
    ASSERT_TRUE(h.Form()->OptimizeProgress().Running());
    h.Command(IDM_mnuManual);
    h.Select(Combo(33), 1);
    h.Click(IDC_Command4);
    EXPECT_FALSE(h.Form()->ApplyProgress().Running());
    EXPECT_FALSE(h.registry.Get(zv::kHkeyLocalMachine, zvtest::kNetbeui, "default")) << "Apply during Optimize's run";
    EXPECT_TRUE(h.Enabled(IDC_Command4));
    for (int tick = 1; tick <= 21; ++tick) h.Tick();
    ASSERT_FALSE(h.Form()->OptimizeProgress().Running());
    EXPECT_EQ(h.StatusPanels(), 1);

    // And the other way round.
    h.Click(IDC_Command4);
    EXPECT_EQ(h.registry.Get(zv::kHkeyLocalMachine, zvtest::kNetbeui, "default"), zvtest::Sz("4"));
    h.Click(IDC_Command1);
    EXPECT_FALSE(h.Form()->OptimizeProgress().Running()) << "Optimize during Apply's run";
    for (int tick = 1; tick <= 21; ++tick) TickApply(h);
    EXPECT_EQ(h.StatusPanels(), 1);
}

TEST(CustomPageWindow, TabOrderFollowsTheLayoutOfTheTabInView) {
    Form1Harness h(zv::WindowsFamily::Win98);
    ASSERT_TRUE(h.Create());
    h.Command(IDM_mnuManual);
    auto chain = [&](int first, int count) {
        std::vector<int> ids;
        HWND at = h.Control(first);
        for (int i = 0; i < count && at; ++i) {
            ids.push_back(GetDlgCtrlID(at));
            at = GetNextDlgTabItem(h.Form1(), at, FALSE);
        }
        return ids;
    };
    // Rows left then right, Apply, Help, the tab strip, and round again.
    std::vector<int> general;
    for (int n : {1, 3, 2, 4, 5, 6, 8, 9, 10, 7}) general.push_back(Combo(n));
    for (int id : {IDC_Command4, IDC_Command5, IDC_TabStrip1, Combo(1)}) general.push_back(id);
    EXPECT_EQ(chain(Combo(1), 14), general);
    EXPECT_EQ(GetFocus(), h.Control(Combo(1))) << "custom mode puts the keyboard on the first editor";

    h.Form()->ShowCustomTab(2);
    std::vector<int> nwlink;
    for (int n : {19, 20, 25, 21, 22, 26, 24, 23}) nwlink.push_back(Combo(n));
    nwlink.push_back(IDC_Command4);
    EXPECT_EQ(chain(Combo(19), 9), nwlink);
    h.Form()->ShowCustomTab(3);
    std::vector<int> netbeui;
    for (int n : {33, 34, 35, 30, 32, 31, 27, 28, 29}) netbeui.push_back(Combo(n));
    netbeui.push_back(IDC_Command4);
    EXPECT_EQ(chain(Combo(33), 10), netbeui);
    h.Form()->ShowCustomTab(1);
    std::vector<int> tcpip;
    for (int n : {11, 12, 13, 14, 15, 16, 17, 18}) tcpip.push_back(Combo(n));
    tcpip.push_back(IDC_Command4);
    EXPECT_EQ(chain(Combo(11), 9), tcpip);
    // No editor of a hidden frame is reachable.
    EXPECT_EQ(GetNextDlgTabItem(h.Form1(), h.Control(IDC_TabStrip1), FALSE), h.Control(Combo(11)));
    h.Form()->ShowCustomTab(4);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(IsWindowVisible(h.Form()->frmCustom(i))) << "index 4 hides frame " << i;
}

TEST(CustomPageWindow, CtrlTabGoesThroughTheTabsOnlyOnTheCustomPage) {
    Form1Harness h(zv::WindowsFamily::Win2K);
    ASSERT_TRUE(h.Create());
    BYTE keys[256] = {0};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(SendMessageA(h.Form1(), zv::kCtrlTabMessage, 0, 0), FALSE) << "automatic mode";
    EXPECT_EQ(h.Form()->frmCustom(0), nullptr) << "the tab frames are made when the page is first shown";
    h.Command(IDM_mnuManual);
    MSG msg{h.Control(Combo(1)), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_TRUE(h.windows.TranslateDialogMessage(&msg));
    EXPECT_TRUE(IsWindowVisible(h.Form()->frmCustom(1)));
    EXPECT_FALSE(IsWindowVisible(h.Form()->frmCustom(0)));
    EXPECT_EQ(SendMessageA(h.Control(IDC_TabStrip1), TCM_GETCURSEL, 0, 0), 1);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(h.windows.TranslateDialogMessage(&msg));
    EXPECT_TRUE(h.windows.TranslateDialogMessage(&msg));
    EXPECT_TRUE(IsWindowVisible(h.Form()->frmCustom(3)));
    keys[VK_SHIFT] = 0;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

}  // namespace
