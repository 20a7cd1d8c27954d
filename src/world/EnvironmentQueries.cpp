// The sensor queries of the environment: the simulation's hot spot. A ship's
// sensor envelope samples 114 directions of up to 101 steps each time the ship
// moves, and the detection test walks the segment between every pair of ships.
//
// Both queries give exactly the results of the plain walk that asks every
// region at every sample (kept in the tests), bit for bit, but ask far fewer:
// 1. Only regions whose box meets the box of all the samples can contain one.
//    Every other region adds exactly 0.0f at every sample, so leaving it out
//    changes no bit of the sums.
// 2. For each remaining region, the samples that can lie in its box form a
//    run of consecutive indices (each coordinate moves one way only). The run
//    is found from the exact line through the samples, widened by far more
//    than the rounding the float steps accumulate; only samples inside the run
//    are tested against the box, exactly as the plain walk tests them.
// 3. After the last run the rest of the walk adds nothing and is cut short.
// The positions themselves are still advanced step by step in floats, as the
// plain walk advances them, since the result depends on their exact rounding.

#include "world/Environment.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{

// A region met by the samples of one query, with the run of sample indices
// first..last that can lie in its box.
struct Candidate
{
    Vector min;
    Vector max;
    float density;
    int64_t first;
    int64_t last;
};

// Enough for every region of any real map; a query that meets more regions
// than this falls back to the plain sum over all regions.
constexpr int kMaxCandidates = 64;

// Indices beyond any walk that can end.
constexpr int64_t kNoEnd = int64_t(1) << 60;

struct CandidateList
{
    Candidate items[kMaxCandidates];
    int count = 0;
    bool overflow = false;
    bool negative = false; // some candidate's density is negative (or not a number)
    int64_t last = -1;     // the last sample index any candidate can contain
};

bool IsFinite(const Vector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The line the samples follow on one axis: sample k is nominally from + k x
// step, stopped at `target` when there is one; the float walk stays within
// `slack` of that value.
struct AxisLine
{
    double from;
    double step;
    bool stopsAtTarget;
    double target;
    double slack;
};

// A sample index as an integer, clamped well inside the range of int64_t.
int64_t ToIndex(double k)
{
    if (!(k > -1.0))
    {
        return -1;
    }
    return k >= double(kNoEnd) ? kNoEnd : int64_t(k);
}

// The run of sample indices whose nominal coordinate can lie in lo..hi
// (widened by the slack). Empty when first > last.
void AxisRun(AxisLine line, double lo, double hi, int64_t& first, int64_t& last)
{
    lo -= line.slack;
    hi += line.slack;
    if (line.step == 0.0)
    {
        // The coordinate stays put, or (walking towards a target) jumps to it
        // at once: either value in the range keeps every sample possible.
        const bool in = (line.from >= lo && line.from <= hi) ||
                        (line.stopsAtTarget && line.target >= lo && line.target <= hi);
        first = in ? 0 : 1;
        last = in ? kNoEnd : 0;
        return;
    }
    if (line.step < 0.0)
    {
        // Mirror the axis so that the coordinate grows.
        line.from = -line.from;
        line.target = -line.target;
        line.step = -line.step;
        const double mirroredLo = -hi;
        hi = -lo;
        lo = mirroredLo;
    }
    if (line.stopsAtTarget && line.target < lo)
    {
        first = 1;
        last = 0;
        return;
    }
    first = std::max<int64_t>(0, ToIndex(std::floor((lo - line.from) / line.step)) - 1);
    if (line.stopsAtTarget && line.target <= hi)
    {
        last = kNoEnd;
    }
    else
    {
        last = ToIndex(std::ceil((hi - line.from) / line.step)) + 1;
    }
}

// Every one of the first `count` regions whose box meets lo..hi, in list
// order, with its run of samples.
void CollectCandidates(const std::vector<NebulaRegion*>& regions, size_t count, const Vector& lo,
                       const Vector& hi, const AxisLine lines[3], CandidateList& out)
{
    for (size_t r = 0; r < count && r < regions.size(); ++r)
    {
        const NebulaRegion* region = regions[r];
        // NaN anywhere makes a comparison false: no sample can then lie in the box either.
        if (!(region->max.x >= lo.x && region->min.x <= hi.x && region->max.y >= lo.y &&
              region->min.y <= hi.y && region->max.z >= lo.z && region->min.z <= hi.z))
        {
            continue;
        }
        Candidate c{region->min, region->max, region->density, 0, kNoEnd};
        for (int axis = 0; axis < 3; ++axis)
        {
            int64_t first, last;
            AxisRun(lines[axis], region->min[axis], region->max[axis], first, last);
            c.first = std::max(c.first, first);
            c.last = std::min(c.last, last);
        }
        if (c.first > c.last)
        {
            continue;
        }
        if (out.count == kMaxCandidates)
        {
            out.overflow = true;
            return;
        }
        out.items[out.count++] = c;
        out.negative = out.negative || !(c.density >= 0.0f);
        out.last = std::max(out.last, c.last);
    }
}

// The density at sample k, summed over the candidates in list order as the
// plain sum over all regions sums it.
inline float CandidateDensity(const CandidateList& list, int64_t k, const Vector& p)
{
    float sum = 0.0f;
    for (int i = 0; i < list.count; ++i)
    {
        const Candidate& c = list.items[i];
        if (k >= c.first && k <= c.last && p.x >= c.min.x && p.x <= c.max.x && p.y >= c.min.y &&
            p.y <= c.max.y && p.z >= c.min.z && p.z <= c.max.z)
        {
            sum += c.density;
        }
    }
    return sum;
}

// Far more than the rounding of `steps` float additions of values up to `magnitude`.
double Slack(double steps, double magnitude)
{
    return (steps + 4.0) * magnitude * 2.4e-7 + 1e-30;
}

// The walk can get stuck: a step far smaller than the spacing of floats at
// the position (a nearly perpendicular axis, far from the origin) rounds away,
// and the target on that axis is never reached. The plain walk would then add
// the same density at every pass until the sum passes 100; this gives the
// same result without the passes. Where the plain walk would never end (no
// density, or a density too small to change the sum) the sum so far is the
// result.
float StuckObscuration(float sum, float density)
{
    while (!(sum > 100.0f))
    {
        const float next = sum + density;
        if (!(next > sum))
        {
            break;
        }
        sum = next;
    }
    return 2.0f * sum;
}

} // namespace

float Environment::Obscuration(const Vector& from, const Vector& to) const
{
    return Obscuration(from, to, INFINITY);
}

float Environment::Obscuration(const Vector& from, const Vector& to, float limit) const
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
    AxisLine lines[3];
    const double steps = Length(to - from) / 10.0 + 2.0;
    for (int axis = 0; axis < 3; ++axis)
    {
        lo[axis] = std::min(from[axis], to[axis]);
        hi[axis] = std::max(from[axis], to[axis]);
        const double magnitude = std::max(std::fabs(from[axis]), std::fabs(to[axis])) + std::fabs(step[axis]);
        lines[axis] = AxisLine{from[axis], step[axis], true, to[axis], Slack(steps, magnitude)};
    }
    CandidateList candidates;
    CollectCandidates(regions, regions.size(), lo, hi, lines, candidates);
    if (candidates.count == 0 && !candidates.overflow)
    {
        return 0.0f;
    }

    // With no negative density the sum never falls: once it reaches the
    // limit, the whole walk's result is at least as large.
    const float stopAt = candidates.overflow || candidates.negative ? INFINITY : limit;
    Vector position = from;
    float sum = 0.0f;
    for (int64_t k = 0;; ++k)
    {
        sum += candidates.overflow ? DensityAt(position) : CandidateDensity(candidates, k, position);
        if (2.0f * sum >= stopAt)
        {
            return 2.0f * sum;
        }

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
        if (!moved)
        {
            return StuckObscuration(sum, DensityAt(position));
        }
        // No region can contain the samples still to come.
        if (!candidates.overflow && k + 1 > candidates.last)
        {
            return 2.0f * sum;
        }
    }
}

float Environment::SightDistance(const Vector& from, const Vector& direction, float range) const
{
    return SightDistance(from, direction, range, regions.size());
}

float Environment::SightDistance(const Vector& from, const Vector& direction, float range,
                                 size_t regionCount) const
{
    const Vector step = direction * 10.0f;
    float budget = range * 0.5f;
    if (budget <= 0.0f)
    {
        return 0.0f;
    }

    // The samples are from + k step, k = 0 to 100, accumulated in floats. With
    // a start or step that is not finite every region is a candidate for every
    // sample: the walk then runs as the plain one does.
    Vector lo(-INFINITY, -INFINITY, -INFINITY);
    Vector hi(INFINITY, INFINITY, INFINITY);
    AxisLine lines[3];
    const bool finite = IsFinite(from) && IsFinite(step);
    for (int axis = 0; axis < 3; ++axis)
    {
        const double start = from[axis];
        const double magnitude = std::fabs(start) + 101.0 * std::fabs(step[axis]);
        lines[axis] = AxisLine{start, step[axis], false, 0.0, Slack(101.0, magnitude)};
        if (finite)
        {
            const double end = start + 100.0 * step[axis];
            lo[axis] = float(std::min(start, end) - lines[axis].slack);
            hi[axis] = float(std::max(start, end) + lines[axis].slack);
        }
        else
        {
            lines[axis] = AxisLine{0.0, 0.0, false, 0.0, INFINITY};
        }
    }
    CandidateList candidates;
    CollectCandidates(regions, regionCount, lo, hi, lines, candidates);
    if (candidates.count == 0 && !candidates.overflow)
    {
        // Open space: the budget never falls and the walk ends at its limit.
        return 1010.0f;
    }

    Vector position = from;
    float travelled = 0.0f;
    for (int64_t k = 0;; ++k)
    {
        budget -= candidates.overflow ? DensityAt(position, regionCount)
                                      : CandidateDensity(candidates, k, position);
        travelled += 10.0f;
        position += step;
        if (travelled > 1000.0f || budget <= 0.0f)
        {
            return travelled;
        }
        if (!candidates.overflow && k + 1 > candidates.last)
        {
            // Nothing more to meet: the budget stays as it is to the limit.
            return 1010.0f;
        }
    }
}
