#ifndef KORVANE_WORLD_ENVIRONMENT_H
#define KORVANE_WORLD_ENVIRONMENT_H

#include <GL/gl.h>

#include <string>
#include <vector>

#include "math/Vector.h"
#include "world/Explosion.h"
#include "world/NebulaRegion.h"

// The space a game is played in: the nebula regions of a map and the
// explosions. It builds the regions from a map file, advances everything once
// per tick, draws it after the solid scene, and answers the sensor queries:
// how dense the nebula is at a point, how much of it lies between two points,
// and how far a sensor reaches through it.

// Edge of the square puff texture in texels.
constexpr int kPuffTextureSize = 32;

// The puff texture's alpha values, row j at j * 32: a soft round spot, 100 at
// texel (16, 16), falling to 0 at 16 texels from it.
void ComputePuffTexels(unsigned char texels[kPuffTextureSize * kPuffTextureSize]);

// The most regions a map makes (the game's maps have 3 to 8): every region
// costs memory, a box in the sensor view and a test in every sensor query.
constexpr size_t kMaxMapRegions = 1000;

class Environment
{
  public:
    // Builds the empty lists, the puff texture and the unit puff quad. Needs a
    // current OpenGL context.
    Environment();

    // An environment without any OpenGL resources: regions get no box list and
    // nothing is textured. For headless simulation and the benchmarks; its
    // queries, updates and explosions behave exactly as in the normal one.
    struct Headless
    {
    };
    explicit Environment(Headless);

    // Writes "Removing nebula regions", destroys the regions, writes
    // "Removing explosions", destroys the explosions.
    ~Environment();

    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // Reads "Models/Maps/" + mapName + ".ase" and appends one region per
    // top-level mesh (y and z of the file exchanged), then seeds the random
    // generator. The clouds come from the generator's state before the call;
    // the seed governs only what follows. A missing map file ends the program
    // ("Map file Models/Maps/<name>.ase not found"). A map of more than
    // kMaxMapRegions regions, or whose regions ask for more than kMaxMapClouds
    // clouds, gets only the first of them, with a note naming the file.
    void SetUpMap(std::string mapName, unsigned int seed);

    // Builds a region from the given box (game axes) and appends it. All the
    // regions of an environment share kMaxMapClouds clouds: a region built
    // when they run out gets fewer or none (its box and density still count
    // for the sensors), and false is returned.
    bool AddRegion(const Vector& min, const Vector& max, float densityParameter, float speedFactor,
                   const Vector& colour);

    // Creates an explosion with its initial burst and appends it. centre and
    // colour are copied.
    void AddExplosion(int count, float scale, const Vector* centre, const Vector* colour,
                      bool hiddenInSensorView);

    // The number of explosions still alive.
    int ExplosionCount() const { return int(explosions.size()); }

    // One tick of animation seen from the camera; viewDir of unit length.
    // Finished explosions are destroyed at once.
    void Update(const Vector& cameraPos, const Vector& viewDir);

    // Draws every region and explosion after the opaque scene: blended, no fog,
    // no depth writes; textured puffs, or untextured in the sensor view. yaw is
    // the camera's rotation about +Y in degrees.
    void Draw(const Vector& cameraPos, float yaw, const Vector& viewDir, bool sensorView) const;

    // The sum of the densities of all regions containing the point.
    float DensityAt(const Vector& point) const;
    // The same over the first regionCount regions.
    float DensityAt(const Vector& point, size_t regionCount) const;

    // The nebula along the segment from `from` towards `to`: twice the sum of
    // the density at from, from + 10 d, from + 20 d, ... (d the unit
    // direction; the target itself is not sampled), stopping early once the
    // sum exceeds 100. 0 when no region lies on the segment.
    float Obscuration(const Vector& from, const Vector& to) const;
    // The same, but the walk may stop once the result reaches `limit`: a
    // result below limit is exactly the one above, any other is at least
    // limit. All a detection test needs to know.
    float Obscuration(const Vector& from, const Vector& to, float limit) const;

    // How far a sensor of the given range reaches from `from` along the unit
    // `direction`: the budget range / 2 is used up by the density sampled every
    // 10 units. A multiple of 10 from 0 to 1010; 1010 in open space, 0 for a
    // range of 0 or less.
    float SightDistance(const Vector& from, const Vector& direction, float range) const;
    // The same through the first regionCount regions only: the nebula as it
    // was when the environment had that many regions.
    float SightDistance(const Vector& from, const Vector& direction, float range, size_t regionCount) const;

    std::vector<NebulaRegion*> regions; // owned, in the order they were added
    std::vector<Explosion*> explosions; // owned, in creation order
    GLuint puffTexture = 0;             // the cloud puff texture
    GLuint puffList = 0;                // display list of the unit puff quad

  private:
    bool graphics; // false for a headless environment: no texture, lists or drawing resources
    size_t cloudsLeft = kMaxMapClouds; // of the clouds all regions share
};

#endif
