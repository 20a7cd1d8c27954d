// Both generated data sets, the game's and the end-to-end one, through the
// game's own loaders: what must hold of any good data set, whatever its tuning.

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "assets/Ase.h"
#include "assets/Model.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"

namespace
{

// Run in the data set given; the game reads its files relative to the working directory.
class DataSet : public GLTest, public ::testing::WithParamInterface<std::string>
{
};

} // namespace

TEST_P(DataSet, EveryFileLoadsAndEveryClassAssemblesForItsRole)
{
    std::filesystem::current_path(GetParam());
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
    const std::vector<Ship*>& fleet = game.players[0]->fleet; // frigate, fusion frigate, carrier, ...
    const std::pair<Ship*, std::string> roles[] = {
        {fleet[0], "G"}, {fleet[1], "B"}, {fleet[2], "GH"}, {fighter, "G"}};
    for (const auto& [ship, role] : roles) // Guns, Beams, Hangars
    {
        SCOPED_TRACE(ship->model->fileName);
        EXPECT_EQ(std::string(ship->gunTurrets.empty() ? "" : "G") + (ship->beamTurrets.empty() ? "" : "B") +
                      (ship->hangars.empty() ? "" : "H"),
                  role);
        EXPECT_GE(ship->lights.size(), 2u);
        std::map<std::string, int> numbers; // the statistics markers, each once with all its numbers
        for (const AseNode* node : ship->model->scene->nodes)
            numbers[node->type] += node->propertyCount;
        EXPECT_EQ(numbers["hull"] * 100 + numbers["speed"] * 10 + numbers["sensor"], 642);
        const float weakest = *std::min_element(ship->hull, ship->hull + kHullFaces);
        EXPECT_TRUE(weakest > 0 && ship->speed > 0 && ship->turnRate.x > 0 && ship->turnRate.y > 0 &&
                    ship->turnRate.z > 0 && ship->sensorRange > 0 && ship->signature > 0);
        if (GetParam() == DataDir() && ship != fighter) // fighters are frail and outrun everything
        {
            EXPECT_LT(*std::max_element(fighter->hull, fighter->hull + kHullFaces), weakest);
            EXPECT_GT(fighter->speed, ship->speed);
        }
        else if (GetParam() !=
                 DataDir()) // end to end: a turn crosses the map, one fusion frigate's beams kill
        {
            EXPECT_GE(ship->speed * 200, 1650.0f);
            EXPECT_LT(*std::max_element(ship->hull, ship->hull + kHullFaces),
                      fleet[1]->beamTurrets.size() * 100 * (300 / 1650.0f) * (300 / 1650.0f));
        }
    }
    for (const Hangar* hangar : fleet[2]->hangars)
        EXPECT_GE(hangar->GetSquadronsLeft(), 1);
    std::filesystem::current_path(DataDir());
}

TEST_P(DataSet, ImagesHaveTheLayoutsTheLoadersTakeForGranted)
{
    std::filesystem::current_path(GetParam());
    // Bits per pixel, rows without padding, and the size given or a power of two.
    const auto check = [](const std::string& file, int bits, int width = 0, int height = 0)
    {
        SDL_Surface* image = IMG_Load(file.c_str());
        EXPECT_TRUE(image && image->format->BitsPerPixel == bits && image->pitch == image->w * bits / 8 &&
                    (width ? image->w == width : (image->w & (image->w - 1)) == 0) &&
                    (height ? image->h == height : (image->h & (image->h - 1)) == 0))
            << file;
        const std::pair<int, int> size(image ? image->w : 0, image ? image->h : 0);
        SDL_FreeSurface(image);
        return size;
    };
    for (const char* model : {"battlefrigate", "beamfrigateopen", "escortcarrier2", "smallfighter",
                              "gunturret", "gunturret_base", "gunturret_guns", "beamturret"})
    {
        const auto skin = check(std::string("Textures/") + model + ".bmp", 24);
        check(std::string("Textures/") + model + "_lmap.png", 32, skin.first, skin.second);
    }
    for (const char* light : {"light0", "light1", "light2", "light3", "font2"})
        check(std::string("Textures/") + light + ".png", 32);
    check("Textures/beam.bmp", 24);
    check("Textures/bullet.bmp", 24);
    check("Textures/intro_background.png", 24, 1024, 1024);
    std::filesystem::current_path(DataDir());
}

INSTANTIATE_TEST_SUITE_P(BothSets, DataSet, ::testing::Values(DataDir(), DataDir() + "-test"));

TEST(Generator, WritesTheBuiltDataAgainByteForByte)
{
    const std::string generator = DataDir() + "/../tools/korvane_datagen ";
    const std::string out = KORVANE_BINARY_DIR "/test-scratch/data";
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    EXPECT_EQ(std::system((generator + out + " --test 2>/dev/null").c_str()), 0);
    EXPECT_EQ(std::system(("diff -r " + out + " " + DataDir() + "-test").c_str()), 0);
    std::filesystem::remove_all(out);
}
