#ifndef KORVANE_APP_GAMEFLOW_H
#define KORVANE_APP_GAMEFLOW_H

#include "app/NetChoice.h"

// The whole game after start-up: intro, set-up menu, loading, the turn cycle,
// the winner and unloading screens; or, with a network choice (from the
// command line or the menu), this machine's part of a network game. Returns
// the program's exit status.
int RunGame(const NetChoice& net = NetChoice());

#endif
