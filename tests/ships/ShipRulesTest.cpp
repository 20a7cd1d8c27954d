// The pure rules of ships: which hull face a hit lands on and which way an order turns.

#include <gtest/gtest.h>

#include <string>

#include "ships/Ship.h"

TEST(HitFace, EachAxisPicksItsFace)
{
    EXPECT_EQ(Ship::HitFace(Vector(0, 1, 0)), kFaceTop);
    EXPECT_EQ(Ship::HitFace(Vector(0, -1, 0)), kFaceBottom);
    EXPECT_EQ(Ship::HitFace(Vector(-1, 0, 0)), kFaceLeft);
    EXPECT_EQ(Ship::HitFace(Vector(1, 0, 0)), kFaceRight);
    EXPECT_EQ(Ship::HitFace(Vector(0, 0, -1)), kFaceFront);
    EXPECT_EQ(Ship::HitFace(Vector(0, 0, 1)), kFaceBack);
    EXPECT_EQ(Ship::HitFace(Vector(0.2f, -0.3f, 5.0f)), kFaceBack);
    EXPECT_EQ(Ship::HitFace(Vector(0.2f, -3.0f, 0.5f)), kFaceBottom);
}

TEST(HitFace, TiesFallThroughToAnXFace)
{
    // Both tests are strict: the Y test needs |y| above |x|.
    EXPECT_EQ(Ship::HitFace(Vector(1, 1, 0)), kFaceRight);
    EXPECT_EQ(Ship::HitFace(Vector(-1, 0, 1)), kFaceLeft);
    // Y and Z equal and largest: neither wins, the sign of x decides.
    EXPECT_EQ(Ship::HitFace(Vector(0.5f, 2, 2)), kFaceRight);
    // A component of exactly 0 counts as negative.
    EXPECT_EQ(Ship::HitFace(Vector(0, 1, 1)), kFaceLeft);
    EXPECT_EQ(Ship::HitFace(Vector(0, 0, 0)), kFaceLeft);
}

TEST(OrderOrientation, HorizontalDirectionsGiveTheCompassYaws)
{
    EXPECT_NEAR(Ship::OrderOrientation(0, 0, -100).y, 0.0f, 1e-4);
    EXPECT_NEAR(Ship::OrderOrientation(0, 0, 100).y, 180.0f, 1e-4);
    EXPECT_NEAR(Ship::OrderOrientation(100, 0, 0).y, 270.0f, 1e-3);
    EXPECT_NEAR(Ship::OrderOrientation(-100, 0, 0).y, 90.0f, 1e-3);
    EXPECT_NEAR(Ship::OrderOrientation(-100, 0, -100).y, 45.0f, 1e-3);
    const Orientation level = Ship::OrderOrientation(30, 0, -40);
    EXPECT_FLOAT_EQ(level.x, 0.0f);
    EXPECT_FLOAT_EQ(level.z, 0.0f);
}

TEST(OrderOrientation, PitchFollowsTheClimb)
{
    const Orientation climb = Ship::OrderOrientation(0, 100, -100);
    EXPECT_NEAR(climb.x, 45.0f, 1e-3);
    EXPECT_NEAR(climb.y, 0.0f, 1e-4);
    // Straight up or down: no horizontal part, yaw 180.
    const Orientation up = Ship::OrderOrientation(0, 50, 0);
    EXPECT_NEAR(up.x, 90.0f, 1e-3);
    EXPECT_NEAR(up.y, 180.0f, 1e-4);
    const Orientation down = Ship::OrderOrientation(0, -50, 0);
    EXPECT_NEAR(down.x, -90.0f, 1e-3);
    EXPECT_NEAR(down.y, 180.0f, 1e-4);
}

TEST(ShipNames, TenNamesInSlotOrder)
{
    const char* expected[10] = {"Druvel", "Pharlow", "Sennic",  "Torvash", "Imbrey",
                                "Caldus", "Olvark",  "Vestrin", "Ardane",  "Quennel"};
    for (int i = 0; i < 10; i++)
    {
        EXPECT_EQ(std::string(gShipNames[i]), expected[i]) << i;
    }
}
