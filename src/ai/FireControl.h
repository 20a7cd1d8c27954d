#ifndef KORVANE_AI_FIRECONTROL_H
#define KORVANE_AI_FIRECONTROL_H

#include <cstddef>
#include <cstdint>
#include <map>

#include "ai/HardMemory.h"
#include "ai/Knowledge.h"
#include "ai/ShipClass.h"

// Which enemy each turret fires at: a pure choice from what the player
// knows. Every turret picks for itself among the enemies in sight, in its
// arc and near enough to be worth the fire time: the one whose harm it takes
// away fastest for the fire it spends, that is the enemy's own firepower
// over the hull left on the face this turret hits. Fighters, frail and
// dangerous, come first when they are near; a ship whose face is nearly
// broken is finished off; the fleet's chosen target counts double. Fire
// already going to an enemy counts against what is left of it: turrets pile
// on until the face should break, and no further.

// Whether the turret can turn onto the point within its arc, from where
// the ship is and as it points.
bool TurretBears(const OwnShip& ship, const TurretView& turret, const Vector& point);

// How far a turret fires when the ship can still close in (so that fire time
// is not wasted at long range), and when it cannot.
float TurretOpenRange(const TurretView& turret);
float TurretLastRange(const TurretView& turret);

// The damage a turret on `target` is yet to do to it this turn.
float DamageToCome(const OwnShip& ship, const TurretView& turret, const Contact& target);

// The damage the fleet's turrets already on each enemy are yet to do to it
// this turn, by contact id.
std::map<uint32_t, float> TurretClaims(const Knowledge& knowledge);

// The best target for turret `turret` of `ship`, or 0 when none is worth
// firing at. focusId is the target the plan gave the ship (0 none);
// closingIn says whether the ship may yet get nearer this turn.
uint32_t ChooseTurretTarget(const OwnShip& ship, size_t turret, const Knowledge& knowledge,
                            const HardMemory& memory, const ClassBook& book, uint32_t focusId, bool closingIn,
                            const std::map<uint32_t, float>& claims, float* scoreOut = nullptr);

// The score the choice above gives one target (0 when it may not fire at it).
float TurretTargetScore(const OwnShip& ship, const TurretView& turret, const Contact& target,
                        const HardMemory& memory, const ClassBook& book, bool focus, bool closingIn,
                        float claimed);

#endif
