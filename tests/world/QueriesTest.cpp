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

// Adds a region with the given box and density parameter (density 0.1 x it),
// without clouds or OpenGL.
void AddBox(Environment& environment, const Vector& min, const Vector& max, float parameter)
{
    NebulaRegion* region = new NebulaRegion;
    region->min = min;
    region->max = max;
    region->density = float(parameter * 0.1);
    environment.regions.push_back(region);
}

// The walks against the plain ones on random maps are below; here what those
// seldom or never meet: a point to itself, a walk cut off once its sum passes
// 100, a limit on a walk whose sum can fall again, a range of exactly 0, and
// where a box begins and ends.
TEST(Queries, WorkedExamples)
{
    Environment environment{Environment::Headless{}};
    AddBox(environment, Vector(0, 0, 0), Vector(1000, 1000, 1000), 0.2f);
    AddBox(environment, Vector(40000, 0, 0), Vector(41000, 1000, 1000), 100);
    AddBox(environment, Vector(0, 60000, 0), Vector(100, 60100, 100), 0.2f);
    AddBox(environment, Vector(50, 60050, 50), Vector(200, 60200, 200), 1);
    EXPECT_FLOAT_EQ(environment.Obscuration(Vector(300, 300, 300), Vector(300, 300, 300)), 0.04f);
    EXPECT_FLOAT_EQ(environment.Obscuration(Vector(40100, 100, 100), Vector(40600, 100, 100)), 220.0f)
        << "the sum passes 100 at the 11th sample (density 10)";
    // A limit never cuts short a walk that can still fall: 11 samples of +0.5
    // (density 0.5) then 20 of -0.5 (a damaged map's negative density).
    Environment negative{Environment::Headless{}};
    AddBox(negative, Vector(0, -10, -10), Vector(100, 10, 10), 5.0f);
    AddBox(negative, Vector(100, -10, -10), Vector(300, 10, 10), -5.0f);
    EXPECT_FLOAT_EQ(negative.Obscuration(Vector(0, 0, 0), Vector(300, 0, 0), 1.0f), -9.0f);
    EXPECT_EQ(environment.SightDistance(Vector(500, 500, 500), Vector(0, 1, 0), 0), 0.0f);
    const float densities[][4] = {
        // point -> density: faces and corners belong to a box, overlapping boxes add up
        {0, 60050, 50, 0.02f},   {100, 60100, 100, 0.12f}, {75, 60075, 75, 0.12f},
        {150, 60150, 150, 0.1f}, {100.001f, 60040, 40, 0}, {50, 59999.99f, 50, 0},
    };
    for (const auto& d : densities)
    {
        EXPECT_FLOAT_EQ(environment.DensityAt(Vector(d[0], d[1], d[2])), d[3]) << d[0] << " " << d[1];
    }
}

TEST(Queries, AwkwardInputsEndWithoutHanging)
{
    Environment environment{Environment::Headless{}};
    AddBox(environment, Vector(-1e30f, -1e30f, -1e30f), Vector(1e30f, 1e30f, 1e30f), 0.001f);
    const float nan = std::nanf("");
    // Steps below the rounding of the coordinates never move the position: the
    // walk samples the same point until the sum passes 100, or, when only the
    // x step vanishes, sticks once z has arrived.
    for (const Vector& from : {Vector(0, 0, 1e20f), Vector(30000, 5, 0)})
    {
        const Vector to = from.z > 0 ? Vector(0, 0, 2e20f) : Vector(30000.1f, 5, 1000);
        EXPECT_EQ(environment.Obscuration(from, to), ReferenceObscuration(environment, from, to));
    }
    Environment open{Environment::Headless{}}; // nothing to stop the plain walk there
    AddBox(open, Vector(29000, 0, 0), Vector(29500, 10, 10), 1.0f);
    EXPECT_EQ(open.Obscuration(Vector(30000, 5, 0), Vector(30000.1f, 5, 1000)), 0.0f);
    EXPECT_EQ(environment.Obscuration(Vector(-3e38f, 0, 0), Vector(3e38f, 0, 0)), 0.0f);
    EXPECT_EQ(environment.Obscuration(Vector(nan, 0, 0), Vector(0, 0, 0)), 0.0f);
    EXPECT_EQ(environment.SightDistance(Vector(nan, 0, 0), Vector(1, 0, 0), 1.0f), 1010.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(nan, 0, 0), 0.0002f), 10.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(0, 0, 0), 1.0f), 1010.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(1, 0, 0), nan), 1010.0f);
}

// Random maps of 20 overlapping regions (some with faces on the 10-unit grid
// that axis-aligned queries step along, where a sample lands exactly on a
// face) and random queries inside, across and outside them. Odd maps lie far
// from the origin, where every float step rounds.
TEST(Queries, FastWalksMatchThePlainOnesBitForBitOnRandomMaps)
{
    auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    auto grid = [](Vector v)
    { return Vector(std::round(v.x / 10) * 10, std::round(v.y / 10) * 10, std::round(v.z / 10) * 10); };
    for (int map = 1; map <= 8; ++map)
    {
        std::mt19937 random(map);
        auto uniform = [&](float a, float b) { return std::uniform_real_distribution<float>(a, b)(random); };
        const Vector offset = map % 2 == 1 ? Vector(31234.5f, -20000.25f, 12345.0f) : Vector();
        Environment environment{Environment::Headless{}};
        for (int i = 0; i < 20; ++i)
        {
            const Vector min(uniform(-1500, 1500), uniform(-1500, 1500), uniform(-1500, 1500));
            const Vector max = min + Vector(uniform(20, 900), uniform(20, 900), uniform(20, 900));
            AddBox(environment, (i % 4 ? min : grid(min)) + offset, (i % 4 ? max : grid(max)) + offset,
                   uniform(0.05f, 3.0f));
        }
        auto point = [&]()
        {
            Vector p = Vector(uniform(-2000, 2000), uniform(-2000, 2000), uniform(-2000, 2000)) + offset;
            if (random() % 2 == 0) // in or near one of the regions
            {
                const NebulaRegion* r = environment.regions[random() % environment.regions.size()];
                for (int axis = 0; axis < 3; ++axis)
                {
                    p[axis] = r->min[axis] + uniform(-0.1f, 1.1f) * (r->max[axis] - r->min[axis]);
                }
            }
            return random() % 3 == 0 ? grid(p) : p;
        };
        int stoppedEarly = 0, obscured = 0, neverEnding = 0, cutShort = 0;
        for (int i = 0; i < 20000; ++i)
        {
            const Vector from = point();
            Vector direction;
            if (random() % 4 == 0) // along an axis, either way
            {
                direction[random() % 3] = random() % 2 ? 1.0f : -1.0f;
            }
            else
            {
                std::normal_distribution<float> gauss;
                direction = Vector(gauss(random), gauss(random), gauss(random));
                Normalize(direction);
            }
            const float range = uniform(-0.5f, 6.0f);
            const float sight = environment.SightDistance(from, direction, range);
            ASSERT_TRUE(same(sight, ReferenceSightDistance(environment, from, direction, range)))
                << map << " " << i;
            stoppedEarly += sight > 0.0f && sight < 1010.0f ? 1 : 0;

            Vector to = point();
            if (i % 5 == 0) // along one axis only, or a point to itself
            {
                to = from;
                to[i % 3] += float(int(random() % 800) - 400);
            }
            const float plain = ReferenceObscuration(environment, from, to);
            neverEnding += std::isnan(plain) ? 1 : 0; // the game's version must end there too
            const float fast = environment.Obscuration(from, to);
            ASSERT_TRUE(std::isnan(plain) || same(fast, plain)) << map << " " << i;
            obscured += fast > 0.0f ? 1 : 0;
            // With a limit around the true value (sometimes exactly it): exact
            // below the limit, otherwise between the limit and the whole walk.
            const float limit = i % 7 == 0 ? plain : plain * uniform(0.0f, 2.0f);
            const float limited = environment.Obscuration(from, to, limit);
            ASSERT_TRUE(std::isnan(plain) ||
                        (plain < limit ? same(limited, plain) : limited >= limit && limited <= plain))
                << map << " " << i << ": " << limited << " vs " << plain << " limit " << limit;
            cutShort += !std::isnan(plain) && limited < plain ? 1 : 0;
        }
        // The maps are dense enough that many walks end inside a nebula.
        EXPECT_TRUE(stoppedEarly > 2000 && obscured > 2000 && neverEnding < 20 && cutShort > 1000) << map;
    }
}

} // namespace
