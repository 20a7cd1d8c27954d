// Balance read back from the files: the roles of the classes, and the test
// set's promise that a whole game is over within a few turns.

#include "DataSupport.h"
#include "support/GLTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{

std::vector<float> Stat(const std::string& dir, const char* ship, const char* type)
{
    for (const ScannedMarker& m : ScanAse(dir + "/Models/" + ship + ".ase").markers)
        if (m.type == type)
            return m.properties;
    return {};
}

int Count(const std::string& dir, const char* ship, const char* type)
{
    int n = 0;
    for (const ScannedMarker& m : ScanAse(dir + "/Models/" + ship + ".ase").markers)
        n += m.type == type ? 1 : 0;
    return n;
}

// A beam does 1 per tick up to 300 units and (300 / R)^2 beyond; a turret
// fires at most 5 seconds (100 ticks) a turn.
float BeamDamagePerTurn(float range)
{
    return 100.0f * (range < 300 ? 1.0f : (300 / range) * (300 / range));
}

const char* const kCapitals[] = {"battlefrigate", "beamfrigateopen", "escortcarrier2"};

TEST(Balance, ClassesHaveTheirRoles)
{
    const std::string d = DataDir();
    // The battle frigate turns fastest among the capital ships.
    for (int axis = 1; axis < 4; ++axis)
    {
        EXPECT_GT(Stat(d, "battlefrigate", "speed")[axis], Stat(d, "beamfrigateopen", "speed")[axis]);
        EXPECT_GT(Stat(d, "battlefrigate", "speed")[axis], Stat(d, "escortcarrier2", "speed")[axis]);
    }
    // The fusion frigate's front is its strongest face: it closes in.
    const std::vector<float> fusion = Stat(d, "beamfrigateopen", "hull");
    EXPECT_EQ(*std::max_element(fusion.begin(), fusion.end()), fusion[0]);
    // No single ship destroys a fresh capital ship in one turn, even a fusion
    // frigate at point-blank range: fights last several turns.
    const float fusionBurst = Count(d, "beamfrigateopen", "beamturret") * BeamDamagePerTurn(0);
    for (const char* ship : kCapitals)
        for (float face : Stat(d, ship, "hull"))
            EXPECT_GT(face, fusionBurst) << ship;
    // But a fighter breaks under one turret's fire, and outruns everything.
    for (float face : Stat(d, "smallfighter", "hull"))
        EXPECT_LT(face, 40.0f);
    for (const char* ship : kCapitals)
        EXPECT_GT(Stat(d, "smallfighter", "speed")[0], 2 * Stat(d, ship, "speed")[0]);
    // A carrier can put at least four squadrons into space.
    int squadrons = 0;
    for (const ScannedMarker& m : ScanAse(d + "/Models/escortcarrier2.ase").markers)
        if (m.type == "hangar")
            squadrons += static_cast<int>(m.properties[0]);
    EXPECT_GE(squadrons, 4);
}

TEST(Balance, TestSetEndsAGameWithinAFewTurns)
{
    const std::string d = TestDataDir();
    // From the starting lines (at most about 1650 apart) one fusion frigate
    // destroys any ship in its first turn, and every ship crosses the map.
    const float farthest = 1650.0f;
    const float fusionReach = Count(d, "beamfrigateopen", "beamturret") * BeamDamagePerTurn(farthest);
    for (const char* ship : {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter"})
    {
        for (float face : Stat(d, ship, "hull"))
            EXPECT_LT(face, fusionReach / 2.0f) << ship;
        EXPECT_GE(Stat(d, ship, "speed")[0] * 10.0f, 1600.0f) << ship;
    }
    // Beams cover every direction, so no turning is needed to fire.
    for (const ScannedMarker& m : ScanAse(d + "/Models/beamfrigateopen.ase").markers)
        if (m.type == "beamturret")
        {
            EXPECT_GE(m.properties[0], 180.0f);
            EXPECT_GE(m.properties[1], 90.0f);
        }
}

} // namespace
