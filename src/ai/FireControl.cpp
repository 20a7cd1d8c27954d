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
constexpr float kFocusFactor = 2.0f;

int FaceHitFrom(const Contact& target, const Vector& from)
{
    Vector local;
    UnrotateByAngles(from - target.position, local, target.orientation);
    return Ship::HitFace(local);
}

} // namespace

float TurretOpenRange(const TurretView& turret)
{
    return turret.beam ? kBeamOpenRange : kGunOpenRange;
}

float TurretLastRange(const TurretView& turret)
{
    return turret.beam ? kBeamLastRange : kGunLastRange;
}

std::map<uint32_t, int> TurretClaims(const Knowledge& knowledge)
{
    std::map<uint32_t, int> claims;
    for (const OwnShip& ship : knowledge.own)
    {
        for (const TurretView& turret : ship.turrets)
        {
            if (turret.targetId != 0 && turret.state != Spent && turret.state != Idle)
            {
                claims[turret.targetId]++;
            }
        }
    }
    return claims;
}

float TurretTargetScore(const OwnShip& ship, const TurretView& turret, const Contact& target,
                        const HardMemory& memory, const ClassBook& book, bool focus, bool closingIn,
                        int claims)
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
    const Orientation wanted = WantedAim(target.position, ship.position, ship.orientation,
                                         turret.mountPosition, turret.mountRotation);
    if (!InsideArc(wanted, turret.arc))
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
    // A turret alone does at most what it can in a turn; the hull it need not
    // break counts for nothing.
    float score = worth * std::min(damage, hull) / hull;
    if (focus)
    {
        score *= kFocusFactor;
    }
    return score / float(1 + claims);
}

uint32_t ChooseTurretTarget(const OwnShip& ship, size_t turret, const Knowledge& knowledge,
                            const HardMemory& memory, const ClassBook& book, uint32_t focusId, bool closingIn,
                            const std::map<uint32_t, int>& claims, float* scoreOut)
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
        const auto claimed = claims.find(contact.id);
        int count = claimed != claims.end() ? claimed->second : 0;
        // The turret's own claim does not count against its target.
        if (view.targetId == contact.id && count > 0 && view.state != Idle && view.state != Spent)
        {
            count--;
        }
        const float score =
            TurretTargetScore(ship, view, contact, memory, book, contact.id == focusId, closingIn, count);
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
