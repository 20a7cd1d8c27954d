// Building, drifting and fading nebula clouds, without drawing.

#include <gtest/gtest.h>

#include <cmath>

#include "math/Random.h"
#include "world/NebulaRegion.h"

namespace
{

const Vector kBlue(0.0f, 0.0f, 0.5f);

// Builds a region's clouds from a known generator state.
void BuildBox(NebulaRegion& region, float edge, float densityParameter, float speedFactor, unsigned seed = 9)
{
    SeedRandom(seed);
    region.BuildClouds(Vector(0, 0, 0), Vector(edge, edge, edge), densityParameter, speedFactor, kBlue);
}

} // namespace

TEST(NebulaRegionBuildTest, ABoxOfEdge100AtParameter02HasEightCloudsOfTheRightSize)
{
    NebulaRegion region;
    BuildBox(region, 100.0f, 0.2f, 0.5f);
    EXPECT_FLOAT_EQ(region.density, 0.02f);
    ASSERT_EQ(region.clouds.size(), 8u);
    for (const Cloud* cloud : region.clouds)
    {
        // 0.8 to 1.2 times the base size 2 sqrt(0.2) / 0.02 = 44.72.
        EXPECT_GE(cloud->size, 35.77f);
        EXPECT_LE(cloud->size, 53.67f);
        // Up to 50 from a grid point at 0 or 50.
        for (int axis = 0; axis < 3; ++axis)
        {
            EXPECT_GE(cloud->position[axis], -50.0f);
            EXPECT_LE(cloud->position[axis], 100.0f);
            EXPECT_LE(std::fabs(cloud->velocity[axis]), 1.0f); // 2 x speed factor
        }
    }
    EXPECT_FALSE(region.active);
}

TEST(NebulaRegionBuildTest, GridRunsXInsideZInsideYAndDrawsInOrder)
{
    NebulaRegion region;
    SeedRandom(5);
    region.BuildClouds(Vector(0, 0, 0), Vector(150, 100, 50), 0.2f, 1.0f, kBlue);
    // 3 along x, 2 along y, 1 along z.
    ASSERT_EQ(region.clouds.size(), 6u);

    SeedRandom(5);
    const float grid[6][3] = {{0, 0, 0}, {50, 0, 0}, {100, 0, 0}, {0, 50, 0}, {50, 50, 0}, {100, 50, 0}};
    for (int i = 0; i < 6; ++i)
    {
        const Cloud* cloud = region.clouds[i];
        for (int axis = 0; axis < 3; ++axis)
        {
            EXPECT_EQ(cloud->position[axis], float(grid[i][axis] + (10.0 * RandomFraction() - 5.0) * 10.0));
        }
        for (int axis = 0; axis < 3; ++axis)
        {
            EXPECT_EQ(cloud->velocity[axis], float((40.0 * RandomFraction() - 20.0) * 1.0 * 0.1));
        }
        const float baseSize = float(2.0 * std::sqrt(double(0.2f)) / region.density);
        EXPECT_EQ(cloud->size, float((0.4 * RandomFraction() - 0.2 + 1.0) * baseSize));
        for (int k = 0; k < 144; ++k)
        {
            Random(); // the puff tree's angles and spins
        }
    }
}

TEST(NebulaRegionBuildTest, TheGridLoopRunsWhileTheFloatIsBelowTheFace)
{
    // 0, 50, 100 along x when the face is just beyond 100; 0, 50 when it is on 100.
    NebulaRegion longer, exact;
    SeedRandom(1);
    longer.BuildClouds(Vector(0, 0, 0), Vector(100.00001f, 10, 10), 0.2f, 1.0f, kBlue);
    EXPECT_EQ(longer.clouds.size(), 3u);
    exact.BuildClouds(Vector(0, 0, 0), Vector(100.0f, 10, 10), 0.2f, 1.0f, kBlue);
    EXPECT_EQ(exact.clouds.size(), 2u);
    // A box of no extent has no clouds.
    NebulaRegion flat;
    flat.BuildClouds(Vector(0, 0, 0), Vector(100, 0, 100), 0.2f, 1.0f, kBlue);
    EXPECT_EQ(flat.clouds.size(), 0u);
}

TEST(NebulaRegionBuildTest, TheSameGeneratorStateGivesTheSameClouds)
{
    NebulaRegion a, b, c;
    BuildBox(a, 300.0f, 0.3f, 1.0f, 42);
    BuildBox(b, 300.0f, 0.3f, 1.0f, 42);
    BuildBox(c, 300.0f, 0.3f, 1.0f, 43);
    ASSERT_EQ(a.clouds.size(), b.clouds.size());
    ASSERT_EQ(a.clouds.size(), c.clouds.size());
    bool allSame = true;
    for (size_t i = 0; i < a.clouds.size(); ++i)
    {
        EXPECT_EQ(a.clouds[i]->position, b.clouds[i]->position);
        EXPECT_EQ(a.clouds[i]->velocity, b.clouds[i]->velocity);
        EXPECT_EQ(a.clouds[i]->size, b.clouds[i]->size);
        EXPECT_EQ(a.clouds[i]->puffs->children[2]->angles[1], b.clouds[i]->puffs->children[2]->angles[1]);
        allSame = allSame && a.clouds[i]->position == c.clouds[i]->position;
    }
    EXPECT_FALSE(allSame);
}

TEST(NebulaRegionBuildTest, DegenerateParametersEndWithoutHanging)
{
    NebulaRegion zero, negative, notANumber, huge;
    BuildBox(zero, 100.0f, 0.0f, 1.0f);
    // Density 0: an infinite step, one cloud at the corner.
    EXPECT_EQ(zero.density, 0.0f);
    EXPECT_LE(zero.clouds.size(), 1u);
    BuildBox(negative, 100.0f, -0.2f, 1.0f);
    EXPECT_EQ(negative.clouds.size(), 0u);
    BuildBox(notANumber, 100.0f, std::nanf(""), 1.0f);
    EXPECT_EQ(notANumber.clouds.size(), 0u);
    // A step of 0.001 over a box of 100 would make 1e15 clouds.
    BuildBox(huge, 100.0f, 10000.0f, 1.0f);
    EXPECT_EQ(huge.clouds.size(), kMaxMapClouds);
    // A box so far out that adding the step changes nothing.
    NebulaRegion far;
    far.BuildClouds(Vector(1e12f, 0, 0), Vector(2e12f, 100, 100), 0.2f, 1.0f, kBlue);
    EXPECT_LE(far.clouds.size(), 1u);
}

TEST(NebulaRegionUpdateTest, SpeedFactorZeroLeavesTheCloudsWhereTheyAre)
{
    NebulaRegion region;
    BuildBox(region, 200.0f, 0.2f, 0.0f);
    std::vector<Vector> before;
    for (const Cloud* cloud : region.clouds)
    {
        EXPECT_EQ(cloud->velocity, Vector(0, 0, 0));
        before.push_back(cloud->position);
    }
    for (int tick = 0; tick < 50; ++tick)
    {
        region.Update(Vector(100, 100, 100), Vector(0, 0, -1));
    }
    EXPECT_TRUE(region.active);
    for (size_t i = 0; i < before.size(); ++i)
    {
        // Only clouds that started outside the box are wrapped into it, once.
        const Vector& p = region.clouds[i]->position;
        for (int axis = 0; axis < 3; ++axis)
        {
            if (before[i][axis] >= 0.0f && before[i][axis] <= 200.0f)
            {
                EXPECT_EQ(p[axis], before[i][axis]);
            }
            else
            {
                EXPECT_FLOAT_EQ(std::fabs(p[axis] - before[i][axis]), 200.0f);
            }
        }
    }
}

TEST(NebulaRegionUpdateTest, ACloudLeavingThroughAFaceReentersThroughTheOppositeFace)
{
    NebulaRegion region;
    BuildBox(region, 100.0f, 0.2f, 1.0f);
    Cloud* cloud = region.clouds[0];
    cloud->position = Vector(99.0f, 50.0f, 2.0f);
    cloud->velocity = Vector(2.0f, 0.0f, -3.0f);
    region.Update(Vector(50, 50, 50), Vector(0, 0, -1));
    EXPECT_FLOAT_EQ(cloud->position.x, 1.0f); // 101 loses the span 100
    EXPECT_FLOAT_EQ(cloud->position.y, 50.0f);
    EXPECT_FLOAT_EQ(cloud->position.z, 99.0f); // -1 gains the span
    // Exactly on a face stays.
    cloud->position = Vector(98.0f, 50.0f, 50.0f);
    cloud->velocity = Vector(2.0f, 0.0f, 0.0f);
    region.Update(Vector(50, 50, 50), Vector(0, 0, -1));
    EXPECT_EQ(cloud->position.x, 100.0f);
}

TEST(NebulaRegionUpdateTest, AFarCameraLeavesTheRegionInactiveAndStill)
{
    NebulaRegion region;
    BuildBox(region, 100.0f, 0.2f, 1.0f);
    const Vector start = region.clouds[3]->position;
    const Vector forward(0, 0, -1);
    // 577.36 beyond the face on one axis only.
    region.Update(Vector(50, 50, 100 + 577.36f), forward);
    EXPECT_FALSE(region.active);
    EXPECT_EQ(region.clouds[3]->position, start);
    region.Update(Vector(-577.36f, 50, 50), forward);
    EXPECT_FALSE(region.active);
    region.Update(Vector(-577.34f, 100 + 577.34f, -577.34f), forward);
    EXPECT_TRUE(region.active);
    EXPECT_NE(region.clouds[3]->position, start);
}

TEST(NebulaRegionUpdateTest, VisibilityDetailAndFadeFollowTheCamera)
{
    NebulaRegion region;
    SeedRandom(1);
    region.BuildClouds(Vector(-1000, -1000, -1000), Vector(1000, 1000, 1000), 0.2f, 0.0f, kBlue);
    ASSERT_GE(region.clouds.size(), 5u);
    Cloud* near = region.clouds[0];
    Cloud* middle = region.clouds[1];
    Cloud* far = region.clouds[2];
    Cloud* behind = region.clouds[3];
    Cloud* edge = region.clouds[4];
    near->position = Vector(0, 0, -15);     // d2 225: lod 2, blend 0.5
    middle->position = Vector(0, 0, -35);   // d2 1225: lod 1, blend 0.5
    far->position = Vector(0, 0, -255);     // lod 0, fade halfway
    behind->position = Vector(0, 0, 0.5f);  // along -0.5: hidden
    edge->position = Vector(0, 0, -999.0f); // beyond 500 along the view
    const Vector angles = near->puffs->angles[0];
    const Vector farAngles = far->puffs->angles[0];

    region.Update(Vector(0, 0, 0), Vector(0, 0, -1));
    EXPECT_TRUE(near->visible);
    EXPECT_EQ(near->lod, 2);
    EXPECT_FLOAT_EQ(near->blend, 0.5f);
    EXPECT_NE(near->puffs->angles[0], angles); // near clouds spin
    EXPECT_TRUE(middle->visible);
    EXPECT_EQ(middle->lod, 1);
    EXPECT_FLOAT_EQ(middle->blend, 0.5f);
    EXPECT_TRUE(far->visible);
    EXPECT_EQ(far->lod, 0);
    EXPECT_EQ(far->blend, 1.0f);
    EXPECT_NEAR(far->alpha, 0.5f, 1e-4);
    EXPECT_EQ(far->puffs->angles[0], farAngles); // far clouds do not
    EXPECT_FALSE(behind->visible);
    EXPECT_FALSE(edge->visible);

    // Near a face of the box the fade falls to 0: margin 0.05 x 2000 = 100.
    Cloud* side = region.clouds[1];
    side->position = Vector(950, 0, -10);
    region.Update(Vector(950, 0, 0), Vector(0, 0, -1));
    EXPECT_TRUE(side->visible);
    EXPECT_NEAR(side->alpha, 0.5f, 1e-4);
}
