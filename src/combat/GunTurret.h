#ifndef KORVANE_COMBAT_GUNTURRET_H
#define KORVANE_COMBAT_GUNTURRET_H

#include <GL/gl.h>

#include <cstdint>
#include <string>

#include "combat/TurretAim.h"
#include "combat/TurretState.h"
#include "math/Vector.h"

struct AseNode;
class BulletList;
class Game;
class Model;
class Ship;

// A pulse gun turret: turns like a beam turret and, once on target, fires
// salvoes of two bullets every fifth tick. Fixed guns are a gun turret without
// meshes: never drawn, but they aim (invisibly) and fire like the others.
// Built from a "gunturret" or "guns" marker; owned by the ship.
class GunTurret
{
  public:
    // Takes the name, mount and property overrides from the marker and
    // compiles the four cone lists. Both meshes none makes fixed guns. Needs a
    // current OpenGL context. The game is not used.
    GunTurret(const AseNode& node, Model* baseMesh, Model* gunsMesh, BulletList* bullets, Game* game);
    // Releases the cone lists.
    ~GunTurret();

    GunTurret(const GunTurret&) = delete;
    GunTurret& operator=(const GunTurret&) = delete;

    // One tick of aiming and firing, with the owning ship's current position and orientation.
    void Update(const Vector& shipPosition, const Orientation& shipOrientation);
    // A new target (or none); a spent turret only remembers it.
    void SetTarget(Ship* newTarget);
    // Full fire and turning time, Idle.
    void NewTurn();

    void Select() { selected = true; }
    void Deselect() { selected = false; }
    bool IsSelected() const { return selected; }
    // Flips showCone and returns the new value.
    bool ToggleCone();

    // Draws base and guns inside the ship's transform, writing stencilValue;
    // the cone too when the ship is selected and the cone switch is on.
    // Fixed guns draw nothing.
    void Draw(unsigned stencilValue, bool sensorView, bool shipSelected, bool lit) const;

    // The firing arc: yaw within arcHalfWidth, pitch from elevationMin to elevationMax.
    FiringArc Arc() const;
    // The inclusive (aiming, firing) and strict (out of arc) tests on a wanted aim.
    bool InsideArc(const Orientation& wanted) const;
    bool StrictlyInsideArc(const Orientation& wanted) const;

    // The offset of muzzle 0 or 1 from the mount: beside the guns' pivot, or
    // beside the mount for fixed guns.
    Vector MuzzleOffset(int muzzle) const;
    // The world position of a muzzle for a ship at shipPosition with shipOrientation.
    Vector MuzzlePosition(int muzzle, const Vector& shipPosition, const Orientation& shipOrientation) const;

    // Read access for the command panel.
    const std::string& GetName() const { return name; }
    TurretState GetState() const { return state; }
    float GetFireTimeLeft() const { return fireTimeLeft; }
    float GetTurnTimeLeft() const { return turnTimeLeft; }
    bool IsBurstFire() const { return burstFire; }
    bool IsConeShown() const { return showCone; }
    bool IsFixed() const { return fixed; }
    Ship* GetTarget() const { return target; }

    std::string name;     // the marker's name
    Model* baseMesh;      // "gunturret_base", turns in yaw; none for fixed guns
    Model* gunsMesh;      // "gunturret_guns", turns in pitch; none for fixed guns
    Vector mountPosition; // ship coordinates
    Orientation mountRotation;
    Orientation aim; // current turn relative to the mount
    bool selected;
    bool showCone;
    bool burstFire;
    bool fixed;         // both meshes none
    float arcHalfWidth; // half the horizontal firing arc, degrees
    float elevationMax;
    float elevationMin;
    float turnStep;        // most the turret turns about one axis in one tick
    float fireTimePerTurn; // seconds
    float turnTimePerTurn; // seconds
    float burstLength;     // seconds of firing per target in burst fire
    Vector bulletColour;   // red, green, blue
    float bulletSize;
    TurretState state;
    float fireTimeLeft;
    float turnTimeLeft;
    float burstTimeLeft; // set when a target is given
    int32_t shotCounter; // ticks since the last salvo
    Ship* target;        // not owned
    BulletList* bullets; // the game's bullet list
    GLuint coneLists[4]; // consecutive: grey, red, orange, yellow

  private:
    void FireSalvo(const Vector& shipPosition, const Orientation& shipOrientation,
                   const Vector& targetPosition);
};

// The pivot of the guns above the base, in mount coordinates.
constexpr float kGunPivotHeight = 2.8f;

#endif
