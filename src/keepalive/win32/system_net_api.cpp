// Windows Sockets 1.1 (wsock32) and the ICMP functions of icmp.dll, or of iphlpapi.dll where icmp.dll has none.
#include <winsock.h>

#include "keepalive/win32/system_net_api.h"

#include <cstring>

namespace zv {

SystemNetApi::SystemNetApi(std::vector<std::string> icmpLibraries) : icmpLibraries_(std::move(icmpLibraries)) {}

int SystemNetApi::WSAStartup(std::uint16_t version) {
    WSADATA scratch;
    return ::WSAStartup(version, &scratch);
}

int SystemNetApi::WSACleanup() { return ::WSACleanup(); }

std::optional<NetApi::HostEntry> SystemNetApi::GetHostByName(const std::string& name) {
    const hostent* h = ::gethostbyname(name.c_str());
    if (!h) return std::nullopt;
    HostEntry entry;
    entry.addressType = h->h_addrtype;
    entry.addressLength = h->h_length;
    if (h->h_length == 4 && h->h_addr_list && h->h_addr_list[0]) {
        std::array<std::uint8_t, 4> a;
        std::memcpy(a.data(), h->h_addr_list[0], 4);
        entry.firstAddress = a;
    }
    return entry;
}

std::string SystemNetApi::InetNtoa(const std::array<std::uint8_t, 4>& address) {
    in_addr a;
    std::memcpy(&a, address.data(), 4);
    const char* text = ::inet_ntoa(a);
    return text ? text : "";
}

std::uint32_t SystemNetApi::InetAddr(const std::string& text) { return ::inet_addr(text.c_str()); }

bool SystemNetApi::LoadIcmp() {
    if (icmpTried_) return create_ != nullptr;
    icmpTried_ = true;
    for (const std::string& name : icmpLibraries_) {
        UniqueModule module(LoadLibraryA(name.c_str()));
        if (!module) continue;
        auto create = ProcAddress<CreateFn>(module.get(), "IcmpCreateFile");
        auto send = ProcAddress<SendFn>(module.get(), "IcmpSendEcho");
        auto close = ProcAddress<CloseFn>(module.get(), "IcmpCloseHandle");
        if (create && send && close) {
            icmpModule_ = std::move(module);
            icmpLibrary_ = name;
            create_ = create;
            send_ = send;
            close_ = close;
            return true;
        }
    }
    return false;
}

const std::string& SystemNetApi::IcmpLibrary() {
    LoadIcmp();
    return icmpLibrary_;
}

std::uintptr_t SystemNetApi::IcmpCreateFile() {
    if (!LoadIcmp()) return 0;
    HANDLE h = create_();
    // A refused handle comes back as INVALID_HANDLE_VALUE, which must not be used either.
    if (h == INVALID_HANDLE_VALUE) return 0;
    return reinterpret_cast<std::uintptr_t>(h);
}

std::uint32_t SystemNetApi::IcmpSendEcho(std::uintptr_t handle, std::uint32_t address, const void* requestData,
                                         std::uint16_t requestSize, void* replyBuffer, std::uint32_t replySize,
                                         std::uint32_t timeoutMs) {
    if (!LoadIcmp()) return 0;
    return send_(reinterpret_cast<HANDLE>(handle), address, const_cast<void*>(requestData), requestSize, nullptr,
                 replyBuffer, replySize, timeoutMs);
}

void SystemNetApi::IcmpCloseHandle(std::uintptr_t handle) {
    if (LoadIcmp()) close_(reinterpret_cast<HANDLE>(handle));
}

void SystemNetApi::ShowExclamation(const std::string& text) {
    MessageBoxA(owner_, text.c_str(), "Pulsiva", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace zv
