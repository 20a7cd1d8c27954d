#ifndef KORVANE_AI_COMPUTERPLAYER_H
#define KORVANE_AI_COMPUTERPLAYER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "players/Seat.h"

class Game;
class Player;
struct ComputerMemory;

// A seat the computer plays. It plays its turns only through what a person's
// keys and clicks reach and knows only what that person could see.
class ComputerPlayer
{
  public:
    virtual ~ComputerPlayer() = default;

    // Plays this player's turn, which must be the current one, until the
    // player ends it or the game is over (the game's state is then 1 or 2).
    // Between decisions game time advances one tick at a time through
    // advanceTick, which may also draw, read input or end the game.
    virtual void PlayTurn(const std::function<void()>& advanceTick) = 0;

    // What the player remembers between turns, for a saved game: written
    // into its own member of memory (ai/ComputerMemory.h).
    virtual void SaveMemory(ComputerMemory& memory) const = 0;
    // Takes up a remembered state of a player of the same kind in the same
    // game, replacing what construction chose. False, with the reason, when
    // the memory cannot be this player's; the player is then unchanged.
    virtual bool LoadMemory(const ComputerMemory& memory, std::string& error) = 0;
};

// The computer player for a computer seat of the given kind; seed fixes its
// choices by chance. A Human kind gets nullptr.
std::unique_ptr<ComputerPlayer> MakeComputerPlayer(SeatKind kind, Game& game, Player& player, uint32_t seed);

#endif
