#ifndef KORVANE_WORLD_VIEWVOLUME_H
#define KORVANE_WORLD_VIEWVOLUME_H

#include "math/Vector.h"

// The six planes that bound what a camera shows (left, right, bottom, top,
// near, far), taken from its projection and modelview matrices. Anything drawn
// wholly outside one of them is clipped away and leaves no fragment, so the
// drawing of clouds asks it which ones it can leave out.
class ViewVolume
{
  public:
    // Everything is inside: a volume that never leaves anything out.
    ViewVolume();

    // From column-major 4 x 4 matrices as OpenGL keeps them.
    ViewVolume(const float projection[16], const float modelview[16]);

    // From the current OpenGL projection and modelview matrices.
    static ViewVolume Current();

    // True when every point within `radius` of `centre` (world coordinates)
    // lies outside the volume by a safe margin.
    bool SphereOutside(const Vector& centre, double radius) const;

    // The same against the near and far planes alone. Lines are widened on the
    // screen, and may show a pixel of a line just outside a side plane.
    bool SphereOutsideDepthRange(const Vector& centre, double radius) const;

  private:
    // Against planes first to last - 1.
    bool SphereOutside(const Vector& centre, double radius, int first, int last) const;

    double planes[6][4]; // a, b, c, d with (a, b, c) of unit length; inside where ax + by + cz + d >= 0
    bool bounded;        // false for the volume that holds everything
};

#endif
