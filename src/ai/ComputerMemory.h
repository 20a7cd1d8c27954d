#ifndef KORVANE_AI_COMPUTERMEMORY_H
#define KORVANE_AI_COMPUTERMEMORY_H

#include <cstdint>
#include <vector>

#include "math/Vector.h"

// What a computer player remembers between one call of PlayTurn and the
// next, as plain values: a saved game keeps it, so that a resumed game is
// the same game. Each record lists its fields once, in Fields(visit), as
// visit("name", field) (or visit("name", field, version) for a field added
// in that save version); the save subsystem reads and writes every record
// through that list, so a new field needs nothing more than its line there.
// Fields may be bool, int32_t, uint32_t, float, double, Vector, a fixed
// array, a std::vector or another record with its own Fields.

// A ghost the scripted player found empty: the ship's id and where it was.
struct StaleGhost
{
    uint32_t shipId = 0;
    Vector position;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("ship", shipId);
        visit("position", position);
    }
};

// The scripted player's plan for one of its ships in the current turn.
struct ShipTurnMemory
{
    uint32_t shipId = 0;
    int32_t moves = 0;
    bool searching = false;
    bool engaged = false;
    bool holding = false;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("ship", shipId);
        visit("moves", moves);
        visit("searching", searching);
        visit("engaged", engaged);
        visit("holding", holding);
    }
};

// Everything the scripted player (AutoPlayer) keeps.
struct ScriptedMemory
{
    uint32_t chanceState = 0;            // its own generator
    std::vector<StaleGhost> staleGhosts; // ghosts found empty
    std::vector<Vector> searchPoints;    // where it looks when nothing is known
    uint32_t searchIndex = 0;            // the search point it heads for
    float approachStep = 0.0f;           // this turn's pace
    float rivalry[4] = {0, 0, 0, 0};     // by player index
    int32_t ticks = 0;                   // ticks of its last turn
    std::vector<ShipTurnMemory> turns;   // its last turn's plan, by ship

    template <class Visit> void Fields(Visit& visit)
    {
        visit("chanceState", chanceState);
        visit("staleGhosts", staleGhosts);
        visit("searchPoints", searchPoints);
        visit("searchIndex", searchIndex);
        visit("approachStep", approachStep);
        visit("rivalry", rivalry);
        visit("ticks", ticks);
        visit("turns", turns);
    }
};

// Everything the Hard player (HardPlayer) carries from one turn to the next:
// where it last saw each enemy ship, the damage it believes it has done to
// each of their faces, where it has searched, and its own generator.

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

    template <class Visit> void Fields(Visit& visit)
    {
        visit("ship", id);
        visit("owner", owner);
        visit("class", classIndex);
        visit("role", role);
        visit("position", position);
        visit("orientation", orientation);
        visit("lastSeenTurn", lastSeenTurn);
        visit("visible", visible);
        visit("checked", checked);
    }
};

// The damage this player's weapons have done to one enemy ship, by face, as
// it can tell from its own turrets' fire.
struct FaceDamage
{
    uint32_t id = 0;
    float damage[6] = {};

    template <class Visit> void Fields(Visit& visit)
    {
        visit("ship", id);
        visit("damage", damage);
    }
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
    // The search grid through the nebulae (Search.h), made from this many
    // nebula boxes, and by its point the own turn in which a ship last looked
    // there, 0 never.
    std::vector<Vector> searchGrid;
    int32_t gridRegions = 0;
    std::vector<int32_t> searchedTurn;
    // Written by a computer player of this kind: false in a save made before
    // it had a memory of its own.
    bool kept = false;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("kept", kept);
        visit("chance", chance);
        visit("turn", turn);
        visit("quietTurns", quietTurns);
        visit("gapAtTurnEnd", gapAtTurnEnd);
        visit("patience", patience);
        visit("hullAtTurnEnd", hullAtTurnEnd);
        visit("firedThisTurn", firedThisTurn);
        visit("rival", rival);
        visit("grudge", grudge);
        visit("leaning", leaning);
        visit("striking", striking);
        visit("pace", pace);
        visit("lastSightTurn", lastSightTurn);
        visit("waitTurns", waitTurns);
        visit("tracks", tracks);
        visit("damage", damage);
        visit("searchGrid", searchGrid);
        visit("gridRegions", gridRegions);
        visit("searchedTurn", searchedTurn);
    }
};

// The memory of a computer seat: each kind of computer player fills its own
// member and leaves the others as they are. A new kind adds its record here
// and one line to Fields.
struct ComputerMemory
{
    ScriptedMemory scripted; // AutoPlayer
    HardMemory hard;         // HardPlayer

    template <class Visit> void Fields(Visit& visit)
    {
        visit("scripted", scripted);
        visit("hard", hard, 2);
    }
};

#endif
