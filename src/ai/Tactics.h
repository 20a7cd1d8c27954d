#ifndef KORVANE_AI_TACTICS_H
#define KORVANE_AI_TACTICS_H

#include <cstdint>
#include <vector>

#include "ai/HardMemory.h"
#include "ai/Knowledge.h"
#include "ai/ShipClass.h"
#include "math/Vector.h"

// The computer player's plan for a turn: a pure function from what it knows
// and remembers to what each ship should do. The plan holds back out of the
// enemy's reach while no strike is worth opening, and strikes when the enemy
// comes within its own reach (or when waiting has gone on too long): every
// ship that can get to a firing position this turn takes a share of the
// fire, placed to hit the face of its target that is weakest, with no more
// ships on one target than it takes to break that face. Ships turn their
// soundest face to the enemy once they have fired. With nothing in sight the
// fleet hunts (see Search.h).

// The numbers the plan weighs things by; tuned by measured games.
struct Tuning
{
    float holdSlack = 80.0f;       // the fleet waits this much beyond the enemy's striking reach
    float strikeKills = 0.7f;      // expected kills that make a strike worth opening
    float riskWeight = 0.25f;      // how much harm at a firing position counts against it
    float overkill = 1.2f;         // fire put on a face, as a share of what is left of it
    float launchRange = 1400.0f;   // fighters launch when an enemy in sight is this near a carrier
    float screenDistance = 300.0f; // fighters screen the fleet this far ahead of it
    float screenSpacing = 25.0f;
    float screenGuard = 130.0f;      // screening fighters fight what comes this near their post
    float fighterStrikeShare = 0.7f; // fighters strike a face whose hull left their fire breaks this share of
    int fighterPrey = 3;             // this many enemy fighters in sight draw our fighters onto them
    int defendFighters = 100; // with this many enemy fighters near the fleet it fights them where it is
    float defendRange = 450.0f;
    int doctrine = 1;                  // 1: every ship takes the enemy nearest to it
    float fighterPenalty = 150.0f;     // enemy fighters count this much farther as targets
    float primaryBonus = 120.0f;       // the fleet's common target counts this much nearer
    float selfDefence = 400.0f;        // enemies this near are fought whoever they are
    float otherPlayerPenalty = 600.0f; // players other than the rival count this much farther
    float escortRange = 600.0f;        // fighters strike only what is this near the fleet
    float fleetSpread = 80.0f;         // ships hold at most this far ahead of the slowest
};

enum class ShipTask : int32_t
{
    Hold = 0,   // keep out of reach, close in up to its edge
    Strike = 1, // fly to the firing position and fire
    Search = 2, // look for hidden ships
    Escort = 3, // fighters with nothing to strike stay by the fleet
};

struct ShipOrders
{
    uint32_t id = 0;
    ShipTask task = ShipTask::Hold;
    bool move = false;
    Vector destination;
    uint32_t targetId = 0;
    int face = -1;              // a strike's face of the target: front, back, left, right (0 to 3)
    float openFireRange = 0.0f; // fighters: the target is given once it is this near
    bool guard = false;         // once done firing, turn the soundest face to `threat`
    Vector threat;
};

// How the fleet stands when three or four players are in the game.
enum class Stance : int32_t
{
    Engage = 0, // fight: the plan takes its targets
    Wait = 1,   // hold where it is: let two rivals weaken each other, or the others strike first
};

struct TurnPlan
{
    bool strike = false;
    int32_t rival = -1;
    Stance stance = Stance::Engage;
    std::vector<ShipOrders> ships;
    std::vector<uint32_t> launchFrom; // carriers that launch a squadron from every ready hangar
    float expectedKills = 0.0f;
};

// grid is the search grid through the nebulae (Search.h); committed are the
// orders of this turn's plan so far: a ship striking a target still in sight
// keeps its order.
TurnPlan PlanTurn(const Knowledge& knowledge, const HardMemory& memory, const ClassBook& book,
                  const Tuning& tuning, const std::vector<Vector>& grid,
                  const std::vector<ShipOrders>& committed = std::vector<ShipOrders>());

// Pieces of the plan, exposed for tests.

// Where a ship must be, `range` from the target and `lateral` degrees off the
// face's axis, for its shots to hit that face of the target.
Vector FaceSpot(const Vector& targetPosition, const Orientation& targetOrientation, int face, float range,
                float lateral);
// Seconds for the ship to turn to face the point and fly there.
float ArrivalSeconds(const OwnShip& ship, const Vector& point);
// Where the ship gets to in its movement time left, flying towards the point.
Vector ReachedPoint(const OwnShip& ship, const Vector& point);
// The point to turn the bow to so that the soundest of the ship's front,
// back, left and right faces looks at `threat`.
Vector GuardPoint(const OwnShip& ship, const Vector& threat);
// HardMemory::leaning is drawn from 0 to this.
constexpr float kLeaningRange = 200.0f;
// The player the fleet should fight among several: the most dangerous to it,
// the nearest and the weakest, judged by what it knows and has suffered; -1
// when no enemy is known. A seat it leaves to the others (SeatLeftAlone) is
// passed over, and then it may name a seat it has not seen yet.
int32_t ChooseRival(const Knowledge& knowledge, const HardMemory& memory, const ClassBook& book);
// The seat whose start is the nearest enemy start of two or more others,
// more so than any other seat's (in games of three, the one both others
// would fight first); -1 when there is none.
int32_t MiddleSeat(const Knowledge& knowledge);
// Whether to fight now or stand off: two rivals fighting each other are left
// to it while nobody comes near the fleet, and the middle seat waits for the
// others in the opening turns. Always Engage with two players.
Stance JudgeStance(const Knowledge& knowledge, const HardMemory& memory);
// Whether the fleet leaves the middle seat to the others this turn (a choice
// drawn once a game, for the opening, while the middle seat leaves it alone):
// it then takes another rival, even one it has not seen yet.
bool LeavesMiddle(const Knowledge& knowledge, const HardMemory& memory);
// The seat the fleet leaves to the others this turn, or -1: the middle seat
// when it LeavesMiddle, and otherwise, for a flank in the same opening turns,
// the other flank as long as that flank has done it little harm, so that it
// takes the middle seat on even before it has seen it.
int32_t SeatLeftAlone(const Knowledge& knowledge, const HardMemory& memory);

#endif
