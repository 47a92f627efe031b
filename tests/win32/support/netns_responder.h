// The echo responder of scripts/netns-session as the tests inside its network namespace see it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

namespace zvtest {

inline std::string WindowsPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

// Its delay file and its log, one line per reply.
struct Responder {
    std::string delayFile;
    std::string logFile;

    static std::optional<Responder> FromEnvironment() {
        char delay[MAX_PATH] = {}, log[MAX_PATH] = {};
        if (!GetEnvironmentVariableA("ZV_NETNS_DELAY_FILE", delay, MAX_PATH) ||
            !GetEnvironmentVariableA("ZV_NETNS_RESPONDER_LOG", log, MAX_PATH))
            return std::nullopt;
        return Responder{WindowsPath(delay), WindowsPath(log)};
    }
    void SetDelay(int ms) const { std::ofstream(delayFile, std::ios::trunc) << ms << "\n"; }
    // Requests go unanswered until the next SetDelay.
    void Silence() const { std::ofstream(delayFile, std::ios::trunc) << "off\n"; }
    int Replies() const {
        std::ifstream in(logFile);
        std::string line;
        int n = 0;
        while (std::getline(in, line)) n += line.rfind("reply ", 0) == 0;
        return n;
    }
};

// What other work on a shared machine may add to a round trip.
constexpr std::uint32_t kLoadSlackMs = 200;

}  // namespace zvtest

#define NETNS_RESPONDER_OR_SKIP(name)                                                                           \
    std::optional<zvtest::Responder> name##Found = zvtest::Responder::FromEnvironment();                         \
    if (!name##Found) GTEST_SKIP() << "needs the echo responder's namespace: ctest -R pulsiva_netns (as root)"; \
    const zvtest::Responder& name = *name##Found
