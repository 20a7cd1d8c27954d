#ifndef KORVANE_WEAPONS_BULLETLIST_H
#define KORVANE_WEAPONS_BULLETLIST_H

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "math/Vector.h"

class Ship;

// One bullet in flight. It can hit only its own target.
struct Bullet
{
    Vector position;
    Vector velocity;         // distance per tick
    Orientation orientation; // degrees, from the velocity
    Vector colour;           // red, green, blue
    float size;
    int32_t age;  // ticks since it was fired
    Ship* target; // not owned; none once the target is destroyed
};

// What one tick of flight did to a bullet.
enum class BulletFate
{
    Flying, // still on its way
    Hit,    // came within 10 units of its target
    Expired // lived its 100 ticks
};

// A bullet lives this many ticks (5 seconds).
constexpr int32_t kBulletLifeTicks = 100;
// A bullet hits when closer to its target than this.
constexpr float kBulletHitDistance = 10.0f;

// Moves a bullet one tick and tells whether it has now come within 10 units
// of targetPosition (its target's position, or none when it has no target, in
// which case it cannot hit) or has run out of life. A hit does not age the bullet.
BulletFate AdvanceBullet(Bullet& bullet, const Vector* targetPosition);

// All bullets in flight, of every player. Bullets keep flying across a change
// of player.
class BulletList
{
  public:
    // Loads the alpha texture from the bitmap and compiles the bullet shape.
    // A missing bitmap is fatal. Needs a current OpenGL context.
    explicit BulletList(const std::string& bitmapPath = "Textures\\bullet.bmp");
    // Deletes every bullet (spares too) and releases the shape list and the texture.
    ~BulletList();

    BulletList(const BulletList&) = delete;
    BulletList& operator=(const BulletList&) = delete;

    // Appends a new bullet of age 0 facing along its velocity.
    void AddBullet(const Vector& position, const Vector& velocity, const Vector& colour, float size,
                   Ship* target);
    // One tick of flight for every bullet: hits damage their target, spent bullets go.
    void Update();
    // Bullets aimed at the destroyed ship fly on without a target.
    void ForgetShip(const Ship* ship);

    // Draws every bullet flickering in colour and opacity; points in the sensor view.
    void Draw(bool sensorView) const;

    int Count() const { return int(bullets.size()); }

    std::vector<Bullet*> bullets; // owned, in creation order
    GLuint list;                  // display list of the bullet shape
    GLuint texture;               // the bullet's alpha texture
    std::vector<Bullet*> spare;   // owned: bullets that hit or flew out, reused by AddBullet so
                                  // that steady fire allocates nothing
};

#endif
