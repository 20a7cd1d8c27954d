#ifndef KORVANE_TESTS_UI_UIGAME_H
#define KORVANE_TESTS_UI_UIGAME_H

#include <string>

#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"

// One real two-player game on map1 for the whole test program, built from the
// generated data the first time a test asks for it (after the display is open).
Game* SharedGame();

// The first ship of player 0 whose class model has that file name.
Ship* FleetShip(Game* game, const std::string& shipClass);

// Makes player 0 current with exactly this ship selected (none for nullptr).
void SelectOnly(Game* game, Ship* ship);

// Looks at `target` from `distance` units along +Z with the game's perspective
// and the given far plane.
void LookAt(const Vector& target, float distance, float farPlane = 500.0f);

#endif
