#ifndef KORVANE_AI_HARDMEMORY_H
#define KORVANE_AI_HARDMEMORY_H

#include <cstdint>
#include <vector>

#include "ai/ComputerMemory.h"
#include "ai/Knowledge.h"
#include "math/Vector.h"

class ClassBook;

// What the computer player of the Hard level carries from one turn to the
// next (HardMemory, in ai/ComputerMemory.h) and how a turn changes it.

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
