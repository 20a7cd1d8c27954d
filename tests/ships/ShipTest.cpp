// Ships in a real game: construction from markers, orders and motion tick by
// tick, damage, detection and forgetting.

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

AseNode* MakeNode(const std::string& type, const std::vector<float>& properties, Vector position = Vector(),
                  Vector rotation = Vector())
{
    AseNode* node = new AseNode();
    node->type = type;
    node->name = type + "1";
    node->position = position;
    node->rotation = rotation;
    node->propertyCount = int32_t(properties.size());
    for (size_t i = 0; i < properties.size(); i++)
    {
        node->properties[i] = properties[i];
    }
    return node;
}

// Puts a scene of given markers into a class model for the life of the object.
class SceneSwap
{
  public:
    SceneSwap(Model* model_, const std::vector<AseNode*>& nodes) : model(model_), old(model_->scene)
    {
        model->scene = new AseGroup("test");
        model->scene->nodes = nodes;
    }
    ~SceneSwap()
    {
        delete model->scene;
        model->scene = old;
    }

  private:
    Model* model;
    AseGroup* old;
};

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

    // A ship with known rates, spawned and with a full turn of time.
    Ship* ReadyShip(int player = 0, Vector offset = Vector())
    {
        Ship* ship = PlaceShip(game, player, offset);
        ship->speed = 2.0f;
        ship->turnRate = Vector(1.0f, 3.0f, 1.0f);
        ship->Update();
        ship->NewTurn();
        return ship;
    }

    Game* game = nullptr;
};

} // namespace

TEST_F(ShipTest, ConstructorSetsEveryDefault)
{
    Ship ship(77, 1, game);
    EXPECT_EQ(ship.GetId(), 77u);
    EXPECT_EQ(ship.GetOwner(), 1);
    EXPECT_EQ(ship.game, game);
    for (int face = 0; face < kHullFaces; face++)
    {
        EXPECT_EQ(ship.hull[face], 1000.0f);
        EXPECT_EQ(ship.hullMax[face], 1000.0f);
    }
    EXPECT_EQ(ship.moveTimePerTurn, 10.0f);
    EXPECT_EQ(ship.speed, 1.0f);
    EXPECT_EQ(ship.turnRate, Vector(1, 1, 1));
    EXPECT_EQ(ship.GetSensorRange(), 1.0f);
    EXPECT_EQ(ship.GetSignature(), 1.0f);
    EXPECT_EQ(ship.motionState, Ship::Spawned);
    EXPECT_EQ(ship.GetPosition(), Vector(-50, 0, -50));
    EXPECT_TRUE(ship.lightsOn);
    EXPECT_FALSE(ship.selected || ship.targeted);
    EXPECT_TRUE(ship.IsAlive());
    EXPECT_EQ(ship.target, nullptr);
    EXPECT_NE(ship.panel, nullptr);
    EXPECT_TRUE(glIsList(ship.sensorList) || ship.sensorList != 0);
    EXPECT_TRUE(ship.detection.empty());
}

TEST_F(ShipTest, AssembleReadsPartsAndStatisticsFromMarkers)
{
    Model* model = game->FindShipModel("battlefrigate");
    SceneSwap swap(model, {MakeNode("speed", {20, 40, 60, 80}), MakeNode("sensor", {7, 300}),
                           MakeNode("hull", {10, 20, 30, 40, 50, 60}), MakeNode("gunturret", {}),
                           MakeNode("light", {3, 2, 99}, Vector(1, 2, 3)), MakeNode("hangar", {2.9f}),
                           MakeNode("beamturret", {}), MakeNode("guns", {}),
                           MakeNode("gunturret_base", {}, Vector(4, 5, 6), Vector(0, 0, 90))});
    Ship ship(5, 0, game);
    ship.Assemble(model, 0);

    EXPECT_FLOAT_EQ(ship.speed, 1.0f);
    EXPECT_FLOAT_EQ(ship.turnRate.x, 2.0f);
    EXPECT_FLOAT_EQ(ship.turnRate.y, 3.0f);
    EXPECT_FLOAT_EQ(ship.turnRate.z, 4.0f);
    // The first sensor property is the signature, the second the range.
    EXPECT_EQ(ship.signature, 7.0f);
    EXPECT_EQ(ship.sensorRange, 300.0f);
    // Front, back, left, right, top, bottom.
    const float expected[kHullFaces] = {50, 60, 30, 40, 10, 20};
    for (int face = 0; face < kHullFaces; face++)
    {
        EXPECT_EQ(ship.hull[face], expected[face]) << face;
        EXPECT_EQ(ship.hullMax[face], expected[face]) << face;
    }
    ASSERT_EQ(ship.beamTurrets.size(), 1u);
    ASSERT_EQ(ship.gunTurrets.size(), 2u);
    EXPECT_FALSE(ship.gunTurrets[0]->fixed);
    EXPECT_TRUE(ship.gunTurrets[1]->fixed);
    ASSERT_EQ(ship.hangars.size(), 1u);
    EXPECT_EQ(ship.hangars[0]->squadronsLeft, 2);
    ASSERT_EQ(ship.lights.size(), 1u);
    EXPECT_EQ(ship.lights[0]->position, Vector(1, 3, 2));
    EXPECT_EQ(ship.lights[0]->size, 3.0f);
    EXPECT_EQ(ship.lights[0]->blinkPeriod, 2.0f);
    EXPECT_NE(ship.lights[0]->list, 0u);
    ASSERT_EQ(ship.subobjects.size(), 1u);
    EXPECT_EQ(ship.subobjects[0]->name, "gunturret_base");
    EXPECT_EQ(ship.subobjects[0]->mesh, game->FindObjectModel("gunturret_base"));
    EXPECT_EQ(ship.subobjects[0]->position, Vector(4, 6, 5));
    EXPECT_EQ(ship.subobjects[0]->rotation, Vector(0, 90, 0));
    // Part 0 is the first beam turret.
    EXPECT_TRUE(ship.beamTurrets[0]->IsSelected());
    EXPECT_FALSE(ship.gunTurrets[0]->IsSelected());
}

TEST_F(ShipTest, AssembleWithoutMarkersKeepsTheDefaults)
{
    Model* model = game->FindShipModel("battlefrigate");
    SceneSwap swap(model, {});
    Ship ship(5, 0, game);
    ship.Assemble(model, 0);
    EXPECT_EQ(ship.model, model);
    EXPECT_EQ(ship.speed, 1.0f);
    EXPECT_EQ(ship.hull[kFaceFront], 1000.0f);
    EXPECT_TRUE(ship.beamTurrets.empty() && ship.gunTurrets.empty() && ship.hangars.empty());
    EXPECT_TRUE(ship.subobjects.empty() && ship.lights.empty());
}

TEST_F(ShipTest, SelectPartCountsBeamsThenGunsThenHangars)
{
    Model* model = game->FindShipModel("battlefrigate");
    SceneSwap swap(model, {MakeNode("hangar", {1}), MakeNode("guns", {}), MakeNode("beamturret", {}),
                           MakeNode("beamturret", {})});
    Ship ship(5, 0, game);
    ship.Assemble(model, 0);
    auto selected = [&ship]()
    {
        std::vector<bool> flags;
        for (BeamTurret* t : ship.beamTurrets)
            flags.push_back(t->IsSelected());
        for (GunTurret* t : ship.gunTurrets)
            flags.push_back(t->IsSelected());
        for (Hangar* h : ship.hangars)
            flags.push_back(h->IsSelected());
        return flags;
    };
    EXPECT_EQ(selected(), std::vector<bool>({true, false, false, false}));
    ship.SelectPart(2);
    EXPECT_EQ(selected(), std::vector<bool>({false, false, true, false}));
    ship.SelectPart(3);
    EXPECT_EQ(selected(), std::vector<bool>({false, false, false, true}));
    ship.SelectPart(4);
    EXPECT_EQ(selected(), std::vector<bool>({false, false, false, false}));
    ship.SelectPart(-1);
    EXPECT_EQ(selected(), std::vector<bool>({false, false, false, false}));
}

TEST_F(ShipTest, RealClassModelsGiveTheirMarkerStatistics)
{
    for (const char* cls : {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter"})
    {
        Model* model = game->FindShipModel(cls);
        ASSERT_NE(model, nullptr) << cls;
        Ship ship(5, 0, game);
        ship.Assemble(model, 0);
        for (AseNode* node : model->scene->nodes)
        {
            if (node->type == "hull")
            {
                EXPECT_EQ(ship.hull[kFaceFront], node->properties[0]) << cls;
                EXPECT_EQ(ship.hull[kFaceTop], node->properties[4]) << cls;
            }
            if (node->type == "sensor")
            {
                EXPECT_EQ(ship.signature, node->properties[0]) << cls;
            }
        }
    }
}

// A ship ordered to move turns on the spot until each axis is within 4
// degrees, then flies straight at its speed and snaps onto the destination.
TEST_F(ShipTest, MoveOrderAlignsFliesAndSnapsOntoTheDestination)
{
    Ship* ship = ReadyShip();
    const Vector start = ship->GetPosition();
    ship->OrderMove(301, 0, 0); // wants yaw 270: 90 degrees to turn the short way
    EXPECT_EQ(ship->motionState, Ship::Aligning);
    EXPECT_EQ(ship->spin, Vector(0, -3, 0));
    EXPECT_EQ(ship->destination, start + Vector(301, 0, 0));

    int aligningTicks = 0;
    int movingTicks = 0;
    for (int tick = 0; tick < 1000 && ship->motionState != Ship::Stopped; tick++)
    {
        const bool wasAligning = ship->motionState == Ship::Aligning;
        const float timeBefore = ship->moveTimeLeft;
        ship->Update();
        EXPECT_NEAR(timeBefore - ship->moveTimeLeft, 0.05f, 1e-5);
        if (wasAligning)
        {
            aligningTicks++;
            EXPECT_EQ(ship->GetPosition(), start); // no flight while turning
        }
        else
        {
            movingTicks++;
        }
    }
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    EXPECT_EQ(ship->GetPosition(), start + Vector(301, 0, 0));
    EXPECT_EQ(ship->velocity, Vector());
    EXPECT_LT(std::fabs(AngleDifference(ship->GetOrientation().y, 270.0f)), 4.0f);
    // 90 degrees at 3 per tick; 301 units at 2 per tick, the last ones snapped.
    EXPECT_NEAR(aligningTicks, 29, 1);
    EXPECT_NEAR(movingTicks, 146, 1);
}

TEST_F(ShipTest, TenSecondsOfMovementTimeLastExactlyTwoHundredTicks)
{
    Ship* ship = ReadyShip();
    ship->OrderMove(0, 0, -100000); // straight ahead: no turn needed
    Vector last = ship->GetPosition();
    int ticksWithMotion = 0;
    for (int tick = 0; tick < 400; tick++)
    {
        ship->Update();
        if (ship->GetPosition() != last || ship->motionState != Ship::Stopped)
        {
            ticksWithMotion++;
        }
        last = ship->GetPosition();
    }
    EXPECT_EQ(ticksWithMotion, 200);
    EXPECT_EQ(ship->moveTimeLeft, 0.0f);
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    // One aligning tick, then 199 ticks of flight at speed 2; it halts where it is.
    EXPECT_NEAR(kTestOrigin.z - ship->GetPosition().z, 398.0f, 2.1f);

    // The next turn refills the time and the ship can be ordered on.
    ship->NewTurn();
    EXPECT_EQ(ship->moveTimeLeft, 10.0f);
}

TEST_F(ShipTest, OrderWithoutTimeOnlyRemembersItsGoal)
{
    Ship* ship = PlaceShip(game, 0, Vector());
    ship->Update(); // spawned; no turn has started, so no movement time
    ASSERT_EQ(ship->moveTimeLeft, 0.0f);
    const Vector start = ship->GetPosition();
    ship->OrderMove(-100, 0, 0);
    EXPECT_EQ(ship->destination, start + Vector(-100, 0, 0));
    EXPECT_NEAR(ship->wantedOrientation.y, 90.0f, 1e-3);
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    EXPECT_EQ(ship->spin, Vector());
    ship->OrderRotate(0, 0, 100);
    EXPECT_NEAR(ship->wantedOrientation.y, 180.0f, 1e-3);
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    for (int i = 0; i < 5; i++)
    {
        ship->Update();
    }
    EXPECT_EQ(ship->GetPosition(), start);
    EXPECT_EQ(ship->GetOrientation(), Vector());
}

TEST_F(ShipTest, ShortMoveSnapsOnTheFirstMovingTick)
{
    Ship* ship = ReadyShip();
    const Vector start = ship->GetPosition();
    ship->OrderMove(0, 3, -6);
    ship->wantedOrientation = Vector(); // close enough to need no turn
    ship->spin = Vector();
    ship->Update(); // aligned: starts flying
    EXPECT_EQ(ship->motionState, Ship::Moving);
    ship->Update();
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    EXPECT_EQ(ship->GetPosition(), start + Vector(0, 3, -6));
}

TEST_F(ShipTest, RotateOrderTurnsInPlaceToWithinTwoDegrees)
{
    Ship* ship = ReadyShip();
    const Vector start = ship->GetPosition();
    ship->OrderRotate(-100, 0, 0);
    EXPECT_EQ(ship->motionState, Ship::Rotating);
    int ticks = 0;
    while (ship->motionState == Ship::Rotating && ticks < 1000)
    {
        ship->Update();
        ticks++;
    }
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    EXPECT_EQ(ship->GetPosition(), start);
    EXPECT_LT(std::fabs(AngleDifference(ship->GetOrientation().y, 90.0f)), 2.0f);
    EXPECT_EQ(ticks, 30);
    EXPECT_NEAR(ship->moveTimeLeft, 10.0f - 30 * 0.05f, 1e-4);

    ship->OrderMove(0, 0, -50);
    ship->Stop();
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    EXPECT_EQ(ship->spin, Vector());
    EXPECT_NEAR(ship->moveTimeLeft, 10.0f - 30 * 0.05f, 1e-4); // Stop keeps the time
}

TEST_F(ShipTest, HitsLandOnTheFaceTowardsTheirSource)
{
    Ship* ship = ReadyShip();
    for (int face = 0; face < kHullFaces; face++)
    {
        ship->hull[face] = 1000.0f;
    }
    ship->SetOrientation(0, 90, 0); // the nose points along world -X
    Vector alongPlusX(1, 0, 0);     // fired from the -X side, into the nose
    ship->Damage(100, 0, alongPlusX);
    EXPECT_EQ(alongPlusX, Vector(-1, 0, 0)); // negated in place
    EXPECT_EQ(ship->hull[kFaceFront], 900.0f);

    Vector down(0, -5, 0); // from above
    ship->Damage(50, 0, down);
    EXPECT_EQ(ship->hull[kFaceTop], 950.0f);

    Vector alongMinusZ(0, 0, -1); // from world +Z: its left side once the nose points along -X
    ship->Damage(25, 0, alongMinusZ);
    Vector local;
    UnrotateByAngles(Vector(0, 0, 1), local, ship->GetOrientation());
    EXPECT_EQ(ship->hull[Ship::HitFace(local)], 975.0f);
    EXPECT_EQ(ship->hull[kFaceLeft], 975.0f);
    EXPECT_TRUE(ship->IsAlive());
}

TEST_F(ShipTest, ZeroHullHoldsAndTheFirstNegativeValueDestroysOnce)
{
    Ship* enemy = ReadyShip(1, Vector(0, 0, -200));
    Ship* ship = ReadyShip(0);
    game->SetOrderType(3);
    ship->SetTarget(enemy);
    ship->Select();
    for (int face = 0; face < kHullFaces; face++)
    {
        ship->hull[face] = 100.0f;
    }
    Vector hit(0, 0, 1); // into the front
    ship->Damage(100, 0, hit);
    EXPECT_EQ(ship->hull[kFaceFront], 0.0f);
    EXPECT_TRUE(ship->IsAlive());
    EXPECT_EQ(game->WreckCount(), 0);

    hit = Vector(0, 0, 1);
    ship->Damage(0.5f, 0, hit);
    EXPECT_FALSE(ship->IsAlive());
    EXPECT_EQ(game->WreckCount(), 1);
    EXPECT_FALSE(ship->selected || ship->targeted);
    EXPECT_FALSE(enemy->targeted);
    EXPECT_EQ(ship->moveTimeLeft, 1000.0f);
    EXPECT_EQ(ship->motionState, Ship::Stopped);
    EXPECT_EQ(ship->hull[kFaceBack], 100.0f); // other faces keep their values
    for (int k = 0; k < 3; k++)
    {
        EXPECT_LE(std::fabs(ship->velocity[k]), 0.1f);
        EXPECT_LE(std::fabs(ship->spin[k]), 0.25f);
    }
    for (BeamTurret* turret : ship->beamTurrets)
        EXPECT_EQ(turret->target, nullptr);
    for (GunTurret* turret : ship->gunTurrets)
        EXPECT_EQ(turret->target, nullptr);

    hit = Vector(0, 0, 1);
    ship->Damage(500, 0, hit);
    EXPECT_EQ(game->WreckCount(), 1); // destroyed once
}

TEST_F(ShipTest, DestroyedFighterTumblesFaster)
{
    Ship* fighter = PlaceShip(game, 0, Vector(), "smallfighter");
    fighter->hull[kFaceFront] = 1.0f;
    Vector hit(0, 0, 1);
    fighter->Damage(10, 0, hit);
    ASSERT_FALSE(fighter->IsAlive());
    float largest = 0.0f;
    for (int k = 0; k < 3; k++)
    {
        EXPECT_LE(std::fabs(fighter->velocity[k]), 1.0f);
        EXPECT_LE(std::fabs(fighter->spin[k]), 0.75f);
        largest = std::max(largest, std::fabs(fighter->velocity[k]));
    }
    EXPECT_GT(largest, 0.0f);
}

TEST_F(ShipTest, DetectionStatesFollowTheObservers)
{
    Ship* ship = ReadyShip(1);
    ship->MarkUnseen(40, 0);
    EXPECT_EQ(ship->detection[0].state, 0); // never seen stays never seen
    EXPECT_FALSE(ship->detection[0].observers.at(40));

    ship->MarkSeen(41, 0);
    ship->MarkSeen(42, 0);
    EXPECT_EQ(ship->detection[0].state, 2);
    ship->MarkUnseen(41, 0);
    EXPECT_EQ(ship->detection[0].state, 2); // 42 still sees it
    ship->SetPosition(1, 2, 3);
    ship->SetOrientation(4, 5, 6);
    ship->MarkUnseen(42, 0);
    EXPECT_EQ(ship->detection[0].state, 1);
    EXPECT_EQ(ship->detection[0].lastPosition, Vector(1, 2, 3));
    EXPECT_EQ(ship->detection[0].lastOrientation, Vector(4, 5, 6));
    ship->SetPosition(9, 9, 9);
    ship->MarkUnseen(42, 0);
    EXPECT_EQ(ship->detection[0].lastPosition, Vector(1, 2, 3)); // written only on the drop

    // Visibility is per viewer; the owner always sees its own ship.
    EXPECT_FALSE(ship->IsVisibleToCurrentPlayer());
    ship->MarkSeen(41, 0);
    EXPECT_TRUE(ship->IsVisibleToCurrentPlayer());
    Ship* own = ReadyShip(0);
    EXPECT_TRUE(own->IsVisibleToCurrentPlayer());
}

// An enemy inside a dense nebula is hidden from a ship outside it; once seen in
// open space, it becomes a ghost where it was when it slipped into the cloud.
TEST_F(ShipTest, NebulaHidesAShipAndLeavesAGhostWhereItSlippedAway)
{
    const Vector cloudCentre = kTestOrigin + Vector(0, 0, -600);
    const Vector half(100, 100, 100);
    game->GetEnvironment()->AddRegion(cloudCentre - half, cloudCentre + half, 0.5f, 0.0f, Vector(1, 0, 1));

    Ship* hunter = ReadyShip(0, Vector(0, 0, 0));
    Ship* hider = ReadyShip(1, Vector(0, 0, -600)); // in the middle of the cloud
    for (Ship* ship : {hunter, hider})
    {
        ship->sensorRange = 0.2f;
        ship->signature = 0.2f;
    }
    hider->detection.clear();
    hunter->OrderMove(100, 0, 0);
    for (int tick = 0; tick < 60; tick++)
    {
        game->Tick();
    }
    EXPECT_NE(hunter->velocity, Vector()); // it has been flying, sweeping as it went
    EXPECT_EQ(hider->detection[0].state, 0);
    EXPECT_FALSE(hider->IsVisibleToCurrentPlayer());
    EXPECT_EQ(hunter->detection[1].state, 0); // the cloud hides both ways

    // In open space the hider is seen at once.
    hider->SetPosition(cloudCentre.x, cloudCentre.y, cloudCentre.z + 300);
    hunter->OrderMove(100, 0, 0);
    for (int tick = 0; tick < 30; tick++)
    {
        game->Tick();
    }
    EXPECT_EQ(hider->detection[0].state, 2);
    EXPECT_TRUE(hider->IsVisibleToCurrentPlayer());

    // The hider's turn: it slips back into the cloud.
    game->NextPlayer();
    ASSERT_EQ(game->GetCurrentPlayer()->GetIndex(), 1);
    hider->speed = 5.0f;
    hider->OrderMove(0, 0, -300);
    Vector lostAt;
    for (int tick = 0; tick < 200 && hider->detection[0].state == 2; tick++)
    {
        lostAt = hider->GetPosition();
        game->Tick();
        lostAt = hider->GetPosition();
    }
    EXPECT_EQ(hider->detection[0].state, 1);
    EXPECT_EQ(hider->detection[0].lastPosition, lostAt);
    EXPECT_GT(hider->detection[0].lastPosition.z, cloudCentre.z); // lost on the way in
    game->NextPlayer();
    EXPECT_FALSE(hider->IsVisibleToCurrentPlayer());
}

TEST_F(ShipTest, TargetOrdersDependOnTheOrderType)
{
    Ship* enemy = ReadyShip(1, Vector(0, 0, -300));
    Ship* other = ReadyShip(1, Vector(100, 0, -300));
    Ship* ship = ReadyShip(0);
    ASSERT_FALSE(ship->gunTurrets.empty());

    game->SetOrderType(1);
    ship->SetTarget(enemy);
    EXPECT_EQ(ship->target, nullptr);

    game->SetOrderType(3);
    ship->SetTarget(enemy);
    EXPECT_EQ(ship->target, enemy);
    EXPECT_TRUE(enemy->targeted);
    for (GunTurret* turret : ship->gunTurrets)
        EXPECT_EQ(turret->target, enemy);

    ship->SetTarget(other);
    EXPECT_FALSE(enemy->targeted);
    EXPECT_TRUE(other->targeted);

    // Type 5: only the selected turrets, the ship's target stays.
    ship->SelectPart(int(ship->beamTurrets.size())); // the first gun turret
    game->SetOrderType(5);
    ship->SetTarget(enemy);
    EXPECT_EQ(ship->target, other);
    EXPECT_EQ(ship->gunTurrets[0]->target, enemy);
    if (ship->gunTurrets.size() > 1)
    {
        EXPECT_EQ(ship->gunTurrets[1]->target, other);
    }

    // Forgetting the enemy clears the turret aimed at it on its own.
    ship->Forget(enemy);
    EXPECT_EQ(ship->gunTurrets[0]->target, nullptr);
    EXPECT_EQ(ship->target, other);
    ship->Forget(other);
    EXPECT_EQ(ship->target, nullptr);
    for (GunTurret* turret : ship->gunTurrets)
        EXPECT_EQ(turret->target, nullptr);
}

TEST_F(ShipTest, ForgetDropsTheDeadShipAsAnObserver)
{
    Ship* enemy = ReadyShip(1);
    Ship* ship = ReadyShip(0);
    ship->detection.clear();
    ship->MarkSeen(enemy->GetId(), 1);
    ship->Forget(enemy);
    EXPECT_EQ(ship->detection[1].state, 1);
    EXPECT_FALSE(ship->detection[1].observers[enemy->GetId()]);

    // A ship of the same player is no observer of it.
    Ship* mate = ReadyShip(0);
    ship->detection.clear();
    ship->Forget(mate);
    EXPECT_TRUE(ship->detection.empty());
}

TEST_F(ShipTest, SelectionFlagsCarryToTheTarget)
{
    Ship* enemy = ReadyShip(1);
    Ship* ship = ReadyShip(0);
    game->SetOrderType(3);
    ship->SetTarget(enemy);
    enemy->targeted = false;
    EXPECT_FALSE(ship->ToggleSelectIfId(ship->GetId() + 1000));
    EXPECT_FALSE(ship->selected);
    EXPECT_TRUE(ship->ToggleSelectIfId(ship->GetId()));
    EXPECT_TRUE(ship->selected && enemy->targeted);
    EXPECT_TRUE(ship->ToggleSelectIfId(ship->GetId()));
    EXPECT_FALSE(ship->selected || enemy->targeted);
    ship->Select();
    EXPECT_TRUE(enemy->targeted);
    ship->Deselect();
    EXPECT_FALSE(enemy->targeted);
    EXPECT_TRUE(ship->HasId(ship->GetId()));
    ship->ToggleLights();
    EXPECT_FALSE(ship->lightsOn);
}

TEST_F(ShipTest, LightsBlinkWithTheirPeriod)
{
    Model* model = game->FindShipModel("battlefrigate");
    SceneSwap swap(model, {MakeNode("light", {4, 0.5f}), MakeNode("light", {})});
    Ship ship(5, 0, game);
    ship.Assemble(model, 0);
    ship.motionState = Ship::Stopped;
    ASSERT_EQ(ship.lights.size(), 2u);
    EXPECT_EQ(ship.lights[1]->size, 5.0f);
    float highest = 0.0f;
    for (int tick = 0; tick < 40; tick++)
    {
        ship.Update();
        highest = std::max(highest, ship.lights[0]->blinkTime);
        EXPECT_LE(ship.lights[0]->blinkTime, 0.5f);
        EXPECT_EQ(ship.lights[1]->blinkTime, 0.0f); // steady: always back to 0
    }
    EXPECT_GT(highest, 0.4f);
}

// Death tests open the display in the child only: the parent must not hold it.
class ShipAssembleDeathTest : public ::testing::Test
{
};

TEST_F(ShipAssembleDeathTest, HullWithAColonIsAnUnknownSubobject)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            OpenGameDisplay();
            Game* game = NewEmptyGame(2);
            Model* model = game->FindShipModel("battlefrigate");
            SceneSwap swap(model, {MakeNode("hull:", {})});
            Ship ship(5, 0, game);
            ship.Assemble(model, 0);
        },
        ::testing::ExitedWithCode(0), "Cannot find subobject hull:");
}

TEST_F(ShipAssembleDeathTest, MissingTurretModelsAreFatal)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            OpenGameDisplay();
            Game* game = NewEmptyGame(2);
            delete game->objectModels.back(); // "beamturret"
            game->objectModels.pop_back();
            Model* model = game->FindShipModel("battlefrigate");
            SceneSwap swap(model, {MakeNode("beamturret", {})});
            Ship ship(5, 0, game);
            ship.Assemble(model, 0);
        },
        ::testing::ExitedWithCode(0), "Cannot find subobject beamturret");
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            OpenGameDisplay();
            Game* game = NewEmptyGame(2);
            delete game->objectModels[2]; // "gunturret_guns"
            game->objectModels.erase(game->objectModels.begin() + 2);
            Model* model = game->FindShipModel("battlefrigate");
            SceneSwap swap(model, {MakeNode("gunturret", {})});
            Ship ship(5, 0, game);
            ship.Assemble(model, 0);
        },
        ::testing::ExitedWithCode(0), "Cannot find subobject gunturret_guns");
}
