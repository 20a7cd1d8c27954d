#include <gtest/gtest.h>

#include "input/CameraControl.h"

namespace
{

TEST(EdgeScroll, PointerInTheMiddleDoesNotScroll)
{
    float vx = 1.0f, vz = 1.0f;
    EdgeScrollVelocity(400, 300, 45.0f, false, vx, vz);
    EXPECT_EQ(vx, 0.0f);
    EXPECT_EQ(vz, 0.0f);
    EdgeScrollVelocity(20, 20, 0.0f, false, vx, vz);
    EXPECT_EQ(vx, 0.0f);
    EXPECT_EQ(vz, 0.0f);
    EdgeScrollVelocity(780, 580, 0.0f, true, vx, vz);
    EXPECT_EQ(vx, 0.0f);
    EXPECT_EQ(vz, 0.0f);
}

TEST(EdgeScroll, LeftEdgeMovesToTheLeftOfTheView)
{
    // At x = 5 with heading 0: 150 units per second to the left (-x), which
    // the player applies as 7.5 units per tick.
    float vx = 0.0f, vz = 0.0f;
    EdgeScrollVelocity(5, 300, 0.0f, false, vx, vz);
    EXPECT_FLOAT_EQ(vx, -150.0f);
    EXPECT_NEAR(vz, 0.0f, 1e-4);
    EXPECT_FLOAT_EQ(vx * 0.05f, -7.5f);

    // Twice as fast in the sensor view, 400 at the very edge.
    EdgeScrollVelocity(0, 300, 0.0f, true, vx, vz);
    EXPECT_FLOAT_EQ(vx, -400.0f);
}

TEST(EdgeScroll, EdgesFollowTheHeading)
{
    float vx = 0.0f, vz = 0.0f;
    // Heading 90: the top edge moves forward along the view, whose direction
    // is (sin h * -k, ., cos h * -k) = (-0.707, ., 0): towards -x.
    EdgeScrollVelocity(400, 599, 90.0f, false, vx, vz);
    EXPECT_NEAR(vx, -190.0f, 1e-2);
    EXPECT_NEAR(vz, 0.0f, 1e-2);
    // Bottom edge with heading 0: back along +z.
    EdgeScrollVelocity(400, 0, 0.0f, false, vx, vz);
    EXPECT_NEAR(vx, 0.0f, 1e-4);
    EXPECT_FLOAT_EQ(vz, 200.0f);
    // Right edge with heading 0: +x; a corner adds both.
    EdgeScrollVelocity(799, 0, 0.0f, false, vx, vz);
    EXPECT_FLOAT_EQ(vx, 190.0f);
    EXPECT_FLOAT_EQ(vz, 200.0f);
}

TEST(DragTurn, TenPixelDeadZoneEitherSide)
{
    EXPECT_EQ(DragTurnRate(400, 400), 0.0f);
    EXPECT_EQ(DragTurnRate(400, 390), 0.0f);
    EXPECT_EQ(DragTurnRate(400, 410), 0.0f);
    EXPECT_EQ(DragTurnRate(400, 389), 1.0f);
    EXPECT_EQ(DragTurnRate(400, 300), 90.0f);
    EXPECT_EQ(DragTurnRate(400, 411), -1.0f);
    EXPECT_EQ(DragTurnRate(400, 600), -190.0f);
}

TEST(DragZoom, BottomBandWidensTopBandNarrows)
{
    EXPECT_FLOAT_EQ(DragZoomStep(0), 0.05f);
    EXPECT_FLOAT_EQ(DragZoomStep(39), 0.05f);
    EXPECT_EQ(DragZoomStep(40), 0.0f);
    EXPECT_EQ(DragZoomStep(560), 0.0f);
    EXPECT_FLOAT_EQ(DragZoomStep(561), -0.05f);
}

} // namespace
