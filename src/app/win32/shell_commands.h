// Commands of the tuning program that go to Windows: the help viewer and the restart.
#pragma once

#include <windows.h>

#include <string>

#include "app/help.h"

namespace zv {

// HtmlHelpA (platform/win32/html_help.h): a topic owned by the window, or the contents or index tab
// without owner. Nothing happens when HTML Help or the file is missing.
void ShowHtmlHelp(HWND owner, const std::string& helpFile, const HelpRequest& request);

// Enables the shutdown privilege of this process (NT family; a no-op elsewhere). True when the
// system reported success.
bool EnableShutdownPrivilege();

using ExitWindowsFunction = BOOL(WINAPI*)(UINT flags, DWORD reason);

// Restarts Windows at once: the shutdown privilege, then ExitWindowsEx(EWX_REBOOT, 0xFFFFFFFF).
// Nothing is asked and no result is looked at. exitWindows replaces ExitWindowsEx for tests.
void RestartComputer(ExitWindowsFunction exitWindows = nullptr);

}  // namespace zv
