// The maps: nebula regions the game can build, distinct layouts, a cloud
// count the frame rate allows, and nebulae that actually hide fleets.

#include "DataSupport.h"
#include "support/GLTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

namespace
{

struct Region
{
    P3 min, max; // game axes (the file's y and z exchanged)
    std::vector<float> properties;
};

std::vector<Region> Regions(const std::string& dir, const std::string& map)
{
    const ScannedScene scene = ScanAse(dir + "/Models/Maps/" + map + ".ase");
    EXPECT_TRUE(scene.ok) << map << ": " << scene.error;
    std::vector<Region> regions;
    for (const ScannedMesh& m : scene.meshes)
    {
        Region r;
        r.min = P3{1e9f, 1e9f, 1e9f};
        r.max = P3{-1e9f, -1e9f, -1e9f};
        for (const P3& v : m.vertices)
        {
            const P3 g{v.x, v.z, v.y};
            r.min = P3{std::min(r.min.x, g.x), std::min(r.min.y, g.y), std::min(r.min.z, g.z)};
            r.max = P3{std::max(r.max.x, g.x), std::max(r.max.y, g.y), std::max(r.max.z, g.z)};
        }
        r.properties = NameProperties(m.fullName);
        regions.push_back(r);
    }
    return regions;
}

// Clouds the region builder makes: float loops 10 / density apart per axis.
int Clouds(const Region& r)
{
    const float step = 1.0f / (r.properties.at(0) * 0.1f);
    auto steps = [&](float lo, float hi)
    {
        int n = 0;
        for (float v = lo; v < hi; v += step)
            ++n;
        return n;
    };
    return steps(r.min.x, r.max.x) * steps(r.min.y, r.max.y) * steps(r.min.z, r.max.z);
}

// The effective sensor distance through the nebula between two points:
// twice the density sampled every 10 units.
float Obscuration(const std::vector<Region>& regions, const P3& from, const P3& to)
{
    const float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    float sum = 0;
    for (float t = 0; t < length; t += 10.0f)
    {
        const P3 p{from.x + dx * t / length, from.y + dy * t / length, from.z + dz * t / length};
        for (const Region& r : regions)
            if (p.x >= r.min.x && p.x <= r.max.x && p.y >= r.min.y && p.y <= r.max.y && p.z >= r.min.z &&
                p.z <= r.max.z)
                sum += r.properties[0] * 0.1f;
    }
    return 2.0f * sum;
}

float SensorTerm(const std::string& dir, const char* ship, int index)
{
    for (const ScannedMarker& m : ScanAse(dir + "/Models/" + ship + ".ase").markers)
        if (m.type == "sensor")
            return m.properties.at(index);
    return 0;
}

const char* const kMaps[] = {"intro", "map1", "map2", "map3", "map4"};

// The 20 starting ship positions: five 100 apart on a line through each
// player's point, across its heading.
std::vector<P3> FleetPositions(int player)
{
    const P3 centres[4] = {{0, 0, 800}, {0, 0, -800}, {-800, 0, 0}, {800, 0, 0}};
    const float headings[4] = {45, 225, 135, 315};
    const float a = (headings[player] - 45.0f) * 0.0174532f;
    std::vector<P3> ships;
    for (int i = 0; i < 5; ++i)
    {
        const float d = (5.0f * i - 10.0f) * 20.0f;
        ships.push_back(P3{centres[player].x + d * std::cos(a), 0, centres[player].z + d * std::sin(a)});
    }
    return ships;
}

class MapFiles : public ::testing::TestWithParam<std::string>
{
};

TEST_P(MapFiles, EveryMapHasRegionsTheGameCanBuild)
{
    for (const char* map : kMaps)
    {
        SCOPED_TRACE(map);
        const std::vector<Region> regions = Regions(GetParam(), map);
        ASSERT_FALSE(regions.empty());
        int clouds = 0;
        for (const Region& r : regions)
        {
            ASSERT_EQ(r.properties.size(), 5u);
            EXPECT_GT(r.properties[0], 0.0f);
            EXPECT_LE(r.properties[0], 0.5f) << "dense regions would blank the screen";
            EXPECT_GE(r.properties[1], 0.0f);
            for (int c = 2; c < 5; ++c)
                EXPECT_TRUE(r.properties[c] >= 0.0f && r.properties[c] <= 1.0f);
            EXPECT_LT(r.min.x, r.max.x);
            EXPECT_LT(r.min.y, r.max.y);
            EXPECT_LT(r.min.z, r.max.z);
            clouds += Clouds(r);
        }
        // Only clouds near the camera are drawn, but every cloud of an active
        // region is updated each tick.
        EXPECT_LE(clouds, 1800);
        EXPECT_GT(clouds, 0);
    }
}

TEST_P(MapFiles, MenuOffersFourMapsWithDistinctLayouts)
{
    std::set<std::string> layouts;
    for (const char* map : {"map1", "map2", "map3", "map4"})
    {
        const ScannedScene s = ScanAse(GetParam() + "/Models/Maps/" + map + ".ase");
        std::string key;
        for (const ScannedMesh& m : s.meshes)
            key += m.fullName + ";";
        layouts.insert(key);
    }
    if (GetParam() == DataDir())
    {
        EXPECT_EQ(layouts.size(), 4u);
    }
}

TEST(MapHiding, AFleetInsideTheVeilIsHiddenFromAFleetOutside)
{
    // map1's veil covers the centre: a battle frigate resting there is not
    // detected by ships at any starting point, while two ships inside the
    // veil 100 apart still see each other.
    const std::vector<Region> veil = Regions(DataDir(), "map1");
    const float frigateSignature = SensorTerm(DataDir(), "battlefrigate", 0);
    const float bestSensor =
        std::max({SensorTerm(DataDir(), "battlefrigate", 1), SensorTerm(DataDir(), "beamfrigateopen", 1),
                  SensorTerm(DataDir(), "escortcarrier2", 1)});
    for (int player = 0; player < 4; ++player)
        for (const P3& observer : FleetPositions(player))
            EXPECT_LT(bestSensor + frigateSignature - Obscuration(veil, observer, P3{0, 0, 0}), 0.0f);
    EXPECT_GT(bestSensor + frigateSignature - Obscuration(veil, P3{0, 0, 0}, P3{100, 0, 0}), 0.0f);
}

TEST(MapHiding, InMapThreeEveryFleetStartsUnderCover)
{
    const std::vector<Region> harbours = Regions(DataDir(), "map3");
    const float signature = SensorTerm(DataDir(), "escortcarrier2", 0);
    const float sensor = SensorTerm(DataDir(), "escortcarrier2", 1);
    // The carriers stand in the middle of each line: opposing carriers do
    // not see each other at the start.
    EXPECT_LT(sensor + signature - Obscuration(harbours, FleetPositions(0)[2], FleetPositions(1)[2]), 0.0f);
    EXPECT_LT(sensor + signature - Obscuration(harbours, FleetPositions(2)[2], FleetPositions(3)[2]), 0.0f);
}

TEST(MapHiding, TheTestSetHidesNothing)
{
    for (const char* map : {"map1", "map2", "map3", "map4"})
    {
        const std::vector<Region> regions = Regions(TestDataDir(), map);
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                for (const P3& p : FleetPositions(a))
                    for (const P3& q : FleetPositions(b))
                        ASSERT_EQ(Obscuration(regions, p, q), 0.0f) << map;
    }
}

INSTANTIATE_TEST_SUITE_P(BothDataSets, MapFiles, ::testing::Values(DataDir(), TestDataDir()));

} // namespace
