#include "ai/ShipClass.h"

#include <algorithm>

#include "assets/Ase.h"
#include "assets/Model.h"
#include "combat/GunTurret.h"
#include "combat/TurretAim.h"
#include "game/Game.h"
#include "ships/Ship.h"
#include "weapons/BulletList.h"

namespace
{

// A bullet's speed is 5 to 5.5 units a tick on each axis, and it lives 100
// ticks: beyond about 500 units it falls short.
constexpr float kBulletReach = 500.0f;
// Salvoes of two bullets every fifth tick for the five seconds of fire.
constexpr float kBulletsPerTurn = 40.0f;
// Beams do one point a tick for the hundred ticks of fire.
constexpr float kBeamTicksPerTurn = 100.0f;
// Fixed guns point where the fighter points: they fight close in.
constexpr float kFixedGunReach = 150.0f;

} // namespace

ClassProfile ProfileFromMarkers(const std::string& model, const std::vector<AseNode*>& nodes)
{
    ClassProfile profile;
    profile.model = model;
    for (const AseNode* node : nodes)
    {
        const float* p = node->properties;
        if (node->type == "speed" && node->propertyCount >= 3)
        {
            profile.speed = p[0];
            profile.yawRate = p[2];
        }
        else if (node->type == "hull" && node->propertyCount >= 6)
        {
            // The marker lists front, back, left, right, top, bottom.
            static const int kFaceOfProperty[6] = {kFaceFront, kFaceBack, kFaceLeft,
                                                   kFaceRight, kFaceTop,  kFaceBottom};
            for (int i = 0; i < 6; i++)
            {
                profile.hull[kFaceOfProperty[i]] = p[i];
            }
        }
        else if (node->type == "sensor" && node->propertyCount >= 2)
        {
            profile.signature = p[0];
            profile.sensorRange = p[1];
        }
        else if (node->type == "gunturret")
        {
            profile.gunTurrets++;
        }
        else if (node->type == "guns")
        {
            profile.fixedGuns++;
        }
        else if (node->type == "beamturret")
        {
            profile.beamTurrets++;
        }
        else if (node->type == "hangar")
        {
            profile.hangars++;
            profile.squadrons += node->propertyCount > 0 ? std::max(0, int(p[0])) : 0;
        }
    }
    if (profile.hangars > 0)
    {
        profile.role = ShipRole::Carrier;
    }
    else if (profile.beamTurrets > 0)
    {
        profile.role = ShipRole::Beamship;
    }
    else if (profile.gunTurrets > 0 || profile.fixedGuns == 0)
    {
        profile.role = ShipRole::Gunship;
    }
    else
    {
        profile.role = ShipRole::Fighter;
    }
    return profile;
}

ShipRole RoleOfShip(const Ship& ship)
{
    if (!ship.hangars.empty())
    {
        return ShipRole::Carrier;
    }
    if (!ship.beamTurrets.empty())
    {
        return ShipRole::Beamship;
    }
    for (const GunTurret* guns : ship.gunTurrets)
    {
        if (!guns->IsFixed())
        {
            return ShipRole::Gunship;
        }
    }
    return ship.gunTurrets.empty() ? ShipRole::Gunship : ShipRole::Fighter;
}

ClassBook::ClassBook(const Game& game)
{
    for (const Model* model : game.shipModels)
    {
        if (model != nullptr && model->scene != nullptr)
        {
            classes.push_back(ProfileFromMarkers(model->fileName, model->scene->nodes));
        }
    }
}

ClassBook::ClassBook(std::vector<ClassProfile> classes_) : classes(std::move(classes_)) {}

const ClassProfile& ClassBook::Find(const std::string& model) const
{
    for (const ClassProfile& profile : classes)
    {
        if (profile.model == model)
        {
            return profile;
        }
    }
    return fallback;
}

const ClassProfile& ClassBook::Of(const Ship& ship) const
{
    return ship.model != nullptr ? Find(ship.model->fileName) : fallback;
}

const ClassProfile& ClassBook::FirstOfRole(ShipRole role) const
{
    for (const ClassProfile& profile : classes)
    {
        if (profile.role == role)
        {
            return profile;
        }
    }
    return fallback;
}

float BulletHitChance(float range)
{
    if (range >= kBulletReach)
    {
        return 0.0f;
    }
    // The spread turns a bullet by up to about a twentieth of a radian off
    // its line on a diagonal bearing; it hits within 10 units of the target.
    if (range <= 210.0f)
    {
        return 1.0f;
    }
    const float allowed = 105.0f / range; // of the 0.5 the spread can reach
    const float miss = 1.0f - 2.0f * allowed;
    return 1.0f - miss * miss;
}

float BeamTurnDamageAt(float range)
{
    return kBeamTicksPerTurn * BeamDamageAt(range);
}

float GunTurnDamageAt(float range)
{
    return kBulletsPerTurn * BulletHitChance(range);
}

float ShipTurnDamageAt(const ClassProfile& profile, float range)
{
    float damage = float(profile.beamTurrets) * BeamTurnDamageAt(range) +
                   float(profile.gunTurrets) * GunTurnDamageAt(range);
    if (range <= kFixedGunReach)
    {
        damage += float(profile.fixedGuns) * GunTurnDamageAt(range);
    }
    return damage;
}

namespace
{

// The ranges the fleet fights at: inside every gun's reach, beyond most beams'.
constexpr float kPreferredGunship = 220.0f;
constexpr float kPreferredCarrier = 260.0f;

} // namespace

float PreferredRange(ShipRole role)
{
    switch (role)
    {
    case ShipRole::Fighter:
        return 80.0f;
    case ShipRole::Beamship:
        return 200.0f;
    case ShipRole::Carrier:
        return kPreferredCarrier;
    case ShipRole::Gunship:
        break;
    }
    return kPreferredGunship;
}

float WeaponReach(ShipRole role)
{
    switch (role)
    {
    case ShipRole::Fighter:
        return kFixedGunReach;
    case ShipRole::Beamship:
        return 450.0f;
    case ShipRole::Carrier:
    case ShipRole::Gunship:
        break;
    }
    return kBulletReach;
}
