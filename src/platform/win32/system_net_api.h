// The system calls under the network layer that both programs ping through: Windows Sockets 1.1 and the
// ICMP functions, found at run time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/echo.h"
#include "platform/win32/handles.h"

// Windows Sockets types, complete in <winsock.h> where the functions are called.
struct hostent;
struct in_addr;
struct WSAData;

namespace zv {

class SystemNetApi : public NetApi {
public:
    // The ICMP functions are looked for in these libraries in turn; the first that has all three serves.
    explicit SystemNetApi(std::vector<std::string> icmpLibraries = {"icmp.dll", "iphlpapi.dll"});

    // The window that owns the message boxes (none: no owner), and their caption (the program's name).
    void SetOwner(HWND owner) { owner_ = owner; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    // Which library the ICMP functions came from; empty when none had them.
    const std::string& IcmpLibrary();

    int WSAStartup(std::uint16_t version) override;
    int WSACleanup() override;
    std::optional<HostEntry> GetHostByName(const std::string& name) override;
    std::string InetNtoa(const std::array<std::uint8_t, 4>& address) override;
    std::uint32_t InetAddr(const std::string& text) override;
    std::uintptr_t IcmpCreateFile() override;
    std::uint32_t IcmpSendEcho(std::uintptr_t handle, std::uint32_t address, const void* requestData,
                               std::uint16_t requestSize, void* replyBuffer, std::uint32_t replySize,
                               std::uint32_t timeoutMs) override;
    void IcmpCloseHandle(std::uintptr_t handle) override;
    void ShowExclamation(const std::string& text) override;

private:
    // Windows Sockets are loaded with the first echo rather than at start-up, which they would slow down by
    // several libraries; false when wsock32.dll or one of its functions is missing.
    bool LoadSockets();
    using StartupFn = int(WINAPI*)(WORD, WSAData*);
    using CleanupFn = int(WINAPI*)();
    using HostFn = hostent*(WINAPI*)(const char*);
    using NtoaFn = char*(WINAPI*)(in_addr);
    using AddrFn = unsigned long(WINAPI*)(const char*);
    using CreateFn = HANDLE(WINAPI*)();
    using SendFn = DWORD(WINAPI*)(HANDLE, DWORD, LPVOID, WORD, LPVOID, LPVOID, DWORD, DWORD);
    using CloseFn = BOOL(WINAPI*)(HANDLE);

    bool LoadIcmp();

    bool socketsTried_ = false;
    UniqueModule socketsModule_;
    StartupFn startup_ = nullptr;
    CleanupFn cleanup_ = nullptr;
    HostFn gethostbyname_ = nullptr;
    NtoaFn inetNtoa_ = nullptr;
    AddrFn inetAddr_ = nullptr;
    std::vector<std::string> icmpLibraries_;
    bool icmpTried_ = false;
    UniqueModule icmpModule_;
    std::string icmpLibrary_;
    CreateFn create_ = nullptr;
    SendFn send_ = nullptr;
    CloseFn close_ = nullptr;
    HWND owner_ = nullptr;
    std::string caption_ = "Pulsiva";
};

}  // namespace zv
