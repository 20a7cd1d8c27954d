#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "world/Environment.h"

namespace
{

namespace fs = std::filesystem;

// A map mesh whose box runs from (0, 0, 0) to (size, size, size) in file axes.
std::string BoxMesh(const std::string& name, float size)
{
    const std::string s = std::to_string(size);
    return "*GEOMOBJECT {\n *NODE_NAME \"" + name + "\"\n *MESH {\n  *MESH_VERTEX_LIST {\n" +
           "   *MESH_VERTEX 0 0 0 0\n   *MESH_VERTEX 1 " + s + " " + s + " " + s + "\n  }\n }\n}\n";
}

// Sets up a headless environment on a map written into a scratch data
// directory; returns what the set-up wrote to standard error.
std::string SetUpScratchMap(Environment& environment, const std::string& scene)
{
    const fs::path dir = fs::temp_directory_path() / ("korvane-budget-" + std::to_string(getpid()));
    fs::create_directories(dir / "Models" / "Maps");
    std::ofstream(dir / "Models" / "Maps" / "damaged.ase") << scene;
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    ::testing::internal::CaptureStderr();
    environment.SetUpMap("damaged", 235);
    const std::string log = ::testing::internal::GetCapturedStderr();
    fs::current_path(previous);
    fs::remove_all(dir);
    return log;
}

} // namespace

// Three regions that each ask for 30 x 30 x 30 clouds (density parameter 0.2
// on a box of 1500): the whole map gets kMaxMapClouds, the first region all of
// them, and a note names the file. The regions keep their boxes and densities
// for the sensors. A later region (a wreck's dust) finds the budget spent.
TEST(MapCloudBudget, TheWholeMapSharesOneBudgetAndAMapAskingForMoreIsNamed)
{
    Environment environment{Environment::Headless{}};
    const std::string log = SetUpScratchMap(environment, BoxMesh("a:0.2", 1500) + BoxMesh("b:0.2", 1500) +
                                                             BoxMesh("c:0.2", 1500));
    ASSERT_EQ(environment.regions.size(), 3u);
    EXPECT_EQ(environment.regions[0]->clouds.size(), kMaxMapClouds);
    EXPECT_EQ(environment.regions[1]->clouds.size(), 0u);
    EXPECT_EQ(environment.regions[2]->clouds.size(), 0u);
    EXPECT_FLOAT_EQ(environment.DensityAt(Vector(750, 750, 750)), 0.06f);
    EXPECT_NE(log.find("Models/Maps/damaged.ase: the map asks for more than " +
                       std::to_string(kMaxMapClouds) + " clouds; only the first " +
                       std::to_string(kMaxMapClouds) + " are made\n"),
              std::string::npos)
        << log;

    environment.AddRegion(Vector(0, 0, 0), Vector(100, 100, 100), 0.2f, 0.0f, Vector(1, 0, 0));
    EXPECT_EQ(environment.regions[3]->clouds.size(), 0u);
}

// A map within the budget is built exactly as its boxes ask, without a note.
TEST(MapCloudBudget, AMapWithinTheBudgetIsBuiltWhole)
{
    Environment environment{Environment::Headless{}};
    const std::string log = SetUpScratchMap(environment, BoxMesh("a:0.2", 500) + BoxMesh("b:0.2", 100));
    ASSERT_EQ(environment.regions.size(), 2u);
    EXPECT_EQ(environment.regions[0]->clouds.size(), 1000u);
    EXPECT_EQ(environment.regions[1]->clouds.size(), 8u);
    EXPECT_EQ(log.find("clouds;"), std::string::npos) << log;
}

// A map of more regions than kMaxMapRegions gets the first of them and a note.
TEST(MapCloudBudget, AMapOfTooManyRegionsGetsTheFirstOnes)
{
    std::string scene;
    for (size_t i = 0; i <= kMaxMapRegions; ++i)
    {
        scene += BoxMesh("r" + std::to_string(i), 1);
    }
    Environment environment{Environment::Headless{}};
    const std::string log = SetUpScratchMap(environment, scene);
    EXPECT_EQ(environment.regions.size(), kMaxMapRegions);
    EXPECT_NE(log.find("Models/Maps/damaged.ase: the map has more than " + std::to_string(kMaxMapRegions) +
                       " regions; only the first " + std::to_string(kMaxMapRegions) + " are made\n"),
              std::string::npos);
}
