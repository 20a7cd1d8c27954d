// The cost of a big battle and of looking around at the start of a game, tick
// by tick and frame by frame, with the distribution a player feels (median,
// p95, p99, worst, and the share of frames within 16.7 ms). Run under a display
// from anywhere, for example:
//
//   tests/with-xvfb.sh build/bench/bench_battle
//
// BattleTicks: a four-player battle on each map (tests/support/BattleScript.h), 60
//   player turns of 200 ticks, every tick timed as the game handles it
//   (environment step every other tick, the game's Tick); nothing drawn.
// BattleFrames/0/N: the same battle on map1 with a frame drawn through the
//   current player's camera over its fleet after every Nth tick (scene,
//   command panel, swap, glFinish). Drawing draws random flicker, so this battle runs
//   differently from the undrawn one; its ticks are reported too.
// StartSweep: a fresh four-player game on each map, each player's camera at
//   the widest zoom on a grid of 5 x 5 focus points and 8 headings, in the
//   normal and the sensor view: one frame each after one environment step.
//
// Each benchmark runs its whole scenario once; the figures are counters.

#include "BenchDisplay.h"
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "../tests/support/BattleScript.h"
#include "app/FrameSwap.h"
#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "game/Game.h"
#include "input/EventHandling.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "players/Player.h"
#include "ui/CommandPanel.h"
#include "world/Environment.h"

// Every allocation through operator new (the game's own; the OpenGL driver
// uses malloc) is counted, to see which ticks allocate. The standard
// operator delete frees with free().
static long gAllocations = 0;

[[gnu::noinline]] void* operator new(size_t size)
{
    gAllocations++;
    if (void* p = std::malloc(size == 0 ? 1 : size))
    {
        return p;
    }
    throw std::bad_alloc();
}

namespace
{

const char* const kMaps[4] = {"map1", "map2", "map3", "map4"};

constexpr int kBattleTurns = 60;
constexpr double kFrameBudgetMs = 1000.0 / 60.0;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of the calling thread in ms: on a busy machine it leaves out
// the time the thread waited for a processor. Ticks run on the main thread
// alone, so for them it is what an idle machine would take.
double ThreadMilliseconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

// The value below which the given share of the sorted samples lie (nearest rank).
double Percentile(const std::vector<double>& sorted, double share)
{
    if (sorted.empty())
    {
        return 0.0;
    }
    const size_t rank = size_t(std::ceil(share * double(sorted.size())));
    return sorted[std::min(sorted.size(), std::max<size_t>(rank, 1)) - 1];
}

// Median, p95, p99 and max of the samples (ms) as counters with the given prefix.
void Report(benchmark::State& state, const std::string& prefix, std::vector<double> samples, bool budget)
{
    std::sort(samples.begin(), samples.end());
    state.counters[prefix + "_n"] = double(samples.size());
    state.counters[prefix + "_med_ms"] = Percentile(samples, 0.5);
    state.counters[prefix + "_p95_ms"] = Percentile(samples, 0.95);
    state.counters[prefix + "_p99_ms"] = Percentile(samples, 0.99);
    state.counters[prefix + "_max_ms"] = samples.empty() ? 0.0 : samples.back();
    if (budget)
    {
        const size_t within =
            size_t(std::upper_bound(samples.begin(), samples.end(), kFrameBudgetMs) - samples.begin());
        state.counters[prefix + "_within16.7_pct"] =
            samples.empty() ? 0.0 : 100.0 * double(within) / double(samples.size());
    }
}

// Processor time of the whole process in ms, the renderer's threads included.
double ProcessMilliseconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

// Page faults the process has taken that needed no disk: memory touched for
// the first time since the system gave it.
long MinorFaults()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Wall-clock and processor times of frames.
struct FrameTimes
{
    std::vector<double> wall;
    std::vector<double> cpu;
    long pageFaults = 0;
};

// One frame as the frame loop draws it, finished by the renderer.
void TimedFrame(Game& game, FrameTimes& times)
{
    const Clock::time_point start = Clock::now();
    const double cpuStart = ProcessMilliseconds();
    const long faultsStart = MinorFaults();
    DrawScene(game);
    game.GetPanel()->Draw();
    SwapFrame();
    glFinish();
    times.pageFaults += MinorFaults() - faultsStart;
    times.cpu.push_back(ProcessMilliseconds() - cpuStart);
    times.wall.push_back(MillisecondsSince(start));
}

void ReportFrames(benchmark::State& state, const FrameTimes& times)
{
    Report(state, "frame", times.wall, true);
    Report(state, "frame_cpu", times.cpu, true);
    state.counters["frame_page_faults"] =
        times.wall.empty() ? 0.0 : double(times.pageFaults) / double(times.wall.size());
}

// Plays the scripted battle; draws a frame after every ticksPerFrame-th tick
// when ticksPerFrame > 0.
void PlayBattle(benchmark::State& state, const char* map, int ticksPerFrame)
{
    // The map's clouds come from the generator's state before the game seeds
    // it: a fixed one makes every run alike, whatever ran before.
    SeedRandom(1);
    gTickClock = TickClock();
    Game game(4, map);
    gAnimationTime = 0.0f;
    std::vector<double> ticks;
    std::vector<double> tickCpu;
    int allocatingTicks = 0;
    int quietAllocatingTicks = 0; // allocating ticks in which no ship was destroyed
    long allocations = 0;
    FrameTimes frames;
    ticks.reserve(kBattleTurns * battle::kTicksPerTurn);
    int turns = 0;
    for (; turns < kBattleTurns && game.WinnerIndex() == -1; turns++)
    {
        battle::OrderTurn(game);
        Player& player = *game.GetCurrentPlayer();
        battle::FollowFleet(game);
        game.GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
        for (int tick = 0; tick < battle::kTicksPerTurn; tick++)
        {
            battle::FollowFleet(game);
            const int wrecksBefore = game.WreckCount();
            const int explosionsBefore = game.GetEnvironment()->ExplosionCount();
            const long allocationsBefore = gAllocations;
            const Clock::time_point start = Clock::now();
            const double cpuStart = ThreadMilliseconds();
            HandleTick(game);
            tickCpu.push_back(ThreadMilliseconds() - cpuStart);
            ticks.push_back(MillisecondsSince(start));
            const long made = gAllocations - allocationsBefore;
            allocations += made;
            allocatingTicks += made > 0 ? 1 : 0;
            const bool quiet = game.WreckCount() == 0 && wrecksBefore == 0 && explosionsBefore == 0 &&
                               game.GetEnvironment()->ExplosionCount() == 0;
            quietAllocatingTicks += made > 0 && quiet ? 1 : 0;
            if (ticksPerFrame > 0 && tick % ticksPerFrame == 0)
            {
                TimedFrame(game, frames);
            }
        }
        game.NextPlayer();
    }
    state.counters["turns"] = turns;
    state.counters["ships_left"] = battle::LiveShips(game);
    state.counters["allocs_per_tick"] = double(allocations) / double(ticks.size());
    state.counters["allocating_ticks"] = allocatingTicks;
    state.counters["allocating_quiet_ticks"] = quietAllocatingTicks;
    Report(state, "tick", ticks, false);
    Report(state, "tick_cpu", tickCpu, false);
    if (ticksPerFrame > 0)
    {
        ReportFrames(state, frames);
    }
}

void BM_BattleTicks(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    const char* map = kMaps[state.range(0)];
    for (auto _ : state)
    {
        PlayBattle(state, map, 0);
    }
    state.SetLabel(map);
}
BENCHMARK(BM_BattleTicks)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BattleFrames(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    const char* map = kMaps[state.range(0)];
    for (auto _ : state)
    {
        PlayBattle(state, map, int(state.range(1)));
    }
    state.SetLabel(map);
}
// A frame every 4 ticks; every 50 ticks is the short run for instruction counts.
BENCHMARK(BM_BattleFrames)->Args({0, 4})->Args({0, 50})->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_StartSweep(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    const char* map = kMaps[state.range(0)];
    FrameTimes frames;
    for (auto _ : state)
    {
        SeedRandom(1);
        Game game(4, map);
        gAnimationTime = 0.0f;
        for (int seat = 0; seat < 4; seat++)
        {
            Player& player = *game.GetCurrentPlayer();
            player.SetZoom(float(kMaxZoom));
            for (int gx = -2; gx <= 2; gx++)
            {
                for (int gz = -2; gz <= 2; gz++)
                {
                    for (int h = 0; h < 8; h++)
                    {
                        player.SetFocus(600.0f * gx, 0.0f, 600.0f * gz);
                        player.SetHeading(45.0f * h);
                        game.GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
                        for (int view = 0; view < 2; view++)
                        {
                            game.SetViewMode(view);
                            TimedFrame(game, frames);
                        }
                    }
                }
            }
            game.SetViewMode(0);
            game.NextPlayer();
        }
    }
    state.SetLabel(map);
    ReportFrames(state, frames);
}
BENCHMARK(BM_StartSweep)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
