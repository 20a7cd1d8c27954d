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

using Weapons = GLTest;

// A bullet flies through a ship in its way and hits its target once closer than
// 10 (exactly 10 away at tick 38 is no hit), taking 1 off the face towards the
// shooter; one without a target lives 100 ticks. Bullets aimed at a ship that
// one of them destroys fly on without a target. Spent bullets are fired again,
// afresh. Bullets outlive the turn, beams do not; beam ids start at 2 and skip 0.
TEST_F(Weapons, BulletsHitOnlyTheirTargetAndOutliveTheTurn)
{
    Game* game = NewEmptyGame(2);
    BulletList& bullets = *game->GetBullets();
    Ship* inTheWay = PlaceShip(game, 1, Vector(0, 0, -50));
    Ship* target = PlaceShip(game, 1, Vector(0, 0, -200));
    bullets.AddBullet(kTestOrigin, Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, target);
    bullets.AddBullet(kTestOrigin, Vector(0, 0, 5), Vector(1, 1, 0), 2.0f, nullptr);
    EXPECT_NEAR(bullets.bullets[0]->orientation.y, 0.0f, 1e-4);
    for (int tick = 1; tick <= 101; ++tick)
    {
        bullets.Update();
        ASSERT_EQ(bullets.Count(), tick < 39 ? 2 : tick <= 100 ? 1 : 0) << "tick " << tick;
    }
    EXPECT_EQ(target->hull[kFaceBack], target->hullMax[kFaceBack] - 1.0f);
    EXPECT_TRUE(target->hull[kFaceFront] == target->hullMax[kFaceFront] &&
                inTheWay->hull[kFaceBack] == inTheWay->hullMax[kFaceBack]);

    target->hull[kFaceBack] = 0.5f;
    ASSERT_EQ(bullets.spare.size(), 2u);
    for (int i = 0; i < 3; ++i)
    {
        bullets.AddBullet(target->position + Vector(0, 0, 12), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f,
                          target);
    }
    EXPECT_TRUE(bullets.spare.empty());
    bullets.Update();
    EXPECT_FALSE(target->IsAlive());
    ASSERT_EQ(bullets.Count(), 2);
    EXPECT_TRUE(bullets.bullets[0]->target == nullptr && bullets.bullets[1]->target == nullptr);

    BeamList& beams = *game->GetBeams();
    EXPECT_EQ(beams.AddBeam(Vector(), Vector(3, 4, 0), Vector(1, 0, 0), 5.0f), 2u);
    beams.lastId = 0xffffffffu;
    EXPECT_EQ(beams.AddBeam(Vector(), Vector(0, 0, -1), Vector(), 1.0f), 1u);
    game->NextPlayer();
    EXPECT_EQ(beams.Count(), 0);
    for (int tick = 2; tick <= 101; ++tick) // at least one of the two was fired again
    {
        bullets.Update();
        ASSERT_EQ(bullets.Count(), tick <= 100 ? 2 : 0) << "tick " << tick;
    }
    delete game;
}

TEST(WeaponsDeathTest, AMissingBitmapStopsTheProgramWithItsName)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            BulletList bullets("/nonexistent/Textures\\bullet.bmp");
        },
        ::testing::ExitedWithCode(0), "Texture file bullet.bmp not found");
}

} // namespace
