#ifndef KORVANE_APP_SETUPMENU_H
#define KORVANE_APP_SETUPMENU_H

#include <string>
#include <vector>

#include "math/Vector.h"

// The set-up menu: the players choose their number (2 to 4) and a map from
// the map files found, over a slowly circling nebula, and click "Begin".
//
// Button ids in the stencil buffer: 2, 3 and 4 the player counts, 10 + i the
// map at position i of the list, 99 "Begin".

constexpr unsigned kBeginButtonId = 99;
constexpr unsigned kFirstMapButtonId = 10;

// The choice the menu returns.
struct GameSetup
{
    int numPlayers = 2;  // 2, 3 or 4
    std::string mapName; // a map file name without its extension
};

// A click on the pixel holding stencil value v, with `maps` the listed maps.
// Changes the number of players or the map, or returns true for "Begin"; any
// other value changes nothing.
bool ApplyMenuClick(unsigned v, const std::vector<std::string>& maps, GameSetup& setup);

// The menu camera circling at yaw degrees: its position and view direction.
void MenuCamera(float yaw, Vector& position, Vector& viewDirection);

// Runs the menu until "Begin" is clicked; leaves the "Loading level" screen
// on the display.
GameSetup ChooseGameSetup();

#endif
