// A Hard player's ships bring their weapons to bear on what they fight.
//
// A fighter turns its fixed guns on the target it was sent to and fires its
// turn into it. A rotation stops only within 2 degrees of where it was sent,
// and a fighter pitches 6 degrees a tick: sent 9 degrees down from level, it
// passes 6 and 12 and pitches on, round and round, as long as it has time to
// move, its guns sweeping past the target. Checked by hand: given the attack
// order (a rotation) the fighter spins, and the target loses 2 hull in the
// turn straight ahead and none 21 degrees aside.
//
// A capital ship left pointing steeply up or down by its last move, at
// fighting range from a target that no turret of it can reach, turns its bow
// to the target and fires. Checked by hand: turning only when the target is
// well off the bow in yaw, a fusion frigate holds all turn without firing.

#include <gtest/gtest.h>

#include <memory>

#include "ai/HardTest.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"

using BearingTest = GLTest;

namespace
{

// One Hard turn of a ship of `shipClass` at the test origin, its bow pitched
// `pitch` degrees, against a still frigate at `at`: the hull it takes off the
// frigate, and where it ends.
void PlayOneTurn(const char* shipClass, float pitch, const Vector& at, float& damage, Vector& end)
{
    std::unique_ptr<Game> game(NewEmptyGame(2));
    Ship* ship = PlaceShip(game.get(), 0, Vector(), shipClass);
    ship->SetOrientation(pitch, 0.0f, 0.0f);
    const Ship* target = PlaceShip(game.get(), 1, at);
    SettleFleets(game.get());
    ASSERT_EQ(game->GetCurrentPlayer(), game->players[0]);
    const float before = TotalHull(*target);

    HardPlayer hard(*game, *game->players[0], 1);
    game->SetState(0);
    hard.PlayTurn([&]() { AdvanceGameTick(*game); });
    damage = before - TotalHull(*target);
    end = ship->position - kTestOrigin;
}

} // namespace

TEST_F(BearingTest, AFighterTurnsItsGunsOnAStillTargetAndFiresItsTurnIntoIt)
{
    // Level and facing the target, which lies 70 units ahead and 11 below.
    for (const Vector& at : {Vector(0, -11, -70), Vector(25, -11, -66)})
    {
        float damage = 0.0f;
        Vector end;
        ASSERT_NO_FATAL_FAILURE(PlayOneTurn("smallfighter", 0.0f, at, damage, end));
        // Two bullets a salvo for five seconds, nearly every one a hit.
        EXPECT_GE(damage, 30.0f) << at.x;
        EXPECT_LT(Length(end), 10.0) << "it fires from where it is";
    }
}

TEST_F(BearingTest, ABeamShipPointingAwayFromItsTargetInPitchTurnsToItAndFires)
{
    // The target 200 units ahead and 50 below; the bow 80 degrees down or up,
    // beyond the pitch of every beam turret.
    for (float pitch : {-80.0f, 80.0f})
    {
        float damage = 0.0f;
        Vector end;
        ASSERT_NO_FATAL_FAILURE(PlayOneTurn("beamfrigateopen", pitch, Vector(0, -50, -200), damage, end));
        EXPECT_GE(damage, 20.0f) << "pitch " << pitch;
    }
}
