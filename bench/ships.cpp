// Costs of the game's per-tick work and of building a game. Run under a
// display from anywhere, for example: tests/with-xvfb.sh build/bench/bench_ships
#include "BenchDisplay.h"
#include <benchmark/benchmark.h>

#include <SDL/SDL.h>
#include <unistd.h>

#include "app/Startup.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"

namespace
{

// One tick of a four-player game in which all five ships of the current player
// fly: their motion, the sensor sweeps against fifteen enemy ships through the
// map's nebulae, the envelope rebuilds and the turrets.
void BM_TickWithFleetMoving(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    Game game(4, "map1");
    Player* player = game.GetCurrentPlayer();
    int ticks = 0;
    for (auto _ : state)
    {
        if (ticks % 100 == 0)
        {
            for (Ship* ship : player->fleet)
            {
                ship->moveTimeLeft = 10.0f;
                ship->motionState = Ship::Moving;
                ship->destination = ship->position + Vector(0, 0, -100000);
                ship->velocity = Vector(0, 0, -1);
            }
        }
        game.Tick();
        ticks++;
    }
}
BENCHMARK(BM_TickWithFleetMoving)->Unit(benchmark::kMicrosecond);

// One tick of the same game with every ship at rest: the floor of Tick.
void BM_TickAtRest(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    Game game(4, "map1");
    game.Tick(); // the spawn updates
    for (auto _ : state)
    {
        game.Tick();
    }
}
BENCHMARK(BM_TickAtRest)->Unit(benchmark::kMicrosecond);

// Building and tearing down a four-player game (models, map, fleets).
void BM_BuildFourPlayerGame(benchmark::State& state)
{
    if (!OpenBenchDisplay())
    {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state)
    {
        Game* game = new Game(4, "map3");
        delete game;
    }
}
BENCHMARK(BM_BuildFourPlayerGame)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
