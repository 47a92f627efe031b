// zarvelo.exe: the tuning program's entry point.
#include <windows.h>

#include "app/network_check.h"
#include "app/win32/form1.h"
#include "app/win32/network_check_window.h"
#include "app/win32/top_windows.h"
#include "platform/win32/advapi_registry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    zv::InitZarveloControls();
    // The check after a restart runs on its own, without the main window.
    if (zv::HasCheckSwitch(commandLine ? commandLine : "")) return zv::RunPendingCheckStart(instance);
    zv::AdvapiRegistry registry;
    zv::TopWindows windows(true);
    if (!zv::Form1::RegisterWindowClass(instance)) return 1;
    if (!zv::Form1::Create(instance, zv::SystemServices(registry, &windows), show)) return 1;
    return windows.RunMessageLoop();
}
