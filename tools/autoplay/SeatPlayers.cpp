#include "SeatPlayers.h"

#include "ai/ComputerPlayer.h"
#include "players/AutoPlayer.h"

std::unique_ptr<ComputerPlayer> MakeSeatPlayer(const std::string& name, Game& game, Player& player,
                                               uint32_t seed)
{
    if (name == "hard")
    {
        return MakeComputerPlayer(SeatKind::ComputerHard, game, player, seed);
    }
    return std::make_unique<AutoPlayer>(game, player, seed);
}
