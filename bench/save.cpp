// The autosave of a four-player game at its largest: taking the snapshot,
// encoding it, and the whole write to disk (temporary file, fsync, renames),
// with the file's size as a counter; and reading it back. Goals: the write
// at most 50 ms, the file at most 1 MB (docs/saves.md).
// Run under a display, for example:
//   cd build/data && ../../tests/with-xvfb.sh ../bench/bench_save
#include "BenchDisplay.h"
#include "LargestGame.h"
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "combat/Hangar.h"
#include "game/Game.h"
#include "math/Random.h"
#include "players/Player.h"
#include "save/GameSnapshot.h"
#include "save/SaveFiles.h"
#include "save/SnapshotCodec.h"
#include "ships/Ship.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

Game& Largest()
{
    static std::unique_ptr<Game> game = LargestGame();
    return *game;
}

void SetCounters(benchmark::State& state, const Game& game, size_t bytes)
{
    size_t clouds = 0;
    for (const NebulaRegion* region : game.environment->regions)
    {
        clouds += region->clouds.size();
    }
    for (const Explosion* explosion : game.environment->explosions)
    {
        clouds += explosion->clouds.size();
    }
    size_t ships = game.wrecks.size();
    for (const Player* player : game.players)
    {
        ships += player->fleet.size();
    }
    state.counters["file_bytes"] = double(bytes);
    state.counters["clouds"] = double(clouds);
    state.counters["ships"] = double(ships);
    state.counters["bullets"] = double(game.bullets->Count());
}

void BM_SnapshotAndEncode(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    Game& game = Largest();
    size_t bytes = 0;
    for (auto _ : state)
    {
        bytes = EncodeSnapshot(CaptureSnapshot(game)).size();
    }
    SetCounters(state, game, bytes);
}
BENCHMARK(BM_SnapshotAndEncode)->Unit(benchmark::kMillisecond);

// The whole autosave as the game writes it at a hand-over.
void BM_Autosave(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    Game& game = Largest();
    char pattern[] = "/tmp/korvane-bench-saves-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    std::string error;
    for (auto _ : state)
    {
        if (!WriteAutosave(game, folder, error))
        {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::vector<uint8_t> bytes;
    ReadSaveFile(AutosavePaths(folder)[0], bytes, error);
    SetCounters(state, game, bytes.size());
    for (const std::string& path : AutosavePaths(folder))
    {
        unlink(path.c_str());
    }
    rmdir(folder.c_str());
}
BENCHMARK(BM_Autosave)->Unit(benchmark::kMillisecond);

void BM_Decode(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    const std::vector<uint8_t> bytes = EncodeSnapshot(CaptureSnapshot(Largest()));
    Snapshot snapshot;
    std::string error;
    for (auto _ : state)
    {
        if (!DecodeSnapshot(bytes, snapshot, error))
        {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

} // namespace
