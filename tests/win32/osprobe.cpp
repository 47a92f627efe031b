// Prints what COpSysInfo makes of the running system, for the Windows-family tests; with "--hang" it
// then never ends, a stand-in for a program that hangs.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/opsysinfo.h"

int main(int argc, char** argv) {
    zv::COpSysInfo os(zv::SystemVersionQuery());
    std::printf("IsWinXP=%d IsWin2K=%d IsWinNT=%d IsWin9x=%d IsWin95=%d IsWin98=%d IsWinME=%d\n", os.IsWinXP(),
                os.IsWin2K(), os.IsWinNT(), os.IsWin9x(), os.IsWin95(), os.IsWin98(), os.IsWinME());
    std::printf("platform=%s\nVersion=%s\n", os.platform().c_str(), os.Version().c_str());
    if (argc > 1 && std::strcmp(argv[1], "--hang") == 0) {
        std::fflush(stdout);
        for (;;) Sleep(1000);
    }
    return 0;
}
