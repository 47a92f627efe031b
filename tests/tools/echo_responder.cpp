// Test responder: answers ICMP echo requests on loopback after a chosen delay, so a ping's true
// round-trip time is known. Runs only inside a loopback-only network namespace.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <queue>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

std::int64_t NowNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::uint16_t Checksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    if (size & 1) sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

// Refuses to run where a reply could leave the machine: every interface must be loopback.
bool LoopbackOnly(std::string* offending) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    bool ok = true;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!(i->ifa_flags & IFF_LOOPBACK)) {
            ok = false;
            *offending = i->ifa_name;
            break;
        }
    }
    freeifaddrs(list);
    return ok;
}

struct Pending {
    std::int64_t dueNs;
    std::uint64_t order;
    sockaddr_in to;
    std::vector<std::uint8_t> reply;
    unsigned delayMs;
    bool operator>(const Pending& o) const { return dueNs != o.dueNs ? dueNs > o.dueNs : order > o.order; }
};

struct Options {
    long delayMs = -1;
    std::string delayFile;
    std::string pidFile;
};

// The delay for the next reply: the first number in the delay file, read afresh for each request,
// so a test can change it while the responder runs; the fixed delay otherwise. "off" in the file
// stops the answers, as if the site had gone away: -1. A file caught in the middle of being
// rewritten keeps what was read last.
long CurrentDelay(const Options& opt) {
    static long last = opt.delayMs >= 0 ? opt.delayMs : 0;
    if (!opt.delayFile.empty()) {
        std::ifstream in(opt.delayFile);
        std::string word;
        if (in >> word) {
            char* end = nullptr;
            long v = std::strtol(word.c_str(), &end, 10);
            if (word == "off") last = -1;
            else if (*end == '\0' && v >= 0) last = v;
        }
    }
    return last;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: echo_responder [--delay-ms N] [--delay-file PATH] [--pid-file PATH]\n"
                 "Answers ICMP echo requests to loopback after N ms (or the number in PATH, read per\n"
                 "request; \"off\" there: no answers). Run it inside a loopback-only network namespace with\n"
                 "net.ipv4.icmp_echo_ignore_all=1, so the kernel does not answer first.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--delay-ms" && i + 1 < argc) opt.delayMs = std::strtol(argv[++i], nullptr, 10);
        else if (a == "--delay-file" && i + 1 < argc) opt.delayFile = argv[++i];
        else if (a == "--pid-file" && i + 1 < argc) opt.pidFile = argv[++i];
        else return Usage();
    }
    if (opt.delayMs < 0 && opt.delayFile.empty()) return Usage();

    std::string offending;
    if (!LoopbackOnly(&offending)) {
        std::fprintf(stderr, "echo_responder: interface '%s' is not loopback; run me in a namespace of my own\n",
                     offending.c_str());
        return 3;
    }
    int sock = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    if (sock < 0) {
        std::fprintf(stderr, "echo_responder: raw socket: %s (needs root)\n", std::strerror(errno));
        return 4;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    if (!opt.pidFile.empty()) {
        std::ofstream(opt.pidFile) << getpid() << "\n";
    }
    std::printf("echo_responder: ready\n");
    std::fflush(stdout);

    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> due;
    std::uint64_t order = 0;
    std::uint8_t packet[65536];
    while (!g_stop) {
        timespec ts{};
        timespec* tsp = nullptr;
        if (!due.empty()) {
            std::int64_t left = due.top().dueNs - NowNs();
            if (left < 0) left = 0;
            ts.tv_sec = left / 1000000000;
            ts.tv_nsec = left % 1000000000;
            tsp = &ts;
        }
        pollfd pfd{sock, POLLIN, 0};
        int r = ppoll(&pfd, 1, tsp, nullptr);
        if (r < 0 && errno != EINTR) break;

        if (r > 0 && (pfd.revents & POLLIN)) {
            sockaddr_in from{};
            socklen_t fromLen = sizeof from;
            ssize_t got = recvfrom(sock, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
            std::int64_t arrived = NowNs();
            if (got >= 20) {
                std::size_t ihl = (packet[0] & 0x0F) * 4u;
                bool fromLoopback = (ntohl(from.sin_addr.s_addr) >> 24) == 127;
                if (ihl >= 20 && static_cast<std::size_t>(got) >= ihl + 8 && packet[ihl] == 8 && packet[ihl + 1] == 0 &&
                    fromLoopback) {
                    const long delay = CurrentDelay(opt);
                    if (delay < 0) {
                        std::printf("dropped\n");
                        std::fflush(stdout);
                        continue;
                    }
                    Pending p;
                    p.delayMs = static_cast<unsigned>(delay);
                    p.dueNs = arrived + static_cast<std::int64_t>(p.delayMs) * 1000000;
                    p.order = order++;
                    p.to = from;
                    p.reply.assign(packet + ihl, packet + got);
                    p.reply[0] = 0;  // echo reply
                    p.reply[2] = p.reply[3] = 0;
                    std::uint16_t sum = Checksum(p.reply.data(), p.reply.size());
                    p.reply[2] = static_cast<std::uint8_t>(sum >> 8);
                    p.reply[3] = static_cast<std::uint8_t>(sum & 0xFF);
                    due.push(std::move(p));
                }
            }
        }
        while (!due.empty() && due.top().dueNs <= NowNs()) {
            const Pending& p = due.top();
            sendto(sock, p.reply.data(), p.reply.size(), 0, reinterpret_cast<const sockaddr*>(&p.to), sizeof p.to);
            unsigned id = static_cast<unsigned>(p.reply[4] << 8 | p.reply[5]);
            unsigned seq = static_cast<unsigned>(p.reply[6] << 8 | p.reply[7]);
            std::printf("reply id=%u seq=%u bytes=%zu delay=%u\n", id, seq, p.reply.size() - 8, p.delayMs);
            std::fflush(stdout);
            due.pop();
        }
    }
    close(sock);
    return 0;
}
