// In games of three or four the Hard player judges whether to fight now or
// let others fight first, from what it sees and the seats' starting points.

#include <gtest/gtest.h>

#include "ai/Tactics.h"

namespace
{

const Vector kStarts[4] = {Vector(0, 0, 800), Vector(0, 0, -800), Vector(-800, 0, 0), Vector(800, 0, 0)};

Knowledge Table(int32_t self, int32_t players)
{
    Knowledge knowledge;
    knowledge.self = self;
    knowledge.players = players;
    for (int i = 0; i < 4; i++)
    {
        knowledge.starts[i] = kStarts[i];
    }
    OwnShip ship;
    ship.id = 1;
    ship.position = kStarts[self];
    knowledge.own.push_back(ship);
    return knowledge;
}

void Sees(Knowledge& knowledge, uint32_t id, int32_t owner, const Vector& position,
          ShipRole role = ShipRole::Gunship)
{
    Contact contact;
    contact.id = id;
    contact.owner = owner;
    contact.role = role;
    contact.position = position;
    contact.visible = true;
    knowledge.contacts.push_back(contact);
}

TEST(StanceTest, TheSeatBothOthersHaveNearestIsTheMiddleOnlyInGamesOfThree)
{
    EXPECT_EQ(MiddleSeat(Table(0, 3)), 2);
    EXPECT_EQ(MiddleSeat(Table(2, 3)), 2);
    EXPECT_EQ(MiddleSeat(Table(0, 2)), -1);
    EXPECT_EQ(MiddleSeat(Table(0, 4)), -1); // every seat has two neighbours
}

TEST(StanceTest, TwoRivalsFightingEachOtherAreLeftToItUntilTheyComeNear)
{
    HardMemory memory;
    memory.turn = 20;
    Knowledge knowledge = Table(0, 4);
    Sees(knowledge, 10, 1, Vector(600, 0, -600));
    Sees(knowledge, 20, 2, Vector(600, 0, -200)); // 400 from the other: fighting
    EXPECT_EQ(JudgeStance(knowledge, memory), Stance::Wait);

    // Fighters skirmishing far off are not a fight between the fleets.
    Knowledge fighters = Table(0, 4);
    Sees(fighters, 10, 1, Vector(600, 0, -600), ShipRole::Fighter);
    Sees(fighters, 20, 2, Vector(600, 0, -560), ShipRole::Fighter);
    Sees(fighters, 11, 1, Vector(-900, 0, -900));
    Sees(fighters, 21, 2, Vector(900, 0, -900));
    EXPECT_EQ(JudgeStance(fighters, memory), Stance::Engage);

    // Once one of them comes near the fleet, it fights.
    Sees(knowledge, 11, 1, kStarts[0] + Vector(0, 0, -300));
    EXPECT_EQ(JudgeStance(knowledge, memory), Stance::Engage);

    // Waiting ends after quiet turns.
    knowledge.contacts.pop_back();
    memory.quietTurns = 10;
    EXPECT_EQ(JudgeStance(knowledge, memory), Stance::Engage);

    // With two players there is nobody else to leave it to.
    Knowledge two = Table(0, 2);
    Sees(two, 10, 1, Vector(0, 0, -800));
    memory.quietTurns = 0;
    EXPECT_EQ(JudgeStance(two, memory), Stance::Engage);
}

TEST(StanceTest, TheMiddleSeatLeavesTheFirstBlowToTheOthersInTheOpening)
{
    HardMemory memory;
    memory.turn = 2;
    Knowledge middle = Table(2, 3);
    Sees(middle, 10, 0, kStarts[0]);
    Sees(middle, 20, 1, kStarts[1]);
    EXPECT_EQ(JudgeStance(middle, memory), Stance::Wait);
    Knowledge flank = Table(0, 3);
    Sees(flank, 10, 1, kStarts[1]);
    Sees(flank, 20, 2, kStarts[2]);
    EXPECT_EQ(JudgeStance(flank, memory), Stance::Engage);
    memory.turn = 30;
    EXPECT_EQ(JudgeStance(middle, memory), Stance::Engage);
}

} // namespace
