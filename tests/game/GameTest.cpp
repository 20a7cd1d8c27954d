// The game object: construction and teardown on every map, ids and fleets,
// clicks, the change of player, the winner, and whole scenarios of ships
// destroyed during play.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "assets/Model.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"
#include "world/Explosion.h"
#include "world/NebulaRegion.h"

namespace
{

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
    {
        lines.push_back(line);
    }
    return lines;
}

// The teardown lines of a game whose players still hold the given numbers of ships.
std::vector<std::string> ExpectedTeardown(const std::vector<int>& fleetSizes, int wrecks)
{
    std::vector<std::string> lines = {"Removing ship models", "Removing object models",
                                      "Removing dead ships"};
    const char* shipLines[5] = {"    Removing UI panel", "    Removing beam turrets",
                                "    Removing gun turrets", "    Removing subobjects", "    Removing lights"};
    for (int w = 0; w < wrecks; w++)
    {
        lines.insert(lines.end(), shipLines, shipLines + 5);
    }
    lines.push_back("Removing players");
    for (int size : fleetSizes)
    {
        lines.push_back("  Removing ships");
        for (int s = 0; s < size; s++)
        {
            lines.insert(lines.end(), shipLines, shipLines + 5);
        }
    }
    return lines;
}

// The lines from "Removing ship models" on, up to the environment's own.
std::vector<std::string> TeardownLines(const std::string& captured)
{
    std::vector<std::string> all = Lines(captured);
    auto first = std::find(all.begin(), all.end(), "Removing ship models");
    std::vector<std::string> lines;
    for (auto it = first; it != all.end(); ++it)
    {
        if (*it == "Removing nebula regions")
        {
            break;
        }
        lines.push_back(*it);
    }
    return lines;
}

class GameTest : public GLTest
{
  protected:
    void TearDown() override
    {
        delete game;
        GLTest::TearDown();
    }
    Game* game = nullptr;
};

} // namespace

TEST_F(GameTest, EveryMapAndPlayerCountBuildsAndTearsDownWithTheExactLines)
{
    for (const char* map : {"map1", "map2", "map3", "map4"})
    {
        for (int n = 2; n <= 4; n++)
        {
            Game* built = new Game(n, map);
            ASSERT_EQ(built->players.size(), size_t(n));
            EXPECT_EQ(built->nextId, uint32_t(5 + 5 * n)) << map << " " << n;
            EXPECT_FALSE(built->GetEnvironment()->regions.empty()) << map;
            testing::internal::CaptureStderr();
            delete built;
            const std::string captured = testing::internal::GetCapturedStderr();
            EXPECT_EQ(TeardownLines(captured), ExpectedTeardown(std::vector<int>(n, 5), 0))
                << map << " " << n;
            EXPECT_NE(captured.find("Removing nebula regions"), std::string::npos);
        }
    }
}

TEST_F(GameTest, FourPlayerFleetsTakeIdsFiveToTwentyFourAndLineUp)
{
    game = new Game(4, "map1");
    EXPECT_EQ(game->nextId, 25u);
    const float headings[4] = {45, 225, 135, 315};
    uint32_t id = 5;
    for (int p = 0; p < 4; p++)
    {
        Player* player = game->players[p];
        EXPECT_EQ(player->GetIndex(), p);
        EXPECT_EQ(player->GetHeading(), headings[p]);
        ASSERT_EQ(player->FleetSize(), 5);
        const double a = (headings[p] - 45) * kDegToRad;
        for (int i = 0; i < 5; i++)
        {
            Ship* ship = player->fleet[i];
            EXPECT_EQ(ship->GetId(), id);
            EXPECT_EQ(ship->GetOwner(), p);
            EXPECT_EQ(ship->name, gShipNames[(id + 1) % 10]);
            const double d = (5 * i - 10) * 20;
            EXPECT_NEAR(ship->GetPosition().x, gPlacements[p].focus.x + d * std::cos(a), 1e-3);
            EXPECT_EQ(ship->GetPosition().y, 0.0f);
            EXPECT_NEAR(ship->GetPosition().z, gPlacements[p].focus.z + d * std::sin(a), 1e-3);
            EXPECT_EQ(ship->GetOrientation(), Vector(0, headings[p] - 45, 0));
            const char* classes[5] = {"battlefrigate", "beamfrigateopen", "escortcarrier2", "beamfrigateopen",
                                      "battlefrigate"};
            EXPECT_EQ(ship->model->fileName, classes[i]);
            // Only the first player's turn has started.
            EXPECT_EQ(ship->moveTimeLeft, p == 0 ? 10.0f : 0.0f);
            id++;
        }
    }
    EXPECT_EQ(game->players[0]->fleet[0]->name, "Olvark");
    EXPECT_EQ(game->GetCurrentPlayer(), game->players[0]);
    EXPECT_TRUE(game->players[0]->isCurrent);
    EXPECT_FALSE(game->players[1]->isCurrent);
    EXPECT_EQ(game->GetOrderMode(), 1);
    EXPECT_EQ(game->GetOrderType(), 0);
    EXPECT_EQ(game->GetViewMode(), 0);
    EXPECT_EQ(game->GetState(), 0);
}

TEST_F(GameTest, CataloguesColoursAndTextures)
{
    game = new Game(2, "map2");
    const char* ships[4][2] = {{"battlefrigate", "Tigershark-class battle frigate"},
                               {"beamfrigateopen", "Manta-class fusion frigate"},
                               {"escortcarrier2", "Orca-class escort carrier"},
                               {"smallfighter", "Piranha-class strike fighter"}};
    const char* objects[4][2] = {{"gunturret", "Pulse gun turret"},
                                 {"gunturret_base", "Gun turret base"},
                                 {"gunturret_guns", "Gun turret guns"},
                                 {"beamturret", "Fusion beam turret"}};
    ASSERT_EQ(game->shipModels.size(), 4u);
    ASSERT_EQ(game->objectModels.size(), 4u);
    for (int i = 0; i < 4; i++)
    {
        EXPECT_EQ(game->shipModels[i]->fileName, ships[i][0]);
        EXPECT_EQ(game->shipModels[i]->displayName, ships[i][1]);
        EXPECT_EQ(game->FindShipModel(ships[i][0]), game->shipModels[i]);
        EXPECT_EQ(game->objectModels[i]->fileName, objects[i][0]);
        EXPECT_EQ(game->objectModels[i]->displayName, objects[i][1]);
        EXPECT_EQ(game->FindObjectModel(objects[i][0]), game->objectModels[i]);
        EXPECT_NE(game->GetLightTexture(i), 0u);
    }
    EXPECT_EQ(game->FindShipModel("BattleFrigate"), nullptr);
    EXPECT_EQ(game->FindObjectModel("battlefrigate"), nullptr);
    const float colours[4][3] = {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {1, 1, 0}};
    for (int i = 0; i < 4; i++)
    {
        float c[3];
        game->GetPlayerColour(i, c);
        EXPECT_EQ(c[0], colours[i][0]);
        EXPECT_EQ(c[1], colours[i][1]);
        EXPECT_EQ(c[2], colours[i][2]);
    }
    EXPECT_EQ(game->TakeId(), 15u);
    EXPECT_EQ(game->TakeId(), 16u);
}

TEST_F(GameTest, WinnerIsTheOnlyPlayerWithShips)
{
    game = new Game(4, "map1");
    EXPECT_EQ(game->WinnerIndex(), -1);
    auto emptyFleet = [this](int p)
    {
        for (Ship* ship : game->players[p]->fleet)
            delete ship;
        game->players[p]->fleet.clear();
    };
    emptyFleet(0);
    emptyFleet(2);
    EXPECT_EQ(game->WinnerIndex(), -1);
    emptyFleet(1);
    EXPECT_EQ(game->WinnerIndex(), 3);
    emptyFleet(3);
    EXPECT_EQ(game->WinnerIndex(), -1);
}

TEST_F(GameTest, NextPlayerWrapsAndDoesNotSkipEmptyFleets)
{
    game = new Game(3, "map1");
    for (Ship* ship : game->players[0]->fleet)
        delete ship;
    game->players[0]->fleet.clear();
    Player* second = game->players[1];
    Ship* ship = second->fleet[2];
    second->selection.push_back(ship);
    game->GetBeams()->AddBeam(Vector(), Vector(1, 0, 0), Vector(1, 0, 0), 5);

    game->NextPlayer();
    EXPECT_EQ(game->GetCurrentPlayer(), second);
    EXPECT_TRUE(second->isCurrent);
    EXPECT_FALSE(game->players[0]->isCurrent);
    EXPECT_TRUE(ship->selected); // reselected for its owner's turn
    EXPECT_EQ(ship->moveTimeLeft, 10.0f);
    EXPECT_TRUE(game->GetBeams()->beams.empty());

    game->NextPlayer();
    EXPECT_FALSE(ship->selected); // only the current player's selection shows
    EXPECT_EQ(second->selection.size(), 1u);
    EXPECT_EQ(game->currentPlayerPos, 2u);
    game->NextPlayer();
    EXPECT_EQ(game->GetCurrentPlayer(), game->players[0]); // back to player 0, fleet or not
    EXPECT_EQ(game->currentPlayerPos, 0u);
}

TEST_F(GameTest, ClicksByOrderMode)
{
    game = new Game(2, "map1");
    Player* me = game->players[0];
    Ship* a = me->fleet[0];
    Ship* b = me->fleet[1];
    Ship* enemy = game->players[1]->fleet[3];

    game->ClickedId(a->GetId()); // mode 1: select alone
    EXPECT_EQ(me->selection, std::vector<Ship*>({a}));
    game->SetOrderMode(2);
    game->ClickedId(b->GetId()); // add
    EXPECT_EQ(me->selection, std::vector<Ship*>({a, b}));
    game->ClickedId(enemy->GetId()); // not ours: nothing
    EXPECT_EQ(me->selection.size(), 2u);

    game->SetOrderMode(3); // placing an order point: clicks on ships do nothing
    game->ClickedId(a->GetId());
    EXPECT_EQ(me->selection.size(), 2u);

    // Attack: target and turn towards it.
    game->SetOrderMode(5);
    game->SetOrderType(4);
    game->ClickedId(enemy->GetId());
    EXPECT_EQ(game->GetOrderMode(), 1);
    EXPECT_EQ(game->GetOrderType(), 0);
    EXPECT_EQ(a->target, enemy);
    EXPECT_EQ(b->target, enemy);
    EXPECT_TRUE(enemy->targeted);
    EXPECT_EQ(a->motionState, Ship::Rotating);
    const Vector toEnemy = enemy->GetPosition() - a->GetPosition();
    EXPECT_EQ(a->wantedOrientation, Ship::OrderOrientation(toEnemy.x, toEnemy.y, toEnemy.z));

    // A click on empty space while targeting clears the selection's targets.
    game->SetOrderMode(5);
    game->SetOrderType(3);
    game->ClickedId(0);
    EXPECT_EQ(a->target, nullptr);
    EXPECT_EQ(b->target, nullptr);
    EXPECT_FALSE(enemy->targeted);
    EXPECT_EQ(game->GetOrderMode(), 1);
    EXPECT_EQ(game->GetOrderType(), 0);

    // A plain click on nothing empties the selection.
    game->ClickedId(0);
    EXPECT_FALSE(me->HasSelection());
}

// A ship destroyed during its owner's turn stays listed until the next tick,
// burns with small explosions for 60 ticks, bursts once on tick 61 and turns
// into a dust cloud on tick 91.
TEST_F(GameTest, WreckBurnsBurstsOnceAndLeavesADustCloud)
{
    game = NewEmptyGame(2);
    Ship* victim = PlaceShip(game, 0, Vector());
    PlaceShip(game, 0, Vector(200, 0, 0));
    PlaceShip(game, 1, Vector(0, 0, -900));
    SettleFleets(game);
    Environment* environment = game->GetEnvironment();
    const size_t regionsBefore = environment->regions.size();

    victim->hull[kFaceTop] = 1.0f;
    Vector hit(0, -1, 0);
    victim->Damage(5.0f, 0, hit);
    ASSERT_FALSE(victim->IsAlive());
    EXPECT_EQ(game->WreckCount(), 1);
    EXPECT_EQ(game->players[0]->FleetSize(), 2); // still listed during this tick
    const int first = environment->ExplosionCount();
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 3);
    for (int i = 0; i < first; i++)
    {
        EXPECT_EQ(environment->explosions[i]->scale, 0.2f);
        EXPECT_LE(std::fabs(environment->explosions[i]->centre.x - victim->GetPosition().x), 20.0f);
    }

    // The environment is not advanced here, so explosions only accumulate.
    int bursts = 0;
    int smallDuringBurn = 0;
    for (int tick = 1; tick <= 95; tick++)
    {
        const int before = environment->ExplosionCount();
        const Vector lastPosition = game->WreckCount() ? game->wrecks[0]->GetPosition() : Vector();
        game->Tick();
        if (tick == 1)
        {
            EXPECT_EQ(game->players[0]->FleetSize(), 1); // dropped on its owner's update
        }
        const int added = environment->ExplosionCount() - before;
        if (tick <= 60)
        {
            EXPECT_LE(added, 1) << tick;
            smallDuringBurn += added;
        }
        else if (tick == 61)
        {
            ASSERT_EQ(added, 2);
            const Explosion* red = environment->explosions[before];
            const Explosion* yellow = environment->explosions[before + 1];
            EXPECT_EQ(red->scale, 1.0f);
            EXPECT_EQ(red->colour, Vector(1, 0, 0));
            EXPECT_EQ(yellow->colour, Vector(1, 1, 0));
            bursts++;
        }
        else
        {
            EXPECT_EQ(added, 0) << tick;
        }
        if (tick < 91)
        {
            EXPECT_EQ(game->WreckCount(), 1) << tick;
            EXPECT_EQ(environment->regions.size(), regionsBefore) << tick;
        }
        else if (tick == 91)
        {
            EXPECT_EQ(game->WreckCount(), 0);
            ASSERT_EQ(environment->regions.size(), regionsBefore + 1);
            const NebulaRegion* dust = environment->regions.back();
            EXPECT_NEAR(dust->max.x - dust->min.x, 100.0f, 1e-3);
            EXPECT_NEAR((dust->max.y + dust->min.y) * 0.5f, lastPosition.y, 1.0f);
            EXPECT_NEAR(dust->density, 0.02f, 1e-6);
            EXPECT_EQ(dust->colour, Vector(0.5f, 0, 0));
        }
    }
    EXPECT_EQ(bursts, 1);
    EXPECT_GT(smallDuringBurn, 2); // one chance in five per tick over 60 ticks
    EXPECT_EQ(game->WinnerIndex(), -1);
}

// Every pointer to a destroyed ship goes: selections, ship targets, turret
// targets, bullets and fleets. Under AddressSanitizer any leftover use of the
// deleted wreck would be reported.
TEST_F(GameTest, DestroyedShipLeavesNoPointerBehind)
{
    game = NewEmptyGame(2);
    Ship* victim = PlaceShip(game, 1, Vector(0, 0, -300), "escortcarrier2");
    Ship* hunter = PlaceShip(game, 0, Vector());
    Ship* hunter2 = PlaceShip(game, 0, Vector(100, 0, 0));
    SettleFleets(game);
    ASSERT_FALSE(victim->hangars.empty());

    Player* me = game->players[0];
    me->SelectShip(hunter->GetId(), true);
    me->SelectShip(hunter2->GetId(), true);
    game->SetOrderType(3);
    hunter->SetTarget(victim);
    // hunter2 aims only one turret at it, the ship's target being hunter.
    hunter2->SelectPart(int(hunter2->beamTurrets.size()));
    game->SetOrderType(5);
    hunter2->SetTarget(victim);
    ASSERT_EQ(hunter2->gunTurrets[0]->target, victim);
    game->GetBullets()->AddBullet(hunter->GetPosition(), Vector(0, 0, -1), Vector(1, 1, 0), 2, victim);
    game->players[1]->selection.push_back(victim);
    victim->selected = true;

    for (int face = 0; face < kHullFaces; face++)
        victim->hull[face] = 0.0f;
    Vector hit(0, 0, -1);
    victim->Damage(1.0f, 0, hit);
    ASSERT_FALSE(victim->IsAlive());
    const uint32_t victimId = victim->GetId();

    EXPECT_EQ(game->players[1]->FleetSize(), 0); // a waiting player loses it at once
    EXPECT_TRUE(game->players[1]->selection.empty());
    EXPECT_EQ(hunter->target, nullptr);
    for (Ship* ship : {hunter, hunter2})
    {
        for (BeamTurret* turret : ship->beamTurrets)
            EXPECT_NE(turret->target, victim);
        for (GunTurret* turret : ship->gunTurrets)
            EXPECT_NE(turret->target, victim);
    }
    for (const Bullet* bullet : game->GetBullets()->bullets)
        EXPECT_NE(bullet->target, victim);
    EXPECT_EQ(game->WinnerIndex(), 0);

    // Burn the wreck out and play on: turns, ticks, sweeps and orders.
    hunter->OrderMove(0, 0, -600);
    for (int tick = 0; tick < 120; tick++)
        game->Tick();
    EXPECT_EQ(game->WreckCount(), 0);
    game->NextPlayer();
    for (int tick = 0; tick < 5; tick++)
        game->Tick();
    game->NextPlayer();
    game->SetOrderMode(5);
    game->SetOrderType(3);
    game->ClickedId(victimId); // the id of a ship that is gone: no target
    for (int tick = 0; tick < 5; tick++)
        game->Tick();
}

// A ship of the current player destroyed on the last tick of a turn is in its
// fleet and in the wrecks at once; neither the change of player nor the
// teardown may free it twice or keep it.
TEST_F(GameTest, ShipLostAtTheEndOfATurnIsFreedOnce)
{
    game = NewEmptyGame(2);
    Ship* lost = PlaceShip(game, 0, Vector());
    PlaceShip(game, 1, Vector(0, 0, -300));
    SettleFleets(game);
    lost->hull[kFaceBack] = 0.0f;
    Vector hit(0, 0, -1);
    lost->Damage(1.0f, 0, hit);
    EXPECT_EQ(game->players[0]->FleetSize(), 1);
    game->NextPlayer();
    EXPECT_EQ(game->players[0]->FleetSize(), 0);
    EXPECT_EQ(game->WinnerIndex(), 1);

    // And once more, ending the game before any change of player.
    Ship* lost2 = PlaceShip(game, 1, Vector(50, 0, -300));
    lost2->hull[kFaceBack] = 0.0f;
    hit = Vector(0, 0, -1);
    lost2->Damage(1.0f, 0, hit);
    testing::internal::CaptureStderr();
    delete game;
    game = nullptr;
    const std::string captured = testing::internal::GetCapturedStderr();
    // Two wrecks, player 0 with none, player 1 with its remaining ship.
    EXPECT_EQ(TeardownLines(captured), ExpectedTeardown({0, 1}, 2));
}

TEST_F(GameTest, SensorSweepSkipsTheCurrentPlayer)
{
    game = NewEmptyGame(3);
    Ship* mine = PlaceShip(game, 0, Vector());
    Ship* second = PlaceShip(game, 1, Vector(0, 0, -300));
    Ship* third = PlaceShip(game, 2, Vector(300, 0, 0));
    for (Ship* ship : {mine, second, third})
        ship->detection.clear();
    game->SensorSweep(mine);
    EXPECT_EQ(mine->detection[1].state, 2);
    EXPECT_EQ(mine->detection[2].state, 2);
    EXPECT_EQ(mine->detection.count(0), 0u);
    EXPECT_EQ(second->detection[0].state, 2);
    EXPECT_EQ(third->detection[0].state, 2);
    EXPECT_EQ(second->detection.count(2), 0u);
}
