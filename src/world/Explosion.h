#ifndef KORVANE_WORLD_EXPLOSION_H
#define KORVANE_WORLD_EXPLOSION_H

#include <GL/gl.h>

#include <vector>

#include "math/Vector.h"
#include "world/Cloud.h"
#include "world/ViewVolume.h"

// A short-lived burst of glowing puffs: an initial cluster of clouds that keeps
// spawning new ones for 30 ticks while every cloud drifts outwards, swells and
// fades. Explosion clouds keep the puff angles of their creation: they never spin.
class Explosion
{
  public:
    // The initial burst: `count` clouds (none when count <= 0) within 5 x scale
    // of the centre. Draws random numbers in a fixed order.
    Explosion(int count, float scale, const Vector& centre, const Vector& colour, bool hiddenInSensorView);
    // Destroys every cloud; writes nothing.
    ~Explosion();

    Explosion(const Explosion&) = delete;
    Explosion& operator=(const Explosion&) = delete;

    // One tick: moves, grows and fades the clouds (dropping the faded ones),
    // ages the explosion and spawns new clouds while younger than 30 ticks.
    // Returns false when no cloud is left: the environment then destroys it.
    bool Update();

    // Draws the clouds as seen from the camera; the environment has set the
    // blending, depth mask and (outside the sensor view) the puff texture.
    // Clouds wholly outside `view` are left out: they would leave no fragment.
    void Draw(const Vector& cameraPos, float yaw, const Vector& viewDir, GLuint puffList, bool sensorView,
              const ViewVolume& view = ViewVolume()) const;

    Vector centre;              // world position
    Vector colour;              // red, green, blue
    float age = 0.0f;           // ticks since creation
    float count = 0.0f;         // the puff count given at creation
    float scale = 0.0f;         // the size factor given at creation
    bool shownInSensorView;     // drawn (flat, half opaque) in the sensor view
    std::vector<Cloud*> clouds; // owned

  private:
    // A new cloud at `position` with a random outward velocity, size and puff angles.
    void Spawn(const Vector& position);
};

// Explosions spawn new clouds only while younger than this many ticks.
constexpr float kExplosionSpawnAge = 30.0f;

#endif
