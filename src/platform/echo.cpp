// Start and stop Windows Sockets, resolve a site, send one ICMP echo: the steps over the system calls.
#include "platform/echo.h"

namespace zv {

bool WinsockPing::StartSockets() { return api_.WSAStartup(kWinsockVersion11) == 0; }

std::string WinsockPing::ResolveHost(const std::string& host) {
    std::optional<NetApi::HostEntry> entry = api_.GetHostByName(host);
    if (!entry) return kUnableToResolve;
    if (entry->addressType != kAfInet) return kNonIpAddress;
    // An IPv4 entry without a 4-byte first address would leave nothing to copy: nothing resolved.
    if (entry->addressLength != 4 || !entry->firstAddress) return kUnableToResolve;
    return api_.InetNtoa(*entry->firstAddress);
}

std::int32_t WinsockPing::SendEcho(const std::string& address, const std::string& requestData, EchoReply& reply) {
    std::uint32_t target = api_.InetAddr(address);
    if (target == kInaddrNone) return -1;
    std::uintptr_t handle = api_.IcmpCreateFile();
    if (handle == 0) return 0;
    // The number of replies is not used: the status and round-trip time in the record tell all.
    api_.IcmpSendEcho(handle, target, requestData.data(), static_cast<std::uint16_t>(requestData.size()), &reply,
                      kEchoReplySize, kEchoTimeoutMs);
    std::int32_t status = static_cast<std::int32_t>(reply.Status);
    api_.IcmpCloseHandle(handle);
    return status;
}

void WinsockPing::StopSockets() {
    if (api_.WSACleanup() != 0) api_.ShowExclamation(kCleanupFailed);
}

bool EchoAnswered(std::int32_t status, const EchoReply& reply) {
    return status == 0 && reply.Status == 0 && reply.Address != 0;
}

CheckedEcho CheckEcho(NetApi& api, const std::string& host, std::uint32_t timeoutMs) {
    CheckedEcho out;
    if (api.WSAStartup(kWinsockVersion11) != 0) {
        out.why = "Windows Sockets did not start.";
        return out;
    }
    const std::uint32_t target = api.InetAddr(WinsockPing(api).ResolveHost(host));
    const std::uintptr_t handle = target == kInaddrNone ? 0 : api.IcmpCreateFile();
    if (target == kInaddrNone) {
        out.why = "The name " + host + " could not be resolved.";
    } else if (handle == 0) {
        out.why = "Windows offers no ICMP functions to send the echo with.";
    } else {
        EchoReply reply{};
        api.IcmpSendEcho(handle, target, kEchoRequestData.data(), static_cast<std::uint16_t>(kEchoRequestData.size()),
                         &reply, kEchoReplySize, timeoutMs);
        api.IcmpCloseHandle(handle);
        out.result = EchoAnswered(0, reply) ? CheckedEcho::Result::Answered : CheckedEcho::Result::NoAnswer;
        out.rttMs = reply.RoundTripTime;
    }
    api.WSACleanup();
    return out;
}

std::optional<std::uint32_t> EchoOnce(PingNetwork& network, const std::string& host) {
    if (!network.StartSockets()) return std::nullopt;
    EchoReply reply{};
    const std::int32_t status = network.SendEcho(network.ResolveHost(host), kEchoRequestData, reply);
    network.StopSockets();
    if (!EchoAnswered(status, reply)) return std::nullopt;
    return reply.RoundTripTime;
}

}  // namespace zv
