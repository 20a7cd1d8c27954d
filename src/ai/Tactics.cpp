#include "ai/Tactics.h"

#include <algorithm>
#include <cmath>

#include "ai/Search.h"
#include "ai/Threat.h"
#include "ships/Ship.h"

namespace
{

// A face counts as struck from a point this much beyond the preferred range.
constexpr float kStrikeSlack = 100.0f;

// The four faces a ship level with its target can reach.
constexpr int kSideFaces[4] = {kFaceFront, kFaceBack, kFaceLeft, kFaceRight};

// Outward normals of the faces in ship coordinates, by HullFace.
const Vector kFaceNormals[6] = {Vector(0, 1, 0), Vector(0, -1, 0), Vector(-1, 0, 0),
                                Vector(1, 0, 0), Vector(0, 0, -1), Vector(0, 0, 1)};

// Turns without an enemy in sight after which the fleet searches ship by ship.
constexpr int32_t kSpreadAfterTurns = 3;
// Looking round the nebulae for a fleet: a frigate's sensors for a frigate.
constexpr float kLookSensor = 0.35f;
constexpr float kLookSignature = 0.2f;

// Two players with capital ships in sight this near each other are fighting.
constexpr float kEngagedRange = 500.0f;
// Quiet turns after which the fleet stops standing off and fights.
constexpr int32_t kStandOffTurns = 6;
// How much a unit of distance counts against a rival.
constexpr float kRivalDistanceWeight = 0.5f;
// The chance that a player leaves the rival in the middle of others to them.
constexpr float kLeaveMiddleChance = 0.6f;
// The own turns in which the seat in the middle waits for the others, and in
// which the others may leave it alone as long as it has done them less
// harm than this.
constexpr int32_t kOpeningTurns = 8;
constexpr int32_t kLeaveTurns = 12;
constexpr float kLeaveGrudge = 1000.0f;
// Ships of the seat left to the others count this much farther as targets.
constexpr float kLeftAlonePenalty = 2000.0f;
// A fighter this near its target backs off before it fires; so does a ship
// this near, where its turrets bear on the target with few guns at most and
// two fleets on top of each other wear each other down for tens of rounds.
constexpr float kFighterTooClose = 15.0f;
constexpr float kShipTooClose = 100.0f;
// Nearer than this a ship's turrets bear on a target level with it with few
// guns at most.
constexpr float kDuelNearest = 50.0f;
// A target more than this many units above or below for every unit away
// level is out of the pitch of some of a ship's gun turrets: they bear from
// 20 degrees below their mount's level upwards, and half of them are
// mounted under the keel, upside down.
constexpr float kSteepSlope = 0.34f;
// Searching with a fleet this small, the capital ships step out of the clouds
// for a look round after so many turns without sight and every so many after,
// to this far outside, looked for this far round each ship. A larger fleet
// searches on: its ships in the clouds find what hides there sooner than it
// would find it from outside.
constexpr int32_t kLookoutFirst = 3;
constexpr int32_t kLookoutEvery = 6;
constexpr int32_t kLookoutDwell = 3; // turns in a row out in the open
constexpr int kLookoutFleet = 2;
constexpr float kLookoutClearance = 20.0f;
constexpr float kLookoutReach = 1000.0f;
constexpr float kLookoutOverTheTop = 300.0f; // how high a cloud is gone over rather than round
// From turn kGatherFirst to kGatherLast such a fleet spends its look-round
// turns (kGatherFirst and every kLookoutEvery after, kLookoutDwell in a row)
// at one place over the middle of the starting points, this far above the
// highest cloud: out of a fighter's reach from inside one. A rival that has
// lost the fleet as it has lost the rival works the place out the same way
// and comes there in the same turns; a larger fleet sends one lookout there
// in those turns and searches on with the rest. After kGatherLast it looks
// round from where it is again: someone who waits in the clouds never comes.
constexpr int32_t kGatherFirst = 14;
constexpr int32_t kGatherLast = 24;
constexpr float kGatherClearance = 160.0f;
constexpr float kGatherSpacing = 30.0f;
// Enemies within this share of the nearest count as near as it.
constexpr float kNearTie = 1.1f;

// What each ship of the fleet can do to one face of one target this turn.
struct Reach
{
    float damage = 0.0f;
    float range = 0.0f;
};

float FireFraction(const OwnShip& ship)
{
    float left = 0.0f;
    int weapons = 0;
    for (const TurretView& turret : ship.turrets)
    {
        left += turret.fireTimeLeft;
        weapons++;
    }
    return weapons > 0 ? left / (float(weapons) * kTurnFireSeconds) : 0.0f;
}

// Where a ship closing straight in on a target stops to fire.
Vector ApproachSpot(const OwnShip& ship, const Vector& target)
{
    const float range = PreferredRange(ship.role);
    const float distance = float(Length(target - ship.position));
    if (distance <= range)
    {
        return ship.position;
    }
    return ship.position + (target - ship.position) * ((distance - range) / distance);
}

// What the ship does this turn to the target's face `face` if it closes
// straight in: nothing unless that is the face it comes at, or unless it
// gets to fighting range.
Reach StrikeReach(const OwnShip& ship, const ClassProfile& profile, const Contact& target, int face)
{
    Reach reach;
    const Vector spot = ApproachSpot(ship, target.position);
    const Vector end = ArrivalSeconds(ship, spot) <= ship.moveTimeLeft ? spot : ReachedPoint(ship, spot);
    reach.range = float(Length(end - target.position));
    Vector local;
    UnrotateByAngles(end - target.position, local, target.orientation);
    if (Ship::HitFace(local) != face || reach.range > PreferredRange(ship.role) + kStrikeSlack)
    {
        return reach;
    }
    reach.damage = ShipTurnDamageAt(profile, reach.range) * FireFraction(ship);
    return reach;
}

float TargetValue(const Contact& contact, const ClassBook& book, int32_t rival, int32_t players)
{
    const ClassProfile& profile = ProfileOf(book, contact.classIndex);
    float value = ShipTurnDamageAt(profile, 250.0f) + 40.0f;
    if (contact.role == ShipRole::Carrier)
    {
        value += 60.0f; // its fighters are yet to come
    }
    if (players > 2 && rival >= 0 && contact.owner != rival)
    {
        value *= 0.45f;
    }
    return value;
}

Vector Horizontal(const Vector& v)
{
    Vector h(v.x, 0.0f, v.z);
    Normalize(h);
    return h;
}

// The level direction from a target out to a ship, any level direction when
// the ship is straight above or below it.
Vector LevelOutward(const Vector& ship, const Vector& target)
{
    const Vector out = Horizontal(ship - target);
    return Length(out) < 0.5 ? Vector(1.0f, 0.0f, 0.0f) : out;
}

const Contact* NearestVisible(const Knowledge& knowledge, const Vector& from, bool capitalOnly)
{
    const Contact* nearest = nullptr;
    double best = 0.0;
    for (const Contact& contact : knowledge.contacts)
    {
        if (!contact.visible || (capitalOnly && contact.role == ShipRole::Fighter))
        {
            continue;
        }
        const double d = Length(contact.position - from);
        if (nearest == nullptr || d < best)
        {
            nearest = &contact;
            best = d;
        }
    }
    return nearest;
}

// The middle of the known capital ships of one player (all players when -1):
// those in sight only, or every contact, ghosts included.
bool ContactCentre(const Knowledge& knowledge, int32_t owner, bool inSightOnly, Vector& centre)
{
    Vector sum;
    int count = 0;
    for (const Contact& contact : knowledge.contacts)
    {
        if ((contact.visible || !inSightOnly) && contact.role != ShipRole::Fighter &&
            (owner < 0 || contact.owner == owner))
        {
            sum += contact.position;
            count++;
        }
    }
    if (count == 0)
    {
        return false;
    }
    centre = sum * (1.0f / float(count));
    return true;
}

// The middle of the visible enemy capital ships of one player (all players when -1).
bool EnemyCentre(const Knowledge& knowledge, int32_t owner, Vector& centre)
{
    return ContactCentre(knowledge, owner, true, centre);
}

// The middle of a player's ships as known: those in sight, else the ghosts.
bool PlayerCentre(const Knowledge& knowledge, int32_t owner, Vector& centre)
{
    return EnemyCentre(knowledge, owner, centre) ||
           (owner >= 0 && ContactCentre(knowledge, owner, false, centre));
}

bool Engaged(const Knowledge& knowledge, int32_t a, int32_t b)
{
    for (const Contact& x : knowledge.contacts)
    {
        if (!x.visible || x.owner != a || x.role == ShipRole::Fighter)
        {
            continue;
        }
        for (const Contact& y : knowledge.contacts)
        {
            if (y.visible && y.owner == b && y.role != ShipRole::Fighter &&
                Length(x.position - y.position) < kEngagedRange)
            {
                return true;
            }
        }
    }
    return false;
}

// An enemy capital ship is close enough to the fleet to be fighting it
// (fighters reach far and are fought where they come).
bool UnderAttack(const Knowledge& knowledge)
{
    for (const Contact& contact : knowledge.contacts)
    {
        if (!contact.visible || contact.role == ShipRole::Fighter)
        {
            continue;
        }
        for (const OwnShip& ship : knowledge.own)
        {
            if (Length(contact.position - ship.position) < kEngagedRange)
            {
                return true;
            }
        }
    }
    return false;
}

bool SeesPlayer(const Knowledge& knowledge, int32_t owner)
{
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.visible && contact.owner == owner)
        {
            return true;
        }
    }
    return false;
}

// Where each player is as far as it is known (its ships in sight, else its
// ghosts; the fleet itself for the own player); the number of rivals known.
int KnownPlaces(const Knowledge& knowledge, Vector where[4], bool known[4])
{
    int rivals = 0;
    for (int32_t p = 0; p < 4; p++)
    {
        known[p] = false;
        if (p == knowledge.self)
        {
            where[p] = FleetCentre(knowledge);
            known[p] = !knowledge.own.empty();
        }
        else if (PlayerCentre(knowledge, p, where[p]))
        {
            known[p] = true;
            rivals++;
        }
    }
    return rivals;
}

// One capital ship a side, counting the enemy's ghosts. There the guard only
// drags the fight out: each ship turning its soundest face to the other
// spreads the harm over every face, round after round, with nobody gaining.
bool Duel(const Knowledge& knowledge)
{
    int enemies = 0;
    for (const Contact& contact : knowledge.contacts)
    {
        enemies += contact.role != ShipRole::Fighter;
    }
    return enemies == 1 && CapitalShipCount(knowledge) == 1;
}

// Every ship with an enemy capital ship in sight takes the nearest as its
// threat; a capital ship turns its soundest face to it once it has fired,
// except in a duel.
void GuardAfterFiring(const Knowledge& knowledge, TurnPlan& plan)
{
    const bool duel = Duel(knowledge);
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const Contact* enemy = NearestVisible(knowledge, knowledge.own[i].position, true);
        if (enemy != nullptr)
        {
            plan.ships[i].guard = knowledge.own[i].role != ShipRole::Fighter && !duel;
            plan.ships[i].threat = enemy->position;
        }
    }
}

} // namespace

int32_t MiddleSeat(const Knowledge& knowledge)
{
    const int32_t seats = std::min(knowledge.players, int32_t(4));
    if (seats < 3)
    {
        return -1;
    }
    // Whose nearest enemy each seat's start is; near ties share it.
    float share[4] = {};
    for (int32_t q = 0; q < seats; q++)
    {
        float nearest = 1e9f;
        for (int32_t p = 0; p < seats; p++)
        {
            if (p != q)
            {
                nearest = std::min(nearest, float(Length(knowledge.starts[p] - knowledge.starts[q])));
            }
        }
        std::vector<int32_t> tied;
        for (int32_t p = 0; p < seats; p++)
        {
            if (p != q && float(Length(knowledge.starts[p] - knowledge.starts[q])) <= nearest * kNearTie)
            {
                tied.push_back(p);
            }
        }
        for (int32_t p : tied)
        {
            share[p] += 1.0f / float(tied.size());
        }
    }
    int32_t middle = -1;
    for (int32_t p = 0; p < seats; p++)
    {
        if (share[p] >= 1.5f && (middle < 0 || share[p] > share[middle]))
        {
            middle = p;
        }
    }
    for (int32_t p = 0; p < seats && middle >= 0; p++)
    {
        if (p != middle && share[p] >= share[middle])
        {
            return -1;
        }
    }
    return middle;
}

namespace
{

// The fighters strike together at the face of a capital ship they can break
// (or nearly), from behind its guns where they can; the squadron's fire is
// what a single fighter's guns do, times their number.
void PlanFighterStrike(const Knowledge& knowledge, const HardMemory& memory, const ClassBook& book,
                       const Tuning& tuning, const std::vector<const Contact*>& targets,
                       const std::vector<float>& given, std::vector<bool>& assigned, TurnPlan& plan)
{
    std::vector<size_t> fighters;
    float each = 0.0f;
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        if (ship.role == ShipRole::Fighter && !assigned[i] && FireFraction(ship) > 0.5f)
        {
            fighters.push_back(i);
            each =
                std::max(each, ShipTurnDamageAt(ProfileOf(book, ship.classIndex), PreferredRange(ship.role)));
        }
    }
    if (fighters.empty())
    {
        return;
    }
    // Enemy fighters within reach come first: ours strike them before they
    // strike the fleet, each at a fighter of its own.
    std::vector<const Contact*> prey;
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.visible && contact.role == ShipRole::Fighter)
        {
            prey.push_back(&contact);
        }
    }
    if (int(prey.size()) >= tuning.fighterPrey)
    {
        std::vector<bool> taken(prey.size(), false);
        int struck = 0;
        for (size_t i : fighters)
        {
            const OwnShip& ship = knowledge.own[i];
            size_t pick = prey.size();
            double best = 0.0;
            for (size_t p = 0; p < prey.size(); p++)
            {
                const double d = Length(prey[p]->position - ship.position);
                if (!taken[p] && (pick == prey.size() || d < best))
                {
                    pick = p;
                    best = d;
                }
            }
            if (pick == prey.size())
            {
                std::fill(taken.begin(), taken.end(), false);
                continue;
            }
            const Contact& target = *prey[pick];
            const Vector spot = target.position + Horizontal(ship.position - target.position) * 60.0f;
            if (ArrivalSeconds(ship, spot) > ship.moveTimeLeft)
            {
                continue;
            }
            taken[pick] = true;
            assigned[i] = true;
            struck++;
            ShipOrders& order = plan.ships[i];
            order.task = ShipTask::Strike;
            order.targetId = target.id;
            order.move = true;
            order.destination = spot;
            order.openFireRange = PreferredRange(ShipRole::Fighter) + 70.0f;
        }
        if (struck > 0)
        {
            return;
        }
    }
    size_t bestTarget = targets.size();
    int bestFace = -1;
    float bestScore = 0.0f;
    for (size_t t = 0; t < targets.size(); t++)
    {
        const Contact& target = *targets[t];
        if (target.role == ShipRole::Fighter)
        {
            continue;
        }
        const float value = TargetValue(target, book, plan.rival, knowledge.players);
        for (int f = 0; f < 4; f++)
        {
            const Vector spot = FaceSpot(target.position, target.orientation, kSideFaces[f],
                                         PreferredRange(ShipRole::Fighter), 0.0f);
            int reaching = 0;
            for (size_t i : fighters)
            {
                reaching += ArrivalSeconds(knowledge.own[i], spot) <= knowledge.own[i].moveTimeLeft ? 1 : 0;
            }
            const float left =
                std::max(1.0f, BelievedHull(memory, book, target, kSideFaces[f]) - given[t * 4 + size_t(f)]);
            const float share = std::min(1.0f, float(reaching) * each / left);
            if (share < tuning.fighterStrikeShare)
            {
                continue;
            }
            const float score = value * share * 600.0f / (left + 100.0f);
            if (score > bestScore)
            {
                bestScore = score;
                bestTarget = t;
                bestFace = f;
            }
        }
    }
    if (bestFace < 0)
    {
        return;
    }
    const Contact& target = *targets[bestTarget];
    int slot = 0;
    for (size_t i : fighters)
    {
        const float lateral = float((slot + 1) / 2) * (slot % 2 == 0 ? 1.0f : -1.0f) * 6.0f;
        slot++;
        const Vector spot = FaceSpot(target.position, target.orientation, kSideFaces[bestFace],
                                     PreferredRange(ShipRole::Fighter), lateral);
        if (ArrivalSeconds(knowledge.own[i], spot) > knowledge.own[i].moveTimeLeft)
        {
            continue;
        }
        assigned[i] = true;
        ShipOrders& order = plan.ships[i];
        order.task = ShipTask::Strike;
        order.targetId = target.id;
        order.face = bestFace;
        order.move = true;
        order.destination = spot;
        order.openFireRange = PreferredRange(ShipRole::Fighter) + 70.0f;
    }
    plan.expectedKills += std::min(
        1.0f, float(slot) * each / std::max(1.0f, BelievedHull(memory, book, target, kSideFaces[bestFace])));
}

// Every own ship waits, closing in no farther than the edge of the enemy's
// reach, the fleet together.
void PlanHold(const Knowledge& knowledge, const ClassBook& book, const Tuning& tuning, int32_t rival,
              std::vector<ShipOrders>& orders, const std::vector<bool>& assigned)
{
    const Vector centre = FleetCentre(knowledge);
    Vector enemy;
    if (!EnemyCentre(knowledge, rival, enemy) && !EnemyCentre(knowledge, -1, enemy))
    {
        return;
    }
    const Vector axis = Horizontal(enemy - centre);
    std::vector<float> advance(knowledge.own.size(), 0.0f);
    float line = 1e9f;
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        if (assigned[i] || ship.role == ShipRole::Fighter)
        {
            continue;
        }
        const ClassProfile& profile = ProfileOf(book, ship.classIndex);
        const float travel = TravelTowards(profile, ship.position, ship.orientation,
                                           ship.position + axis * 100.0f, ship.moveTimeLeft);
        float step = 0.0f;
        for (float a = 20.0f; a <= travel; a += 20.0f)
        {
            if (StrikeThreatAt(knowledge, book, ship.position + axis * a, tuning.holdSlack) > 0.0f)
            {
                break;
            }
            step = a;
        }
        advance[i] = step;
        line = std::min(line, float(Dot(ship.position - centre, axis)) + step);
    }
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        if (assigned[i] || ship.role == ShipRole::Fighter)
        {
            continue;
        }
        const float along = float(Dot(ship.position - centre, axis));
        const float step = std::min(advance[i], std::max(0.0f, line + tuning.fleetSpread - along));
        ShipOrders& order = orders[i];
        order.task = ShipTask::Hold;
        if (step >= 25.0f)
        {
            order.move = true;
            order.destination = ship.position + axis * step;
        }
    }
}

// Fighters not striking screen the fleet: a line ahead of it towards the
// enemy, where they draw the enemy's fighters and fire onto themselves, and
// fight what comes near.
void PlanEscort(const Knowledge& knowledge, const Tuning& tuning, std::vector<ShipOrders>& orders,
                const std::vector<bool>& assigned)
{
    const Vector centre = FleetCentre(knowledge);
    const Contact* enemy = NearestVisible(knowledge, centre, true);
    Vector axis(0.0f, 0.0f, 0.0f);
    if (enemy != nullptr)
    {
        axis = Horizontal(enemy->position - centre);
    }
    const Vector across(axis.z, 0.0f, -axis.x);
    int slot = 0;
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        if (assigned[i] || ship.role != ShipRole::Fighter || CapitalShipCount(knowledge) == 0)
        {
            continue;
        }
        const float side = float((slot + 1) / 2) * (slot % 2 == 0 ? 1.0f : -1.0f) * tuning.screenSpacing;
        slot++;
        const Vector post = centre + axis * tuning.screenDistance + across * side;
        ShipOrders& order = orders[i];
        order.task = ShipTask::Escort;
        if (Length(ship.position - post) > 40.0)
        {
            order.move = true;
            order.destination = post;
        }
        const Contact* near = NearestVisible(knowledge, post, false);
        if (near != nullptr && Length(near->position - post) < tuning.screenGuard)
        {
            order.targetId = near->id;
            order.openFireRange = tuning.screenGuard;
        }
    }
}

// From out of the clouds a ship sees whatever is not in one, however far,
// where from inside one it sees a short way: the capital ships in a cloud
// step out of it for a look round, over its top when that is near, else by
// the nearest way out.
void StepOutForALook(const Knowledge& knowledge, TurnPlan& plan)
{
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        Vector point;
        if (ship.role == ShipRole::Fighter)
        {
            continue;
        }
        if (DensityAt(knowledge.nebulae, ship.position) <= 0.0f)
        {
            plan.ships[i].move = false; // out already: it waits and looks
        }
        else if (OverTheTopPoint(knowledge.nebulae, ship.position, kLookoutOverTheTop, point) ||
                 OpenSpacePoint(knowledge.nebulae, ship.position, kLookoutClearance, kLookoutReach, point))
        {
            plan.ships[i].move = true;
            plan.ships[i].destination = point;
        }
    }
}

// Over the middle of the starting points, above the highest cloud (kGatherFirst).
Vector GatheringPoint(const Knowledge& knowledge)
{
    const int32_t seats = std::max(1, std::min(knowledge.players, 4));
    Vector middle;
    for (int32_t seat = 0; seat < seats; seat++)
    {
        middle += knowledge.starts[seat];
    }
    middle = middle * (1.0f / float(seats));
    for (const NebulaBox& box : knowledge.nebulae)
    {
        if (box.density > 0.0f)
        {
            middle.y = std::max(middle.y, box.max.y + kGatherClearance);
        }
    }
    return middle;
}

// Each ship to a place of its own round the gathering point; the fighters
// only when no capital ship is left, else they search on.
void GatherOverTheMiddle(const Knowledge& knowledge, TurnPlan& plan)
{
    const Vector middle = GatheringPoint(knowledge);
    const bool fightersOnly = CapitalShipCount(knowledge) == 0;
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        if (knowledge.own[i].role == ShipRole::Fighter && !fightersOnly)
        {
            continue;
        }
        const double angle = 2.0 * M_PI * double(i) / double(knowledge.own.size());
        const float spacing = i > 0 ? kGatherSpacing : 0.0f;
        plan.ships[i].move = true;
        plan.ships[i].destination =
            middle + Vector(float(std::cos(angle)) * spacing, 0.0f, float(std::sin(angle)) * spacing);
    }
}

// The capital ship that gets to the gathering point soonest goes there; the
// rest of the fleet searches on.
void SendALookoutOverTheMiddle(const Knowledge& knowledge, TurnPlan& plan)
{
    const Vector middle = GatheringPoint(knowledge);
    int lookout = -1;
    float soonest = 0.0f;
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        if (ship.role == ShipRole::Fighter)
        {
            continue;
        }
        const float seconds = ArrivalSeconds(ship, middle);
        if (lookout < 0 || seconds < soonest)
        {
            lookout = int(i);
            soonest = seconds;
        }
    }
    if (lookout >= 0)
    {
        plan.ships[size_t(lookout)].move = true;
        plan.ships[size_t(lookout)].destination = middle;
    }
}

void PlanSearch(const Knowledge& knowledge, const HardMemory& memory, const std::vector<Vector>& grid,
                TurnPlan& plan)
{
    const Vector centre = FleetCentre(knowledge);
    const bool neverSeen = memory.lastSightTurn == 0 && memory.tracks.empty();
    for (ShipOrders& order : plan.ships)
    {
        order.task = ShipTask::Search;
    }
    // An enemy never seen is given a turn or two to show itself first.
    if (neverSeen && memory.turn <= memory.waitTurns)
    {
        return;
    }
    std::vector<Vector> taken;
    Vector fleetGoal;
    bool fleetGoes = false;
    // Thick dust blinds a ship in it. Fighters search it as anywhere else;
    // capital ships leave it to them while enemy ships are at large
    // somewhere (those are seen from farther off), and search it too once
    // only fighters are left to find.
    bool shipsAtLarge = false;
    for (const ContactTrack& track : memory.tracks)
    {
        shipsAtLarge = shipsAtLarge || (!track.visible && track.role != int32_t(ShipRole::Fighter));
    }
    if (neverSeen)
    {
        // Look round the nebulae at the starting points of the others, but
        // not for a seat left to the rest in the opening.
        const int32_t skip = SeatLeftAlone(knowledge, memory);
        std::vector<Vector> starts;
        for (int32_t seat = 0; seat < knowledge.players && seat < 4; seat++)
        {
            if (seat != knowledge.self && seat != skip)
            {
                starts.push_back(knowledge.starts[seat]);
            }
        }
        fleetGoes = VantagePoint(knowledge.nebulae, centre, starts, kLookSensor, kLookSignature, fleetGoal) &&
                    Length(fleetGoal - centre) > 60.0;
    }
    if (!fleetGoes)
    {
        fleetGoes = NextSearchPoint(knowledge, memory, grid, centre, taken, !shipsAtLarge, fleetGoal);
    }
    if (fleetGoes)
    {
        taken.push_back(fleetGoal);
    }
    const bool spread = memory.lastSightTurn > 0 && memory.turn - memory.lastSightTurn >= kSpreadAfterTurns;
    bool anyFighter = false;
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        ShipOrders& order = plan.ships[i];
        if ((ship.role == ShipRole::Fighter && CapitalShipCount(knowledge) > 0) || spread)
        {
            // Fighters scout on their own, each to a point of its own; so
            // does every ship once the enemy has stayed out of sight long.
            const bool fighter = ship.role == ShipRole::Fighter;
            anyFighter = anyFighter || fighter;
            Vector point;
            if (NextSearchPoint(knowledge, memory, grid, ship.position, taken, fighter || !shipsAtLarge,
                                point))
            {
                taken.push_back(point);
                order.move = true;
                order.destination = point;
            }
            continue;
        }
        if (fleetGoes)
        {
            // The fleet keeps its shape, closed up a little.
            order.move = true;
            order.destination = fleetGoal + (ship.position - centre) * 0.4f;
        }
    }
    const int32_t unseen = memory.turn - memory.lastSightTurn;
    const bool smallFleet = memory.lastSightTurn > 0 && CapitalShipCount(knowledge) <= kLookoutFleet;
    const bool gatheringTurns = memory.turn >= kGatherFirst && memory.turn <= kGatherLast;
    const bool gathering = gatheringTurns && (memory.turn - kGatherFirst) % kLookoutEvery < kLookoutDwell;
    if (smallFleet && gatheringTurns)
    {
        if (gathering)
        {
            GatherOverTheMiddle(knowledge, plan);
        }
    }
    else if (memory.lastSightTurn > 0 && gathering)
    {
        SendALookoutOverTheMiddle(knowledge, plan);
    }
    else if (smallFleet && unseen >= kLookoutFirst &&
             (unseen - kLookoutFirst) % kLookoutEvery < kLookoutDwell)
    {
        StepOutForALook(knowledge, plan);
    }
    // With nothing in sight for a while, a squadron goes scouting.
    if (!anyFighter && memory.turn - memory.lastSightTurn >= 2)
    {
        for (const OwnShip& ship : knowledge.own)
        {
            if (ship.hangarsReady > 0)
            {
                plan.launchFrom.push_back(ship.id);
                break;
            }
        }
    }
}

} // namespace

Vector FaceSpot(const Vector& targetPosition, const Orientation& targetOrientation, int face, float range,
                float lateral)
{
    Vector normal;
    RotateByAngles(kFaceNormals[face], normal, targetOrientation);
    Vector flat = Horizontal(normal);
    if (Length(flat) < 0.5)
    {
        flat = Vector(0.0f, 0.0f, 1.0f);
    }
    const double a = lateral * kDegToRad;
    const float c = float(std::cos(a));
    const float s = float(std::sin(a));
    const Vector turned(flat.x * c + flat.z * s, 0.0f, -flat.x * s + flat.z * c);
    return targetPosition + turned * range;
}

float ArrivalSeconds(const OwnShip& ship, const Vector& point)
{
    const float turning =
        ship.yawRate > 0.0f ? YawToFace(ship.position, ship.orientation, point) / ship.yawRate : 0.0f;
    const float flying = ship.speed > 0.0f ? float(Length(point - ship.position)) / ship.speed : 1e9f;
    return turning + flying;
}

Vector ReachedPoint(const OwnShip& ship, const Vector& point)
{
    const float turning =
        ship.yawRate > 0.0f ? YawToFace(ship.position, ship.orientation, point) / ship.yawRate : 0.0f;
    const float travel = ship.speed * std::max(0.0f, ship.moveTimeLeft - turning);
    const Vector offset = point - ship.position;
    const float distance = float(Length(offset));
    if (distance <= travel || distance < 1e-3f)
    {
        return point;
    }
    return ship.position + offset * (travel / distance);
}

Vector GuardPoint(const OwnShip& ship, const Vector& threat)
{
    const Vector toward = Horizontal(threat - ship.position);
    // The bow to the threat, away from it, or either side to it.
    const Vector bows[4] = {toward, -toward, Vector(toward.z, 0.0f, -toward.x),
                            Vector(-toward.z, 0.0f, toward.x)};
    int best = 0;
    float bestHull = -1e9f;
    for (int i = 0; i < 4; i++)
    {
        const Orientation facing = Ship::OrderOrientation(bows[i].x, 0.0f, bows[i].z);
        Vector local;
        UnrotateByAngles(threat - ship.position, local, facing);
        const float hull = ship.hull[Ship::HitFace(local)];
        // Turning costs time: the bow that needs least turning wins a tie.
        const float turn = YawToFace(ship.position, ship.orientation, ship.position + bows[i]);
        const float score = hull - turn * 0.05f;
        if (score > bestHull)
        {
            bestHull = score;
            best = i;
        }
    }
    return ship.position + bows[best] * 100.0f;
}

int32_t ChooseRival(const Knowledge& knowledge, const HardMemory& memory, const ClassBook& book)
{
    const Vector centre = FleetCentre(knowledge);
    float threat[4] = {};
    float strength[4] = {};
    bool known[4] = {};
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.owner < 0 || contact.owner > 3)
        {
            continue;
        }
        known[contact.owner] = true;
        const ClassProfile& profile = ProfileOf(book, contact.classIndex);
        float hull = 0.0f;
        for (int face = 0; face < 6; face++)
        {
            hull += BelievedHull(memory, book, contact, face);
        }
        strength[contact.owner] += hull;
        for (const OwnShip& ship : knowledge.own)
        {
            threat[contact.owner] += ThreatFrom(contact, profile, ship.position);
        }
    }
    Vector where[4];
    bool placed[4];
    const bool several = knowledge.players > 2 && KnownPlaces(knowledge, where, placed) >= 2;
    const int32_t leftAlone = SeatLeftAlone(knowledge, memory);
    int32_t best = -1;
    float bestScore = 0.0f;
    for (int32_t p = 0; p < 4; p++)
    {
        if (!known[p] || p == knowledge.self || p == leftAlone)
        {
            continue;
        }
        // Who hurts the fleet now and has hurt it, and who is weakest; the
        // rival of before keeps a little favour so the fleet does not waver.
        // With several rivals the nearest is the one that will have to be
        // fought.
        float score = threat[p] + 0.5f * memory.grudge[p] - 0.05f * strength[p] + memory.leaning[p];
        if (several && placed[p])
        {
            score -= kRivalDistanceWeight * float(Length(where[p] - centre));
        }
        if (p == memory.rival)
        {
            score += 150.0f;
        }
        if (best < 0 || score > bestScore)
        {
            best = p;
            bestScore = score;
        }
    }
    // Leaving a seat to the others, the fleet goes for another seat
    // even before it has seen it.
    for (int32_t p = 0; p < knowledge.players && p < 4 && best < 0 && leftAlone >= 0; p++)
    {
        if (p != knowledge.self && p != leftAlone)
        {
            best = p;
        }
    }
    return best;
}

bool LeavesMiddle(const Knowledge& knowledge, const HardMemory& memory)
{
    // Drawn once by chance for each game, and only for the opening and while
    // the middle seat leaves the fleet alone.
    const int32_t middle = MiddleSeat(knowledge);
    return middle >= 0 && middle != knowledge.self && memory.turn <= kLeaveTurns &&
           memory.grudge[middle] < kLeaveGrudge &&
           memory.leaning[middle] < kLeaveMiddleChance * kLeaningRange;
}

int32_t SeatLeftAlone(const Knowledge& knowledge, const HardMemory& memory)
{
    const int32_t middle = MiddleSeat(knowledge);
    if (middle < 0 || middle == knowledge.self || memory.turn > kLeaveTurns)
    {
        return -1;
    }
    if (LeavesMiddle(knowledge, memory))
    {
        return middle;
    }
    // A flank that takes the middle seat on leaves the other flank to it,
    // unless that flank comes for it first.
    int32_t flank = -1;
    for (int32_t p = 0; p < knowledge.players && p < 4; p++)
    {
        if (p != knowledge.self && p != middle)
        {
            if (flank >= 0)
            {
                return -1;
            }
            flank = p;
        }
    }
    return flank >= 0 && memory.grudge[flank] < kLeaveGrudge ? flank : -1;
}

namespace
{

// Every ship takes the enemy nearest to it (the one nearest the fleet's
// middle a little before the others, fighters after ships); one that can
// get to its fighting range this turn goes there and fires, the others close
// in together at the fleet's pace for the turn.
void PlanEngage(const Knowledge& knowledge, const HardMemory& memory, const ClassBook& book,
                const Tuning& tuning, TurnPlan& plan)
{
    const Vector centre = FleetCentre(knowledge);
    // A seat left to the others is fought only when it comes near.
    const int32_t leftAlone = SeatLeftAlone(knowledge, memory);
    auto weigh = [&](const Contact& contact, const Vector& from)
    {
        float d = float(Length(contact.position - from));
        if (contact.role == ShipRole::Fighter)
        {
            d += tuning.fighterPenalty;
        }
        if (knowledge.players > 2 && plan.rival >= 0 && contact.owner != plan.rival && d > tuning.selfDefence)
        {
            d += tuning.otherPlayerPenalty;
            if (contact.owner == leftAlone)
            {
                d += kLeftAlonePenalty;
            }
        }
        return d;
    };
    const Contact* primary = nullptr;
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.visible && (primary == nullptr || weigh(contact, centre) < weigh(*primary, centre)))
        {
            primary = &contact;
        }
    }
    float slowest = 1e9f;
    for (const OwnShip& ship : knowledge.own)
    {
        if (ship.role != ShipRole::Fighter)
        {
            slowest = std::min(slowest, ship.speed * kTurnMoveSeconds);
        }
    }
    const float pace = memory.pace * slowest;
    const bool duel = Duel(knowledge);
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        ShipOrders& order = plan.ships[i];
        const bool escort = ship.role == ShipRole::Fighter && CapitalShipCount(knowledge) > 0;
        const Contact* target = nullptr;
        float best = 0.0f;
        for (const Contact& contact : knowledge.contacts)
        {
            if (!contact.visible || (escort && Length(contact.position - centre) > tuning.escortRange))
            {
                continue;
            }
            float score = weigh(contact, ship.position);
            if (&contact == primary)
            {
                score -= tuning.primaryBonus;
            }
            if (target == nullptr || score < best)
            {
                target = &contact;
                best = score;
            }
        }
        if (target == nullptr)
        {
            if (escort)
            {
                order.task = ShipTask::Escort;
                if (Length(ship.position - centre) > 150.0)
                {
                    order.move = true;
                    order.destination = centre;
                }
            }
            continue;
        }
        const ClassProfile& profile = ProfileOf(book, ship.classIndex);
        const float standoff = PreferredRange(ship.role);
        const float distance = float(Length(target->position - ship.position));
        const float travel =
            TravelTowards(profile, ship.position, ship.orientation, target->position, ship.moveTimeLeft);
        // Fighting range from the target, level with it.
        const Vector levelSpot = target->position + LevelOutward(ship.position, target->position) * standoff;
        order.targetId = target->id;
        order.openFireRange = standoff + 70.0f;
        order.task = ShipTask::Strike;
        // In a duel two last ships often meet in the dust of the battle,
        // where they see each other only close: there a ship in sight of its
        // target holds still and fires, which keeps its fire on one face,
        // rather than back out of sight.
        const bool holdInDuel = ship.role != ShipRole::Fighter && target->role != ShipRole::Fighter && duel &&
                                distance >= kDuelNearest && distance <= standoff + 60.0f;
        if (holdInDuel)
        {
            continue;
        }
        if (distance < (ship.role == ShipRole::Fighter ? kFighterTooClose : kShipTooClose))
        {
            // On top of its target, where fixed guns do not bear and few
            // turrets do: out to fighting range first.
            order.move = true;
            order.destination = levelSpot;
            if (ship.role == ShipRole::Fighter)
            {
                order.openFireRange = -1.0f;
            }
            continue;
        }
        if (distance <= standoff + 60.0f)
        {
            // A capital ship at fighting range from a target steeply above
            // or below it, beyond the pitch of some of its turrets, would
            // hold there with those turrets silent: it goes half way to the
            // target's height, so that two ships that both do so meet level
            // and every turret bears. It keeps as far out as it is (but
            // not on top of the target): backing out to fighting range
            // would take a target in the dust of the battle out of sight.
            const Vector rise = target->position - ship.position;
            const float level = float(Length(Vector(rise.x, 0.0f, rise.z)));
            if (ship.role != ShipRole::Fighter && std::fabs(rise.y) > kSteepSlope * level)
            {
                const float out = std::max(kShipTooClose, std::min(standoff, level));
                order.move = true;
                order.destination = target->position + LevelOutward(ship.position, target->position) * out;
                order.destination.y = 0.5f * (ship.position.y + target->position.y);
            }
            continue;
        }
        if (distance - standoff <= travel || ship.role == ShipRole::Fighter)
        {
            order.move = true;
            order.destination =
                ship.position + (target->position - ship.position) * ((distance - standoff) / distance);
            continue;
        }
        // Out of reach this turn: closing in with the fleet.
        order.task = ShipTask::Hold;
        const float step = std::min(distance - standoff, pace);
        if (step > 25.0f)
        {
            order.move = true;
            order.destination = ship.position + (target->position - ship.position) * (step / distance);
        }
    }
    // Every carrier launches once an enemy is known.
    for (const OwnShip& ship : knowledge.own)
    {
        if (ship.hangarsReady > 0)
        {
            plan.launchFrom.push_back(ship.id);
        }
    }
    GuardAfterFiring(knowledge, plan);
}

} // namespace

namespace
{

// Standing off: the fleet waits where it is, its fighters by it, its
// soundest faces to the enemy; its guns still fire on what comes in reach.
void PlanStandOff(const Knowledge& knowledge, TurnPlan& plan)
{
    const Vector centre = FleetCentre(knowledge);
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        ShipOrders& order = plan.ships[i];
        order.task = ShipTask::Hold;
        if (ship.role == ShipRole::Fighter)
        {
            order.task = ShipTask::Escort;
            if (Length(ship.position - centre) > 150.0)
            {
                order.move = true;
                order.destination = centre;
            }
            continue;
        }
        const Contact* enemy = NearestVisible(knowledge, ship.position, true);
        if (enemy != nullptr)
        {
            order.guard = true;
            order.threat = enemy->position;
        }
    }
}

// Leaving a seat to the others: the fleet closes in together on
// where its rival is known to be (its ships in sight or its ghosts, else its
// starting point) at the turn's pace; the guns still fire on what comes in
// reach.
void PlanAdvance(const Knowledge& knowledge, const HardMemory& memory, TurnPlan& plan)
{
    const Vector centre = FleetCentre(knowledge);
    Vector goal = knowledge.starts[plan.rival];
    PlayerCentre(knowledge, plan.rival, goal);
    float slowest = 1e9f;
    for (const OwnShip& ship : knowledge.own)
    {
        if (ship.role != ShipRole::Fighter)
        {
            slowest = std::min(slowest, ship.speed * kTurnMoveSeconds);
        }
    }
    const float distance = float(Length(goal - centre));
    const float step = std::min(distance - PreferredRange(ShipRole::Gunship), memory.pace * slowest);
    const Vector offset = step > 25.0f ? (goal - centre) * (step / distance) : Vector();
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        const OwnShip& ship = knowledge.own[i];
        ShipOrders& order = plan.ships[i];
        order.task = ShipTask::Hold;
        const Vector destination = ship.role == ShipRole::Fighter ? centre + offset : ship.position + offset;
        if (Length(destination - ship.position) > 25.0)
        {
            order.move = true;
            order.destination = destination;
        }
    }
}

} // namespace

Stance JudgeStance(const Knowledge& knowledge, const HardMemory& memory)
{
    if (knowledge.players <= 2 || knowledge.own.empty() || memory.quietTurns >= kStandOffTurns ||
        UnderAttack(knowledge))
    {
        return Stance::Engage;
    }
    // Two rivals at each other's throats are left to it.
    for (int32_t a = 0; a < 4; a++)
    {
        for (int32_t b = a + 1; b < 4; b++)
        {
            if (a != knowledge.self && b != knowledge.self && Engaged(knowledge, a, b))
            {
                return Stance::Wait;
            }
        }
    }
    // The seat the others have nearest leaves the first blow to them.
    return knowledge.self == MiddleSeat(knowledge) && memory.turn <= kOpeningTurns ? Stance::Wait
                                                                                   : Stance::Engage;
}

TurnPlan PlanTurn(const Knowledge& knowledge, const HardMemory& memory, const ClassBook& book,
                  const Tuning& tuning, const std::vector<Vector>& grid,
                  const std::vector<ShipOrders>& committed)
{
    TurnPlan plan;
    plan.ships.resize(knowledge.own.size());
    for (size_t i = 0; i < knowledge.own.size(); i++)
    {
        plan.ships[i].id = knowledge.own[i].id;
    }
    if (!HasVisibleEnemy(knowledge))
    {
        PlanSearch(knowledge, memory, grid, plan);
        return plan;
    }
    plan.rival = memory.rival >= 0 ? memory.rival : ChooseRival(knowledge, memory, book);
    plan.stance = JudgeStance(knowledge, memory);
    if (plan.stance != Stance::Engage)
    {
        PlanStandOff(knowledge, plan);
        return plan;
    }
    if (SeatLeftAlone(knowledge, memory) >= 0 && plan.rival >= 0 && plan.rival < 4 &&
        !UnderAttack(knowledge) && !SeesPlayer(knowledge, plan.rival))
    {
        PlanAdvance(knowledge, memory, plan);
        return plan;
    }
    if (tuning.doctrine == 1)
    {
        PlanEngage(knowledge, memory, book, tuning, plan);
        return plan;
    }

    // The targets and what each ship can do to each of their side faces.
    std::vector<const Contact*> targets;
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.visible && contact.role != ShipRole::Fighter)
        {
            targets.push_back(&contact);
        }
    }
    if (targets.empty())
    {
        for (const Contact& contact : knowledge.contacts)
        {
            if (contact.visible)
            {
                targets.push_back(&contact);
            }
        }
    }
    const size_t shipCount = knowledge.own.size();
    std::vector<bool> assigned(shipCount, false);
    std::vector<float> given(targets.size() * 4, 0.0f);

    // Ships already on their way to strike a target still in sight keep to it.
    for (size_t i = 0; i < shipCount; i++)
    {
        for (const ShipOrders& order : committed)
        {
            if (order.id != knowledge.own[i].id || order.task != ShipTask::Strike)
            {
                continue;
            }
            for (size_t t = 0; t < targets.size(); t++)
            {
                if (targets[t]->id == order.targetId && order.face >= 0 && order.face < 4)
                {
                    assigned[i] = true;
                    plan.ships[i] = order;
                    const size_t key = t * 4 + size_t(order.face);
                    given[key] += ShipTurnDamageAt(ProfileOf(book, knowledge.own[i].classIndex),
                                                   PreferredRange(knowledge.own[i].role)) *
                                  FireFraction(knowledge.own[i]);
                }
            }
        }
    }

    std::vector<std::vector<Reach>> reach(shipCount, std::vector<Reach>(targets.size() * 4));
    for (size_t i = 0; i < shipCount; i++)
    {
        const OwnShip& ship = knowledge.own[i];
        if (assigned[i] || ship.role == ShipRole::Fighter)
        {
            continue;
        }
        const ClassProfile& profile = ProfileOf(book, ship.classIndex);
        for (size_t t = 0; t < targets.size(); t++)
        {
            if (Length(targets[t]->position - ship.position) >
                WeaponReach(ship.role) + ship.speed * ship.moveTimeLeft)
            {
                continue;
            }
            for (int f = 0; f < 4; f++)
            {
                reach[i][t * 4 + size_t(f)] = StrikeReach(ship, profile, *targets[t], kSideFaces[f]);
            }
        }
    }

    // Greedy: the face whose breaking is worth most, the ships that do most to
    // it, then the next with the ships left.
    for (;;)
    {
        size_t bestTarget = 0;
        int bestFace = -1;
        float bestScore = 0.0f;
        for (size_t t = 0; t < targets.size(); t++)
        {
            const float value = TargetValue(*targets[t], book, plan.rival, knowledge.players);
            for (int f = 0; f < 4; f++)
            {
                const float left = std::max(1.0f, BelievedHull(memory, book, *targets[t], kSideFaces[f]) -
                                                      given[t * 4 + size_t(f)]);
                float total = 0.0f;
                for (size_t i = 0; i < shipCount; i++)
                {
                    if (!assigned[i])
                    {
                        total += reach[i][t * 4 + size_t(f)].damage;
                    }
                }
                if (total <= 0.0f)
                {
                    continue;
                }
                // Worth most: a dangerous ship whose face breaks soon.
                const float share = std::min(1.0f, total / left);
                const float score = value * share * (share >= 1.0f ? 1.5f : 1.0f) * 600.0f / (left + 100.0f);
                if (score > bestScore)
                {
                    bestScore = score;
                    bestTarget = t;
                    bestFace = f;
                }
            }
        }
        if (bestFace < 0)
        {
            break;
        }
        const size_t key = bestTarget * 4 + size_t(bestFace);
        const Contact& target = *targets[bestTarget];
        const float left =
            std::max(1.0f, BelievedHull(memory, book, target, kSideFaces[bestFace]) - given[key]);
        float put = 0.0f;
        while (put < left * tuning.overkill)
        {
            size_t pick = shipCount;
            for (size_t i = 0; i < shipCount; i++)
            {
                if (!assigned[i] && reach[i][key].damage > 0.0f &&
                    (pick == shipCount || reach[i][key].damage > reach[pick][key].damage))
                {
                    pick = i;
                }
            }
            if (pick == shipCount)
            {
                break;
            }
            const OwnShip& ship = knowledge.own[pick];
            assigned[pick] = true;
            put += reach[pick][key].damage;
            ShipOrders& order = plan.ships[pick];
            order.task = ShipTask::Strike;
            order.targetId = target.id;
            order.face = bestFace;
            order.move = true;
            order.destination = ApproachSpot(ship, target.position);
            order.move = Length(order.destination - ship.position) > 30.0;
            order.openFireRange = PreferredRange(ship.role) + 60.0f;
        }
        given[key] += put;
        plan.expectedKills += std::min(1.0f, put / left);
    }

    PlanFighterStrike(knowledge, memory, book, tuning, targets, given, assigned, plan);

    // Strike when it is worth it, when the enemy can strike anyway, or when
    // waiting has gone on too long; otherwise hold.
    bool inReach = false;
    for (const OwnShip& ship : knowledge.own)
    {
        if (ship.role != ShipRole::Fighter && StrikeThreatAt(knowledge, book, ship.position, 0.0f) > 0.0f)
        {
            inReach = true;
        }
    }
    const bool impatient = memory.quietTurns >= memory.patience;
    plan.strike = plan.expectedKills >= tuning.strikeKills || inReach || impatient || memory.striking;
    // Enemy fighters on the fleet take its fire this turn: it does not go on
    // into the enemy's guns with nothing left to fire.
    int fightersNear = 0;
    const Vector fleetCentre = FleetCentre(knowledge);
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.visible && contact.role == ShipRole::Fighter &&
            Length(contact.position - fleetCentre) < tuning.defendRange)
        {
            fightersNear++;
        }
    }
    if (fightersNear >= tuning.defendFighters && !memory.striking)
    {
        plan.strike = false;
    }
    if (!plan.strike)
    {
        for (size_t i = 0; i < shipCount; i++)
        {
            if (assigned[i])
            {
                plan.ships[i] = ShipOrders();
                plan.ships[i].id = knowledge.own[i].id;
                assigned[i] = false;
            }
        }
        plan.expectedKills = 0.0f;
        PlanHold(knowledge, book, tuning, plan.rival, plan.ships, assigned);
    }
    else
    {
        // Ships with no firing position this turn close in on the enemy:
        // within its reach they will be anyway.
        for (size_t i = 0; i < shipCount; i++)
        {
            const OwnShip& ship = knowledge.own[i];
            if (assigned[i] || ship.role == ShipRole::Fighter)
            {
                continue;
            }
            const Contact* enemy = NearestVisible(knowledge, ship.position, true);
            if (enemy == nullptr)
            {
                continue;
            }
            const Vector spot =
                enemy->position + Horizontal(ship.position - enemy->position) * PreferredRange(ship.role);
            plan.ships[i].task = ShipTask::Hold;
            plan.ships[i].move = Length(spot - ship.position) > 25.0;
            plan.ships[i].destination = spot;
            plan.ships[i].targetId = enemy->id;
        }
    }
    PlanEscort(knowledge, tuning, plan.ships, assigned);

    GuardAfterFiring(knowledge, plan);

    // Carriers launch once the enemy comes near: the fighters screen the fleet.
    for (const OwnShip& ship : knowledge.own)
    {
        if (ship.hangarsReady == 0)
        {
            continue;
        }
        const Contact* enemy = NearestVisible(knowledge, ship.position, true);
        if (enemy != nullptr && Length(enemy->position - ship.position) <= tuning.launchRange)
        {
            plan.launchFrom.push_back(ship.id);
        }
    }
    return plan;
}
