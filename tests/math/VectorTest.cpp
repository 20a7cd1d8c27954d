#include <gtest/gtest.h>

#include "math/Vector.h"

namespace
{

void ExpectVector(const Vector& v, float x, float y, float z, float tolerance = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

TEST(VectorBasics, DotIsDoublePrecision)
{
    // 16777217 is not a float; the sum of products is still exact in double.
    const Vector a(4096.0f, 4096.0f, 1.0f);
    EXPECT_EQ(Dot(a, Vector(4096.0f, 0.0f, 1.0f)), 16777217.0);
}

TEST(VectorBasics, CrossFollowsRightHandRuleAndMayAlias)
{
    Vector out;
    Cross(Vector(1, 0, 0), Vector(0, 1, 0), out);
    ExpectVector(out, 0, 0, 1);
    Vector a(0, 1, 0);
    Cross(a, Vector(0, 0, 1), a);
    ExpectVector(a, 1, 0, 0);
}

TEST(VectorBasics, NormalizeLeavesZeroAlone)
{
    Vector zero(0, 0, 0);
    Normalize(zero);
    EXPECT_EQ(zero, Vector(0, 0, 0));
    Vector v(0, 3, 4);
    Normalize(v);
    ExpectVector(v, 0, 0.6f, 0.8f, 1e-7f);
}

TEST(RotationBetween, EqualDirectionsGiveZeroAboutUp)
{
    Vector axis;
    float angle = -1;
    RotationBetween(Vector(0, 0, -2), Vector(0, 0, -5), axis, angle);
    ExpectVector(axis, 0, 1, 0);
    EXPECT_EQ(angle, 0.0f);
}

TEST(RotationBetween, OppositeDirectionsGiveHalfTurnAboutUp)
{
    Vector axis;
    float angle = -1;
    RotationBetween(Vector(1, 0, 0), Vector(-3, 0, 0), axis, angle);
    ExpectVector(axis, 0, 1, 0);
    EXPECT_EQ(angle, 180.0f);
}

TEST(RotationBetween, QuarterTurnUsesTheGamesPi)
{
    Vector axis;
    float angle = 0;
    const Vector from(0, 0, -1);
    RotationBetween(from, Vector(1, 0, 0), axis, angle);
    ExpectVector(axis, 0, -1, 0);
    // asin gives true radians; the factor with pi as 3.14159 makes it just over 90.
    EXPECT_NEAR(angle, 90.00008f, 2e-5f);
    EXPECT_EQ(from, Vector(0, 0, -1)) << "inputs are not changed";
}

TEST(RotationBetween, ObtuseAnglesUseTheCosineSign)
{
    Vector axis;
    float angle = 0;
    RotationBetween(Vector(0, 0, -1), Vector(1, 0, 1), axis, angle);
    EXPECT_NEAR(angle, 135.0f, 0.01f);
}

TEST(AngleDifference, WrapsOnceIntoHalfTurns)
{
    EXPECT_FLOAT_EQ(AngleDifference(350, 10), 20);
    EXPECT_FLOAT_EQ(AngleDifference(10, 350), -20);
    EXPECT_FLOAT_EQ(AngleDifference(0, 180), 180);
    EXPECT_FLOAT_EQ(AngleDifference(180, 0), -180);
    EXPECT_FLOAT_EQ(AngleDifference(-170, 170), -20);
    // Only once: inputs two turns apart stay out of range.
    EXPECT_FLOAT_EQ(AngleDifference(0, 900), 540);
}

TEST(AnglesFromDirection, AxesGiveTheDocumentedAngles)
{
    Orientation o;
    AnglesFromDirection(Vector(0, 0, -1), o);
    ExpectVector(o, 0, 0, 0);
    AnglesFromDirection(Vector(0, 0, 1), o);
    ExpectVector(o, 0, 180, 0);
    AnglesFromDirection(Vector(1, 0, 0), o);
    ExpectVector(o, 0, 270.00008f, 0, 5e-5f);
    AnglesFromDirection(Vector(-1, 0, 0), o);
    ExpectVector(o, 0, 89.99992f, 0, 5e-5f);
    AnglesFromDirection(Vector(0, 1, 0), o);
    ExpectVector(o, 90.00008f, 180, 0, 5e-5f);
}

TEST(AnglesFromDirection, RoundTripsThroughRotateByAngles)
{
    const Vector directions[] = {{1, 2, 3}, {-1, -0.5f, 0.2f}, {0.3f, -0.9f, -0.1f}, {-4, 1, -4}};
    for (const Vector& dir : directions)
    {
        Orientation o;
        AnglesFromDirection(dir, o);
        EXPECT_GE(o.y, 0.0f);
        EXPECT_LE(o.y, 360.0f);
        Vector forward;
        RotateByAngles(Vector(0, 0, -1), forward, o);
        Vector d = dir;
        Normalize(d);
        ExpectVector(forward, d.x, d.y, d.z, 1e-4f);
    }
}

TEST(RotateByAngles, MatchesTheGLRotateConvention)
{
    Vector out;
    // Yaw 90 about +Y turns -Z to -X (counter-clockwise seen from above).
    RotateByAngles(Vector(0, 0, -1), out, Orientation(0, 90, 0));
    ExpectVector(out, -1, 0, 0);
    // Pitch 90 about +X turns -Z to +Y: a positive pitch noses up.
    RotateByAngles(Vector(0, 0, -1), out, Orientation(90, 0, 0));
    ExpectVector(out, 0, 1, 0);
    // Roll 90 about +Z turns +X to +Y.
    RotateByAngles(Vector(1, 0, 0), out, Orientation(0, 0, 90));
    ExpectVector(out, 0, 1, 0);
    // Pitch is applied first, then yaw: nose up, then turn left.
    RotateByAngles(Vector(0, 0, -1), out, Orientation(45, 90, 0));
    ExpectVector(out, -0.70710677f, 0.70710677f, 0);
}

TEST(RotateByAngles, UnrotateIsTheInverse)
{
    const Orientation orientations[] = {{10, 20, 30}, {-75, 300, 5}, {180, 359, -90}, {0, 0, 0}};
    const Vector v(3, -2, 7);
    for (const Orientation& o : orientations)
    {
        Vector world, local;
        RotateByAngles(v, world, o);
        UnrotateByAngles(world, local, o);
        ExpectVector(local, v.x, v.y, v.z, 1e-4f);
        UnrotateByAngles(v, local, o);
        RotateByAngles(local, world, o);
        ExpectVector(world, v.x, v.y, v.z, 1e-4f);
    }
}

TEST(MatrixFromDirection, TurnsForwardOntoTheDirection)
{
    float m[16];
    MatrixFromDirection(Vector(0, 0, -1), m);
    for (int i = 0; i < 16; i++)
    {
        EXPECT_FLOAT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f);
    }
    MatrixFromDirection(Vector(0, 0, 1), m);
    Vector out;
    TransformByMatrix(m, Vector(0, 0, -1), out);
    ExpectVector(out, 0, 0, 1);
    TransformByMatrix(m, Vector(1, 0, 0), out);
    ExpectVector(out, -1, 0, 0);

    Vector dir(2, -1, 0.5f);
    Normalize(dir);
    MatrixFromDirection(dir, m);
    TransformByMatrix(m, Vector(0, 0, -1), out);
    ExpectVector(out, dir.x, dir.y, dir.z);
    EXPECT_FLOAT_EQ(m[15], 1.0f);
    EXPECT_FLOAT_EQ(m[3], 0.0f);
}

} // namespace
