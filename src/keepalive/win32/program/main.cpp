// pulsiva.exe's entry point: the keep-alive program over the real registry and network layer.
#include <windows.h>

#include "platform/echo.h"
#include "keepalive/win32/pulsiva_program.h"
#include "platform/win32/system_net_api.h"
#include "platform/win32/advapi_registry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    zv::AdvapiRegistry registry;
    zv::SystemNetApi api;
    zv::WinsockPing network(api);
    zv::PulsivaProgram program(instance, registry, network, {});
    HWND hwnd = program.Create();
    if (!hwnd) return 1;
    api.SetOwner(hwnd);
    if (!program.StartsInTray()) ShowWindow(hwnd, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (program.PreTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
