// Players: the camera, selection, the orders given to a selection and the
// sensor sweep over a fleet.

#include <gtest/gtest.h>

#include "combat/GunTurret.h"
#include "game/FatalExitGuard.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "world/Environment.h"

TEST(PlayerCamera, HeadingZoomAndFreeMotion)
{
    Player player(nullptr, 0);
    EXPECT_EQ(player.GetViewDirection(), Vector(-0.499999106f, -0.707105994f, -0.499999762f)) << "heading 45";
    const float headings[][2] = {{-45, 315}, {720, 360}, {725, 5}};
    for (const auto& row : headings)
    {
        player.SetHeading(row[0]);
        EXPECT_EQ(player.GetHeading(), row[1]) << row[0];
    }
    const float zooms[][2] = {{0.01f, 0.083333336f}, {0.5f, 0.5f}, {3, 2}};
    for (const auto& row : zooms)
    {
        player.SetZoom(row[0]);
        EXPECT_EQ(player.GetZoom(), row[1]) << row[0];
    }
    player.ChangeZoom(-0.25f);
    EXPECT_EQ(player.GetZoom(), 1.75f);

    player.SetHeading(1);
    player.SetCameraVelocity(20, 0, -40); // per second
    player.SetHeadingRate(-60);
    player.Update();
    EXPECT_EQ(player.cameraFocus, Vector(1, 0, -2));
    EXPECT_EQ(player.GetHeading(), 358.0f);
    EXPECT_EQ(player.GetEyePosition(), Vector(1, 100, -2));
    player.SetFocus(4999, 0, -4999);
    player.SetCameraVelocity(1000, 0, -1000);
    player.Update();
    EXPECT_EQ(player.cameraFocus, Vector(5000, 0, -5000));
}

namespace
{

class PlayerTest : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        game = new Game(2, "map1");
        me = game->players[0];
    }
    void TearDown() override
    {
        delete game;
        GLTest::TearDown();
    }
    Game* game = nullptr;
    Player* me = nullptr;
};

} // namespace

TEST_F(PlayerTest, SelectionAndNextShipWithItsCameraGlide)
{
    std::vector<Ship*>& fleet = me->fleet;
    EXPECT_TRUE(me->SelectShip(fleet[1]->GetId(), false));
    EXPECT_TRUE(me->SelectShip(fleet[3]->GetId(), true));
    EXPECT_FALSE(me->SelectShip(game->players[1]->fleet[0]->GetId(), true)) << "not this player's ship";
    EXPECT_EQ(me->selection, std::vector<Ship*>({fleet[1], fleet[3]}));
    EXPECT_EQ(me->GetSelectionCentre(), fleet[2]->GetPosition());
    EXPECT_TRUE(me->SelectShip(fleet[1]->GetId(), true)); // added again: removed
    EXPECT_TRUE(me->SelectShip(fleet[3]->GetId(), true));
    EXPECT_FALSE(me->HasSelection() || fleet[1]->selected || fleet[3]->selected);
    EXPECT_EQ(me->GetSelectionCentre(), fleet[3]->GetPosition()) << "not refreshed for an empty selection";

    me->SelectShip(fleet[3]->GetId(), false);
    me->SelectNextShip();
    EXPECT_EQ(me->selection, std::vector<Ship*>({fleet[4]}));
    EXPECT_FALSE(fleet[3]->selected);
    me->SelectNextShip(); // the last ship wraps to the first
    EXPECT_EQ(me->selection, std::vector<Ship*>({fleet[0]}));
    const auto glide = [this]()
    {
        int ticks = 0;
        for (; me->IsCameraGliding() && ticks < 100; ticks++)
            me->Update();
        return ticks;
    };
    const int ticks = glide(); // ten steps of a tenth; rounding may end the X test one early
    EXPECT_TRUE(ticks == 9 || ticks == 10) << ticks;
    const Vector view = me->GetViewDirection();
    for (int k = 0; k < 3; k++) // the eye ends 200 back from the ship along the view
    {
        EXPECT_NEAR(me->GetEyePosition()[k], fleet[0]->GetPosition()[k] - 200 * view[k], 1e-3);
    }
    // A glide straight along Z has no X step to end it: it too takes ten ticks.
    me->SetFocus(fleet[1]->GetPosition().x - 200 * view.x, 0, 0);
    me->SelectNextShip();
    EXPECT_EQ(glide(), 10);
    EXPECT_NEAR(me->GetEyePosition().z, fleet[1]->GetPosition().z - 200 * view.z, 1e-3);

    for (Ship* ship : fleet)
        delete ship;
    fleet.clear();
    me->selection.clear();
    me->SelectNextShip();
    EXPECT_FALSE(me->HasSelection() || me->IsCameraGliding()) << "nothing to select in an empty fleet";
}

TEST_F(PlayerTest, OrdersGoToTheSelection)
{
    Ship* a = me->fleet[0]; // the two battle frigates
    Ship* b = me->fleet[4];
    Ship* enemy = game->players[1]->fleet[0];
    me->SelectShip(a->GetId(), true);
    me->SelectShip(b->GetId(), true);
    const Vector centre = me->GetSelectionCentre();
    me->MoveSelection(centre.x + 10, centre.y + 20, centre.z - 400); // the formation is kept
    EXPECT_EQ(a->destination, a->GetPosition() + Vector(10, 20, -400));
    EXPECT_EQ(b->destination, b->GetPosition() + Vector(10, 20, -400));
    EXPECT_EQ(a->motionState, Ship::Aligning);
    me->StopSelection();
    EXPECT_EQ(b->motionState, Ship::Stopped);

    const struct
    {
        int orderType;
        Ship* target;
        Ship *aTarget, *bTarget, *aTurret, *bTurret;
    } rows[] = {
        {2, enemy, nullptr, nullptr, nullptr, nullptr},
        {4, enemy, enemy, enemy, enemy, enemy},
        {3, nullptr, nullptr, nullptr, nullptr, nullptr},
        {5, enemy, nullptr, nullptr, enemy, nullptr}, // the first ship's selected turret
    };
    a->SelectPart(0);
    b->SelectPart(0);
    for (const auto& row : rows)
    {
        game->SetOrderType(row.orderType);
        me->TargetWithSelection(row.target);
        EXPECT_EQ(a->target, row.aTarget) << row.orderType;
        EXPECT_EQ(b->target, row.bTarget) << row.orderType;
        EXPECT_EQ(a->gunTurrets[0]->target, row.aTurret) << row.orderType;
        EXPECT_EQ(b->gunTurrets[0]->target, row.bTurret) << row.orderType;
    }
}

TEST_F(PlayerTest, SensorSweepMarksBothWaysThroughTheNebula)
{
    Ship* mine = me->fleet[0];
    std::vector<Ship*>& others = game->players[1]->fleet;
    for (size_t i = 1; i < others.size(); i++) // one observer alone
    {
        delete others[i];
    }
    others.resize(1);
    Ship* theirs = others[0];
    mine->SetPosition(0, -3000, 0); // open space far below the map's nebulae
    theirs->SetPosition(0, -3000, -800);
    game->players[1]->SensorSweep(mine);
    EXPECT_EQ(mine->detection[1].state * 10 + theirs->detection[0].state, 22);
    EXPECT_TRUE(mine->detection[1].observers[theirs->GetId()]);

    game->GetEnvironment()->AddRegion(Vector(-100, -3100, -500), Vector(100, -2900, -300), 0.5f, 0,
                                      Vector(1, 1, 1));
    mine->sensorRange = mine->signature = theirs->sensorRange = theirs->signature = 0.5f;
    game->players[1]->SensorSweep(mine);
    EXPECT_EQ(mine->detection[1].state * 10 + theirs->detection[0].state, 11);
    mine->signature = 1000.0f; // range and signature add up against the cloud
    game->players[1]->SensorSweep(mine);
    EXPECT_EQ(mine->detection[1].state * 10 + theirs->detection[0].state, 21);
}
