#ifndef KORVANE_COMBAT_TURRETSTATE_H
#define KORVANE_COMBAT_TURRETSTATE_H

#include <cstdint>

// What a turret is doing; the command panel shows it and the arc cone is
// coloured by it.
enum TurretState : int32_t
{
    Idle = 0,     // no target to engage (red cone)
    Aiming = 1,   // target inside the arc; turning towards it (orange cone)
    OutOfArc = 2, // target outside the firing arc (red cone)
    Firing = 3,   // on target; beam on or guns firing (yellow cone, thick lines)
    Spent = 4     // fire time of this turn used up (grey cone)
};

#endif
