#include "players/AutoPlayer.h"

#include <algorithm>
#include <cmath>

#include "ai/ComputerMemory.h"
#include "app/Startup.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "input/EventHandling.h"
#include "input/KeyCommands.h"
#include "players/FleetActivity.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"
#include "world/NebulaRegion.h"

namespace
{

// How far from its target each kind of ship stops to fight: beams do full
// damage within 300, bullets spread with range, fixed guns point only ahead.
constexpr float kFighterStandoff = 90.0f;
constexpr float kCarrierStandoff = 320.0f;
constexpr float kBeamStandoff = 200.0f;
constexpr float kGunStandoff = 220.0f;
// A ship this much farther than its standoff closes in before it fires.
constexpr float kRangeSlack = 60.0f;
// Beyond this range bullets fall short and beams do next to nothing.
constexpr float kEngageRange = 600.0f;
// A move with less time than this left is not worth its turning.
constexpr float kMinMoveTime = 0.5f;
constexpr int kMaxMovesPerTurn = 3;
// A ghost whose last position one of our ships has come this close to,
// without seeing the ship, is no longer worth visiting.
constexpr float kGhostCheckRange = 40.0f;
// A search point the fleet has come this close to is done.
constexpr float kSearchPointReached = 150.0f;
// Nebula boxes at least this wide are worth sweeping (a wreck's dust is 100).
constexpr float kSearchRegionSize = 150.0f;
// Fighters with nothing to do stay within this of their fleet.
constexpr float kFighterLeash = 150.0f;
// Target choice, in units of distance: other ships before fighters, and the
// fleet's common target first.
constexpr float kFighterPenalty = 150.0f;
constexpr float kPrimaryBonus = 120.0f;
// How much farther, at most, an enemy player may count when the fleet picks
// its targets: each player has a rival by chance, not only its neighbours.
// Enemies closer than the self-defence range are fought whoever they are.
constexpr float kRivalrySpread = 1200.0f;
constexpr float kSelfDefenceRange = 400.0f;
// Fighters strike only enemies this near to their own capital ships.
constexpr float kEscortRange = 600.0f;

bool IsFighter(const Ship& ship)
{
    if (!ship.hangars.empty() || !ship.beamTurrets.empty() || ship.gunTurrets.empty())
    {
        return false;
    }
    for (const GunTurret* guns : ship.gunTurrets)
    {
        if (!guns->IsFixed())
        {
            return false;
        }
    }
    return true;
}

float Standoff(const Ship& ship)
{
    if (IsFighter(ship))
    {
        return kFighterStandoff;
    }
    if (!ship.hangars.empty())
    {
        return kCarrierStandoff;
    }
    if (!ship.beamTurrets.empty())
    {
        return kBeamStandoff;
    }
    return kGunStandoff;
}

// How far the ship can fly on the movement time it has left, not counting turns.
float TravelThisTurn(const Ship& ship)
{
    return ship.speed * ship.moveTimeLeft / kTickSeconds;
}

float Distance(const Vector& a, const Vector& b)
{
    return float(Length(b - a));
}

} // namespace

AutoPlayer::AutoPlayer(Game& game_, Player& player_, uint32_t seed)
    : game(game_), player(player_),
      chanceState(seed * 2654435761u + uint32_t(player_.GetIndex()) * 40503u + 1u), searchIndex(0),
      approachStep(0.0f), rivalry{}, ticks(0)
{
    // Where to look when no enemy is known: the middle of the map first, then
    // the large nebulae and the other players' starting points, round the map
    // from an angle chosen by chance.
    std::vector<Vector> around;
    for (const NebulaRegion* region : game.GetEnvironment()->regions)
    {
        const Vector size = region->max - region->min;
        if (size.x >= kSearchRegionSize || size.z >= kSearchRegionSize)
        {
            around.push_back((region->min + region->max) * 0.5f);
        }
    }
    for (const Player* other : game.GetPlayers())
    {
        if (other != &player)
        {
            around.push_back(gPlacements[other->GetIndex()].focus);
        }
    }
    // Among several enemies at the same distance, which one to fight first is
    // decided by chance, not by the order of the seats.
    for (float& grudge : rivalry)
    {
        grudge = float(NextChance() * kRivalrySpread);
    }
    const double start = NextChance() * 360.0;
    auto bearing = [start](const Vector& p)
    {
        const double a = std::atan2(double(p.x), double(p.z)) * 180.0 / 3.14159265358979 - start;
        return a < 0.0 ? a + 360.0 : a;
    };
    std::stable_sort(around.begin(), around.end(),
                     [&](const Vector& a, const Vector& b) { return bearing(a) < bearing(b); });
    searchPoints.push_back(Vector(0.0f, 0.0f, 0.0f));
    searchPoints.insert(searchPoints.end(), around.begin(), around.end());
}

void AutoPlayer::PlayTurn()
{
    PlayTurn([this]() { AdvanceGameTick(game); });
}

void AutoPlayer::PlayTurn(const std::function<void()>& advanceTick)
{
    turns.clear();
    ticks = 0;
    StartTurn();
    while (game.GetState() == 0)
    {
        Act();
        if (game.GetState() != 0)
        {
            break;
        }
        advanceTick();
        ticks++;
    }
}

void AutoPlayer::StartTurn()
{
    // The fleet closes in at the pace of its slowest ship, and by chance
    // anything from half to all of that: who comes within reach first is not
    // fixed by the order of the turns.
    float slowest = 0.0f;
    bool any = false;
    for (int fighters = 0; fighters < 2 && !any; fighters++)
    {
        for (const Ship* ship : player.fleet)
        {
            if (ship->IsAlive() && IsFighter(*ship) == (fighters == 1) &&
                (!any || TravelThisTurn(*ship) < slowest))
            {
                slowest = TravelThisTurn(*ship);
                any = true;
            }
        }
    }
    approachStep = float((0.25 + 0.75 * NextChance()) * slowest);
    AimCamera(Contacts());
}

void AutoPlayer::Act()
{
    // Once one player alone has ships, the game ends when the last wreck has
    // burned out: wait for it rather than hand the turn on.
    const bool decided = game.WinnerIndex() != -1;
    if (ticks >= kMaxTurnTicks)
    {
        EndTurn();
        return;
    }
    const std::vector<Contact> contacts = Contacts();
    LaunchFighters(contacts);
    const std::vector<Ship*> fleet = player.fleet;
    for (Ship* ship : fleet)
    {
        if (ship->IsAlive())
        {
            ActForShip(*ship, contacts);
        }
    }
    if (!decided && !IsFleetBusy(game, player))
    {
        EndTurn();
    }
}

void AutoPlayer::ActForShip(Ship& ship, const std::vector<Contact>& contacts)
{
    ShipTurn& turn = turns[ship.id];
    const Contact* target = ChooseTarget(ship, contacts);
    if (IsUnderWay(ship.motionState))
    {
        // A ship out searching stops as soon as an enemy comes into sight.
        if (turn.searching && target != nullptr)
        {
            StopShip(ship);
            turn.searching = false;
        }
        return;
    }
    if (turn.engaged && ship.target != nullptr && ship.target->IsAlive())
    {
        return;
    }
    const bool canMove = ship.moveTimeLeft > kMinMoveTime && turn.moves < kMaxMovesPerTurn && !turn.holding;
    if (target != nullptr)
    {
        const Vector offset = target->position - ship.position;
        const float distance = float(Length(offset));
        const float standoff = Standoff(ship);
        if (distance > standoff + kRangeSlack && canMove)
        {
            // Within reach this turn: close to weapon range. Otherwise advance
            // with the fleet, at the pace chosen for this turn.
            float step = distance - standoff;
            if (step > TravelThisTurn(ship))
            {
                step = std::min(step, approachStep);
                turn.holding = true;
            }
            MoveTo(ship, ship.position + offset * (step / distance));
            turn.moves++;
            turn.searching = false;
            return;
        }
        if (distance <= kEngageRange)
        {
            Engage(ship, *target->ship);
            turn.engaged = true;
        }
        return;
    }
    Vector goal;
    if (canMove && turn.moves == 0 && SearchGoal(ship, contacts, goal) &&
        Distance(ship.position, goal) > kGhostCheckRange)
    {
        // The fleet searches together, at the pace of the turn; fighters
        // going back to it fly at full speed.
        const float distance = Distance(ship.position, goal);
        if (!IsFighter(ship) && distance > approachStep)
        {
            goal = ship.position + (goal - ship.position) * (approachStep / distance);
        }
        MoveTo(ship, goal);
        turn.moves++;
        turn.searching = true;
    }
}

std::vector<AutoPlayer::Contact> AutoPlayer::Contacts()
{
    std::vector<Contact> contacts;
    for (const Player* other : game.GetPlayers())
    {
        if (other == &player)
        {
            continue;
        }
        for (Ship* ship : other->fleet)
        {
            if (!ship->IsAlive())
            {
                continue;
            }
            const auto entry = ship->detection.find(player.GetIndex());
            if (entry == ship->detection.end())
            {
                continue;
            }
            const DetectionEntry& known = entry->second;
            if (known.state == 2)
            {
                contacts.push_back({ship, ship->position, true, IsFighter(*ship)});
                continue;
            }
            if (known.state != 1)
            {
                continue;
            }
            const auto stale = staleGhosts.find(ship->id);
            if (stale != staleGhosts.end() && stale->second == known.lastPosition)
            {
                continue;
            }
            // A ghost that one of our ships has reached without finding it is
            // forgotten until the ship is seen again.
            bool checked = false;
            for (const Ship* own : player.fleet)
            {
                if (own->IsAlive() && Distance(own->position, known.lastPosition) < kGhostCheckRange)
                {
                    checked = true;
                    break;
                }
            }
            if (checked)
            {
                staleGhosts[ship->id] = known.lastPosition;
                continue;
            }
            contacts.push_back({ship, known.lastPosition, false, IsFighter(*ship)});
        }
    }
    return contacts;
}

const AutoPlayer::Contact* AutoPlayer::ChooseTarget(const Ship& ship,
                                                    const std::vector<Contact>& contacts) const
{
    // The fleet's common target: the enemy in sight nearest to the middle of
    // our capital ships (of the whole fleet when only fighters are left),
    // each enemy player counted as farther by the player's own grudge.
    Vector centre = FleetCentre(true);
    const Contact* primary = nullptr;
    float primaryDistance = 0.0f;
    for (const Contact& contact : contacts)
    {
        const float d = Distance(centre, contact.position) + (contact.fighter ? kFighterPenalty : 0.0f) +
                        rivalry[contact.ship->GetOwner()];
        if (contact.visible && (primary == nullptr || d < primaryDistance))
        {
            primary = &contact;
            primaryDistance = d;
        }
    }
    // Fighters escort the fleet: they strike what is near it, not whatever
    // their long flight could reach.
    const bool escort = IsFighter(ship) && HasCapitalShips();
    const Contact* best = nullptr;
    float bestScore = 0.0f;
    for (const Contact& contact : contacts)
    {
        if (!contact.visible || (escort && Distance(centre, contact.position) > kEscortRange))
        {
            continue;
        }
        float score = Distance(ship.position, contact.position);
        if (score > kSelfDefenceRange)
        {
            score += rivalry[contact.ship->GetOwner()];
        }
        if (contact.fighter)
        {
            score += kFighterPenalty;
        }
        if (&contact == primary)
        {
            score -= kPrimaryBonus;
        }
        if (best == nullptr || score < bestScore)
        {
            best = &contact;
            bestScore = score;
        }
    }
    return best;
}

bool AutoPlayer::SearchGoal(const Ship& ship, const std::vector<Contact>& contacts, Vector& goal)
{
    // Escorting fighters go back to the fleet rather than after the enemy.
    const bool escort = IsFighter(ship) && HasCapitalShips();
    const Contact* nearest = nullptr;
    for (const Contact& contact : contacts)
    {
        if (!escort && (nearest == nullptr || Distance(ship.position, contact.position) <
                                                  Distance(ship.position, nearest->position)))
        {
            nearest = &contact;
        }
    }
    if (nearest != nullptr)
    {
        goal = nearest->position;
        return true;
    }
    const Vector fleetCentre = FleetCentre(true);
    if (IsFighter(ship))
    {
        // Back to the fleet, unless the fighters are all that is left.
        if (fleetCentre != ship.position && Distance(ship.position, fleetCentre) > kFighterLeash)
        {
            goal = fleetCentre;
            return true;
        }
        if (HasCapitalShips())
        {
            return false;
        }
    }
    if (searchPoints.empty())
    {
        return false;
    }
    if (Distance(fleetCentre, searchPoints[searchIndex]) < kSearchPointReached)
    {
        searchIndex = (searchIndex + 1) % searchPoints.size();
    }
    goal = searchPoints[searchIndex];
    return true;
}

void AutoPlayer::LaunchFighters(const std::vector<Contact>& contacts)
{
    if (contacts.empty())
    {
        return;
    }
    const std::vector<Ship*> fleet = player.fleet;
    for (Ship* ship : fleet)
    {
        if (!ship->IsAlive())
        {
            continue;
        }
        // The panel lists beam turrets, gun turrets, then hangars: click the
        // hangar's entry, then "Launch fighters".
        const int firstHangar = int(ship->beamTurrets.size() + ship->gunTurrets.size());
        for (size_t h = 0; h < ship->hangars.size(); h++)
        {
            Hangar* hangar = ship->hangars[h];
            if (hangar->GetSquadronsLeft() <= 0 || hangar->HasLaunchedThisTurn())
            {
                continue;
            }
            Select(*ship);
            ship->SelectPart(firstHangar + int(h));
            hangar->Launch(ship->position, ship->orientation);
        }
    }
}

void AutoPlayer::AimCamera(const std::vector<Contact>& contacts)
{
    // Behind the fleet, looking at the nearest enemy known, high enough to
    // see both: a person watching sees what the player does.
    const Vector centre = FleetCentre(false);
    if (player.FleetSize() == 0)
    {
        return;
    }
    Vector look(0.0f, 0.0f, 0.0f);
    float nearest = 0.0f;
    bool found = false;
    for (const Contact& contact : contacts)
    {
        const float d = Distance(centre, contact.position);
        if (!found || d < nearest)
        {
            look = contact.position;
            nearest = d;
            found = true;
        }
    }
    Vector direction(look.x - centre.x, 0.0f, look.z - centre.z);
    if (Length(direction) < 1.0)
    {
        direction = Vector(-centre.x, 0.0f, -centre.z);
    }
    if (Length(direction) < 1.0)
    {
        return;
    }
    Normalize(direction);
    const float heading = float(std::atan2(-direction.x, -direction.z) * 180.0 / 3.14159265358979);
    player.SetHeading(heading < 0.0f ? heading + 360.0f : heading);
    const Vector focus = centre - direction * 150.0f;
    player.SetFocus(focus.x, centre.y + 150.0f, focus.z);
    player.SetZoom(1.3f);
}

bool AutoPlayer::HasCapitalShips() const
{
    for (const Ship* ship : player.fleet)
    {
        if (ship->IsAlive() && !IsFighter(*ship))
        {
            return true;
        }
    }
    return false;
}

Vector AutoPlayer::FleetCentre(bool capitalOnly) const
{
    Vector sum(0.0f, 0.0f, 0.0f);
    int count = 0;
    for (const Ship* ship : player.fleet)
    {
        if (ship->IsAlive() && !(capitalOnly && IsFighter(*ship)))
        {
            sum += ship->position;
            count++;
        }
    }
    if (count == 0)
    {
        return capitalOnly ? FleetCentre(false) : sum;
    }
    return sum * (1.0f / float(count));
}

void AutoPlayer::Select(const Ship& ship)
{
    // A click on the ship in the scene, with no order pending.
    if (player.selection.size() == 1 && player.selection.front() == &ship)
    {
        return;
    }
    game.SetOrderMode(1);
    game.SetOrderType(0);
    Pick(game, 0, 0, ship.id);
}

void AutoPlayer::MoveTo(Ship& ship, const Vector& point)
{
    // "m", the point placed with the pointer (and Ctrl for its height), a click.
    Select(ship);
    HandleKeyPress(game, SDLK_m);
    game.SetOrderPoint(point.x, point.y, point.z);
    Pick(game, 0, 0, 0);
}

void AutoPlayer::Engage(Ship& ship, const Ship& target)
{
    // "a" and a click on the enemy: every turret takes the target and the
    // ship turns its bow to it.
    Select(ship);
    HandleKeyPress(game, SDLK_a);
    Pick(game, 0, 0, target.id);
}

void AutoPlayer::StopShip(Ship& ship)
{
    Select(ship);
    HandleKeyPress(game, SDLK_s);
}

void AutoPlayer::EndTurn()
{
    HandleKeyPress(game, SDLK_d);
}

void AutoPlayer::SaveMemory(ComputerMemory& memory) const
{
    ScriptedMemory& m = memory.scripted;
    m.chanceState = chanceState;
    m.staleGhosts.clear();
    for (const auto& ghost : staleGhosts)
    {
        m.staleGhosts.push_back({ghost.first, ghost.second});
    }
    m.searchPoints = searchPoints;
    m.searchIndex = uint32_t(searchIndex);
    m.approachStep = approachStep;
    for (int i = 0; i < 4; i++)
    {
        m.rivalry[i] = rivalry[i];
    }
    m.ticks = ticks;
    m.turns.clear();
    for (const auto& turn : turns)
    {
        m.turns.push_back(
            {turn.first, turn.second.moves, turn.second.searching, turn.second.engaged, turn.second.holding});
    }
}

bool AutoPlayer::LoadMemory(const ComputerMemory& memory, std::string& error)
{
    const ScriptedMemory& m = memory.scripted;
    // SearchGoal indexes the search points: an index past them is not this player's.
    if (m.searchPoints.empty() ? m.searchIndex != 0 : m.searchIndex >= m.searchPoints.size())
    {
        error =
            "search point " + std::to_string(m.searchIndex) + " of " + std::to_string(m.searchPoints.size());
        return false;
    }
    chanceState = m.chanceState;
    staleGhosts.clear();
    for (const StaleGhost& ghost : m.staleGhosts)
    {
        staleGhosts[ghost.shipId] = ghost.position;
    }
    searchPoints = m.searchPoints;
    searchIndex = m.searchIndex;
    approachStep = m.approachStep;
    for (int i = 0; i < 4; i++)
    {
        rivalry[i] = m.rivalry[i];
    }
    ticks = m.ticks;
    turns.clear();
    for (const ShipTurnMemory& turn : m.turns)
    {
        ShipTurn& plan = turns[turn.shipId];
        plan.moves = turn.moves;
        plan.searching = turn.searching;
        plan.engaged = turn.engaged;
        plan.holding = turn.holding;
    }
    return true;
}

double AutoPlayer::NextChance()
{
    chanceState = chanceState * 1664525u + 1013904223u;
    return double(chanceState >> 8) / double(1u << 24);
}

void AdvanceGameTick(Game& game)
{
    if (GameOverReached(game))
    {
        game.SetState(2);
    }
    HandleTick(game);
}
