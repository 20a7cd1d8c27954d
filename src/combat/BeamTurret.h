#ifndef KORVANE_COMBAT_BEAMTURRET_H
#define KORVANE_COMBAT_BEAMTURRET_H

#include <GL/gl.h>

#include <cstdint>
#include <string>

#include "combat/TurretAim.h"
#include "combat/TurretState.h"
#include "math/Vector.h"

struct AseNode;
class BeamList;
class Game;
class Model;
class Ship;

// A fusion beam turret: turns towards its target within its arc and, once it
// points at it exactly, holds a continuous beam on it that damages the target
// every tick, less at long range. Built from a "beamturret" marker of a ship's
// class model; owned by the ship.
class BeamTurret
{
  public:
    // Takes the name, mount and property overrides from the marker and
    // compiles the four cone lists. Needs a current OpenGL context. The game
    // is not kept.
    BeamTurret(const AseNode& node, Model* mesh, BeamList* beams, Game* game);
    // Releases the cone lists.
    ~BeamTurret();

    BeamTurret(const BeamTurret&) = delete;
    BeamTurret& operator=(const BeamTurret&) = delete;

    // One tick of aiming and firing, with the owning ship's current position and orientation.
    void Update(const Vector& shipPosition, const Orientation& shipOrientation);
    // A new target (or none); a spent turret only remembers it.
    void SetTarget(Ship* newTarget);
    // Full fire and turning time, Idle, no beam.
    void NewTurn();

    void Select() { selected = true; }
    void Deselect() { selected = false; }
    bool IsSelected() const { return selected; }
    // Flips showCone and returns the new value.
    bool ToggleCone();

    // Draws the turret inside the ship's transform, writing stencilValue; the
    // cone too when the ship is selected and the cone switch is on.
    void Draw(unsigned stencilValue, bool sensorView, bool shipSelected, bool lit) const;

    // The firing arc: yaw within arcHalfWidth, pitch within +-arcHalfHeight.
    FiringArc Arc() const;
    // The inclusive (aiming, firing) and strict (out of arc) tests on a wanted aim.
    bool InsideArc(const Orientation& wanted) const;
    bool StrictlyInsideArc(const Orientation& wanted) const;

    // Read access for the command panel.
    const std::string& GetName() const { return name; }
    TurretState GetState() const { return state; }
    float GetFireTimeLeft() const { return fireTimeLeft; }
    float GetTurnTimeLeft() const { return turnTimeLeft; }
    bool IsBurstFire() const { return burstFire; }
    bool IsConeShown() const { return showCone; }
    Ship* GetTarget() const { return target; }

    std::string name;     // the marker's name
    Model* mesh;          // the "beamturret" object model, not owned
    Vector mountPosition; // ship coordinates
    Orientation mountRotation;
    Orientation aim;       // current turn relative to the mount
    float arcHalfWidth;    // half the horizontal firing arc, degrees
    float arcHalfHeight;   // the arc runs from -arcHalfHeight to +arcHalfHeight
    float turnStep;        // most the turret turns about one axis in one tick
    float fireTimePerTurn; // seconds
    float turnTimePerTurn; // seconds
    float burstLength;     // seconds of firing per target in burst fire
    Vector beamColour;     // red, green, blue
    float beamWidth;
    bool selected;
    bool showCone;
    bool burstFire;
    TurretState state;
    uint32_t beamId; // this turret's beam in the beam list while it fires; 0 when none
    float fireTimeLeft;
    float turnTimeLeft;
    float burstTimeLeft; // set when a target is given
    Ship* target;        // not owned
    BeamList* beams;     // the game's beam list
    GLuint coneLists[4]; // consecutive: grey, red, orange, yellow

  private:
    void RemoveBeam();
};

#endif
