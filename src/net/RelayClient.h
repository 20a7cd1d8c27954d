#ifndef KORVANE_NET_RELAYCLIENT_H
#define KORVANE_NET_RELAYCLIENT_H

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "net/Message.h"

struct _ENetHost;
struct _ENetPeer;

// A game machine's connection to the relay: one ENet peer on one reliable,
// ordered channel. Messages that arrive are decoded and wait in order until
// taken; a malformed message, or more waiting than a game ever needs, ends
// the connection with a reason.
class RelayClient
{
  public:
    RelayClient();
    ~RelayClient();

    RelayClient(const RelayClient&) = delete;
    RelayClient& operator=(const RelayClient&) = delete;

    // Connects to host:port, waiting at most timeoutMs for the relay.
    // timeoutSeconds: the relay silent this long ends the connection.
    bool Connect(const std::string& host, unsigned short port, uint32_t timeoutMs, double timeoutSeconds,
                 std::string& error);
    bool Send(const Message& message);
    // Sends bytes as they are (tests of the relay's defences).
    bool SendBytes(const std::vector<uint8_t>& bytes);

    // Handles the traffic of up to milliseconds: messages, acknowledgements,
    // the keep-alive pings. Call it often, even while busy, so that the relay
    // does not take this machine for gone.
    void Poll(uint32_t milliseconds);
    // Takes the oldest message waiting; false when none waits.
    bool Receive(Message& message);

    bool IsConnected() const { return peer != nullptr; }
    // Why the connection ended (empty while it lasts).
    const std::string& Error() const { return error; }

    // Leaves on purpose, so that the relay keeps the seat as left rather
    // than timed out, once everything sent has arrived; waits at most
    // timeoutMs for the relay to acknowledge.
    void Leave(uint32_t timeoutMs);

    static constexpr size_t kMaxWaiting = 256;

  private:
    void Lost(const std::string& reason);

    _ENetHost* host;
    _ENetPeer* peer;
    std::deque<Message> inbox;
    std::string error;
};

#endif
