#include "ai/HardPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ai/ComputerMemory.h"
#include "ai/FireControl.h"
#include "ai/Search.h"
#include "ai/Threat.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "players/FleetActivity.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

// A turn's pace of closing in is drawn from this share of the slowest
// ship's travel up to all of it.
constexpr double kPaceLow = 0.25;
// The search grid's widest spacing.
constexpr float kGridSpacing = 160.0f;
// A move with less time than this left is not worth its turning.
constexpr float kMinMoveTime = 0.5f;
constexpr int kMaxMovesPerTurn = 4;
// A new destination this far from the one given is given anew.
constexpr float kRedirect = 60.0f;
// Turning the bow less than this to guard is not worth it.
constexpr float kGuardTurn = 20.0f;
// Beam ships turn their bow to a target further off it than this.
constexpr float kBeamBowArc = 50.0f;
// A fighter's guns point ahead. It turns them on its target by a step this
// long towards it, not by an attack order: a rotation stops only within 2
// degrees of where it was sent, and a fighter turns 6 or 7 degrees a tick,
// so it can turn on past the target again and again for the rest of the
// turn; before a move it turns to within 4 degrees, which a step lands in.
constexpr float kFighterAimStep = 3.0f;
// A fighter whose target is destroyed goes on with the nearest enemy this near.
constexpr float kFighterRetarget = 160.0f;
// Turrets busy on a target look for a better one every so many ticks, and
// change only to one this much better.
constexpr int kTurretLookTicks = 8;
constexpr float kRetargetMargin = 1.6f;
// A searching ship goes on until this near its point.
constexpr double kSearchClose = 8.0;
// The search is planned anew at most this often in a turn.
constexpr int kSearchPlanTicks = 10;
// A ship goes in to strike only with this share of its fire left.
constexpr float kStrikeFire = 0.5f;

bool HasFireLeft(const OwnShip& ship)
{
    for (const TurretView& turret : ship.turrets)
    {
        if (turret.fireTimeLeft > 0.2f && turret.state != Spent)
        {
            return true;
        }
    }
    return false;
}

// The share of the ship's fire time left this turn.
float FireLeft(const OwnShip& ship)
{
    float left = 0.0f;
    for (const TurretView& turret : ship.turrets)
    {
        left += turret.fireTimeLeft;
    }
    return ship.turrets.empty() ? 0.0f : left / (5.0f * float(ship.turrets.size()));
}

// Whether any of the ship's turrets could turn onto the point within its arc.
bool AnyTurretBears(const OwnShip& ship, const Vector& point)
{
    for (const TurretView& turret : ship.turrets)
    {
        if (TurretBears(ship, turret, point))
        {
            return true;
        }
    }
    return false;
}

bool DoneFiring(const OwnShip& ship)
{
    for (const TurretView& turret : ship.turrets)
    {
        if (turret.state == Firing ||
            (turret.state == Aiming && turret.turnTimeLeft > 0.0f && turret.fireTimeLeft > 0.0f))
        {
            return false;
        }
    }
    return true;
}

// With the trace on, what the player knows at the start of its turn: its
// ships (hull left of every face) and its contacts, on standard error.
void TraceKnowledge(const Knowledge& knowledge)
{
    if (!AiTraceOn())
    {
        return;
    }
    for (const OwnShip& ship : knowledge.own)
    {
        std::fprintf(stderr, "    P%d ship %u at %.0f %.0f %.0f hull %.0f %.0f %.0f %.0f %.0f %.0f\n",
                     knowledge.self + 1, ship.id, ship.position.x, ship.position.y, ship.position.z,
                     ship.hull[0], ship.hull[1], ship.hull[2], ship.hull[3], ship.hull[4], ship.hull[5]);
    }
    for (const Contact& contact : knowledge.contacts)
    {
        std::fprintf(stderr, "    P%d %s %u at %.0f %.0f %.0f\n", knowledge.self + 1,
                     contact.visible ? "sees" : "ghost", contact.id, contact.position.x, contact.position.y,
                     contact.position.z);
    }
}

} // namespace

HardPlayer::HardPlayer(Game& game_, Player& player_, uint32_t seed, const Tuning& tuning_)
    : game(game_), player(player_), book(game_), controls(game_, player_), tuning(tuning_),
      hiddenSignature(book.FirstOfRole(ShipRole::Fighter).signature), planSight(0), ticks(0),
      searchPlanTick(0)
{
    memory.chance = ChanceSeed(seed, player.GetIndex());
    for (float& leaning : memory.leaning)
    {
        leaning = float(NextChance(memory) * double(kLeaningRange));
    }
    memory.patience = 1 + int32_t(NextChance(memory) * 3.0);
    memory.waitTurns = 1 + int32_t(NextChance(memory) * 2.0);
}

void HardPlayer::PlayTurn(const std::function<void()>& advanceTick)
{
    ticks = 0;
    searchPlanTick = -kSearchPlanTicks;
    progress.clear();
    Knowledge knowledge = ReadKnowledge(game, player, book);
    TraceKnowledge(knowledge);
    StartTurn(knowledge);
    while (game.GetState() == 0)
    {
        const bool ordered = Act(knowledge);
        if (game.GetState() != 0)
        {
            break;
        }
        if (!ordered && (ticks >= kMaxTurnTicks || (!knowledge.gameDecided && !IsFleetBusy(game, player))))
        {
            EndTurn(memory, knowledge);
            controls.EndTurn();
            break;
        }
        advanceTick();
        ticks++;
        knowledge = ReadKnowledge(game, player, book);
        NoteTick(memory, knowledge);
    }
}

void HardPlayer::SaveMemory(ComputerMemory& saved) const
{
    saved.hard = memory;
    saved.hard.kept = true;
}

bool HardPlayer::LoadMemory(const ComputerMemory& saved, std::string& error)
{
    const HardMemory& m = saved.hard;
    if (!m.kept)
    {
        return true;
    }
    // Seats and roles index arrays and pick profiles: anything else is not
    // this player's memory.
    if (m.rival < -1 || m.rival > 3 || m.gridRegions < 0)
    {
        error =
            "rival " + std::to_string(m.rival) + ", grid of " + std::to_string(m.gridRegions) + " regions";
        return false;
    }
    for (const ContactTrack& track : m.tracks)
    {
        if (track.owner < 0 || track.owner > 3 || track.role < int32_t(ShipRole::Gunship) ||
            track.role > int32_t(ShipRole::Fighter) || track.classIndex < -1 ||
            track.classIndex >= int32_t(book.Classes().size()))
        {
            error = "contact " + std::to_string(track.id) + ": owner " + std::to_string(track.owner) +
                    ", role " + std::to_string(track.role) + ", class " + std::to_string(track.classIndex);
            return false;
        }
    }
    memory = m;
    gridDensity = GridDensity();
    return true;
}

void HardPlayer::StartTurn(const Knowledge& knowledge)
{
    if (size_t(memory.gridRegions) != knowledge.nebulae.size())
    {
        // Regions are only ever added: the grid grows by the new ones.
        if (size_t(memory.gridRegions) > knowledge.nebulae.size())
        {
            memory.searchGrid.clear();
            memory.gridRegions = 0;
            gridDensity = GridDensity();
        }
        ExtendSearchGrid(knowledge.nebulae, size_t(memory.gridRegions), kGridSpacing, memory.searchGrid);
        memory.gridRegions = int32_t(knowledge.nebulae.size());
    }
    const int32_t quietBefore = memory.quietTurns;
    BeginTurn(memory, knowledge);
    if (memory.quietTurns == 1 && quietBefore == 0)
    {
        memory.patience = 1 + int32_t(NextChance(memory) * 3.0);
    }
    memory.rival = ChooseRival(knowledge, memory, book);
    memory.pace = float(kPaceLow + (1.0 - kPaceLow) * NextChance(memory));
    MarkSearched(memory, knowledge, memory.searchGrid, gridDensity, hiddenSignature);
    plan = PlanTurn(knowledge, memory, book, tuning, memory.searchGrid);
    memory.striking = plan.strike;
    planSight = SightSignature(knowledge);
    AimCamera(knowledge);
}

bool HardPlayer::Act(const Knowledge& knowledge)
{
    if (ticks >= kMaxTurnTicks)
    {
        return false;
    }
    MarkSearched(memory, knowledge, memory.searchGrid, gridDensity, hiddenSignature);
    // The plan is made again for a new sight at once, and when a ship that
    // has looked at its search point can still move: a turn then sweeps
    // several points, not one.
    const uint64_t sight = SightSignature(knowledge);
    const bool searchOn =
        sight == planSight && ticks - searchPlanTick >= kSearchPlanTicks && SearchPointReached(knowledge);
    if (sight != planSight || searchOn)
    {
        if (searchOn)
        {
            searchPlanTick = ticks;
        }
        plan = PlanTurn(knowledge, memory, book, tuning, memory.searchGrid, plan.ships);
        memory.striking = memory.striking || plan.strike;
        planSight = sight;
    }
    bool ordered = false;
    claims = TurretClaims(knowledge);
    Launch(knowledge);
    for (const OwnShip& ship : knowledge.own)
    {
        if (const ShipOrders* order = OrdersOf(ship.id))
        {
            ordered = Step(ship, *order, ProgressOf(ship.id), knowledge) || ordered;
        }
    }
    return ordered;
}

const ShipOrders* HardPlayer::OrdersOf(uint32_t id) const
{
    for (const ShipOrders& order : plan.ships)
    {
        if (order.id == id)
        {
            return &order;
        }
    }
    return nullptr;
}

bool HardPlayer::SearchPointReached(const Knowledge& knowledge)
{
    for (const OwnShip& ship : knowledge.own)
    {
        const ShipOrders* order = OrdersOf(ship.id);
        if (order != nullptr && order->task == ShipTask::Search && order->move && !IsUnderWay(ship.motion) &&
            ship.moveTimeLeft > kMinMoveTime && ProgressOf(ship.id).moves < kMaxMovesPerTurn &&
            Length(order->destination - ship.position) <= kSearchClose)
        {
            return true;
        }
    }
    return false;
}

bool HardPlayer::Step(const OwnShip& ship, const ShipOrders& order, Progress& done,
                      const Knowledge& knowledge)
{
    const bool underWay = IsUnderWay(ship.motion);
    const bool newTask = done.task != order.task;
    done.task = order.task;

    if (ship.role == ShipRole::Fighter)
    {
        // Fighters' guns point where they point: once stopped, the fighter
        // turns them on its target.
        const Contact* target = order.targetId != 0 ? FindContact(knowledge, order.targetId) : nullptr;
        if (!underWay && target != nullptr && target->visible && done.targetGiven != target->id &&
            HasFireLeft(ship) && Length(target->position - ship.position) <= order.openFireRange)
        {
            AimFighter(ship, target->id, target->position);
            done.targetGiven = target->id;
            return true;
        }
        // One whose target is gone takes the nearest enemy within its guns' reach.
        const Contact* given = done.targetGiven != 0 ? FindContact(knowledge, done.targetGiven) : nullptr;
        if (!underWay && done.targetGiven != 0 && (given == nullptr || !given->visible) && HasFireLeft(ship))
        {
            const Contact* nearest = nullptr;
            for (const Contact& contact : knowledge.contacts)
            {
                if (contact.visible && Length(contact.position - ship.position) <= kFighterRetarget &&
                    (nearest == nullptr ||
                     Length(contact.position - ship.position) < Length(nearest->position - ship.position)))
                {
                    nearest = &contact;
                }
            }
            if (nearest != nullptr)
            {
                AimFighter(ship, nearest->id, nearest->position);
                done.targetGiven = nearest->id;
                return true;
            }
        }
    }
    else if (AimTurrets(ship, order, done, knowledge, underWay))
    {
        return true;
    }

    // A capital ship that has got where it was going turns its bow to its
    // target when none of its turrets bears on it (after a steep climb or
    // dive, say); a beam ship also when the target is well off its bow.
    if (!underWay && ship.role != ShipRole::Fighter && !done.bowTurned && order.targetId != 0 &&
        (done.moveGiven || !order.move) && ship.moveTimeLeft > 1.0f && HasFireLeft(ship))
    {
        const Contact* target = FindContact(knowledge, order.targetId);
        done.bowTurned = true;
        if (target != nullptr && target->visible &&
            ((ship.role == ShipRole::Beamship &&
              YawToFace(ship.position, ship.orientation, target->position) > kBeamBowArc) ||
             !AnyTurretBears(ship, target->position)))
        {
            controls.RotateTo(ship.id, target->position);
            return true;
        }
    }

    if (underWay)
    {
        // A search is broken off as soon as something comes into sight.
        if (newTask && !order.move)
        {
            controls.Stop(ship.id);
            return true;
        }
        if (order.move && done.moveGiven && Length(order.destination - done.movedTo) > kRedirect &&
            ship.moveTimeLeft > kMinMoveTime && done.moves < kMaxMovesPerTurn)
        {
            controls.MoveTo(ship.id, order.destination);
            done.movedTo = order.destination;
            done.moves++;
            return true;
        }
        return false;
    }

    // A ship that has spent its fire on what came near does not go on to
    // strike: it would only put itself within the enemy's reach.
    const bool spentForStrike =
        order.task == ShipTask::Strike && !done.moveGiven && FireLeft(ship) < kStrikeFire;
    // A search goes right to its point: in thick nebula only that is sure to see.
    const double close = order.task == ShipTask::Search ? kSearchClose : 20.0;
    if (order.move && !spentForStrike && ship.moveTimeLeft > kMinMoveTime && done.moves < kMaxMovesPerTurn &&
        Length(order.destination - ship.position) > close &&
        (!done.moveGiven || Length(order.destination - done.movedTo) > 20.0))
    {
        controls.MoveTo(ship.id, order.destination);
        done.moveGiven = true;
        done.movedTo = order.destination;
        done.moves++;
        return true;
    }

    // Fighters that have fired fall back behind the fleet's guns.
    if (ship.role == ShipRole::Fighter && done.targetGiven != 0 && !done.guarded &&
        ship.moveTimeLeft > 1.0f && DoneFiring(ship) && CapitalShipCount(knowledge) > 0)
    {
        done.guarded = true;
        controls.MoveTo(ship.id, FleetCentre(knowledge));
        return true;
    }

    if (order.guard && !done.guarded && ship.moveTimeLeft > 1.0f && DoneFiring(ship))
    {
        done.guarded = true;
        const Vector point = GuardPoint(ship, order.threat);
        if (YawToFace(ship.position, ship.orientation, point) > kGuardTurn)
        {
            controls.RotateTo(ship.id, point);
            return true;
        }
    }
    return false;
}

void HardPlayer::AimFighter(const OwnShip& ship, uint32_t targetId, const Vector& targetPosition)
{
    controls.Target(ship.id, targetId);
    Vector toward = targetPosition - ship.position;
    Normalize(toward);
    controls.MoveTo(ship.id, ship.position + toward * kFighterAimStep);
}

bool HardPlayer::AimTurrets(const OwnShip& ship, const ShipOrders& order, Progress& done,
                            const Knowledge& knowledge, bool underWay)
{
    if (!HasFireLeft(ship))
    {
        return false;
    }
    // Turrets on a good target keep it between the looks.
    const bool look = (ticks + int(ship.id)) % kTurretLookTicks == 0;
    const bool closingIn = underWay || (order.move && !done.moveGiven && ship.moveTimeLeft > kMinMoveTime);
    for (size_t t = 0; t < ship.turrets.size(); t++)
    {
        const TurretView& turret = ship.turrets[t];
        if (turret.fireTimeLeft <= 0.2f || turret.state == Spent)
        {
            continue;
        }
        const Contact* current = turret.targetId != 0 ? FindContact(knowledge, turret.targetId) : nullptr;
        const bool engaged =
            current != nullptr && current->visible && (turret.state == Firing || turret.state == Aiming);
        if (engaged && !look)
        {
            continue;
        }
        float bestScore = 0.0f;
        const uint32_t best = ChooseTurretTarget(ship, t, knowledge, memory, book, order.targetId, closingIn,
                                                 claims, &bestScore);
        if (best == 0 || (best == turret.targetId && engaged))
        {
            continue;
        }
        if (engaged)
        {
            const float mine = DamageToCome(ship, turret, *current);
            const float others = std::max(0.0f, claims[current->id] - mine);
            const float keep = TurretTargetScore(ship, turret, *current, memory, book,
                                                 current->id == order.targetId, closingIn, others);
            if (keep * kRetargetMargin >= bestScore)
            {
                continue;
            }
            claims[current->id] = others;
        }
        controls.TurretTarget(ship.id, int(t), best);
        const Contact* chosen = FindContact(knowledge, best);
        if (chosen != nullptr)
        {
            claims[best] += DamageToCome(ship, turret, *chosen);
        }
        done.targetGiven = best;
        return true;
    }
    return false;
}

void HardPlayer::Launch(const Knowledge& knowledge)
{
    for (uint32_t carrier : plan.launchFrom)
    {
        const OwnShip* ship = FindOwn(knowledge, carrier);
        if (ship == nullptr || ship->hangarsReady == 0)
        {
            continue;
        }
        Ship* own = nullptr;
        if (!player.FindShip(carrier, own) || own == nullptr)
        {
            continue;
        }
        for (size_t h = 0; h < own->hangars.size(); h++)
        {
            if (own->hangars[h]->GetSquadronsLeft() > 0 && !own->hangars[h]->HasLaunchedThisTurn())
            {
                controls.Launch(carrier, int(h));
                if (!HasVisibleEnemy(knowledge))
                {
                    break; // one squadron is enough to scout
                }
            }
        }
    }
    plan.launchFrom.clear();
}

HardPlayer::Progress& HardPlayer::ProgressOf(uint32_t id)
{
    for (Progress& entry : progress)
    {
        if (entry.id == id)
        {
            return entry;
        }
    }
    progress.push_back(Progress());
    progress.back().id = id;
    return progress.back();
}

uint64_t HardPlayer::SightSignature(const Knowledge& knowledge) const
{
    // Which ships are in sight, and the own fleet's ships.
    uint64_t hash = 1469598103934665603ull;
    auto add = [&hash](uint64_t value) { hash = (hash ^ value) * 1099511628211ull; };
    for (const Contact& contact : knowledge.contacts)
    {
        if (contact.visible)
        {
            add(contact.id);
        }
    }
    add(0xffff);
    for (const OwnShip& ship : knowledge.own)
    {
        add(ship.id);
    }
    return hash;
}

void HardPlayer::AimCamera(const Knowledge& knowledge)
{
    // Behind the fleet, looking at the nearest enemy known: a person watching
    // the computer play sees what it does.
    if (knowledge.own.empty())
    {
        return;
    }
    const Vector centre = FleetCentre(knowledge);
    Vector look;
    double nearest = 0.0;
    bool found = false;
    for (const Contact& contact : knowledge.contacts)
    {
        const double d = Length(contact.position - centre);
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
    const float heading = float(std::atan2(-direction.x, -direction.z) * kRadToDeg);
    player.SetHeading(heading < 0.0f ? heading + 360.0f : heading);
    const Vector focus = centre - direction * 150.0f;
    player.SetFocus(focus.x, centre.y + 150.0f, focus.z);
    player.SetZoom(1.3f);
}
