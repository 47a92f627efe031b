// zarvelo.exe's command line under Wine: a registry file imported by Wine's regedit leaves the
// registry exactly as running the same change does, and the program itself, started with
// arguments, ends with the exit code a script expects and shows no window with /quiet.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/command_line.h"
#include "backup/win32/backup_folder.h"
#include "backup/win32/safety_disk_folder.h"
#include "optimize/custom.h"
#include "platform/win32/advapi_registry.h"
#include "support/registry_sandbox.h"
#include "support/wintest.h"
#include "support/zarvelo_app.h"
#include "unit/family_query.h"

namespace zvtest {
namespace {

std::string TempPath(const std::string& name) {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

bool Regedit(const std::string& arguments) {
    Process p("regedit.exe " + arguments);
    return p.Started() && p.WaitExit(60000);
}

// Everything regedit /e writes for the keys the runs may touch (Wine's own values included).
std::string ExportAll() {
    static const char* const keys[] = {
        "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class",
        "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD",
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters",
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
    };
    const std::string file = TempPath("zv_compare.reg");
    std::string all;
    for (const char* key : keys) {
        DeleteFileA(file.c_str());
        Regedit("/e \"" + file + "\" \"" + key + "\"");
        all += std::string("== ") + key + "\n" + ReadAll(file);
    }
    DeleteFileA(file.c_str());
    return all;
}

struct Case {
    const char* what;
    zv::WindowsFamily family;
    std::vector<std::string> optimize;  // the command line; empty: a custom Apply with every editor set
};

// Every editor set, "Default" (deletions) on every third.
zv::CustomSelections AllEditorsSet() {
    zv::CustomSelections s = zv::NoSelections();
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto items = static_cast<int>(zv::ListData(zv::CustomEditors()[i].list).items.size());
        s[i] = i % 3 == 0 ? 0 : 1 + static_cast<int>(i) % (items - 1);
    }
    return s;
}

// The machine the case starts from: another choice of the wizard already applied.
void SeedBeforeState(zv::AdvapiRegistry& reg, zv::WindowsFamily family) {
    zv::CommandLine seed = zv::ParseCommandLine({"/optimize", "1", "2"}).command;
    std::string refused;
    zv::OptimizeCommandRun(reg, FamilyQuery(family), seed, nullptr, &refused).plan(reg);
}

TEST(CommandLineExport, RegeditImportOfTheFileEqualsTheRunItself) {
    const Case cases[] = {
        {"95 dial-up #1", zv::WindowsFamily::Win95, {"/optimize", "1", "1"}},
        {"98 LAN #3", zv::WindowsFamily::Win98, {"/optimize", "2", "3"}},
        {"Me satellite #5", zv::WindowsFamily::WinMe, {"/optimize", "4", "5"}},
        {"98 Windows Defaults", zv::WindowsFamily::Win98, {"/optimize", "5"}},
        {"NT 4 PPPoE #2", zv::WindowsFamily::WinNT, {"/optimize", "3", "2"}},
        {"2000 LAN #4", zv::WindowsFamily::Win2K, {"/optimize", "2", "4"}},
        {"XP Windows Defaults", zv::WindowsFamily::WinXP, {"/optimize", "5"}},
        {"98 custom", zv::WindowsFamily::Win98, {}},
        {"XP custom", zv::WindowsFamily::WinXP, {}},
    };
    RegistrySandbox outer;
    GuardZarveloKeys(outer);
    zv::AdvapiRegistry reg;
    const std::string file = TempPath("zv_export_case.reg");
    const std::string folder = TempPath("zv_export_backups");
    for (const Case& c : cases) {
        const zv::VersionQuery query = FamilyQuery(c.family);
        const zv::COpSysInfo os(query);
        zv::DiscoveredAdapters adapters = zv::DiscoverAdapters(reg, os);
        const std::vector<std::string> items = zv::AdapterListItems(adapters, os.IsWin9x());
        const zv::WriteRun custom = zv::ApplyRun(c.family, AllEditorsSet(),
                                                 zv::AdapterChoice{items.back(), static_cast<int>(items.size()) - 1},
                                                 adapters);
        const zv::CommandLine command = zv::ParseCommandLine(c.optimize).command;

        std::string imported;
        {
            RegistrySandbox s;
            GuardZarveloKeys(s);
            SeedBeforeState(reg, c.family);
            DeleteFileA(file.c_str());
            if (c.optimize.empty()) {
                zv::RegExportFacts facts{"1.0.0", c.family, items.back(), "Custom Optimization", "", {2026, 12, 8, 9, 0, 0}};
                std::ofstream(file, std::ios::binary) << zv::RegFileText(zv::PlanChanges(reg, custom, nullptr), facts);
            } else {
                const auto safety = zv::DiskSafetyFolder(folder, zv::ReplaceMethod::kMoveFileEx);
                zv::Win32BackupFolder backups(folder);
                zv::CommandServices services{reg, query, *safety, backups, {2026, 12, 8, 9, 0, 0}, "1.0.0",
                                             [](const std::string& path, const std::string& text, bool) {
                                                 std::ofstream(path, std::ios::binary) << text;
                                                 return std::string();
                                             }};
                zv::CommandLine exporting = command;
                exporting.exportFile = file;
                ASSERT_EQ(zv::RunCommand(services, exporting).exitCode, zv::kExitDone) << c.what;
            }
            ASSERT_TRUE(Regedit("/s \"" + file + "\"")) << c.what;
            imported = ExportAll();
        }
        std::string direct;
        {
            RegistrySandbox s;
            GuardZarveloKeys(s);
            SeedBeforeState(reg, c.family);
            std::string refused;
            const zv::WriteRun run =
                c.optimize.empty() ? custom : zv::OptimizeCommandRun(reg, query, command, nullptr, &refused);
            run.plan(reg);
            direct = ExportAll();
        }
        EXPECT_EQ(imported, direct) << c.what << ": the file was\n" << ReadAll(file);
    }
    DeleteFileA(file.c_str());
}

// The program started with arguments: exit code, the log line, and the registry afterwards.
struct Started {
    DWORD exitCode = 0xDEADBEEF;
    bool ended = false;
};

Started RunZarvelo(const std::string& wineVersion, const std::string& arguments) {
    SetWineVersion("zarvelo.exe", wineVersion);
    Process p("\"" + ProgramDir() + "\\zarvelo.exe\" " + arguments);
    Started s;
    s.ended = p.WaitExit(60000, &s.exitCode);
    return s;
}

TEST(CommandLineProgram, QuietRunsEndWithTheirExitCodeAndNoWindow) {
    RegistrySandbox sandbox;
    GuardZarveloKeys(sandbox);
    const std::string backupDir = ProgramDir() + "\\backup";
    const std::vector<std::string> backupsBefore = zv::FolderFiles(backupDir);
    const std::string log = TempPath("zv_command.log");
    DeleteFileA(log.c_str());

    const std::string untouched = ExportAll();
    Started bad = RunZarvelo("win98", "/optimize 2 9 /quiet /log \"" + log + "\"");
    ASSERT_TRUE(bad.ended) << "a window stayed open";
    EXPECT_EQ(bad.exitCode, 1u);
    EXPECT_EQ(ExportAll(), untouched) << "a bad argument changed the registry";
    EXPECT_EQ(zv::FolderFiles(backupDir), backupsBefore);

    for (const char* family : {"win98", "winxp"}) {
        const std::string before = ExportAll();
        Started run = RunZarvelo(family, "-OPTIMIZE 2 3 /quiet /log \"" + log + "\"");
        ASSERT_TRUE(run.ended) << family << ": a window stayed open";
        EXPECT_EQ(run.exitCode, 0u) << family;
        EXPECT_NE(ExportAll(), before) << family << ": nothing was written";
    }
    const std::string lines = ReadAll(log);
    EXPECT_NE(lines.find("\t/optimize 2 9 /quiet /log "), std::string::npos) << lines;
    EXPECT_NE(lines.find("exit 1 bad arguments\t0 set, 0 deleted, 0 refused\r\n"), std::string::npos) << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3) << lines;

    // Each write run took its safety backup; they go again with this test.
    int taken = 0;
    for (const std::string& name : zv::FolderFiles(backupDir)) {
        if (std::find(backupsBefore.begin(), backupsBefore.end(), name) == backupsBefore.end()) {
            ++taken;
            zv::DeleteSavedFile(backupDir + "\\" + name);
        }
    }
    EXPECT_EQ(taken, 2);
    DeleteFileA(log.c_str());
}

TEST(CommandLineProgram, WithoutQuietTheOutcomeIsAMessageBox) {
    RegistrySandbox sandbox;
    GuardZarveloKeys(sandbox);
    SetWineVersion("zarvelo.exe", "win2k");
    Process p("\"" + ProgramDir() + "\\zarvelo.exe\" /optimize 9 1");
    HWND box = WaitForMessageBox(p.Id(), "Zarvelo");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box).rfind("9 is not a connection type", 0), 0u) << MessageBoxText(box);
    SaveScreenshot(box, "command-line-usage");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD code = 0;
    ASSERT_TRUE(p.WaitExit(20000, &code));
    EXPECT_EQ(code, 1u);
}

}  // namespace
}  // namespace zvtest
