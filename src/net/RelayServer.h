#ifndef KORVANE_NET_RELAYSERVER_H
#define KORVANE_NET_RELAYSERVER_H

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "net/EnetLibrary.h"
#include "net/RelayGame.h"

struct _ENetHost;
struct _ENetPeer;
struct _ENetEvent;

struct RelayConfig
{
    std::string address;                // the address to bind to; empty: every address
    unsigned short port = kDefaultPort; // 0: any free port (see Port())
    std::string code;                   // when set, the only code a game may be opened with
    double timeoutSeconds = 60.0;       // a machine silent this long is timed out
    int maxConnections = 12;
};

// The relay on the wire: an ENet host bound to the configured address that
// feeds its connections' events and messages to a RelayGame and carries out
// its answers. Writes the game's log lines, prefixed "korvane-server: ", to
// its log file. No display, no files: it keeps everything in memory.
class RelayServer
{
  public:
    RelayServer(const RelayConfig& config, std::FILE* log);
    ~RelayServer();

    RelayServer(const RelayServer&) = delete;
    RelayServer& operator=(const RelayServer&) = delete;

    // Binds the address and port. On failure returns false with a reason.
    bool Open(std::string& error);
    // The bound port (the one chosen when the configured port was 0).
    unsigned short Port() const;

    // Waits up to milliseconds for traffic and handles every event that came
    // (at most a bounded number per call).
    void Service(uint32_t milliseconds);

    const RelayGame& Game() const { return game; }

  private:
    void Handle(const _ENetEvent& event);
    void CarryOut();
    double Now() const;

    RelayConfig config;
    std::FILE* log;
    RelayGame game;
    _ENetHost* host;
    std::map<uint32_t, _ENetPeer*> peers; // by connection id
    uint32_t nextConnection;
    std::chrono::steady_clock::time_point start;
};

#endif
