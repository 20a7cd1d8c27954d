#ifndef KORVANE_AI_SEARCH_H
#define KORVANE_AI_SEARCH_H

#include <cstdint>
#include <vector>

#include "ai/HardMemory.h"
#include "ai/Knowledge.h"
#include "ai/ShipClass.h"
#include "math/Vector.h"

// The hunt for ships that hide. In open space every ship sees every other,
// so a ship out of sight is in or behind a nebula: the hunt looks first
// where contacts were lost (right there in a nebula, a little along the way
// they were heading in open space), then
// through every nebula box point by point, nearest to the last sighting
// first, then at the starting points of fleets never seen. A point counts as
// searched once a ship of the fleet has come near enough to see even a
// fighter there; searched points are searched again after a while, since
// what hides may move. Where wrecks' dust piles up, sight is short and the
// points are many.

// Points on a grid through every nebula box, box after box in their order (a
// box added later only adds points at the end), at most `spacing` apart and
// nearer for dense boxes, where sight is short. Where a box lies in a pile of
// others (wrecks' dust where other wrecks burnt), a finer layer of points
// through the pile at the height of the box's middle, where its wreck was.
std::vector<Vector> SearchGrid(const std::vector<NebulaBox>& nebulae, float spacing);
// The same grid grown by the boxes from `firstBox` on, `grid` being the
// grid of the boxes before it.
void ExtendSearchGrid(const std::vector<NebulaBox>& nebulae, size_t firstBox, float spacing,
                      std::vector<Vector>& grid);

// How near an observer with this sensor range must come to a point of this
// nebula density to see a ship with this signature there.
float LookRadius(float sensorRange, float signature, float density);

// The nebula density at each point of the search grid, kept from tick to
// tick. Regions are only ever added, so it is worked out again only when
// their number changes, and for the new points when the grid grows.
struct GridDensity
{
    std::vector<float> density;
    size_t regions = 0;

    void Update(const std::vector<NebulaBox>& nebulae, const std::vector<Vector>& grid);
};

// Marks the grid points that a ship of the fleet now stands near enough to,
// and the lost contacts whose place a ship now has in sight (a fighter there
// would be seen through the nebula between) or has reached. `kept` is this
// grid's density, brought up to date here.
void MarkSearched(HardMemory& memory, const Knowledge& knowledge, const std::vector<Vector>& grid,
                  GridDensity& kept, float hiddenSignature);

// Where the hunt goes next: false when there is nowhere left to look.
// `from` is where the searcher is; `taken` are points other searchers
// already go to (they are passed over). Points in thick dust (wrecks' dust
// piled up, where a ship sees a fighter only from a few tens of units) are
// searched as any others `intoThickDust`, else only once no other point is
// left.
bool NextSearchPoint(const Knowledge& knowledge, const HardMemory& memory, const std::vector<Vector>& grid,
                     const Vector& from, const std::vector<Vector>& taken, bool intoThickDust, Vector& point);

// The nearest point in open space (on a grid over the map, the fleet's own
// height) from which a ship with this sensor range could see a ship with
// this signature at one of `looks`: a place to look from, around the
// nebulae rather than into them. False when there is none.
bool VantagePoint(const std::vector<NebulaBox>& nebulae, const Vector& from, const std::vector<Vector>& looks,
                  float sensorRange, float signature, Vector& point);

// The nearest point to `from` at least `clearance` from every nebula box
// (the map's and the wrecks' dust), searched out to `reach`: out in the open,
// where a ship sees whatever comes near it. False when there is none.
bool OpenSpacePoint(const std::vector<NebulaBox>& nebulae, const Vector& from, float clearance, float reach,
                    Vector& point);

// Straight over the top of the cloud `from` is in: a little above the first
// clear height found within `reach` above it. Two ships in one cloud that both
// step out this way meet up there, where the nearest way out could take one
// over the top and the other under the bottom. False when the cloud goes
// higher than `reach`.
bool OverTheTopPoint(const std::vector<NebulaBox>& nebulae, const Vector& from, float reach, Vector& point);

// Where to look for a lost contact: its last position when that is in a
// nebula, else that position carried a little on along its heading.
Vector GhostLookPoint(const ContactTrack& track, const std::vector<NebulaBox>& nebulae);

// Own turns after which a searched point may hide something again.
constexpr int32_t kSearchMemoryTurns = 8;

#endif
