#ifndef KORVANE_APP_SCENEAIDS_H
#define KORVANE_APP_SCENEAIDS_H

class Game;

// Guides drawn into the 3D scene: the sensor view's coordinate axes with
// rulers, and the fading grid with guide lines shown while the point of a
// move or rotate order is being placed.

// Half-length of the ruler tick at position v along an axis: 50 at every
// multiple of 1000, 25 elsewhere.
float RulerTickHalfLength(int v);

// Opacity of the grid line segment starting at (i, j) of the fading grid
// around the selection: 1 at the centre, 0 at 200 units and beyond.
float GridAlpha(int i, int j);

// The three axes from -10000 to 10000 with a tick every 100 units.
void DrawSensorAxes();

// The grid around the selection centre and the guide lines to the order point.
void DrawOrderGrid(Game& game);

#endif
