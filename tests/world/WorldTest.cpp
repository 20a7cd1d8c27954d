// The environment without drawing: map set-up, the clouds of a region, their
// drift, detail and fade, and the life of an explosion. What the clouds and
// explosions look like is checked by the scene's reference frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "math/Random.h"
#include "world/Environment.h"

namespace
{

// A map mesh whose vertices span the box from a to b, in file axes.
std::string Mesh(const std::string& name, const Vector& a, const Vector& b)
{
    std::ostringstream text;
    text << "*GEOMOBJECT {\n*NODE_NAME \"" << name << "\"\n*MESH {\n*MESH_NUMVERTEX 2\n*MESH_NUMFACES 0\n"
         << "*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 " << a.x << " " << a.y << " " << a.z << "\n*MESH_VERTEX 1 "
         << b.x << " " << b.y << " " << b.z << "\n}\n}\n}\n";
    return text.str();
}

// Sets up the environment on the scene written as the map file Models/Maps/scene.ase.
void SetUpMap(Environment& environment, const std::string& scene)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("korvane-map-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "Models" / "Maps");
    std::ofstream(dir / "Models" / "Maps" / "scene.ase") << scene;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    environment.SetUpMap("scene", 235);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}

TEST(World, MapMeshesBecomeRegionsWithTheirNumbersAndTheSeedFixesWhatFollows)
{
    testing::internal::CaptureStderr();
    {
        Environment environment{Environment::Headless{}};
        SeedRandom(1);
        SetUpMap(environment,
                 "*3DSMAX_ASCIIEXPORT 200\n" +
                     Mesh("nebula:0.3:1:0.6:0.2:0.8:9", Vector(0, 0, -50), Vector(100, 200, 50)) +
                     Mesh("x:0.1:2:1", Vector(-300, -300, -300), Vector(-100, -100, -100)) +
                     Mesh("plain", Vector(500, 500, 500), Vector(600, 600, 600)) + "*GROUP \"inner\" {\n" +
                     Mesh("grouped:1", Vector(0, 0, 0), Vector(10, 10, 10)) +
                     "}\n*HELPEROBJECT {\n*NODE_NAME \"marker:1\"\n}\n");
        const int next = Random();
        SeedRandom(235);
        EXPECT_EQ(next, Random());

        ASSERT_EQ(environment.regions.size(), 3u);
        EXPECT_EQ(environment.regions[0]->min, Vector(0, -50, 0)); // the file's y and z exchanged
        EXPECT_EQ(environment.regions[0]->max, Vector(100, 50, 200));
        // density, colour, and the speed factor: the clouds drift up to twice that a tick
        const float expected[3][5] = {
            {0.03f, 0.6f, 0.2f, 0.8f, 1}, {0.01f, 1, 0, 0.5f, 2}, {0.02f, 0, 0, 0.5f, 0.5f}};
        for (size_t i = 0; i < 3; ++i)
        {
            const NebulaRegion& r = *environment.regions[i];
            auto slower = [](const Cloud* a, const Cloud* b)
            { return std::fabs(a->velocity.x) < std::fabs(b->velocity.x); };
            const float v =
                std::fabs((*std::max_element(r.clouds.begin(), r.clouds.end(), slower))->velocity.x);
            EXPECT_TRUE(std::fabs(r.density - expected[i][0]) < 1e-6f && v > expected[i][4] &&
                        v <= 2 * expected[i][4]);
            EXPECT_EQ(r.colour, Vector(expected[i][1], expected[i][2], expected[i][3])) << i;
        }
    }
    const std::string log = testing::internal::GetCapturedStderr();
    const std::string tail =
        "Setting up map region 0\nSetting up map region 1\nSetting up map region 2\n"
        "Removing nebula regions\n  Deleting clouds\n  Deleting clouds\n  Deleting clouds\n"
        "Removing explosions\n";
    EXPECT_EQ(log.substr(log.size() - std::min(log.size(), tail.size())), tail);
}

TEST(WorldDeathTest, AMissingMapStopsTheProgramWithAClearMessage)
{
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            Environment environment{Environment::Headless{}};
            environment.SetUpMap("absent", 235);
        },
        testing::ExitedWithCode(0),
        "File not found: Models/Maps/absent.ase(.|\n)*Map file Models/Maps/absent.ase not found");
}

TEST(World, RegionsWithDegenerateNumbersEndWithoutHanging)
{
    // Along x a box just beyond 100 gets clouds at 0, 50 and 100, a box of 100
    // only two; a box of no extent, a density of 0 (an infinite step), below 0
    // or not a number, a step lost in the rounding: none or one; a density that
    // would give 1e15 clouds gives the most a region may hold.
    const float rows[][6] = {
        // min x, max x, y, z, density parameter -> clouds
        {0, 100.00001f, 10, 10, 0.2f, 3},  {0, 100, 10, 10, 0.2f, 2},
        {0, 100, 0, 100, 0.2f, 0},         {0, 100, 100, 100, 0, 1},
        {0, 100, 100, 100, -0.2f, 0},      {0, 100, 100, 100, std::nanf(""), 0},
        {1e12f, 2e12f, 100, 100, 0.2f, 0}, {0, 100, 100, 100, 10000, float(kMaxMapClouds)},
    };
    for (const auto& row : rows)
    {
        NebulaRegion region;
        region.BuildClouds(Vector(row[0], 0, 0), Vector(row[1], row[2], row[3]), row[4], 1.0f,
                           Vector(0, 0, 0.5f));
        EXPECT_EQ(region.clouds.size(), size_t(row[5])) << row[0] << " " << row[1] << " " << row[4];
    }
}

// One tick of a region seen from the origin looking along -z: where each cloud
// drifts, whether it is drawn, at which level of detail, how faded in, and
// which clouds spin.
TEST(World, RegionUpdateDriftsWrapsAndChoosesDetailAndFade)
{
    NebulaRegion region;
    SeedRandom(9);
    region.BuildClouds(Vector(-600, -600, -600), Vector(600, 600, 600), 0.01f, 0.0f, Vector(0, 0, 0.5f));
    const float rows[][8] = {
        // position, drift x -> drawn, level of detail, blend, alpha
        {6, 0, -17, 0, 1, 2, 0.3f, 0.985714f},  // within 20: fading in 25 puffs
        {20, 0, -33, 0, 1, 1, 0.7f, 0.953061f}, // within 40: fading in 5 puffs
        {0, 0, -255, 0, 1, 0, 1, 0.5f},         // half way to the far limit
        {570, 0, -20, 0, 1, 0, 1, 0.489796f},   // 30 from a face: half the margin
        {0, 0, 0.5f, 0, 0, 0, 0, 0},            // behind the camera
        {0, 0, -501, 0, 0, 0, 0, 0},            // beyond 500 along the view
        {400, 0, -420, 0, 0, 0, 0, 0},          // beyond 577.35 from the camera
        {595, 0, -100, 10, 0, 0, 0, 0},         // out through +x, in through -x
    };
    ASSERT_EQ(region.clouds.size(), 8u);
    Vector angles[8];
    for (size_t i = 0; i < 8; ++i)
    {
        region.clouds[i]->position = Vector(rows[i][0], rows[i][1], rows[i][2]);
        region.clouds[i]->velocity = Vector(rows[i][3], 0, 0);
        angles[i] = region.clouds[i]->puffs->children[2]->angles[1];
    }
    region.Update(Vector(0, 0, 0), Vector(0, 0, -1));
    for (size_t i = 0; i < 8; ++i)
    {
        const Cloud& cloud = *region.clouds[i];
        const bool visible = rows[i][4] != 0;
        EXPECT_EQ(cloud.visible, visible) << i;
        EXPECT_LT(Length(visible ? Vector(cloud.lod, cloud.blend, cloud.alpha) -
                                       Vector(rows[i][5], rows[i][6], rows[i][7])
                                 : Vector()),
                  1e-5)
            << i;
        // Only the nearer clouds spin their puffs.
        EXPECT_EQ(cloud.puffs->children[2]->angles[1] != angles[i], visible && rows[i][5] > 0) << i;
    }
    EXPECT_EQ(region.clouds[7]->position, Vector(-595, 0, -100));
    // 577.36 beyond a face on one axis: inactive, and nothing drifts.
    region.Update(Vector(0, 0, 600 + 577.36f), Vector(0, 0, -1));
    EXPECT_FALSE(region.active);
    EXPECT_EQ(region.clouds[7]->position, Vector(-595, 0, -100));
    region.Update(Vector(-1177.34f, 1177.34f, 1177.34f), Vector(0, 0, -1));
    EXPECT_TRUE(region.active && region.clouds[7]->position == Vector(-585, 0, -100));
}

// Clouds live 15 ticks, so the count after each tick is the initial burst
// (gone at tick 15) plus what the last 15 ticks spawned: 10, 9, 8, 8, 7, 7,
// 6, 6, 6, then 5 from tick 10, 4 from tick 15, 3 from tick 24, none from 30.
TEST(World, AnExplosionSpawnsFewerCloudsAsItAgesAndBurnsOutAtTick44)
{
    Environment environment{Environment::Headless{}};
    const Vector centre(100, 0, -50), colour(1, 0.5f, 0);
    SeedRandom(3);
    environment.AddExplosion(10, 1.0f, &centre, &colour, false);
    environment.AddExplosion(0, 1.0f, &centre, &colour, false);
    environment.AddExplosion(2, 0.2f, &centre, &colour, true);
    const Explosion* big = environment.explosions[0];
    const Explosion* small = environment.explosions[2];
    const int counts[][2] = {{1, 20}, {9, 77}, {10, 82}, {14, 102}, {15, 96}, {29, 54}, {30, 50}, {43, 3}};
    int tick = 0;
    for (const auto& row : counts) // after tick, clouds
    {
        while (tick < row[0])
        {
            environment.Update(Vector(0, 0, 0), Vector(0, 0, -1));
            ++tick;
        }
        ASSERT_EQ(environment.explosions.front(), big);
        EXPECT_EQ(big->clouds.size(), size_t(row[1])) << "tick " << tick;
    }
    EXPECT_TRUE(environment.ExplosionCount() == 2 &&
                environment.explosions[1] == small); // the empty one went first
    environment.Update(Vector(0, 0, 0), Vector(0, 0, -1));
    EXPECT_EQ(environment.ExplosionCount(), 0); // both burn out at tick 44
}

// Density 0.2 on a box of 1500 asks for 30 x 30 x 30 clouds. All regions of
// an environment share kMaxMapClouds in file order, a later region (a wreck's
// dust) too, and a map makes at most kMaxMapRegions regions; every region
// keeps its box and density for the sensors. Each excess is named on stderr.
TEST(MapCloudBudget, AMapAskingForTooMuchGetsItsFirstCloudsAndRegionsAndANote)
{
    std::string scene =
        Mesh("a:0.2", Vector(), Vector(1500, 1500, 1500)) + Mesh("b:0.2", Vector(), Vector(1500, 1500, 1500));
    for (size_t i = 2; i <= kMaxMapRegions; ++i)
    {
        scene += Mesh("r", Vector(), Vector(1, 1, 1));
    }
    Environment environment{Environment::Headless{}};
    testing::internal::CaptureStderr();
    SetUpMap(environment, scene);
    const std::string log = testing::internal::GetCapturedStderr();
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
        EXPECT_NE(log.find("Models/Maps/scene.ase: the map " + note + " are made\n"), std::string::npos)
            << note;
    }
}

} // namespace
