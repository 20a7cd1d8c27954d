// Ships in a real game: construction from markers, a turn of orders flown tick
// by tick, the face a hit lands on, destruction, detection and targets. How
// ships look is checked by the scene's reference frames.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

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
    Ship* Ready(int player, const Vector& offset)
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
    // Per second in the file, per tick in the ship; the signature comes first;
    // the hull faces top, bottom, left, right, front, back; file y and z exchanged.
    EXPECT_EQ(std::vector<float>({ship->speed, ship->turnRate.x, ship->turnRate.y, ship->turnRate.z,
                                  ship->signature, ship->sensorRange}),
              std::vector<float>({20 * 0.05f, 40 * 0.05f, 60 * 0.05f, 80 * 0.05f, 7, 300}));
    EXPECT_EQ(std::vector<float>(ship->hull, ship->hull + kHullFaces),
              std::vector<float>({50, 60, 30, 40, 10, 20}));
    EXPECT_EQ(ship->hullMax[kFaceTop], 50.0f);
    ASSERT_EQ(std::vector<size_t>({ship->beamTurrets.size(), ship->gunTurrets.size(), ship->hangars.size(),
                                   ship->lights.size(), ship->subobjects.size()}),
              std::vector<size_t>({1, 2, 1, 2, 1}));
    EXPECT_TRUE(!ship->gunTurrets[0]->fixed && ship->gunTurrets[1]->fixed);
    EXPECT_EQ(std::vector<float>({ship->lights[0]->size, ship->lights[0]->blinkPeriod, ship->lights[1]->size,
                                  ship->lights[1]->blinkPeriod, ship->lights[0]->position.y}),
              std::vector<float>({3, 2, 5, 0, 3}));
    EXPECT_TRUE(ship->subobjects[0]->position == Vector(4, 6, 5) &&
                ship->subobjects[0]->rotation == Vector(0, 90, 0));
    // Parts are counted beam turrets first, then gun turrets, then hangars.
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
    Ship* plain = Assembled(game, {}); // the defaults and no parts
    EXPECT_EQ(Vector(plain->speed, plain->signature, plain->hull[kFaceFront]), Vector(1, 1, 1000));
    EXPECT_TRUE(plain->gunTurrets.empty() && plain->lights.empty());
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

// Turning at 3.2 degrees a tick the ship aligns in 27 ticks (within 4 degrees
// of yaw 270), flies at 2 a tick and snaps onto the destination once within 10
// of it. A rotation then halts where it is when the ten seconds of the turn run
// out, after 200 ticks of orders; an order without time only sets its goals.
// In the next turn the rotation stops within 2 degrees of yaw 90; Stop keeps
// the time left.
TEST_F(ShipTest, TwoTurnsFlownTickByTick)
{
    Ship* ship = Ready(0, Vector());
    const Vector start = ship->position;
    ship->OrderMove(301, 0, 0);
    const struct
    {
        int tick;
        int32_t state;
        float x, yaw, timeLeft;
    } rows[] = {
        {1, Ship::Aligning, 0, -3.2f, 9.95f},     {26, Ship::Aligning, 0, -83.2f, 8.7f},
        {27, Ship::Moving, 0, -86.4f, 8.65f},     {28, Ship::Moving, 2, -86.4f, 8.6f},
        {172, Ship::Moving, 290, -86.4f, 1.4f},   {173, Ship::Stopped, 301, -86.4f, 1.35f},
        {174, Ship::Rotating, 301, -83.2f, 1.3f}, {199, Ship::Rotating, 301, -3.2f, 0.05f},
        {200, Ship::Stopped, 301, 0, 0},          {205, Ship::Stopped, 301, 0, 0},
        {211, Ship::Rotating, 301, 3.2f, 9.95f},  {237, Ship::Rotating, 301, 86.4f, 8.65f},
        {238, Ship::Stopped, 301, 89.6f, 8.6f},   {240, Ship::Stopped, 301, 89.6f, 8.6f},
    };
    const std::map<int, std::function<void()>> orders = {
        {174, [ship] { ship->OrderRotate(-100, 0, 0); }},
        {201, [ship] { ship->OrderMove(0, 0, 100); }},
        {211, [ship] { ship->NewTurn(), ship->OrderRotate(-100, 0, 0); }},
        {240, [ship] { ship->OrderRotate(0, 0, -50), ship->Stop(); }},
    };
    int tick = 0;
    for (const auto& row : rows)
    {
        for (; tick < row.tick; ship->Update())
        {
            const auto order = orders.find(++tick);
            order != orders.end() ? order->second() : void();
        }
        EXPECT_EQ(ship->motionState, row.state) << "tick " << tick;
        EXPECT_LT(Length(ship->position - start - Vector(row.x, 0, 0)), 1e-3) << "tick " << tick;
        EXPECT_NEAR(ship->orientation.y, row.yaw, 1e-3) << "tick " << tick;
        EXPECT_NEAR(ship->moveTimeLeft, row.timeLeft, 1e-4) << "tick " << tick;
    }
    EXPECT_EQ(ship->destination, ship->position + Vector(0, 0, 100)); // the order of tick 201
}

TEST(ShipRules, OrdersTurnToTheirDirectionAndHitsLandOnTheFaceTowardsTheirSource)
{
    const float orders[][5] = {
        // dx, dy, dz -> pitch, yaw
        {0, 0, -100, 0, 0},     {0, 0, 100, 0, 180},   {100, 0, 0, 0, 270}, {-100, 0, 0, 0, 90},
        {-100, 0, -100, 0, 45}, {0, 100, -100, 45, 0}, {0, 50, 0, 90, 180}, {0, -50, 0, -90, 180},
    };
    for (const auto& r : orders)
    {
        const Orientation o = Ship::OrderOrientation(r[0], r[1], r[2]);
        EXPECT_LT(Length(o - Vector(r[3], r[4], 0)), 1e-3) << r[0] << " " << r[1] << " " << r[2];
    }
    // Both tests are strict: ties fall through to an X face, and 0 counts as negative.
    const float hits[][4] = {
        // towards the source in ship axes -> face
        {0, 1, 0, kFaceTop},           {0, -1, 0, kFaceBottom},     {-1, 0, 0, kFaceLeft},
        {1, 0, 0, kFaceRight},         {0, 0, -1, kFaceFront},      {0, 0, 1, kFaceBack},
        {0.2f, -3, 0.5f, kFaceBottom}, {0.2f, -0.3f, 5, kFaceBack}, {1, 1, 0, kFaceRight},
        {0.5f, 2, 2, kFaceRight},      {0, 1, 1, kFaceLeft},        {0, 0, 0, kFaceLeft},
    };
    for (const auto& h : hits)
    {
        EXPECT_EQ(Ship::HitFace(Vector(h[0], h[1], h[2])), int(h[3])) << h[0] << " " << h[1] << " " << h[2];
    }
}

TEST_F(ShipTest, HitsTurnWithTheShipAndTheFirstNegativeFaceDestroysItOnce)
{
    Ship* enemy = Ready(1, Vector(0, 0, -200));
    Ship* ship = Ready(0, Vector());
    ship->SetOrientation(0, 90, 0); // the nose points along world -X
    std::fill(ship->hull, ship->hull + kHullFaces, 100.0f);
    Vector intoTheNose(1, 0, 0), fromAbove(0, -5, 0), fromPlusZ(0, 0, -1);
    ship->Damage(100, 0, intoTheNose);
    EXPECT_EQ(intoTheNose, Vector(-1, 0, 0)); // negated in place
    ship->Damage(40, 0, fromAbove);
    ship->Damage(25, 0, fromPlusZ); // the left side, with the nose along -X
    EXPECT_EQ(Vector(ship->hull[kFaceFront], ship->hull[kFaceTop], ship->hull[kFaceLeft]), Vector(0, 60, 75));
    EXPECT_TRUE(ship->IsAlive()); // 0 holds

    game->SetOrderType(3);
    ship->SetTarget(enemy);
    ship->Select();
    for (float amount : {0.5f, 500.0f})
    {
        Vector hit(1, 0, 0);
        ship->Damage(amount, 0, hit);
    }
    EXPECT_FALSE(ship->IsAlive());
    EXPECT_EQ(game->WreckCount(), 1); // once
    EXPECT_FALSE(ship->selected || ship->targeted || enemy->targeted);
    EXPECT_EQ(Vector(ship->moveTimeLeft, ship->motionState, ship->hull[kFaceBack]), Vector(1000, 0, 100));
    EXPECT_EQ(ship->gunTurrets[0]->target, nullptr);

    for (int k = 0; k < 3; k++) // a capital ship drifts slowly
    {
        EXPECT_TRUE(std::fabs(ship->velocity[k]) <= 0.1f && std::fabs(ship->spin[k]) <= 0.25f);
    }
}

// Two ships in open space see each other at once. The enemy slipping into a
// dense nebula in its own turn is hidden both ways and leaves a ghost where it
// was when the last observer lost it, on its way in.
TEST_F(ShipTest, ANebulaHidesAShipAndLeavesItsGhostWhereItWasLastSeen)
{
    const Vector cloud = kTestOrigin + Vector(0, 0, -600);
    game->GetEnvironment()->AddRegion(cloud - Vector(100, 100, 100), cloud + Vector(100, 100, 100), 0.5f,
                                      0.0f, Vector(1, 0, 1));
    Ship* hider = Ready(1, Vector(0, 0, -300));
    Ship* hunter = Ready(0, Vector(0, 0, 0)); // spawned: its sweep sees the other
    EXPECT_EQ(Vector(hider->detection[0].state, hunter->detection[1].state, 0), Vector(2, 2, 0));
    EXPECT_TRUE(hider->IsVisibleToCurrentPlayer() && hunter->IsVisibleToCurrentPlayer());
    hunter->sensorRange = hunter->signature = hider->sensorRange = hider->signature = 0.2f;
    game->NextPlayer();
    hider->speed = 5.0f;
    hider->OrderMove(0, 0, -300);
    for (int tick = 0; tick < 200 && hider->detection[0].state == 2; tick++)
    {
        game->Tick();
    }
    EXPECT_EQ(Vector(hider->detection[0].state, hunter->detection[1].state, 0), Vector(1, 1, 0));
    EXPECT_TRUE(hider->detection[0].lastPosition == hider->position && hider->position.z > cloud.z);
    EXPECT_EQ(hider->detection[0].lastOrientation, hider->orientation);
    game->NextPlayer();
    EXPECT_FALSE(hider->IsVisibleToCurrentPlayer());
}

} // namespace
