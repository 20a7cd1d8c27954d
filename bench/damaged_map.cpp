// Frame cost of a damaged map at the environment's cloud budget
// (kMaxMapClouds): however a map's boxes and densities are chosen, a frame of
// its clouds must stay well under a second, so that the game keeps drawing
// and taking keys. Each case fills a cube centred on the camera with as many
// clouds as the budget allows; the dense ones put hundreds of clouds in full
// detail (25 puffs each) right in front of it.
//
//   cd build/data && ../../tests/with-xvfb.sh ../bench/bench_damaged_map
//
// A frame is a tick of cloud animation, the clear, the clouds drawn with the
// game's projection (60 degrees, far plane 500) and glFinish. Goals: under
// 500 ms a frame in every case on two idle cores (LP_NUM_THREADS=0 gives the
// whole cost on one core), the update alone under 5 ms.

#include "BenchDisplay.h"
#include "app/Camera.h"
#include "app/Startup.h"
#include "world/Environment.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>

namespace
{

// Density parameters of the cases: the game's densest, small clouds, and
// the density whose full-detail clouds cost the most around a camera.
const float kDensities[] = {0.3f, 1.0f, 5.0f};

// The game's camera at the origin, looking down 45 degrees along -z.
const Vector kEye(0.0f, 0.0f, 0.0f);
const Vector kView(0.0f, -0.707106f, -0.707106f);

// A cube centred on the eye just big enough for the whole budget.
Environment* DamagedEnvironment(float densityParameter, bool graphics)
{
    Environment* environment = graphics ? new Environment : new Environment(Environment::Headless{});
    const float spacing = 10.0f / densityParameter;
    const float half = 0.5f * spacing * std::cbrt(float(kMaxMapClouds));
    environment->AddRegion(Vector(-half, -half, -half), Vector(half, half, half), densityParameter, 0.5f,
                           Vector(0.5f, 0.2f, 0.8f));
    return environment;
}

void DamagedMapFrame(benchmark::State& state)
{
    OpenBenchDisplay();
    const float density = kDensities[state.range(0)];
    Environment* environment = DamagedEnvironment(density, true);
    for (auto _ : state)
    {
        environment->Update(kEye, kView);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        PlaceCamera(60.0, 500.0, 0.0f, kEye);
        environment->Draw(kEye, 0.0f, kView, false);
        glFinish();
    }
    int visible = 0;
    int detailed = 0;
    for (const Cloud* cloud : environment->regions[0]->clouds)
    {
        visible += cloud->visible ? 1 : 0;
        detailed += cloud->visible && cloud->lod == 2 ? 1 : 0;
    }
    state.counters["clouds"] = double(environment->regions[0]->clouds.size());
    state.counters["visible"] = visible;
    state.counters["lod2"] = detailed;
    delete environment;
}

void DamagedMapUpdate(benchmark::State& state)
{
    Environment* environment = DamagedEnvironment(kDensities[state.range(0)], false);
    for (auto _ : state)
    {
        environment->Update(kEye, kView);
    }
    delete environment;
}

} // namespace

BENCHMARK(DamagedMapFrame)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(DamagedMapUpdate)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
