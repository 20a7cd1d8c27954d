// The sensor queries of the environment: the simulation's hot spot. A ship's
// sensor envelope samples 114 directions of up to 101 steps each time the ship
// moves, and the detection test walks the segment between every pair of ships.
//
// Both queries give exactly the results of stepping through every region at
// every sample (the plain version kept in the tests), but first pick out the
// regions whose box meets the box of all the samples. Every other region adds
// exactly 0.0f at every sample, so leaving it out changes no bit of the sums.
// The positions are still advanced step by step, as the result depends on
// their exact rounding. Once the samples have moved beyond a region along any
// axis they can never come back to it (each coordinate moves one way only),
// and it is dropped; when none is left the rest of the walk adds nothing.

#include "world/Environment.h"

#include <cmath>

namespace
{

// A region met by the samples of one query, copied for a tight loop.
struct Candidate
{
    Vector min;
    Vector max;
    float density;
};

// Enough for every region of any real map; a query that meets more regions
// than this falls back to the plain sum over all regions.
constexpr int kMaxCandidates = 64;

struct CandidateList
{
    Candidate items[kMaxCandidates];
    int count = 0;
    bool overflow = false;
};

bool BoxesMeet(const NebulaRegion& region, const Vector& lo, const Vector& hi)
{
    // NaN anywhere makes a comparison false: no sample can then lie in the box either.
    return region.max.x >= lo.x && region.min.x <= hi.x && region.max.y >= lo.y && region.min.y <= hi.y &&
           region.max.z >= lo.z && region.min.z <= hi.z;
}

void CollectCandidates(const std::vector<NebulaRegion*>& regions, const Vector& lo, const Vector& hi,
                       CandidateList& out)
{
    for (const NebulaRegion* region : regions)
    {
        if (!BoxesMeet(*region, lo, hi))
        {
            continue;
        }
        if (out.count == kMaxCandidates)
        {
            out.overflow = true;
            return;
        }
        out.items[out.count++] = Candidate{region->min, region->max, region->density};
    }
}

// The density at a point summed over the candidates in list order, as the
// plain sum over all regions would give it.
inline float CandidateDensity(const CandidateList& list, const Vector& p)
{
    float sum = 0.0f;
    for (int i = 0; i < list.count; ++i)
    {
        const Candidate& c = list.items[i];
        if (p.x >= c.min.x && p.x <= c.max.x && p.y >= c.min.y && p.y <= c.max.y && p.z >= c.min.z &&
            p.z <= c.max.z)
        {
            sum += c.density;
        }
    }
    return sum;
}

// True when, moving by `step`, the position has gone beyond the box on some axis.
inline bool PassedBox(const Candidate& c, const Vector& p, const Vector& step)
{
    for (int axis = 0; axis < 3; ++axis)
    {
        if ((step[axis] > 0.0f && p[axis] > c.max[axis]) || (step[axis] < 0.0f && p[axis] < c.min[axis]))
        {
            return true;
        }
    }
    return false;
}

// Drops the candidates the position has moved beyond, keeping the order.
inline void DropPassed(CandidateList& list, const Vector& p, const Vector& step)
{
    int kept = 0;
    for (int i = 0; i < list.count; ++i)
    {
        if (!PassedBox(list.items[i], p, step))
        {
            list.items[kept++] = list.items[i];
        }
    }
    list.count = kept;
}

bool IsFinite(const Vector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

float Environment::Obscuration(const Vector& from, const Vector& to) const
{
    Vector direction = to - from;
    Normalize(direction);
    const Vector step = direction * 10.0f;
    // Points so far apart that their difference overflows (or not numbers at
    // all) give no direction to walk: only the starting point counts.
    if (!IsFinite(from) || !IsFinite(to) || !IsFinite(step))
    {
        return 2.0f * DensityAt(from);
    }

    // Every sample lies between from and to on each axis: an axis advances
    // only while the target is more than a step away, and is then set to it.
    Vector lo, hi;
    for (int axis = 0; axis < 3; ++axis)
    {
        lo[axis] = std::fmin(from[axis], to[axis]);
        hi[axis] = std::fmax(from[axis], to[axis]);
    }
    CandidateList candidates;
    CollectCandidates(regions, lo, hi, candidates);
    if (candidates.count == 0 && !candidates.overflow)
    {
        return 0.0f;
    }

    Vector position = from;
    float sum = 0.0f;
    for (;;)
    {
        sum += candidates.overflow ? DensityAt(position) : CandidateDensity(candidates, position);

        bool allArrived = true;
        bool moved = false;
        for (int axis = 0; axis < 3; ++axis)
        {
            const float remaining = to[axis] - position[axis];
            const bool arrives = step[axis] > 0.0f ? remaining <= step[axis] : remaining >= step[axis];
            if (arrives)
            {
                moved = moved || position[axis] != to[axis];
                position[axis] = to[axis];
            }
            else
            {
                allArrived = false;
                const float next = position[axis] + step[axis];
                moved = moved || next != position[axis];
                position[axis] = next;
            }
        }
        if (allArrived || sum > 100.0f)
        {
            return 2.0f * sum;
        }
        // A position that no longer moves (a step lost in the rounding of huge
        // coordinates) would never arrive.
        if (!moved)
        {
            return 2.0f * sum;
        }
        if (!candidates.overflow)
        {
            DropPassed(candidates, position, step);
            if (candidates.count == 0)
            {
                return 2.0f * sum;
            }
        }
    }
}

float Environment::SightDistance(const Vector& from, const Vector& direction, float range) const
{
    const Vector step = direction * 10.0f;
    float budget = range * 0.5f;
    if (budget <= 0.0f)
    {
        return 0.0f;
    }

    // The samples are from + k step, k = 0 to 100, accumulated in floats; the
    // box of the exact points grown by far more than 100 roundings holds them all.
    // With a start or step that is not finite every region is a candidate:
    // the walk then runs as the plain one does.
    Vector lo(-INFINITY, -INFINITY, -INFINITY);
    Vector hi(INFINITY, INFINITY, INFINITY);
    if (IsFinite(from) && IsFinite(step))
    {
        for (int axis = 0; axis < 3; ++axis)
        {
            const double start = from[axis];
            const double end = start + 100.0 * step[axis];
            const double margin = (std::fabs(start) + 101.0 * std::fabs(step[axis])) * 1e-4 + 1e-30;
            lo[axis] = float(std::fmin(start, end) - margin);
            hi[axis] = float(std::fmax(start, end) + margin);
        }
    }
    CandidateList candidates;
    CollectCandidates(regions, lo, hi, candidates);
    if (candidates.count == 0 && !candidates.overflow)
    {
        // Open space: the budget never falls and the walk ends at its limit.
        return 1010.0f;
    }

    Vector position = from;
    float travelled = 0.0f;
    for (;;)
    {
        budget -= candidates.overflow ? DensityAt(position) : CandidateDensity(candidates, position);
        travelled += 10.0f;
        position += step;
        if (travelled > 1000.0f || budget <= 0.0f)
        {
            return travelled;
        }
        if (!candidates.overflow)
        {
            DropPassed(candidates, position, step);
            if (candidates.count == 0)
            {
                // Nothing more to meet: the budget stays as it is to the limit.
                return 1010.0f;
            }
        }
    }
}
