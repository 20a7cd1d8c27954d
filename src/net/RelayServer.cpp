#include "net/RelayServer.h"

#include <enet/enet.h>

#include "net/Message.h"

namespace
{

uint32_t ConnectionOf(const ENetPeer* peer)
{
    return uint32_t(reinterpret_cast<uintptr_t>(peer->data));
}

// ENet refuses at its own level packets over this size (their fragments are
// never acknowledged, so the sender times out); between the protocol's limit
// and this size they reach the decoder, which drops the connection.
constexpr size_t kEnetPacketLimit = 2 * kMaxMessageBytes;
constexpr int kEventsPerService = 256;

} // namespace

RelayServer::RelayServer(const RelayConfig& config, std::FILE* log)
    : config(config), log(log), game(config.code,
                                     [log](const std::string& line)
                                     {
                                         std::fprintf(log, "korvane-server: %s\n", line.c_str());
                                         std::fflush(log);
                                     }),
      host(nullptr), nextConnection(1), start(std::chrono::steady_clock::now())
{
}

RelayServer::~RelayServer()
{
    if (host != nullptr)
    {
        for (const auto& entry : peers)
            enet_peer_disconnect_now(entry.second, 0);
        enet_host_flush(host);
        enet_host_destroy(host);
    }
}

bool RelayServer::Open(std::string& error)
{
    if (!InitEnet(error))
        return false;
    ENetAddress address;
    if (!ResolveAddress(config.address, config.port, address, error))
        return false;
    host = enet_host_create(&address, size_t(config.maxConnections), 1, 0, 0);
    if (host == nullptr)
    {
        error = "cannot bind " + (config.address.empty() ? std::string("*") : config.address) + ":" +
                std::to_string(config.port);
        return false;
    }
    host->maximumPacketSize = kEnetPacketLimit;
    host->maximumWaitingData = 2 * kEnetPacketLimit;
    std::fprintf(log, "korvane-server: listening on %s:%u\n",
                 config.address.empty() ? "*" : config.address.c_str(), unsigned(Port()));
    std::fflush(log);
    return true;
}

unsigned short RelayServer::Port() const
{
    ENetAddress bound;
    if (host == nullptr || enet_socket_get_address(host->socket, &bound) != 0)
        return config.port;
    return bound.port;
}

double RelayServer::Now() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void RelayServer::Service(uint32_t milliseconds)
{
    if (host == nullptr)
        return;
    ENetEvent event;
    int result = enet_host_service(host, &event, milliseconds);
    for (int count = 0; result > 0 && count < kEventsPerService; count++)
    {
        Handle(event);
        CarryOut();
        result = enet_host_check_events(host, &event);
    }
    if (result > 0)
        Handle(event);
    game.Tick(Now());
    CarryOut();
    enet_host_flush(host);
}

void RelayServer::Handle(const ENetEvent& event)
{
    switch (event.type)
    {
    case ENET_EVENT_TYPE_CONNECT:
    {
        const uint32_t connection = nextConnection++;
        event.peer->data = reinterpret_cast<void*>(uintptr_t(connection));
        const enet_uint32 ms = enet_uint32(config.timeoutSeconds * 1000.0);
        enet_peer_timeout(event.peer, ENET_PEER_TIMEOUT_LIMIT, ms, ms);
        peers[connection] = event.peer;
        game.Connected(connection, AddressText(event.peer->address), Now());
        break;
    }
    case ENET_EVENT_TYPE_RECEIVE:
        if (peers.count(ConnectionOf(event.peer)) != 0)
            game.Received(ConnectionOf(event.peer), event.packet->data, event.packet->dataLength, Now());
        enet_packet_destroy(event.packet);
        break;
    case ENET_EVENT_TYPE_DISCONNECT:
        if (peers.erase(ConnectionOf(event.peer)) != 0)
            game.Disconnected(ConnectionOf(event.peer), event.data != kLeaveData);
        event.peer->data = nullptr;
        break;
    case ENET_EVENT_TYPE_NONE:
        break;
    }
}

void RelayServer::CarryOut()
{
    for (RelayGame::Action& action : game.TakeActions())
    {
        auto found = peers.find(action.connection);
        if (found == peers.end())
            continue;
        ENetPeer* peer = found->second;
        if (!action.bytes.empty())
        {
            ENetPacket* packet =
                enet_packet_create(action.bytes.data(), action.bytes.size(), ENET_PACKET_FLAG_RELIABLE);
            if (enet_peer_send(peer, 0, packet) != 0)
                enet_packet_destroy(packet);
        }
        if (!action.disconnect)
            continue;
        peers.erase(found);
        peer->data = nullptr;
        if (action.bytes.empty())
            enet_peer_disconnect_now(peer, 0);
        else
            enet_peer_disconnect_later(peer, 0);
    }
}
