// zarvelo.exe's command line under Wine: a registry file imported by Wine's regedit leaves the
// registry exactly as running the same change does, and the program itself, started with
// arguments, ends with the exit code a script expects and shows no window with /quiet.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/command_line.h"
#include "app/safe_changes.h"
#include "app/win32/resource.h"
#include "backup/win32/backup_folder.h"
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

// Every editor set, "Default" (deletions) on every third.
zv::CustomSelections AllEditorsSet() {
    zv::CustomSelections s = zv::NoSelections();
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto items = static_cast<int>(zv::ListData(zv::CustomEditors()[i].list).items.size());
        s[i] = i % 3 == 0 ? 0 : 1 + static_cast<int>(i) % (items - 1);
    }
    return s;
}

// The case's run on this registry; no arguments: a custom Apply with every editor set.
zv::WriteRun RunOf(zv::AdvapiRegistry& reg, zv::WindowsFamily family, const std::vector<std::string>& optimize) {
    std::string refused;
    if (!optimize.empty()) {
        return zv::OptimizeCommandRun(reg, FamilyQuery(family), zv::ParseCommandLine(optimize).command, nullptr, &refused);
    }
    const zv::COpSysInfo os(FamilyQuery(family));
    zv::DiscoveredAdapters adapters = zv::DiscoverAdapters(reg, os);
    const std::vector<std::string> items = zv::AdapterListItems(adapters, os.IsWin9x());
    const zv::AdapterChoice choice{items.back(), static_cast<int>(items.size()) - 1};
    return zv::ApplyRun(family, AllEditorsSet(), choice, adapters);
}

TEST(CommandLineExport, RegeditImportOfTheFileEqualsTheRunItself) {
    using F = zv::WindowsFamily;
    const std::pair<F, std::vector<std::string>> cases[] = {
        {F::Win95, {"/optimize", "1", "1"}}, {F::Win98, {"/optimize", "2", "3"}}, {F::WinMe, {"/optimize", "4", "5"}},
        {F::Win98, {"/optimize", "5"}},      {F::WinNT, {"/optimize", "3", "2"}}, {F::Win2K, {"/optimize", "2", "4"}},
        {F::WinXP, {"/optimize", "5"}},      {F::Win98, {}},                      {F::WinXP, {}},
    };
    RegistrySandbox outer;
    GuardZarveloKeys(outer);
    zv::AdvapiRegistry reg;
    const std::string file = TempPath("zv_export_case.reg");
    for (const auto& [family, optimize] : cases) {
        const std::string what = zv::FamilyName(family) + (optimize.empty() ? " custom" : " " + optimize[1]);
        // Imported from the file of the changes, from that of all values made on a tuned machine, then run directly.
        std::string exported[3];
        for (int mode = 0; mode < 3; ++mode) {
            RegistrySandbox s;
            GuardZarveloKeys(s);
            const zv::RegExportFacts facts{"1.0.0", family, "", what, "", {2026, 12, 8, 9, 0, 0}, mode == 1, {}};
            if (mode == 1) {
                // Where the run was made already, the changes alone would be nothing.
                RegistrySandbox tuned;
                GuardZarveloKeys(tuned);
                RunOf(reg, family, {"/optimize", "1", "2"}).plan(reg);
                const zv::WriteRun run = RunOf(reg, family, optimize);
                run.plan(reg);
                const zv::ChangeSet changes = zv::PlanChanges(reg, run, nullptr);
                EXPECT_TRUE(changes.ChangesNothing()) << what;
                std::ofstream(file, std::ios::binary) << zv::RegFileText(changes.AllWrites(), facts);
            }
            // The machine starts with another choice of the wizard already applied.
            RunOf(reg, family, {"/optimize", "1", "2"}).plan(reg);
            const zv::WriteRun run = RunOf(reg, family, optimize);
            if (mode == 2) {
                run.plan(reg);
            } else {
                if (mode == 0) {
                    std::ofstream(file, std::ios::binary) << zv::RegFileText(zv::PlanChanges(reg, run, nullptr), facts);
                }
                ASSERT_TRUE(Regedit("/s \"" + file + "\"")) << what;
            }
            exported[mode] = ExportAll();
        }
        EXPECT_EQ(exported[0], exported[2]) << what << ": the changes";
        EXPECT_EQ(exported[1], exported[2]) << what << ": all values the run writes; the file was\n" << ReadAll(file);
    }
    DeleteFileA(file.c_str());
}

// zarvelo.exe with arguments under that family; its exit code, or 0xDEADBEEF while it still runs
// (a window left open). A message box of the run is screenshot, its text kept, and answered.
DWORD RunZarvelo(const std::string& wineVersion, const std::string& arguments, std::string* box = nullptr) {
    SetWineVersion("zarvelo.exe", wineVersion);
    Process p("\"" + ProgramDir() + "\\zarvelo.exe\" " + arguments);
    if (HWND shown = box ? WaitForMessageBox(p.Id(), "Zarvelo") : nullptr) {
        *box = MessageBoxText(shown);
        SaveScreenshot(shown, "command-line-usage");
        PostMessageA(shown, WM_COMMAND, IDOK, 0);
    }
    DWORD code = 0xDEADBEEF;
    return p.WaitExit(60000, &code) ? code : 0xDEADBEEF;
}

TEST(CommandLineProgram, RunsEndWithTheirExitCodeAndOnlyQuietOnesWithoutABox) {
    RegistrySandbox sandbox;
    GuardZarveloKeys(sandbox);
    const std::string backupDir = ProgramDir() + "\\backup";
    const std::vector<std::string> backupsBefore = zv::FolderFiles(backupDir);
    const std::string log = TempPath("zv_command.log");
    DeleteFileA(log.c_str());

    const std::string untouched = ExportAll();
    std::string usage;
    EXPECT_EQ(RunZarvelo("win2k", "/optimize 2 9 /log \"" + log + "\"", &usage), 1u);
    EXPECT_EQ(usage.rfind("9 is not an option", 0), 0u) << usage;
    EXPECT_EQ(ExportAll(), untouched) << "a bad argument changed the registry";
    EXPECT_EQ(zv::FolderFiles(backupDir), backupsBefore);

    for (const char* family : {"win98", "winxp"}) {
        const std::string before = ExportAll();
        EXPECT_EQ(RunZarvelo(family, "-OPTIMIZE 2 3 /quiet /log \"" + log + "\""), 0u) << family;
        EXPECT_NE(ExportAll(), before) << family << ": nothing was written";
    }
    const std::string lines = ReadAll(log);
    EXPECT_NE(lines.find("\t/optimize 2 9 /log "), std::string::npos) << lines;
    EXPECT_NE(lines.find("exit 1 bad arguments\t0 set, 0 deleted, 0 refused\r\n"), std::string::npos) << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3) << lines;

    // The safety backups of the two runs go again with this test.
    for (const std::string& name : zv::FolderFiles(backupDir)) {
        if (std::find(backupsBefore.begin(), backupsBefore.end(), name) == backupsBefore.end()) {
            zv::DeleteSavedFile(backupDir + "\\" + name);
        }
    }
    DeleteFileA(log.c_str());
}

// An Optimize ended with TerminateProcess half way through its writes: the next start asks before anything
// else, and "Put Back" gives every value the run touches as it was before.
TEST(CommandLineProgram, AnOptimizeEndedHalfWayIsPutBackAtTheNextStart) {
    RegistrySandbox sandbox;
    GuardZarveloKeys(sandbox);
    zv::AdvapiRegistry reg;
    const std::vector<std::string> backupsBefore = zv::FolderFiles(ProgramDir() + "\\backup");
    // The run's rows, in the order it writes them: when the middle one is written, half are.
    const zv::ChangeSet changes =
        zv::PlanChanges(reg, RunOf(reg, zv::WindowsFamily::Win98, {"/optimize", "2", "3"}), nullptr);
    ASSERT_GT(changes.rows.size(), 20u);
    const auto written = [&] {
        std::size_t n = 0;
        for (const zv::ValueChange& row : changes.rows) n += zv::ReadValue(reg, row.where) == row.after;
        return n;
    };
    {
        SetWineVersion("zarvelo.exe", "win98");
        Process run("\"" + ProgramDir() + "\\zarvelo.exe\" /optimize 2 3 /quiet");
        const zv::ValueChange& half = changes.rows[changes.rows.size() * 2 / 5];
        const DWORD start = GetTickCount();
        while (zv::ReadValue(reg, half.where) != half.after && GetTickCount() - start < 30000) Sleep(0);
        TerminateProcess(run.Handle(), 1);
        run.WaitExit(10000);
    }
    const auto recorded = zv::ReadRecordedRun(reg);
    ASSERT_TRUE(recorded) << "the run was not cut off; " << written() << " of " << changes.rows.size() << " written";
    const std::size_t done = written();
    EXPECT_GT(done, 0u);
    EXPECT_LT(done, changes.rows.size());
    std::printf("make test: cut-off run: %zu of %zu values written when it was ended\n", done, changes.rows.size());
    // Nobody is there to answer under /quiet: the network check does not check settings half made.
    EXPECT_EQ(RunZarvelo("win98", "/check /quiet"), static_cast<DWORD>(zv::kExitCutOffRun));

    WriteSz(HKEY_LOCAL_MACHINE, kZarveloSettingsKey, "LoadedMain", "Yes");  // not a first start
    WriteSz(HKEY_LOCAL_MACHINE, kZarveloSettingsKey, "ReviewChanges", "Yes");
    Process again("\"" + ProgramDir() + "\\zarvelo.exe\"");
    HWND ask = WaitForMessageBox(again.Id(), "Zarvelo");
    ASSERT_TRUE(ask) << "no question at the start";
    EXPECT_EQ(WindowText(FindChildById(ask, IDC_CutOff_Text)), zv::CutOffText(*recorded));
    EXPECT_EQ(WindowText(FindChildById(ask, IDC_CutOff_PutBack)), zv::kPutBackButtonText);
    EXPECT_EQ(FindTopWindowOfClass(again.Id(), "ZarveloForm1", "Zarvelo"), nullptr) << "the main window came first";
    SaveScreenshot(ask, "cut-off-run");
    PostMessageA(ask, WM_COMMAND, IDC_CutOff_PutBack, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(ask); }));
    HWND review = WaitForWindow(again.Id(), "Review Changes");
    ASSERT_TRUE(review);
    PostMessageA(review, WM_COMMAND, IDC_Review_Command1, 0);
    HWND told = WaitForMessageBox(again.Id(), "Zarvelo");
    ASSERT_TRUE(told);
    EXPECT_EQ(MessageBoxText(told), zv::PutBackMessage(0));
    PostMessageA(told, WM_COMMAND, IDOK, 0);
    HWND form1 = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (form1 = FindTopWindowOfClass(again.Id(), "ZarveloForm1", "Zarvelo")) != nullptr; }));
    if (form1) PostMessageA(form1, WM_CLOSE, 0, 0);
    EXPECT_TRUE(again.WaitExit(20000));

    EXPECT_FALSE(zv::ReadRecordedRun(reg));
    for (const zv::ValueChange& row : changes.rows) {
        EXPECT_EQ(zv::ReadValue(reg, row.where), row.now) << zv::KeyText(row.where) << "\\" << row.where.name;
    }
    for (const std::string& name : zv::FolderFiles(ProgramDir() + "\\backup")) {
        if (std::find(backupsBefore.begin(), backupsBefore.end(), name) == backupsBefore.end()) {
            zv::DeleteSavedFile(ProgramDir() + "\\backup\\" + name);
        }
    }
}

}  // namespace
}  // namespace zvtest
