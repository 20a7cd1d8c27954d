#ifndef KORVANE_INPUT_EVENTHANDLING_H
#define KORVANE_INPUT_EVENTHANDLING_H

#include <SDL/SDL.h>

class Game;

// All input of a turn arrives here once per frame: keys, pointer movement,
// clicks that pick through the stencil buffer, and the tick events that
// advance game time.
//
// Stencil values under the pointer: 0 nothing pickable, 1 the 2D overlay (a
// click there goes to the command panel), 5 and above the id of a ship or
// fighter. Ids of 255 and above all read 255.

// SDL counts y downwards; the game counts it upwards from the bottom row.
int ScreenY(int sdlY);

// The stencil value of one pixel of the frame last drawn (the back buffer
// still holds it after the swap).
unsigned ReadStencilValue(int x, int y);

// The game is over when one player alone has ships left and every wreck has
// burned out and every explosion has finished.
bool GameOverReached(Game& game);

// Game-over test, then every event pending when it began (one EventBatch):
// events posted meanwhile, such as the keys of the panel's buttons, are
// handled by the next frame's call.
void HandleEvents(Game& game);

// One event of a turn.
void HandleEvent(Game& game, const SDL_Event& event);

// A click at (x, y) (y counted upwards) whose pixel holds stencil value v.
void Pick(Game& game, int x, int y, unsigned v);

// One tick of game time.
void HandleTick(Game& game);

#endif
