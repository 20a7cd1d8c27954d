// The vector and orientation operations: the values the game's conventions
// fix (pi taken as 3.14159, rotations as glRotatef makes them), bit for bit.

#include <gtest/gtest.h>

#include <cmath>

#include "math/Vector.h"
#include "support/GLTest.h"

namespace
{

// The upper 3x3 of the modelview matrix that these glRotatef calls build,
// applied to v: how OpenGL itself would turn the vector.
Vector TurnedByGL(const Vector& v, const Vector (&turns)[3], const Vector& axisAngles)
{
    float m[16];
    glPushMatrix();
    glLoadIdentity();
    for (int i = 0; i < 3; i++)
        glRotatef(axisAngles[i], turns[i].x, turns[i].y, turns[i].z);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
    return Vector(m[0] * v.x + m[4] * v.y + m[8] * v.z, m[1] * v.x + m[5] * v.y + m[9] * v.z,
                  m[2] * v.x + m[6] * v.y + m[10] * v.z);
}

} // namespace

TEST(Vector, RotationsEqualWhatGLRotateBuildsBitForBit)
{
    ASSERT_TRUE(OpenGameDisplay());
    const Orientation orientations[] = {{10, 20, 30}, {-75, 300, 5}, {180, 359, -90}, {33.3f, -47.1f, 12.9f},
                                        {90, 0, 0},   {0, 90, 0},    {0, 0, 90}};
    const Vector vectors[] = {{0, 0, -1}, {3, -2, 7}, {1, 0, 0}};
    const Vector zyx[3] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    const Vector xyz[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const Orientation& o : orientations)
        for (const Vector& v : vectors)
        {
            Vector out;
            RotateByAngles(v, out, o);
            EXPECT_EQ(out, TurnedByGL(v, zyx, Vector(o.z, o.y, o.x))) << o.x << " " << o.y << " " << o.z;
            UnrotateByAngles(v, out, o);
            EXPECT_EQ(out, TurnedByGL(v, xyz, Vector(-o.x, -o.y, -o.z))) << o.x << " " << o.y << " " << o.z;
        }
}

TEST(Vector, FixedValues)
{
    // 4096 * 4096 + 1 is not a float: only a sum in double precision keeps it.
    EXPECT_EQ(Dot(Vector(4096, 4096, 1), Vector(4096, 0, 1)), 16777217.0);

    Vector v(0, 3, 4);
    Normalize(v);
    EXPECT_EQ(v, Vector(0, 0.6f, 0.8f));
    Vector zero;
    Normalize(zero);
    EXPECT_EQ(zero, Vector(0, 0, 0));

    const float between[][10] = {
        // from, to, axis, angle: asin takes true radians and degrees come with pi as 3.14159
        {0, 0, -2, 0, 0, -5, 0, 1, 0, 0},
        {1, 0, 0, -3, 0, 0, 0, 1, 0, 180},
        {0, 0, -1, 1, 0, 0, 0, -1, 0, 90.0000763f},
        {0, 0, -1, 1, 0, 1, 0, -1, 0, 134.999969f}, // obtuse: the cosine's sign
    };
    for (const auto& row : between)
    {
        Vector axis;
        float angle = -1;
        RotationBetween(Vector(row[0], row[1], row[2]), Vector(row[3], row[4], row[5]), axis, angle);
        EXPECT_EQ(axis, Vector(row[6], row[7], row[8]));
        EXPECT_EQ(angle, row[9]) << row[9];
    }

    const float differences[][3] = {
        {350, 10, 20}, {10, 350, -20}, {0, 180, 180}, {180, 0, -180}, {0, 900, 540}};
    for (const auto& row : differences)
        EXPECT_EQ(AngleDifference(row[0], row[1]), row[2]) << row[0] << " to " << row[1];

    const struct
    {
        Vector direction, angles;
    } facing[] = {
        {{0, 0, -1}, {0, 0, 0}},
        {{0, 0, 1}, {0, 180, 0}},
        {{1, 0, 0}, {0, 270.000061f, 0}},
        {{-1, 0, 0}, {0, 89.9999237f, 0}},
        {{0, 1, 0}, {90.0000763f, 180, 0}}, // no horizontal part: yaw 180
    };
    for (const auto& row : facing)
    {
        Orientation o;
        AnglesFromDirection(row.direction, o);
        EXPECT_EQ(o, row.angles) << row.direction.x << " " << row.direction.y << " " << row.direction.z;
    }
}

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
