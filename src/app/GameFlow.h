#ifndef KORVANE_APP_GAMEFLOW_H
#define KORVANE_APP_GAMEFLOW_H

// The whole game after start-up: intro, set-up menu, loading, the turn cycle,
// the winner and unloading screens.
void RunGame();

#endif
