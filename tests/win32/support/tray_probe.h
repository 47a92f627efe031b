// Looking at the taskbar from a test: whether a program's tray icon is there, its pop-up menus, and
// the registry keys the keep-alive program keeps.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zvtest {

// The taskbar window of the Wine desktop, and its rectangle.
HWND Taskbar();
RECT TaskbarRect();

// Whether the tray holds the icon (window, identifier): the tray accepts a change only for an icon it has.
bool TrayIconPresent(HWND owner, UINT id);
// Takes the icon away as if the taskbar had lost it.
bool TrayIconDelete(HWND owner, UINT id);

// The visible pop-up menu windows (class "#32768") of a process (0: of any process).
std::vector<HWND> PopupMenus(DWORD processId = 0);

// Screenshot of the whole desktop (taskbar, tray, menus).
void SaveDesktopScreenshot(const std::string& name);

// One registry value as stored: its type and data (REG_SZ data without the final NUL).
struct StoredValue {
    bool present = false;
    DWORD type = 0;
    std::string text;  // REG_SZ
    DWORD number = 0;  // REG_DWORD
};
StoredValue ReadStored(HKEY root, const std::string& path, const std::string& name);
void DeleteStoredValue(HKEY root, const std::string& path, const std::string& name);
void WriteStoredText(HKEY root, const std::string& path, const std::string& name, const std::string& text);
void WriteStoredNumber(HKEY root, const std::string& path, const std::string& name, DWORD number);

// Takes away what pulsiva.exe stores when it ends: its settings key (and the maker's key when that
// is left empty) and its autostart entry.
void ForgetPulsiva();

}  // namespace zvtest
