#ifndef KORVANE_AI_THREAT_H
#define KORVANE_AI_THREAT_H

#include <cstdint>

#include "ai/Knowledge.h"
#include "ai/ShipClass.h"
#include "math/Vector.h"

// How much harm the known enemy can do, judged from what is known of each
// ship: its class, where it is and which way it points. An enemy ship in its
// next turn may turn, fly for what is left of its ten seconds and fire from
// where it stops; what it can do to a point is what its class does at the
// range it can close to.

// The unit vector a ship with this orientation points along (its local -Z).
Vector Heading(const Orientation& orientation);
// Degrees to turn in yaw from the heading of `orientation` to face `point` from `from`.
float YawToFace(const Vector& from, const Orientation& orientation, const Vector& point);

// How far a ship of the class at `from` pointing along `orientation` gets
// towards `point` in a turn, after turning to face it.
float TravelTowards(const ClassProfile& profile, const Vector& from, const Orientation& orientation,
                    const Vector& point, float moveSeconds = kTurnMoveSeconds);

// The damage one enemy ship can do in its next turn to a ship at `point`.
float ThreatFrom(const Contact& contact, const ClassProfile& profile, const Vector& point);

// The damage every known enemy ship together can do to a ship at `point` in
// their next turns. Ghosts count for `ghostWeight` of a ship in sight; with
// onlyOwner at 0 or more, only that player's ships count.
float ThreatAt(const Knowledge& knowledge, const ClassBook& book, const Vector& point,
               float ghostWeight = 0.5f, int32_t onlyOwner = -1);

// The harm enemy capital ships can do to a ship at `point` by closing to
// their fighting range in their next turn (with `slack` to spare): the edge
// of this is where a careful fleet waits.
float StrikeThreatAt(const Knowledge& knowledge, const ClassBook& book, const Vector& point, float slack);

// The profile of a contact's class (the book's fallback when unknown).
const ClassProfile& ProfileOf(const ClassBook& book, int classIndex);

#endif
