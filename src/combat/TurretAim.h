#ifndef KORVANE_COMBAT_TURRETAIM_H
#define KORVANE_COMBAT_TURRETAIM_H

#include "combat/TurretState.h"
#include "math/Vector.h"

// The arithmetic that both kinds of turret share: where the target lies in the
// mount's frame, whether that is inside the firing arc, how far the turret
// turns in one tick and what a beam does at a range. None of it needs an
// OpenGL context.

// The extent of a firing arc: yaw within halfWidth either side of the mount's
// front (yaw near 0 or near 360), pitch between minPitch and maxPitch.
struct FiringArc
{
    float halfWidth;
    float minPitch;
    float maxPitch;
};

// The turret's seconds of turning per tick step taken.
constexpr float kTurretTick = 0.05f;

// The orientation, relative to its mount, that points a turret at target:
// the target is taken into ship coordinates, made relative to the mount and
// taken into mount coordinates. Pitch lies in [-90, 90], yaw in [0, 360],
// roll is 0.
Orientation WantedAim(const Vector& target, const Vector& shipPosition, const Orientation& shipOrientation,
                      const Vector& mountPosition, const Orientation& mountRotation);

// The inclusive arc test, used while aiming and firing: the ends of the arc count as inside.
bool InsideArc(const Orientation& wanted, const FiringArc& arc);

// The strict arc test, used to leave OutOfArc: the ends of the arc count as outside,
// so a turret resumes only once the target is truly inside.
bool StrictlyInsideArc(const Orientation& wanted, const FiringArc& arc);

// Turns one axis (0 pitch, 1 yaw, 2 roll) of aim towards wanted by at most
// turnStep and charges the time spent to turnTimeLeft: a full step costs one
// tick, a smaller remaining error its share of a tick, after which the axis
// sits exactly on the wanted angle.
void TurnAxis(Orientation& aim, const Orientation& wanted, int axis, float turnStep, float& turnTimeLeft);

// True when the remaining error of the axis is larger than one turning step.
bool AxisBeyondStep(const Orientation& aim, const Orientation& wanted, int axis, float turnStep);

// Brings each component of aim below 0 or above 360 back by one turn.
void WrapAim(Orientation& aim);

// The state changes both kinds of turret make in a tick, apart from what they
// fire. A tick of an aiming turret: it leaves for OutOfArc when the target is
// outside the arc; otherwise it turns every axis while turning time is left.
// True when it is then on target with firing time left: it starts to fire.
bool AimTick(TurretState& state, Orientation& aim, const Orientation& wanted, const FiringArc& arc,
             float turnStep, float& turnTimeLeft, float fireTimeLeft);

// A tick of a firing turret's aim and time: it leaves for OutOfArc when the
// target is outside the arc and returns false, spending nothing. Otherwise it
// turns every axis while turning time is left, drops back to Aiming when an
// axis is still more than a step off, and spends a tick of firing time.
bool FiringTick(TurretState& state, Orientation& aim, const Orientation& wanted, const FiringArc& arc,
                float turnStep, float& turnTimeLeft, float& fireTimeLeft);

// The end of a firing tick: a burst that has run out returns the turret to
// Idle, and firing time used up (clamped to 0) makes it Spent.
void EndFiringTick(TurretState& state, bool burstFire, float& burstTimeLeft, float& fireTimeLeft);

// Beam damage per tick at range: 1 up to 300, then falling with the square of the range.
float BeamDamageAt(float range);

// Where a part at mountPosition of a ship at shipPosition with shipOrientation is, in the world.
Vector MountWorldPosition(const Vector& shipPosition, const Orientation& shipOrientation,
                          const Vector& mountPosition);

#endif
