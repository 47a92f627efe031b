// Windows Sockets 1.1 (wsock32) and the ICMP functions of icmp.dll, or of iphlpapi.dll where icmp.dll has none.
#include <winsock.h>

#include "platform/win32/system_net_api.h"

#include <cstring>
#include <type_traits>

namespace zv {

static_assert(std::is_same_v<decltype(&::WSAStartup), int(WINAPI*)(WORD, WSAData*)> &&
              std::is_same_v<decltype(&::gethostbyname), hostent*(WINAPI*)(const char*)> &&
              std::is_same_v<decltype(&::inet_ntoa), char*(WINAPI*)(in_addr)>,
              "the Windows Sockets functions are called through pointers of their own types");

SystemNetApi::SystemNetApi(std::vector<std::string> icmpLibraries) : icmpLibraries_(std::move(icmpLibraries)) {}

bool SystemNetApi::LoadSockets() {
    if (socketsTried_) return startup_ != nullptr;
    socketsTried_ = true;
    UniqueModule module(LoadLibraryA("wsock32.dll"));
    if (!module) return false;
    auto startup = ProcAddress<StartupFn>(module.get(), "WSAStartup");
    auto cleanup = ProcAddress<CleanupFn>(module.get(), "WSACleanup");
    auto host = ProcAddress<HostFn>(module.get(), "gethostbyname");
    auto ntoa = ProcAddress<NtoaFn>(module.get(), "inet_ntoa");
    auto addr = ProcAddress<AddrFn>(module.get(), "inet_addr");
    if (!startup || !cleanup || !host || !ntoa || !addr) return false;
    socketsModule_ = std::move(module);
    startup_ = startup;
    cleanup_ = cleanup;
    gethostbyname_ = host;
    inetNtoa_ = ntoa;
    inetAddr_ = addr;
    return true;
}

int SystemNetApi::WSAStartup(std::uint16_t version) {
    if (!LoadSockets()) return WSASYSNOTREADY;
    WSADATA scratch;
    return startup_(version, &scratch);
}

int SystemNetApi::WSACleanup() { return LoadSockets() ? cleanup_() : SOCKET_ERROR; }

std::optional<NetApi::HostEntry> SystemNetApi::GetHostByName(const std::string& name) {
    if (!LoadSockets()) return std::nullopt;
    const hostent* h = gethostbyname_(name.c_str());
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
    if (!LoadSockets()) return "";
    in_addr a;
    std::memcpy(&a, address.data(), 4);
    const char* text = inetNtoa_(a);
    return text ? text : "";
}

std::uint32_t SystemNetApi::InetAddr(const std::string& text) {
    return LoadSockets() ? inetAddr_(text.c_str()) : INADDR_NONE;
}

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
    MessageBoxA(owner_, text.c_str(), caption_.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace zv
