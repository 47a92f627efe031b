// Prints what COpSysInfo makes of the running system, for the Windows-family tests.
#include <cstdio>

#include "platform/opsysinfo.h"

int main() {
    zv::COpSysInfo os(zv::SystemVersionQuery());
    std::printf("IsWinXP=%d IsWin2K=%d IsWinNT=%d IsWin9x=%d IsWin95=%d IsWin98=%d IsWinME=%d\n", os.IsWinXP(),
                os.IsWin2K(), os.IsWinNT(), os.IsWin9x(), os.IsWin95(), os.IsWin98(), os.IsWinME());
    std::printf("platform=%s\nVersion=%s\n", os.platform().c_str(), os.Version().c_str());
    return 0;
}
