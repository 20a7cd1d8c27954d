#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "app/IntroScreen.h"
#include "app/SetupMenu.h"
#include "support/GLTest.h"

namespace
{

namespace fs = std::filesystem;

// A data directory with the font and the intro map but not the given files.
std::string PartialDataDir(const std::string& name, bool withBackground, bool withMaps)
{
    const fs::path dir =
        fs::temp_directory_path() / ("korvane-flow-" + name + "-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Textures");
    fs::create_directories(dir / "Models" / "Maps");
    const fs::path data = DataDir();
    fs::copy_file(data / "Textures" / "font2.png", dir / "Textures" / "font2.png");
    fs::copy_file(data / "Models" / "Maps" / "intro.ase", dir / "Models" / "Maps" / "intro.ase");
    if (withBackground)
    {
        fs::copy_file(data / "Textures" / "intro_background.png", dir / "Textures" / "intro_background.png");
    }
    if (withMaps)
    {
        // Only a directory matches the map pattern: there is still no map.
        fs::create_directories(dir / "Models" / "Maps" / "map1.ase");
    }
    return dir.string();
}

TEST(IntroDeathTest, MissingBackgroundEndsWithItsMessage)
{
    const std::string dir = PartialDataDir("intro", false, false);
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            if (chdir(dir.c_str()) != 0 || !OpenGameDisplay())
            {
                std::exit(3);
            }
            ShowIntro();
            std::exit(4);
        },
        ::testing::ExitedWithCode(0), "Texture file intro_background.png not found");
    fs::remove_all(dir);
}

TEST(SetupMenuDeathTest, MapPatternMatchingOnlyDirectoriesEndsTheProgram)
{
    const std::string dir = PartialDataDir("menu", true, true);
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "r", stdin);
            if (chdir(dir.c_str()) != 0 || !OpenGameDisplay())
            {
                std::exit(3);
            }
            ChooseGameSetup();
            std::exit(4);
        },
        ::testing::ExitedWithCode(0), "Error finding files of type ./Models/Maps/map\\?.ase");
    fs::remove_all(dir);
}

} // namespace
