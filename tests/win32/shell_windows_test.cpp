// Both programs start and show their main window; they are built for the registry view the tests write.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "support/registry_sandbox.h"
#include "support/tray_probe.h"
#include "support/wintest.h"

namespace {

// The processor a program is built for, from its file header; 0 when it cannot be read.
WORD MachineOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS32 nt{};
    if (!file.read(reinterpret_cast<char*>(&dos), sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return 0;
    if (!file.seekg(dos.e_lfanew).read(reinterpret_cast<char*>(&nt), sizeof nt) || nt.Signature != IMAGE_NT_SIGNATURE) {
        return 0;
    }
    return nt.FileHeader.Machine;
}

const char* MachineName(WORD machine) {
    return machine == IMAGE_FILE_MACHINE_I386 ? "32-bit" : machine == IMAGE_FILE_MACHINE_AMD64 ? "64-bit" : "unknown";
}

// Said once per run, so that its log shows which programs were driven.
class ProgramsUnderTest : public ::testing::Environment {
public:
    void SetUp() override {
        const std::string exe = zvtest::ProgramDir() + "\\zarvelo.exe";
        std::printf("win32_tests (%s): the programs under test are %s and pulsiva.exe beside it (%s)\n",
                    MachineName(sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386), exe.c_str(),
                    MachineName(MachineOf(exe)));
    }
};
const auto* const kProgramsUnderTest = ::testing::AddGlobalTestEnvironment(new ProgramsUnderTest);

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

// In a 64-bit prefix a 32-bit program reads HKLM\\SOFTWARE through Wow6432Node, and a value that a
// 64-bit test writes there is not seen by it: the tests drive programs built as they are.
TEST(ProgramShells, ReadTheRegistryViewTheTestsWrite) {
    const WORD own = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
    for (const char* exe : {"zarvelo.exe", "pulsiva.exe"}) {
        EXPECT_EQ(MachineOf(zvtest::ProgramDir() + "\\" + exe), own) << zvtest::ProgramDir() << "\\" << exe;
    }
    zvtest::RegistrySandbox sandbox;
    zvtest::GuardZarveloKeys(sandbox);
    zvtest::WriteSz(HKEY_LOCAL_MACHINE, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
    const REGSAM view =
        MachineOf(zvtest::ProgramDir() + "\\zarvelo.exe") == IMAGE_FILE_MACHINE_I386 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    HKEY key = nullptr;
    char text[8] = "";
    DWORD size = sizeof text;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, zvtest::kZarveloSettingsKey.c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "LoadedMain", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
    }
    EXPECT_STREQ(text, "Yes") << "zarvelo.exe does not see the LoadedMain the tests write";
}

}  // namespace
