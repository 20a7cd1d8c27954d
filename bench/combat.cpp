// The per-tick arithmetic of turrets and bullets: what a full game asks of
// every tick (five ships a player, a dozen turrets, hundreds of bullets).
#include <benchmark/benchmark.h>

#include <vector>

#include "combat/TurretAim.h"
#include "combat/TurretCone.h"
#include "weapons/BulletList.h"

// One turret's aiming step: the wanted aim through ship and mount frames, the
// arc test and a turning step on three axes.
static void BM_TurretAimTick(benchmark::State& state)
{
    const FiringArc arc{90.0f, -10.0f, 10.0f};
    Orientation aim(0, 0, 0);
    float turnTime = 1e9f;
    float t = 0.0f;
    for (auto _ : state)
    {
        t += 0.01f;
        const Vector target(300.0f * t, 5.0f, -400.0f);
        const Orientation wanted = WantedAim(target, Vector(10, 0, 20), Orientation(0, 30, 0),
                                             Vector(0, 4, -12), Orientation(0, 0, 0));
        if (InsideArc(wanted, arc))
        {
            for (int axis = 0; axis < 3; ++axis)
            {
                TurnAxis(aim, wanted, axis, 1.5f, turnTime);
            }
        }
        WrapAim(aim);
        benchmark::DoNotOptimize(aim);
    }
}
BENCHMARK(BM_TurretAimTick);

// One tick of flight for a crowd of bullets, each with a target.
static void BM_BulletFlight(benchmark::State& state)
{
    const int count = int(state.range(0));
    std::vector<Bullet> bullets(static_cast<size_t>(count));
    const Vector target(0, 0, -100000);
    for (auto _ : state)
    {
        for (Bullet& b : bullets)
        {
            b.velocity = Vector(0.1f, 0.0f, -5.0f);
            b.age = 0;
            benchmark::DoNotOptimize(AdvanceBullet(b, &target));
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BulletFlight)->Arg(100)->Arg(1000);

// The loop values of one cone: done once per turret when a ship is built.
static void BM_ConeSteps(benchmark::State& state)
{
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(ConeSteps(-20.0f, 88.0f, 10.8f));
        benchmark::DoNotOptimize(ConeSteps(-180.0f, 180.0f, 36.0f));
    }
}
BENCHMARK(BM_ConeSteps);
