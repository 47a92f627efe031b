// Both programs start and show their main window.
#include <gtest/gtest.h>

#include "support/registry_sandbox.h"
#include "support/tray_probe.h"
#include "support/wintest.h"

namespace {

void ExpectWindow(const char* exe, const char* caption, const char* shot) {
    zvtest::Process program("\"" + zvtest::ProgramDir() + "\\" + exe + "\"");
    ASSERT_TRUE(program.Started()) << exe;
    HWND hwnd = zvtest::WaitForWindow(program.Id(), caption);
    ASSERT_NE(hwnd, nullptr) << exe << " showed no window captioned " << caption;
    zvtest::Settle(program.Handle());
    zvtest::SaveScreenshot(hwnd, shot);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitExit(10000)) << exe << " did not end after its window closed";
}

TEST(ProgramShells, ZarveloOpensItsWindow) {
    zvtest::RegistrySandbox sandbox;
    zvtest::GuardZarveloKeys(sandbox);
    zvtest::WriteSz(HKEY_LOCAL_MACHINE, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
    ExpectWindow("zarvelo.exe", "Zarvelo", "shell-zarvelo");
}
// Pulsiva stores its settings and autostart entry when it ends; none of them stays behind.
TEST(ProgramShells, PulsivaOpensItsWindow) {
    zvtest::ForgetPulsiva();
    ExpectWindow("pulsiva.exe", "Pulsiva", "shell-pulsiva");
    zvtest::ForgetPulsiva();
}

}  // namespace
