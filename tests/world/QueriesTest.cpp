// The nebula queries: the worked examples, awkward inputs, and the game's fast
// versions against the plain ones on random maps, bit for bit.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "ReferenceQueries.h"
#include "world/Environment.h"

namespace
{

// A region with the given box and density parameter, without clouds or OpenGL.
void AddBox(Environment& environment, const Vector& min, const Vector& max, float densityParameter)
{
    NebulaRegion* region = new NebulaRegion;
    region->min = min;
    region->max = max;
    region->density = float(densityParameter * 0.1);
    environment.regions.push_back(region);
}

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(DensityAtTest, FacesAndCornersBelongToTheBox)
{
    Environment environment{Environment::Headless{}};
    AddBox(environment, Vector(0, 0, 0), Vector(100, 100, 100), 0.2f);
    const float density = environment.regions[0]->density;
    EXPECT_EQ(environment.DensityAt(Vector(0, 50, 50)), density);
    EXPECT_EQ(environment.DensityAt(Vector(100, 50, 50)), density);
    EXPECT_EQ(environment.DensityAt(Vector(50, 100, 50)), density);
    EXPECT_EQ(environment.DensityAt(Vector(50, 50, 0)), density);
    EXPECT_EQ(environment.DensityAt(Vector(100, 100, 100)), density);
    EXPECT_EQ(environment.DensityAt(Vector(100.001f, 50, 50)), 0.0f);
    EXPECT_EQ(environment.DensityAt(Vector(50, -0.001f, 50)), 0.0f);
}

TEST(DensityAtTest, OverlappingRegionsAddUp)
{
    Environment environment{Environment::Headless{}};
    AddBox(environment, Vector(0, 0, 0), Vector(100, 100, 100), 0.2f);
    AddBox(environment, Vector(50, 50, 50), Vector(200, 200, 200), 1.0f);
    EXPECT_FLOAT_EQ(environment.DensityAt(Vector(75, 75, 75)), 0.12f);
    EXPECT_FLOAT_EQ(environment.DensityAt(Vector(150, 150, 150)), 0.1f);
    EXPECT_EQ(environment.DensityAt(Vector(300, 0, 0)), 0.0f);
}

TEST(ObscurationTest, WorkedExamples)
{
    Environment environment{Environment::Headless{}};
    // Open space.
    EXPECT_EQ(environment.Obscuration(Vector(0, 0, 0), Vector(1000, 300, -200)), 0.0f);

    AddBox(environment, Vector(0, 0, 0), Vector(1000, 1000, 1000), 0.2f);
    // 100 apart inside density 0.02: samples at 0, 10, ..., 90 (the target is
    // never sampled) make 10 samples and 2 x 0.2.
    EXPECT_FLOAT_EQ(environment.Obscuration(Vector(100, 500, 500), Vector(200, 500, 500)), 0.4f);
    // The same backwards and along a diagonal axis pair.
    EXPECT_FLOAT_EQ(environment.Obscuration(Vector(200, 500, 500), Vector(100, 500, 500)), 0.4f);
    // A point to itself samples it once.
    EXPECT_FLOAT_EQ(environment.Obscuration(Vector(300, 300, 300), Vector(300, 300, 300)), 0.04f);
    // A segment that touches no region.
    EXPECT_EQ(environment.Obscuration(Vector(-500, -500, -500), Vector(-100, 2000, -10)), 0.0f);

    Environment dense{Environment::Headless{}};
    AddBox(dense, Vector(0, 0, 0), Vector(1000, 1000, 1000), 100.0f);
    // Density 10: the sum passes 100 at the 11th sample of a 500-long segment.
    EXPECT_FLOAT_EQ(dense.Obscuration(Vector(100, 100, 100), Vector(600, 100, 100)), 220.0f);
}

TEST(ObscurationTest, OnlyTheNebulaBetweenThePointsCounts)
{
    Environment environment{Environment::Headless{}};
    // A slab 100 thick across the line; both ends in open space.
    AddBox(environment, Vector(400, -1000, -1000), Vector(500, 1000, 1000), 0.2f);
    // Samples at 0, 10, ..., 990: those from 400 to 500 are inside (11 of them).
    EXPECT_FLOAT_EQ(environment.Obscuration(Vector(0, 0, 0), Vector(1000, 0, 0)), 2.0f * 11 * 0.02f);
    // A segment that stops short of the slab.
    EXPECT_EQ(environment.Obscuration(Vector(0, 0, 0), Vector(390, 0, 0)), 0.0f);
}

TEST(ObscurationTest, ALimitNeverCutsShortAWalkThatCanStillFall)
{
    // A map with a negative density: 11 samples of +0.5, then 20 of -0.5.
    Environment environment{Environment::Headless{}};
    AddBox(environment, Vector(0, -10, -10), Vector(100, 10, 10), 5.0f);
    AddBox(environment, Vector(100, -10, -10), Vector(300, 10, 10), -5.0f);
    EXPECT_FLOAT_EQ(environment.Obscuration(Vector(0, 0, 0), Vector(300, 0, 0), 1.0f), -9.0f);
}

TEST(SightDistanceTest, WorkedExamples)
{
    Environment environment{Environment::Headless{}};
    const Vector up(0, 1, 0);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), up, 5.0f), 1010.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), up, 0.0f), 0.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), up, -3.0f), 0.0f);

    AddBox(environment, Vector(-2000, -2000, -2000), Vector(2000, 2000, 2000), 0.2f);
    // A budget of 0.5 at 0.02 per sample is used up at the 25th sample.
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), up, 1.0f), 250.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), up, 0.0f), 0.0f);
    // A budget of 20 outlasts the 101 samples.
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), up, 40.0f), 1010.0f);
}

TEST(SightDistanceTest, ARegionBehindOrBesideTheLineDoesNotCount)
{
    Environment environment{Environment::Headless{}};
    AddBox(environment, Vector(-500, -500, -500), Vector(-100, 500, 500), 10.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(1, 0, 0), 1.0f), 1010.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(-1, 0, 0), 1.0f), 110.0f);
}

TEST(QueriesTest, AwkwardInputsEndWithoutHanging)
{
    Environment environment{Environment::Headless{}};
    AddBox(environment, Vector(-1e30f, -1e30f, -1e30f), Vector(1e30f, 1e30f, 1e30f), 0.001f);
    const float nan = std::nanf("");
    // Steps far below the rounding of the coordinates never move the position:
    // the walk keeps sampling the same point until the sum passes 100.
    const Vector deep(0, 0, 1e20f), deeper(0, 0, 2e20f);
    const float stuck = environment.Obscuration(deep, deeper);
    EXPECT_GT(stuck, 200.0f);
    EXPECT_EQ(stuck, ReferenceObscuration(environment, deep, deeper));
    // Only the x step (0.001) vanishes at 30000; the walk sticks once z has arrived.
    const Vector side(30000.0f, 5.0f, 0.0f), sideTarget(30000.1f, 5.0f, 1000.0f);
    EXPECT_EQ(environment.Obscuration(side, sideTarget), ReferenceObscuration(environment, side, sideTarget));
    // With no density to stop it the plain walk would never end.
    Environment open{Environment::Headless{}};
    AddBox(open, Vector(29000, 0, 0), Vector(29500, 10, 10), 1.0f);
    EXPECT_EQ(open.Obscuration(side, sideTarget), 0.0f);
    // Points whose difference overflows.
    EXPECT_EQ(environment.Obscuration(Vector(-3e38f, 0, 0), Vector(3e38f, 0, 0)), 0.0f);
    EXPECT_EQ(environment.Obscuration(Vector(nan, 0, 0), Vector(0, 0, 0)), 0.0f);
    EXPECT_EQ(environment.SightDistance(Vector(nan, 0, 0), Vector(1, 0, 0), 1.0f), 1010.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(nan, nan, nan), 1.0f),
              ReferenceSightDistance(environment, Vector(0, 0, 0), Vector(nan, nan, nan), 1.0f));
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(nan, 0, 0), 0.0002f), 10.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(0, 0, 0), 1.0f), 1010.0f);
}

// Random maps of 20 overlapping regions (several of them sharing faces and
// grid-aligned coordinates, where a sample lands exactly on a face), and random
// queries inside, across and outside them. Odd maps lie far from the origin,
// where every float step rounds.
class RandomMapTest : public ::testing::TestWithParam<int>
{
  protected:
    void SetUp() override
    {
        generator.seed(GetParam());
        if (GetParam() % 2 == 1)
        {
            offset = Vector(31234.5f, -20000.25f, 12345.0f);
        }
        std::uniform_real_distribution<float> corner(-1500.0f, 1500.0f);
        std::uniform_real_distribution<float> edge(20.0f, 900.0f);
        std::uniform_real_distribution<float> parameter(0.05f, 3.0f);
        for (int i = 0; i < 20; ++i)
        {
            Vector min(corner(generator), corner(generator), corner(generator));
            Vector max = min + Vector(edge(generator), edge(generator), edge(generator));
            if (i % 4 == 0)
            {
                // Faces on the 10-unit grid that axis-aligned queries step along.
                for (int axis = 0; axis < 3; ++axis)
                {
                    min[axis] = std::round(min[axis] / 10.0f) * 10.0f;
                    max[axis] = std::round(max[axis] / 10.0f) * 10.0f;
                }
            }
            AddBox(environment, min + offset, max + offset, parameter(generator));
        }
    }

    Vector RandomPoint()
    {
        std::uniform_real_distribution<float> coordinate(-2000.0f, 2000.0f);
        Vector p = Vector(coordinate(generator), coordinate(generator), coordinate(generator)) + offset;
        if (generator() % 2 == 0)
        {
            // In or near one of the regions.
            const NebulaRegion* region = environment.regions[generator() % environment.regions.size()];
            std::uniform_real_distribution<float> fraction(-0.1f, 1.1f);
            for (int axis = 0; axis < 3; ++axis)
            {
                p[axis] = region->min[axis] + fraction(generator) * (region->max[axis] - region->min[axis]);
            }
        }
        if (generator() % 3 == 0)
        {
            p = Vector(std::round(p.x / 10.0f) * 10.0f, std::round(p.y / 10.0f) * 10.0f,
                       std::round(p.z / 10.0f) * 10.0f);
        }
        return p;
    }

    Vector RandomDirection()
    {
        const int kind = generator() % 4;
        if (kind == 0)
        {
            // Along an axis, either way.
            Vector d;
            d[generator() % 3] = generator() % 2 ? 1.0f : -1.0f;
            return d;
        }
        std::normal_distribution<float> gauss;
        Vector d(gauss(generator), gauss(generator), gauss(generator));
        Normalize(d);
        return d;
    }

    Environment environment{Environment::Headless{}};
    std::mt19937 generator;
    Vector offset;
};

TEST_P(RandomMapTest, SightDistanceMatchesThePlainWalkBitForBit)
{
    std::uniform_real_distribution<float> range(-0.5f, 6.0f);
    int stoppedEarly = 0;
    for (int i = 0; i < 20000; ++i)
    {
        const Vector from = RandomPoint();
        const Vector direction = RandomDirection();
        const float r = range(generator);
        const float fast = environment.SightDistance(from, direction, r);
        const float plain = ReferenceSightDistance(environment, from, direction, r);
        ASSERT_TRUE(SameBits(fast, plain)) << "from " << from.x << " " << from.y << " " << from.z << " range "
                                           << r << ": " << fast << " vs " << plain;
        stoppedEarly += fast > 0.0f && fast < 1010.0f ? 1 : 0;
    }
    // The maps are dense enough that many walks end inside a nebula.
    EXPECT_GT(stoppedEarly, 2000);
}

TEST_P(RandomMapTest, ObscurationMatchesThePlainWalkBitForBit)
{
    std::uniform_real_distribution<float> share(0.0f, 2.0f);
    int cutShort = 0;
    int obscured = 0;
    int neverEnding = 0;
    for (int i = 0; i < 20000; ++i)
    {
        const Vector from = RandomPoint();
        Vector to = RandomPoint();
        if (i % 5 == 0)
        {
            // Along one axis only, or a point to itself.
            to = from;
            to[i % 3] += float(int(generator() % 800) - 400);
        }
        const float fast = environment.Obscuration(from, to);
        const float plain = ReferenceObscuration(environment, from, to);
        if (std::isnan(plain))
        {
            // The plain walk never ends here; the game's version must.
            ++neverEnding;
            continue;
        }
        ASSERT_TRUE(SameBits(fast, plain))
            << "from " << from.x << " " << from.y << " " << from.z << " to " << to.x << " " << to.y << " "
            << to.z << ": " << fast << " vs " << plain;
        obscured += fast > 0.0f ? 1 : 0;

        // With a limit (around the true value, sometimes exactly it): exact
        // below the limit, otherwise between the limit and the whole walk.
        const float limit = i % 7 == 0 ? plain : plain * share(generator);
        const float limited = environment.Obscuration(from, to, limit);
        if (plain < limit)
        {
            ASSERT_TRUE(SameBits(limited, plain)) << limited << " vs " << plain << " below " << limit;
        }
        else
        {
            ASSERT_GE(limited, limit);
            ASSERT_LE(limited, plain);
            cutShort += limited < plain ? 1 : 0;
        }
    }
    EXPECT_GT(obscured, 2000);
    EXPECT_GT(cutShort, 1000);
    EXPECT_LT(neverEnding, 20);
}

INSTANTIATE_TEST_SUITE_P(Maps, RandomMapTest, ::testing::Range(1, 9));
