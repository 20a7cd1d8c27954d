#include <gtest/gtest.h>

#include <cmath>

#include "ui/OrderPath.h"

namespace
{

PathShip ShipAtOrigin()
{
    PathShip ship;
    ship.position = Vector(0, 0, 0);
    ship.orientation = Orientation(0, 0, 0);
    ship.turnRate = Vector(1, 1, 1);
    ship.speed = 1.0f;
    ship.moveTimeLeft = 10.0f;
    return ship;
}

int FirstDark(const std::vector<PathVertex>& strip)
{
    for (size_t i = 0; i < strip.size(); ++i)
    {
        if (strip[i].dark)
        {
            return int(i);
        }
    }
    return -1;
}

} // namespace

TEST(OrderPath, TurnTimeIsTheSlowestAxisIgnoringTinyAngles)
{
    PathShip ship = ShipAtOrigin();
    ship.turnRate = Vector(0.5f, 2.0f, 1.0f);
    // 30 degrees of pitch at 0.5 per tick is 60 ticks (3 s); 90 of yaw at 2 is 45 ticks.
    EXPECT_FLOAT_EQ(TurnTime(ship, Orientation(30, 90, 0)), 3.0f);
    EXPECT_FLOAT_EQ(TurnTime(ship, Orientation(0.9f, -1.0f, 0)), 0.0f);
    // Angles wrap: from 350 to 10 is 20 degrees.
    ship.orientation = Orientation(0, 350, 0);
    EXPECT_FLOAT_EQ(TurnTime(ship, Orientation(0, 10, 0)), 0.5f);
}

TEST(OrderPath, NoseSweepsTheTurnOneVertexPerTick)
{
    PathShip ship = ShipAtOrigin();
    ship.orientation = Orientation(0.5f, 0, 0);
    const OrderPath path = PredictOrderPath(ship, Vector(0, 0, 0), Orientation(0, 90, 0), true);
    // 90 degrees at 1 per tick: vertices for ticks 0 to 90.
    ASSERT_EQ(path.nose.size(), 91u);
    // The pitch axis, within 1 degree, sits at its wanted 0 from the first vertex.
    EXPECT_FLOAT_EQ(path.nose[0].position.y, 0.0f);
    EXPECT_NEAR(path.nose[0].position.z, -10.0f, 1e-4);
    EXPECT_NEAR(path.nose[90].position.x, -10.0f, 1e-3);
    EXPECT_NEAR(path.nose[45].position.x, -10.0f * std::sin(45 * kDegToRad), 1e-3);
    EXPECT_TRUE(path.flight.empty());
    EXPECT_FALSE(path.unreachable);
    EXPECT_EQ(FirstDark(path.nose), -1);
}

TEST(OrderPath, TurnBeyondTheMovementTimeTurnsDark)
{
    PathShip ship = ShipAtOrigin();
    ship.moveTimeLeft = 2.0f; // 40 ticks
    const OrderPath path = PredictOrderPath(ship, Vector(0, 0, 0), Orientation(0, -90, 0), true);
    ASSERT_EQ(path.nose.size(), 91u);
    EXPECT_EQ(FirstDark(path.nose), 41);
    // Turning the other way round: yaw decreases.
    EXPECT_NEAR(path.nose[30].position.x, 10.0f * std::sin(30 * kDegToRad), 1e-3);
}

TEST(OrderPath, FlightFollowsTheTurnAndDarkensWhereTimeEnds)
{
    PathShip ship = ShipAtOrigin();
    const OrderPath full = PredictOrderPath(ship, Vector(0, 0, -100), Orientation(0, 0, 0), false);
    ASSERT_EQ(full.nose.size(), 1u);
    ASSERT_EQ(full.flight.size(), 100u);
    EXPECT_FLOAT_EQ(full.flight[99].position.z, -99.0f);
    EXPECT_EQ(FirstDark(full.flight), -1);

    ship.moveTimeLeft = 2.0f;
    const OrderPath part = PredictOrderPath(ship, Vector(0, 0, -100), Orientation(0, 0, 0), false);
    EXPECT_EQ(FirstDark(part.flight), 41);

    // A 20-tick turn first leaves 20 ticks of flight before the dark part.
    ship.orientation = Orientation(0, 20, 0);
    const OrderPath turned = PredictOrderPath(ship, Vector(0, 0, -100), Orientation(0, 0, 0), false);
    EXPECT_EQ(turned.nose.size(), 21u);
    EXPECT_EQ(FirstDark(turned.nose), -1);
    EXPECT_EQ(FirstDark(turned.flight), 21);
}

TEST(OrderPath, NoTimeLeftShowsEverythingDark)
{
    PathShip ship = ShipAtOrigin();
    ship.moveTimeLeft = 0.0f;
    const OrderPath straight = PredictOrderPath(ship, Vector(0, 0, -50), Orientation(0, 0, 0), false);
    ASSERT_FALSE(straight.flight.empty());
    EXPECT_EQ(FirstDark(straight.flight), 0);

    // A turn that alone exceeds the time: one straight dark line to the target.
    const OrderPath blocked = PredictOrderPath(ship, Vector(50, 0, 0), Orientation(0, 270, 0), false);
    EXPECT_TRUE(blocked.unreachable);
    EXPECT_TRUE(blocked.flight.empty());
    EXPECT_FLOAT_EQ(blocked.to.x, 50.0f);
}

TEST(OrderPath, ShipsThatCannotTurnOrFlyStillGiveABoundedPath)
{
    PathShip ship = ShipAtOrigin();
    ship.turnRate = Vector(0, 0, 0);
    const OrderPath stuck = PredictOrderPath(ship, Vector(0, 0, 100), Orientation(0, 180, 0), false);
    EXPECT_LE(stuck.nose.size(), size_t(kMaxPathTicks + 1));
    EXPECT_TRUE(stuck.unreachable);

    ship = ShipAtOrigin();
    ship.speed = 0.0f;
    const OrderPath still = PredictOrderPath(ship, Vector(0, 0, -100), Orientation(0, 0, 0), false);
    EXPECT_TRUE(still.unreachable);
    EXPECT_TRUE(still.flight.empty());

    ship = ShipAtOrigin();
    ship.speed = 1e-6f;
    const OrderPath slow = PredictOrderPath(ship, Vector(0, 0, -100), Orientation(0, 0, 0), false);
    EXPECT_LE(slow.flight.size(), size_t(kMaxFlightVertices + 1));
}
