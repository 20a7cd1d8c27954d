#ifndef KORVANE_APP_NETGAME_H
#define KORVANE_APP_NETGAME_H

#include <string>
#include <vector>

#include "app/NetChoice.h"
#include "app/SetupMenu.h"
#include "net/Message.h"

// This machine's part of a network game, with the game's screens. One
// machine computes each turn: the machine of the seat to play plays it
// exactly as the game at one screen does (the hand-over screen and the
// turn, or the computer's turn), then sends the game's snapshot through the
// relay; every other machine rebuilds the game from that snapshot, checks
// its hash, and shows the waiting screen until its own seat's turn comes.
//
// The host starts its relay (korvane-server) in the background, opens the
// game with the seats of the set-up (its people and computers here, the
// Remote seats open for the others) and begins once every seat is taken.

// The plan of seats the host opens the game with: a person or the computer
// here for each seat of the set-up, or open for a remote player.
std::vector<SeatPlan> HostSeatPlan(const GameSetup& setup);

// How a network game ended for this machine.
struct NetGameEnd
{
    int status = 0;      // the program's exit status: 0 played to its end or left, 1 it could not go on
    bool begun = false;  // the game had begun (a turn was played or loaded here)
    std::string reason;  // why it could not go on; empty when it was played or left
    bool closed = false; // the window was closed: the program ends (having left as Escape does)

    // The program ends here; otherwise (refused, unreachable, left in the
    // lobby) the menu opens again and says why.
    bool EndsProgram() const { return begun || closed; }
};

// Plays the game to its end, or until the player leaves (Escape, or closing
// the window) or the network fails it. A failure shows a screen that says
// why, except before the game has begun when the menu asked for it
// (fromMenu): the menu says it then, and Escape in the lobby goes back to
// the menu too.
NetGameEnd RunNetworkGame(const NetChoice& choice, const GameSetup& setup, bool fromMenu);

#endif
