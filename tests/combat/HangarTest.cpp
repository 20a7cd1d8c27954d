#include <gtest/gtest.h>

#include "combat/Hangar.h"
#include "combat/ScenarioSupport.h"
#include "players/Player.h"

namespace
{

class HangarTest : public GameTest
{
  protected:
    void TearDown() override
    {
        // Launched fighters joined the current player's fleet: take them out again.
        Player* player = game->GetCurrentPlayer();
        while (player->FleetSize() > fleetBefore)
        {
            delete player->fleet.back();
            player->fleet.pop_back();
        }
        GameTest::TearDown();
    }
    void SetUp() override
    {
        GameTest::SetUp();
        fleetBefore = game->GetCurrentPlayer()->FleetSize();
    }
    Ship* Fighter(int i) const { return game->GetCurrentPlayer()->fleet[size_t(fleetBefore + i)]; }

    int fleetBefore = 0;
};

TEST_F(HangarTest, SquadronsAreTheFirstPropertyTruncated)
{
    Hangar hangar(Marker("hangar", Vector(0, 0, 20), {2.9f}), game);
    EXPECT_EQ(hangar.name, "hangar01");
    EXPECT_EQ(hangar.squadronsLeft, 2);
    EXPECT_EQ(hangar.position, Vector(0, 0, 20));
    EXPECT_FALSE(hangar.launchedThisTurn);
    EXPECT_FALSE(hangar.selected);

    // Read whatever the count says.
    AseNode uncounted = Marker("hangar", Vector(0, 0, 0), {3.0f});
    uncounted.propertyCount = 0;
    EXPECT_EQ(Hangar(uncounted, game).squadronsLeft, 3);
    EXPECT_EQ(Hangar(Marker("hangar", Vector(0, 0, 0), {-1.7f}), game).squadronsLeft, -1);
    EXPECT_EQ(Hangar(Marker("hangar", Vector(0, 0, 0), {1e20f}), game).squadronsLeft, 0);
}

TEST_F(HangarTest, StartAndMoveOffsetsSwapTheAxesAndStepTenForward)
{
    const Vector h(0, 0, 20);
    for (int i = 0; i < kSquadronSize; ++i)
    {
        EXPECT_EQ(Hangar::FighterStartOffset(h, i), Vector(0, 20, -10.0f * i));
        EXPECT_EQ(Hangar::FighterMoveOffset(h, i), Vector(0, 20, 100.0f - 10.0f * i));
    }
    EXPECT_EQ(Hangar::FighterStartOffset(Vector(1, 2, 3), 0), Vector(1, 3, 2));
}

TEST_F(HangarTest, CarrierExamplePlacesAndSendsItsFighters)
{
    Hangar hangar(Marker("hangar", Vector(0, 0, 20), {2}), game);
    const uint32_t firstId = game->nextId;
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0));
    Player* player = game->GetCurrentPlayer();
    ASSERT_EQ(player->FleetSize(), fleetBefore + 5);
    for (int i = 0; i < 5; ++i)
    {
        Ship* f = Fighter(i);
        EXPECT_EQ(f->name, "Vuvorivud Uduvurov");
        EXPECT_EQ(f->id, firstId + uint32_t(i));
        EXPECT_EQ(f->owner, player->GetIndex());
        EXPECT_EQ(f->model, game->FindShipModel("smallfighter"));
        EXPECT_EQ(f->position, Vector(0, 20, -10.0f * i));
        EXPECT_EQ(f->destination, Vector(0, 40, 100.0f - 20.0f * i));
        // Facing back along the carrier, with a full turn of time and already turning.
        EXPECT_EQ(f->orientation, Orientation(0, 180, 0));
        EXPECT_EQ(f->motionState, int32_t(Ship::Aligning));
        EXPECT_EQ(f->moveTimeLeft, f->moveTimePerTurn);
        EXPECT_TRUE(f->IsAlive());
    }
    EXPECT_EQ(game->nextId, firstId + 5);
    EXPECT_EQ(hangar.squadronsLeft, 1);
    EXPECT_TRUE(hangar.launchedThisTurn);
}

TEST_F(HangarTest, OnceAPerTurnAndUntilTheSquadronsRunOut)
{
    Hangar hangar(Marker("hangar", Vector(0, 0, 20), {2}), game);
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0));
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0));
    EXPECT_EQ(game->GetCurrentPlayer()->FleetSize(), fleetBefore + 5);
    EXPECT_EQ(hangar.squadronsLeft, 1);

    hangar.NewTurn();
    EXPECT_FALSE(hangar.launchedThisTurn);
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0));
    EXPECT_EQ(game->GetCurrentPlayer()->FleetSize(), fleetBefore + 10);
    EXPECT_EQ(hangar.squadronsLeft, 0);

    hangar.NewTurn();
    const uint32_t idBefore = game->nextId;
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0));
    EXPECT_EQ(game->GetCurrentPlayer()->FleetSize(), fleetBefore + 10);
    EXPECT_EQ(game->nextId, idBefore);
    EXPECT_FALSE(hangar.launchedThisTurn);
}

TEST_F(HangarTest, LaunchTurnsWithTheCarrier)
{
    Hangar hangar(Marker("hangar", Vector(0, 0, 20), {1}), game);
    // A carrier at (100, 0, 0) yawed 90 degrees: its local +Y stays up, its
    // front (-Z) points to -X.
    hangar.Launch(Vector(100, 0, 0), Orientation(0, 90, 0));
    ASSERT_EQ(game->GetCurrentPlayer()->FleetSize(), fleetBefore + 5);
    const Ship* second = Fighter(1);
    EXPECT_NEAR(second->position.x, 90.0f, 1e-4f);
    EXPECT_NEAR(second->position.y, 20.0f, 1e-4f);
    EXPECT_NEAR(second->position.z, 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(second->orientation.y, 90.0f);
    // Ordered 90 units towards the stern (+X here) and 20 up.
    EXPECT_NEAR(second->destination.x, 180.0f, 1e-3f);
    EXPECT_NEAR(second->destination.y, 40.0f, 1e-3f);
}

TEST_F(HangarTest, CarrierModelHasHangarsAndItsFightersCarryGuns)
{
    Ship* carrier = MakeShip("escortcarrier2", 0, Vector(0, 0, 0));
    ASSERT_FALSE(carrier->hangars.empty());
    Hangar* hangar = carrier->hangars[0];
    EXPECT_GT(hangar->squadronsLeft, 0);
    hangar->Launch(carrier->position, carrier->orientation);
    ASSERT_EQ(game->GetCurrentPlayer()->FleetSize(), fleetBefore + 5);
    EXPECT_FALSE(Fighter(0)->gunTurrets.empty());
}

} // namespace
