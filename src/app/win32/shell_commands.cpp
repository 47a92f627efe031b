// Help viewer and restart.
#include "app/win32/shell_commands.h"

#include "platform/win32/handles.h"

namespace zv {
namespace {

constexpr UINT kHhDisplayTopic = 0;
constexpr UINT kHhDisplayToc = 1;
constexpr UINT kHhDisplayIndex = 2;

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

HtmlHelpFunction HtmlHelpEntry() {
    // HTML Help stays loaded for the rest of the program: its windows outlive the call that opened
    // them and belong to the library, so it is never unloaded.
    static HMODULE library = LoadLibraryA("hhctrl.ocx");
    static HtmlHelpFunction entry = library ? ProcAddress<HtmlHelpFunction>(library, "HtmlHelpA") : nullptr;
    return entry;
}

}  // namespace

void ShowHtmlHelp(HWND owner, const std::string& helpFile, const HelpRequest& request) {
    HtmlHelpFunction htmlHelp = HtmlHelpEntry();
    if (!htmlHelp) return;
    static const DWORD kNoKeyword = 0;
    switch (request.view) {
    case HelpView::Topic:
        htmlHelp(owner, helpFile.c_str(), kHhDisplayTopic, reinterpret_cast<DWORD_PTR>(request.topic.c_str()));
        break;
    case HelpView::Contents:
        htmlHelp(nullptr, helpFile.c_str(), kHhDisplayToc, reinterpret_cast<DWORD_PTR>(&kNoKeyword));
        break;
    case HelpView::Index:
        htmlHelp(nullptr, helpFile.c_str(), kHhDisplayIndex, reinterpret_cast<DWORD_PTR>(&kNoKeyword));
        break;
    }
}

bool EnableShutdownPrivilege() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return false;
    UniqueKernelHandle token(raw);
    LUID luid{};
    LookupPrivilegeValueA("", "SeShutdownPrivilege", &luid);
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid = luid;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous{};
    DWORD previousLength = 0;
    static_assert(sizeof previous == 16, "the previous state buffer is one entry, 16 bytes");
    if (!AdjustTokenPrivileges(token.get(), FALSE, &wanted, sizeof previous, &previous, &previousLength)) {
        return false;
    }
    return GetLastError() == ERROR_SUCCESS;
}

void RestartComputer(ExitWindowsFunction exitWindows) {
    // A failure of the privilege steps does not stop the restart: on the 9x family there is no
    // privilege to enable.
    EnableShutdownPrivilege();
    if (!exitWindows) exitWindows = &ExitWindowsEx;
    exitWindows(EWX_REBOOT, 0xFFFFFFFF);
}

}  // namespace zv
