// Helpers for the Windows tests.
#include "support/wintest.h"

#include <cstdlib>

#include <shlwapi.h>

#include <cstdio>
#include <stdexcept>

#include "platform/win32/desktop.h"

namespace zvtest {

std::string ProgramDir() {
    if (const char* dir = std::getenv("ZV_PROGRAM_DIR"); dir && *dir) return dir;
    return TestDir();
}

std::string TestDir() { return zv::ProgramDirectory(); }

void SetWineVersion(const std::string& exeName, const std::string& version) {
    std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    HKEY h;
    if (RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &h) == ERROR_SUCCESS) {
        RegSetValueExA(h, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                       static_cast<DWORD>(version.size() + 1));
        RegCloseKey(h);
    }
}

std::string RunAndCapture(const std::string& commandLine, DWORD timeoutMs) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    std::string cmd = commandLine;
    BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    std::string out;
    if (ok) {
        // ReadFile would wait for the child's end, or for a grandchild that inherited the pipe:
        // read only what is there, so that the time-out can end a program that hangs.
        auto drain = [&] {
            DWORD available = 0;
            while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available) {
                char buffer[4096];
                DWORD got = 0;
                if (!ReadFile(readEnd, buffer, available < sizeof buffer ? available : sizeof buffer, &got, nullptr) || !got) {
                    return;
                }
                out.append(buffer, got);
            }
        };
        const DWORD start = GetTickCount();
        for (;;) {
            drain();
            if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
            if (GetTickCount() - start > timeoutMs) {
                TerminateProcess(pi.hProcess, 1);
                WaitForSingleObject(pi.hProcess, 5000);
                out += "\n[ended after " + std::to_string(timeoutMs) + " ms: " + commandLine + "]\n";
                break;
            }
        }
        drain();
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(readEnd);
    return out;
}

Process::Process(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = commandLine;
    std::string dir = ProgramDir();
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &info_)) {
        // Said here, so that a test that finds no program also tells why.
        std::fprintf(stderr, "CreateProcess failed with error %lu: %s\n", GetLastError(), commandLine.c_str());
        info_ = PROCESS_INFORMATION{};
    }
}

Process::Process(Process&& other) noexcept : info_(other.info_) { other.info_ = PROCESS_INFORMATION{}; }

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        info_ = other.info_;
        other.info_ = PROCESS_INFORMATION{};
    }
    return *this;
}

Process::~Process() { Kill(); }

bool Process::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!info_.hProcess) return true;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

void Process::Kill() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = PROCESS_INFORMATION{};
}

namespace {
struct FindTop {
    std::string caption;
    DWORD pid;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindTopProc(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<FindTop*>(lp);
    if (f->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (f->pid && pid != f->pid) return TRUE;
    if (WindowText(hwnd) != f->caption) return TRUE;
    f->found = hwnd;
    return FALSE;
}

struct FindChild {
    int id;
    std::string text;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindChildIdProc(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<FindChild*>(lp);
    if (GetDlgCtrlID(hwnd) == f->id) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindChildTextProc(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<FindChild*>(lp);
    if (f->cls) {
        char cls[64];
        GetClassNameA(hwnd, cls, sizeof cls);
        if (lstrcmpiA(cls, f->cls) != 0) return TRUE;
    }
    if (WindowText(hwnd) == f->text) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindTopWindow(const std::string& caption, DWORD processId, bool visibleOnly) {
    FindTop f{caption, processId, visibleOnly, nullptr};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

HWND WaitForWindow(DWORD processId, const std::string& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopWindow(caption, processId)) != nullptr; }, timeoutMs);
    return found;
}

HWND FindChildById(HWND parent, int id) {
    FindChild f{id, {}, nullptr, nullptr};
    EnumChildWindows(parent, FindChildIdProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

HWND FindChildByText(HWND parent, const std::string& text, const char* className) {
    FindChild f{0, text, className, nullptr};
    EnumChildWindows(parent, FindChildTextProc, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

std::string WindowText(HWND hwnd) {
    // WM_GETTEXT works across processes (the system copies the text).
    char buffer[512] = {0};
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return buffer;
}

void Settle(HANDLE process, DWORD timeoutMs) {
    if (process) WaitForInputIdle(process, timeoutMs);
    Sleep(100);
}

void SaveScreenshot(HWND hwnd, const std::string& name) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return;
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);

    std::string dir = ZV_SHOTS_DIR;
    for (auto& c : dir) if (c == '/') c = '\\';
    std::string winDir = "Z:" + dir;
    CreateDirectoryA(winDir.c_str(), nullptr);
    std::string file = winDir + "\\" + name + ".bmp";
    DWORD stride = ((w * 3) + 3) & ~3u;
    DWORD imageSize = stride * h;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + imageSize;
    HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(f, &fh, sizeof fh, &written, nullptr);
        WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &written, nullptr);
        WriteFile(f, bits, imageSize, &written, nullptr);
        CloseHandle(f);
    }
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

void DeleteTree(HKEY root, const std::string& path) { SHDeleteKeyA(root, path.c_str()); }

}  // namespace zvtest
