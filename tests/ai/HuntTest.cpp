// The Hard player's hunt through the nebulae: a searching ship that has
// looked at its point goes on to the next in the same turn, so that a turn
// sweeps several points of a nebula, not one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ai/HardPlayer.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "players/AutoPlayer.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "world/Environment.h"

using HuntTest = GLTest;

TEST_F(HuntTest, ASearchingShipGoesOnToAnotherPointInTheTurnItReachesOne)
{
    // On map1 player 2's fleet keeps still in the middle of the veil of
    // nebula, where player 1's Hard fleet has to hunt it. Counted in the
    // turns of the hunt, up to the first sight of player 2: one ship is
    // given a second move in a turn (without going on, one a turn).
    int mostMoves = 0;
    int huntingTurns = 0;
    for (uint32_t seed : {1u, 2u})
    {
        gAnimationTime = 0.0f;
        gTickClock.tickCounter = 0;
        std::unique_ptr<Game> game(new Game(2, "map1"));
        SeedRandom(seed);
        for (Ship* ship : game->players[1]->fleet)
        {
            ship->position = Vector(float(ship->GetId() % 5) * 20.0f - 40.0f, 0.0f, 0.0f);
        }
        Player& hardSeat = *game->players[0];
        HardPlayer hard(*game, hardSeat, seed);
        hard.GetControls().KeepRecord(true);
        bool seen = false;
        for (int round = 1; round <= 8 && !seen && game->GetState() != 2; round++)
        {
            for (size_t seat = 0; seat < game->players.size(); seat++)
            {
                Player& current = *game->GetCurrentPlayer();
                game->GetEnvironment()->Update(current.GetEyePosition(), current.GetViewDirection());
                game->SetState(0);
                if (&current == &hardSeat && !seen)
                {
                    hard.GetControls().ClearRecord();
                    size_t blindOrders = 0;
                    hard.PlayTurn(
                        [&]()
                        {
                            AdvanceGameTick(*game);
                            for (const Ship* ship : game->players[1]->fleet)
                            {
                                seen = seen || ship->DetectionStateOf(0) != 0;
                            }
                            if (!seen)
                            {
                                blindOrders = hard.GetControls().Record().size();
                            }
                        });
                    const std::vector<std::string>& orders = hard.GetControls().Record();
                    std::map<std::string, int> moves;
                    for (size_t i = 0; i < blindOrders && i < orders.size(); i++)
                    {
                        if (orders[i].rfind("move ", 0) == 0)
                        {
                            const int count = ++moves[orders[i].substr(0, orders[i].find(" to "))];
                            mostMoves = std::max(mostMoves, count);
                        }
                    }
                    huntingTurns += moves.empty() ? 0 : 1;
                }
                game->NextPlayer();
            }
        }
    }
    std::printf("%d turns of hunting, at most %d moves for one ship in a turn\n", huntingTurns, mostMoves);
    ASSERT_GE(huntingTurns, 2);
    EXPECT_GE(mostMoves, 2);
}
