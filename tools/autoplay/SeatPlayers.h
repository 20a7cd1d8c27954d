#ifndef KORVANE_TOOLS_SEATPLAYERS_H
#define KORVANE_TOOLS_SEATPLAYERS_H

#include <cstdint>
#include <memory>
#include <string>

class ComputerPlayer;
class Game;
class Player;

// The player of one seat of korvane-autoplay by its name: "easy" and "hard"
// are the game's two computer levels, the others the exploit bots
// (ExploitBots.h). An unknown name gets the scripted player.
std::unique_ptr<ComputerPlayer> MakeSeatPlayer(const std::string& name, Game& game, Player& player,
                                               uint32_t seed);

#endif
