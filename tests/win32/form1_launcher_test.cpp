// The launcher page, the keep-alive start and frmAbout in the test's own process, over a recorded process
// seam: what each option and command starts, what a failed start shows, the links, their colour and pointer.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/launcher.h"
#include "app/startup.h"
#include "app/win32/frm_about.h"
#include "app/win32/resource.h"
#include "platform/registry_helpers.h"
#include "support/form1_harness.h"

namespace {

using zv::WindowsFamily;
using zvtest::StarterCall;

constexpr int kOptionIds[6] = {IDC_Option1, IDC_Option3, IDC_Option4, IDC_Option5, IDC_Option6, IDC_Option7};
const char kProgramDir[] = "C:\\Program Files\\Zarvelo";

void NotFirstRun(zv::Registry& reg) { zv::WriteRegString(reg, zv::kHkeyLocalMachine, zv::kZarveloKey, "LoadedMain", "Yes"); }

std::string Describe(const StarterCall& c) {
    return std::string(c.kind == StarterCall::Run ? "Run " : "ShellOpen ") + c.text +
           (c.show == zv::ShowMode::Show ? " (SW_SHOW)" : " (SW_SHOWNORMAL)");
}

class LauncherPage : public ::testing::TestWithParam<WindowsFamily> {
protected:
    LauncherPage() : h(GetParam()) {}
    void SetUp() override {
        NotFirstRun(h.registry);
        ASSERT_TRUE(h.Create());
    }
    bool Checked(int id) { return SendMessageA(h.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Is9x() const { return GetParam() == WindowsFamily::Win95 || GetParam() == WindowsFamily::Win98; }

    zvtest::Form1Harness h;
};

TEST_P(LauncherPage, CarriesItsTextsWithOption1Selected) {
    h.Command(IDM_mnuLauncher);
    ASSERT_EQ(h.VisiblePage(), 6);
    EXPECT_EQ(h.Text(IDC_Label58),
              "This screen enables you to launch internet related applets in Windows control panel. Also you can run default");
    EXPECT_EQ(h.Text(IDC_Label59), "browser and default mail program here. See Help file for details.");
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(h.Text(kOptionIds[i]), zv::kLaunchOptions[i].caption) << zv::kLaunchOptions[i].control;
        EXPECT_EQ(Checked(kOptionIds[i]), i == 0) << zv::kLaunchOptions[i].control;
    }
    EXPECT_EQ(h.Text(IDC_Command2), "&Launch");
    EXPECT_EQ(h.Text(IDC_Command6), "&Help");
    // Enter presses Launch.
    EXPECT_EQ(LOWORD(SendMessageA(h.Form1(), DM_GETDEFID, 0, 0)), IDC_Command2);
}

TEST_P(LauncherPage, OptionsFormOneGroup) {
    h.Command(IDM_mnuLauncher);
    for (std::size_t i = 0; i < 6; ++i) {
        h.Click(kOptionIds[i]);
        for (std::size_t j = 0; j < 6; ++j) {
            EXPECT_EQ(Checked(kOptionIds[j]), i == j)
                << zv::kLaunchOptions[j].control << " after a click on " << zv::kLaunchOptions[i].control;
        }
    }
}

TEST_P(LauncherPage, LaunchStartsWhatTheSelectedOptionNames) {
    const struct {
        int option;
        StarterCall::Kind kind;
        const char* on9x;
        const char* onNt;
        zv::ShowMode show;
    } cases[] = {
        {IDC_Option1, StarterCall::Run, "rundll32.exe shell32.dll,Control_RunDLL netcpl.cpl",
         "rundll32.exe shell32.dll,Control_RunDLL ncpa.cpl", zv::ShowMode::Normal},
        {IDC_Option3, StarterCall::Run, "rundll32.exe shell32.dll,Control_RunDLL modem.cpl",
         "rundll32.exe shell32.dll,Control_RunDLL modem.cpl", zv::ShowMode::Normal},
        {IDC_Option4, StarterCall::Run, "rundll32.exe shell32.dll,Control_RunDLL inetcpl.cpl",
         "rundll32.exe shell32.dll,Control_RunDLL inetcpl.cpl", zv::ShowMode::Normal},
        {IDC_Option5, StarterCall::Run, "winipcfg", "ipconfig", zv::ShowMode::Normal},
        {IDC_Option6, StarterCall::ShellOpen, "http://www.quonibar.example/", "http://www.quonibar.example/",
         zv::ShowMode::Normal},
        {IDC_Option7, StarterCall::ShellOpen, "mailto:", "mailto:", zv::ShowMode::Show},
    };
    h.Command(IDM_mnuLauncher);
    for (const auto& c : cases) {
        h.Click(c.option);
        // Command2 and mnuLaunch do the same.
        for (bool fromMenu : {false, true}) {
            const std::string what = std::to_string(c.option) + (fromMenu ? " by mnuLaunch" : " by Command2");
            h.starter->calls.clear();
            if (fromMenu) {
                h.Command(IDM_mnuLaunch);
            } else {
                h.Click(IDC_Command2);
            }
            ASSERT_EQ(h.starter->calls.size(), 1u) << what;
            const StarterCall& call = h.starter->calls[0];
            EXPECT_EQ(call.kind, c.kind) << what << ": " << Describe(call);
            EXPECT_EQ(call.text, Is9x() ? c.on9x : c.onNt) << what;
            EXPECT_EQ(call.show, c.show) << what << ": " << Describe(call);
            if (call.kind == StarterCall::ShellOpen) {
                EXPECT_EQ(call.owner, h.Form1()) << what;
            }
        }
    }
    EXPECT_TRUE(h.messages.empty());
}

TEST_P(LauncherPage, LaunchMenuOutsideLauncherModeStartsNothing) {
    h.Command(IDM_mnuLaunch);
    h.Command(IDM_mnuManual);
    h.Command(IDM_mnuLaunch);
    EXPECT_TRUE(h.starter->calls.empty());
}

TEST_P(LauncherPage, FailedStartsNameWhatCouldNotBeStartedExceptTheIpTools) {
    h.starter->succeed = false;
    h.Command(IDM_mnuLauncher);
    const struct {
        int option;
        const char* named;  // nullptr: nothing is shown
    } cases[] = {{IDC_Option1, "Network Settings"}, {IDC_Option3, "Modem Settings"},
                 {IDC_Option4, "Internet Settings"}, {IDC_Option5, nullptr},
                 {IDC_Option6, "default browser"},   {IDC_Option7, "default mail program"}};
    for (const auto& c : cases) {
        h.messages.clear();
        h.Click(c.option);
        h.Click(IDC_Command2);
        if (!c.named) {
            EXPECT_TRUE(h.messages.empty()) << c.option;
            continue;
        }
        ASSERT_EQ(h.messages.size(), 1u) << c.option;
        EXPECT_NE(h.messages[0].text.find(c.named), std::string::npos) << c.option << ": " << h.messages[0].text;
        EXPECT_EQ(h.messages[0].caption, "Zarvelo");
        EXPECT_EQ(h.messages[0].owner, h.Form1());
        EXPECT_EQ(h.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
}

TEST_P(LauncherPage, HelpOpensTheLauncherTopic) {
    h.Command(IDM_mnuLauncher);
    h.Click(IDC_Command6);
    ASSERT_EQ(h.helps.size(), 1u);
    EXPECT_EQ(h.helps[0].owner, h.Form1());
    EXPECT_EQ(h.helps[0].file, std::string(kProgramDir) + "\\zarvelo.chm");
    EXPECT_EQ(h.helps[0].request, (zv::HelpRequest{zv::HelpView::Topic, "launcher.htm"}));
}

TEST_P(LauncherPage, PulsivaMenuAndToolbarButton3StartPulsivaFromTheProgramFolder) {
    for (int command : {static_cast<int>(IDM_mnuPulsiva), IDC_Toolbar1_Button1 + 2}) {
        h.starter->calls.clear();
        h.Command(command);
        ASSERT_EQ(h.starter->calls.size(), 1u) << command;
        EXPECT_EQ(h.starter->calls[0].kind, StarterCall::Run) << command;
        EXPECT_EQ(h.starter->calls[0].text, "\"" + std::string(kProgramDir) + "\\pulsiva.exe\"") << command;
        EXPECT_EQ(h.starter->calls[0].show, zv::ShowMode::Normal) << command;
    }
    EXPECT_TRUE(h.messages.empty());
    h.starter->succeed = false;
    h.Command(IDM_mnuPulsiva);
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_NE(h.messages[0].text.find("pulsiva.exe"), std::string::npos) << h.messages[0].text;
}

INSTANTIATE_TEST_SUITE_P(Families, LauncherPage, ::testing::Values(WindowsFamily::Win98, WindowsFamily::Win2K),
                         [](const auto& info) { return info.param == WindowsFamily::Win98 ? "Win98" : "Win2K"; });

// frmAbout without modality, on the test's thread.
class AboutWindow : public ::testing::Test {
protected:
    void SetUp() override {
        services.starter = starter;
        services.messageBox = [this](HWND owner, const std::string& text, const std::string& caption, UINT) {
            messages.push_back({owner, text, caption, 0});
            return IDOK;
        };
        hwnd = zv::CreateAboutWindow(GetModuleHandleA(nullptr), nullptr, services);
        ASSERT_NE(hwnd, nullptr);
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }
    void TearDown() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    std::string Text(int id) {
        char text[256] = {0};
        GetDlgItemTextA(hwnd, id, text, sizeof text);
        return text;
    }

    std::shared_ptr<zvtest::RecordingStarter> starter = std::make_shared<zvtest::RecordingStarter>();
    std::vector<zvtest::RecordedMessage> messages;
    zv::AboutServices services;
    HWND hwnd = nullptr;
};

TEST_F(AboutWindow, CarriesItsTextsAndPicture) {
    char caption[64] = {0};
    GetWindowTextA(hwnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "About Zarvelo");
    const struct {
        int id;
        const char* text;
    } labels[] = {{IDC_frmAbout_Label1, "Zarvelo for"},
                  {IDC_frmAbout_Label2, "Windows 95/98/Me/NT/2000/XP"},
                  {IDC_frmAbout_Label9, "Web URL :"},
                  {IDC_frmAbout_Label12, "http://www.quonibar.example/"},
                  {IDC_frmAbout_Label10, "Technical Support :"},
                  {IDC_frmAbout_Label13, "support@quonibar.example"},
                  {IDC_frmAbout_Label11, "Sales Support:"},
                  {IDC_frmAbout_Label14, "sales@quonibar.example"},
                  {IDC_frmAbout_Command1, "OK"}};
    for (const auto& l : labels) EXPECT_EQ(Text(l.id), l.text) << l.id;
    EXPECT_NE(SendDlgItemMessageA(hwnd, IDC_frmAbout_Picture1, STM_GETICON, 0, 0), 0) << "Picture1 shows no picture";
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(hwnd, IDC_frmAbout_Label1, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD) << "Label1";
    // Each link label is no wider than its address, so the hand shows only over the text, and not clipped.
    for (int id : {IDC_frmAbout_Label12, IDC_frmAbout_Label13, IDC_frmAbout_Label14}) {
        HWND label = GetDlgItem(hwnd, id);
        HDC dc = GetDC(label);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
        const std::string text = Text(id);
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        RECT r{};
        GetClientRect(label, &r);
        EXPECT_GE(r.right, extent.cx) << id;
        EXPECT_LE(r.right, extent.cx + metrics.tmAveCharWidth) << id;
    }
}

TEST_F(AboutWindow, LinksOpenTheirAddressesOwnedByTheWindow) {
    const struct {
        int id;
        const char* target;
        zv::ShowMode show;
    } links[] = {{IDC_frmAbout_Label12, "http://www.quonibar.example/", zv::ShowMode::Normal},
                 {IDC_frmAbout_Label13, "mailto:support@quonibar.example", zv::ShowMode::Show},
                 {IDC_frmAbout_Label14, "mailto:sales@quonibar.example", zv::ShowMode::Show}};
    for (const auto& l : links) {
        // A click with the mouse, then Space on the focused link.
        for (bool keyboard : {false, true}) {
            starter->calls.clear();
            HWND label = GetDlgItem(hwnd, l.id);
            if (keyboard) {
                SendMessageA(label, WM_KEYDOWN, VK_SPACE, 0);
            } else {
                SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
                SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            }
            ASSERT_EQ(starter->calls.size(), 1u) << l.target << (keyboard ? " by Space" : " by a click");
            EXPECT_EQ(starter->calls[0].kind, StarterCall::ShellOpen) << l.target;
            EXPECT_EQ(starter->calls[0].text, l.target);
            EXPECT_EQ(starter->calls[0].owner, hwnd) << l.target;
            EXPECT_EQ(starter->calls[0].show, l.show) << l.target;
        }
    }
    // The labels beside them are no links.
    starter->calls.clear();
    SendMessageA(GetDlgItem(hwnd, IDC_frmAbout_Label9), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(GetDlgItem(hwnd, IDC_frmAbout_Label9), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(starter->calls.empty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(AboutWindow, ALinkThatCannotBeOpenedIsReported) {
    starter->succeed = false;
    SendMessageA(GetDlgItem(hwnd, IDC_frmAbout_Label13), WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].owner, hwnd);
    EXPECT_EQ(messages[0].caption, "Zarvelo");
    EXPECT_NE(messages[0].text.find("mailto:support@quonibar.example"), std::string::npos) << messages[0].text;
}

TEST_F(AboutWindow, LinksAreInTheHighlightColourWithTheHandPointer) {
    HDC dc = CreateCompatibleDC(nullptr);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const struct {
        int id;
        bool link;
    } labels[] = {{IDC_frmAbout_Label12, true},  {IDC_frmAbout_Label13, true}, {IDC_frmAbout_Label14, true},
                  {IDC_frmAbout_Label9, false},  {IDC_frmAbout_Label10, false}, {IDC_frmAbout_Label11, false},
                  {IDC_frmAbout_Label2, false}};
    for (const auto& l : labels) {
        HWND label = GetDlgItem(hwnd, l.id);
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageA(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
        EXPECT_EQ(GetTextColor(dc) == highlight, l.link) << l.id;

        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor() == zv::LinkCursor(), l.link) << l.id;
    }
    DeleteDC(dc);
}

TEST_F(AboutWindow, OwnHandPointerHasItsHotSpotAtTheFingerTip) {
    // The pointer for systems without a hand of their own (Windows 95, NT 4).
    HCURSOR own = zv::OwnHandCursor();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(zv::OwnHandCursor(), own) << "made once";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(own, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

TEST_F(AboutWindow, TabReachesTheLinksAndOk) {
    std::vector<int> stops;
    HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    HWND at = first;
    do {
        stops.push_back(GetDlgCtrlID(at));
        at = GetNextDlgTabItem(hwnd, at, FALSE);
    } while (at && at != first && stops.size() < 10);
    EXPECT_EQ(stops, (std::vector<int>{IDC_frmAbout_Label12, IDC_frmAbout_Label13, IDC_frmAbout_Label14,
                                       IDC_frmAbout_Command1}));
}

TEST_F(AboutWindow, OkAndEscCloseIt) {
    SendMessageA(GetDlgItem(hwnd, IDC_frmAbout_Command1), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd)) << "OK";
    hwnd = zv::CreateAboutWindow(GetModuleHandleA(nullptr), nullptr, services);
    ASSERT_NE(hwnd, nullptr);
    // What the dialog manager sends for Esc.
    SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(hwnd)) << "Esc";
}

}  // namespace
