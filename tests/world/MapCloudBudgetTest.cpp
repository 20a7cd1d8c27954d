#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "world/Environment.h"

namespace
{

namespace fs = std::filesystem;

// A map mesh whose box runs from the origin to (size, size, size).
std::string BoxMesh(const std::string& name, int size)
{
    const std::string s = std::to_string(size);
    return "*GEOMOBJECT {\n *NODE_NAME \"" + name +
           "\"\n *MESH {\n  *MESH_VERTEX_LIST {\n   *MESH_VERTEX 0 0 0 0\n" + "   *MESH_VERTEX 1 " + s + " " +
           s + " " + s + "\n  }\n }\n}\n";
}

// Sets up a headless environment on the scene as a map file; returns what the
// set-up wrote to standard error.
std::string SetUpMap(Environment& environment, const std::string& scene)
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

// Density 0.2 on a box of 1500 asks for 30 x 30 x 30 clouds. All regions of
// an environment share kMaxMapClouds in file order, a later region (a wreck's
// dust) too, and a map makes at most kMaxMapRegions regions; every region
// keeps its box and density for the sensors. Each excess is named on stderr.
TEST(MapCloudBudget, AMapAskingForTooMuchGetsItsFirstCloudsAndRegionsAndANote)
{
    std::string scene = BoxMesh("a:0.2", 1500) + BoxMesh("b:0.2", 1500);
    for (size_t i = 2; i <= kMaxMapRegions; ++i)
    {
        scene += BoxMesh("r", 1);
    }
    Environment environment{Environment::Headless{}};
    const std::string log = SetUpMap(environment, scene);
    ASSERT_EQ(environment.regions.size(), kMaxMapRegions);
    EXPECT_EQ(environment.regions[0]->clouds.size(), kMaxMapClouds);
    EXPECT_EQ(environment.regions[1]->clouds.size(), 0u);
    environment.AddRegion(Vector(0, 0, 0), Vector(100, 100, 100), 0.2f, 0.0f, Vector(1, 0, 0));
    EXPECT_EQ(environment.regions.back()->clouds.size(), 0u);
    EXPECT_FLOAT_EQ(environment.DensityAt(Vector(50, 50, 50)), 0.06f);
    const std::string clouds = std::to_string(kMaxMapClouds), regions = std::to_string(kMaxMapRegions);
    for (const std::string& note : {"asks for more than " + clouds + " clouds; only the first " + clouds,
                                    "has more than " + regions + " regions; only the first " + regions})
    {
        EXPECT_NE(log.find("Models/Maps/damaged.ase: the map " + note + " are made\n"), std::string::npos)
            << note;
    }
}
