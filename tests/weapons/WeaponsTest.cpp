// Bullets and beams without drawing: flight, hits, life, ids and the change of
// player. How they look is checked by the scene's reference frames.

#include <gtest/gtest.h>

#include <cstdio>

#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"

namespace
{

// Ticks until the bullet is no longer flying, and how it ended.
int Flight(Bullet bullet, const Vector* target, BulletFate& fate)
{
    int ticks = 1;
    while ((fate = AdvanceBullet(bullet, target)) == BulletFate::Flying && ticks < 1000)
    {
        ++ticks;
    }
    return ticks;
}

TEST(Weapons, ABulletHitsCloserThanTenToItsTargetOrExpiresAfterAHundredTicks)
{
    const Vector ahead(0, 0, -200), behind(0, 0, -3);
    const struct
    {
        Vector velocity;
        const Vector* target;
        int ticks;
        BulletFate fate;
    } rows[] = {
        {Vector(0, 0, -5), &ahead, 39, BulletFate::Hit},       // exactly 10 away at tick 38 is no hit
        {Vector(0, 0, -5), nullptr, 101, BulletFate::Expired}, // 100 ticks of life
        {Vector(0, 0, 5), &behind, 1, BulletFate::Hit},        // fired from within 10: hits at once
    };
    for (const auto& row : rows)
    {
        BulletFate fate;
        EXPECT_EQ(Flight(Bullet{Vector(), row.velocity, Vector(), Vector(), 1, 0, nullptr}, row.target, fate),
                  row.ticks);
        EXPECT_EQ(fate, row.fate);
    }
}

class WeaponsInAGame : public GLTest
{
};

// A bullet passes through a ship in its way and takes 1 off the face of its
// target towards the shooter; bullets aimed at a ship that one of them destroys
// fly on without a target; bullets outlive the turn, beams do not; beam ids
// start at 2 and skip 0.
TEST_F(WeaponsInAGame, BulletsHitOnlyTheirTargetAndOutliveTheTurn)
{
    Game* game = NewEmptyGame(2);
    BulletList& bullets = *game->GetBullets();
    Ship* inTheWay = PlaceShip(game, 1, Vector(0, 0, -50));
    Ship* target = PlaceShip(game, 1, Vector(0, 0, -200));
    bullets.AddBullet(kTestOrigin, Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, target);
    EXPECT_NEAR(bullets.bullets[0]->orientation.y, 0.0f, 1e-4);
    for (int tick = 1; tick <= 39; ++tick)
    {
        bullets.Update();
        EXPECT_EQ(bullets.Count(), tick < 39 ? 1 : 0);
    }
    EXPECT_EQ(target->hull[kFaceBack], target->hullMax[kFaceBack] - 1.0f);
    EXPECT_EQ(target->hull[kFaceFront], target->hullMax[kFaceFront]);
    EXPECT_EQ(inTheWay->hull[kFaceBack], inTheWay->hullMax[kFaceBack]);

    target->hull[kFaceBack] = 0.5f;
    for (int i = 0; i < 3; ++i)
    {
        bullets.AddBullet(target->position + Vector(0, 0, 12), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f,
                          target);
    }
    bullets.Update();
    EXPECT_FALSE(target->IsAlive());
    ASSERT_EQ(bullets.Count(), 2);
    EXPECT_EQ(bullets.bullets[0]->target, nullptr);
    EXPECT_EQ(bullets.bullets[1]->target, nullptr);

    BeamList& beams = *game->GetBeams();
    EXPECT_EQ(beams.AddBeam(Vector(), Vector(3, 4, 0), Vector(1, 0, 0), 5.0f), 2u); // the first id
    EXPECT_EQ(beams.FindBeam(2)->length, 5.0f);
    beams.lastId = 0xffffffffu;
    EXPECT_EQ(beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f), 1u); // 0 means no beam
    game->NextPlayer();
    EXPECT_EQ(game->GetBeams()->Count(), 0);
    EXPECT_EQ(bullets.Count(), 2);
    delete game;
}

TEST(WeaponsDeathTest, AMissingBitmapStopsTheProgramWithItsName)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            BeamList beams("/nonexistent\\beam.bmp");
        },
        ::testing::ExitedWithCode(0), "Texture file beam.bmp not found");
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            BulletList bullets("/nonexistent/Textures\\bullet.bmp");
        },
        ::testing::ExitedWithCode(0), "Texture file bullet.bmp not found");
}

} // namespace
