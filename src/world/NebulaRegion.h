#ifndef KORVANE_WORLD_NEBULAREGION_H
#define KORVANE_WORLD_NEBULAREGION_H

#include <GL/gl.h>

#include <cstddef>
#include <vector>

#include "math/Vector.h"
#include "world/Cloud.h"
#include "world/ViewVolume.h"

// An axis-aligned box filled with drifting clouds. In the picture its clouds
// are animated and drawn only while the camera is within reach of the box; in
// the game its density hides ships from sensors (the environment's queries).

// How far outside the box the camera may be for the region to be active, and
// the far limit of a drawn cloud from the camera; and its square.
constexpr double kCloudReach = 577.3502690459181;
constexpr double kCloudReachSquared = 333333.33316739404;

// The most clouds an environment makes for all its regions together (the
// game's maps have 146 to 752). A damaged map that asks for more gets the
// first this many, so that its memory, the update of every tick and the
// drawing stay bounded whatever its boxes and densities: the worst frame of
// clouds (dense small clouds all around the camera, bench_damaged_map) takes
// well under a second.
constexpr size_t kMaxMapClouds = 2000;

class NebulaRegion
{
  public:
    NebulaRegion();
    // Writes "  Deleting clouds" and destroys every cloud. boxList is not released.
    ~NebulaRegion();

    NebulaRegion(const NebulaRegion&) = delete;
    NebulaRegion& operator=(const NebulaRegion&) = delete;

    // Fills the box with clouds (BuildClouds) and compiles boxList. Needs a
    // current OpenGL context. A region is built once. Returns false when the
    // box asked for more than maxClouds clouds.
    bool Build(const Vector& min, const Vector& max, float densityParameter, float speedFactor,
               const Vector& colour, size_t maxClouds = kMaxMapClouds);

    // The part of Build that needs no OpenGL: stores the box, colour and
    // density (0.1 x densityParameter) and creates the clouds on a grid of
    // spacing 1 / density, drawing random numbers in a fixed order. Stops
    // after maxClouds clouds and then returns false.
    bool BuildClouds(const Vector& min, const Vector& max, float densityParameter, float speedFactor,
                     const Vector& colour, size_t maxClouds = kMaxMapClouds);

    // One tick: decides `active`, drifts and wraps the clouds, and sets each
    // cloud's visibility, level of detail and fade; spins the near clouds.
    void Update(const Vector& cameraPos, const Vector& viewDir);

    // `density` if the point lies in the box, faces included, else 0.
    float DensityAt(const Vector& point) const
    {
        return (point.x >= min.x && point.x <= max.x && point.y >= min.y && point.y <= max.y &&
                point.z >= min.z && point.z <= max.z)
                   ? density
                   : 0.0f;
    }

    // In the sensor view the tinted box, otherwise the visible clouds of an
    // active region, turned to face a camera of the given yaw looking down at 45
    // degrees. The environment has set blending, depth mask and texture.
    // Clouds wholly outside `view` are left out: they would leave no fragment.
    void Draw(float yaw, GLuint puffList, bool sensorView, const ViewVolume& view = ViewVolume()) const;

    Vector max;                 // the box's highest corner
    Vector min;                 // the box's lowest corner
    float density = 0.0f;       // 0.1 x the density parameter of the map
    std::vector<Cloud*> clouds; // owned, in creation order
    Vector colour;              // red, green, blue, each 0..1
    GLuint boxList = 0;         // the translucent box shown in the sensor view
    bool active = false;        // the camera is near enough to animate and draw the clouds
    // The density parameter the region was built with (the box's opacity).
    float densityParameter = 0.0f;

  private:
    void CompileBoxList(float densityParameter);
};

#endif
