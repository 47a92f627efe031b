// A program built with the POSIX-thread mingw runtime, which the import check must reject: that
// runtime's thread library imports functions that Windows 95, 98, Me and NT 4.0 lack.
#include <windows.h>

#include <mutex>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    std::string text = "probe";
    MessageBoxA(nullptr, text.c_str(), "probe", MB_OK);
    return 0;
}
