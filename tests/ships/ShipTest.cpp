// Ships in a real game: construction from markers, a turn of orders flown tick
// by tick, the face a hit lands on, destruction, detection and targets. How
// ships look is checked by the scene's reference frames.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "assets/Ase.h"
#include "assets/Model.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "world/Environment.h"

namespace
{

// A ship assembled from a battle frigate model whose markers are replaced by these.
Ship* Assembled(Game* game, const std::vector<AseNode>& markers)
{
    Model* model = game->FindShipModel("battlefrigate");
    AseGroup* original = model->scene;
    model->scene = new AseGroup("test");
    for (const AseNode& marker : markers)
    {
        model->scene->nodes.push_back(new AseNode(marker));
    }
    Ship* ship = new Ship(game->TakeId(), 0, game);
    ship->Assemble(model, 0);
    delete model->scene;
    model->scene = original;
    game->players[0]->AddShip(ship);
    return ship;
}

class ShipTest : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        game = NewEmptyGame(2);
    }
    void TearDown() override
    {
        delete game;
        GLTest::TearDown();
    }
    // A battle frigate with known rates, spawned and given a full turn of time.
    Ship* Ready(int player = 0, const Vector& offset = Vector())
    {
        Ship* ship = PlaceShip(game, player, offset);
        ship->speed = 2.0f;
        ship->turnRate = Vector(1.0f, 3.2f, 1.0f);
        ship->Update();
        ship->NewTurn();
        return ship;
    }
    Game* game = nullptr;
};

TEST_F(ShipTest, AssembleTakesPartsAndStatisticsFromTheMarkers)
{
    Ship* ship = Assembled(game, {Marker("speed", {20, 40, 60, 80}), Marker("sensor", {7, 300}),
                                  Marker("hull", {10, 20, 30, 40, 50, 60}), Marker("gunturret", {}),
                                  Marker("light", {3, 2, 99}, Vector(1, 2, 3)), Marker("hangar", {2.9f}),
                                  Marker("beamturret", {}), Marker("guns", {}), Marker("light", {}),
                                  Marker("gunturret_base", {}, Vector(4, 5, 6), Vector(0, 0, 90))});
    // Rates per second become rates per tick.
    EXPECT_EQ(ship->speed, 20 * 0.05f);
    EXPECT_EQ(ship->turnRate, Vector(40 * 0.05f, 60 * 0.05f, 80 * 0.05f));
    EXPECT_EQ(ship->signature, 7.0f);
    EXPECT_EQ(ship->sensorRange, 300.0f);
    const float hull[kHullFaces] = {50, 60, 30, 40, 10, 20}; // top, bottom, left, right, front, back
    for (int face = 0; face < kHullFaces; face++)
    {
        EXPECT_EQ(ship->hull[face], hull[face]) << face;
        EXPECT_EQ(ship->hullMax[face], hull[face]) << face;
    }
    ASSERT_EQ(ship->beamTurrets.size(), 1u);
    ASSERT_EQ(ship->gunTurrets.size(), 2u);
    EXPECT_FALSE(ship->gunTurrets[0]->fixed);
    EXPECT_TRUE(ship->gunTurrets[1]->fixed);
    ASSERT_EQ(ship->hangars.size(), 1u);
    EXPECT_EQ(ship->hangars[0]->squadronsLeft, 2);
    ASSERT_EQ(ship->lights.size(), 2u);
    EXPECT_EQ(ship->lights[0]->position, Vector(1, 3, 2));
    EXPECT_EQ(ship->lights[0]->size, 3.0f);
    EXPECT_EQ(ship->lights[0]->blinkPeriod, 2.0f);
    EXPECT_EQ(ship->lights[1]->size, 5.0f);
    EXPECT_EQ(ship->lights[1]->blinkPeriod, 0.0f);
    ASSERT_EQ(ship->subobjects.size(), 1u);
    EXPECT_EQ(ship->subobjects[0]->mesh, game->FindObjectModel("gunturret_base"));
    EXPECT_EQ(ship->subobjects[0]->position, Vector(4, 6, 5));
    EXPECT_EQ(ship->subobjects[0]->rotation, Vector(0, 90, 0));

    // Part 0 is the first beam turret; then gun turrets, then hangars.
    auto selected = [ship]()
    {
        return std::vector<bool>{ship->beamTurrets[0]->IsSelected(), ship->gunTurrets[0]->IsSelected(),
                                 ship->gunTurrets[1]->IsSelected(), ship->hangars[0]->IsSelected()};
    };
    EXPECT_EQ(selected(), std::vector<bool>({true, false, false, false}));
    ship->SelectPart(3);
    EXPECT_EQ(selected(), std::vector<bool>({false, false, false, true}));
    ship->SelectPart(4);
    EXPECT_EQ(selected(), std::vector<bool>({false, false, false, false}));

    // Without markers: the defaults and no parts.
    Ship* plain = Assembled(game, {});
    EXPECT_EQ(plain->speed, 1.0f);
    EXPECT_EQ(plain->turnRate, Vector(1, 1, 1));
    EXPECT_EQ(plain->hull[kFaceFront], 1000.0f);
    EXPECT_TRUE(plain->beamTurrets.empty() && plain->gunTurrets.empty() && plain->lights.empty());
}

TEST(ShipDeathTest, AMarkerWithAColonAfterItsTypeIsAnUnknownSubobject)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            OpenGameDisplay();
            Assembled(NewEmptyGame(2), {Marker("hull:", {})});
        },
        ::testing::ExitedWithCode(0), "Cannot find subobject hull:");
}

// Turning at 3.2 degrees a tick, the ship aligns in 27 ticks (within 4 degrees
// of yaw 270), flies at 2 a tick and snaps onto the destination once within 10;
// a second order flies on until the ten seconds of the turn are spent.
TEST_F(ShipTest, ATurnFlownTickByTick)
{
    Ship* ship = Ready();
    const Vector start = ship->position;
    ship->OrderMove(301, 0, 0);
    EXPECT_EQ(ship->motionState, Ship::Aligning);
    EXPECT_EQ(ship->spin, Vector(0, -3.2f, 0));
    const struct
    {
        int tick;
        int32_t state;
        float x, yaw, timeLeft;
    } rows[] = {
        {1, Ship::Aligning, 0, -3.2f, 9.95f},
        {26, Ship::Aligning, 0, -83.2f, 8.7f},
        {27, Ship::Moving, 0, -86.4f, 8.65f},
        {28, Ship::Moving, 2, -86.4f, 8.6f},
        {172, Ship::Moving, 290, -86.4f, 1.4f},
        {173, Ship::Stopped, 301, -86.4f, 1.35f},
        {178, Ship::Stopped, 301, -86.4f, 1.35f},
        // Ordered on: one tick to turn the last 3.6 degrees, then flight until
        // the time runs out at tick 205, 200 ticks of orders in all.
        {179, Ship::Moving, 301, -89.6f, 1.3f},
        {180, Ship::Moving, 303, -89.6f, 1.25f},
        {204, Ship::Moving, 351, -89.6f, 0.05f},
        {205, Ship::Stopped, 353, -89.6f, 0.0f},
        {250, Ship::Stopped, 353, -89.6f, 0.0f},
    };
    int tick = 0;
    for (const auto& row : rows)
    {
        while (tick < row.tick)
        {
            if (++tick == 179)
            {
                ship->OrderMove(1000, 0, 0);
            }
            ship->Update();
        }
        EXPECT_EQ(ship->motionState, row.state) << "tick " << tick;
        EXPECT_NEAR(ship->position.x - start.x, row.x, 1e-3) << "tick " << tick;
        EXPECT_EQ(ship->position.z, start.z) << "tick " << tick;
        EXPECT_NEAR(ship->orientation.y, row.yaw, 1e-3) << "tick " << tick;
        EXPECT_NEAR(ship->moveTimeLeft, row.timeLeft, 1e-4) << "tick " << tick;
    }
    ship->NewTurn();
    EXPECT_EQ(ship->moveTimeLeft, 10.0f);
}

TEST_F(ShipTest, RotationsStopsAndOrdersWithoutTime)
{
    Ship* ship = Ready();
    const Vector start = ship->position;
    ship->OrderRotate(-100, 0, 0); // yaw 90: stops within 2 degrees, at tick 28
    int ticks = 0;
    for (; ship->motionState == Ship::Rotating && ticks < 100; ++ticks)
    {
        ship->Update();
    }
    EXPECT_EQ(ticks, 28);
    EXPECT_EQ(ship->position, start);
    EXPECT_NEAR(ship->orientation.y, 89.6f, 1e-3);
    EXPECT_NEAR(ship->moveTimeLeft, 8.6f, 1e-4);
    ship->OrderMove(0, 0, -50);
    ship->Stop();
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    EXPECT_EQ(ship->spin, Vector());
    EXPECT_NEAR(ship->moveTimeLeft, 8.6f, 1e-4); // Stop keeps the time

    Ship* idle = PlaceShip(game, 0, Vector(200, 0, 0)); // spawned but no turn has begun
    idle->Update();
    idle->OrderMove(-100, 0, 0);
    EXPECT_EQ(idle->destination, idle->position + Vector(-100, 0, 0));
    EXPECT_NEAR(idle->wantedOrientation.y, 90.0f, 1e-3);
    EXPECT_EQ(idle->motionState, Ship::Stopped);
    idle->Update();
    EXPECT_EQ(idle->orientation, Vector());
}

TEST(ShipRules, OrdersTurnToTheirDirection)
{
    const float rows[][5] = {
        // dx, dy, dz -> pitch, yaw
        {0, 0, -100, 0, 0},     {0, 0, 100, 0, 180},   {100, 0, 0, 0, 270}, {-100, 0, 0, 0, 90},
        {-100, 0, -100, 0, 45}, {0, 100, -100, 45, 0}, {0, 50, 0, 90, 180}, {0, -50, 0, -90, 180},
    };
    for (const auto& r : rows)
    {
        const Orientation o = Ship::OrderOrientation(r[0], r[1], r[2]);
        EXPECT_NEAR(o.x, r[3], 1e-3) << r[0] << " " << r[1] << " " << r[2];
        EXPECT_NEAR(o.y, r[4], 1e-3) << r[0] << " " << r[1] << " " << r[2];
        EXPECT_EQ(o.z, 0.0f);
    }
}

TEST(ShipRules, AHitLandsOnTheFaceTowardsItsSource)
{
    const struct
    {
        Vector towardsSource;
        int face;
    } rows[] = {
        {Vector(0, 1, 0), kFaceTop},
        {Vector(0, -1, 0), kFaceBottom},
        {Vector(-1, 0, 0), kFaceLeft},
        {Vector(1, 0, 0), kFaceRight},
        {Vector(0, 0, -1), kFaceFront},
        {Vector(0, 0, 1), kFaceBack},
        {Vector(0.2f, -3, 0.5f), kFaceBottom},
        {Vector(0.2f, -0.3f, 5), kFaceBack},
        // Both tests are strict: ties fall through to an X face, and 0 counts as negative.
        {Vector(1, 1, 0), kFaceRight},
        {Vector(0.5f, 2, 2), kFaceRight},
        {Vector(0, 1, 1), kFaceLeft},
        {Vector(0, 0, 0), kFaceLeft},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(Ship::HitFace(row.towardsSource), row.face)
            << row.towardsSource.x << " " << row.towardsSource.y << " " << row.towardsSource.z;
    }
}

TEST_F(ShipTest, HitsTurnWithTheShipAndTheFirstNegativeFaceDestroysItOnce)
{
    Ship* enemy = Ready(1, Vector(0, 0, -200));
    Ship* ship = Ready(0);
    ship->SetOrientation(0, 90, 0); // the nose points along world -X
    for (float& h : ship->hull)
    {
        h = 100.0f;
    }
    Vector intoTheNose(1, 0, 0), fromAbove(0, -5, 0), fromPlusZ(0, 0, -1);
    ship->Damage(100, 0, intoTheNose);
    EXPECT_EQ(intoTheNose, Vector(-1, 0, 0)); // negated in place
    ship->Damage(40, 0, fromAbove);
    ship->Damage(25, 0, fromPlusZ); // the left side, with the nose along -X
    EXPECT_EQ(ship->hull[kFaceFront], 0.0f);
    EXPECT_EQ(ship->hull[kFaceTop], 60.0f);
    EXPECT_EQ(ship->hull[kFaceLeft], 75.0f);
    EXPECT_TRUE(ship->IsAlive()); // 0 holds

    game->SetOrderType(3);
    ship->SetTarget(enemy);
    ship->Select();
    Vector hit(1, 0, 0);
    ship->Damage(0.5f, 0, hit);
    EXPECT_FALSE(ship->IsAlive());
    EXPECT_EQ(game->WreckCount(), 1);
    EXPECT_FALSE(ship->selected || ship->targeted || enemy->targeted);
    EXPECT_EQ(ship->moveTimeLeft, 1000.0f);
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    EXPECT_EQ(ship->hull[kFaceBack], 100.0f);
    for (int k = 0; k < 3; k++) // a capital ship drifts slowly
    {
        EXPECT_LE(std::fabs(ship->velocity[k]), 0.1f);
        EXPECT_LE(std::fabs(ship->spin[k]), 0.25f);
    }
    for (GunTurret* turret : ship->gunTurrets)
    {
        EXPECT_EQ(turret->target, nullptr);
    }
    hit = Vector(1, 0, 0);
    ship->Damage(500, 0, hit);
    EXPECT_EQ(game->WreckCount(), 1);

    // A fighter tumbles away faster.
    Ship* fighter = PlaceShip(game, 0, Vector(), "smallfighter");
    fighter->hull[kFaceFront] = 0.0f;
    hit = Vector(0, 0, 1);
    fighter->Damage(1, 0, hit);
    float fastest = 0.0f;
    for (int k = 0; k < 3; k++)
    {
        EXPECT_LE(std::fabs(fighter->velocity[k]), 1.0f);
        EXPECT_LE(std::fabs(fighter->spin[k]), 0.75f);
        fastest = std::fmax(fastest, std::fabs(fighter->velocity[k]));
    }
    EXPECT_GT(fastest, 0.1f);
}

// An enemy inside a dense nebula is hidden from a ship outside it, and hidden
// the other way too; in open space it is seen at once; slipping back into the
// cloud in its own turn it leaves a ghost where it was last seen.
TEST_F(ShipTest, ANebulaHidesAShipAndLeavesItsGhostWhereItSlippedAway)
{
    const Vector cloud = kTestOrigin + Vector(0, 0, -600);
    game->GetEnvironment()->AddRegion(cloud - Vector(100, 100, 100), cloud + Vector(100, 100, 100), 0.5f,
                                      0.0f, Vector(1, 0, 1));
    Ship* hunter = Ready(0, Vector(0, 0, 0));
    Ship* hider = Ready(1, Vector(0, 0, -600));
    for (Ship* ship : {hunter, hider})
    {
        ship->sensorRange = 0.2f;
        ship->signature = 0.2f;
        ship->detection.clear();
    }
    hunter->OrderMove(100, 0, 0);
    for (int tick = 0; tick < 60; tick++)
    {
        game->Tick();
    }
    EXPECT_NE(hunter->velocity, Vector()); // it has been flying, sweeping as it went
    EXPECT_EQ(hider->detection[0].state, 0);
    EXPECT_EQ(hunter->detection[1].state, 0);
    EXPECT_FALSE(hider->IsVisibleToCurrentPlayer());

    hider->SetPosition(cloud.x, cloud.y, cloud.z + 300);
    hunter->OrderMove(100, 0, 0);
    for (int tick = 0; tick < 3; tick++) // aligning, then flying and sweeping
    {
        game->Tick();
    }
    EXPECT_EQ(hider->detection[0].state, 2);
    EXPECT_EQ(hunter->detection[1].state, 2);
    EXPECT_TRUE(hider->IsVisibleToCurrentPlayer());

    game->NextPlayer();
    hider->speed = 5.0f;
    hider->OrderMove(0, 0, -300);
    Vector lastSeen;
    for (int tick = 0; tick < 200 && hider->detection[0].state == 2; tick++)
    {
        game->Tick();
        lastSeen = hider->position;
    }
    EXPECT_EQ(hider->detection[0].state, 1);
    EXPECT_EQ(hider->detection[0].lastPosition, lastSeen);
    EXPECT_EQ(hider->detection[0].lastOrientation, hider->orientation);
    EXPECT_GT(lastSeen.z, cloud.z); // lost on the way in
    game->NextPlayer();
    EXPECT_FALSE(hider->IsVisibleToCurrentPlayer());
    EXPECT_TRUE(hunter->IsVisibleToCurrentPlayer()); // own ships always
}

TEST_F(ShipTest, TargetsByOrderTypeAndForgettingTheDead)
{
    Ship* enemy = Ready(1, Vector(0, 0, -300));
    Ship* other = Ready(1, Vector(100, 0, -300));
    Ship* ship = Ready(0);
    game->SetOrderType(1);
    ship->SetTarget(enemy);
    EXPECT_EQ(ship->target, nullptr);
    game->SetOrderType(4);
    ship->SetTarget(enemy);
    ship->SetTarget(other);
    EXPECT_EQ(ship->target, other);
    EXPECT_FALSE(enemy->targeted);
    EXPECT_TRUE(other->targeted);
    // Type 5: only the selected turret, and the ship keeps its target.
    ship->SelectPart(1);
    game->SetOrderType(5);
    ship->SetTarget(enemy);
    EXPECT_EQ(ship->target, other);
    EXPECT_EQ(ship->gunTurrets[0]->target, other);
    EXPECT_EQ(ship->gunTurrets[1]->target, enemy);

    EXPECT_FALSE(ship->ToggleSelectIfId(ship->id + 1));
    EXPECT_TRUE(ship->ToggleSelectIfId(ship->id));
    EXPECT_TRUE(ship->selected && other->targeted);
    ship->Deselect();
    EXPECT_FALSE(other->targeted);

    ship->detection.clear();
    ship->MarkSeen(enemy->id, 1);
    ship->Forget(enemy); // the turret aimed at it lets go; the dead ship no longer observes
    EXPECT_EQ(ship->gunTurrets[1]->target, nullptr);
    EXPECT_EQ(ship->target, other);
    EXPECT_EQ(ship->detection[1].state, 1);
    ship->Forget(other);
    EXPECT_EQ(ship->target, nullptr);
    EXPECT_EQ(ship->gunTurrets[0]->target, nullptr);
}

} // namespace
