#include "combat/TurretAim.h"

#include <cmath>

Orientation WantedAim(const Vector& target, const Vector& shipPosition, const Orientation& shipOrientation,
                      const Vector& mountPosition, const Orientation& mountRotation)
{
    const Vector toTarget = target - shipPosition;
    Vector inShip;
    UnrotateByAngles(toTarget, inShip, shipOrientation);
    const Vector fromMount = inShip - mountPosition;
    Vector inMount;
    UnrotateByAngles(fromMount, inMount, mountRotation);
    Orientation wanted;
    AnglesFromDirection(inMount, wanted);
    return wanted;
}

bool InsideArc(const Orientation& wanted, const FiringArc& arc)
{
    const bool yawInside = wanted.y <= arc.halfWidth || wanted.y >= 360.0f - arc.halfWidth;
    const bool pitchInside = wanted.x >= arc.minPitch && wanted.x <= arc.maxPitch;
    return yawInside && pitchInside;
}

bool StrictlyInsideArc(const Orientation& wanted, const FiringArc& arc)
{
    const bool yawInside = wanted.y < arc.halfWidth || wanted.y > 360.0f - arc.halfWidth;
    const bool pitchInside = wanted.x > arc.minPitch && wanted.x < arc.maxPitch;
    return yawInside && pitchInside;
}

void TurnAxis(Orientation& aim, const Orientation& wanted, int axis, float turnStep, float& turnTimeLeft)
{
    const float d = AngleDifference(aim[axis], wanted[axis]);
    if (std::fabs(d) >= turnStep)
    {
        if (d < 0.0f)
        {
            aim[axis] -= turnStep;
        }
        else
        {
            aim[axis] += turnStep;
        }
        turnTimeLeft -= kTurretTick;
    }
    else
    {
        turnTimeLeft -= std::fabs(d) / turnStep * kTurretTick;
        aim[axis] = wanted[axis];
    }
}

bool AxisBeyondStep(const Orientation& aim, const Orientation& wanted, int axis, float turnStep)
{
    return std::fabs(AngleDifference(aim[axis], wanted[axis])) > turnStep;
}

void WrapAim(Orientation& aim)
{
    for (int i = 0; i < 3; ++i)
    {
        if (aim[i] < 0.0f)
        {
            aim[i] += 360.0f;
        }
        else if (aim[i] > 360.0f)
        {
            aim[i] -= 360.0f;
        }
    }
}

bool AimTick(TurretState& state, Orientation& aim, const Orientation& wanted, const FiringArc& arc,
             float turnStep, float& turnTimeLeft, float fireTimeLeft)
{
    if (!InsideArc(wanted, arc))
    {
        state = OutOfArc;
        return false;
    }
    if (turnTimeLeft > 0.0f)
    {
        for (int axis = 0; axis < 3; ++axis)
        {
            TurnAxis(aim, wanted, axis, turnStep, turnTimeLeft);
        }
    }
    return aim == wanted && fireTimeLeft > 0.0f;
}

bool FiringTick(TurretState& state, Orientation& aim, const Orientation& wanted, const FiringArc& arc,
                float turnStep, float& turnTimeLeft, float& fireTimeLeft)
{
    if (!InsideArc(wanted, arc))
    {
        state = OutOfArc;
        return false;
    }
    for (int axis = 0; axis < 3; ++axis)
    {
        if (turnTimeLeft > 0.0f)
        {
            TurnAxis(aim, wanted, axis, turnStep, turnTimeLeft);
        }
        if (AxisBeyondStep(aim, wanted, axis, turnStep))
        {
            state = Aiming;
        }
    }
    fireTimeLeft -= kTurretTick;
    return true;
}

void EndFiringTick(TurretState& state, bool burstFire, float& burstTimeLeft, float& fireTimeLeft)
{
    if (burstFire)
    {
        burstTimeLeft -= kTurretTick;
        if (burstTimeLeft <= 0.0f)
        {
            state = Idle;
        }
    }
    if (fireTimeLeft <= 0.0f)
    {
        fireTimeLeft = 0.0f;
        state = Spent;
    }
}

float BeamDamageAt(float range)
{
    if (range >= 300.0f)
    {
        const float ratio = 300.0f / range;
        return ratio * ratio;
    }
    return 1.0f;
}

Vector MountWorldPosition(const Vector& shipPosition, const Orientation& shipOrientation,
                          const Vector& mountPosition)
{
    Vector rotated;
    RotateByAngles(mountPosition, rotated, shipOrientation);
    return shipPosition + rotated;
}
