// startupbench.exe, the start-up benchmark's hands under Wine (scripts/bench-startup): starts a bare
// window and each program in turn and times each from process start until its main window is
// visible and its thread waits for input. Prints one "run <program> <ms>" line per start.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "keepalive/win32/resource.h"
#include "support/registry_sandbox.h"
#include "support/wintest.h"

namespace {

struct Program {
    const char* name;     // the file name without ".exe"
    const char* caption;  // of its main window
};

const Program kBare{"barewindow", "Bare window"};
const Program kPrograms[] = {{"zarvelo", "Zarvelo"}, {"pulsiva", "Pulsiva"}};

const std::string kQuonibarKey = "SOFTWARE\\Quonibar";
const std::string kPulsivaKey = "SOFTWARE\\Quonibar\\Pulsiva";
const std::string kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kAppDefaults = "Software\\Wine\\AppDefaults\\";

// The same stored state before every start: zarvelo past its first-run prompt, pulsiva as on its
// first run (its window opens), no autostart entry.
void PrepareRegistry(const std::string& name) {
    if (name == "zarvelo") {
        zvtest::DeleteTree(HKEY_LOCAL_MACHINE, zvtest::kZarveloSettingsKey);
        zvtest::WriteSz(HKEY_LOCAL_MACHINE, zvtest::kZarveloSettingsKey, "LoadedMain", "Yes");
    } else if (name == "pulsiva") {
        zvtest::DeleteTree(HKEY_LOCAL_MACHINE, kPulsivaKey);
        zvtest::DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, "Pulsiva");
    }
}

struct Find {
    DWORD pid;
    const char* caption;
    HWND found;
};

// By caption without sending the window a message: reading another process's caption this way does
// not make the program pump while it starts.
BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<Find*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->pid || !IsWindowVisible(hwnd)) return TRUE;
    char text[64] = {0};
    GetWindowTextA(hwnd, text, sizeof text);
    if (lstrcmpA(text, f->caption) != 0) return TRUE;
    f->found = hwnd;
    return FALSE;
}

double Millis(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The bare window lies beside this program; the programs under test in the program folder, which
// ZV_PROGRAM_DIR may name (another build's).
std::string FolderOf(const Program& program) {
    if (lstrcmpA(program.name, kBare.name) != 0) return zvtest::ProgramDir();
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

// One start, timed; negative when the program did not come up.
double StartOnce(const Program& program) {
    PrepareRegistry(program.name);
    const std::string dir = FolderOf(program);
    std::string command = "\"" + dir + "\\" + program.name + ".exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) return -1;
    WaitForInputIdle(pi.hProcess, 30000);
    Find find{pi.dwProcessId, program.caption, nullptr};
    const DWORD deadline = GetTickCount() + 30000;
    while (EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&find)), !find.found && GetTickCount() < deadline) {
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;  // it ended without a window
    }
    DWORD_PTR ignored = 0;
    // Answered only once the thread takes messages again: it waits for input.
    const bool up = find.found && SendMessageTimeoutA(find.found, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
    QueryPerformanceCounter(&end);

    if (find.found) {
        if (lstrcmpA(program.name, "pulsiva") == 0) {
            // Its first echo is due after ten seconds; a site that cannot resolve keeps it off the network.
            SendMessageTimeoutA(GetDlgItem(find.found, IDC_txtDomain), WM_SETTEXT, 0,
                                reinterpret_cast<LPARAM>("nosuch.invalid"), SMTO_NORMAL, 5000, &ignored);
        }
        PostMessageA(find.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Lets Wine's desktop and server finish with the program that just ended.
    Sleep(300);
    return up ? Millis(start, end) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 11;
    const std::string family = argc > 2 ? argv[2] : "winxp";
    if (runs < 1) {
        std::fprintf(stderr, "usage: startupbench [RUNS=11] [FAMILY=winxp]\n");
        return 2;
    }
    // Everything the runs store is put back as it was when the sandbox goes.
    zvtest::RegistrySandbox sandbox;
    sandbox.GuardKey(HKEY_LOCAL_MACHINE, kQuonibarKey, false);
    sandbox.GuardValue(HKEY_LOCAL_MACHINE, kRunKey, "Pulsiva", false);
    std::vector<Program> all{kBare};
    all.insert(all.end(), std::begin(kPrograms), std::end(kPrograms));
    for (const Program& p : all) {
        const std::string exe = std::string(p.name) + ".exe";
        sandbox.GuardKey(HKEY_CURRENT_USER, kAppDefaults + exe, false);
        zvtest::SetWineVersion(exe, family);
    }

    int failures = 0;
    // Round 0 warms the file cache and Wine's libraries and is not counted.
    for (int round = 0; round <= runs; ++round) {
        for (const Program& program : kPrograms) {
            for (const Program& p : {kBare, program}) {
                const double ms = StartOnce(p);
                if (ms < 0) {
                    std::printf("failed %s\n", p.name);
                    ++failures;
                } else if (round > 0) {
                    std::printf("run %s %.1f\n", p.name, ms);
                }
                std::fflush(stdout);
            }
        }
    }
    return failures ? 1 : 0;
}
