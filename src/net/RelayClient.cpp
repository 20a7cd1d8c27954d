#include "net/RelayClient.h"

#include <enet/enet.h>

#include <chrono>

#include "net/EnetLibrary.h"

namespace
{

// How long a closing connection waits for the relay to acknowledge what it
// last sent.
constexpr int kLastWordsMs = 500;

} // namespace

RelayClient::RelayClient() : host(nullptr), peer(nullptr) {}

RelayClient::~RelayClient()
{
    if (peer != nullptr)
    {
        // What was last sent (a mismatch report) must reach the relay before
        // the connection ends: a disconnect that arrives first makes ENet drop
        // what the relay has received but not yet handed on. The relay's
        // acknowledgement says it has been handed on; wait a moment for it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLastWordsMs);
        ENetEvent event;
        while (peer->state == ENET_PEER_STATE_CONNECTED &&
               (!enet_list_empty(&peer->sentReliableCommands) || !enet_list_empty(&peer->outgoingCommands)) &&
               std::chrono::steady_clock::now() < deadline)
        {
            if (enet_host_service(host, &event, 10) > 0 && event.type == ENET_EVENT_TYPE_RECEIVE)
                enet_packet_destroy(event.packet);
        }
        enet_peer_disconnect_now(peer, kLeaveData);
    }
    if (host != nullptr)
    {
        enet_host_flush(host);
        enet_host_destroy(host);
    }
}

bool RelayClient::Connect(const std::string& hostName, unsigned short port, uint32_t timeoutMs,
                          double timeoutSeconds, std::string& failure)
{
    if (!InitEnet(failure))
        return false;
    ENetAddress address;
    if (!ResolveAddress(hostName, port, address, failure))
        return false;
    if (host == nullptr)
    {
        host = enet_host_create(nullptr, 1, 1, 0, 0);
        if (host == nullptr)
        {
            failure = "cannot make a network endpoint";
            return false;
        }
        // The relay drops a message over the protocol's limit and its sender;
        // ENet's own limit lies above it so that such a message reaches the
        // relay's decoder rather than vanishing inside ENet.
        host->maximumPacketSize = 2 * kMaxMessageBytes;
        host->maximumWaitingData = 4 * kMaxMessageBytes;
    }
    peer = enet_host_connect(host, &address, 1, 0);
    if (peer == nullptr)
    {
        failure = "cannot start a connection";
        return false;
    }
    const enet_uint32 ms = enet_uint32(timeoutSeconds * 1000.0);
    enet_peer_timeout(peer, ENET_PEER_TIMEOUT_LIMIT, ms, ms);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    ENetEvent event;
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (enet_host_service(host, &event, 50) <= 0)
            continue;
        if (event.type == ENET_EVENT_TYPE_CONNECT)
        {
            error.clear();
            return true;
        }
        if (event.type == ENET_EVENT_TYPE_DISCONNECT)
            break;
        if (event.type == ENET_EVENT_TYPE_RECEIVE)
            enet_packet_destroy(event.packet);
    }
    enet_peer_reset(peer);
    peer = nullptr;
    failure = "no relay answers at " + (hostName.empty() ? std::string("*") : hostName) + ":" +
              std::to_string(port);
    return false;
}

bool RelayClient::Send(const Message& message)
{
    return SendBytes(EncodeMessage(message));
}

bool RelayClient::SendBytes(const std::vector<uint8_t>& bytes)
{
    if (peer == nullptr)
        return false;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (enet_peer_send(peer, 0, packet) != 0)
    {
        enet_packet_destroy(packet);
        return false;
    }
    enet_host_flush(host);
    return true;
}

void RelayClient::Poll(uint32_t milliseconds)
{
    if (host == nullptr)
        return;
    ENetEvent event;
    int result = enet_host_service(host, &event, milliseconds);
    for (int count = 0; result > 0 && count < 64; count++)
    {
        if (event.type == ENET_EVENT_TYPE_RECEIVE)
        {
            Message message;
            std::string reason;
            if (peer == nullptr || event.peer != peer)
                ;
            else if (!DecodeMessage(event.packet->data, event.packet->dataLength, message, reason))
                Lost("the relay sent a bad message: " + reason);
            else if (inbox.size() >= kMaxWaiting)
                Lost("the relay sent more messages than a game needs");
            else
                inbox.push_back(std::move(message));
            enet_packet_destroy(event.packet);
        }
        else if (event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == peer)
        {
            peer = nullptr;
            if (error.empty())
                error = "the relay closed the connection";
        }
        result = enet_host_check_events(host, &event);
    }
}

bool RelayClient::Receive(Message& message)
{
    if (inbox.empty())
        return false;
    message = std::move(inbox.front());
    inbox.pop_front();
    return true;
}

void RelayClient::Leave(uint32_t timeoutMs)
{
    if (peer == nullptr)
        return;
    // Later: what is still queued (the last turn) goes out first.
    enet_peer_disconnect_later(peer, kLeaveData);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    ENetEvent event;
    while (peer != nullptr && std::chrono::steady_clock::now() < deadline)
    {
        if (enet_host_service(host, &event, 20) <= 0)
            continue;
        if (event.type == ENET_EVENT_TYPE_RECEIVE)
            enet_packet_destroy(event.packet);
        else if (event.type == ENET_EVENT_TYPE_DISCONNECT)
            peer = nullptr;
    }
    // No answer in time (a lossy link, a relay starved of processor time):
    // the relay is still told, without waiting for it to acknowledge, so that
    // it does not take this machine for one that fell silent.
    if (peer != nullptr)
    {
        enet_peer_disconnect_now(peer, kLeaveData);
    }
    peer = nullptr;
    error = "left the game";
}

void RelayClient::Lost(const std::string& reason)
{
    if (peer != nullptr)
        enet_peer_disconnect_now(peer, 0);
    peer = nullptr;
    error = reason;
}
