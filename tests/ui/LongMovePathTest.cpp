#include <gtest/gtest.h>

#include <cmath>

#include "ui/OrderPath.h"

namespace
{

PathShip ShipAtOrigin(float speed)
{
    PathShip ship;
    ship.position = Vector(0, 0, 0);
    ship.orientation = Orientation(0, 0, 0);
    ship.turnRate = Vector(1, 1, 1);
    ship.speed = speed;
    ship.moveTimeLeft = 10.0f;
    return ship;
}

} // namespace

// A move far beyond the turn's movement time: one vertex per tick all the
// way, lit for the 200 ticks of the turn and dark from there to the target.
TEST(LongMovePath, TheDarkPartReachesTheTarget)
{
    // 5000 units at 1.25 a tick: ticks 0 to 3999.
    const OrderPath path =
        PredictOrderPath(ShipAtOrigin(1.25f), Vector(0, 0, -5000), Orientation(0, 0, 0), false);
    ASSERT_EQ(path.flight.size(), 4000u);
    EXPECT_FALSE(path.unreachable);
    EXPECT_FALSE(path.flight[200].dark);
    EXPECT_TRUE(path.flight[201].dark);
    EXPECT_TRUE(path.flight[3999].dark);
    EXPECT_FLOAT_EQ(path.flight[3999].position.z, -4998.75f);
}

// However long a move, its path stays a bounded number of vertices and still
// ends one tick short of the target; a speed too small to count the ticks
// gives the single dark line.
TEST(LongMovePath, AbsurdMovesStayBoundedAndEndAtTheTarget)
{
    const OrderPath slow =
        PredictOrderPath(ShipAtOrigin(1e-3f), Vector(0, 0, -1e6f), Orientation(0, 0, 0), false);
    ASSERT_FALSE(slow.flight.empty());
    EXPECT_LE(slow.flight.size(), size_t(kMaxFlightVertices + 1));
    EXPECT_NEAR(slow.flight.back().position.z, -1e6f, 1.0f);
    EXPECT_TRUE(slow.flight.back().dark);

    const OrderPath stuck =
        PredictOrderPath(ShipAtOrigin(1e-44f), Vector(0, 0, -1e6f), Orientation(0, 0, 0), false);
    EXPECT_TRUE(stuck.flight.empty());
    EXPECT_TRUE(stuck.unreachable);
}
