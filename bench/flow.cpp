// Costs of one turn's frame in a real two-player game on each map: the scene
// through the current player's camera with the command panel, in the normal and
// the sensor view, and the order-point arithmetic of every pointer movement.
// Run under a display, for example:
//   cd build/data && ../../tests/with-xvfb.sh ../bench/bench_flow
#include "BenchDisplay.h"
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "game/Game.h"
#include "input/OrderPoint.h"
#include "players/Player.h"
#include "ui/CommandPanel.h"

namespace
{

// A game on map N with the first ship selected, as a turn shows it.
std::unique_ptr<Game> MakeGame(int map)
{
    std::unique_ptr<Game> game(new Game(2, "map" + std::to_string(map)));
    game->GetCurrentPlayer()->SelectNextShip();
    for (int i = 0; i < 12; i++)
    {
        game->Tick();
    }
    return game;
}

void Frame(benchmark::State& state, bool sensorView)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    std::unique_ptr<Game> game = MakeGame(int(state.range(0)));
    game->SetViewMode(sensorView ? 1 : 0);
    for (auto _ : state)
    {
        DrawScene(*game);
        game->GetPanel()->Draw();
        glFinish();
    }
}

} // namespace

// One frame without the swap: scene, panel, pointer.
static void BM_TurnFrame(benchmark::State& state)
{
    Frame(state, false);
}
BENCHMARK(BM_TurnFrame)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

static void BM_SensorViewFrame(benchmark::State& state)
{
    Frame(state, true);
}
BENCHMARK(BM_SensorViewFrame)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

// The order point following the pointer over its plane.
static void BM_PointOnHorizontalPlane(benchmark::State& state)
{
    const Vector eye(0.0f, 100.0f, 800.0f);
    Vector nearPoint(-0.3f, 99.2f, 799.4f);
    Vector result;
    for (auto _ : state)
    {
        nearPoint.x += 1e-6f;
        benchmark::DoNotOptimize(PointOnHorizontalPlane(eye, nearPoint, 0.0f, result));
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_PointOnHorizontalPlane);
