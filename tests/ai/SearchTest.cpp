// Where the Hard player looks once it has lost the enemy and its last place
// has been looked at: the points of the nebulae near where the enemy was
// last seen come before those merely near the searching ship.

#include <gtest/gtest.h>

#include "ai/HardMemory.h"
#include "ai/Search.h"

namespace
{

TEST(SearchTest, PointsNearWhereTheEnemyWasLastSeenComeBeforePointsNearTheShip)
{
    Knowledge knowledge;
    knowledge.self = 0;
    knowledge.players = 2;
    HardMemory memory;
    memory.turn = 5;
    ContactTrack track;
    track.id = 50;
    track.owner = 1;
    track.position = Vector(300, 0, 0);
    track.lastSeenTurn = 3;
    track.checked = true;
    memory.tracks.push_back(track);
    // One point 60 units from the ship, away from the enemy; one 200 units
    // from where the enemy was last seen, 360 from the ship.
    const std::vector<Vector> grid = {Vector(-60, 0, 0), Vector(300, 0, 200)};
    Vector point;
    ASSERT_TRUE(NextSearchPoint(knowledge, memory, grid, Vector(0, 0, 0), std::vector<Vector>(), point));
    EXPECT_LT(Length(point - grid[1]), 1.0);
    // Once that one has been looked at lately, the other.
    memory.searchedTurn = {0, 4};
    ASSERT_TRUE(NextSearchPoint(knowledge, memory, grid, Vector(0, 0, 0), std::vector<Vector>(), point));
    EXPECT_LT(Length(point - grid[0]), 1.0);
}

} // namespace
