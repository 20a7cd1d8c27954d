#ifndef KORVANE_INPUT_KEYCOMMANDS_H
#define KORVANE_INPUT_KEYCOMMANDS_H

#include <SDL/SDL.h>

class Game;

// The keyboard commands of a turn. The command panel's buttons post the same
// keys, so this table is also the panel's order vocabulary.
//
// Order modes: 1 select, 2 add to the selection (Ctrl held), 3 place the point
// of a move or rotate order, 4 set that point's height (Ctrl held), 5 pick a
// target. Order types: 0 none, 1 move, 2 rotate, 3 target, 4 attack, 5 target
// for the selected turrets.

struct OrderState
{
    int mode = 1;
    int type = 0;
};

// Chooses order (mode, type), or cancels it back to (1, 0) when that same
// order was already chosen. Returns true when the order was chosen.
bool ToggleOrder(OrderState& order, int mode, int type);

// Ctrl turns selecting into adding to the selection, and placing a point into
// setting its height; releasing it turns them back. Other modes stay.
int ModeAfterCtrlPress(int mode);
int ModeAfterCtrlRelease(int mode);

// A key press and a key release during a turn. Keys that need a selection do
// nothing without one; unknown keys do nothing.
void HandleKeyPress(Game& game, SDLKey key);
void HandleKeyRelease(Game& game, SDLKey key);

#endif
