// A ship is heard exactly when it is drawn: the rule of the sounds agrees with
// the scene's for every owner and detection state, and reading it records
// nothing in the ship.

#include <gtest/gtest.h>

#include "audio/Hearing.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"

using ShipVisibility = GLTest;

TEST_F(ShipVisibility, AShipIsHeardExactlyWhenTheSceneDrawsIt)
{
    Game* game = NewEmptyGame(3);
    Ship* own = PlaceShip(game, 0, Vector(0.0f, 0.0f, 0.0f));
    Ship* enemy = PlaceShip(game, 1, Vector(100.0f, 0.0f, 0.0f));
    Ship* third = PlaceShip(game, 2, Vector(200.0f, 0.0f, 0.0f));
    for (Ship* ship : {own, enemy, third})
    {
        ship->detection.clear();
    }

    // Never looked at: state 0, and nothing is recorded by asking.
    EXPECT_EQ(enemy->DetectionStateOf(0), 0);
    EXPECT_TRUE(enemy->detection.empty());

    // Through the eyes of player 0, then of player 1.
    for (int viewer : {0, 1})
    {
        for (int state : {0, 1, 2})
        {
            SCOPED_TRACE(testing::Message() << "viewer " << viewer << ", state " << state);
            for (Ship* ship : {own, enemy, third})
            {
                if (ship->owner != viewer)
                {
                    ship->detection[viewer].state = state;
                }
            }
            for (Ship* ship : {own, enemy, third})
            {
                EXPECT_EQ(SourceShown(ship->owner, viewer, ship->DetectionStateOf(viewer)),
                          ship->IsVisibleToCurrentPlayer())
                    << ship->owner;
            }
        }
        game->NextPlayer();
    }
    // What player 1 knows is not what player 0 hears.
    enemy->detection[0].state = 0;
    enemy->detection[2].state = 2;
    EXPECT_EQ(enemy->DetectionStateOf(0), 0);
    EXPECT_EQ(enemy->DetectionStateOf(2), 2);
    delete game;
}
