// Entry point of the Windows test programs. They write networking values under HKEY_LOCAL_MACHINE and
// start the programs, which on a real Windows machine would change that machine's settings: they run
// only under Wine, unless ZV_TESTS_ON_WINDOWS=1 says that this machine may be changed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const bool underWine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    const char* allowed = std::getenv("ZV_TESTS_ON_WINDOWS");
    if (!underWine && !(allowed && std::strcmp(allowed, "1") == 0)) {
        std::fprintf(stderr,
                     "These tests run under Wine only: they change the TCP/IP settings under HKEY_LOCAL_MACHINE\n"
                     "and would change this machine's network configuration. To run them here anyway, on a\n"
                     "machine that may lose its settings, set ZV_TESTS_ON_WINDOWS=1.\n");
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
