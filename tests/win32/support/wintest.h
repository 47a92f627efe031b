// Helpers for the Windows tests: start programs under a chosen Windows family, find their windows,
// take screenshots, and keep registry keys of the test's own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zvtest {

// The folder of the programs under test: beside the test program, or ZV_PROGRAM_DIR when set (the
// shipped programs' folder, where this machine runs them).
std::string ProgramDir();
// The test program's own folder, with its helpers (osprobe.exe); what the in-process windows see as
// their program folder.
std::string TestDir();

// Selects the Windows version Wine reports to the program of that file name (win95 ... winxp).
void SetWineVersion(const std::string& exeName, const std::string& version);

// Runs a console program to its end and returns what it printed. One still running after the
// time-out is ended; what it printed then ends with a line that says so.
std::string RunAndCapture(const std::string& commandLine, DWORD timeoutMs = 60000);

// A started program, ended (if still running) when this goes out of scope.
class Process {
public:
    Process() = default;
    explicit Process(const std::string& commandLine);
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    // Waits for the end; false on time-out.
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();

private:
    PROCESS_INFORMATION info_{};
};

// The first visible top-level window of the process with that caption, waited for.
HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD timeoutMs = 20000);
// Any top-level window (visible or not) with that caption and class, of any process.
HWND FindTopWindow(const std::string& caption, DWORD processId = 0, bool visibleOnly = true);
// A child window by control identifier, searched through the whole tree.
HWND FindChildById(HWND parent, int id);
// A child by its text (buttons, labels, frames), searched through the whole tree.
HWND FindChildByText(HWND parent, const std::string& text, const char* className = nullptr);
std::string WindowText(HWND hwnd);

// Lets the program's message loop run: waits until it is idle or the time is up.
void Settle(HANDLE process, DWORD timeoutMs = 2000);
// Polls until the condition holds or the time is up.
template <typename F>
bool WaitFor(F condition, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

// Writes the window as it is on screen to <build>/screenshots/<name>.bmp (turned into PNG after the run).
void SaveScreenshot(HWND hwnd, const std::string& name);

// Deletes a key with everything below it; no error when absent.
void DeleteTree(HKEY root, const std::string& path);

}  // namespace zvtest
