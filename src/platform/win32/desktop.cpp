// The screen's DPI, the program's path, 32-bit DIB sections and window places on screen.
#include "platform/win32/desktop.h"

#include <commdlg.h>

#include "platform/win32/handles.h"

namespace zv {

ScreenDpi GetScreenDpi() {
    ScreenDpi dpi;
    WindowDc screen(nullptr);
    if (!screen.get()) return dpi;
    const int x = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int y = GetDeviceCaps(screen.get(), LOGPIXELSY);
    if (x > 0) dpi.x = x;
    if (y > 0) dpi.y = y;
    return dpi;
}

std::string ProgramFilePath() {
    char path[MAX_PATH] = {0};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A full buffer may lack its NUL (Windows XP): it is cut, not trusted.
    return std::string(path, n < MAX_PATH ? n : 0);
}

std::string ProgramDirectory() {
    const std::string path = ProgramFilePath();
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {0};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) return {};
    return std::string(name, size < sizeof name ? size : 0);
}

bool IsNetworkOrCdFolder(const std::string& folder) {
    if (folder.size() >= 2 && (folder[0] == '\\' || folder[0] == '/') && (folder[1] == '\\' || folder[1] == '/')) {
        return true;
    }
    if (folder.size() < 2 || folder[1] != ':') return false;
    const char root[] = {folder[0], ':', '\\', '\0'};
    const UINT type = GetDriveTypeA(root);
    return type == DRIVE_REMOTE || type == DRIVE_CDROM;
}

HBITMAP CreateDib32(int width, int height, std::uint32_t** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down: row 0 first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (bits) *bits = bmp ? static_cast<std::uint32_t*>(p) : nullptr;
    return bmp;
}

PixelRect WorkArea() {
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return {work.left, work.top, work.right, work.bottom};
}

PixelRect WorkAreaNear(const PixelRect& place) {
    // The monitor functions came with Windows 98 and 2000; their record, which our headers for
    // Windows 95 and NT 4 lack.
    struct MonitorRecord {
        DWORD cbSize;
        RECT rcMonitor;
        RECT rcWork;
        DWORD dwFlags;
    };
    using MonitorFromRectFn = HANDLE(WINAPI*)(const RECT*, DWORD);
    using GetMonitorInfoFn = BOOL(WINAPI*)(HANDLE, MonitorRecord*);
    static const HMODULE user32 = GetModuleHandleA("user32.dll");
    static const auto monitorFromRect = ProcAddress<MonitorFromRectFn>(user32, "MonitorFromRect");
    static const auto getMonitorInfo = ProcAddress<GetMonitorInfoFn>(user32, "GetMonitorInfoA");
    constexpr DWORD kNearest = 2;  // MONITOR_DEFAULTTONEAREST
    const RECT r{place.left, place.top, place.right, place.bottom};
    MonitorRecord info{};
    info.cbSize = sizeof info;
    HANDLE monitor = monitorFromRect && getMonitorInfo ? monitorFromRect(&r, kNearest) : nullptr;
    if (!monitor || !getMonitorInfo(monitor, &info)) return WorkArea();
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

PixelRect VirtualScreen() {
    // Windows 95 and NT 4 answer 0 for the virtual-screen metrics.
    const int cx = GetSystemMetrics(SM_CXVIRTUALSCREEN), cy = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (cx <= 0 || cy <= 0) return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {x, y, x + cx, y + cy};
}

PixelRect RestoredWindowRect(HWND hwnd) {
    RECT r{};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsIconic(hwnd) && GetWindowPlacement(hwnd, &placement)) {
        const RECT& n = placement.rcNormalPosition;
        const PixelRect normal{n.left, n.top, n.right, n.bottom};
        // A tool window's placement is in screen coordinates already.
        if (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return normal;
        return ScreenFromWorkspace(normal, WorkArea());
    }
    if (!GetWindowRect(hwnd, &r)) return {};
    return {r.left, r.top, r.right, r.bottom};
}

bool AskFileToSave(HWND owner, const char* filter, const char* defaultExtension, std::string* path,
                   int* filterIndex) {
    using GetSaveFileNameFn = BOOL(WINAPI*)(OPENFILENAMEA*);
    static const GetSaveFileNameFn getSaveFileName = [] {
        HMODULE dialogs = LoadLibraryA("comdlg32.dll");  // kept for the program's life
        return dialogs ? ProcAddress<GetSaveFileNameFn>(dialogs, "GetSaveFileNameA") : nullptr;
    }();
    if (!getSaveFileName) return false;
    char file[MAX_PATH] = {0};
    lstrcpynA(file, path->c_str(), MAX_PATH);
    OPENFILENAMEA dialog{};
    // The record without the fields Windows 2000 added, which the earlier systems reject.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = filterIndex ? static_cast<DWORD>(*filterIndex) : 0;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = defaultExtension;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!getSaveFileName(&dialog)) return false;
    *path = file;
    if (filterIndex) *filterIndex = static_cast<int>(dialog.nFilterIndex);
    return true;
}

}  // namespace zv
