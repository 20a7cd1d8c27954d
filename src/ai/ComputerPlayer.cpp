#include "ai/ComputerPlayer.h"

#include "ai/HardPlayer.h"
#include "players/AutoPlayer.h"

std::unique_ptr<ComputerPlayer> MakeComputerPlayer(SeatKind kind, Game& game, Player& player, uint32_t seed)
{
    switch (kind)
    {
    case SeatKind::ComputerEasy:
        return std::make_unique<AutoPlayer>(game, player, seed);
    case SeatKind::ComputerHard:
        return std::make_unique<HardPlayer>(game, player, seed);
    case SeatKind::Human:
        break;
    }
    return nullptr;
}
