#include "ai/FireControl.h"

#include <algorithm>

#include "ai/Threat.h"
#include "combat/TurretAim.h"
#include "ships/Ship.h"

namespace
{

// Beams do most of their strength within this; bullets hit often within this.
constexpr float kBeamOpenRange = 330.0f;
constexpr float kGunOpenRange = 420.0f;
constexpr float kBeamLastRange = 450.0f;
constexpr float kGunLastRange = 490.0f;
// The fleet's chosen target counts this much more.

// Fire put on a face beyond what it holds, for the misses.

int FaceHitFrom(const Contact& target, const Vector& from)
{
    Vector local;
    UnrotateByAngles(from - target.position, local, target.orientation);
    return Ship::HitFace(local);
}

// Fire is planned to leave a target this much over its hull's worth, and a
// target already under fire that this fire can finish counts this much more.
constexpr float kOverkill = 1.15f;
constexpr float kFocusFactor = 2.0f;

} // namespace

float DamageToCome(const OwnShip& ship, const TurretView& turret, const Contact& target)
{
    const float range = float(Length(target.position - ship.position));
    const float share = turret.fireTimeLeft / kTurnFireSeconds;
    return share * (turret.beam ? BeamTurnDamageAt(range) : GunTurnDamageAt(range));
}

bool TurretBears(const OwnShip& ship, const TurretView& turret, const Vector& point)
{
    return InsideArc(
        WantedAim(point, ship.position, ship.orientation, turret.mountPosition, turret.mountRotation),
        turret.arc);
}

float TurretOpenRange(const TurretView& turret)
{
    return turret.beam ? kBeamOpenRange : kGunOpenRange;
}

float TurretLastRange(const TurretView& turret)
{
    return turret.beam ? kBeamLastRange : kGunLastRange;
}

std::map<uint32_t, float> TurretClaims(const Knowledge& knowledge)
{
    std::map<uint32_t, float> claims;
    for (const OwnShip& ship : knowledge.own)
    {
        for (const TurretView& turret : ship.turrets)
        {
            if (turret.targetId == 0 || (turret.state != Firing && turret.state != Aiming))
            {
                continue;
            }
            const Contact* target = FindContact(knowledge, turret.targetId);
            if (target != nullptr)
            {
                claims[turret.targetId] += DamageToCome(ship, turret, *target);
            }
        }
    }
    return claims;
}

float TurretTargetScore(const OwnShip& ship, const TurretView& turret, const Contact& target,
                        const HardMemory& memory, const ClassBook& book, bool focus, bool closingIn,
                        float claimed)
{
    if (!target.visible)
    {
        return 0.0f;
    }
    const float range = float(Length(target.position - ship.position));
    if (range > (closingIn ? TurretOpenRange(turret) : TurretLastRange(turret)))
    {
        return 0.0f;
    }
    if (!TurretBears(ship, turret, target.position))
    {
        return 0.0f;
    }
    if (turret.fixed && range > WeaponReach(ShipRole::Fighter))
    {
        return 0.0f;
    }
    const float damage = turret.beam ? BeamTurnDamageAt(range) : GunTurnDamageAt(range);
    const ClassProfile& profile = ProfileOf(book, target.classIndex);
    float worth = ShipTurnDamageAt(profile, 200.0f) + 40.0f;
    if (target.role == ShipRole::Carrier)
    {
        worth += 60.0f;
    }
    const float hull = std::max(5.0f, BelievedHull(memory, book, target, FaceHitFrom(target, ship.position)));
    // What this turret adds towards breaking the face, beyond the fire
    // already on it, is what counts; a little more than the face holds is
    // fired for the misses.
    const float needed = std::max(0.0f, hull * kOverkill - claimed);
    float score = worth * std::min(damage * (turret.fireTimeLeft / kTurnFireSeconds), needed) / hull;
    if (focus)
    {
        score *= kFocusFactor;
    }
    return score;
}

uint32_t ChooseTurretTarget(const OwnShip& ship, size_t turret, const Knowledge& knowledge,
                            const HardMemory& memory, const ClassBook& book, uint32_t focusId, bool closingIn,
                            const std::map<uint32_t, float>& claims, float* scoreOut)
{
    if (turret >= ship.turrets.size())
    {
        return 0;
    }
    const TurretView& view = ship.turrets[turret];
    uint32_t best = 0;
    float bestScore = 0.0f;
    for (const Contact& contact : knowledge.contacts)
    {
        const auto found = claims.find(contact.id);
        float claimed = found != claims.end() ? found->second : 0.0f;
        // The turret's own fire does not count against its target.
        if (view.targetId == contact.id && (view.state == Firing || view.state == Aiming))
        {
            claimed = std::max(0.0f, claimed - DamageToCome(ship, view, contact));
        }
        const float score =
            TurretTargetScore(ship, view, contact, memory, book, contact.id == focusId, closingIn, claimed);
        if (score > bestScore)
        {
            best = contact.id;
            bestScore = score;
        }
    }
    if (scoreOut != nullptr)
    {
        *scoreOut = bestScore;
    }
    return best;
}
