#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ui/OrderPath.h"

namespace
{

TEST(OrderPath, TurnTimeIsTheSlowestAxisIgnoringAnglesWithinOneDegree)
{
    PathShip ship{};
    ship.turnRate = Vector(0.5f, 2.0f, 1.0f);
    // 30 degrees of pitch at 0.5 a tick is 60 ticks (3 s); 90 of yaw at 2 is 45.
    EXPECT_EQ(TurnTime(ship, Orientation(30, 90, 0)), 3.0f);
    EXPECT_EQ(TurnTime(ship, Orientation(0.9f, -1.0f, 0)), 0.0f);
    ship.orientation = Orientation(0, 350, 0);
    EXPECT_EQ(TurnTime(ship, Orientation(0, 10, 0)), 0.5f) << "from 350 to 10 is 20 degrees";
}

int FirstDark(const std::vector<PathVertex>& strip)
{
    const auto dark = std::find_if(strip.begin(), strip.end(), [](const PathVertex& v) { return v.dark; });
    return dark == strip.end() ? -1 : int(dark - strip.begin());
}

TEST(OrderPath, OneVertexPerTickDarkWhereTheMovementTimeEnds)
{
    // A ship at the origin facing -Z, turning 1 degree a tick on every axis
    // (unless `rate` says otherwise), flying `speed` a tick. The vertex at
    // `probe` (of the flight, or of the nose for a pure turn; counted from the
    // end when negative) must be at `at`.
    const struct
    {
        float pitch, yaw, wantedYaw;
        Vector destination;
        bool rotateOnly;
        float moveTime, rate, speed;
        size_t nose;
        int noseDark;
        size_t flight;
        int flightDark;
        bool unreachable;
        int probe;
        Vector at;
    } rows[] = {
        // Rotations: the pitch within 1 degree is at its wanted 0 from the start.
        {0.5f, 0, 90, {}, true, 10, 1, 1, 91, -1, 0, -1, false, 45, {-7.071068f, 0, -7.071068f}},
        {0, 0, -90, {}, true, 2, 1, 1, 91, 41, 0, -1, false, 30, {5, 0, -8.660254f}},
        // Moves: straight on, with time running out, after a 20-degree turn, with no time.
        {0, 0, 0, {0, 0, -100}, false, 10, 1, 1, 1, -1, 100, -1, false, 99, {0, 0, -99}},
        {0, 0, 0, {0, 0, -100}, false, 2, 1, 1, 1, -1, 100, 41, false, 40, {0, 0, -40}},
        {0, 20, 0, {0, 0, -100}, false, 2, 1, 1, 21, -1, 100, 21, false, 99, {0, 0, -99}},
        {0, 0, 0, {0, 0, -50}, false, 0, 1, 1, 1, -1, 50, 0, false, 0, {0, 0, 0}},
        // Unreachable: the turn alone outlasts the time; a ship that cannot fly.
        {0, 0, 270, {50, 0, 0}, false, 0, 1, 1, 91, 1, 0, -1, true, 90, {10, 0, 0}},
        {0, 0, 0, {0, 0, -100}, false, 10, 1, 0, 1, -1, 0, -1, true, 0, {0, 0, -10}},
        // A move far beyond the movement time: a vertex per tick up to one tick
        // short of the target, lit for the time's 200 ticks and dark from there on.
        {0, 0, 0, {0, 0, -5000}, false, 10, 1, 1.25f, 1, -1, 4000, 201, false, -1, {0, 0, -4998.75f}},
        // Bounded paths: a ship that can never finish its turn; a flight too long
        // for a vertex per tick still ends at the target; a speed too small to
        // count the ticks gives the single dark line.
        {0, 0, 180, {0, 0, 100}, false, 10, 0, 1, kMaxPathTicks + 1, 201, 0, -1, true, 0, {0, 0, -10}},
        {0, 0, 0, {0, 0, -10}, false, 10, 1, 1e-7f, 1, -1, kMaxFlightVertices + 1, 2, false, -1, {0, 0, -10}},
        {0, 0, 0, {0, 0, -1e6f}, false, 10, 1, 1e-44f, 1, -1, 0, -1, true, 0, {0, 0, -10}},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i)
    {
        SCOPED_TRACE("row " + std::to_string(i));
        const auto& row = rows[i];
        PathShip ship{};
        ship.orientation = Orientation(row.pitch, row.yaw, 0);
        ship.turnRate = Vector(row.rate, row.rate, row.rate);
        ship.speed = row.speed;
        ship.moveTimeLeft = row.moveTime;
        const OrderPath path =
            PredictOrderPath(ship, row.destination, Orientation(0, row.wantedYaw, 0), row.rotateOnly);
        EXPECT_EQ(path.nose.size(), row.nose);
        EXPECT_EQ(FirstDark(path.nose), row.noseDark);
        EXPECT_EQ(path.flight.size(), row.flight);
        EXPECT_EQ(FirstDark(path.flight), row.flightDark);
        EXPECT_EQ(path.unreachable, row.unreachable);
        const std::vector<PathVertex>& strip = path.flight.empty() ? path.nose : path.flight;
        const size_t probe = row.probe < 0 ? strip.size() + row.probe : size_t(row.probe);
        ASSERT_LT(probe, strip.size());
        EXPECT_LT(Length(strip[probe].position - row.at), 1e-3);
        if (row.unreachable)
        {
            EXPECT_LT(Length(path.to - row.destination), 1e-6);
        }
    }
}

} // namespace
