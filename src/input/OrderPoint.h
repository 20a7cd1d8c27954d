#ifndef KORVANE_INPUT_ORDERPOINT_H
#define KORVANE_INPUT_ORDERPOINT_H

#include "math/Vector.h"

class Game;

// The point of a move or rotate order follows the pointer in 3D: first over
// the horizontal plane at its own height, then, with Ctrl held, up and down
// only, in the vertical plane through the point that faces the selection.

// Where the line from the eye through `nearPoint` (the pointer's point on the
// near plane) meets the horizontal plane y = height: behind the eye when the
// ray points away from the plane (upwards from an eye above it, which the
// widest zoom allows at the top of the screen). Returns false, leaving
// `result` alone, only when the ray runs parallel to the plane: the point
// then stays where it was.
bool PointOnHorizontalPlane(const Vector& eye, const Vector& nearPoint, float height, Vector& result);

// The raised point: `point` moved vertically to where the ray from the eye
// through `farPoint` crosses the vertical plane through `point` whose normal
// is the horizontal direction from `point` to `centre`. Returns false, leaving
// `result` alone, when the ray runs (almost) parallel to that plane.
bool PointOnVerticalPlane(const Vector& eye, const Vector& farPoint, const Vector& point,
                          const Vector& centre, Vector& result);

// Moves the game's order point after the pointer over its horizontal plane,
// using the current player's saved camera matrices (order mode 3).
void PlaceOrderPoint(Game& game);

// Moves the game's order point up or down after the pointer (order mode 4).
void RaiseOrderPoint(Game& game);

#endif
