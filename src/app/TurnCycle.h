#ifndef KORVANE_APP_TURNCYCLE_H
#define KORVANE_APP_TURNCYCLE_H

#include <string>

#include "math/Vector.h"

class Game;

// The hot-seat cycle: a hand-over screen naming the next player (none for a
// seat the computer plays), that player's turn, the change of player; until
// the game is over. Then the
// winner's fireworks and the "Unloading game" screen.

// "Player 2 begin when ready" for player index 1.
std::string HandOverText(int playerIndex);

// "Player 3 Wins!" for player index 2.
std::string WinnerText(int playerIndex);

// The winner screen's fireworks and fade, advanced by presses and ticks.
struct WinnerScreenState
{
    bool leaving = false; // a key or button has been pressed
    int tickCount = 0;    // ticks since the start or the last press

    void Press()
    {
        leaving = true;
        tickCount = 0;
    }
    void Tick() { tickCount++; }

    // The fade to black is complete 40 ticks after the last press.
    bool Finished() const { return leaving && tickCount >= 40; }

    // Opacity of the black rectangle over the screen while leaving.
    float FadeAlpha() const { return tickCount * 0.025f; }
};

// One firework explosion of the winner screen.
struct Firework
{
    Vector position;
    Vector colour;
    float scale = 0.0f;
    int count = 0;
};

// On three ticks in ten a firework: decides with one random fraction, then
// draws eight more for the position (within 25 of the centre on each axis),
// the colour (the winner's colour brightened), the scale and the count (0 to 4).
bool NextFirework(const Vector& winnerColour, Firework& firework);

class Environment;
struct Font;

// The frames of the screens below, each into the back buffer: the current
// player's ready screen; the winner's fireworks with the name in a band (and
// the fade while leaving); "Unloading game" in a colour.
void DrawHandOverScreen(Game& game);
void DrawWinnerScreen(Environment& environment, const Font& font, int winner, const float* colour,
                      const WinnerScreenState& screen);
void DrawUnloadingScreen(const Font& font, const float* colour);

// One tick of the winner screen: the count, the environment, and maybe a
// firework in the winner's colour brightened.
void WinnerTick(Environment& environment, const float* colour, WinnerScreenState& screen);

// Runs the turns until the game's state is 2, then the end screens: a
// person's turn behind its hand-over screen, a computer's as PlayComputerTurn
// shows it.
void RunTurns(Game& game);

// The current player's ready screen; returns on a key or mouse button press.
void HandOverScreen(Game& game);

// The winner screen, if there is a winner, then the unloading screen.
void EndScreen(Game& game);

#endif
