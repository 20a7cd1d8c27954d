#include "ai/Knowledge.h"

#include <cmath>

#include "assets/Model.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"
#include "world/NebulaRegion.h"

namespace
{

// Sight walks stop after this many samples (10 units each): farther than any
// map reaches.
constexpr int kMaxSamples = 1000;

int ClassIndex(const ClassBook& book, const Ship& ship)
{
    if (ship.model == nullptr)
    {
        return -1;
    }
    const std::vector<ClassProfile>& classes = book.Classes();
    for (size_t i = 0; i < classes.size(); i++)
    {
        if (classes[i].model == ship.model->fileName)
        {
            return int(i);
        }
    }
    return -1;
}

uint32_t IdOf(const Ship* ship)
{
    return ship != nullptr ? ship->GetId() : 0u;
}

OwnShip ReadOwnShip(const Ship& ship, const ClassBook& book)
{
    OwnShip own;
    own.id = ship.GetId();
    own.classIndex = ClassIndex(book, ship);
    own.role = RoleOfShip(ship);
    own.position = ship.position;
    own.orientation = ship.orientation;
    for (int face = 0; face < kHullFaces; face++)
    {
        own.hull[face] = ship.hull[face];
        own.hullMax[face] = ship.hullMax[face];
    }
    // The ship keeps its rates per tick.
    own.speed = ship.speed / 0.05f;
    own.yawRate = ship.turnRate.y / 0.05f;
    own.moveTimeLeft = ship.moveTimeLeft;
    own.motion = ship.motionState;
    own.targetId = IdOf(ship.target);
    for (const BeamTurret* turret : ship.beamTurrets)
    {
        TurretView view;
        view.beam = true;
        view.state = turret->GetState();
        view.fireTimeLeft = turret->GetFireTimeLeft();
        view.turnTimeLeft = turret->GetTurnTimeLeft();
        view.targetId = IdOf(turret->GetTarget());
        view.mountPosition = turret->mountPosition;
        view.mountRotation = turret->mountRotation;
        view.arc = turret->Arc();
        own.turrets.push_back(view);
    }
    for (const GunTurret* turret : ship.gunTurrets)
    {
        TurretView view;
        view.fixed = turret->IsFixed();
        view.state = turret->GetState();
        view.fireTimeLeft = turret->GetFireTimeLeft();
        view.turnTimeLeft = turret->GetTurnTimeLeft();
        view.targetId = IdOf(turret->GetTarget());
        view.mountPosition = turret->mountPosition;
        view.mountRotation = turret->mountRotation;
        view.arc = turret->Arc();
        own.turrets.push_back(view);
    }
    own.hangars = int(ship.hangars.size());
    for (const Hangar* hangar : ship.hangars)
    {
        own.squadronsLeft += std::max(0, int(hangar->GetSquadronsLeft()));
        if (hangar->GetSquadronsLeft() > 0 && !hangar->HasLaunchedThisTurn())
        {
            own.hangarsReady++;
        }
    }
    own.sensorRange = ship.GetSensorRange();
    own.signature = ship.GetSignature();
    return own;
}

} // namespace

Knowledge ReadKnowledge(const Game& game, const Player& player, const ClassBook& book)
{
    Knowledge knowledge;
    knowledge.self = player.GetIndex();
    knowledge.players = int32_t(game.GetPlayers().size());
    for (const Ship* ship : player.fleet)
    {
        if (ship->IsAlive())
        {
            knowledge.own.push_back(ReadOwnShip(*ship, book));
        }
    }
    for (const Player* other : game.GetPlayers())
    {
        if (other == &player)
        {
            continue;
        }
        for (const Ship* ship : other->fleet)
        {
            if (!ship->IsAlive())
            {
                continue;
            }
            // Only what this player's sensors say of the ship: where it is
            // now, where it was last seen, or nothing at all.
            const auto entry = ship->detection.find(player.GetIndex());
            if (entry == ship->detection.end() || entry->second.state == 0)
            {
                continue;
            }
            const DetectionEntry& known = entry->second;
            Contact contact;
            contact.id = ship->GetId();
            contact.owner = ship->GetOwner();
            contact.classIndex = ClassIndex(book, *ship);
            contact.role = RoleOfShip(*ship);
            contact.visible = known.state == 2;
            contact.position = contact.visible ? ship->position : known.lastPosition;
            contact.orientation = contact.visible ? ship->orientation : known.lastOrientation;
            knowledge.contacts.push_back(contact);
        }
    }
    for (const NebulaRegion* region : game.GetEnvironment()->regions)
    {
        knowledge.nebulae.push_back({region->min, region->max, region->density});
    }
    for (int i = 0; i < 4; i++)
    {
        knowledge.starts[i] = gPlacements[i].focus;
    }
    knowledge.bulletsInFlight = game.GetBullets()->Count();
    knowledge.gameDecided = game.WinnerIndex() != -1;
    return knowledge;
}

const OwnShip* FindOwn(const Knowledge& knowledge, uint32_t id)
{
    for (const OwnShip& ship : knowledge.own)
    {
        if (ship.id == id)
        {
            return &ship;
        }
    }
    return nullptr;
}

const Contact* FindContact(const Knowledge& knowledge, uint32_t id)
{
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.id == id)
        {
            return &contact;
        }
    }
    return nullptr;
}

bool HasVisibleEnemy(const Knowledge& knowledge)
{
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.visible)
        {
            return true;
        }
    }
    return false;
}

int CapitalShipCount(const Knowledge& knowledge)
{
    int count = 0;
    for (const OwnShip& ship : knowledge.own)
    {
        count += ship.role != ShipRole::Fighter ? 1 : 0;
    }
    return count;
}

Vector FleetCentre(const Knowledge& knowledge)
{
    const bool capitalOnly = CapitalShipCount(knowledge) > 0;
    Vector sum;
    int count = 0;
    for (const OwnShip& ship : knowledge.own)
    {
        if (!capitalOnly || ship.role != ShipRole::Fighter)
        {
            sum += ship.position;
            count++;
        }
    }
    return count > 0 ? sum * (1.0f / float(count)) : sum;
}

float DensityAt(const std::vector<NebulaBox>& nebulae, const Vector& p)
{
    return DensityAt(nebulae, p, nebulae.size());
}

float DensityAt(const std::vector<NebulaBox>& nebulae, const Vector& p, size_t boxCount)
{
    float sum = 0.0f;
    for (size_t i = 0; i < boxCount && i < nebulae.size(); i++)
    {
        const NebulaBox& box = nebulae[i];
        if (p.x >= box.min.x && p.x <= box.max.x && p.y >= box.min.y && p.y <= box.max.y &&
            p.z >= box.min.z && p.z <= box.max.z)
        {
            sum += box.density;
        }
    }
    return sum;
}

float Obscuration(const std::vector<NebulaBox>& nebulae, const Vector& from, const Vector& to, float limit)
{
    Vector direction = to - from;
    const float length = float(Length(direction));
    if (nebulae.empty())
    {
        return 0.0f;
    }
    // Only the boxes the segment's bounding box meets can add anything.
    Vector lo(std::fmin(from.x, to.x), std::fmin(from.y, to.y), std::fmin(from.z, to.z));
    Vector hi(std::fmax(from.x, to.x), std::fmax(from.y, to.y), std::fmax(from.z, to.z));
    std::vector<const NebulaBox*> near;
    for (const NebulaBox& box : nebulae)
    {
        if (box.max.x >= lo.x && box.min.x <= hi.x && box.max.y >= lo.y && box.min.y <= hi.y &&
            box.max.z >= lo.z && box.min.z <= hi.z)
        {
            near.push_back(&box);
        }
    }
    if (near.empty())
    {
        return 0.0f;
    }
    Normalize(direction);
    float sum = 0.0f;
    for (int k = 0; k < kMaxSamples && float(k) * 10.0f < length; k++)
    {
        const Vector p = from + direction * (float(k) * 10.0f);
        for (const NebulaBox* box : near)
        {
            if (p.x >= box->min.x && p.x <= box->max.x && p.y >= box->min.y && p.y <= box->max.y &&
                p.z >= box->min.z && p.z <= box->max.z)
            {
                sum += box->density;
            }
        }
        if (2.0f * sum >= limit)
        {
            break;
        }
    }
    return 2.0f * sum;
}

bool HiddenFrom(const std::vector<NebulaBox>& nebulae, const Vector& from, float sensorRange,
                const Vector& target, float signature)
{
    const float budget = sensorRange + signature;
    return !(budget - Obscuration(nebulae, from, target, budget) > 0.0f);
}
