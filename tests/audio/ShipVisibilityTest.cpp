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

class ShipVisibility : public GLTest
{
};

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

    for (int state : {0, 1, 2})
    {
        SCOPED_TRACE(state);
        enemy->detection[0].state = state;
        third->detection[0].state = state;
        for (Ship* ship : {own, enemy, third})
        {
            const bool heard = SourceShown(ship->owner, 0, ship->DetectionStateOf(0));
            EXPECT_EQ(heard, ship->IsVisibleToCurrentPlayer()) << ship->owner;
        }
    }
    // What player 1 knows is not what player 0 hears.
    enemy->detection[0].state = 0;
    enemy->detection[2].state = 2;
    EXPECT_EQ(enemy->DetectionStateOf(0), 0);
    EXPECT_EQ(enemy->DetectionStateOf(2), 2);
    delete game;
}
