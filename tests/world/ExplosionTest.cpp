// Explosions: the initial burst, spawning, fading, and removal by the environment.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "math/Random.h"
#include "world/Environment.h"

TEST(ExplosionTest, CountZeroHasNoCloudsAndIsRemovedAtItsFirstUpdate)
{
    Environment environment{Environment::Headless{}};
    const Vector centre(1, 2, 3), colour(1, 1, 0);
    environment.AddExplosion(0, 1.0f, &centre, &colour, false);
    ASSERT_EQ(environment.ExplosionCount(), 1);
    EXPECT_TRUE(environment.explosions[0]->clouds.empty());
    environment.Update(Vector(0, 0, 0), Vector(0, 0, -1));
    EXPECT_EQ(environment.ExplosionCount(), 0);
}

TEST(ExplosionTest, CountTenSpawnsTenFiveAndThreeAndStopsAtAge30)
{
    SeedRandom(3);
    const Vector centre(100, 0, -50), colour(1, 0.5f, 0);
    Explosion explosion(10, 1.0f, centre, colour, false);
    EXPECT_EQ(explosion.count, 10.0f);
    EXPECT_EQ(explosion.age, 0.0f);
    EXPECT_TRUE(explosion.shownInSensorView);
    ASSERT_EQ(explosion.clouds.size(), 10u);
    for (const Cloud* cloud : explosion.clouds)
    {
        EXPECT_GE(cloud->size, 20.0f);
        EXPECT_LT(cloud->size, 40.0f);
        for (int axis = 0; axis < 3; ++axis)
        {
            EXPECT_LE(std::fabs(cloud->position[axis] - centre[axis]), 5.0f);
            EXPECT_LE(std::fabs(cloud->velocity[axis]), 5.0f);
        }
    }

    // Clouds live 15 updates, so the count after each update is the sum of
    // the spawns of the last 15 ages (plus the initial burst for the first 14).
    std::vector<size_t> spawnedAt(60, 0);
    size_t previous = explosion.clouds.size();
    for (int age = 1; age < 60; ++age)
    {
        const bool alive = explosion.Update();
        EXPECT_EQ(explosion.age, float(age));
        // Spawned this update = now - (survivors of the previous clouds).
        size_t expired = 0;
        if (age == 15)
        {
            expired = 10; // the initial burst
        }
        if (age > 15)
        {
            expired = spawnedAt[age - 15];
        }
        spawnedAt[age] = explosion.clouds.size() - (previous - expired);
        previous = explosion.clouds.size();
        if (!alive)
        {
            EXPECT_TRUE(explosion.clouds.empty());
            EXPECT_GE(age, 44);
            break;
        }
    }
    EXPECT_EQ(spawnedAt[1], 10u); // n = 9.09
    EXPECT_EQ(spawnedAt[9], 6u);  // n = 5.26
    EXPECT_EQ(spawnedAt[10], 5u); // n = 5.0 exactly
    EXPECT_EQ(spawnedAt[29], 3u); // n = 2.56
    EXPECT_EQ(spawnedAt[30], 0u);
    EXPECT_EQ(spawnedAt[31], 0u);
}

TEST(ExplosionTest, CloudsDriftSwellFadeAndNeverSpin)
{
    SeedRandom(8);
    Explosion explosion(1, 0.5f, Vector(0, 0, 0), Vector(1, 1, 1), true);
    EXPECT_FALSE(explosion.shownInSensorView);
    Cloud* cloud = explosion.clouds[0];
    const Vector start = cloud->position;
    const Vector velocity = cloud->velocity;
    const float size = cloud->size;
    const Vector angles = cloud->puffs->children[1]->angles[2];
    explosion.Update();
    ASSERT_EQ(explosion.clouds[0], cloud);
    EXPECT_EQ(cloud->position, start + velocity);
    EXPECT_FLOAT_EQ(cloud->size, size * 1.1f);
    EXPECT_FLOAT_EQ(cloud->alpha, 0.85f);
    for (int i = 0; i < 13; ++i)
    {
        explosion.Update();
    }
    // 0.85^14 = 0.103: still there; 0.85^15 = 0.087: gone.
    EXPECT_EQ(explosion.clouds[0], cloud);
    EXPECT_EQ(cloud->puffs->children[1]->angles[2], angles);
    explosion.Update();
    EXPECT_NE(explosion.clouds[0], cloud);
}

TEST(ExplosionTest, SpawnedCloudsStartWithinFiveOfTheCentreOnThePositiveSide)
{
    SeedRandom(11);
    const Vector centre(-20, 30, 40);
    Explosion explosion(4, 3.0f, centre, Vector(1, 0, 0), false);
    explosion.Update();
    // The first four are the burst; the spawned ones have not moved yet.
    ASSERT_EQ(explosion.clouds.size(), 8u);
    for (size_t i = 4; i < 8; ++i)
    {
        const Cloud* cloud = explosion.clouds[i];
        EXPECT_EQ(cloud->alpha, 1.0f);
        for (int axis = 0; axis < 3; ++axis)
        {
            EXPECT_GE(cloud->position[axis], centre[axis]);
            EXPECT_LE(cloud->position[axis], centre[axis] + 5.0f);
        }
        EXPECT_GE(cloud->size, 60.0f);
    }
}

TEST(ExplosionTest, EnvironmentRemovesOnlyFinishedExplosionsAndKeepsTheOrder)
{
    Environment environment{Environment::Headless{}};
    const Vector centre(0, 0, 0), colour(1, 1, 1);
    environment.AddExplosion(2, 0.2f, &centre, &colour, false);
    environment.AddExplosion(0, 0.2f, &centre, &colour, false);
    environment.AddExplosion(1, 0.2f, &centre, &colour, false);
    Explosion* first = environment.explosions[0];
    Explosion* third = environment.explosions[2];
    environment.Update(Vector(0, 0, 0), Vector(0, 0, -1));
    ASSERT_EQ(environment.ExplosionCount(), 2);
    EXPECT_EQ(environment.explosions[0], first);
    EXPECT_EQ(environment.explosions[1], third);
    int ticks = 1;
    while (environment.ExplosionCount() > 0 && ticks < 200)
    {
        environment.Update(Vector(0, 0, 0), Vector(0, 0, -1));
        ++ticks;
    }
    EXPECT_EQ(environment.ExplosionCount(), 0);
    // Spawning stops at age 29; the last clouds fade 15 updates later.
    EXPECT_EQ(ticks, 44);
}
