#ifndef KORVANE_AI_HARDMEMORY_H
#define KORVANE_AI_HARDMEMORY_H

#include <cstdint>
#include <vector>

#include "ai/Knowledge.h"
#include "math/Vector.h"

class ClassBook;

// Everything the computer player carries from one turn to the next, in plain
// numbers and ids so that a saved game can write it and read it back: where
// it last saw each enemy ship, the damage it believes it has done to each of
// their faces, where it has searched, and its own generator.

// An enemy ship once seen.
struct ContactTrack
{
    uint32_t id = 0;
    int32_t owner = 0;
    int32_t classIndex = -1;
    int32_t role = 0; // a ShipRole
    Vector position;  // where it is, or was last seen
    Orientation orientation;
    int32_t lastSeenTurn = 0; // own turn in which it was last in sight
    bool visible = false;
    bool checked = false; // its last position has been looked at since it was lost
};

// The damage this player's weapons have done to one enemy ship, by face, as
// it can tell from its own turrets' fire.
struct FaceDamage
{
    uint32_t id = 0;
    float damage[6] = {};
};

struct HardMemory
{
    uint32_t chance = 1;    // the player's own generator
    int32_t turn = 0;       // own turns begun
    int32_t quietTurns = 0; // own turns in a row in which nobody fired nor came nearer
    float gapAtTurnEnd =
        -1.0f;            // from the fleet to the nearest enemy in sight at the end of the last own turn
    int32_t patience = 2; // quiet turns with an enemy in sight before the fleet closes in anyway
    float hullAtTurnEnd = 0.0f; // of the whole fleet, at the end of the last own turn
    bool firedThisTurn = false;
    int32_t rival = -1;    // the player the fleet is fighting; -1 none chosen
    float grudge[4] = {};  // hull lost to each player, as far as the player can tell
    float leaning[4] = {}; // a leaning against each player drawn once by chance: ties are not broken by seat
    bool striking = false; // this turn's plan has opened a strike
    float pace = 1.0f;     // this turn's share of the slowest ship's travel for closing in
    int32_t lastSightTurn = 0; // own turn in which an enemy was last in sight, 0 never
    int32_t waitTurns = 1;     // turns the fleet waits at the start for an enemy it has never seen
    std::vector<ContactTrack> tracks;
    std::vector<FaceDamage> damage;
    // By point of the search grid through the nebulae (Search.h): the own
    // turn in which a ship last looked there, 0 never.
    std::vector<int32_t> searchedTurn;
};

// The generator: the next fraction from 0 to 1, and the seed's first state.
double NextChance(HardMemory& memory);
uint32_t ChanceSeed(uint32_t seed, int32_t playerIndex);

// The start of an own turn: the tracks take in what is seen now, the quiet
// count and the grudges take in what happened since the last turn.
void BeginTurn(HardMemory& memory, const Knowledge& knowledge);
// After every tick: tracks of ships in sight follow them, lost ones keep their
// last position; the fire of own turrets adds to the damage believed done.
void NoteTick(HardMemory& memory, const Knowledge& knowledge);
// The end of an own turn.
void EndTurn(HardMemory& memory, const Knowledge& knowledge);

// From the middle of the fleet to the nearest enemy capital ship in sight; -1 when none.
float EnemyGap(const Knowledge& knowledge);

const ContactTrack* FindTrack(const HardMemory& memory, uint32_t id);
// The damage believed done to a face of a ship, 0 when none.
float BelievedDamage(const HardMemory& memory, uint32_t id, int face);
// The hull believed left on a face of a contact of the given class.
float BelievedHull(const HardMemory& memory, const ClassBook& book, const Contact& contact, int face);

#endif
