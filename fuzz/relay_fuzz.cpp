// Plays arbitrary traffic into the relay's decisions: the input is a list of
// events (a connection connects, sends a message, leaves or times out, time
// passes), each message's bytes taken from the input. The relay must never
// crash, and every message it sends must decode.

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "net/RelayGame.h"

namespace
{

void CheckActions(RelayGame& game)
{
    for (const RelayGame::Action& action : game.TakeActions())
    {
        if (action.bytes.empty())
            continue;
        Message m;
        std::string error;
        if (!DecodeMessage(action.bytes.data(), action.bytes.size(), m, error))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RelayGame game("", [](const std::string&) {});
    double now = 0.0;
    size_t pos = 0;
    while (pos + 2 <= size)
    {
        const uint8_t op = data[pos] & 3;
        const uint32_t connection = 1 + (data[pos] >> 2) % 6;
        const size_t length = data[pos + 1];
        pos += 2;
        switch (op)
        {
        case 0:
            game.Connected(connection, "fuzz", now);
            break;
        case 1:
        {
            const size_t n = std::min(length, size - pos);
            game.Received(connection, data + pos, n, now);
            pos += n;
            break;
        }
        case 2:
            game.Disconnected(connection, (length & 1) != 0);
            break;
        case 3:
            now += length * 0.1;
            game.Tick(now);
            break;
        }
        CheckActions(game);
    }
    return 0;
}
