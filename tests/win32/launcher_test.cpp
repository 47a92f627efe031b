// The launcher's Windows process seam on a real system: what starts, what fails, what a launch opens.
#include <gtest/gtest.h>

#include "app/launcher.h"
#include "app/win32/process_starter.h"
#include "support/wintest.h"

namespace {

zv::COpSysInfo OsOf(DWORD platform, DWORD major, DWORD minor, DWORD build) {
    return zv::COpSysInfo([=](zv::OsVersionRecord& rec) {
        rec.dwPlatformId = platform;
        rec.dwMajorVersion = major;
        rec.dwMinorVersion = minor;
        rec.dwBuildNumber = build;
        return true;
    });
}

TEST(Win32ProcessStarter, RunsAProgramAndRefusesAMissingOne) {
    zv::Win32ProcessStarter starter;
    std::string probe = "\"" + zvtest::TestDir() + "\\osprobe.exe\"";
    EXPECT_TRUE(starter.Run(probe, zv::ShowMode::Normal)) << probe;
    EXPECT_FALSE(starter.Run("zv-no-such-program-7f3a", zv::ShowMode::Normal));
    EXPECT_FALSE(starter.Run("", zv::ShowMode::Normal));
}

TEST(Win32ProcessStarter, ShellOpenRefusesAMissingFile) {
    zv::Win32ProcessStarter starter;
    std::string missing = zvtest::TestDir() + "\\zv-no-such-document-7f3a.txt";
    EXPECT_FALSE(starter.ShellOpen(nullptr, missing, zv::ShowMode::Normal)) << missing;
}

TEST(Win32ProcessStarter, KeepAliveStartReportsAMissingProgram) {
    zv::Win32ProcessStarter starter;
    // A folder without pulsiva.exe in it.
    zv::LaunchOutcome outcome = zv::StartKeepAlive(zvtest::TestDir() + "\\zv-empty-7f3a", starter);
    EXPECT_FALSE(outcome.started);
    EXPECT_NE(outcome.message.find("pulsiva.exe"), std::string::npos) << outcome.message;
}

// The applet's property sheet: "Internet Properties" on Windows, "Internet Settings" in Wine.
HWND FindInternetApplet() {
    HWND hwnd = zvtest::FindTopWindow("Internet Properties");
    return hwnd ? hwnd : zvtest::FindTopWindow("Internet Settings");
}

void CloseAndWait(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
        EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0) << "the applet did not close";
        CloseHandle(process);
    }
}

TEST(LauncherOnWindows, InternetSettingsOpensInternetProperties) {
    while (HWND stale = FindInternetApplet()) CloseAndWait(stale);
    zv::Win32ProcessStarter starter;
    zv::LaunchOutcome outcome =
        zv::Launch(zv::LaunchOption::InternetSettings, OsOf(VER_PLATFORM_WIN32_NT, 5, 1, 2600), starter, nullptr);
    ASSERT_TRUE(outcome.started) << outcome.message;
    HWND applet = nullptr;
    zvtest::WaitFor([&] { return (applet = FindInternetApplet()) != nullptr; }, 60000);
    ASSERT_NE(applet, nullptr) << "no Internet Properties window appeared";
    CloseAndWait(applet);
}

TEST(LauncherOnWindows, IpConfigurationStartsIpconfigOnWindows2000) {
    zv::Win32ProcessStarter starter;
    zv::LaunchOutcome outcome =
        zv::Launch(zv::LaunchOption::IpConfiguration, OsOf(VER_PLATFORM_WIN32_NT, 5, 0, 2195), starter, nullptr);
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.message, "");
}

TEST(LauncherOnWindows, MissingIpConfigurationToolIsNotReported) {
    // winipcfg belongs to Windows 95, 98 and Me; wherever it is missing nothing is shown.
    zv::Win32ProcessStarter starter;
    zv::LaunchOutcome outcome =
        zv::Launch(zv::LaunchOption::IpConfiguration, OsOf(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222), starter, nullptr);
    EXPECT_EQ(outcome.message, "");
}

}  // namespace
