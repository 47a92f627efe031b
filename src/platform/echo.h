// The network layer under Pulsiva's ping loop and Zarvelo's network check: start/stop Windows Sockets,
// resolve a site, send one ICMP echo, and what counts as an answer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zv {

// The reply buffer of one echo: the Windows ICMP echo reply structure (32-bit layout) followed by
// the area the echoed data lands in. 278 bytes; the caller clears it before every echo. A 64-bit
// Windows build (the tests' build) gets the structure with 8-byte pointers that its system writes,
// naturally aligned; only the 32-bit record is packed, to its 278 bytes.
#if defined(_WIN64)
using EchoPointerField = std::uint64_t;
#else
using EchoPointerField = std::uint32_t;
#pragma pack(push, 2)
#endif
struct EchoReply {
    std::uint32_t Address = 0;
    std::uint32_t Status = 0;
    std::uint32_t RoundTripTime = 0;
    std::uint16_t DataSize = 0;
    std::uint16_t Reserved = 0;
    EchoPointerField DataPointer = 0;
    std::uint8_t Ttl = 0;
    std::uint8_t Tos = 0;
    std::uint8_t Flags = 0;
    std::uint8_t OptionsSize = 0;
    EchoPointerField OptionsData = 0;
    std::uint8_t Data[250] = {};
};
#if defined(_WIN64)
static_assert(offsetof(EchoReply, Ttl) == 24 && offsetof(EchoReply, Data) == 40,
              "the reply starts with the 40-byte 64-bit ICMP echo reply structure");
#else
#pragma pack(pop)
static_assert(sizeof(EchoReply) == 278, "the reply buffer is 278 bytes");
static_assert(offsetof(EchoReply, RoundTripTime) == 8 && offsetof(EchoReply, Ttl) == 20 &&
                  offsetof(EchoReply, Data) == 28,
              "the reply starts with the 28-byte ICMP echo reply structure");
#endif

inline constexpr std::uint32_t kEchoReplySize = sizeof(EchoReply);
inline constexpr std::uint32_t kEchoTimeoutMs = 500;
// What every echo request carries: 56 bytes of the digit "1".
inline const std::string kEchoRequestData(56, '1');

inline constexpr std::uint16_t kWinsockVersion11 = 0x0101;
inline constexpr int kAfInet = 2;
inline constexpr std::uint32_t kInaddrNone = 0xFFFFFFFFu;

inline constexpr char kUnableToResolve[] = "Unable to resolve domain name.";
inline constexpr char kNonIpAddress[] = "A non-IP address was returned.";
inline constexpr char kCleanupFailed[] = "Windows Sockets error occurred in Cleanup.";
inline constexpr char kSocketsNotResponding[] =
    "Windows Sockets for 32 bit Windows environments is not successfully responding.";

// The four routines one ping cycle calls, in this order: StartSockets; when it succeeded
// ResolveHost, SendEcho, StopSockets.
class PingNetwork {
public:
    virtual ~PingNetwork() = default;
    virtual bool StartSockets() = 0;
    // A dotted IPv4 address, or kUnableToResolve / kNonIpAddress.
    virtual std::string ResolveHost(const std::string& host) = 0;
    // The reply's status; -1 when the address text is not an address (nothing sent); 0 when no
    // ICMP handle could be opened (nothing sent).
    virtual std::int32_t SendEcho(const std::string& address, const std::string& requestData, EchoReply& reply) = 0;
    virtual void StopSockets() = 0;
};

// The system calls under those routines (wsock32, the ICMP functions, a message box).
class NetApi {
public:
    struct HostEntry {
        int addressType = 0;
        int addressLength = 0;
        std::optional<std::array<std::uint8_t, 4>> firstAddress;  // none: an empty address list
    };

    virtual ~NetApi() = default;
    virtual int WSAStartup(std::uint16_t version) = 0;
    virtual int WSACleanup() = 0;
    virtual std::optional<HostEntry> GetHostByName(const std::string& name) = 0;
    virtual std::string InetNtoa(const std::array<std::uint8_t, 4>& address) = 0;
    // Network byte order, as inet_addr gives it; kInaddrNone for text that is no address.
    virtual std::uint32_t InetAddr(const std::string& text) = 0;
    // 0: no handle (the ICMP functions are missing or refused one).
    virtual std::uintptr_t IcmpCreateFile() = 0;
    virtual std::uint32_t IcmpSendEcho(std::uintptr_t handle, std::uint32_t address, const void* requestData,
                                       std::uint16_t requestSize, void* replyBuffer, std::uint32_t replySize,
                                       std::uint32_t timeoutMs) = 0;
    virtual void IcmpCloseHandle(std::uintptr_t handle) = 0;
    // A modal box with the exclamation icon and an OK button.
    virtual void ShowExclamation(const std::string& text) = 0;
};

// The routines over the system calls. Keeps no state between calls.
class WinsockPing : public PingNetwork {
public:
    explicit WinsockPing(NetApi& api) : api_(api) {}

    bool StartSockets() override;
    std::string ResolveHost(const std::string& host) override;
    std::int32_t SendEcho(const std::string& address, const std::string& requestData, EchoReply& reply) override;
    void StopSockets() override;

private:
    NetApi& api_;
};

// Answered only when SendEcho reported success and the record names who replied: a record left
// clear (no ICMP handle, or a time-out the system did not write into) reads status 0 too.
bool EchoAnswered(std::int32_t status, const EchoReply& reply);

// One whole cycle: sockets started, the name resolved anew, one echo, sockets stopped. The round-trip
// time when the host answered; nothing when it did not or the sockets would not start.
std::optional<std::uint32_t> EchoOnce(PingNetwork& network, const std::string& host);

// How long the network check waits for each answer: a satellite or a busy dial-up link needs seconds,
// and Windows' own ping waits as long.
inline constexpr std::uint32_t kCheckEchoTimeoutMs = 4000;

// What one echo of the network check found out: an answer, no answer to an echo that went out, or no
// echo sent at all, which says nothing about the network.
struct CheckedEcho {
    enum class Result { Answered, NoAnswer, NotSent };
    Result result = Result::NotSent;
    std::uint32_t rttMs = 0;
    std::string why;  // NotSent: what stood in the way, a whole sentence
};

// One echo over the system calls, waiting `timeoutMs` for the answer. Shows no box.
CheckedEcho CheckEcho(NetApi& api, const std::string& host, std::uint32_t timeoutMs = kCheckEchoTimeoutMs);

}  // namespace zv
