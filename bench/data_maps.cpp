// Frame cost of each generated map's nebulae: the environment updated and
// drawn through the game's camera at the places where the fleets meet.
//
//   cd build/data && ../../tests/with-xvfb.sh ../bench/bench_data_maps
//
// Each case is one frame: a tick of cloud animation, the clear, the clouds
// drawn with the game's projection (60 degrees, far plane 500) and glFinish.

#include "BenchDisplay.h"
#include "app/Camera.h"
#include "app/Startup.h"
#include "world/Environment.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <string>

namespace
{

struct View
{
    const char* name;
    Vector focus;
    float yaw; // camera heading in degrees
};

// Where a player looks: its own start (heading towards the centre), the
// middle of the map, and half-way in.
const View kViews[] = {{"start", Vector(0, 0, 800), 0.0f},
                       {"halfway", Vector(0, 0, 400), 0.0f},
                       {"centre", Vector(0, 0, 0), 45.0f}};

void MapFrame(benchmark::State& state, const char* map)
{
    OpenBenchDisplay();
    const View& view = kViews[state.range(0)];
    Environment environment;
    environment.SetUpMap(map, 235);
    // The game's camera: 250 behind and above the focus, looking down 45
    // degrees along its heading.
    const float yaw = view.yaw * 3.14159f / 180.0f;
    const Vector dir(-std::sin(yaw) * 0.707106f, -0.707106f, -std::cos(yaw) * 0.707106f);
    const Vector eye(view.focus.x - dir.x * 250.0f, view.focus.y - dir.y * 250.0f,
                     view.focus.z - dir.z * 250.0f);
    int visible = 0;
    for (auto _ : state)
    {
        environment.Update(eye, dir);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        PlaceCamera(60.0, 500.0, view.yaw, eye);
        environment.Draw(eye, view.yaw, dir, false);
        glFinish();
    }
    for (const NebulaRegion* r : environment.regions)
        for (const Cloud* c : r->clouds)
            visible += c->visible ? 1 : 0;
    state.counters["visible_clouds"] = visible;
    state.SetLabel(view.name);
}

} // namespace

BENCHMARK_CAPTURE(MapFrame, intro, "intro")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, map1, "map1")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, map2, "map2")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, map3, "map3")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, map4, "map4")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
