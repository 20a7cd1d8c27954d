#ifndef KORVANE_TESTS_NET_NETMESSAGES_H
#define KORVANE_TESTS_NET_NETMESSAGES_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "net/Message.h"

// The messages the network's tests send, each built from the few fields a
// case cares about.

inline Message Join(const std::string& name, const std::string& code = "GAME42")
{
    Message m;
    m.type = MessageType::Join;
    m.code = code;
    m.name = name;
    return m;
}

// The host's join: the seats it asks for, and some settings for the others.
inline Message Host(std::vector<SeatPlan> plan, const std::string& name = "Ann",
                    const std::string& code = "GAME42")
{
    Message m = Join(name, code);
    m.host = true;
    m.plan = std::move(plan);
    m.settings = {1, 2, 3};
    return m;
}

// A turn and its hash, with a snapshot of the given size whose bytes vary, so
// that a piece of it out of place shows.
inline Message Turn(uint32_t turn, uint8_t next, size_t bytes = 100)
{
    Message m;
    m.type = MessageType::Turn;
    m.turn = turn;
    m.seatToPlay = next;
    m.hash = 0x5EED0000 + turn;
    m.snapshot.resize(bytes);
    for (size_t k = 0; k < bytes; k++)
        m.snapshot[k] = uint8_t((k * 2654435761u) >> 13);
    return m;
}

inline Message Vote(uint8_t seat)
{
    Message m;
    m.type = MessageType::Vote;
    m.seat = seat;
    return m;
}

#endif
