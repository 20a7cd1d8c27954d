#ifndef KORVANE_AI_COMPUTERPLAYER_H
#define KORVANE_AI_COMPUTERPLAYER_H

#include <cstdint>
#include <functional>
#include <memory>

#include "players/Seat.h"

class Game;
class Player;

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
};

// The computer player for a computer seat of the given kind; seed fixes its
// choices by chance. A Human kind gets nullptr.
std::unique_ptr<ComputerPlayer> MakeComputerPlayer(SeatKind kind, Game& game, Player& player, uint32_t seed);

#endif
