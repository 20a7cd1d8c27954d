// korvane-autoplay: whole games with the computer in every seat, for
// measuring how long games last and whether a map favours a seat, and for
// watching the game play itself. See docs/autoplay.md.
#include <SDL/SDL.h>

#include <cstdio>
#include <string>

#include "AutoplayGame.h"
#include "AutoplayOptions.h"
#include "NetAutoplay.h"
#include "app/FatalError.h"
#include "app/HeapPolicy.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "math/Random.h"
#include "save/GameSnapshot.h"
#include "save/SaveFiles.h"
#include "save/SnapshotCodec.h"

namespace
{

int UsageError(const std::string& reason)
{
    std::fprintf(stderr, "korvane-autoplay: %s\n%s%s", reason.c_str(), kAutoplayUsage, kNetAutoplayUsage);
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
    NetAutoplayOptions net;
    std::string error;
    std::vector<const char*> rest;
    if (!ParseNetAutoplayOptions(argc, argv, net, rest, error) ||
        !ParseAutoplayOptions(int(rest.size()), rest.data(), options, error))
    {
        return UsageError(error);
    }
    if (options.help)
    {
        std::fputs(kAutoplayUsage, stdout);
        std::fputs(kNetAutoplayUsage, stdout);
        return 0;
    }
    const bool networked = net.host || net.join;
    if (networked && (options.watch || options.saveAtRound != 0 || !options.resumeFile.empty() ||
                      !options.snapshotFolder.empty()))
    {
        return UsageError("--host and --join play without --watch, --save-at-round, --resume or --snapshots");
    }
    Snapshot snapshot;
    if (!options.resumeFile.empty())
    {
        std::vector<uint8_t> bytes;
        if (!ReadSaveFile(options.resumeFile, bytes, error) || !DecodeSnapshot(bytes, snapshot, error))
        {
            std::fprintf(stderr, "korvane-autoplay: cannot resume %s: %s\n", options.resumeFile.c_str(),
                         error.c_str());
            return 1;
        }
        options.map = snapshot.map;
    }
    const std::string mapFile = "Models/Maps/" + options.map + ".ase";
    if (!FileExists(mapFile))
    {
        return UsageError("no map " + options.map + ": " + mapFile +
                          " not found (run from the game's data directory)");
    }

    OpenDisplay();
    gAnimationTime = 0.0f;

    if (networked)
    {
        int status = 0;
        {
            NetAutoplay machine(options, net, stdout);
            status = machine.Run();
        }
        SDL_Quit();
        return status;
    }

    Game* game = nullptr;
    if (options.resumeFile.empty())
    {
        game = new Game(options.players, options.map);
        // The game seeds its generator when the map is set up; the seed given
        // here takes over from that point.
        SeedRandom(options.seed);
    }
    else
    {
        game = RestoreGame(snapshot, error);
        if (game == nullptr)
        {
            std::fprintf(stderr, "korvane-autoplay: cannot resume %s: %s\n", options.resumeFile.c_str(),
                         error.c_str());
            SDL_Quit();
            return 1;
        }
    }
    int status = 0;
    {
        AutoplayGame autoplay(*game, options.seed, options.watch, stdout, options.seats);
        autoplay.snapshotFolder = options.snapshotFolder;
        if (options.saveAtRound == 0)
        {
            autoplay.Play(options.maxRounds);
        }
        else if (autoplay.PlayUntilRound(options.saveAtRound, options.maxRounds))
        {
            if (WriteFileWhole(options.saveFile, EncodeSnapshot(CaptureSnapshot(*game)), error))
            {
                std::fprintf(stderr, "korvane-autoplay: saved the hand-over before round %d to %s\n",
                             options.saveAtRound, options.saveFile.c_str());
            }
            else
            {
                std::fprintf(stderr, "korvane-autoplay: %s\n", error.c_str());
                status = 1;
            }
        }
    }
    delete game;
    SDL_Quit();
    return status;
}
