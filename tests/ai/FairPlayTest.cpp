// The Hard computer player knows only what its player's sensors show. Two
// games that differ only in where enemy ships stand that it does not see
// must give it the same orders, tick for tick, for as long as what its
// player has detected is the same in both: the whole enemy fleet moved
// before anyone has looked, or the ships it has lost sight of moved on in
// the middle of a game. Checked by hand: a player whose knowledge takes in
// ships its player never detected gives another order at its second, and
// one that sees where lost contacts are gives another at its first order
// after they move, in the game where it hunts the whole fleet (while it
// fights ships in sight, where the ghosts are changes nothing it does).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "ai/HardTest.h"
#include "support/GLTest.h"

namespace
{

using FairPlayTest = GLTest;

// How many of the first `n` entries of two lists are alike before one differs.
template <typename T> size_t AlikeFor(const std::vector<T>& a, const std::vector<T>& b, size_t n)
{
    return size_t(std::mismatch(a.begin(), a.begin() + long(n), b.begin()).first - a.begin());
}

// Compares the orders of two games for as long as the detection records
// are the same; returns the number of orders compared.
size_t SameOrdersWhileSameDetection(const TurnsLog& a, const TurnsLog& b, size_t& ticksCompared)
{
    const size_t ticks = std::min(a.detection.size(), b.detection.size());
    const size_t same = AlikeFor(a.detection, b.detection, ticks);
    ticksCompared = same;
    // Every order given before the first record that differs was decided on
    // what both players had detected alike.
    const size_t orders = same < ticks ? a.ordersBefore[same] : std::min(a.orders.size(), b.orders.size());
    EXPECT_EQ(same < ticks ? b.ordersBefore[same] : orders, orders) << "orders given before tick " << same;
    const size_t both = std::min({orders, a.orders.size(), b.orders.size()});
    const size_t differ = AlikeFor(a.orders, b.orders, both);
    EXPECT_EQ(differ, both) << "order " << differ << " (of " << orders << " compared): " << a.orders[differ]
                            << " vs " << b.orders[differ];
    return orders;
}

// Moves every ship of player 2 by `offset`, turned by `turn` degrees.
bool MoveEnemyFleet(Game& game, const Vector& offset, float turn)
{
    for (Ship* ship : game.players[1]->fleet)
    {
        ship->position = ship->position + offset;
        ship->orientation.y += turn;
    }
    return true;
}

// Moves every capital ship of player 2 that player 1 has seen but does not
// see now (a ghost on its screen) by `offset`; true when there was one.
bool MoveGhosts(Game& game, const Vector& offset)
{
    bool moved = false;
    for (Ship* ship : game.players[1]->fleet)
    {
        const auto entry = ship->detection.find(0);
        if (ship->IsAlive() &&
            ship->hangars.size() + ship->gunTurrets.size() + ship->beamTurrets.size() > 1 &&
            entry != ship->detection.end() && entry->second.state == 1)
        {
            ship->position = ship->position + offset;
            moved = true;
        }
    }
    return moved;
}

// A horizontal step of `length` from player 1's start towards player 2's,
// turned by `degrees` to the left.
Vector StepFromFront(float length, float degrees)
{
    const Vector axis = gPlacements[1].focus - gPlacements[0].focus;
    const float a = degrees * 3.14159265f / 180.0f;
    const Vector turned(axis.x * std::cos(a) - axis.z * std::sin(a), 0.0f,
                        axis.x * std::sin(a) + axis.z * std::cos(a));
    return turned * (length / float(Length(turned)));
}

// Player 2's whole fleet, in player 2's turn, goes at once to the far corner
// of map1's veil of nebula, and player 1's sensors look again: the fleet
// drops out of sight and leaves its ghosts where it was.
void SlipAway(Game& game)
{
    for (Ship* ship : game.players[1]->fleet)
    {
        ship->position = Vector(float(ship->GetId() % 5) * 20.0f + 200.0f, 0.0f, -250.0f);
        game.SensorSweep(ship);
    }
}

} // namespace

TEST_F(FairPlayTest, AnUndetectedEnemyMovedChangesNoOrderUntilItIsDetected)
{
    // The whole enemy fleet stands elsewhere from the start, before anyone
    // has looked: a player that knew where would head elsewhere at once.
    struct Case
    {
        const char* what;
        const char* map;
        uint32_t seed;
        Vector offset;
        float turn;
    };
    const Case cases[] = {
        {"moved back", "map1", 3, StepFromFront(200.0f, 0.0f), 0.0f},
        {"moved aside and turned", "map1", 1, StepFromFront(150.0f, -90.0f), 45.0f},
        {"moved back", "map3", 8, StepFromFront(200.0f, 0.0f), 0.0f},
        {"moved aside", "map3", 2, StepFromFront(150.0f, 90.0f), 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const TurnsLog as = PlayHardTurns(c.map, c.seed, 12, [](Game&, int) { return false; });
        const TurnsLog changed = PlayHardTurns(
            c.map, c.seed, 12,
            [&](Game& game, int round) { return round == 0 && MoveEnemyFleet(game, c.offset, c.turn); });
        size_t ticks = 0;
        const size_t orders = SameOrdersWhileSameDetection(as, changed, ticks);
        // The comparison is worth something: the Hard player went on through
        // its first turns of waiting and searching before the enemy showed.
        EXPECT_GE(orders, 6u) << "over " << ticks << " ticks";
        EXPECT_GE(ticks, 30u);
        std::printf("%s: %zu orders compared over %zu ticks of the same detection\n", c.what, orders, ticks);
    }
}

TEST_F(FairPlayTest, AGhostMovedOutOfSightChangesNoOrderUntilItIsSeenAgain)
{
    // In round 4, every enemy ship the Hard player has lost sight of moves on
    // where it cannot be seen: its ghost stays where it was, and so must the
    // Hard player's orders. In the last case the whole enemy fleet has just
    // slipped away into the veil, in both games, and the Hard player hunts
    // it: one that knew where the ghosts went would go there.
    struct Case
    {
        const char* map;
        uint32_t seed;
        bool slipAway;
    };
    const Case cases[] = {{"map2", 1, false}, {"map2", 2, false}, {"map1", 3, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.map) + " seed " + std::to_string(c.seed));
        auto play = [&](bool moveGhosts)
        {
            return PlayHardTurns(c.map, c.seed, 12,
                                 [&c, moveGhosts](Game& game, int round)
                                 {
                                     if (round != 4)
                                     {
                                         return false;
                                     }
                                     if (c.slipAway)
                                     {
                                         SlipAway(game);
                                     }
                                     return moveGhosts && MoveGhosts(game, Vector(60.0f, 0.0f, 60.0f));
                                 });
        };
        const TurnsLog as = play(false);
        const TurnsLog changed = play(true);
        ASSERT_TRUE(changed.changed);
        size_t ticks = 0;
        const size_t orders = SameOrdersWhileSameDetection(as, changed, ticks);
        EXPECT_GE(orders, changed.changedAtOrder + 10) << "over " << ticks << " ticks";
        std::printf(
            "ghosts moved after order %zu: %zu orders compared over %zu ticks of the same detection\n",
            changed.changedAtOrder, orders, ticks);
    }
}
