// korvane-autoplay: whole games with the computer in every seat, for
// measuring how long games last and whether a map favours a seat, and for
// watching the game play itself. See docs/autoplay.md.
#include <SDL/SDL.h>

#include <cstdio>
#include <string>

#include "AutoplayGame.h"
#include "AutoplayOptions.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "math/Random.h"

namespace
{

int UsageError(const std::string& reason)
{
    std::fprintf(stderr, "korvane-autoplay: %s\n%s", reason.c_str(), kAutoplayUsage);
    return 2;
}

bool FileExists(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
    {
        return false;
    }
    std::fclose(file);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    AutoplayOptions options;
    std::string error;
    if (!ParseAutoplayOptions(argc, argv, options, error))
    {
        return UsageError(error);
    }
    if (options.help)
    {
        std::fputs(kAutoplayUsage, stdout);
        return 0;
    }
    const std::string mapFile = "Models/Maps/" + options.map + ".ase";
    if (!FileExists(mapFile))
    {
        return UsageError("no map " + options.map + ": " + mapFile +
                          " not found (run from the game's data directory)");
    }

    InitVideo();
    if (SDL_GetVideoSurface() == nullptr)
    {
        std::fprintf(stderr, "korvane-autoplay: cannot open the display: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    InitRenderState();
    BuildDirectionTable();
    gAnimationTime = 0.0f;

    Game* game = new Game(options.players, options.map);
    // The game seeds its generator when the map is set up; the seed given
    // here takes over from that point.
    SeedRandom(options.seed);
    {
        AutoplayGame autoplay(*game, options.seed, options.watch, stdout, options.seats);
        autoplay.Play(options.maxRounds);
    }
    delete game;
    SDL_Quit();
    return 0;
}
