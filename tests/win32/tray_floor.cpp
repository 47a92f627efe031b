// trayfloor.exe, the yardstick of scripts/bench-ping: the least a program can do to animate a tray
// icon. Sixteen 16 x 16 icons made once, and the next one shown every 100 ms; nothing else.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kFrames = 16;
HICON icons[kFrames];
UINT shown = 0;

NOTIFYICONDATAA Record(HWND hwnd, UINT flags) {
    NOTIFYICONDATAA data{};
    data.cbSize = 88;  // the first form, as Pulsiva sends it on a shell without balloons
    data.hWnd = hwnd;
    data.uID = 1;
    data.uFlags = flags;
    data.hIcon = icons[shown];
    return data;
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        shown = (shown + 1) % kFrames;
        NOTIFYICONDATAA data = Record(hwnd, NIF_ICON);
        Shell_NotifyIconA(NIM_MODIFY, &data);
        return 0;
    }
    if (msg == WM_CLOSE) {
        NOTIFYICONDATAA data = Record(hwnd, 0);
        Shell_NotifyIconA(NIM_DELETE, &data);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A filled square whose shade steps with the frame, over a transparent corner.
HICON MakeIcon(UINT frame) {
    BYTE andMask[16 * 2] = {};
    DWORD colour[16 * 16];
    for (int i = 0; i < 16 * 16; ++i) colour[i] = 0x00100000u * (frame + 1) + 0x40;
    andMask[0] = 0x80;
    return CreateIcon(GetModuleHandleA(nullptr), 16, 16, 1, 32, andMask, reinterpret_cast<BYTE*>(colour));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    for (UINT i = 0; i < kFrames; ++i) icons[i] = MakeIcon(i);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "PulsivaTrayFloor";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA(wc.lpszClassName, "Tray floor", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance,
                              nullptr);
    NOTIFYICONDATAA data = Record(hwnd, NIF_ICON | NIF_TIP);
    lstrcpyA(data.szTip, "Tray floor");
    Shell_NotifyIconA(NIM_ADD, &data);
    SetTimer(hwnd, 1, 100, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
