// The Hard player's hunt through the nebulae: a searching ship that has
// looked at its point goes on to the next in the same turn, so that a turn
// sweeps several points of a nebula, not one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "ai/HardTest.h"
#include "support/GLTest.h"

using HuntTest = GLTest;

TEST_F(HuntTest, ASearchingShipGoesOnToAnotherPointInTheTurnItReachesOne)
{
    // On map1 player 2's fleet keeps still in the middle of the veil of
    // nebula, where player 1's Hard fleet has to hunt it. Counted in the
    // turns of the hunt, up to the first sight of player 2: one ship is
    // given a second move in a turn (without going on, one a turn).
    const Change intoTheVeil = [](Game& game, int)
    {
        for (Ship* ship : game.players[1]->fleet)
        {
            ship->position = Vector(float(ship->GetId() % 5) * 20.0f - 40.0f, 0.0f, 0.0f);
        }
        return true;
    };
    int mostMoves = 0;
    int huntingTurns = 0;
    for (uint32_t seed : {1u, 2u})
    {
        const TurnsLog log = PlayHardTurns("map1", seed, 8, intoTheVeil);
        // Player 2 is seen once player 1 has detected any of its ships; the
        // moves counted in a turn are those ordered before then.
        bool seen = false;
        for (size_t turn = 0; turn < log.turnStarts.size() && !seen; turn++)
        {
            const size_t end =
                turn + 1 < log.turnStarts.size() ? log.turnStarts[turn + 1] : log.detection.size();
            size_t blind = log.turnStarts[turn]; // the last tick of the turn before the first sight
            while (blind + 1 < end && log.detection[blind + 1].empty())
            {
                blind++;
            }
            seen = blind + 1 < end;
            std::map<std::string, int> moves;
            for (size_t i = log.ordersBefore[log.turnStarts[turn]]; i < log.ordersBefore[blind]; i++)
            {
                if (log.orders[i].rfind("move ", 0) == 0)
                {
                    const int count = ++moves[log.orders[i].substr(0, log.orders[i].find(" to "))];
                    mostMoves = std::max(mostMoves, count);
                }
            }
            huntingTurns += moves.empty() ? 0 : 1;
        }
    }
    std::printf("%d turns of hunting, at most %d moves for one ship in a turn\n", huntingTurns, mostMoves);
    ASSERT_GE(huntingTurns, 2);
    EXPECT_GE(mostMoves, 2);
}
