#include <gtest/gtest.h>

#include <cmath>

#include "input/OrderPoint.h"

namespace
{

TEST(PlaceOnHorizontalPlane, FollowsTheRayDownToThePlaneHeight)
{
    // Eye 100 above the origin; the near point one unit ahead and one down:
    // the ray falls at 45 degrees and meets y = 0 100 units ahead.
    const Vector eye(0.0f, 100.0f, 0.0f);
    const Vector nearPoint(0.0f, 99.0f, -1.0f);
    Vector result(7.0f, 7.0f, 7.0f);
    ASSERT_TRUE(PointOnHorizontalPlane(eye, nearPoint, 0.0f, result));
    EXPECT_FLOAT_EQ(result.x, 0.0f);
    EXPECT_FLOAT_EQ(result.y, 0.0f);
    EXPECT_FLOAT_EQ(result.z, -100.0f);

    // A plane at the selection's height of 50 is met half as far.
    ASSERT_TRUE(PointOnHorizontalPlane(eye, Vector(2.0f, 99.0f, -1.0f), 50.0f, result));
    EXPECT_FLOAT_EQ(result.x, 100.0f);
    EXPECT_FLOAT_EQ(result.y, 50.0f);
    EXPECT_FLOAT_EQ(result.z, -50.0f);
}

TEST(PlaceOnHorizontalPlane, KeepsThePointWhenTheRayIsParallel)
{
    const Vector eye(10.0f, 100.0f, 10.0f);
    Vector result(1.0f, 2.0f, 3.0f);
    EXPECT_FALSE(PointOnHorizontalPlane(eye, Vector(10.0f, 100.0f, 9.0f), 0.0f, result));
    EXPECT_EQ(result, Vector(1.0f, 2.0f, 3.0f));
    EXPECT_TRUE(std::isfinite(result.x));
}

TEST(PlaceOnHorizontalPlane, ARayPointingAwayMeetsThePlaneBehindTheEye)
{
    // At the widest zoom the top of the view looks above the horizon: the
    // ray rises and its line meets the plane below behind the eye.
    const Vector eye(0.0f, 100.0f, 0.0f);
    Vector result(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(PointOnHorizontalPlane(eye, Vector(0.0f, 100.2f, -1.0f), 0.0f, result));
    EXPECT_FLOAT_EQ(result.x, 0.0f);
    EXPECT_FLOAT_EQ(result.y, 0.0f);
    EXPECT_NEAR(result.z, 500.0f, 0.01f);
    // A plane above the eye is reached by a rising ray.
    EXPECT_TRUE(PointOnHorizontalPlane(eye, Vector(0.0f, 101.0f, -1.0f), 200.0f, result));
    EXPECT_FLOAT_EQ(result.z, -100.0f);
}

TEST(RaiseOnVerticalPlane, MovesThePointOnlyUpAndDown)
{
    // The selection is at the origin, the point 100 ahead along -z; the eye
    // looks along -z from 100 above the origin. A ray through (0, 50, -100)
    // raises the point to 50.
    const Vector eye(0.0f, 100.0f, 0.0f);
    const Vector point(0.0f, 0.0f, -100.0f);
    const Vector centre(0.0f, 0.0f, 0.0f);
    const Vector farPoint = eye + (Vector(0.0f, 50.0f, -100.0f) - eye) * 5.0f;
    Vector result;
    ASSERT_TRUE(PointOnVerticalPlane(eye, farPoint, point, centre, result));
    EXPECT_FLOAT_EQ(result.x, 0.0f);
    EXPECT_NEAR(result.y, 50.0f, 1e-3);
    EXPECT_FLOAT_EQ(result.z, -100.0f);
}

TEST(RaiseOnVerticalPlane, KeepsThePointWhenTheRayRunsAlongThePlane)
{
    // The plane faces along z; a ray along x never crosses it.
    const Vector eye(0.0f, 100.0f, -100.0f);
    const Vector point(0.0f, 0.0f, -100.0f);
    Vector result(4.0f, 5.0f, 6.0f);
    EXPECT_FALSE(PointOnVerticalPlane(eye, Vector(500.0f, 0.0f, -100.0f), point, Vector(0, 0, 0), result));
    EXPECT_EQ(result, Vector(4.0f, 5.0f, 6.0f));
}

TEST(RaiseOnVerticalPlane, PointAtTheSelectionCentreHasNoPlaneToRiseIn)
{
    // With the point right over the centre the facing direction is zero and
    // every ray counts as parallel: the point stays.
    const Vector eye(0.0f, 100.0f, 100.0f);
    Vector result(0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(PointOnVerticalPlane(eye, Vector(0, -500, -500), Vector(0, 0, 0), Vector(0, 0, 0), result));
}

} // namespace
