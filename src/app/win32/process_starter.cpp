// The process seam of the launcher on Windows: CreateProcessA for command lines, ShellExecuteA for documents.
#include "app/win32/process_starter.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace zv {

namespace {

int ShowCommand(ShowMode show) { return show == ShowMode::Show ? SW_SHOW : SW_SHOWNORMAL; }

// Closes the handles CreateProcessA hands back: the started program runs on without us.
struct ProcessHandles {
    PROCESS_INFORMATION info{};
    ProcessHandles() = default;
    ProcessHandles(const ProcessHandles&) = delete;
    ProcessHandles& operator=(const ProcessHandles&) = delete;
    ~ProcessHandles() {
        if (info.hThread) CloseHandle(info.hThread);
        if (info.hProcess) CloseHandle(info.hProcess);
    }
};

}  // namespace

bool Win32ProcessStarter::Run(const std::string& commandLine, ShowMode show) {
    if (commandLine.empty()) return false;
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(ShowCommand(show));
    ProcessHandles handles;
    return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &handles.info) != 0;
}

bool Win32ProcessStarter::ShellOpen(OwnerWindow owner, const std::string& file, ShowMode show) {
    HINSTANCE result = ShellExecuteA(static_cast<HWND>(owner), "open", file.c_str(), nullptr, nullptr,
                                     ShowCommand(show));
    // Values up to 32 are error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace zv
