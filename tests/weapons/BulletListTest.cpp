#include <gtest/gtest.h>

#include "game/Game.h"
#include "math/Random.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"

namespace
{

// --- Flight without ships ---

Bullet MakeBullet(const Vector& position, const Vector& velocity)
{
    Bullet b;
    b.position = position;
    b.velocity = velocity;
    b.colour = Vector(1, 1, 0);
    b.size = 2.0f;
    b.age = 0;
    b.target = nullptr;
    return b;
}

TEST(AdvanceBulletTest, HitsOnlyCloserThanTenUnits)
{
    const Vector target(0, 0, -200);
    Bullet b = MakeBullet(Vector(0, 0, 0), Vector(0, 0, -5));
    int tick = 0;
    BulletFate fate = BulletFate::Flying;
    while (fate == BulletFate::Flying && tick < 200)
    {
        fate = AdvanceBullet(b, &target);
        ++tick;
    }
    // At tick 38 it is exactly 10 away, which is not a hit; at 39 it is 5 away.
    EXPECT_EQ(fate, BulletFate::Hit);
    EXPECT_EQ(tick, 39);
    EXPECT_EQ(b.age, 38);
}

TEST(AdvanceBulletTest, LivesAHundredTicks)
{
    Bullet b = MakeBullet(Vector(0, 0, 0), Vector(0, 0, -5));
    for (int tick = 1; tick <= 100; ++tick)
    {
        ASSERT_EQ(AdvanceBullet(b, nullptr), BulletFate::Flying) << tick;
    }
    EXPECT_EQ(AdvanceBullet(b, nullptr), BulletFate::Expired);
    EXPECT_EQ(b.age, 101);
}

TEST(AdvanceBulletTest, WithoutATargetItNeverHits)
{
    // Even at the far point a target-less bullet would once have aimed at.
    Bullet b = MakeBullet(Vector(20000, 20000, 20005), Vector(0, 0, -5));
    EXPECT_EQ(AdvanceBullet(b, nullptr), BulletFate::Flying);
    EXPECT_EQ(b.position, Vector(20000, 20000, 20000));
}

TEST(AdvanceBulletTest, FiredFromWithinTenUnitsHitsOnItsFirstTick)
{
    // Even flying away from it: it is still within 10 after its first step.
    const Vector target(0, 0, -3);
    Bullet b = MakeBullet(Vector(0, 0, 0), Vector(0, 0, 5));
    EXPECT_EQ(AdvanceBullet(b, &target), BulletFate::Hit);
}

// --- With real ships and the real list ---

class BulletListTest : public GLTest
{
  protected:
    static void SetUpTestSuite()
    {
        if (OpenGameDisplay() && game == nullptr)
        {
            game = new Game(2, "map1");
        }
    }
    static void TearDownTestSuite()
    {
        delete game;
        game = nullptr;
    }
    void TearDown() override
    {
        for (Ship* ship : ships)
        {
            if (ship->IsAlive())
            {
                delete ship;
            }
        }
        ships.clear();
        GLTest::TearDown();
    }
    Ship* MakeShip(const Vector& position)
    {
        Ship* ship = new Ship(game->TakeId(), 1, game);
        ship->Assemble(game->FindShipModel("battlefrigate"), 1);
        ship->SetPosition(position.x, position.y, position.z);
        ships.push_back(ship);
        return ship;
    }
    static float Hull(const Ship* ship)
    {
        float total = 0.0f;
        for (float h : ship->hull)
        {
            total += h;
        }
        return total;
    }

    static Game* game;
    std::vector<Ship*> ships;
};

Game* BulletListTest::game = nullptr;

TEST_F(BulletListTest, AddedBulletFacesAlongItsVelocity)
{
    BulletList bullets;
    bullets.AddBullet(Vector(1, 2, 3), Vector(5, 0, 0), Vector(1, 1, 0), 2.0f, nullptr);
    ASSERT_EQ(bullets.Count(), 1);
    const Bullet* b = bullets.bullets[0];
    EXPECT_EQ(b->age, 0);
    EXPECT_EQ(b->position, Vector(1, 2, 3));
    EXPECT_NEAR(b->orientation.y, 270.0f, 0.001f);
}

TEST_F(BulletListTest, BulletPassesThroughOtherShipsAndHitsOnlyItsTarget)
{
    BulletList bullets;
    Ship* inTheWay = MakeShip(Vector(0, 0, -50));
    Ship* target = MakeShip(Vector(0, 0, -200));
    const float wayBefore = Hull(inTheWay);
    const float backBefore = target->hull[kFaceBack];
    const float totalBefore = Hull(target);
    bullets.AddBullet(Vector(0, 0, 0), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, target);
    for (int tick = 1; tick <= 38; ++tick)
    {
        bullets.Update();
    }
    EXPECT_EQ(bullets.Count(), 1);
    EXPECT_EQ(Hull(target), totalBefore);
    bullets.Update();
    EXPECT_EQ(bullets.Count(), 0);
    EXPECT_EQ(Hull(inTheWay), wayBefore);
    // One point of damage on the face towards the shooter (+Z, the back).
    EXPECT_FLOAT_EQ(target->hull[kFaceBack], backBefore - 1.0f);
    EXPECT_FLOAT_EQ(Hull(target), totalBefore - 1.0f);
}

TEST_F(BulletListTest, BulletWhoseTargetDiedFliesOnAndHitsNothing)
{
    BulletList bullets;
    Ship* target = MakeShip(Vector(0, 0, -200));
    Ship* other = MakeShip(Vector(0, 0, -100));
    bullets.AddBullet(Vector(0, 0, 0), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, target);
    bullets.AddBullet(Vector(0, 0, 0), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, other);
    const float before = Hull(target);
    bullets.ForgetShip(target);
    EXPECT_EQ(bullets.bullets[0]->target, nullptr);
    EXPECT_EQ(bullets.bullets[1]->target, other);
    int ticks = 0;
    while (bullets.Count() > 0 && ticks < 1000)
    {
        bullets.Update();
        ++ticks;
    }
    EXPECT_EQ(Hull(target), before);
    // The forgotten bullet lived its full life: removed on its 101st update.
    EXPECT_EQ(ticks, 101);
}

TEST_F(BulletListTest, HitsInOneUpdateCanDestroyTheTargetAndTheRestFlyOn)
{
    // The game's own list: the game tells it to forget a destroyed ship.
    BulletList& bullets = *game->GetBullets();
    for (Bullet* b : bullets.bullets)
    {
        delete b;
    }
    bullets.bullets.clear();
    Ship* target = MakeShip(Vector(0, 0, -20));
    for (float& h : target->hull)
    {
        h = 0.5f;
    }
    // Three bullets reach it on the first tick; the first destroys it, the
    // game tells the list to forget it, and the other two fly on.
    for (int i = 0; i < 3; ++i)
    {
        bullets.AddBullet(Vector(0, 0, -10), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, target);
    }
    bullets.Update();
    EXPECT_FALSE(target->IsAlive());
    ASSERT_EQ(bullets.Count(), 2);
    EXPECT_EQ(bullets.bullets[0]->target, nullptr);
    EXPECT_EQ(bullets.bullets[1]->target, nullptr);
    EXPECT_EQ(bullets.bullets[0]->age, 1);
}

// Pixels of the frame with strong red and green and little blue.
static int YellowPixels()
{
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int count = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
    {
        count += pixels[i] > 40 && pixels[i + 1] > 40 && pixels[i + 2] < pixels[i] ? 1 : 0;
    }
    return count;
}

TEST_F(BulletListTest, DrawsInBothViewsRestoringState)
{
    BulletList bullets;
    bullets.AddBullet(Vector(0, 0, -40), Vector(5, 0, 0), Vector(1, 1, 0), 6.0f, nullptr);
    SeedRandom(3);
    bullets.Draw(false);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glDisable(GL_FOG);
    EXPECT_GT(YellowPixels(), 20);

    glClear(GL_COLOR_BUFFER_BIT);
    bullets.Draw(true);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
    const int points = YellowPixels();
    EXPECT_GT(points, 0);
    EXPECT_LT(points, 30);
}

TEST_F(BulletListTest, BulletsSurviveAChangeOfPlayerAndBeamsDoNot)
{
    // The game's own lists at a change of player.
    game->GetBullets()->AddBullet(Vector(0, 0, 0), Vector(0, 0, -5), Vector(1, 1, 0), 2.0f, nullptr);
    game->GetBeams()->AddBeam(Vector(0, 0, 0), Vector(0, 0, -5), Vector(1, 0, 0), 5.0f);
    const int bullets = game->GetBullets()->Count();
    game->NextPlayer();
    EXPECT_EQ(game->GetBeams()->Count(), 0);
    EXPECT_EQ(game->GetBullets()->Count(), bullets);
    game->NextPlayer();
}

} // namespace
