// How long the Hard computer player thinks. Run under a display from
// anywhere, for example:
//
//   tests/with-xvfb.sh build/bench/bench_ai
//
// HardDecisions/M: a four-player game on map M+1 with the Hard player in
//   every seat, played to its winner or 30 rounds. Every stretch of a turn
//   between two ticks (reading what its player knows, noting it, planning
//   when the sight changed, giving orders) is one decision, timed on its own;
//   the ticks themselves are not counted. The figures are counters: median,
//   p99 and worst decision in ms on the wall clock and in the thread's CPU
//   time (which a loaded machine does not stretch), and the number of
//   decisions.
// PlanLargest: PlanTurn for player 1 of the largest state a game can hold
//   (bench/LargestGame.h: 4 players, every squadron launched, 100 ships in
//   sight), what its sensors show read into its knowledge once.
// ReadKnowledgeLargest: reading that knowledge from the game.

#include "BenchDisplay.h"
#include "LargestGame.h"
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "ai/ComputerPlayer.h"
#include "ai/HardMemory.h"
#include "ai/Knowledge.h"
#include "ai/Search.h"
#include "ai/ShipClass.h"
#include "ai/Tactics.h"
#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "game/Game.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "players/AutoPlayer.h"
#include "players/Player.h"
#include "world/Environment.h"

namespace
{

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double ThreadMilliseconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

double Quantile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const size_t index = size_t(std::ceil(fraction * double(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

// The Hard player's search grid is this coarse at most (HardPlayer.cpp).
constexpr float kGridSpacing = 160.0f;

} // namespace

static void BM_HardDecisions(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no data directory");
        return;
    }
    const std::string map = "map" + std::to_string(state.range(0) + 1);
    std::vector<double> decisions;
    std::vector<double> cpu;
    int rounds = 0;
    for (auto _ : state)
    {
        gAnimationTime = 0.0f;
        gTickClock.tickCounter = 0;
        std::unique_ptr<Game> game(new Game(4, map));
        SeedRandom(1);
        for (Player* player : game->players)
        {
            player->seat = SeatKind::ComputerHard;
            player->computer = MakeComputerPlayer(player->seat, *game, *player, 1);
        }
        for (rounds = 1; rounds <= 30 && game->GetState() != 2; rounds++)
        {
            for (size_t seat = 0; seat < game->players.size() && game->GetState() != 2; seat++)
            {
                Player& player = *game->GetCurrentPlayer();
                game->GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
                game->SetState(0);
                Clock::time_point resumed = Clock::now();
                double resumedCpu = ThreadMilliseconds();
                player.computer->PlayTurn(
                    [&]()
                    {
                        decisions.push_back(Milliseconds(Clock::now() - resumed));
                        cpu.push_back(ThreadMilliseconds() - resumedCpu);
                        AdvanceGameTick(*game);
                        resumed = Clock::now();
                        resumedCpu = ThreadMilliseconds();
                    });
                decisions.push_back(Milliseconds(Clock::now() - resumed));
                cpu.push_back(ThreadMilliseconds() - resumedCpu);
                game->NextPlayer();
            }
        }
    }
    state.counters["decisions"] = double(decisions.size());
    state.counters["rounds"] = double(rounds - 1);
    state.counters["median_ms"] = Quantile(decisions, 0.5);
    state.counters["p99_ms"] = Quantile(decisions, 0.99);
    state.counters["max_ms"] = *std::max_element(decisions.begin(), decisions.end());
    state.counters["cpu_p99_ms"] = Quantile(cpu, 0.99);
    state.counters["cpu_max_ms"] = *std::max_element(cpu.begin(), cpu.end());
}
BENCHMARK(BM_HardDecisions)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond);

static void BM_PlanLargest(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no data directory");
        return;
    }
    std::unique_ptr<Game> game = LargestGame();
    const ClassBook book(*game);
    const Knowledge knowledge = ReadKnowledge(*game, *game->players[0], book);
    HardMemory memory;
    memory.turn = 5;
    memory.rival = 1;
    const std::vector<Vector> grid = SearchGrid(knowledge.nebulae, kGridSpacing);
    for (auto _ : state)
    {
        TurnPlan plan = PlanTurn(knowledge, memory, book, Tuning(), grid);
        benchmark::DoNotOptimize(plan);
    }
    state.counters["own"] = double(knowledge.own.size());
    state.counters["contacts"] = double(knowledge.contacts.size());
}
BENCHMARK(BM_PlanLargest)->Unit(benchmark::kMillisecond);

static void BM_ReadKnowledgeLargest(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no data directory");
        return;
    }
    std::unique_ptr<Game> game = LargestGame();
    const ClassBook book(*game);
    for (auto _ : state)
    {
        Knowledge knowledge = ReadKnowledge(*game, *game->players[0], book);
        benchmark::DoNotOptimize(knowledge);
    }
}
BENCHMARK(BM_ReadKnowledgeLargest)->Unit(benchmark::kMicrosecond);
