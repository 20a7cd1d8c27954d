// korvane-server: the relay of network games. Headless: it needs neither a
// display nor OpenGL, and writes no files. See docs/network.md.
#include <chrono>
#include <csignal>
#include <cstdio>

#include "net/RelayServer.h"
#include "net/ServerOptions.h"

namespace
{

volatile std::sig_atomic_t gStopSignal = 0;

void OnStopSignal(int signal)
{
    gStopSignal = signal;
}

} // namespace

int main(int argc, char* argv[])
{
    ServerOptions options;
    std::string error;
    if (!ParseServerOptions(argc, argv, options, error))
    {
        std::fprintf(stderr, "korvane-server: %s\n%s", error.c_str(), kServerUsage);
        return 2;
    }
    if (options.help)
    {
        std::fputs(kServerUsage, stdout);
        return 0;
    }
    RelayServer server(options.relay, stderr);
    if (!server.Open(error))
    {
        std::fprintf(stderr, "korvane-server: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
    // With --once: the game served, or nobody there for this long.
    const auto idleLimit = std::chrono::minutes(10);
    auto lastSeen = std::chrono::steady_clock::now();
    while (gStopSignal == 0)
    {
        server.Service(100);
        if (!options.once)
            continue;
        if (server.Game().GamesClosed() > 0)
        {
            std::fprintf(stderr, "korvane-server: the game is closed: stopping\n");
            return 0;
        }
        if (server.Game().AnyonePresent())
            lastSeen = std::chrono::steady_clock::now();
        else if (std::chrono::steady_clock::now() - lastSeen > idleLimit)
        {
            std::fprintf(stderr, "korvane-server: nobody for 10 minutes: stopping\n");
            return 0;
        }
    }
    std::fprintf(stderr, "korvane-server: stopped by signal %d\n", int(gStopSignal));
    return 0;
}
