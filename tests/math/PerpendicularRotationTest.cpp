#include <gtest/gtest.h>

#include <cmath>

#include "math/Vector.h"

// A beam or bullet between two ships at the same z points exactly across the
// reference direction (0, 0, -1). In single precision the cross product of
// such a pair can come out a hair longer than 1; the angle must still be the
// quarter turn (90.00008 with the game's pi), about the axis (y, -x, 0).
TEST(RotationBetween, ExactlyPerpendicularPairsGiveAQuarterTurn)
{
    const Vector directions[] = {{3, 4, 0}, {-1, 3, 0},    {5, -4, 0},
                                 {2, 6, 0}, {-20, -17, 0}, {0.99984771f, 0.0174523909f, 0}};
    for (const Vector& d : directions)
    {
        Vector axis;
        float angle = -1.0f;
        RotationBetween(Vector(0, 0, -1), d, axis, angle);
        const float length = std::sqrt(d.x * d.x + d.y * d.y);
        EXPECT_NEAR(angle, 90.00008f, 1e-5f) << d.x << ", " << d.y;
        EXPECT_NEAR(axis.x, d.y / length, 1e-6f) << d.x << ", " << d.y;
        EXPECT_NEAR(axis.y, -d.x / length, 1e-6f) << d.x << ", " << d.y;
        EXPECT_EQ(axis.z, 0.0f) << d.x << ", " << d.y;
    }
}
