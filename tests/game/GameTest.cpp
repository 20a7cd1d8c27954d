// The game object: ids, placement and catalogues, clicks, the change of
// player, the winner, and the end of the game once the last wreck and
// explosion are gone.

#include <gtest/gtest.h>

#include "assets/Model.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "game/Game.h"
#include "input/EventHandling.h"
#include "input/TickClock.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ships/TestGame.h"
#include "support/Events.h"
#include "support/GLTest.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

class GameTest : public GLTest
{
  protected:
    std::unique_ptr<Game> game;
};

// Deletes the ships of a fleet beyond the first `keep`.
void Disband(Player* player, size_t keep = 0)
{
    for (size_t i = keep; i < player->fleet.size(); i++)
        delete player->fleet[i];
    player->fleet.resize(keep);
    player->selection.clear();
}

} // namespace

TEST_F(GameTest, FleetsTakeIdsFromFiveInPlayerOrderAndTheWinnerIsTheLastWithShips)
{
    game.reset(new Game(4, "map1"));
    EXPECT_EQ(game->nextId, 25u);
    // Focus x and z, heading, and the direction x and z the five ships line up along.
    const float starts[4][5] = {
        {0, 800, 45, 1, 0}, {0, -800, 225, -1, 0}, {-800, 0, 135, 0, 1}, {800, 0, 315, 0, -1}};
    const char* classes[5] = {"battlefrigate", "beamfrigateopen", "escortcarrier2", "beamfrigateopen",
                              "battlefrigate"};
    for (int p = 0; p < 4; p++)
    {
        const Player* player = game->players[p];
        EXPECT_EQ(player->isCurrent, p == 0);
        EXPECT_EQ(player->cameraFocus, Vector(starts[p][0], 0, starts[p][1]));
        EXPECT_EQ(player->GetHeading(), starts[p][2]);
        ASSERT_EQ(player->FleetSize(), 5);
        for (int i = 0; i < 5; i++)
        {
            const Ship* ship = player->fleet[i];
            const float d = 100.0f * (i - 2);
            EXPECT_EQ(ship->GetId(), uint32_t(5 + 5 * p + i));
            EXPECT_EQ(ship->GetOwner(), p);
            EXPECT_EQ(ship->model->fileName, classes[i]);
            EXPECT_NEAR(ship->GetPosition().x, starts[p][0] + d * starts[p][3], 1e-3);
            EXPECT_NEAR(ship->GetPosition().z, starts[p][1] + d * starts[p][4], 1e-3);
            EXPECT_EQ(ship->GetOrientation(), Vector(0, starts[p][2] - 45, 0));
            EXPECT_EQ(ship->moveTimeLeft, p == 0 ? 10.0f : 0.0f) << "only the first player's turn has begun";
        }
    }
    EXPECT_EQ(game->WinnerIndex(), -1);
    const int winners[][2] = {{0, -1}, {2, -1}, {1, 3}, {3, -1}}; // player disbanded, winner then
    for (const auto& row : winners)
    {
        Disband(game->players[row[0]]);
        EXPECT_EQ(game->WinnerIndex(), row[1]) << "after disbanding player " << row[0];
    }
    EXPECT_EQ(game->GetOrderMode() * 100 + game->GetOrderType() * 10 + game->GetViewMode() + game->GetState(),
              100);
}

TEST_F(GameTest, ClicksByOrderModeAndTurnsInIndexOrder)
{
    game.reset(new Game(3, "map1"));
    Player* me = game->players[0];
    Ship* a = me->fleet[0];
    Ship* b = me->fleet[1];
    Ship* enemy = game->players[1]->fleet[3];

    game->ClickedId(a->GetId()); // mode 1: select it alone
    game->SetOrderMode(2);
    game->ClickedId(b->GetId()); // add
    game->ClickedId(enemy->GetId());
    EXPECT_EQ(me->selection, std::vector<Ship*>({a, b})) << "an enemy ship is not selected";
    game->SetOrderMode(3); // placing an order point: a click on a ship does nothing
    game->ClickedId(a->GetId());
    EXPECT_EQ(me->selection.size(), 2u);

    game->SetOrderMode(5); // attack: target it and turn towards it
    game->SetOrderType(4);
    game->ClickedId(enemy->GetId());
    EXPECT_EQ(game->GetOrderMode() * 10 + game->GetOrderType(), 10);
    EXPECT_TRUE(a->target == enemy && b->target == enemy && enemy->targeted);
    EXPECT_EQ(a->motionState, Ship::Rotating);
    const Vector toEnemy = enemy->GetPosition() - a->GetPosition();
    EXPECT_EQ(a->wantedOrientation, Ship::OrderOrientation(toEnemy.x, toEnemy.y, toEnemy.z));

    game->SetOrderMode(5); // a click on empty space clears the targets
    game->SetOrderType(3);
    game->ClickedId(0);
    EXPECT_TRUE(a->target == nullptr && b->target == nullptr && !enemy->targeted);
    EXPECT_EQ(game->GetOrderMode() * 10 + game->GetOrderType(), 10);
    a->SelectPart(0); // for the selected turrets of the first selected ship only
    game->SetOrderMode(5);
    game->SetOrderType(5);
    game->ClickedId(enemy->GetId());
    EXPECT_TRUE(a->gunTurrets[0]->target == enemy && a->gunTurrets[1]->target == nullptr &&
                a->target == nullptr);
    EXPECT_EQ(b->beamTurrets[0]->target, nullptr);
    game->ClickedId(0); // a plain click on nothing empties the selection
    EXPECT_FALSE(me->HasSelection());

    Disband(game->players[0]);
    Player* second = game->players[1];
    Ship* ship = second->fleet[2];
    second->selection.push_back(ship);
    game->GetBeams()->AddBeam(Vector(), Vector(1, 0, 0), Vector(1, 0, 0), 5);
    game->NextPlayer();
    EXPECT_EQ(game->GetCurrentPlayer(), second);
    EXPECT_TRUE(second->isCurrent && !game->players[0]->isCurrent);
    EXPECT_TRUE(ship->selected) << "its owner's selection shows again";
    EXPECT_EQ(ship->moveTimeLeft, 10.0f);
    EXPECT_TRUE(game->GetBeams()->beams.empty());
    game->NextPlayer();
    EXPECT_EQ(game->GetCurrentPlayer(), game->players[2]);
    EXPECT_FALSE(ship->selected);
    EXPECT_EQ(second->selection.size(), 1u);
    game->NextPlayer();
    EXPECT_EQ(game->GetCurrentPlayer(), game->players[0]) << "a player without ships still gets turns";
}

// The last enemy ship is destroyed: the game ends on the first batch of events
// after the wreck has turned to dust (tick 91) and the last explosion, the
// burst of tick 61, has burnt out in 44 steps of the clouds (one every other
// tick), with player 0 the winner.
// (The wreck's own life, tick by tick, is checked with the combat.)
TEST_F(GameTest, AWreckBurnsBurstsAndTurnsToDustAndOnlyThenTheGameEnds)
{
    game.reset(new Game(2, "map1"));
    Player* loser = game->players[1];
    Disband(loser, 1);
    Ship* victim = loser->fleet[0];
    Ship* hunter = game->players[0]->fleet[0];
    game->SetOrderType(3);
    hunter->SetTarget(victim);
    loser->selection.push_back(victim);
    game->GetBullets()->AddBullet(hunter->GetPosition(), Vector(0, 0, -1), Vector(1, 1, 0), 2, victim);
    Destroy(victim);
    EXPECT_TRUE(loser->fleet.empty() && loser->selection.empty()) << "a waiting player loses it at once";
    EXPECT_EQ(game->WinnerIndex(), 0) << "decided at once, while the wreck burns";
    EXPECT_EQ(hunter->target, nullptr);
    EXPECT_EQ(game->GetBullets()->bullets.at(0)->target, nullptr);

    // A burning wreck alone keeps the game going.
    Environment* environment = game->GetEnvironment();
    for (Explosion* explosion : environment->explosions)
        delete explosion;
    environment->explosions.clear();
    FlushEvents();
    HandleEvents(*game);
    EXPECT_EQ(game->GetState(), 0);

    gTickClock = TickClock();
    int batches = 0;
    for (; game->GetState() != 2 && batches < 1000; batches++)
    {
        PushEvent(SDL_USEREVENT);
        HandleEvents(*game); // the game-over test comes before the tick
    }
    EXPECT_EQ(batches, 150);
    EXPECT_EQ(game->WinnerIndex(), 0);

    // The winner's own ships lost: the current player's fleet drops one on its
    // next update; one lost on the last tick is in its fleet and the wrecks at
    // once, and is freed once, as a wreck.
    Player* winner = game->players[0];
    Destroy(winner->fleet[0]);
    game->Tick();
    EXPECT_EQ(winner->FleetSize(), 4);
    Destroy(winner->fleet[0]);
    EXPECT_EQ(winner->FleetSize(), 4);
    testing::internal::CaptureStderr();
    game.reset();
    const std::string ship = "    Removing UI panel\n    Removing beam turrets\n    Removing gun turrets\n"
                             "    Removing subobjects\n    Removing lights\n";
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "Removing dead ships\n" + ship + ship + "Removing players\n  Removing ships\n" + ship +
                  ship + ship + "  Removing ships\nRemoving nebula regions\n"),
              std::string::npos);
}
