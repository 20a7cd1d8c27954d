#include "ai/Search.h"

#include <algorithm>
#include <cmath>

#include "ai/Threat.h"

namespace
{

// Sight of a frigate's sensors for a fighter sets the grid's spacing.
constexpr float kGridSensor = 0.35f;
constexpr float kGridSignature = 0.05f;
// No box is sampled more finely than this, nor with more points a side.
constexpr float kMinSpacing = 60.0f;
constexpr int kMaxPointsPerSide = 12;
// Places to look from lie on a grid over the map.
constexpr float kVantageExtent = 1100.0f;
constexpr float kVantageStep = 100.0f;
// A ghost is looked for a little on along the way it was going.
constexpr float kGhostLead = 40.0f;
// A place a ship has come this near counts as looked at, however thick the
// nebula there.
constexpr float kLookReached = 12.0f;
// Where dust piles up, sight is far shorter than any one box's density says:
// a pile gets a layer of points at least this far apart.
constexpr float kPileSpacing = 20.0f;
// A searcher kept out of thick dust goes there only when no other point is
// left: a point there counts this much farther for it.
constexpr double kThickDustDetour = 1.0e6;

int PointsAlong(float size, float spacing)
{
    return std::max(1, std::min(kMaxPointsPerSide, int(std::ceil(size / spacing))));
}

float Along(float low, float high, int index, int count)
{
    return low + (high - low) * (float(index) + 0.5f) / float(count);
}

bool NearAny(const std::vector<Vector>& points, const Vector& point, float distance)
{
    for (const Vector& other : points)
    {
        if (Length(other - point) < distance)
        {
            return true;
        }
    }
    return false;
}

bool Taken(const std::vector<Vector>& taken, const Vector& point)
{
    return NearAny(taken, point, 1.0f);
}

// How far a point lies outside a box; 0 inside it.
float DistanceOutside(const NebulaBox& box, const Vector& point)
{
    const float dx = std::max({box.min.x - point.x, 0.0f, point.x - box.max.x});
    const float dy = std::max({box.min.y - point.y, 0.0f, point.y - box.max.y});
    const float dz = std::max({box.min.z - point.z, 0.0f, point.z - box.max.z});
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The layer of points a box in a pile gets, when the sight through the pile
// at its middle is shorter than its own points allow for: at the height of
// its middle (a wreck's dust is centred on the wreck, and what hid beside it
// hides there still), clear of the grid's other points.
void AddPileLayer(const std::vector<NebulaBox>& nebulae, size_t index, float step, std::vector<Vector>& grid)
{
    const NebulaBox& box = nebulae[index];
    const Vector middle = (box.min + box.max) * 0.5f;
    const float piled = DensityAt(nebulae, middle, index + 1);
    const float fine = std::max(kPileSpacing, 1.4f * LookRadius(kGridSensor, kGridSignature, piled));
    if (fine >= step)
    {
        return;
    }
    const Vector size = box.max - box.min;
    const int nx = PointsAlong(size.x, fine);
    const int nz = PointsAlong(size.z, fine);
    for (int i = 0; i < nx; i++)
    {
        for (int k = 0; k < nz; k++)
        {
            const Vector point(Along(box.min.x, box.max.x, i, nx), middle.y,
                               Along(box.min.z, box.max.z, k, nz));
            if (!NearAny(grid, point, 0.5f * fine))
            {
                grid.push_back(point);
            }
        }
    }
}

// Dust thicker than the grid's points allow for: they leave holes in it.
bool InThickDust(const std::vector<NebulaBox>& nebulae, const Vector& point)
{
    return 1.4f * LookRadius(kGridSensor, kGridSignature, DensityAt(nebulae, point)) < kMinSpacing;
}

bool Clear(const std::vector<NebulaBox>& nebulae, const Vector& point, float clearance)
{
    for (const NebulaBox& box : nebulae)
    {
        if (box.density > 0.0f && DistanceOutside(box, point) < clearance)
        {
            return false;
        }
    }
    return true;
}

} // namespace

float LookRadius(float sensorRange, float signature, float density)
{
    if (density <= 0.0f)
    {
        return 1000.0f;
    }
    // Sight through nebula costs twice the density every 10 units.
    return std::min(1000.0f, 5.0f * (sensorRange + signature) / density);
}

std::vector<Vector> SearchGrid(const std::vector<NebulaBox>& nebulae, float spacing)
{
    std::vector<Vector> grid;
    ExtendSearchGrid(nebulae, 0, spacing, grid);
    return grid;
}

void ExtendSearchGrid(const std::vector<NebulaBox>& nebulae, size_t firstBox, float spacing,
                      std::vector<Vector>& grid)
{
    for (size_t b = firstBox; b < nebulae.size(); b++)
    {
        const NebulaBox& box = nebulae[b];
        const float step = std::max(
            kMinSpacing, std::min(spacing, 1.4f * LookRadius(kGridSensor, kGridSignature, box.density)));
        const Vector size = box.max - box.min;
        const int nx = PointsAlong(size.x, step);
        const int ny = PointsAlong(size.y, step * 1.5f);
        const int nz = PointsAlong(size.z, step);
        for (int i = 0; i < nx; i++)
        {
            for (int j = 0; j < ny; j++)
            {
                for (int k = 0; k < nz; k++)
                {
                    grid.push_back(Vector(Along(box.min.x, box.max.x, i, nx),
                                          Along(box.min.y, box.max.y, j, ny),
                                          Along(box.min.z, box.max.z, k, nz)));
                }
            }
        }
        AddPileLayer(nebulae, b, step, grid);
    }
}

bool VantagePoint(const std::vector<NebulaBox>& nebulae, const Vector& from, const std::vector<Vector>& looks,
                  float sensorRange, float signature, Vector& point)
{
    bool found = false;
    double best = 0.0;
    const float budget = sensorRange + signature;
    for (float x = -kVantageExtent; x <= kVantageExtent; x += kVantageStep)
    {
        for (float z = -kVantageExtent; z <= kVantageExtent; z += kVantageStep)
        {
            const Vector candidate(x, from.y, z);
            const double distance = Length(candidate - from);
            if ((found && distance >= best) || DensityAt(nebulae, candidate) > 0.0f)
            {
                continue;
            }
            for (const Vector& look : looks)
            {
                if (Obscuration(nebulae, candidate, look, budget) < budget)
                {
                    found = true;
                    best = distance;
                    point = candidate;
                    break;
                }
            }
        }
    }
    return found;
}

bool OpenSpacePoint(const std::vector<NebulaBox>& nebulae, const Vector& from, float clearance, float reach,
                    Vector& point)
{
    // Rings round the ship in its plane, each followed by the points straight
    // above and below it at the same distance.
    constexpr int kDirections = 16;
    constexpr float kRingStep = 20.0f;
    const auto tryPoint = [&](const Vector& offset)
    {
        if (!Clear(nebulae, from + offset, clearance))
        {
            return false;
        }
        point = from + offset;
        return true;
    };
    if (tryPoint(Vector(0, 0, 0)))
    {
        return true;
    }
    for (float radius = kRingStep; radius <= reach; radius += kRingStep)
    {
        for (int i = 0; i < kDirections; i++)
        {
            const double angle = 2.0 * M_PI * i / kDirections;
            if (tryPoint(Vector(float(std::cos(angle)) * radius, 0, float(std::sin(angle)) * radius)))
            {
                return true;
            }
        }
        if (tryPoint(Vector(0, radius, 0)) || tryPoint(Vector(0, -radius, 0)))
        {
            return true;
        }
    }
    return false;
}

bool OverTheTopPoint(const std::vector<NebulaBox>& nebulae, const Vector& from, float reach, Vector& point)
{
    // Clear at two heights in a row, so a thin gap between two clouds is not
    // taken for the top.
    constexpr float kStep = 20.0f;
    bool clearBelow = false;
    for (float up = kStep; up <= reach + kStep; up += kStep)
    {
        const bool clear = DensityAt(nebulae, from + Vector(0, up, 0)) <= 0.0f;
        if (clear && clearBelow)
        {
            point = from + Vector(0, up, 0);
            return true;
        }
        clearBelow = clear;
    }
    return false;
}

Vector GhostLookPoint(const ContactTrack& track, const std::vector<NebulaBox>& nebulae)
{
    // What hides in a nebula stays put more often than not; in open space it
    // was going somewhere.
    if (DensityAt(nebulae, track.position) > 0.0f)
    {
        return track.position;
    }
    return track.position + Heading(track.orientation) * kGhostLead;
}

void GridDensity::Update(const std::vector<NebulaBox>& nebulae, const std::vector<Vector>& grid)
{
    if (regions != nebulae.size() || density.size() > grid.size())
    {
        density.clear();
        regions = nebulae.size();
    }
    for (size_t i = density.size(); i < grid.size(); i++)
    {
        density.push_back(DensityAt(nebulae, grid[i]));
    }
}

void MarkSearched(HardMemory& memory, const Knowledge& knowledge, const std::vector<Vector>& grid,
                  GridDensity& kept, float hiddenSignature)
{
    if (memory.searchedTurn.size() < grid.size())
    {
        memory.searchedTurn.resize(grid.size(), 0);
    }
    kept.Update(knowledge.nebulae, grid);
    for (const OwnShip& ship : knowledge.own)
    {
        for (size_t i = 0; i < grid.size(); i++)
        {
            const Vector d = grid[i] - ship.position;
            if (std::fabs(d.x) > 400.0f || std::fabs(d.z) > 400.0f)
            {
                continue;
            }
            const float radius = LookRadius(ship.sensorRange, hiddenSignature, kept.density[i]);
            if (Length(d) <= radius)
            {
                memory.searchedTurn[i] = memory.turn;
            }
        }
        for (ContactTrack& track : memory.tracks)
        {
            if (track.visible || track.checked)
            {
                continue;
            }
            // Looked at once a ship there would be in this ship's sight,
            // through whatever nebula and dust lie between. The sum is walked
            // from the place to the ship, where the sensors in the hunter's
            // own turn walk it from the ship (the one moving): in thick dust
            // the two differ by a sample. Walked from the ship, the measured
            // games came out the same but for one seat of three on map2,
            // which fell under its bound (docs/ai.md, Tuning).
            const Vector look = GhostLookPoint(track, knowledge.nebulae);
            if (Length(look - ship.position) <= kLookReached ||
                !HiddenFrom(knowledge.nebulae, look, ship.sensorRange, ship.position, hiddenSignature))
            {
                track.checked = true;
            }
        }
    }
}

bool NextSearchPoint(const Knowledge& knowledge, const HardMemory& memory, const std::vector<Vector>& grid,
                     const Vector& from, const std::vector<Vector>& taken, bool intoThickDust, Vector& point)
{
    // Where contacts were lost, the latest first, then the nearest.
    const ContactTrack* ghost = nullptr;
    const ContactTrack* latest = nullptr;
    for (const ContactTrack& track : memory.tracks)
    {
        if (track.visible)
        {
            continue;
        }
        if (latest == nullptr || track.lastSeenTurn > latest->lastSeenTurn)
        {
            latest = &track;
        }
        if (track.checked || Taken(taken, GhostLookPoint(track, knowledge.nebulae)))
        {
            continue;
        }
        if (ghost == nullptr || track.lastSeenTurn > ghost->lastSeenTurn ||
            (track.lastSeenTurn == ghost->lastSeenTurn &&
             Length(track.position - from) < Length(ghost->position - from)))
        {
            ghost = &track;
        }
    }
    if (ghost != nullptr)
    {
        point = GhostLookPoint(*ghost, knowledge.nebulae);
        return true;
    }

    // The nebulae, nearest to where the enemy was last seen.
    const Vector lastSeen = latest != nullptr ? latest->position : from;
    const Vector* best = nullptr;
    double bestScore = 0.0;
    for (size_t i = 0; i < grid.size(); i++)
    {
        const int32_t looked = i < memory.searchedTurn.size() ? memory.searchedTurn[i] : 0;
        if (looked > 0 && memory.turn - looked < kSearchMemoryTurns)
        {
            continue;
        }
        double score = Length(grid[i] - from) + 0.7 * Length(grid[i] - lastSeen);
        if ((best != nullptr && score >= bestScore) || Taken(taken, grid[i]))
        {
            continue;
        }
        if (!intoThickDust && InThickDust(knowledge.nebulae, grid[i]))
        {
            score += kThickDustDetour;
        }
        if (best == nullptr || score < bestScore)
        {
            best = &grid[i];
            bestScore = score;
        }
    }
    if (best != nullptr)
    {
        point = *best;
        return true;
    }

    // Everything searched lately: the point looked at longest ago.
    int32_t oldest = 0;
    for (size_t i = 0; i < grid.size() && i < memory.searchedTurn.size(); i++)
    {
        if (Taken(taken, grid[i]) || Length(grid[i] - from) < 100.0)
        {
            continue;
        }
        if (best == nullptr || memory.searchedTurn[i] < oldest)
        {
            best = &grid[i];
            oldest = memory.searchedTurn[i];
        }
    }

    // The starting points of fleets never seen.
    for (int32_t seat = 0; seat < knowledge.players && seat < 4; seat++)
    {
        bool seen = seat == knowledge.self;
        for (const ContactTrack& track : memory.tracks)
        {
            seen = seen || track.owner == seat;
        }
        if (!seen && !Taken(taken, knowledge.starts[seat]) && Length(knowledge.starts[seat] - from) > 100.0)
        {
            point = knowledge.starts[seat];
            return true;
        }
    }
    if (best != nullptr)
    {
        point = *best;
        return true;
    }
    return false;
}
