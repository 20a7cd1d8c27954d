#include <gtest/gtest.h>

#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"

namespace
{

class FightScenarioTest : public GLTest
{
};

// Keeps only the fleet's ship of the given class; the others are deleted.
Ship* KeepOnly(Player* player, const std::string& className, Game* game)
{
    Ship* kept = nullptr;
    for (Ship* ship : player->fleet)
    {
        if (kept == nullptr && ship->model == game->FindShipModel(className))
        {
            kept = ship;
        }
        else
        {
            delete ship;
        }
    }
    player->fleet.clear();
    player->selection.clear();
    if (kept != nullptr)
    {
        player->fleet.push_back(kept);
    }
    return kept;
}

TEST_F(FightScenarioTest, TwoShipsFightUntilOneIsDestroyedAndTheOtherPlayerWins)
{
    Game* game = new Game(2, "map1");
    Ship* beamShip = KeepOnly(game->players[0], "beamfrigateopen", game);
    Ship* gunShip = KeepOnly(game->players[1], "battlefrigate", game);
    ASSERT_NE(gunShip, nullptr);
    ASSERT_NE(beamShip, nullptr);
    ASSERT_FALSE(gunShip->gunTurrets.empty());
    ASSERT_FALSE(beamShip->beamTurrets.empty());

    // Bow to bow, 200 apart, within every turret's reach. Hulls that outlast
    // one turn of fire on either side keep the fight to a few turns.
    gunShip->SetPosition(0, 0, 100);
    gunShip->SetOrientation(0, 0, 0);
    beamShip->SetPosition(0, 0, -100);
    beamShip->SetOrientation(0, 180, 0);
    for (int face = 0; face < kHullFaces; ++face)
    {
        gunShip->hull[face] = 400.0f;
        beamShip->hull[face] = 400.0f;
    }

    int turns = 0;
    int ticks = 0;
    int bulletsSeen = 0;
    int beamsSeen = 0;
    while (game->WinnerIndex() == -1 && turns < 40)
    {
        // The player whose turn it is targets the enemy with every turret.
        Player* current = game->GetCurrentPlayer();
        Ship* own = current->fleet.empty() ? nullptr : current->fleet[0];
        Ship* enemy = own == gunShip ? beamShip : gunShip;
        if (own != nullptr && enemy->IsAlive())
        {
            game->SetOrderType(3);
            own->SetTarget(enemy);
            game->SetOrderType(0);
        }
        // A turn lasts until every turret is spent (or 10 seconds).
        for (int t = 0; t < 200 && game->WinnerIndex() == -1; ++t)
        {
            game->Tick();
            ++ticks;
            bulletsSeen = std::max(bulletsSeen, game->GetBullets()->Count());
            beamsSeen = std::max(beamsSeen, game->GetBeams()->Count());
        }
        if (game->WinnerIndex() == -1)
        {
            game->NextPlayer();
            ++turns;
        }
    }
    EXPECT_GT(bulletsSeen, 0) << "the gun frigate fired";
    EXPECT_GT(beamsSeen, 0) << "the fusion frigate fired";
    const int winner = game->WinnerIndex();
    ASSERT_NE(winner, -1) << "no ship was destroyed in " << turns << " turns";
    const Ship* loser = winner == 0 ? gunShip : beamShip;
    EXPECT_FALSE(loser->IsAlive());
    EXPECT_EQ(game->WreckCount(), 1);

    // The wreck burns out within 100 ticks and the winner stays the same.
    for (int t = 0; t < 100; ++t)
    {
        game->Tick();
    }
    EXPECT_EQ(game->WreckCount(), 0);
    EXPECT_EQ(game->WinnerIndex(), winner);
    EXPECT_EQ(game->players[size_t(1 - winner)]->FleetSize(), 0);
    delete game;
}

} // namespace
