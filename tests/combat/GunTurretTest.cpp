#include <gtest/gtest.h>

#include <cmath>

#include "combat/GunTurret.h"
#include "combat/ScenarioSupport.h"
#include "math/Random.h"
#include "weapons/BulletList.h"

namespace
{

class GunTurretTest : public GameTest
{
  protected:
    GunTurret* MakeTurret(const AseNode& node, bool fixedGuns = false)
    {
        bulletList = new BulletList;
        Model* base = fixedGuns ? nullptr : game->FindObjectModel("gunturret_base");
        Model* guns = fixedGuns ? nullptr : game->FindObjectModel("gunturret_guns");
        turret = new GunTurret(node, base, guns, bulletList, game);
        return turret;
    }
    void TearDown() override
    {
        delete turret;
        turret = nullptr;
        delete bulletList;
        bulletList = nullptr;
        GameTest::TearDown();
    }
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
        {
            turret->Update(Vector(0, 0, 0), Orientation(0, 0, 0));
        }
    }

    GunTurret* turret = nullptr;
    BulletList* bulletList = nullptr;
};

TEST_F(GunTurretTest, DefaultsAndOverrides)
{
    MakeTurret(Marker("gunturret", Vector(4, 5, 6), {}, Vector(10, 0, 0)));
    EXPECT_EQ(turret->mountPosition, Vector(4, 6, 5));
    EXPECT_EQ(turret->mountRotation, Vector(10, 0, 0));
    EXPECT_EQ(turret->arcHalfWidth, 180.0f);
    EXPECT_EQ(turret->elevationMax, 88.0f);
    EXPECT_EQ(turret->elevationMin, -20.0f);
    EXPECT_EQ(turret->turnStep, 5.0f);
    EXPECT_EQ(turret->bulletColour, Vector(1, 1, 0));
    EXPECT_EQ(turret->bulletSize, 2.0f);
    EXPECT_FALSE(turret->fixed);
    EXPECT_EQ(turret->state, Idle);
    delete turret;
    delete bulletList;

    MakeTurret(Marker("gunturret", Vector(0, 0, 0), {120, 60, 80, 0, 1.5f, 0, 0.5f, 0.6f, 0.7f}));
    EXPECT_EQ(turret->arcHalfWidth, 120.0f);
    EXPECT_EQ(turret->elevationMax, 60.0f);
    EXPECT_EQ(turret->elevationMin, -20.0f);
    EXPECT_FLOAT_EQ(turret->turnStep, 4.0f);
    EXPECT_EQ(turret->bulletSize, 1.5f);
    EXPECT_EQ(turret->bulletColour, Vector(0.5f, 0.6f, 0.7f));
}

TEST_F(GunTurretTest, FirstSalvoOnTheFifthFiringTickThenEveryFifth)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick();
    ASSERT_EQ(turret->state, Firing);
    EXPECT_EQ(turret->shotCounter, 0);
    std::vector<int> counts;
    for (int i = 1; i <= 15; ++i)
    {
        Tick();
        counts.push_back(bulletList->Count());
    }
    const std::vector<int> expected = {0, 0, 0, 0, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6};
    EXPECT_EQ(counts, expected);
}

TEST_F(GunTurretTest, SalvoLeavesTheMuzzlesTowardsTheTargetAtFiveToFiveAndAHalf)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick(6);
    ASSERT_EQ(bulletList->Count(), 2);
    const Bullet* left = bulletList->bullets[0];
    const Bullet* right = bulletList->bullets[1];
    EXPECT_NEAR(left->position.x, -0.881f, 1e-4f);
    EXPECT_NEAR(left->position.y, 2.8f, 1e-4f);
    EXPECT_NEAR(right->position.x, 0.881f, 1e-4f);
    for (const Bullet* b : {left, right})
    {
        EXPECT_EQ(b->target, target);
        EXPECT_EQ(b->age, 0);
        EXPECT_EQ(b->colour, Vector(1, 1, 0));
        EXPECT_EQ(b->size, 2.0f);
        // Mostly along -Z; the speed factor of the z component lies in [5, 5.5].
        EXPECT_LT(b->velocity.z, -4.9f);
        EXPECT_GT(b->velocity.z, -5.51f);
    }
    // Each muzzle aims at the target from where it stands.
    EXPECT_GT(left->velocity.x, 0.0f);
    EXPECT_LT(right->velocity.x, 0.0f);
}

TEST_F(GunTurretTest, SpreadDrawsOneFractionPerComponentFromTheProgramGenerator)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick(5);
    SeedRandom(4242);
    Tick();
    ASSERT_EQ(bulletList->Count(), 2);
    SeedRandom(4242);
    const Vector muzzle = turret->MuzzlePosition(0, Vector(0, 0, 0), Orientation(0, 0, 0));
    Vector direction = target->position - muzzle;
    Normalize(direction);
    const double rx = Random() * 0.000030518509;
    const double ry = Random() * 0.000030518509;
    const double rz = Random() * 0.000030518509;
    const Bullet* b = bulletList->bullets[0];
    EXPECT_FLOAT_EQ(b->velocity.x, float(direction.x * (5.0 + 0.5 * rx)));
    EXPECT_FLOAT_EQ(b->velocity.y, float(direction.y * (5.0 + 0.5 * ry)));
    EXPECT_FLOAT_EQ(b->velocity.z, float(direction.z * (5.0 + 0.5 * rz)));
}

TEST_F(GunTurretTest, MuzzlesTurnWithTheTurretYawAndTheShip)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    turret->aim = Orientation(0, 90, 0);
    // Yawed 90 degrees the left muzzle (-0.881, 2.8, 0) swings to (0, 2.8, 0.881).
    const Vector m = turret->MuzzlePosition(0, Vector(0, 0, 0), Orientation(0, 0, 0));
    EXPECT_NEAR(m.x, 0.0f, 1e-4f);
    EXPECT_NEAR(m.z, 0.881f, 1e-4f);
    // The ship turned by another 90 and moved to (10, 0, 0).
    const Vector w = turret->MuzzlePosition(0, Vector(10, 0, 0), Orientation(0, 90, 0));
    EXPECT_NEAR(w.x, 10.881f, 1e-4f);
    EXPECT_NEAR(w.z, 0.0f, 1e-4f);
}

TEST_F(GunTurretTest, FixedGunsFireFromBesideTheMountAndAreNeverDrawn)
{
    MakeTurret(Marker("guns", Vector(0, 0, 0)), true);
    EXPECT_TRUE(turret->fixed);
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick(6);
    ASSERT_EQ(bulletList->Count(), 2);
    EXPECT_NEAR(bulletList->bullets[0]->position.x, -0.5f, 1e-5f);
    EXPECT_NEAR(bulletList->bullets[0]->position.y, 0.0f, 1e-5f);
    EXPECT_NEAR(bulletList->bullets[1]->position.x, 0.5f, 1e-5f);

    turret->showCone = true;
    glLoadIdentity();
    glTranslatef(0, 0, -30);
    glStencilFunc(GL_ALWAYS, 9, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    turret->Draw(9, false, true, true);
    EXPECT_EQ(CountStencil(0, 0, 800, 600, 9), 0);
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
    {
        lit += pixels[i] + pixels[i + 1] + pixels[i + 2] > 0 ? 1 : 0;
    }
    EXPECT_EQ(lit, 0);
}

TEST_F(GunTurretTest, MountedTurretDrawsBaseAndGunsWithTheStencilValue)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    glLoadIdentity();
    glTranslatef(0, -2, -25);
    glStencilFunc(GL_ALWAYS, 11, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    turret->Draw(11, false, false, true);
    EXPECT_GT(CountStencil(0, 0, 800, 600, 11), 50);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GunTurretTest, ElevationLimitsKeepTheGunsFromFiring)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    // 45 degrees below the mount.
    Ship* low = MakeShip("battlefrigate", 1, Vector(0, -200, -200));
    turret->SetTarget(low);
    Tick(20);
    EXPECT_EQ(turret->state, OutOfArc);
    EXPECT_EQ(bulletList->Count(), 0);
    // Straight behind is inside the 180 degree arc.
    Ship* behind = MakeShip("battlefrigate", 1, Vector(0, 0, 200));
    turret->SetTarget(behind);
    Tick(60);
    EXPECT_EQ(turret->state, Firing);
}

TEST_F(GunTurretTest, BurstFireStopsAfterBurstLength)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    turret->burstFire = true;
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick();
    ASSERT_EQ(turret->state, Firing);
    int firing = 0;
    while (turret->state == Firing && firing < 100)
    {
        Tick();
        ++firing;
    }
    EXPECT_GE(firing, 20);
    EXPECT_LE(firing, 21);
    EXPECT_EQ(turret->state, Idle);
    // Four salvoes in 20 ticks.
    EXPECT_EQ(bulletList->Count(), 8);
    EXPECT_NEAR(turret->fireTimeLeft, 5.0f - firing * 0.05f, 1e-3f);
    Tick(20);
    EXPECT_EQ(bulletList->Count(), 8);
}

TEST_F(GunTurretTest, FireTimeRunsOutAfterAHundredTicks)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick();
    int firing = 0;
    while (turret->state == Firing && firing < 300)
    {
        Tick();
        ++firing;
    }
    EXPECT_GE(firing, 100);
    EXPECT_LE(firing, 101);
    EXPECT_EQ(turret->state, Spent);
    EXPECT_EQ(turret->fireTimeLeft, 0.0f);
    turret->SetTarget(target);
    EXPECT_EQ(turret->state, Spent);
    turret->NewTurn();
    EXPECT_EQ(turret->state, Idle);
    EXPECT_EQ(turret->fireTimeLeft, 5.0f);
}

TEST_F(GunTurretTest, ConeListsAreReleasedWithTheTurret)
{
    MakeTurret(Marker("gunturret", Vector(0, 0, 0)));
    const GLuint first = turret->coneLists[0];
    EXPECT_TRUE(glIsList(first + 3));
    delete turret;
    turret = nullptr;
    EXPECT_FALSE(glIsList(first));
    EXPECT_FALSE(glIsList(first + 3));
}

} // namespace
