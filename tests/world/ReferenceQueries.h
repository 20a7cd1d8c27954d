#ifndef KORVANE_TESTS_WORLD_REFERENCEQUERIES_H
#define KORVANE_TESTS_WORLD_REFERENCEQUERIES_H

// The sensor queries written the plain way: every sample asks every region.
// The game's versions must give bit-identical results; the benchmark measures
// both. The plain obscuration walk never ends when a step vanishes in the
// rounding of the position and no density stops it: ReferenceObscuration then
// gives up after ten million passes and returns NaN.

#include <cmath>

#include "math/Vector.h"
#include "world/Environment.h"

// The plain walk, pass by pass. Watching for repeats (kToTheEnd), a pass that
// moves no coordinate and changes no bit of the sum leaves the walk exactly as
// it was before it, so every later pass repeats it and the walk never ends;
// its sum stays what it is then, and twice that sum is the result, as for a
// walk that ends. `endless` tells which of the two it was. NaN when neither
// happens within the passes given.
template <bool kToTheEnd>
inline float PlainObscurationWalk(const Environment& environment, const Vector& from, const Vector& to,
                                  long passes, bool& endless)
{
    Vector direction = to - from;
    Normalize(direction);
    const Vector step = direction * 10.0f;
    Vector position = from;
    float sum = 0.0f;
    endless = false;
    for (long pass = 0; pass < passes; ++pass)
    {
        const Vector before = position;
        const float sumBefore = sum;
        sum += environment.DensityAt(position);
        int arrived = 0;
        for (int axis = 0; axis < 3; ++axis)
        {
            const float remaining = to[axis] - position[axis];
            const bool arrives = step[axis] > 0.0f ? remaining <= step[axis] : remaining >= step[axis];
            position[axis] = arrives ? to[axis] : position[axis] + step[axis];
            arrived += arrives ? 1 : 0;
        }
        if (arrived == 3 || sum > 100.0f)
        {
            return 2.0f * sum;
        }
        if constexpr (kToTheEnd)
        {
            if (position == before && sum == sumBefore)
            {
                endless = true;
                return 2.0f * sum;
            }
        }
    }
    return std::nanf("");
}

// Gives up after ten million passes.
inline float ReferenceObscuration(const Environment& environment, const Vector& from, const Vector& to)
{
    bool endless = false;
    return PlainObscurationWalk<false>(environment, from, to, 10000000L, endless);
}

// Followed to the end, also where ReferenceObscuration gives up: NaN only when
// the walk neither ends nor repeats a pass within a billion passes.
inline float ReferenceObscurationToTheEnd(const Environment& environment, const Vector& from,
                                          const Vector& to, bool& endless)
{
    return PlainObscurationWalk<true>(environment, from, to, 1000000000L, endless);
}

inline float ReferenceSightDistance(const Environment& environment, const Vector& from,
                                    const Vector& direction, float range)
{
    Vector position = from;
    float budget = range * 0.5f;
    float travelled = 0.0f;
    while (!(budget <= 0.0f) && travelled <= 1000.0f) // a budget that is not a number never runs out
    {
        budget -= environment.DensityAt(position);
        travelled += 10.0f;
        position += direction * 10.0f;
    }
    return travelled;
}

#endif
