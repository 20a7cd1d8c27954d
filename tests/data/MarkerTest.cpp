// The marker nodes that turn a model into a ship: statistics, weapons,
// hangars, lights and decorative parts, where the ship code reads them.

#include "DataSupport.h"
#include "support/GLTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>

namespace
{

const char* const kShips[] = {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter"};

ScannedScene Ship(const std::string& dir, const std::string& name)
{
    return ScanAse(dir + "/Models/" + name + ".ase");
}

std::map<std::string, int> TypeCounts(const ScannedScene& s)
{
    std::map<std::string, int> counts;
    for (const ScannedMarker& m : s.markers)
        ++counts[m.type];
    return counts;
}

float DistanceToHull(const ScannedMesh& mesh, const P3& game)
{
    float best = 1e9f;
    for (const auto& f : mesh.faces)
        best = std::min(best, PointTriangleDistance(game, MeshPointInGame(mesh.vertices[f[0]]),
                                                    MeshPointInGame(mesh.vertices[f[1]]),
                                                    MeshPointInGame(mesh.vertices[f[2]])));
    return best;
}

class Markers : public ::testing::TestWithParam<std::string>
{
};

TEST_P(Markers, EachClassCarriesItsWeaponsAndStatistics)
{
    const auto frigate = TypeCounts(Ship(GetParam(), "battlefrigate"));
    EXPECT_EQ(frigate.count("beamturret"), 0u);
    EXPECT_EQ(frigate.at("gunturret"), 4);
    const auto fusion = TypeCounts(Ship(GetParam(), "beamfrigateopen"));
    EXPECT_EQ(fusion.at("beamturret"), 3);
    EXPECT_EQ(fusion.count("gunturret"), 0u);
    const auto carrier = TypeCounts(Ship(GetParam(), "escortcarrier2"));
    EXPECT_EQ(carrier.at("hangar"), 2);
    EXPECT_GE(carrier.at("gunturret"), 2);
    const auto fighter = TypeCounts(Ship(GetParam(), "smallfighter"));
    EXPECT_EQ(fighter.at("guns"), 1);
    EXPECT_EQ(fighter.count("gunturret"), 0u);
    for (const char* name : kShips)
    {
        const auto counts = TypeCounts(Ship(GetParam(), name));
        EXPECT_EQ(counts.at("hull"), 1) << name;
        EXPECT_EQ(counts.at("speed"), 1) << name;
        EXPECT_EQ(counts.at("sensor"), 1) << name;
        EXPECT_GE(counts.at("light"), 3) << name;
    }
}

TEST_P(Markers, PropertiesAreCompleteAndInRange)
{
    for (const char* name : kShips)
    {
        SCOPED_TRACE(name);
        const ScannedScene s = Ship(GetParam(), name);
        ASSERT_TRUE(s.ok) << s.error;
        for (const ScannedMarker& m : s.markers)
        {
            SCOPED_TRACE(m.fullName);
            const std::vector<float>& p = m.properties;
            // The type must be cut at a digit: "hull:5" would be a subobject.
            EXPECT_EQ(m.type.find(':'), std::string::npos);
            if (m.type == "hull")
            {
                ASSERT_EQ(p.size(), 6u);
                for (float v : p)
                    EXPECT_GT(v, 0.0f);
            }
            else if (m.type == "speed")
            {
                ASSERT_EQ(p.size(), 4u);
                for (float v : p)
                    EXPECT_GT(v, 0.0f);
            }
            else if (m.type == "sensor")
            {
                ASSERT_EQ(p.size(), 2u);
                EXPECT_GT(p[0], 0.0f);
                EXPECT_GT(p[1], 0.0f);
            }
            else if (m.type == "gunturret" || m.type == "guns")
            {
                ASSERT_EQ(p.size(), 9u);
                EXPECT_GT(p[0], 0.0f);
                EXPECT_LE(p[0], 180.0f);
                EXPECT_GT(p[1], -20.0f) << "above the fixed lowest elevation";
                EXPECT_LE(p[1], 90.0f);
                EXPECT_GT(p[2], 0.0f);
                EXPECT_GT(p[4], 0.0f);
                for (int c = 6; c < 9; ++c)
                    EXPECT_TRUE(p[c] >= 0.0f && p[c] <= 1.0f);
            }
            else if (m.type == "beamturret")
            {
                ASSERT_EQ(p.size(), 9u);
                EXPECT_GT(p[0], 0.0f);
                EXPECT_LE(p[0], 180.0f);
                EXPECT_GT(p[1], 0.0f);
                EXPECT_LE(p[1], 90.0f);
                EXPECT_GT(p[2], 0.0f);
                EXPECT_GT(p[4], 0.0f);
            }
            else if (m.type == "hangar")
            {
                ASSERT_GE(p.size(), 1u);
                EXPECT_GE(static_cast<int>(p[0]), 1);
            }
            else if (m.type == "light")
            {
                ASSERT_GE(p.size(), 1u);
                EXPECT_GT(p[0], 0.0f);
                EXPECT_LT(p[0], 3.0f) << "a light is a small glow";
                if (p.size() > 1)
                {
                    EXPECT_GT(p[1], 0.0f);
                }
            }
            else
            {
                // Any other type is a decorative part drawn with the object
                // model of that name.
                EXPECT_TRUE(FileExists(GetParam() + "/Models/" + m.type + ".ase")) << m.type;
                EXPECT_TRUE(p.empty());
            }
        }
    }
}

TEST_P(Markers, RotationsAreAboutOneCoordinateAxis)
{
    for (const char* name : kShips)
        for (const ScannedMarker& m : Ship(GetParam(), name).markers)
        {
            if (m.angle == 0.0f)
                continue;
            const float c[3] = {m.axis.x, m.axis.y, m.axis.z};
            int unit = 0, zero = 0;
            for (float v : c)
            {
                unit += std::fabs(v) == 1.0f ? 1 : 0;
                zero += v == 0.0f ? 1 : 0;
            }
            EXPECT_EQ(unit, 1) << name << " " << m.fullName;
            EXPECT_EQ(zero, 2) << name << " " << m.fullName;
        }
}

TEST_P(Markers, PartsSitOnTheHull)
{
    // The game reads a marker's x as it stands while the model list mirrors
    // the mesh's x: a marker written without that correction would float on
    // the wrong side of an asymmetric hull (the carrier's sponsons, island).
    for (const char* name : kShips)
    {
        SCOPED_TRACE(name);
        const ScannedScene s = Ship(GetParam(), name);
        const ScannedMesh& mesh = s.meshes.at(0);
        for (const ScannedMarker& m : s.markers)
        {
            if (m.type == "hull" || m.type == "speed" || m.type == "sensor" || m.type == "hangar")
                continue;
            if (m.type == "gunturret_guns")
            {
                // Decorative guns ride on a decorative base, at the pivot
                // height the turret drawing uses.
                bool onBase = false;
                for (const ScannedMarker& b : s.markers)
                    onBase |= b.type == "gunturret_base" && b.position.x == m.position.x &&
                              b.position.y == m.position.y &&
                              std::fabs(m.position.z - b.position.z - 2.8f) < 1e-3f;
                EXPECT_TRUE(onBase) << m.fullName;
                continue;
            }
            const float limit = m.type == "light" ? 1.6f : 0.9f;
            EXPECT_LT(DistanceToHull(mesh, MarkerPointInGame(m.position)), limit) << m.fullName;
        }
    }
}

TEST_P(Markers, FightersLaunchAlongTheFlightDeck)
{
    // A hangar's five fighters start at its marker and 10, 20, 30 and 40
    // units further forward: all on the deck, clear of each other and of the
    // island.
    const ScannedScene s = Ship(GetParam(), "escortcarrier2");
    const ScannedMesh& mesh = s.meshes.at(0);
    std::vector<P3> starts;
    for (const ScannedMarker& m : s.markers)
        if (m.type == "hangar")
            for (int i = 0; i < 5; ++i)
            {
                P3 p = MarkerPointInGame(m.position);
                p.z -= 10.0f * i;
                starts.push_back(p);
            }
    ASSERT_EQ(starts.size(), 10u);
    for (const P3& p : starts)
    {
        const float d = DistanceToHull(mesh, p);
        EXPECT_GT(d, 0.5f) << "not inside the hull";
        EXPECT_LT(d, 2.0f) << "resting on the deck";
    }
    for (size_t i = 0; i < starts.size(); ++i)
        for (size_t j = i + 1; j < starts.size(); ++j)
        {
            const float dx = starts[i].x - starts[j].x, dz = starts[i].z - starts[j].z;
            EXPECT_GE(std::sqrt(dx * dx + dz * dz), 8.0f);
        }
}

TEST_P(Markers, NavigationLightsMarkTheExtremitiesAndSomeBlink)
{
    for (const char* name : kShips)
    {
        SCOPED_TRACE(name);
        const ScannedScene s = Ship(GetParam(), name);
        float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
        for (const P3& f : s.meshes.at(0).vertices)
        {
            const P3 g = MeshPointInGame(f);
            minX = std::min(minX, g.x);
            maxX = std::max(maxX, g.x);
            minZ = std::min(minZ, g.z);
            maxZ = std::max(maxZ, g.z);
        }
        const float reach = std::max(maxZ - minZ, maxX - minX) * 0.12f;
        bool left = false, right = false, end = false, blinking = false;
        for (const ScannedMarker& m : s.markers)
        {
            if (m.type != "light")
                continue;
            const P3 p = MarkerPointInGame(m.position);
            left |= p.x < minX + reach;
            right |= p.x > maxX - reach;
            end |= p.z < minZ + reach || p.z > maxZ - reach;
            blinking |= m.properties.size() > 1;
        }
        EXPECT_TRUE(left && right && end && blinking);
    }
}

INSTANTIATE_TEST_SUITE_P(BothDataSets, Markers, ::testing::Values(DataDir(), TestDataDir()));

} // namespace
