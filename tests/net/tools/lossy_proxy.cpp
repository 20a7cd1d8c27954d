// A lossy, slow UDP link for the fault tests, for kernels without netem:
// listens on 127.0.0.1:LISTEN and forwards every datagram to 127.0.0.1:TO
// and the answers back, each one dropped with probability LOSS or else held
// for DELAY milliseconds. Each client address gets its own upstream socket,
// so the relay still sees one peer per client. Ends after SECONDS, or on
// SIGTERM, with the count of datagrams forwarded and dropped.
//
//   net_lossy_proxy LISTEN TO LOSS DELAY_MS SECONDS SEED
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <random>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t gStop = 0;

struct Held
{
    Clock::time_point due;
    int socket;
    sockaddr_in to;
    std::vector<char> bytes;
};

sockaddr_in Loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

int UdpSocket(int port)
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a = Loopback(port);
    if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
    {
        std::perror("net_lossy_proxy: bind");
        std::exit(2);
    }
    return s;
}

uint64_t Key(const sockaddr_in& a)
{
    return (uint64_t(a.sin_addr.s_addr) << 16) | a.sin_port;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 7)
    {
        std::fprintf(stderr, "usage: net_lossy_proxy LISTEN TO LOSS DELAY_MS SECONDS SEED\n");
        return 2;
    }
    const int listenPort = std::atoi(argv[1]);
    const sockaddr_in relay = Loopback(std::atoi(argv[2]));
    const double loss = std::atof(argv[3]);
    const auto delay = std::chrono::milliseconds(std::atoi(argv[4]));
    const auto end = Clock::now() + std::chrono::seconds(std::atoi(argv[5]));
    std::mt19937 random(unsigned(std::atoi(argv[6])));
    std::uniform_real_distribution<double> chance(0.0, 1.0);

    const int front = UdpSocket(listenPort);
    std::map<uint64_t, int> upstream;    // client address -> its socket towards the relay
    std::map<int, sockaddr_in> clientOf; // that socket -> the client address
    std::deque<Held> held;
    long forwarded = 0, dropped = 0;
    std::vector<char> buffer(65536);

    std::signal(SIGTERM, [](int) { gStop = 1; });
    while (Clock::now() < end && gStop == 0)
    {
        std::vector<pollfd> fds{{front, POLLIN, 0}};
        for (const auto& entry : clientOf)
            fds.push_back({entry.first, POLLIN, 0});
        poll(fds.data(), fds.size(), 2);
        for (const pollfd& p : fds)
        {
            if ((p.revents & POLLIN) == 0)
                continue;
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t n =
                recvfrom(p.fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (n < 0)
                continue;
            Held h;
            if (p.fd == front)
            {
                auto found = upstream.find(Key(from));
                if (found == upstream.end() && upstream.size() < 64)
                {
                    const int s = UdpSocket(0);
                    found = upstream.emplace(Key(from), s).first;
                    clientOf[s] = from;
                }
                if (found == upstream.end())
                    continue;
                h.socket = found->second;
                h.to = relay;
            }
            else
            {
                h.socket = front;
                h.to = clientOf[p.fd];
            }
            if (chance(random) < loss)
            {
                dropped++;
                continue;
            }
            h.due = Clock::now() + delay;
            h.bytes.assign(buffer.begin(), buffer.begin() + n);
            held.push_back(std::move(h));
        }
        while (!held.empty() && held.front().due <= Clock::now())
        {
            const Held& h = held.front();
            sendto(h.socket, h.bytes.data(), h.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&h.to),
                   sizeof h.to);
            forwarded++;
            held.pop_front();
        }
    }
    std::fprintf(stderr, "net_lossy_proxy: forwarded %ld datagrams, dropped %ld\n", forwarded, dropped);
    return 0;
}
