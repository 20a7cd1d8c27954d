// Setting up the nebula regions of a map file: properties and their defaults,
// the exchange of y and z, the progress lines, the random generator, a missing
// map, and every map the game ships.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "math/Random.h"
#include "support/GLTest.h"
#include "world/Environment.h"

namespace
{

// One mesh object whose vertices span the given box in file axes.
std::string Mesh(const std::string& name, float x0, float y0, float z0, float x1, float y1, float z1)
{
    std::string text = "*GEOMOBJECT {\n\t*NODE_NAME \"" + name + "\"\n";
    text += "\t*NODE_TM {\n\t\t*NODE_NAME \"" + name + "\"\n\t\t*TM_POS 0.0 0.0 0.0\n\t}\n";
    text += "\t*MESH {\n\t\t*TIMEVALUE 0\n\t\t*MESH_NUMVERTEX 2\n\t\t*MESH_NUMFACES 0\n";
    text += "\t\t*MESH_VERTEX_LIST {\n";
    text += "\t\t\t*MESH_VERTEX 0 " + std::to_string(x0) + " " + std::to_string(y0) + " " +
            std::to_string(z0) + "\n";
    text += "\t\t\t*MESH_VERTEX 1 " + std::to_string(x1) + " " + std::to_string(y1) + " " +
            std::to_string(z1) + "\n";
    text += "\t\t}\n\t}\n\t*MATERIAL_REF 0\n}\n";
    return text;
}

// Runs in a fresh directory holding Models/Maps/<name>.ase, and returns to
// the test's working directory afterwards.
class MapDirectory
{
  public:
    MapDirectory(const std::string& mapName, const std::string& contents)
    {
        char pattern[] = "/tmp/korvane-world-XXXXXX";
        directory = mkdtemp(pattern);
        mkdir((directory + "/Models").c_str(), 0700);
        mkdir((directory + "/Models/Maps").c_str(), 0700);
        std::ofstream(directory + "/Models/Maps/" + mapName + ".ase") << contents;
        char cwd[4096];
        previous = getcwd(cwd, sizeof cwd) ? cwd : ".";
        EXPECT_EQ(chdir(directory.c_str()), 0);
    }
    ~MapDirectory() { EXPECT_EQ(chdir(previous.c_str()), 0); }

  private:
    std::string directory;
    std::string previous;
};

const std::string kMap =
    "*3DSMAX_ASCIIEXPORT 200\n*SCENE {\n\t*SCENE_FILENAME \"test\"\n}\n" +
    Mesh("nebula:0.3:1:0.6:0.2:0.8:9:9", 0, 0, -50, 100, 200, 50) +
    Mesh("x:0.1:2:1", -300, -300, -300, -100, -100, -100) + Mesh("plain", 500, 500, 500, 600, 600, 600) +
    "*GROUP \"inner\" {\n" + Mesh("grouped:1", 0, 0, 0, 10, 10, 10) + "}\n" +
    "*HELPEROBJECT {\n\t*NODE_NAME \"marker:1\"\n\t*NODE_TM {\n\t\t*TM_POS 1 2 3\n\t}\n}\n";

} // namespace

TEST(MapSetUpTest, TopLevelMeshesBecomeRegionsWithTheirPropertiesAndDefaults)
{
    MapDirectory map("testmap", kMap);
    Environment environment{Environment::Headless{}};
    testing::internal::CaptureStderr();
    environment.SetUpMap("testmap", 235);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Setting up map region 0\n"), std::string::npos);
    EXPECT_NE(log.find("Setting up map region 2\n"), std::string::npos);
    EXPECT_EQ(log.find("Setting up map region 3"), std::string::npos);

    ASSERT_EQ(environment.regions.size(), 3u);
    const NebulaRegion& first = *environment.regions[0];
    // File x 0..100, y 0..200, z -50..50: y and z exchange.
    EXPECT_EQ(first.min, Vector(0, -50, 0));
    EXPECT_EQ(first.max, Vector(100, 50, 200));
    EXPECT_FLOAT_EQ(first.density, 0.03f);
    EXPECT_EQ(first.colour, Vector(0.6f, 0.2f, 0.8f));

    // Three properties: density 0.1, speed 2, red 1; green and blue by default.
    const NebulaRegion& second = *environment.regions[1];
    EXPECT_FLOAT_EQ(second.density, 0.01f);
    EXPECT_EQ(second.colour, Vector(1.0f, 0.0f, 0.5f));
    // Speed factor 2: velocities up to 4 per tick, and some above the default's 1.
    float fastest = 0.0f;
    for (const Cloud* cloud : second.clouds)
    {
        fastest = std::max(fastest, std::fabs(cloud->velocity.x));
        EXPECT_LE(std::fabs(cloud->velocity.x), 4.0f);
    }
    EXPECT_GT(fastest, 1.0f);

    // No properties: a dark blue region of parameter 0.2 and speed factor 0.5.
    const NebulaRegion& third = *environment.regions[2];
    EXPECT_FLOAT_EQ(third.density, 0.02f);
    EXPECT_EQ(third.colour, Vector(0.0f, 0.0f, 0.5f));
    EXPECT_EQ(third.clouds.size(), 8u);
    for (const Cloud* cloud : third.clouds)
    {
        EXPECT_LE(std::fabs(cloud->velocity.y), 1.0f);
    }
}

TEST(MapSetUpTest, TheSeedGovernsOnlyWhatFollowsTheSetUp)
{
    MapDirectory map("testmap", kMap);
    auto setUp = [](unsigned previousSeed, Environment& environment)
    {
        SeedRandom(previousSeed);
        environment.SetUpMap("testmap", 235);
        return Random();
    };
    Environment a{Environment::Headless{}}, b{Environment::Headless{}}, c{Environment::Headless{}};
    const int afterA = setUp(1, a);
    const int afterB = setUp(1, b);
    const int afterC = setUp(2, c);
    SeedRandom(235);
    const int expected = Random();
    EXPECT_EQ(afterA, expected);
    EXPECT_EQ(afterB, expected);
    EXPECT_EQ(afterC, expected);
    for (size_t i = 0; i < a.regions[0]->clouds.size(); ++i)
    {
        EXPECT_EQ(a.regions[0]->clouds[i]->position, b.regions[0]->clouds[i]->position);
    }
    EXPECT_NE(a.regions[0]->clouds[0]->position, c.regions[0]->clouds[0]->position);
}

TEST(MapSetUpTest, AMapWithoutMeshesIsOpenSpace)
{
    MapDirectory map("empty", "*3DSMAX_ASCIIEXPORT 200\n*COMMENT \"nothing here\"\n");
    Environment environment{Environment::Headless{}};
    environment.SetUpMap("empty", 353);
    EXPECT_TRUE(environment.regions.empty());
    EXPECT_EQ(environment.SightDistance(Vector(0, 0, 0), Vector(0, 0, 1), 2.0f), 1010.0f);
}

TEST(MapDeathTest, AMissingMapFileStopsTheProgramWithAClearMessage)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            MapDirectory map("present", kMap);
            Environment environment{Environment::Headless{}};
            environment.SetUpMap("absent", 235);
        },
        testing::ExitedWithCode(0),
        "File not found: Models/Maps/absent.ase(.|\n)*Map file Models/Maps/absent.ase not found");
}

TEST(EnvironmentTeardownTest, AnnouncesRegionsAndExplosionsInOrder)
{
    testing::internal::CaptureStderr();
    {
        Environment environment{Environment::Headless{}};
        environment.AddRegion(Vector(0, 0, 0), Vector(100, 100, 100), 0.2f, 0.5f, Vector(0, 0, 0.5f));
        environment.AddRegion(Vector(0, 0, 0), Vector(10, 10, 10), 0.2f, 0.5f, Vector(0, 0, 0.5f));
        const Vector centre, colour(1, 1, 1);
        environment.AddExplosion(3, 1.0f, &centre, &colour, false);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Removing nebula regions\n  Deleting clouds\n  Deleting clouds\nRemoving explosions\n");
}

// Every map the game offers, and the intro's, sets up and draws without an
// OpenGL error, seen from the centre of the map.
TEST_F(GLTest, EveryShippedMapSetsUpAndDraws)
{
    char cwd[4096];
    const std::string previous = getcwd(cwd, sizeof cwd) ? cwd : ".";
    ASSERT_EQ(chdir(DataDir().c_str()), 0);
    for (const char* name : {"intro", "map1", "map2", "map3", "map4"})
    {
        const std::string path = std::string("Models/Maps/") + name + ".ase";
        if (access(path.c_str(), R_OK) != 0)
        {
            ADD_FAILURE() << "missing " << path;
            continue;
        }
        Environment environment;
        environment.SetUpMap(name, 235);
        EXPECT_FALSE(environment.regions.empty()) << name;
        const Vector eye(0, 300, 300), view(0, -0.707106f, -0.707106f);
        for (int tick = 0; tick < 3; ++tick)
        {
            environment.Update(eye, view);
        }
        environment.Draw(eye, 0.0f, view, false);
        environment.Draw(eye, 0.0f, view, true);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << name;
    }
    glDisable(GL_FOG);
    EXPECT_EQ(chdir(previous.c_str()), 0);
}
