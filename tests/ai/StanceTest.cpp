// In games of three or four the Hard player judges whether to fight now or
// let others fight first, from what it sees and the seats' starting points.

#include <gtest/gtest.h>

#include "ai/Tactics.h"

namespace
{

const Vector kStarts[4] = {Vector(0, 0, 800), Vector(0, 0, -800), Vector(-800, 0, 0), Vector(800, 0, 0)};

// Seat `self` of `players` with one ship at its start, seeing capital ships
// (or fighters) of the given owners at the given places.
Knowledge Seen(int32_t self, int32_t players, std::vector<std::pair<int32_t, Vector>> ships,
               ShipRole role = ShipRole::Gunship)
{
    Knowledge knowledge;
    knowledge.self = self;
    knowledge.players = players;
    std::copy(kStarts, kStarts + 4, knowledge.starts);
    knowledge.own.push_back(OwnShip());
    knowledge.own.back().position = kStarts[self];
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

} // namespace
