// pulsiva.exe: the keep-alive program's entry point: the window frmGetIp over the real network layer.
#include <windows.h>

#include "keepalive/echo.h"
#include "keepalive/win32/frm_get_ip.h"
#include "keepalive/win32/system_net_api.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    zv::SystemNetApi api;
    zv::WinsockPing network(api);
    zv::FrmGetIp form(instance, network, {});
    HWND hwnd = form.Create();
    if (!hwnd) return 1;
    api.SetOwner(hwnd);
    ShowWindow(hwnd, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (form.PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
