#include "players/FleetActivity.h"

#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "weapons/BulletList.h"

namespace
{

template <class Turret> bool IsTurretBusy(const Turret& turret)
{
    const TurretState state = turret.GetState();
    return state == Firing ||
           (state == Aiming && turret.GetTurnTimeLeft() > 0.0f && turret.GetFireTimeLeft() > 0.0f);
}

} // namespace

bool IsUnderWay(int32_t motionState)
{
    return motionState == Ship::Moving || motionState == Ship::Aligning || motionState == Ship::Rotating;
}

bool IsFleetBusy(const Game& game, const Player& player)
{
    for (const Ship* ship : player.fleet)
    {
        if (!ship->IsAlive())
        {
            continue;
        }
        if (IsUnderWay(ship->motionState))
        {
            return true;
        }
        for (const BeamTurret* turret : ship->beamTurrets)
        {
            if (IsTurretBusy(*turret))
            {
                return true;
            }
        }
        for (const GunTurret* turret : ship->gunTurrets)
        {
            if (IsTurretBusy(*turret))
            {
                return true;
            }
        }
    }
    return game.GetBullets()->Count() > 0;
}
