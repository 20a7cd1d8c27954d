// korvane-autoplay: whole games with the computer in every seat, for
// measuring how long games last and whether a map favours a seat, and for
// watching the game play itself. See docs/autoplay.md.
#include <SDL/SDL.h>

#include <cstdio>
#include <string>

#include "AutoplayGame.h"
#include "AutoplayOptions.h"
#include "app/FatalError.h"
#include "app/HeapPolicy.h"
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
    // Process-wide, as in the game: the heap keeps what the OpenGL driver
    // frees after every frame, so measured ticks and frames are the game's.
    KeepFreedHeapForFrames();
    // Scripts run this tool: anything that ends it early (no display, a
    // damaged data file) must show in its exit status, unlike the game's 0.
    SetFatalExitStatus(1);
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

    OpenDisplay();
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
