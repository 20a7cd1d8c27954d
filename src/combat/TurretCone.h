#ifndef KORVANE_COMBAT_TURRETCONE_H
#define KORVANE_COMBAT_TURRETCONE_H

#include <GL/gl.h>

#include <vector>

#include "combat/TurretAim.h"
#include "combat/TurretState.h"
#include "math/Vector.h"

// The see-through arc cone a turret shows when its cone switch is on: nested
// shells of latitude and longitude lines and, for arcs narrower than 175
// degrees either side, four edge lines to the arc's corners. Four display
// lists, one per colour: grey, red, orange, yellow.

// The shape of one turret's cone.
struct ConeShape
{
    FiringArc arc;
    float yawStep;   // between longitude lines
    float pitchStep; // between latitude lines
    float maxRadius; // shells double from 4 while at most this
    float alphaStep; // opacity lost from one shell to the next, from 0.8
};

// The colours of the four cone lists, by list index.
extern const float kConeColours[4][3];

// The point at yaw h, pitch p (degrees) and radius r: (r sin h cos p, r sin p, -r cos h cos p).
Vector ConePoint(float yawDegrees, float pitchDegrees, float radius);

// The values of a loop that starts at from, adds step in single precision and
// runs while the value does not exceed to; rounding can drop the last value.
std::vector<float> ConeSteps(float from, float to, float step);

// The shell radii of a cone (4, 8, ... up to maxRadius) and the radius reached
// after the last shell, where the edge lines end.
std::vector<float> ConeRadii(float maxRadius, float& edgeRadius);

// True when the cone has edge lines: a horizontal half width below 175.
bool ConeHasEdges(const FiringArc& arc);

// Compiles the four cone lists (consecutive names from glGenLists) and
// returns the first. Needs a current OpenGL context.
GLuint CompileConeLists(const ConeShape& shape);

// The cone lists of a shape, shared by every turret of that shape: compiling
// them is most of the cost of building a ship, and every ship of a class has
// the same turrets. Acquire compiles a shape's lists the first time it is
// asked for and counts its users; Release deletes them when the last user
// lets go. A shape is held only while a turret holds it, so a turret must be
// gone before its context is.
GLuint AcquireConeLists(const ConeShape& shape);
void ReleaseConeLists(GLuint first);

// The cone list index and line width for a turret state.
int ConeListForState(TurretState state);
float ConeLineWidthForState(TurretState state);

#endif
