#include "ai/HardMemory.h"

#include <algorithm>

#include "ai/ShipClass.h"
#include "ships/Ship.h"

namespace
{

// A bullet salvo of two leaves every fifth tick of fire.
constexpr float kBulletsPerTick = 0.4f;
// An enemy that came this much nearer between two own turns is not waiting.
constexpr float kApproachNoticed = 60.0f;

ContactTrack* Track(HardMemory& memory, uint32_t id)
{
    for (ContactTrack& track : memory.tracks)
    {
        if (track.id == id)
        {
            return &track;
        }
    }
    return nullptr;
}

FaceDamage& DamageOf(HardMemory& memory, uint32_t id)
{
    for (FaceDamage& entry : memory.damage)
    {
        if (entry.id == id)
        {
            return entry;
        }
    }
    memory.damage.push_back(FaceDamage());
    memory.damage.back().id = id;
    return memory.damage.back();
}

float FleetHull(const Knowledge& knowledge)
{
    float sum = 0.0f;
    for (const OwnShip& ship : knowledge.own)
    {
        for (float face : ship.hull)
        {
            sum += face;
        }
    }
    return sum;
}

// The face of a ship at `at` with `orientation` that a shot from `from` hits.
int FaceTowards(const Vector& at, const Orientation& orientation, const Vector& from)
{
    Vector local;
    UnrotateByAngles(from - at, local, orientation);
    return Ship::HitFace(local);
}

} // namespace

double NextChance(HardMemory& memory)
{
    memory.chance = memory.chance * 1664525u + 1013904223u;
    return double(memory.chance >> 8) / double(1u << 24);
}

uint32_t ChanceSeed(uint32_t seed, int32_t playerIndex)
{
    // Mixed differently from the scripted player's, so that the two never
    // make the same choices from the same seed.
    return seed * 2246822519u + uint32_t(playerIndex) * 3266489917u + 374761393u;
}

void BeginTurn(HardMemory& memory, const Knowledge& knowledge)
{
    memory.turn++;
    memory.firedThisTurn = false;
    memory.striking = false;
    // Hull lost since the last own turn is laid at the door of the players
    // whose ships in sight could have reached the ship that lost it.
    const float hull = FleetHull(knowledge);
    const float lost = memory.turn > 1 ? memory.hullAtTurnEnd - hull : 0.0f;
    if (lost > 1.0f)
    {
        float near[4] = {};
        float total = 0.0f;
        for (const Contact& contact : knowledge.contacts)
        {
            if (!contact.visible || contact.owner < 0 || contact.owner > 3)
            {
                continue;
            }
            for (const OwnShip& ship : knowledge.own)
            {
                if (Length(ship.position - contact.position) < 600.0)
                {
                    near[contact.owner] += 1.0f;
                    total += 1.0f;
                    break;
                }
            }
        }
        for (int p = 0; p < 4 && total > 0.0f; p++)
        {
            memory.grudge[p] += lost * near[p] / total;
        }
        memory.quietTurns = 0;
    }
    else
    {
        // An enemy that came nearer since the last turn is not waiting.
        const float gap = EnemyGap(knowledge);
        if (gap < 0.0f)
        {
            memory.quietTurns = 0;
        }
        else if (memory.gapAtTurnEnd >= 0.0f && gap < memory.gapAtTurnEnd - kApproachNoticed)
        {
            memory.quietTurns = 0;
        }
        else
        {
            memory.quietTurns++;
        }
    }
    NoteTick(memory, knowledge);
}

void NoteTick(HardMemory& memory, const Knowledge& knowledge)
{
    if (HasVisibleEnemy(knowledge))
    {
        memory.lastSightTurn = memory.turn;
    }
    for (const Contact& contact : knowledge.contacts)
    {
        ContactTrack* track = Track(memory, contact.id);
        if (track == nullptr)
        {
            memory.tracks.push_back(ContactTrack());
            track = &memory.tracks.back();
            track->id = contact.id;
        }
        track->owner = contact.owner;
        track->classIndex = contact.classIndex;
        track->role = int32_t(contact.role);
        // A ship seen again, or lost somewhere new, has to be looked for anew.
        if (contact.visible || track->position != contact.position)
        {
            track->checked = false;
            track->position = contact.position;
            track->orientation = contact.orientation;
        }
        if (contact.visible)
        {
            track->lastSeenTurn = memory.turn;
        }
        track->visible = contact.visible;
    }
    // Ships no longer known at all (destroyed) are forgotten.
    memory.tracks.erase(std::remove_if(memory.tracks.begin(), memory.tracks.end(),
                                       [&](const ContactTrack& track)
                                       { return FindContact(knowledge, track.id) == nullptr; }),
                        memory.tracks.end());
    memory.damage.erase(std::remove_if(memory.damage.begin(), memory.damage.end(),
                                       [&](const FaceDamage& entry)
                                       { return FindContact(knowledge, entry.id) == nullptr; }),
                        memory.damage.end());

    // What the own turrets firing now do to their targets' faces.
    for (const OwnShip& ship : knowledge.own)
    {
        for (const TurretView& turret : ship.turrets)
        {
            if (turret.state != Firing || turret.targetId == 0)
            {
                continue;
            }
            const Contact* target = FindContact(knowledge, turret.targetId);
            if (target == nullptr || !target->visible)
            {
                continue;
            }
            memory.firedThisTurn = true;
            const float range = float(Length(target->position - ship.position));
            const float damage =
                turret.beam ? BeamTurnDamageAt(range) / 100.0f : kBulletsPerTick * BulletHitChance(range);
            const int face = FaceTowards(target->position, target->orientation, ship.position);
            DamageOf(memory, target->id).damage[face] += damage;
        }
    }
}

float EnemyGap(const Knowledge& knowledge)
{
    const Vector centre = FleetCentre(knowledge);
    float gap = -1.0f;
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.visible && contact.role != ShipRole::Fighter)
        {
            const float d = float(Length(contact.position - centre));
            gap = gap < 0.0f ? d : std::min(gap, d);
        }
    }
    return gap;
}

void EndTurn(HardMemory& memory, const Knowledge& knowledge)
{
    memory.hullAtTurnEnd = FleetHull(knowledge);
    memory.gapAtTurnEnd = EnemyGap(knowledge);
    if (memory.firedThisTurn)
    {
        memory.quietTurns = 0;
    }
}

const ContactTrack* FindTrack(const HardMemory& memory, uint32_t id)
{
    for (const ContactTrack& track : memory.tracks)
    {
        if (track.id == id)
        {
            return &track;
        }
    }
    return nullptr;
}

float BelievedDamage(const HardMemory& memory, uint32_t id, int face)
{
    for (const FaceDamage& entry : memory.damage)
    {
        if (entry.id == id)
        {
            return entry.damage[face];
        }
    }
    return 0.0f;
}

float BelievedHull(const HardMemory& memory, const ClassBook& book, const Contact& contact, int face)
{
    const std::vector<ClassProfile>& classes = book.Classes();
    const float full = contact.classIndex >= 0 && size_t(contact.classIndex) < classes.size()
                           ? classes[size_t(contact.classIndex)].hull[face]
                           : 500.0f;
    return std::max(0.0f, full - BelievedDamage(memory, contact.id, face));
}
