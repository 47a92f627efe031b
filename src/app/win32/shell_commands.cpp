// Help viewer and restart.
#include "app/win32/shell_commands.h"

#include "platform/win32/handles.h"
#include "platform/win32/html_help.h"

namespace zv {
void ShowHtmlHelp(HWND owner, const std::string& helpFile, const HelpRequest& request) {
    static const DWORD kNoKeyword = 0;
    switch (request.view) {
    case HelpView::Topic:
        CallHtmlHelp(owner, helpFile, kHhDisplayTopic, reinterpret_cast<DWORD_PTR>(request.topic.c_str()));
        break;
    case HelpView::Contents:
        CallHtmlHelp(nullptr, helpFile, kHhDisplayToc, reinterpret_cast<DWORD_PTR>(&kNoKeyword));
        break;
    case HelpView::Index:
        CallHtmlHelp(nullptr, helpFile, kHhDisplayIndex, reinterpret_cast<DWORD_PTR>(&kNoKeyword));
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
