#ifndef KORVANE_AI_KNOWLEDGE_H
#define KORVANE_AI_KNOWLEDGE_H

#include <cstdint>
#include <vector>

#include "ai/ShipClass.h"
#include "combat/TurretAim.h"
#include "combat/TurretState.h"
#include "math/Vector.h"

class Game;
class Player;

// What one player knows at one moment, and nothing more: its own fleet as the
// command panel shows it, the enemy ships its sensors show now, the ghosts of
// those it saw before, and the nebulae of the map (the sensor view shows
// them). The computer player's decisions read only this; ReadKnowledge is the
// one place that looks at the game, and it looks at other fleets only
// through this player's detection of them.

// One turret of an own ship, as its panel shows it.
struct TurretView
{
    bool beam = false;
    bool fixed = false; // fixed guns: they point where the ship points
    TurretState state = Idle;
    float fireTimeLeft = 0.0f; // seconds
    float turnTimeLeft = 0.0f;
    uint32_t targetId = 0; // 0: none
    Vector mountPosition;  // ship coordinates
    Orientation mountRotation;
    FiringArc arc{};
};

struct OwnShip
{
    uint32_t id = 0;
    int classIndex = -1; // in the class book; -1 unknown
    ShipRole role = ShipRole::Gunship;
    Vector position;
    Orientation orientation; // degrees; the front is local -Z
    float hull[6] = {};      // by HullFace
    float hullMax[6] = {};
    float speed = 0.0f;   // units per second
    float yawRate = 0.0f; // degrees per second
    float moveTimeLeft = 0.0f;
    int32_t motion = 0; // Ship::MotionState
    uint32_t targetId = 0;
    std::vector<TurretView> turrets; // beam turrets, then gun turrets, as the panel lists them
    int hangars = 0;
    int hangarsReady = 0; // hangars that can launch this turn
    int squadronsLeft = 0;
    float sensorRange = 0.0f;
    float signature = 0.0f;
};

// An enemy ship this player sees now, or the ghost where it was last seen.
struct Contact
{
    uint32_t id = 0;
    int32_t owner = 0;
    int classIndex = -1;
    ShipRole role = ShipRole::Gunship;
    Vector position; // now, or where it was last seen
    Orientation orientation;
    bool visible = false; // in sight now: it can be clicked
};

// A nebula box: the map's regions and the dust of burnt-out wrecks.
struct NebulaBox
{
    Vector min;
    Vector max;
    float density = 0.0f; // as the sensors count it
};

struct Knowledge
{
    int32_t self = 0;    // this player's index
    int32_t players = 2; // seats in the game
    std::vector<OwnShip> own;
    std::vector<Contact> contacts;
    std::vector<NebulaBox> nebulae;
    Vector starts[4];         // where each seat's fleet started (the game's rules)
    int bulletsInFlight = 0;  // bullets still flying: this player's, as it waits for them
    bool gameDecided = false; // the winner is known and the last wrecks burn
};

// The knowledge of the game's current player. The class book gives classes
// their indices.
Knowledge ReadKnowledge(const Game& game, const Player& player, const ClassBook& book);

// Pure queries on what is known.
const OwnShip* FindOwn(const Knowledge& knowledge, uint32_t id);
const Contact* FindContact(const Knowledge& knowledge, uint32_t id);
bool HasVisibleEnemy(const Knowledge& knowledge);
// The mean position of the own capital ships (of every ship when only
// fighters are left); the origin for an empty fleet.
Vector FleetCentre(const Knowledge& knowledge);
int CapitalShipCount(const Knowledge& knowledge);

// The nebula along the segment from `from` to `to` as the sensors count it:
// twice the density sampled every 10 units from `from` (the end not
// sampled), stopping once it reaches `limit`.
float Obscuration(const std::vector<NebulaBox>& nebulae, const Vector& from, const Vector& to, float limit);
float DensityAt(const std::vector<NebulaBox>& nebulae, const Vector& point);
// The same over the first boxCount boxes only.
float DensityAt(const std::vector<NebulaBox>& nebulae, const Vector& point, size_t boxCount);
// True when a ship with this signature at `target` is hidden from an
// observer at `from` with this sensor range.
bool HiddenFrom(const std::vector<NebulaBox>& nebulae, const Vector& from, float sensorRange,
                const Vector& target, float signature);

#endif
