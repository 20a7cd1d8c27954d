// In games of three or four the Hard player judges whether to fight now or
// let others fight first, from what it sees and the seats' starting points.

#include <cmath>
#include <utility>

#include <gtest/gtest.h>

#include "ai/HardTest.h"

namespace
{

// Seat `self` of `players` with one ship (id 1) at its start, ready to move a
// whole turn, seeing capital ships (or fighters) of the given owners at the
// given places.
Knowledge Seen(int32_t self, int32_t players, std::vector<std::pair<int32_t, Vector>> ships,
               ShipRole role = ShipRole::Gunship)
{
    Knowledge knowledge = Seat(self, players);
    knowledge.own.push_back(Own(1, ShipRole::Gunship, kStarts[self]));
    knowledge.own[0].sensorRange = knowledge.own[0].signature = 0.0f; // no sensors of its own
    for (const auto& ship : ships)
    {
        const uint32_t id = uint32_t(knowledge.contacts.size() + 10);
        knowledge.contacts.push_back(Contact{id, ship.first, -1, role, ship.second, Orientation(), true});
    }
    return knowledge;
}

TEST(StanceTest, RivalsFightingEachOtherAreLeftToItAndTheMiddleSeatWaitsInTheOpening)
{
    EXPECT_EQ(MiddleSeat(Seen(0, 3, {})), 2);
    EXPECT_EQ(MiddleSeat(Seen(0, 2, {})), -1);
    EXPECT_EQ(MiddleSeat(Seen(0, 4, {})), -1); // every seat has two neighbours
    HardMemory memory;
    memory.turn = 20;
    const Vector a(600, 0, -600), b(600, 0, -200); // 400 apart: fighting
    EXPECT_EQ(JudgeStance(Seen(0, 4, {{1, a}, {2, b}}), memory), Stance::Wait);
    // Fighters skirmishing are not a fight between the fleets.
    EXPECT_EQ(JudgeStance(Seen(0, 4, {{1, a}, {2, b}}, ShipRole::Fighter), memory), Stance::Engage);
    // An enemy near the fleet is fought; so is everyone after quiet turns, and with two players.
    EXPECT_EQ(JudgeStance(Seen(0, 4, {{1, a}, {2, b}, {1, Vector(0, 0, 500)}}), memory), Stance::Engage);
    EXPECT_EQ(JudgeStance(Seen(0, 2, {{1, a}}), memory), Stance::Engage);
    memory.quietTurns = 10;
    EXPECT_EQ(JudgeStance(Seen(0, 4, {{1, a}, {2, b}}), memory), Stance::Engage);

    memory.quietTurns = 0;
    memory.turn = 2;
    EXPECT_EQ(JudgeStance(Seen(2, 3, {{0, kStarts[0]}, {1, kStarts[1]}}), memory), Stance::Wait);
    EXPECT_EQ(JudgeStance(Seen(0, 3, {{1, kStarts[1]}, {2, kStarts[2]}}), memory), Stance::Engage);
    memory.turn = 30;
    EXPECT_EQ(JudgeStance(Seen(2, 3, {{0, kStarts[0]}, {1, kStarts[1]}}), memory), Stance::Engage);
}

TEST(StanceTest, AFlankLeavingTheMiddleSeatToTheOthersTakesNoneOfItsShipsAsTargetsFromAfar)
{
    // Seat 1 of three, west of its start, sees the middle seat's ship 700
    // units off and the other flank's 1430 units off.
    Knowledge knowledge = Seen(0, 3, {{2, Vector(-800, 0, 200)}, {1, Vector(0, 0, -700)}});
    knowledge.own[0].position = Vector(-300, 0, 700);
    HardMemory memory;
    memory.turn = 3;
    memory.leaning[2] = 0.0f; // drawn to leave the middle seat to the others
    ASSERT_TRUE(LeavesMiddle(knowledge, memory));
    TurnPlan plan = PlanTurn(knowledge, memory, kNoClasses, Tuning(), std::vector<Vector>());
    EXPECT_EQ(plan.rival, 1);
    EXPECT_EQ(plan.ships[0].targetId, 11u); // the other flank's ship
    // Once the middle seat's ship comes near, it is fought.
    knowledge.contacts[0].position = Vector(-300, 0, 400);
    plan = PlanTurn(knowledge, memory, kNoClasses, Tuning(), std::vector<Vector>());
    EXPECT_EQ(plan.ships[0].targetId, 10u);
    // A flank that takes the middle seat on goes for the nearer ship.
    knowledge.contacts[0].position = Vector(-800, 0, 200);
    memory.leaning[2] = 0.99f * kLeaningRange;
    ASSERT_FALSE(LeavesMiddle(knowledge, memory));
    plan = PlanTurn(knowledge, memory, kNoClasses, Tuning(), std::vector<Vector>());
    EXPECT_EQ(plan.ships[0].targetId, 10u);
}

TEST(StanceTest, AFlankTakingTheMiddleSeatOnGoesForItPastTheOtherFlankItSees)
{
    // Seat 2 of three sees only seat 1's fleet, across open space; the
    // middle seat is still unseen.
    Knowledge knowledge = Seen(1, 3, {{0, Vector(0, 0, 600)}});
    HardMemory memory;
    memory.turn = 3;
    memory.leaning[2] = 0.99f * kLeaningRange; // drawn to take the middle seat on
    ASSERT_FALSE(LeavesMiddle(knowledge, memory));
    EXPECT_EQ(SeatLeftAlone(knowledge, memory), 0);
    const TurnPlan plan = PlanTurn(knowledge, memory, kNoClasses, Tuning(), std::vector<Vector>());
    EXPECT_EQ(plan.rival, 2);
    ASSERT_TRUE(plan.ships[0].move);
    EXPECT_EQ(plan.ships[0].targetId, 0u);
    // On towards the middle seat's start in the west, not north to the flank it sees.
    EXPECT_LT(Length(plan.ships[0].destination - kStarts[2]), Length(kStarts[1] - kStarts[2]) - 100.0);
    EXPECT_LT(plan.ships[0].destination.x, -70.0f);

    // Once that flank has hurt it, or after the opening, the flank is fought.
    memory.grudge[0] = 1500.0f;
    EXPECT_EQ(SeatLeftAlone(knowledge, memory), -1);
    EXPECT_EQ(ChooseRival(knowledge, memory, kNoClasses), 0);
    memory.grudge[0] = 0.0f;
    memory.turn = 13;
    EXPECT_EQ(ChooseRival(knowledge, memory, kNoClasses), 0);
    // The middle seat leaves nobody alone, and neither does anyone in a game of two.
    memory.turn = 3;
    EXPECT_EQ(SeatLeftAlone(Seen(2, 3, {{0, kStarts[0]}}), memory), -1);
    EXPECT_EQ(SeatLeftAlone(Seen(1, 2, {{0, kStarts[0]}}), memory), -1);
}

TEST(StanceTest, AFlankLeavingTheMiddleSeatToTheOthersLooksOnlyForTheOtherFlank)
{
    // Nothing seen yet; a cloud in the centre hides seat 2's start from seat
    // 1's, while the middle seat's start lies in plain sight.
    Knowledge knowledge = Seen(0, 3, {});
    knowledge.nebulae.push_back(NebulaBox{Vector(-100, -100, -100), Vector(100, 100, 100), 0.3f});
    HardMemory memory;
    memory.turn = 3;
    memory.leaning[2] = 0.0f;
    ASSERT_TRUE(LeavesMiddle(knowledge, memory));
    const TurnPlan plan = PlanTurn(knowledge, memory, kNoClasses, Tuning(), std::vector<Vector>());
    ASSERT_TRUE(plan.ships[0].move);
    // To a place near by, beside the cloud, from where seat 2's start shows:
    // not on to the starts it does not see, as a fleet that sees one does.
    EXPECT_GE(std::fabs(plan.ships[0].destination.x), 100.0f);
    EXPECT_LT(Length(plan.ships[0].destination - kStarts[0]), 300.0);
}

} // namespace
