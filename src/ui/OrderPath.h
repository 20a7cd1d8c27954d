#ifndef KORVANE_UI_ORDERPATH_H
#define KORVANE_UI_ORDERPATH_H

#include <vector>

#include "math/Vector.h"

// The predicted path of a move or rotate order, as the selected ship shows it:
// the arc its nose sweeps while it turns axis by axis at its turn rates, then
// (for a move) the straight flight to the destination at its speed, one
// vertex per tick. Every vertex after the ship's remaining movement time has
// run out is marked dark. Pure arithmetic; ShipDraw.cpp draws it.

struct PathVertex
{
    Vector position;
    bool dark; // drawn in the dark red of the part beyond the movement time
};

struct OrderPath
{
    std::vector<PathVertex> nose;   // line strip, 10 units ahead of the ship per tick of turning
    std::vector<PathVertex> flight; // line strip, the ship's position per tick of flight
    bool unreachable = false;       // the turn alone outlasts the time: one dark line to the target
    Vector from;                    // the straight line of an unreachable move
    Vector to;
};

// What the ship needs for the prediction.
struct PathShip
{
    Vector position;
    Orientation orientation;
    Vector turnRate;    // degrees per tick about X, Y, Z
    float speed;        // distance per tick
    float moveTimeLeft; // seconds
};

// Bounds the nose of a ship that turns so slowly that it would take longer
// (100 seconds, ten turns): its nose path stops after this many ticks.
constexpr int kMaxPathTicks = 2000;

// The flight has a vertex for every tick up to the target. A flight longer
// than this many ticks (24000 units at the slowest ship's speed, far beyond
// what the sensor view shows) keeps every k-th tick and its last one, so that
// it still ends at the target with at most this many vertices and one more.
constexpr int kMaxFlightVertices = 20000;

// The time in seconds the turn to `wanted` takes: the largest of the axes'
// times, an axis within 1 degree counting as no time.
float TurnTime(const PathShip& ship, const Orientation& wanted);

OrderPath PredictOrderPath(const PathShip& ship, const Vector& destination, const Orientation& wanted,
                           bool rotateOnly);

#endif
