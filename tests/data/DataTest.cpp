// Both generated data sets, the game's and the end-to-end one, through the
// game's own loaders: what must hold of any good data set, whatever its tuning.

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "assets/Ase.h"
#include "assets/Model.h"
#include "combat/Hangar.h"
#include "game/FatalExitGuard.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "world/Environment.h"

namespace
{

class DataSet : public GLTest, public ::testing::WithParamInterface<std::string>
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        std::filesystem::current_path(GetParam());
    }
    void TearDown() override
    {
        std::filesystem::current_path(DataDir());
        GLTest::TearDown();
    }
};

std::string ReadFile(const std::string& path)
{
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

} // namespace

TEST_P(DataSet, EveryFileLoadsAndEveryClassAssemblesForItsRole)
{
    testing::internal::CaptureStderr();
    Game game(2, "map1"); // every model with its textures, a map, the player lights
    for (const char* map : {"intro", "map2", "map3", "map4"})
    {
        std::unique_ptr<AseGroup> scene(ReadAse(std::string("Maps/") + map));
        ASSERT_TRUE(scene) << map;
        EXPECT_FALSE(scene->meshes.empty()) << map;
        for (const AseMesh* region : scene->meshes)
            EXPECT_EQ(region->PropertyCount(), 5u) << map << ": density, speed, colour";
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find(".ase: "), std::string::npos) << "the reader noted a fault:\n" << log;

    Ship* fighter = new Ship(game.TakeId(), 0, &game);
    fighter->Assemble(game.FindShipModel("smallfighter"), 0);
    game.players[0]->AddShip(fighter);
    const std::vector<Ship*>& fleet =
        game.players[0]->fleet; // frigate, fusion frigate, carrier, ..., fighter
    const struct
    {
        Ship* ship;
        bool guns, beams, hangars;
    } roles[] = {{fleet[0], true, false, false},
                 {fleet[1], false, true, false},
                 {fleet[2], true, false, true},
                 {fighter, true, false, false}};
    for (const auto& role : roles)
    {
        const Ship& ship = *role.ship;
        SCOPED_TRACE(ship.model->fileName);
        EXPECT_EQ(!ship.gunTurrets.empty(), role.guns);
        EXPECT_EQ(!ship.beamTurrets.empty(), role.beams);
        EXPECT_EQ(!ship.hangars.empty(), role.hangars);
        EXPECT_GE(ship.lights.size(), 2u);
        std::map<std::string, int> numbers; // the statistics markers, each once with all its numbers
        for (const AseNode* node : ship.model->scene->nodes)
            numbers[node->type] += node->propertyCount;
        EXPECT_EQ(numbers["hull"] * 100 + numbers["speed"] * 10 + numbers["sensor"], 642);
        EXPECT_TRUE(ship.speed > 0 && ship.turnRate.x > 0 && ship.turnRate.y > 0 && ship.turnRate.z > 0);
        EXPECT_TRUE(ship.sensorRange > 0 && ship.signature > 0);
        const float strongest = *std::max_element(ship.hull, ship.hull + kHullFaces);
        const float weakest = *std::min_element(ship.hull, ship.hull + kHullFaces);
        EXPECT_GT(weakest, 0.0f);
        if (GetParam() == DataDir() && role.ship != fighter) // fighters are frail and outrun everything
        {
            EXPECT_LT(*std::max_element(fighter->hull, fighter->hull + kHullFaces), weakest);
            EXPECT_GT(fighter->speed, ship.speed);
        }
        else if (GetParam() !=
                 DataDir()) // end to end: a turn crosses the map, one fusion frigate's beams kill
        {
            EXPECT_GE(ship.speed * 200, 1650.0f);
            EXPECT_LT(strongest, fleet[1]->beamTurrets.size() * 100 * (300 / 1650.0f) * (300 / 1650.0f));
        }
    }
    for (const Hangar* hangar : fleet[2]->hangars)
        EXPECT_GE(hangar->GetSquadronsLeft(), 1);
}

TEST_P(DataSet, ImagesHaveTheLayoutsTheLoadersTakeForGranted)
{
    const auto check = [](const std::string& file, int bits, int width = 0, int height = 0)
    {
        SDL_Surface* image = IMG_Load(file.c_str());
        ASSERT_TRUE(image) << file;
        EXPECT_EQ(image->format->BitsPerPixel, bits) << file;
        EXPECT_TRUE(width ? image->w == width : (image->w & (image->w - 1)) == 0) << file << " " << image->w;
        EXPECT_TRUE(height ? image->h == height : (image->h & (image->h - 1)) == 0)
            << file << " " << image->h;
        EXPECT_EQ(image->pitch, image->w * bits / 8) << file << ": rows without padding";
        SDL_FreeSurface(image);
    };
    for (const char* model : {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter",
                              "gunturret", "gunturret_base", "gunturret_guns", "beamturret"})
    {
        const std::string skin = std::string("Textures/") + model;
        SDL_Surface* image = IMG_Load((skin + ".bmp").c_str());
        ASSERT_TRUE(image) << skin;
        check(skin + ".bmp", 24);
        check(skin + "_lmap.png", 32, image->w, image->h);
        SDL_FreeSurface(image);
    }
    check("Textures/beam.bmp", 24);
    check("Textures/bullet.bmp", 24);
    check("Textures/intro_background.png", 24, 1024, 1024);
    check("Textures/font2.png", 32);
    const int colours[4][3] = {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {1, 1, 0}};
    for (int i = 0; i < 4; i++)
    {
        const std::string light = "Textures/light" + std::to_string(i) + ".png";
        check(light, 32);
        SDL_Surface* image = IMG_Load(light.c_str());
        const uint8_t* halo =
            static_cast<uint8_t*>(image->pixels) + image->h / 2 * image->pitch + 4 * (image->w * 2 / 3);
        for (int c = 0; c < 3; c++)
        {
            EXPECT_TRUE(colours[i][c] ? halo[c] > 200 : halo[c] < 120)
                << light << " glows in its player's colour";
        }
        SDL_FreeSurface(image);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSets, DataSet, ::testing::Values(DataDir(), DataDir() + "-test"));

TEST(TestDataSet, EveryStartingLineSeesEveryOther)
{
    std::filesystem::current_path(DataDir() + "-test");
    const Vector starts[4] = {{0, 0, 800}, {0, 0, -800}, {-800, 0, 0}, {800, 0, 0}};
    for (const char* map : {"map1", "map2", "map3", "map4"})
    {
        Environment environment{Environment::Headless()};
        environment.SetUpMap(map, 235);
        EXPECT_FALSE(environment.regions.empty()) << map;
        for (const Vector& from : starts)
        {
            for (const Vector& to : starts)
                EXPECT_EQ(environment.Obscuration(from, to), 0.0f) << map;
        }
    }
    std::filesystem::current_path(DataDir());
}

TEST(Generator, WritesTheBuiltDataByteForByteAndFailsCleanly)
{
    const std::string generator = DataDir() + "/../tools/korvane_datagen";
    const std::string out = std::string(KORVANE_BINARY_DIR) + "/test-scratch/data";
    for (const std::string set : {"", "-test"})
    {
        std::filesystem::remove_all(out);
        ASSERT_EQ(
            std::system((generator + " " + out + (set.empty() ? "" : " --test") + " 2>/dev/null").c_str()),
            0);
        int files = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(out))
        {
            const std::string relative = entry.path().string().substr(out.size());
            files += entry.is_regular_file();
            EXPECT_TRUE(!entry.is_regular_file() ||
                        ReadFile(entry.path()) == ReadFile(DataDir() + set + relative))
                << relative;
        }
        EXPECT_EQ(files, 37);
    }
    std::filesystem::remove_all(out);
    EXPECT_NE(std::system((generator + " /proc/korvane 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((generator + " " + out + " --font /nonexistent.ttf 2>/dev/null").c_str()), 0);
    std::filesystem::remove_all(out);
}
