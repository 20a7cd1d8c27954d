#ifndef KORVANE_APP_COMPUTERTURN_H
#define KORVANE_APP_COMPUTERTURN_H

#include <cstdint>
#include <string>
#include <vector>

#include "players/Seat.h"

class Game;

// The turn of a seat the computer plays. It has no hand-over screen and no
// transitions, and it is shown in one of two ways:
//
// - Watched: the scene drawn live, as the turn's game time passes, through one
//   player's camera and sensors (that player's ships, the enemy ships they
//   detect now, the ghosts of those they lost), under the line "Player N
//   (computer) is moving". Any key or click runs the rest of the turn at once
//   without drawing. Frames draw their random flicker from a stream of their
//   own, so a watched turn is the same turn as one run unseen.
// - Neutral: nobody's view. A black screen names the computer player and a
//   bar shows how far its turn has come, while the turn runs as fast as the
//   machine allows; the screen stays at least 1.5 seconds so that it can be read.
//
// Escape ends the game at any moment of either.

// How a computer's turn is shown.
struct ComputerTurnView
{
    bool watched = false; // live through the viewer's eyes; otherwise the neutral screen
    int viewer = -1;      // the player index whose camera and sensors show a watched turn
};

// The choice for the turn of player index `current`, from every seat and the
// number of ships each player has left: the people still in the game decide.
// Two or more: the neutral screen (nobody may see another's fleet). One: that
// person watches through their own eyes. None: the computer player's own
// view is watched.
ComputerTurnView ChooseComputerTurnView(const std::vector<SeatKind>& seats,
                                        const std::vector<int>& fleetSizes, int current);
ComputerTurnView ChooseComputerTurnView(const Game& game);

// Gives every player of the game its seat (by player index) and, for a
// computer's seat, its computer player, whose choices by chance follow from
// seed and the player index.
void SeatPlayers(Game& game, const SeatKind seats[4], uint32_t seed);

// A seed for the computer players that differs from game to game, so that
// their play cannot be learnt by heart.
uint32_t UnpredictableSeed();

// "Player 2 (computer) is moving" for player index 1.
std::string ComputerMovingText(int playerIndex);

// The filled share of the neutral screen's bar, 0 to 1, after `ticks` ticks of
// the turn: the ten seconds of movement every ship has, and all of it once the
// turn is finished.
float TurnProgress(int ticks, bool finished);

// The frames of a computer's turn, each into the back buffer: the watched
// scene through the viewer's eyes (Game::GetViewer) with the line at the top;
// the neutral screen with its bar filled to `progress`.
void DrawWatchedFrame(Game& game);
void DrawComputerTurnScreen(Game& game, float progress);

// What a computer's turn took: game ticks, and the frames of its view drawn.
struct ComputerTurnRecord
{
    int ticks = 0;
    int framesWatched = 0;
};

// Plays the current player's turn by its computer player, shown as
// ChooseComputerTurnView decides; returns when the turn or the game is over
// (the game's state is then 1 or 2).
ComputerTurnRecord PlayComputerTurn(Game& game);
// As above, shown as the caller decides (a network game knows which seats'
// people sit at this screen).
ComputerTurnRecord PlayComputerTurn(Game& game, const ComputerTurnView& view);

#endif
