#include <gtest/gtest.h>

#include "ui/OrderPath.h"

// A move far beyond the turn's movement time has a vertex per tick up to the
// target, lit for the turn's 200 ticks and dark from there on. However long
// a move, its path stays bounded and still ends one tick short of the target;
// a speed too small to count the ticks gives the single dark line.
TEST(LongMovePath, TheDarkPartReachesTheTargetHoweverFar)
{
    PathShip ship{Vector(0, 0, 0), Orientation(0, 0, 0), Vector(1, 1, 1), 1.25f, 10.0f};
    const OrderPath path = PredictOrderPath(ship, Vector(0, 0, -5000), Orientation(0, 0, 0), false);
    ASSERT_EQ(path.flight.size(), 4000u); // ticks 0 to 3999
    EXPECT_FALSE(path.flight[200].dark);
    EXPECT_TRUE(path.flight[201].dark);
    EXPECT_FLOAT_EQ(path.flight.back().position.z, -4998.75f);

    ship.speed = 1e-3f;
    const OrderPath slow = PredictOrderPath(ship, Vector(0, 0, -1e6f), Orientation(0, 0, 0), false);
    EXPECT_LE(slow.flight.size(), size_t(kMaxFlightVertices + 1));
    ASSERT_FALSE(slow.flight.empty());
    EXPECT_NEAR(slow.flight.back().position.z, -1e6f, 1.0f);

    ship.speed = 1e-44f;
    const OrderPath stuck = PredictOrderPath(ship, Vector(0, 0, -1e6f), Orientation(0, 0, 0), false);
    EXPECT_TRUE(stuck.flight.empty());
    EXPECT_TRUE(stuck.unreachable);
}
