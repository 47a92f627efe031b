// zarvelo.exe: the tuning program's entry point.
#include <windows.h>

#include <cstdlib>

#include "app/win32/command_line_start.h"
#include "app/win32/cut_off_window.h"
#include "app/win32/form1.h"
#include "app/win32/top_windows.h"
#include "platform/win32/advapi_registry.h"

#define ZV_STRING(x) #x
#define ZV_VERSION_TEXT(a, b, c) ZV_STRING(a) "." ZV_STRING(b) "." ZV_STRING(c)

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int show) {
    zv::AdvapiRegistry registry;
    // A command line runs before any window is made.
    int exitCode = 0;
    if (zv::RunCommandLineStart(arguments, registry, ZV_VERSION_TEXT(ZV_VERSION_MAJOR, ZV_VERSION_MINOR, ZV_VERSION_PATCH),
                                &exitCode)) {
        return exitCode;
    }
    zv::InitZarveloControls();
    zv::TopWindows windows(true);
    if (!zv::Form1::RegisterWindowClass(instance)) return 1;
    const zv::Form1Services services = zv::SystemServices(registry, &windows);
    // A write run that was cut off is settled before anything else.
    zv::AskAboutCutOffRun(instance, services, nullptr);
    if (!zv::Form1::Create(instance, services, show)) return 1;
    return windows.RunMessageLoop();
}

// The C++ runtime's default end for an uncaught exception writes its name to a console this program
// does not have, and takes its name demangler (some 40 KB) along: end at once instead.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
