// pingbench.exe, the benchmark's hands under Wine: timed echoes through the network layer, pointing a
// running pulsiva.exe at a site, and switching its icon animation.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/echo.h"
#include "keepalive/win32/resource.h"
#include "platform/win32/system_net_api.h"

namespace {

int Echo(const std::string& address, int count, int gapMs) {
    zv::SystemNetApi api;
    zv::WinsockPing ping(api);
    for (int i = 0; i < count; ++i) {
        if (!ping.StartSockets()) {
            std::printf("sockets did not start\n");
            return 1;
        }
        zv::EchoReply reply{};
        std::int32_t status = ping.SendEcho(ping.ResolveHost(address), zv::kEchoRequestData, reply);
        ping.StopSockets();
        std::printf("rtt %lu status %ld\n", static_cast<unsigned long>(reply.RoundTripTime), static_cast<long>(status));
        std::fflush(stdout);
        Sleep(gapMs);
    }
    return 0;
}

HWND WaitForPulsiva() {
    for (int i = 0; i < 300; ++i) {
        if (HWND h = FindWindowA("#32770", "Pulsiva")) return h;
        Sleep(100);
    }
    return nullptr;
}

int Drive(const std::string& site) {
    HWND w = WaitForPulsiva();
    if (!w) {
        std::printf("no Pulsiva window\n");
        return 1;
    }
    Sleep(500);
    SendMessageA(GetDlgItem(w, IDC_Command1), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(w, IDC_txtDomain), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(site.c_str()));
    SendMessageA(GetDlgItem(w, IDC_cmdPing), BM_CLICK, 0, 0);
    std::printf("pulsiva pings %s\n", site.c_str());
    return 0;
}

// "Disable Animation" as the user clicks it, so that the cost of the animation can be told apart.
int Animation(bool on) {
    HWND w = FindWindowA("#32770", "Pulsiva");
    if (!w) return 1;
    HWND box = GetDlgItem(w, IDC_Check1);
    const bool disabled = SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (disabled == on) SendMessageA(box, BM_CLICK, 0, 0);
    return 0;
}

int Close(const char* windowClass, const char* caption) {
    HWND w = FindWindowA(windowClass, caption);
    if (w) PostMessageA(w, WM_CLOSE, 0, 0);
    return w ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "echo" && argc >= 4) return Echo(argv[2], std::atoi(argv[3]), argc > 4 ? std::atoi(argv[4]) : 200);
    if (mode == "drive" && argc >= 3) return Drive(argv[2]);
    if (mode == "animation" && argc >= 3) return Animation(std::string(argv[2]) == "on");
    if (mode == "close") return Close("#32770", "Pulsiva");
    if (mode == "closefloor") return Close("PulsivaTrayFloor", "Tray floor");
    std::fprintf(stderr, "usage: pingbench echo ADDRESS COUNT [GAP_MS] | drive SITE | animation on|off | close | closefloor\n");
    return 2;
}
