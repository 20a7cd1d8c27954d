#include "SeatPlayers.h"

#include "ExploitBots.h"

#include "ai/ComputerPlayer.h"
#include "players/AutoPlayer.h"

std::unique_ptr<ComputerPlayer> MakeSeatPlayer(const std::string& name, Game& game, Player& player,
                                               uint32_t seed)
{
    if (name == "hard")
    {
        return MakeComputerPlayer(SeatKind::ComputerHard, game, player, seed);
    }
    if (std::unique_ptr<ComputerPlayer> bot = MakeExploitBot(name, game, player))
    {
        return bot;
    }
    return std::make_unique<AutoPlayer>(game, player, seed);
}
