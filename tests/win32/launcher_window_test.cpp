// zarvelo.exe's launcher page, keep-alive start and about window end to end under Wine: the internet
// settings applet, ipconfig, pulsiva.exe from the program folder, frmAbout shown modally, the page's help.
#include <windows.h>

#include <tlhelp32.h>
#include <winver.h>

#include <atomic>
#include <cctype>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/win32/resource.h"
#include "support/registry_sandbox.h"
#include "support/zarvelo_app.h"

namespace {

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const std::string kPulsivaKey = "SOFTWARE\\Quonibar\\Pulsiva";
const std::string kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// What the about window should show, read from zarvelo.exe by version.dll.
std::string VersionLineOf(const std::string& program) {
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(program.c_str(), &ignored));
    void* fixed = nullptr;
    UINT length = 0;
    if (data.empty() || !GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueA(data.data(), "\\", &fixed, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
        return "(no version record in " + program + ")";
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    return "Version " + std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(info->dwFileVersionLS));
}

// The applet's property sheet: "Internet Properties" on Windows, "Internet Settings" in Wine.
HWND FindInternetApplet() {
    HWND hwnd = zvtest::FindTopWindow("Internet Properties");
    return hwnd ? hwnd : zvtest::FindTopWindow("Internet Settings");
}

// Closes a window of another program and waits for that program to end.
void CloseAndWait(HWND hwnd, const char* what) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (!process) return;
    if (WaitForSingleObject(process, 30000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << what << " did not end after its window closed";
        TerminateProcess(process, 1);
    }
    CloseHandle(process);
}

// Watches for a process of that file name started by the parent, from a thread of its own, so that a
// short-lived program is seen even when it has ended before the command that started it returns.
class ChildWatch {
public:
    ChildWatch(DWORD parent, std::string exe) : parent_(parent), exe_(Lower(std::move(exe))) {
        thread_ = std::thread([this] {
            while (!stop_ && !seen_) {
                Look();
                Sleep(2);
            }
        });
    }
    ~ChildWatch() {
        stop_ = true;
        thread_.join();
    }
    bool Seen(DWORD timeoutMs) {
        zvtest::WaitFor([this] { return seen_.load(); }, timeoutMs);
        return seen_;
    }

private:
    void Look() {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            std::string name = Lower(entry.szExeFile);
            const auto slash = name.find_last_of('\\');
            if (slash != std::string::npos) name = name.substr(slash + 1);
            if (entry.th32ParentProcessID == parent_ && name == exe_) seen_ = true;
        }
        CloseHandle(snapshot);
    }

    DWORD parent_;
    std::string exe_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> seen_{false};
    std::thread thread_;
};

class LauncherWindow : public ::testing::Test {
protected:
    void SetUp() override {
        zvtest::GuardZarveloKeys(sandbox_);
        zvtest::WriteSz(HKLM, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
        SetCursorPos(0, 0);
    }
    zvtest::RegistrySandbox sandbox_;
};

TEST_F(LauncherWindow, InternetSettingsOpensTheInternetApplet) {
    while (HWND stale = FindInternetApplet()) CloseAndWait(stale, "an applet left open before");
    zvtest::ZarveloApp app("winxp");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuLauncher);
    ASSERT_EQ(app.VisiblePage(), 6);
    app.Sync();
    app.Shot("zarvelo-launcher");
    EXPECT_EQ(zvtest::SendTo(app.Control(IDC_Option1), BM_GETCHECK), BST_CHECKED) << "Option1 at start";

    app.Click(IDC_Option4);
    app.Click(IDC_Command2);
    HWND applet = nullptr;
    zvtest::WaitFor([&] { return (applet = FindInternetApplet()) != nullptr; }, 60000);
    ASSERT_NE(applet, nullptr) << "no Internet Properties window appeared";
    EXPECT_EQ(zvtest::WaitForMessageBox(app.ProcessId(), "Zarvelo", 500), nullptr) << "a failure was reported";
    CloseAndWait(applet, "the internet applet");
    EXPECT_TRUE(app.Close());
}

TEST_F(LauncherWindow, IpConfigurationStartsIpconfigOnWindows2000) {
    zvtest::ZarveloApp app("win2k");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuLauncher);
    app.Click(IDC_Option5);
    ChildWatch ipconfig(app.ProcessId(), "ipconfig.exe");
    app.Click(IDC_Command2);
    EXPECT_TRUE(ipconfig.Seen(30000)) << "zarvelo started no ipconfig.exe";
    EXPECT_EQ(zvtest::WaitForMessageBox(app.ProcessId(), "Zarvelo", 500), nullptr);
    EXPECT_TRUE(app.Close());
}

TEST_F(LauncherWindow, PulsivaMenuStartsPulsivaFromTheProgramFolder) {
    // Pulsiva keeps its options and autostart entry when it closes: the test's own, put back afterwards.
    sandbox_.GuardKey(HKLM, kPulsivaKey);
    sandbox_.GuardValue(HKLM, kRunKey, "Pulsiva");
    ASSERT_EQ(zvtest::FindTopWindow("Pulsiva"), nullptr) << "a Pulsiva window is already open";

    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    // mnuPulsiva, then toolbar button 3.
    for (int command : {static_cast<int>(IDM_mnuPulsiva), IDC_Toolbar1_Button1 + 2}) {
        app.Command(command);
        HWND pulsiva = nullptr;
        zvtest::WaitFor([&] { return (pulsiva = zvtest::FindTopWindow("Pulsiva")) != nullptr; }, 60000);
        ASSERT_NE(pulsiva, nullptr) << "command " << command << ": no Pulsiva window";
        DWORD pid = 0;
        GetWindowThreadProcessId(pulsiva, &pid);
        EXPECT_NE(pid, app.ProcessId());
        // The process's program is the pulsiva.exe beside zarvelo.exe.
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        bool childOfZarvelo = false;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (entry.th32ProcessID == pid) childOfZarvelo = entry.th32ParentProcessID == app.ProcessId();
        }
        CloseHandle(snapshot);
        EXPECT_TRUE(childOfZarvelo) << "command " << command;
        char path[MAX_PATH] = {0};
        DWORD size = MAX_PATH;
        using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
        auto queryImageName = reinterpret_cast<QueryImageName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
        EXPECT_TRUE(queryImageName && process && queryImageName(process, 0, path, &size)) << "command " << command;
        if (process) CloseHandle(process);
        EXPECT_EQ(Lower(path), Lower(zvtest::ProgramDir() + "\\pulsiva.exe")) << "command " << command;
        CloseAndWait(pulsiva, "Pulsiva");
    }
    EXPECT_EQ(zvtest::WaitForMessageBox(app.ProcessId(), "Zarvelo", 500), nullptr);
    EXPECT_TRUE(app.Close());
}

TEST_F(LauncherWindow, AboutIsModalAndClosesWithOkAndEsc) {
    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    // Posted: the modal window's loop runs inside the command.
    PostMessageA(app.Form1(), WM_COMMAND, IDM_mnuAbout, 0);
    HWND about = zvtest::WaitForWindow(app.ProcessId(), "About Zarvelo", 30000);
    ASSERT_NE(about, nullptr) << "mnuAbout opened no about window";
    EXPECT_FALSE(IsWindowEnabled(app.Form1())) << "the main window stays usable while frmAbout is open";
    EXPECT_EQ(GetWindow(about, GW_OWNER), app.Form1());
    const struct {
        int id;
        std::string text;
    } texts[] = {{IDC_frmAbout_Label1, "Zarvelo for"},
                 {IDC_frmAbout_Label2, "Windows 95/98/Me/NT/2000/XP"},
                 {IDC_frmAbout_lblVersion, VersionLineOf(zvtest::ProgramDir() + "\\zarvelo.exe")},
                 {IDC_frmAbout_Label12, "http://www.quonibar.example/"},
                 {IDC_frmAbout_Label13, "support@quonibar.example"},
                 {IDC_frmAbout_Label14, "sales@quonibar.example"}};
    for (const auto& t : texts) EXPECT_EQ(zvtest::WindowText(GetDlgItem(about, t.id)), t.text) << t.id;
    zvtest::Settle(app.Program().Handle());
    zvtest::SaveScreenshot(about, "zarvelo-about");

    zvtest::SendTo(GetDlgItem(about, IDC_frmAbout_Command1), BM_CLICK);
    EXPECT_TRUE(zvtest::WaitFor([&] { return !IsWindow(about); }, 10000)) << "OK left the window open";
    EXPECT_TRUE(zvtest::WaitFor([&] { return IsWindowEnabled(app.Form1()) != FALSE; }, 10000));

    // Esc, as the keyboard gives it to the window's focused button.
    PostMessageA(app.Form1(), WM_COMMAND, IDM_mnuAbout, 0);
    about = zvtest::WaitForWindow(app.ProcessId(), "About Zarvelo", 30000);
    ASSERT_NE(about, nullptr);
    PostMessageA(GetDlgItem(about, IDC_frmAbout_Command1), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(zvtest::WaitFor([&] { return !IsWindow(about); }, 10000)) << "Esc left the window open";
    EXPECT_TRUE(app.Close());
}

TEST_F(LauncherWindow, HelpButtonOpensTheHelpWindow) {
    zvtest::ZarveloApp app("win98");
    ASSERT_TRUE(app.Started());
    app.Command(IDM_mnuLauncher);
    app.Click(IDC_Command6);
    HWND help = nullptr;
    zvtest::WaitFor([&] { return (help = zvtest::FindTopWindow("Zarvelo Help", app.ProcessId())) != nullptr; }, 30000);
    ASSERT_NE(help, nullptr) << "Command6 opened no help window";
    PostMessageA(help, WM_CLOSE, 0, 0);
    EXPECT_TRUE(zvtest::WaitFor([&] { return !IsWindow(help); }, 10000));
    EXPECT_TRUE(app.Close());
}

}  // namespace
