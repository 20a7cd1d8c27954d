#include "world/ViewVolume.h"

#include <GL/gl.h>

#include <cmath>

// Clip coordinates are computed in single precision: a world-unit margin
// covers their rounding wherever a camera of the game looks.
constexpr double kMargin = 1.0;

ViewVolume::ViewVolume() : planes(), bounded(false) {}

ViewVolume::ViewVolume(const float projection[16], const float modelview[16]) : planes(), bounded(true)
{
    // The clip matrix, projection x modelview; rows of it give the planes.
    double clip[4][4];
    for (int row = 0; row < 4; ++row)
    {
        for (int column = 0; column < 4; ++column)
        {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
            {
                sum += double(projection[row + 4 * k]) * double(modelview[k + 4 * column]);
            }
            clip[row][column] = sum;
        }
    }
    // A point is inside where -w <= x, y, z <= w: plane 2i is w + (row i), plane 2i + 1 is w - (row i).
    for (int axis = 0; axis < 3; ++axis)
    {
        for (int side = 0; side < 2; ++side)
        {
            double* plane = planes[2 * axis + side];
            const double sign = side == 0 ? 1.0 : -1.0;
            for (int k = 0; k < 4; ++k)
            {
                plane[k] = clip[3][k] + sign * clip[axis][k];
            }
            const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
            for (int k = 0; k < 4; ++k)
            {
                plane[k] = length > 0.0 ? plane[k] / length : 0.0;
            }
        }
    }
}

ViewVolume ViewVolume::Current()
{
    float projection[16];
    float modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    return ViewVolume(projection, modelview);
}

bool ViewVolume::SphereOutside(const Vector& centre, double radius) const
{
    return SphereOutside(centre, radius, 0, 6);
}

bool ViewVolume::SphereOutsideDepthRange(const Vector& centre, double radius) const
{
    return SphereOutside(centre, radius, 4, 6);
}

bool ViewVolume::SphereOutside(const Vector& centre, double radius, int first, int last) const
{
    if (!bounded)
    {
        return false;
    }
    for (int i = first; i < last; ++i)
    {
        const double* plane = planes[i];
        const double distance = plane[0] * centre.x + plane[1] * centre.y + plane[2] * centre.z + plane[3];
        if (distance < -(radius + kMargin))
        {
            return true;
        }
    }
    return false;
}
