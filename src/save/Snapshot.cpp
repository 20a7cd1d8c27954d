#include "save/Snapshot.h"

#include <cmath>
#include <map>
#include <set>

#include "players/Seat.h"

namespace
{

// Bounds far beyond any game, that keep a damaged save from asking the game
// for unbounded work: the game makes at most 20 capital ships and 80 fighters,
// a few hundred clouds per map and 2000 in all.
constexpr size_t kMaxShips = 10000;
constexpr size_t kMaxRegions = 5000;
constexpr size_t kMaxClouds = 100000;
constexpr size_t kMaxNameLength = 256;
// An explosion spawns count / (1 + age / 10) clouds a tick while younger than 30.
constexpr float kMaxExplosionCount = 1000.0f;

std::string Ship(const ShipRecord& ship)
{
    return "ship " + std::to_string(ship.id);
}

bool CheckClouds(const std::vector<CloudRecord>& clouds, const std::string& where, size_t& total,
                 std::string& error)
{
    total += clouds.size();
    if (total > kMaxClouds)
    {
        error = "more than " + std::to_string(kMaxClouds) + " clouds";
        return false;
    }
    for (const CloudRecord& cloud : clouds)
    {
        if (cloud.lod < 0 || cloud.lod > 2)
        {
            error = where + ": a cloud's level of detail is " + std::to_string(cloud.lod);
            return false;
        }
        if ((!cloud.angles.empty() && cloud.angles.size() != kPuffAngleCount) ||
            (!cloud.spins.empty() && cloud.spins.size() != kPuffAngleCount))
        {
            error = where + ": a cloud has " + std::to_string(cloud.angles.size()) + " puff angles";
            return false;
        }
    }
    return true;
}

bool ValidTurretState(int32_t state)
{
    return state >= 0 && state <= 4;
}

bool ValidMotionState(int32_t state)
{
    return (state >= 0 && state <= 3) || state == 153;
}

} // namespace

bool CheckSnapshot(const Snapshot& s, std::string& error)
{
    const size_t players = s.players.size();
    if (players < 2 || players > 4)
    {
        error = std::to_string(players) + " players";
        return false;
    }
    if (s.currentPlayer >= players)
    {
        error =
            "the next player is " + std::to_string(s.currentPlayer + 1ull) + " of " + std::to_string(players);
        return false;
    }
    if (s.state < 0 || s.state > 2 || s.orderMode < 1 || s.orderMode > 5 || s.orderType < 0 ||
        s.orderType > 5 || s.viewMode < 0 || s.viewMode > 1)
    {
        error = "the game's mode is out of range";
        return false;
    }
    if (s.ships.size() > kMaxShips || s.regions.size() > kMaxRegions)
    {
        error = "too many ships or regions";
        return false;
    }

    // Ships: unique ids below the id counter, owned by a player of the game.
    std::map<uint32_t, const ShipRecord*> ships;
    for (const ShipRecord& ship : s.ships)
    {
        if (ship.id == 0 || ship.id >= s.nextId || !ships.emplace(ship.id, &ship).second)
        {
            error = Ship(ship) + ": its id is 0, repeated or not below the id counter";
            return false;
        }
        if (ship.owner < 0 || size_t(ship.owner) >= players)
        {
            error = Ship(ship) + ": owner " + std::to_string(ship.owner);
            return false;
        }
        if (ship.model.empty() || ship.model.size() > kMaxNameLength || ship.name.size() > kMaxNameLength)
        {
            error = Ship(ship) + ": its class or name";
            return false;
        }
        if (!ValidMotionState(ship.motionState))
        {
            error = Ship(ship) + ": motion state " + std::to_string(ship.motionState);
            return false;
        }
    }
    auto known = [&](uint32_t id) { return id == 0 || ships.count(id) != 0; };

    // Where each ship belongs: one fleet, or the wrecks, or a fleet and the
    // wrecks when it was destroyed in the turn just over.
    std::map<uint32_t, int> fleetOf;
    std::set<uint32_t> wrecks;
    for (size_t p = 0; p < players; p++)
    {
        const PlayerRecord& player = s.players[p];
        if (player.seat < int32_t(SeatKind::Human) || player.seat > int32_t(SeatKind::ComputerHard))
        {
            error = "player " + std::to_string(p + 1) + ": seat " + std::to_string(player.seat);
            return false;
        }
        if (player.isCurrent != (p == s.currentPlayer))
        {
            error = "player " + std::to_string(p + 1) + ": whose turn it is";
            return false;
        }
        for (uint32_t id : player.fleet)
        {
            if (ships.count(id) == 0 || ships[id]->owner != int32_t(p) || !fleetOf.emplace(id, int(p)).second)
            {
                error = "player " + std::to_string(p + 1) + ": fleet ship " + std::to_string(id);
                return false;
            }
        }
        std::set<uint32_t> selected;
        for (uint32_t id : player.selection)
        {
            const auto fleet = fleetOf.find(id);
            if (fleet == fleetOf.end() || fleet->second != int(p) || !selected.insert(id).second)
            {
                error = "player " + std::to_string(p + 1) + ": selected ship " + std::to_string(id);
                return false;
            }
        }
    }
    for (uint32_t id : s.wrecks)
    {
        if (ships.count(id) == 0 || ships[id]->alive || !wrecks.insert(id).second)
        {
            error = "wreck " + std::to_string(id);
            return false;
        }
    }
    for (const ShipRecord& ship : s.ships)
    {
        const bool inFleet = fleetOf.count(ship.id) != 0;
        const bool wreck = wrecks.count(ship.id) != 0;
        if (!inFleet && !wreck)
        {
            error = Ship(ship) + ": in no fleet and no wreck";
            return false;
        }
        if (!known(ship.target))
        {
            error = Ship(ship) + ": target " + std::to_string(ship.target);
            return false;
        }
        for (const DetectionRecord& entry : ship.detection)
        {
            if (entry.player < 0 || size_t(entry.player) >= players || entry.state < 0 || entry.state > 2 ||
                entry.observers.size() != entry.observing.size())
            {
                error = Ship(ship) + ": a detection entry";
                return false;
            }
        }
        for (const BeamTurretRecord& turret : ship.beamTurrets)
        {
            if (!ValidTurretState(turret.state) || !known(turret.target))
            {
                error = Ship(ship) + ": a beam turret's state or target";
                return false;
            }
        }
        for (const GunTurretRecord& turret : ship.gunTurrets)
        {
            if (!ValidTurretState(turret.state) || !known(turret.target))
            {
                error = Ship(ship) + ": a gun turret's state or target";
                return false;
            }
        }
        if (ship.shownBeamTurret < -1 || ship.shownBeamTurret >= int64_t(ship.beamTurrets.size()) ||
            ship.shownGunTurret < -1 || ship.shownGunTurret >= int64_t(ship.gunTurrets.size()) ||
            ship.shownHangar < -1 || ship.shownHangar >= int64_t(ship.hangars.size()))
        {
            error = Ship(ship) + ": the part its panel shows";
            return false;
        }
    }
    for (const BulletRecord& bullet : s.bullets)
    {
        if (!known(bullet.target))
        {
            error = "a bullet's target " + std::to_string(bullet.target);
            return false;
        }
    }

    size_t clouds = 0;
    for (size_t r = 0; r < s.regions.size(); r++)
    {
        if (!CheckClouds(s.regions[r].clouds, "region " + std::to_string(r), clouds, error))
        {
            return false;
        }
    }
    for (size_t e = 0; e < s.explosions.size(); e++)
    {
        const ExplosionRecord& explosion = s.explosions[e];
        if (!(explosion.age >= 0.0f) || !(explosion.count >= 0.0f && explosion.count <= kMaxExplosionCount))
        {
            error = "explosion " + std::to_string(e) + ": its age or count";
            return false;
        }
        if (!CheckClouds(explosion.clouds, "explosion " + std::to_string(e), clouds, error))
        {
            return false;
        }
    }
    return true;
}
