// The taskbar, tray icons, pop-up menus and registry values as the tests look at them.
#include "support/tray_probe.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "support/wintest.h"

namespace zvtest {

HWND Taskbar() { return FindWindowA("Shell_TrayWnd", nullptr); }

RECT TaskbarRect() {
    RECT r{};
    if (HWND t = Taskbar()) GetWindowRect(t, &r);
    return r;
}

namespace {
// The first, 88-byte form of the icon record.
struct IconRecord {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};
}  // namespace

bool TrayIconPresent(HWND owner, UINT id) {
    IconRecord r{sizeof r, owner, id, 0, 0, nullptr, {}};
    return Shell_NotifyIconA(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAA*>(&r)) != FALSE;
}

bool TrayIconDelete(HWND owner, UINT id) {
    IconRecord r{sizeof r, owner, id, 0, 0, nullptr, {}};
    return Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAA*>(&r)) != FALSE;
}

namespace {
struct MenuSearch {
    DWORD pid;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectMenu(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<MenuSearch*>(lp);
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (!lstrcmpA(cls, "#32768") && IsWindowVisible(h) && (!s->pid || pid == s->pid)) s->found.push_back(h);
    return TRUE;
}
}  // namespace

std::vector<HWND> PopupMenus(DWORD processId) {
    MenuSearch s{processId, {}};
    EnumWindows(CollectMenu, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void SaveDesktopScreenshot(const std::string& name) { SaveScreenshot(GetDesktopWindow(), name); }

StoredValue ReadStored(HKEY root, const std::string& path, const std::string& name) {
    StoredValue v;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
    BYTE data[1024] = {};
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, data, &size) == ERROR_SUCCESS) {
        v.present = true;
        if (v.type == REG_DWORD && size == 4) v.number = *reinterpret_cast<DWORD*>(data);
        if (v.type == REG_SZ) v.text = std::string(reinterpret_cast<char*>(data), size && !data[size - 1] ? size - 1 : size);
    }
    RegCloseKey(key);
    return v;
}

void DeleteStoredValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

void WriteStoredText(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    HKEY key;
    if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

void WriteStoredNumber(HKEY root, const std::string& path, const std::string& name, DWORD number) {
    HKEY key;
    if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
}

void ForgetPulsiva() {
    DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quonibar\\Pulsiva");
    SHDeleteEmptyKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quonibar");
    DeleteStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Pulsiva");
}

}  // namespace zvtest
