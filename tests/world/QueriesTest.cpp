// The nebula queries: the worked examples, awkward inputs, and the game's fast
// versions against the plain ones on random maps, bit for bit.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "ReferenceQueries.h"
#include "world/Environment.h"

namespace
{

struct Box
{
    Vector min, max;
    float parameter; // the map's density parameter: density 0.1 x this
};

// Adds regions with the given boxes, without clouds or OpenGL.
void AddBoxes(Environment& environment, const std::vector<Box>& boxes)
{
    for (const Box& box : boxes)
    {
        NebulaRegion* region = new NebulaRegion;
        region->min = box.min;
        region->max = box.max;
        region->density = float(box.parameter * 0.1);
        environment.regions.push_back(region);
    }
}

const Box kCube{Vector(0, 0, 0), Vector(1000, 1000, 1000), 0.2f};
const Box kDense{Vector(0, 0, 0), Vector(1000, 1000, 1000), 100.0f};
const Box kSlab{Vector(400, -1000, -1000), Vector(500, 1000, 1000), 0.2f};
const Box kWide{Vector(-2000, -2000, -2000), Vector(2000, 2000, 2000), 0.2f};
const Box kWest{Vector(-500, -500, -500), Vector(-100, 500, 500), 10.0f};

TEST(Queries, WorkedExamples)
{
    const struct
    {
        std::vector<Box> boxes;
        Vector from, to;
        float expected;
    } obscurations[] = {
        {{}, Vector(0, 0, 0), Vector(1000, 300, -200), 0.0f},
        // 100 apart at density 0.02: samples at 0, 10, ..., 90, never the target.
        {{kCube}, Vector(100, 500, 500), Vector(200, 500, 500), 0.4f},
        {{kCube}, Vector(200, 500, 500), Vector(100, 500, 500), 0.4f},
        {{kCube}, Vector(300, 300, 300), Vector(300, 300, 300), 0.04f},
        {{kCube}, Vector(-500, -500, -500), Vector(-100, 2000, -10), 0.0f},
        // The sum passes 100 at the 11th sample.
        {{kDense}, Vector(100, 100, 100), Vector(600, 100, 100), 220.0f},
        // Only the 11 samples from 400 to 500 lie in the slab.
        {{kSlab}, Vector(0, 0, 0), Vector(1000, 0, 0), 0.44f},
        {{kSlab}, Vector(0, 0, 0), Vector(390, 0, 0), 0.0f},
    };
    for (const auto& row : obscurations)
    {
        Environment environment{Environment::Headless{}};
        AddBoxes(environment, row.boxes);
        EXPECT_FLOAT_EQ(environment.Obscuration(row.from, row.to), row.expected)
            << row.from.x << " " << row.from.y << " " << row.from.z;
    }

    const struct
    {
        std::vector<Box> boxes;
        Vector direction;
        float range, expected;
    } sights[] = {
        {{}, Vector(0, 1, 0), 5.0f, 1010.0f},       {{}, Vector(0, 1, 0), 0.0f, 0.0f},
        {{}, Vector(0, 1, 0), -3.0f, 0.0f},         {{kWide}, Vector(0, 1, 0), 1.0f, 250.0f},
        {{kWide}, Vector(0, 1, 0), 40.0f, 1010.0f}, {{kWest}, Vector(1, 0, 0), 1.0f, 1010.0f},
        {{kWest}, Vector(-1, 0, 0), 1.0f, 110.0f},
    };
    for (const auto& row : sights)
    {
        Environment environment{Environment::Headless{}};
        AddBoxes(environment, row.boxes);
        EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), row.direction, row.range), row.expected)
            << row.direction.x << " " << row.range;
    }

    // Faces and corners belong to a box; overlapping boxes add up.
    Environment environment{Environment::Headless{}};
    AddBoxes(environment, {{Vector(0, 0, 0), Vector(100, 100, 100), 0.2f},
                           {Vector(50, 50, 50), Vector(200, 200, 200), 1}});
    const float densities[][4] = {{0, 50, 50, 0.02f},   {100, 40, 40, 0.02f},  {100, 100, 100, 0.12f},
                                  {75, 75, 75, 0.12f},  {150, 150, 150, 0.1f}, {100.001f, 40, 40, 0},
                                  {50, -0.001f, 50, 0}, {300, 0, 0, 0}};
    for (const auto& d : densities)
    {
        EXPECT_FLOAT_EQ(environment.DensityAt(Vector(d[0], d[1], d[2])), d[3]) << d[0] << " " << d[1];
    }
}

TEST(Queries, AwkwardInputsEndWithoutHanging)
{
    Environment environment{Environment::Headless{}};
    AddBoxes(environment, {{Vector(-1e30f, -1e30f, -1e30f), Vector(1e30f, 1e30f, 1e30f), 0.001f}});
    const float nan = std::nanf("");
    // Steps below the rounding of the coordinates never move the position:
    // the walk samples the same point until the sum passes 100.
    const Vector deep(0, 0, 1e20f), deeper(0, 0, 2e20f);
    EXPECT_GT(environment.Obscuration(deep, deeper), 200.0f);
    EXPECT_EQ(environment.Obscuration(deep, deeper), ReferenceObscuration(environment, deep, deeper));
    // Only the x step vanishes at 30000; the walk sticks once z has arrived.
    const Vector side(30000.0f, 5.0f, 0.0f), sideTarget(30000.1f, 5.0f, 1000.0f);
    EXPECT_EQ(environment.Obscuration(side, sideTarget), ReferenceObscuration(environment, side, sideTarget));
    // With no density to stop it the plain walk would never end.
    Environment open{Environment::Headless{}};
    AddBoxes(open, {{Vector(29000, 0, 0), Vector(29500, 10, 10), 1.0f}});
    EXPECT_EQ(open.Obscuration(side, sideTarget), 0.0f);
    EXPECT_EQ(environment.Obscuration(Vector(-3e38f, 0, 0), Vector(3e38f, 0, 0)), 0.0f);
    EXPECT_EQ(environment.Obscuration(Vector(nan, 0, 0), Vector(0, 0, 0)), 0.0f);
    EXPECT_EQ(environment.SightDistance(Vector(nan, 0, 0), Vector(1, 0, 0), 1.0f), 1010.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(nan, 0, 0), 0.0002f), 10.0f);
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(0, 0, 0), 1.0f), 1010.0f);
}

// Random maps of 20 overlapping regions (some with faces on the 10-unit grid
// that axis-aligned queries step along, where a sample lands exactly on a
// face) and random queries inside, across and outside them. Odd maps lie far
// from the origin, where every float step rounds.
TEST(Queries, FastWalksMatchThePlainOnesBitForBitOnRandomMaps)
{
    auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    for (int map = 1; map <= 8; ++map)
    {
        std::mt19937 generator(map);
        auto uniform = [&](float a, float b)
        { return std::uniform_real_distribution<float>(a, b)(generator); };
        auto grid = [](Vector v)
        { return Vector(std::round(v.x / 10) * 10, std::round(v.y / 10) * 10, std::round(v.z / 10) * 10); };
        const Vector offset = map % 2 == 1 ? Vector(31234.5f, -20000.25f, 12345.0f) : Vector();
        Environment environment{Environment::Headless{}};
        for (int i = 0; i < 20; ++i)
        {
            const Vector min(uniform(-1500, 1500), uniform(-1500, 1500), uniform(-1500, 1500));
            const Vector max = min + Vector(uniform(20, 900), uniform(20, 900), uniform(20, 900));
            const bool onGrid = i % 4 == 0;
            AddBoxes(environment, {{(onGrid ? grid(min) : min) + offset, (onGrid ? grid(max) : max) + offset,
                                    uniform(0.05f, 3.0f)}});
        }
        auto point = [&]()
        {
            Vector p = Vector(uniform(-2000, 2000), uniform(-2000, 2000), uniform(-2000, 2000)) + offset;
            if (generator() % 2 == 0) // in or near one of the regions
            {
                const NebulaRegion* r = environment.regions[generator() % environment.regions.size()];
                for (int axis = 0; axis < 3; ++axis)
                {
                    p[axis] = r->min[axis] + uniform(-0.1f, 1.1f) * (r->max[axis] - r->min[axis]);
                }
            }
            return generator() % 3 == 0 ? grid(p) : p;
        };
        int stoppedEarly = 0, obscured = 0, neverEnding = 0;
        for (int i = 0; i < 20000; ++i)
        {
            const Vector from = point();
            Vector direction;
            if (generator() % 4 == 0) // along an axis, either way
            {
                direction[generator() % 3] = generator() % 2 ? 1.0f : -1.0f;
            }
            else
            {
                std::normal_distribution<float> gauss;
                direction = Vector(gauss(generator), gauss(generator), gauss(generator));
                Normalize(direction);
            }
            const float range = uniform(-0.5f, 6.0f);
            const float sight = environment.SightDistance(from, direction, range);
            ASSERT_TRUE(same(sight, ReferenceSightDistance(environment, from, direction, range)))
                << "map " << map << " query " << i;
            stoppedEarly += sight > 0.0f && sight < 1010.0f ? 1 : 0;

            Vector to = point();
            if (i % 5 == 0) // along one axis only, or a point to itself
            {
                to = from;
                to[i % 3] += float(int(generator() % 800) - 400);
            }
            const float plain = ReferenceObscuration(environment, from, to);
            neverEnding += std::isnan(plain) ? 1 : 0; // the game's version must end there too
            const float fast = environment.Obscuration(from, to);
            ASSERT_TRUE(std::isnan(plain) || same(fast, plain)) << "map " << map << " query " << i;
            obscured += fast > 0.0f ? 1 : 0;
        }
        // The maps are dense enough that many walks end inside a nebula.
        EXPECT_GT(stoppedEarly, 2000);
        EXPECT_GT(obscured, 2000);
        EXPECT_LT(neverEnding, 20);
    }
}

} // namespace
