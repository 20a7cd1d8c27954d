// Players: the camera (pure arithmetic), selection, selection-wide orders,
// removal of destroyed ships and the sensor sweep over a fleet.

#include <gtest/gtest.h>

#include <cmath>

#include "combat/GunTurret.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "world/Environment.h"

TEST(PlayerCamera, DefaultsLookDownAtFortyFiveDegrees)
{
    Player player(nullptr, 2);
    EXPECT_EQ(player.GetIndex(), 2);
    EXPECT_EQ(player.GetHeading(), 45.0f);
    EXPECT_EQ(player.GetZoom(), 1.0f);
    EXPECT_FALSE(player.isCurrent);
    EXPECT_FALSE(player.IsCameraGliding());
    const Vector view = player.GetViewDirection();
    EXPECT_NEAR(view.x, -0.5f, 1e-4);
    EXPECT_NEAR(view.y, -0.7071059942245483f, 1e-7);
    EXPECT_NEAR(view.z, -0.5f, 1e-4);
    player.SetFocus(1, 2, 3);
    EXPECT_EQ(player.GetEyePosition(), Vector(1, 102, 3));
    player.MoveFocus(1, 1, 1);
    EXPECT_EQ(player.cameraFocus, Vector(2, 3, 4));
}

TEST(PlayerCamera, SetHeadingWrapsIntoZeroTo360Inclusive)
{
    Player player(nullptr, 0);
    player.SetHeading(-45);
    EXPECT_EQ(player.GetHeading(), 315.0f);
    player.SetHeading(720);
    EXPECT_EQ(player.GetHeading(), 360.0f);
    player.SetHeading(725);
    EXPECT_EQ(player.GetHeading(), 5.0f);
    player.SetHeading(180);
    EXPECT_NEAR(player.GetViewDirection().z, 0.7071059942245483f, 1e-6);
    // Absurd values end quickly inside the range.
    player.SetHeading(1e30f);
    EXPECT_GE(player.GetHeading(), 0.0f);
    EXPECT_LE(player.GetHeading(), 360.0f);
    player.SetHeading(-1e30f);
    EXPECT_GE(player.GetHeading(), 0.0f);
    EXPECT_LE(player.GetHeading(), 360.0f);
    player.SetHeading(NAN);
    EXPECT_EQ(player.GetHeading(), 0.0f);
}

TEST(PlayerCamera, ZoomKeepsTheViewAngleBetweenFiveAnd120Degrees)
{
    Player player(nullptr, 0);
    player.ChangeZoom(-5);
    EXPECT_EQ(player.GetZoom(), 0.083333336f);
    EXPECT_GE(60.0f * player.GetZoom(), 5.0f);
    player.ChangeZoom(10);
    EXPECT_EQ(player.GetZoom(), 2.0f);
    player.SetZoom(0.5f);
    EXPECT_EQ(player.GetZoom(), 0.5f);
    player.SetZoom(3);
    EXPECT_EQ(player.GetZoom(), 2.0f);
    player.SetZoom(NAN);
    EXPECT_EQ(player.GetZoom(), 0.083333336f);
}

TEST(PlayerCamera, FreeMotionAndTurningArePerSecondRates)
{
    Player player(nullptr, 0);
    player.SetCameraVelocity(20, 0, -40);
    player.SetHeadingRate(-60);
    player.SetHeading(1);
    player.Update();
    EXPECT_NEAR(player.cameraFocus.x, 1.0f, 1e-6);
    EXPECT_NEAR(player.cameraFocus.z, -2.0f, 1e-6);
    EXPECT_NEAR(player.GetHeading(), 358.0f, 1e-4); // 1 - 3 wraps once
    // The focus is kept inside the box of 5000.
    player.SetFocus(4999, 0, -4999);
    player.SetCameraVelocity(1000, 0, -1000);
    player.Update();
    EXPECT_EQ(player.cameraFocus.x, 5000.0f);
    EXPECT_EQ(player.cameraFocus.z, -5000.0f);
}

TEST(PlayerCamera, GlideWithoutXStepEndsAfterTenTicks)
{
    Player player(nullptr, 0);
    player.SetFocus(100, 0, 0);
    player.cameraGoal = Vector(100, 0, -500); // straight along Z: the X step is zero
    player.cameraStep = (player.cameraGoal - player.cameraFocus) * 0.1f;
    player.cameraGliding = 1;
    for (int tick = 1; tick <= 9; tick++)
    {
        player.Update();
        EXPECT_TRUE(player.IsCameraGliding()) << tick;
    }
    player.Update();
    EXPECT_FALSE(player.IsCameraGliding());
    EXPECT_EQ(player.cameraFocus, Vector(100, 0, -500));
    player.Update(); // stays put
    EXPECT_EQ(player.cameraFocus, Vector(100, 0, -500));
}

namespace
{

class PlayerTest : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        game = NewEmptyGame(2);
        me = game->players[0];
        other = game->players[1];
    }
    void TearDown() override
    {
        delete game;
        GLTest::TearDown();
    }
    Game* game = nullptr;
    Player* me = nullptr;
    Player* other = nullptr;
};

} // namespace

TEST_F(PlayerTest, PlainAndAdditiveSelection)
{
    Ship* a = PlaceShip(game, 0, Vector(0, 0, 0));
    Ship* b = PlaceShip(game, 0, Vector(100, 0, 0));
    Ship* c = PlaceShip(game, 0, Vector(0, 30, 300));
    Ship* enemy = PlaceShip(game, 1, Vector(0, 0, -500));

    EXPECT_TRUE(me->SelectShip(b->GetId(), false));
    EXPECT_TRUE(b->selected);
    EXPECT_EQ(me->FirstSelected(), b);
    EXPECT_EQ(me->GetSelectionCentre(), b->GetPosition());

    EXPECT_TRUE(me->SelectShip(a->GetId(), true));
    EXPECT_TRUE(me->SelectShip(c->GetId(), true));
    ASSERT_EQ(me->selection.size(), 3u);
    EXPECT_EQ(me->selection[2], c);
    EXPECT_NEAR(me->GetSelectionCentre().z, kTestOrigin.z + 100.0f, 1e-3);
    EXPECT_NEAR(me->GetSelectionCentre().y, kTestOrigin.y + 10.0f, 1e-3);

    // Additive on a selected ship removes it.
    EXPECT_TRUE(me->SelectShip(a->GetId(), true));
    EXPECT_FALSE(a->selected);
    EXPECT_EQ(me->selection, std::vector<Ship*>({b, c}));

    // Not one of this player's ships: false; a plain click still empties the selection.
    EXPECT_FALSE(me->SelectShip(enemy->GetId(), true));
    EXPECT_EQ(me->selection.size(), 2u);
    EXPECT_FALSE(me->SelectShip(0, false));
    EXPECT_FALSE(me->HasSelection());
    EXPECT_FALSE(b->selected || c->selected);
}

TEST_F(PlayerTest, RemovingTheOnlySelectedShipKeepsTheOldCentre)
{
    Ship* a = PlaceShip(game, 0, Vector(40, 0, 0));
    me->SelectShip(a->GetId(), false);
    const Vector centre = me->GetSelectionCentre();
    EXPECT_TRUE(me->SelectShip(a->GetId(), true));
    EXPECT_FALSE(me->HasSelection());
    EXPECT_EQ(me->GetSelectionCentre(), centre);
}

TEST_F(PlayerTest, NextShipWrapsAndGlidesTheCameraToIt)
{
    // Nothing to select in an empty fleet: nothing happens.
    me->SelectNextShip();
    EXPECT_FALSE(me->HasSelection());
    EXPECT_FALSE(me->IsCameraGliding());

    Ship* a = PlaceShip(game, 0, Vector(0, 0, 0));
    Ship* b = PlaceShip(game, 0, Vector(300, 0, 0));
    me->SelectNextShip();
    EXPECT_EQ(me->selection, std::vector<Ship*>({a}));
    me->SelectNextShip();
    EXPECT_EQ(me->selection, std::vector<Ship*>({b}));
    EXPECT_FALSE(a->selected);
    EXPECT_TRUE(b->selected);
    me->SelectNextShip(); // the last ship wraps to the first
    EXPECT_EQ(me->selection, std::vector<Ship*>({a}));

    // The glide ends with the eye 200 back from the ship along the view.
    me->SelectNextShip();
    ASSERT_TRUE(me->IsCameraGliding());
    int ticks = 0;
    while (me->IsCameraGliding() && ticks < 100)
    {
        me->Update();
        ticks++;
    }
    EXPECT_LE(ticks, 10);
    const Vector view = me->GetViewDirection();
    const Vector eye = me->GetEyePosition();
    const Vector p = b->GetPosition();
    EXPECT_NEAR(eye.x, p.x - 200 * view.x, 1e-2);
    EXPECT_NEAR(eye.y, p.y - 200 * view.y, 1e-2);
    EXPECT_NEAR(eye.z, p.z - 200 * view.z, 1e-2);
}

TEST_F(PlayerTest, DeselectAllAndReselectAllKeepTheList)
{
    Ship* a = PlaceShip(game, 0, Vector());
    me->SelectShip(a->GetId(), false);
    me->DeselectAll();
    EXPECT_FALSE(a->selected);
    EXPECT_EQ(me->selection.size(), 1u);
    me->ReselectAll();
    EXPECT_TRUE(a->selected);
}

TEST_F(PlayerTest, SelectionOrdersKeepTheFormation)
{
    Ship* a = PlaceShip(game, 0, Vector(0, 0, 0));
    Ship* b = PlaceShip(game, 0, Vector(100, 0, 0));
    SettleFleets(game);
    me->SelectShip(a->GetId(), true);
    me->SelectShip(b->GetId(), true);
    const Vector goal = kTestOrigin + Vector(50, 20, -400);
    me->MoveSelection(goal.x, goal.y, goal.z);
    EXPECT_EQ(a->destination, kTestOrigin + Vector(0, 20, -400));
    EXPECT_EQ(b->destination, kTestOrigin + Vector(100, 20, -400));
    EXPECT_EQ(a->motionState, Ship::Aligning);

    me->RotateSelection(kTestOrigin.x + 50, kTestOrigin.y, kTestOrigin.z); // between them
    EXPECT_NEAR(a->wantedOrientation.y, 270.0f, 1e-3);
    EXPECT_NEAR(b->wantedOrientation.y, 90.0f, 1e-3);
    EXPECT_EQ(a->motionState, Ship::Rotating);

    me->StopSelection();
    EXPECT_EQ(a->motionState, Ship::Stopped);
    EXPECT_EQ(b->spin, Vector());

    me->ToggleLightsOfSelection();
    EXPECT_FALSE(a->lightsOn || b->lightsOn);
}

TEST_F(PlayerTest, TargetWithSelectionByOrderType)
{
    Ship* a = PlaceShip(game, 0, Vector(0, 0, 0));
    Ship* b = PlaceShip(game, 0, Vector(100, 0, 0));
    Ship* enemy = PlaceShip(game, 1, Vector(0, 0, -500));
    me->SelectShip(a->GetId(), true);
    me->SelectShip(b->GetId(), true);

    game->SetOrderType(2);
    me->TargetWithSelection(enemy);
    EXPECT_EQ(a->target, nullptr);

    game->SetOrderType(4);
    me->TargetWithSelection(enemy);
    EXPECT_EQ(a->target, enemy);
    EXPECT_EQ(b->target, enemy);

    game->SetOrderType(3);
    me->TargetWithSelection(nullptr);
    EXPECT_EQ(a->target, nullptr);
    EXPECT_FALSE(enemy->targeted);

    // Type 5: the selected turrets of the first selected ship only.
    ASSERT_FALSE(a->gunTurrets.empty());
    a->SelectPart(int(a->beamTurrets.size()));
    b->SelectPart(int(b->beamTurrets.size()));
    game->SetOrderType(5);
    me->TargetWithSelection(enemy);
    EXPECT_EQ(a->gunTurrets[0]->target, enemy);
    EXPECT_EQ(b->gunTurrets[0]->target, nullptr);
    EXPECT_EQ(a->target, nullptr);
}

TEST_F(PlayerTest, DeadShipLeavesAWaitingFleetAtOnceAndTheCurrentOneOnItsNextUpdate)
{
    Ship* mine = PlaceShip(game, 0, Vector());
    Ship* theirs = PlaceShip(game, 1, Vector(0, 0, -300));
    Ship* theirs2 = PlaceShip(game, 1, Vector(50, 0, -300));
    SettleFleets(game);
    me->SelectShip(mine->GetId(), false);
    game->SetOrderType(3);
    mine->SetTarget(theirs);

    theirs->alive = false;
    me->RemoveShip(theirs);
    other->RemoveShip(theirs);
    EXPECT_EQ(other->FleetSize(), 1); // waiting player: at once
    EXPECT_EQ(mine->target, nullptr);

    mine->alive = false;
    me->RemoveShip(mine);
    other->RemoveShip(mine);
    EXPECT_EQ(me->FleetSize(), 1); // current player: still listed
    EXPECT_FALSE(me->HasSelection());
    me->Update();
    EXPECT_EQ(me->FleetSize(), 0);
    EXPECT_FALSE(theirs2->detection[0].observers[mine->GetId()]); // forgotten as an observer
    delete theirs;
    delete mine;
}

TEST_F(PlayerTest, SensorSweepMarksBothWays)
{
    Ship* mine = PlaceShip(game, 0, Vector());
    Ship* theirs = PlaceShip(game, 1, Vector(0, 0, -800));
    mine->detection.clear();
    theirs->detection.clear();
    other->SensorSweep(mine); // open space: always seen, whatever the sensor values
    EXPECT_EQ(mine->detection[1].state, 2);
    EXPECT_TRUE(mine->detection[1].observers[theirs->GetId()]);
    EXPECT_EQ(theirs->detection[0].state, 2);
    EXPECT_TRUE(theirs->detection[0].observers[mine->GetId()]);

    // A cloud between them hides each from the other's weak sensors.
    const Vector c = kTestOrigin + Vector(0, 0, -400);
    game->GetEnvironment()->AddRegion(c - Vector(100, 100, 100), c + Vector(100, 100, 100), 0.5f, 0.0f,
                                      Vector(1, 1, 1));
    mine->sensorRange = mine->signature = 0.5f;
    theirs->sensorRange = theirs->signature = 0.5f;
    other->SensorSweep(mine);
    EXPECT_EQ(mine->detection[1].state, 1);
    EXPECT_EQ(theirs->detection[0].state, 1);
    // Strong sensors see through it: the signature and range add up against the cloud.
    theirs->sensorRange = 1000.0f;
    other->SensorSweep(mine);
    EXPECT_EQ(mine->detection[1].state, 2);
    EXPECT_EQ(theirs->detection[0].state, 1);
}
