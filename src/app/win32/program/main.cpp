// zarvelo.exe: the tuning program's entry point.
#include <windows.h>

#include <cstdlib>

#include "app/win32/form1.h"
#include "app/win32/top_windows.h"
#include "platform/win32/advapi_registry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    zv::InitZarveloControls();
    zv::AdvapiRegistry registry;
    zv::TopWindows windows(true);
    if (!zv::Form1::RegisterWindowClass(instance)) return 1;
    if (!zv::Form1::Create(instance, zv::SystemServices(registry, &windows), show)) return 1;
    return windows.RunMessageLoop();
}

// The C++ runtime's default end for an uncaught exception writes its name to a console this program
// does not have, and takes its name demangler (some 40 KB) along: end at once instead.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
