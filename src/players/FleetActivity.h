#ifndef KORVANE_PLAYERS_FLEETACTIVITY_H
#define KORVANE_PLAYERS_FLEETACTIVITY_H

#include <cstdint>

class Game;
class Player;

// What a computer player waits on before it ends its turn.

// A ship moving, aligning or rotating (a Ship::motionState).
bool IsUnderWay(int32_t motionState);

// Something of the player's turn is still under way: a living ship moving, a
// turret firing or turning to fire with fire time left, or bullets in flight
// (they may yet hit).
bool IsFleetBusy(const Game& game, const Player& player);

#endif
