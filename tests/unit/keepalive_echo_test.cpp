// Starting and stopping sockets, resolving a site and sending one echo, over faked system calls.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/echo.h"

namespace zv {
namespace {

// Answers as the system would, and writes down what was asked of it.
class FakeNetApi : public NetApi {
public:
    int startupResult = 0;
    int cleanupResult = 0;
    std::optional<HostEntry> host;
    std::uint32_t inetAddrResult = 0x0100007F;
    std::uintptr_t handle = 0x44;
    std::uint32_t replyStatus = 0;
    std::uint32_t replyRtt = 0;
    std::uint32_t replyAddress = 0;

    std::vector<std::string> calls;
    std::vector<std::uint16_t> startupVersions;
    std::string resolvedName, ntoaArgument, inetAddrArgument;
    std::uint32_t echoAddress = 0, echoReplySize = 0, echoTimeout = 0;
    std::string echoData;
    void* echoBuffer = nullptr;
    std::vector<std::string> boxes;

    int WSAStartup(std::uint16_t version) override {
        calls.push_back("WSAStartup");
        startupVersions.push_back(version);
        return startupResult;
    }
    int WSACleanup() override {
        calls.push_back("WSACleanup");
        return cleanupResult;
    }
    std::optional<HostEntry> GetHostByName(const std::string& name) override {
        calls.push_back("gethostbyname");
        resolvedName = name;
        return host;
    }
    std::string InetNtoa(const std::array<std::uint8_t, 4>& a) override {
        calls.push_back("inet_ntoa");
        return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
               std::to_string(a[3]);
    }
    std::uint32_t InetAddr(const std::string& text) override {
        calls.push_back("inet_addr");
        inetAddrArgument = text;
        return inetAddrResult;
    }
    std::uintptr_t IcmpCreateFile() override {
        calls.push_back("IcmpCreateFile");
        return handle;
    }
    std::uint32_t IcmpSendEcho(std::uintptr_t h, std::uint32_t address, const void* data, std::uint16_t size,
                               void* reply, std::uint32_t replySize, std::uint32_t timeout) override {
        calls.push_back("IcmpSendEcho");
        EXPECT_EQ(h, handle);
        echoAddress = address;
        echoData.assign(static_cast<const char*>(data), size);
        echoBuffer = reply;
        echoReplySize = replySize;
        echoTimeout = timeout;
        auto* r = static_cast<EchoReply*>(reply);
        r->Status = replyStatus;
        r->RoundTripTime = replyRtt;
        r->Address = replyAddress;
        return 1;
    }
    void IcmpCloseHandle(std::uintptr_t h) override {
        calls.push_back("IcmpCloseHandle");
        EXPECT_EQ(h, handle);
    }
    void ShowExclamation(const std::string& text) override {
        calls.push_back("box");
        boxes.push_back(text);
    }
};

TEST(StartSockets, AsksForVersion11AndSucceedsOnlyOnZero) {
    struct Case {
        int result;
        bool started;
    } cases[] = {{0, true}, {10091 /* WSASYSNOTREADY */, false}, {10092 /* WSAVERNOTSUPPORTED */, false}, {-1, false}};
    for (const Case& c : cases) {
        FakeNetApi api;
        api.startupResult = c.result;
        WinsockPing ping(api);
        EXPECT_EQ(ping.StartSockets(), c.started) << "WSAStartup returning " << c.result;
        ASSERT_EQ(api.startupVersions.size(), 1u);
        EXPECT_EQ(api.startupVersions[0], 0x0101);
    }
}

TEST(StopSockets, ComplainsOnlyWhenCleanupFails) {
    FakeNetApi quiet;
    WinsockPing(quiet).StopSockets();
    EXPECT_TRUE(quiet.boxes.empty());

    FakeNetApi failing;
    failing.cleanupResult = -1;
    WinsockPing(failing).StopSockets();
    EXPECT_EQ(failing.boxes, std::vector<std::string>{"Windows Sockets error occurred in Cleanup."});
}

TEST(ResolveHost, AnswersWithTheFirstIpv4AddressOrAFailureText) {
    struct Case {
        const char* what;
        std::optional<NetApi::HostEntry> entry;
        std::string expected;
    };
    const Case cases[] = {
        {"no entry", std::nullopt, "Unable to resolve domain name."},
        {"IPv6 entry", NetApi::HostEntry{23, 16, std::nullopt}, "A non-IP address was returned."},
        {"IPv4 entry", NetApi::HostEntry{2, 4, std::array<std::uint8_t, 4>{192, 0, 2, 10}}, "192.0.2.10"},
        {"IPv4 entry, empty list", NetApi::HostEntry{2, 4, std::nullopt}, "Unable to resolve domain name."},
    };
    for (const Case& c : cases) {
        FakeNetApi api;
        api.host = c.entry;
        EXPECT_EQ(WinsockPing(api).ResolveHost("www.quonibar.example"), c.expected) << c.what;
        EXPECT_EQ(api.resolvedName, "www.quonibar.example") << c.what;
    }
}

TEST(SendEcho, SendsFiftySixOnesWithHalfASecondToWait) {
    FakeNetApi api;
    api.replyStatus = 0;
    api.replyRtt = 45;
    EchoReply reply{};
    EXPECT_EQ(WinsockPing(api).SendEcho("127.0.0.1", kEchoRequestData, reply), 0);
    EXPECT_EQ(api.inetAddrArgument, "127.0.0.1");
    EXPECT_EQ(api.echoAddress, 0x0100007Fu);
    EXPECT_EQ(api.echoData, std::string(56, '1'));
    EXPECT_EQ(api.echoBuffer, static_cast<void*>(&reply));
#if defined(_WIN64)
    EXPECT_EQ(api.echoReplySize, sizeof(EchoReply));  // the tests' 64-bit build: 8-byte pointers
#else
    EXPECT_EQ(api.echoReplySize, 278u);
#endif
    EXPECT_EQ(api.echoTimeout, 500u);
    EXPECT_EQ(reply.RoundTripTime, 45u);
    EXPECT_EQ(api.calls, (std::vector<std::string>{"inet_addr", "IcmpCreateFile", "IcmpSendEcho", "IcmpCloseHandle"}));
}

TEST(SendEcho, ReturnsTheReplyStatus) {
    for (std::uint32_t status : {0u, 11010u /* IP_REQ_TIMED_OUT */, 11003u /* IP_DEST_HOST_UNREACHABLE */}) {
        FakeNetApi api;
        api.replyStatus = status;
        EchoReply reply{};
        EXPECT_EQ(WinsockPing(api).SendEcho("192.0.2.10", kEchoRequestData, reply), static_cast<std::int32_t>(status))
            << "status " << status;
    }
}

TEST(SendEcho, SendsNothingForAFailureTextOrWithoutAHandle) {
    for (const char* text : {kUnableToResolve, kNonIpAddress}) {
        FakeNetApi api;
        api.inetAddrResult = kInaddrNone;
        EchoReply reply{};
        EXPECT_EQ(WinsockPing(api).SendEcho(text, kEchoRequestData, reply), -1) << text;
        EXPECT_EQ(api.calls, std::vector<std::string>{"inet_addr"}) << text;
        EXPECT_EQ(reply.RoundTripTime, 0u) << text;
    }
    FakeNetApi noHandle;
    noHandle.handle = 0;
    EchoReply reply{};
    EXPECT_EQ(WinsockPing(noHandle).SendEcho("127.0.0.1", kEchoRequestData, reply), 0);
    EXPECT_EQ(noHandle.calls, (std::vector<std::string>{"inet_addr", "IcmpCreateFile"}));
}

// The network check's echo tells an answer, no answer and no echo sent apart, and shows no box.
TEST(CheckEcho, TellsAnAnswerNoAnswerAndNoEchoSentApart) {
    const NetApi::HostEntry dotted{kAfInet, 4, std::array<std::uint8_t, 4>{127, 0, 0, 1}};
    const struct {
        const char* what;
        std::function<void(FakeNetApi&)> setUp;
        CheckedEcho::Result result;
        const char* why;
    } cases[] = {
        {"answered", [](FakeNetApi& a) { a.replyAddress = 0x0100007F; a.replyRtt = 700; },
         CheckedEcho::Result::Answered, ""},
        {"timed out", [](FakeNetApi& a) { a.replyStatus = 11010; }, CheckedEcho::Result::NoAnswer, ""},
        {"no sockets", [](FakeNetApi& a) { a.startupResult = 10091; }, CheckedEcho::Result::NotSent,
         "Windows Sockets did not start."},
        {"no name service", [](FakeNetApi& a) { a.host.reset(); a.inetAddrResult = kInaddrNone; },
         CheckedEcho::Result::NotSent, "The name example.org could not be resolved."},
        {"no ICMP", [](FakeNetApi& a) { a.handle = 0; }, CheckedEcho::Result::NotSent, "Windows offers no ICMP"},
    };
    for (const auto& c : cases) {
        FakeNetApi api;
        api.host = dotted;
        api.cleanupResult = 1;  // no box even then
        c.setUp(api);
        const CheckedEcho echo = CheckEcho(api, "example.org");
        EXPECT_EQ(echo.result, c.result) << c.what;
        EXPECT_EQ(echo.why.rfind(c.why, 0), 0u) << c.what << ": " << echo.why;
        EXPECT_TRUE(api.boxes.empty()) << c.what;
        if (c.result != CheckedEcho::Result::NotSent) {
            EXPECT_EQ(api.echoTimeout, 4000u) << c.what;
        }
    }
}

}  // namespace
}  // namespace zv
