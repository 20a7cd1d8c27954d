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

// The memory of a computer seat: each kind of computer player fills its own
// member and leaves the others as they are. A new kind adds its record here
// and one line to Fields.
struct ComputerMemory
{
    ScriptedMemory scripted; // AutoPlayer

    template <class Visit> void Fields(Visit& visit) { visit("scripted", scripted); }
};

#endif
