// The nebula sensor queries: the cost of one ship's sensor envelope (114
// sight distances) on a map of 20 regions, and the queries per second of
// SightDistance and Obscuration, each for the plain walk that asks every
// region at every sample ("Plain") and for the game's version ("Fast").

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "../tests/world/ReferenceQueries.h"
#include "app/Startup.h"
#include "world/Environment.h"

namespace
{

// A map of 20 overlapping regions spread over 3000 units around the centre,
// with the densities and sizes of the game's maps; made once, headless.
Environment& TwentyRegionMap()
{
    static Environment* environment = []
    {
        Environment* e = new Environment(Environment::Headless{});
        std::mt19937 generator(2024);
        std::uniform_real_distribution<float> corner(-1500.0f, 1100.0f);
        std::uniform_real_distribution<float> edge(200.0f, 800.0f);
        std::uniform_real_distribution<float> parameter(0.1f, 0.5f);
        for (int i = 0; i < 20; ++i)
        {
            NebulaRegion* region = new NebulaRegion;
            region->min = Vector(corner(generator), corner(generator) * 0.3f, corner(generator));
            region->max = region->min + Vector(edge(generator), edge(generator) * 0.5f, edge(generator));
            region->density = float(parameter(generator) * 0.1);
            e->regions.push_back(region);
        }
        return e;
    }();
    return *environment;
}

// The 114 directions of a ship's sensor envelope: latitudes 1 to 7 of the 16
// rows of the direction table and the two poles.
const std::vector<Vector>& EnvelopeDirections()
{
    static std::vector<Vector> directions = []
    {
        BuildDirectionTable();
        std::vector<Vector> d;
        for (int row = 0; row < kDirectionRows; ++row)
        {
            for (int j = 1; j <= 7; ++j)
            {
                d.push_back(gDirectionTable[row * kDirectionsPerRow + j]);
            }
        }
        d.push_back(Vector(0, -1, 0));
        d.push_back(Vector(0, 1, 0));
        return d;
    }();
    return directions;
}

// Ship positions: all over the map, in open space and inside nebulae.
const std::vector<Vector>& ShipPositions()
{
    static std::vector<Vector> positions = []
    {
        std::mt19937 generator(7);
        std::uniform_real_distribution<float> coordinate(-1600.0f, 1600.0f);
        std::vector<Vector> p;
        for (int i = 0; i < 64; ++i)
        {
            p.push_back(Vector(coordinate(generator), coordinate(generator) * 0.3f, coordinate(generator)));
        }
        return p;
    }();
    return positions;
}

// A ship's sensor range: its signature (1.0 for every class) plus 1.
constexpr float kRange = 2.0f;

template <bool fast> void Envelope(benchmark::State& state)
{
    const Environment& environment = TwentyRegionMap();
    const std::vector<Vector>& directions = EnvelopeDirections();
    const std::vector<Vector>& ships = ShipPositions();
    size_t ship = 0;
    for (auto _ : state)
    {
        const Vector& from = ships[ship++ % ships.size()];
        float total = 0.0f;
        for (const Vector& d : directions)
        {
            total += fast ? environment.SightDistance(from, d, kRange)
                          : ReferenceSightDistance(environment, from, d, kRange);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(directions.size()));
    state.SetLabel("one 114-direction envelope per iteration; items = sight distances");
}

template <bool fast> void Obscuration(benchmark::State& state)
{
    const Environment& environment = TwentyRegionMap();
    const std::vector<Vector>& ships = ShipPositions();
    size_t pair = 0;
    for (auto _ : state)
    {
        const Vector& from = ships[pair % ships.size()];
        const Vector& to = ships[(pair * 7 + 3) % ships.size()];
        ++pair;
        benchmark::DoNotOptimize(fast ? environment.Obscuration(from, to)
                                      : ReferenceObscuration(environment, from, to));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items = obscuration queries between two ships");
}

void EnvelopePlain(benchmark::State& state)
{
    Envelope<false>(state);
}
void EnvelopeFast(benchmark::State& state)
{
    Envelope<true>(state);
}
void ObscurationPlain(benchmark::State& state)
{
    Obscuration<false>(state);
}
void ObscurationFast(benchmark::State& state)
{
    Obscuration<true>(state);
}

} // namespace

BENCHMARK(EnvelopePlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(EnvelopeFast)->Unit(benchmark::kMicrosecond);
BENCHMARK(ObscurationPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(ObscurationFast)->Unit(benchmark::kMicrosecond);
