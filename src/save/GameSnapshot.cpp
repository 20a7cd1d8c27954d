#include "save/GameSnapshot.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "ai/ComputerPlayer.h"
#include "app/Startup.h"
#include "assets/Model.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "players/Player.h"
#include "save/SnapshotCodec.h"
#include "ships/Ship.h"
#include "ui/CommandPanel.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

// ------------------------------------------------------------ puff trees --

// The angles or spins of a puff tree in the order RandomizePuffs draws them.
template <class Get> void WalkPuffs(PuffNode* node, Get get)
{
    if (node == nullptr)
    {
        return;
    }
    if (node->HasChildren())
    {
        WalkPuffs(node->children[4], get);
    }
    for (int i = 0; i < 4; i++)
    {
        get(node, i);
        if (node->HasChildren())
        {
            WalkPuffs(node->children[i], get);
        }
    }
}

std::vector<float> PuffValues(PuffNode* root, bool spins)
{
    std::vector<float> values;
    WalkPuffs(root,
              [&](PuffNode* node, int i)
              {
                  const Vector& v = spins ? node->spin[i] : node->angles[i];
                  values.insert(values.end(), {v.x, v.y, v.z});
              });
    return values;
}

void SetPuffValues(PuffNode* root, const std::vector<float>& values, bool spins)
{
    size_t k = 0;
    WalkPuffs(root,
              [&](PuffNode* node, int i)
              {
                  Vector& v = spins ? node->spin[i] : node->angles[i];
                  if (k + 3 <= values.size())
                  {
                      v = Vector(values[k], values[k + 1], values[k + 2]);
                  }
                  k += 3;
              });
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// ----------------------------------------------------------------- capture --

CloudRecord CaptureCloud(const Cloud& cloud)
{
    CloudRecord record;
    record.position = cloud.position;
    record.velocity = cloud.velocity;
    record.size = cloud.size;
    record.alpha = cloud.alpha;
    record.visible = cloud.visible;
    record.lod = cloud.lod;
    record.blend = cloud.blend;
    record.puffSeed = cloud.puffSeed;
    // The tree drawn from the seed again: only what has changed since is kept.
    PuffNode fresh(2);
    SeedRandom(cloud.puffSeed);
    RandomizePuffs(&fresh);
    const std::vector<float> angles = PuffValues(cloud.puffs, false);
    if (!SameBits(angles, PuffValues(&fresh, false)))
    {
        record.angles = angles;
    }
    const std::vector<float> spins = PuffValues(cloud.puffs, true);
    if (!SameBits(spins, PuffValues(&fresh, true)))
    {
        record.spins = spins;
    }
    return record;
}

std::vector<CloudRecord> CaptureClouds(const std::vector<Cloud*>& clouds)
{
    std::vector<CloudRecord> records;
    records.reserve(clouds.size());
    for (const Cloud* cloud : clouds)
    {
        records.push_back(CaptureCloud(*cloud));
    }
    return records;
}

uint32_t IdOf(const Ship* ship)
{
    return ship == nullptr ? 0 : ship->id;
}

template <class T> int32_t IndexOf(const std::vector<T*>& list, const T* item)
{
    for (size_t i = 0; i < list.size(); i++)
    {
        if (list[i] == item)
        {
            return int32_t(i);
        }
    }
    return -1;
}

ShipRecord CaptureShip(const Ship& ship)
{
    ShipRecord r;
    r.id = ship.id;
    r.owner = ship.owner;
    r.model = ship.model != nullptr ? ship.model->fileName : std::string();
    r.name = ship.name;
    for (int face = 0; face < kHullFaces; face++)
    {
        r.hull[face] = ship.hull[face];
    }
    r.moveTimeLeft = ship.moveTimeLeft;
    r.selected = ship.selected;
    r.targeted = ship.targeted;
    r.lightsOn = ship.lightsOn;
    r.motionState = ship.motionState;
    r.target = IdOf(ship.target);
    r.position = ship.position;
    r.orientation = ship.orientation;
    r.velocity = ship.velocity;
    r.spin = ship.spin;
    for (const auto& entry : ship.detection)
    {
        DetectionRecord d;
        d.player = entry.first;
        d.state = entry.second.state;
        for (const auto& observer : entry.second.observers)
        {
            d.observers.push_back(observer.first);
            d.observing.push_back(observer.second);
        }
        d.lastPosition = entry.second.lastPosition;
        d.lastOrientation = entry.second.lastOrientation;
        r.detection.push_back(d);
    }
    r.destination = ship.destination;
    r.wantedOrientation = ship.wantedOrientation;
    r.deathTime = ship.deathTime;
    r.alive = ship.alive;
    r.envelopeOrigin = ship.envelopeOrigin;
    r.envelopeRegions = uint32_t(ship.envelopeRegions);
    r.envelopeStale = ship.envelopeStale;
    for (const BeamTurret* turret : ship.beamTurrets)
    {
        BeamTurretRecord t;
        t.aim = turret->aim;
        t.selected = turret->selected;
        t.showCone = turret->showCone;
        t.burstFire = turret->burstFire;
        t.state = turret->state;
        t.beamId = turret->beamId;
        t.fireTimeLeft = turret->fireTimeLeft;
        t.turnTimeLeft = turret->turnTimeLeft;
        t.burstTimeLeft = turret->burstTimeLeft;
        t.target = IdOf(turret->target);
        r.beamTurrets.push_back(t);
    }
    for (const GunTurret* turret : ship.gunTurrets)
    {
        GunTurretRecord t;
        t.aim = turret->aim;
        t.selected = turret->selected;
        t.showCone = turret->showCone;
        t.burstFire = turret->burstFire;
        t.state = turret->state;
        t.fireTimeLeft = turret->fireTimeLeft;
        t.turnTimeLeft = turret->turnTimeLeft;
        t.burstTimeLeft = turret->burstTimeLeft;
        t.shotCounter = turret->shotCounter;
        t.target = IdOf(turret->target);
        r.gunTurrets.push_back(t);
    }
    for (const Hangar* hangar : ship.hangars)
    {
        r.hangars.push_back({hangar->squadronsLeft, hangar->launchedThisTurn, hangar->selected});
    }
    for (const ShipLight* light : ship.lights)
    {
        r.lightBlinkTimes.push_back(light->blinkTime);
    }
    if (ship.panel != nullptr)
    {
        r.shownBeamTurret =
            IndexOf(ship.beamTurrets, static_cast<const BeamTurret*>(ship.panel->shownBeamTurret));
        r.shownGunTurret =
            IndexOf(ship.gunTurrets, static_cast<const GunTurret*>(ship.panel->shownGunTurret));
        r.shownHangar = IndexOf(ship.hangars, static_cast<const Hangar*>(ship.panel->shownHangar));
    }
    return r;
}

PlayerRecord CapturePlayer(const Player& player)
{
    PlayerRecord r;
    r.seat = int32_t(player.seat);
    if (player.computer != nullptr)
    {
        player.computer->SaveMemory(r.memory);
    }
    r.cameraFocus = player.cameraFocus;
    r.cameraGoal = player.cameraGoal;
    r.cameraStep = player.cameraStep;
    r.heading = player.heading;
    r.viewDirection = player.viewDirection;
    r.zoom = player.zoom;
    r.cameraVelocity = player.cameraVelocity;
    r.headingRate = player.headingRate;
    for (const Ship* ship : player.fleet)
    {
        r.fleet.push_back(ship->id);
    }
    for (const Ship* ship : player.selection)
    {
        r.selection.push_back(ship->id);
    }
    r.selectionCentre = player.selectionCentre;
    r.cameraGliding = player.cameraGliding;
    r.isCurrent = player.isCurrent;
    for (int i = 0; i < 16; i++)
    {
        r.modelview[i] = player.modelview[i];
        r.projection[i] = player.projection[i];
    }
    r.glideTicks = player.glideTicks;
    return r;
}

// ----------------------------------------------------------------- restore --

void RestoreCloud(const CloudRecord& record, Cloud& cloud)
{
    cloud.position = record.position;
    cloud.velocity = record.velocity;
    cloud.size = record.size;
    cloud.alpha = record.alpha;
    cloud.visible = record.visible;
    cloud.lod = record.lod;
    cloud.blend = record.blend;
    SeedRandom(record.puffSeed);
    RandomizeCloudPuffs(cloud);
    if (!record.angles.empty())
    {
        SetPuffValues(cloud.puffs, record.angles, false);
    }
    if (!record.spins.empty())
    {
        SetPuffValues(cloud.puffs, record.spins, true);
    }
}

bool SameBits(const Vector& a, const Vector& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The regions the map gave the game must be those of the save; the wrecks'
// dust clouds after them are made again as the game made them.
bool RestoreRegions(const Snapshot& s, Environment& environment, std::string& error)
{
    const size_t mapRegions = environment.regions.size();
    if (s.regions.size() < mapRegions)
    {
        error = "the map " + s.map + " has changed since the game was saved (it has more nebulae)";
        return false;
    }
    for (size_t i = 0; i < s.regions.size(); i++)
    {
        const RegionRecord& record = s.regions[i];
        if (i >= mapRegions)
        {
            environment.AddRegion(record.min, record.max, record.densityParameter, 0.0f, record.colour);
        }
        NebulaRegion& region = *environment.regions[i];
        if (!SameBits(region.min, record.min) || !SameBits(region.max, record.max) ||
            !SameBits(region.densityParameter, record.densityParameter) ||
            !SameBits(region.colour, record.colour) || region.clouds.size() != record.clouds.size())
        {
            error = i < mapRegions
                        ? "the map " + s.map + " has changed since the game was saved"
                        : "the file is damaged: dust cloud " + std::to_string(i) + " does not fit its box";
            return false;
        }
        region.active = record.active;
        for (size_t c = 0; c < record.clouds.size(); c++)
        {
            RestoreCloud(record.clouds[c], *region.clouds[c]);
        }
    }
    return true;
}

void RestoreExplosions(const Snapshot& s, Environment& environment)
{
    for (const ExplosionRecord& record : s.explosions)
    {
        Explosion* explosion =
            new Explosion(0, record.scale, record.centre, record.colour, !record.shownInSensorView);
        explosion->age = record.age;
        explosion->count = record.count;
        for (const CloudRecord& cloudRecord : record.clouds)
        {
            Cloud* cloud = new Cloud;
            RestoreCloud(cloudRecord, *cloud);
            explosion->clouds.push_back(cloud);
        }
        environment.explosions.push_back(explosion);
    }
}

// A ship of the save built from its class model, its parts' state set.
Ship* BuildShip(Game& game, const ShipRecord& r, std::string& error)
{
    Model* model = game.FindShipModel(r.model);
    if (model == nullptr)
    {
        error = "the file is damaged: ship " + std::to_string(r.id) + " is of an unknown class " + r.model;
        return nullptr;
    }
    std::unique_ptr<Ship> ship(new Ship(r.id, r.owner, &game));
    ship->Assemble(model, r.owner);
    if (ship->beamTurrets.size() != r.beamTurrets.size() || ship->gunTurrets.size() != r.gunTurrets.size() ||
        ship->hangars.size() != r.hangars.size() || ship->lights.size() != r.lightBlinkTimes.size())
    {
        error = "the ship class " + r.model + " has changed since the game was saved";
        return nullptr;
    }
    ship->name = r.name;
    for (int face = 0; face < kHullFaces; face++)
    {
        ship->hull[face] = r.hull[face];
    }
    ship->moveTimeLeft = r.moveTimeLeft;
    ship->selected = r.selected;
    ship->targeted = r.targeted;
    ship->lightsOn = r.lightsOn;
    ship->motionState = r.motionState;
    ship->position = r.position;
    ship->orientation = r.orientation;
    ship->velocity = r.velocity;
    ship->spin = r.spin;
    for (const DetectionRecord& d : r.detection)
    {
        DetectionEntry& entry = ship->detection[d.player];
        entry.state = d.state;
        for (size_t i = 0; i < d.observers.size(); i++)
        {
            entry.observers[d.observers[i]] = d.observing[i];
        }
        entry.lastPosition = d.lastPosition;
        entry.lastOrientation = d.lastOrientation;
    }
    ship->destination = r.destination;
    ship->wantedOrientation = r.wantedOrientation;
    ship->deathTime = r.deathTime;
    ship->alive = r.alive;
    ship->envelopeOrigin = r.envelopeOrigin;
    ship->envelopeRegions = r.envelopeRegions;
    // The envelope's display list is new and empty: it is compiled again
    // from where it was taken, unless no envelope was ever taken.
    const bool neverTaken = !r.envelopeStale && r.envelopeRegions == 0 && r.envelopeOrigin == Vector();
    ship->envelopeStale = !neverTaken;
    for (size_t i = 0; i < r.beamTurrets.size(); i++)
    {
        const BeamTurretRecord& t = r.beamTurrets[i];
        BeamTurret& turret = *ship->beamTurrets[i];
        turret.aim = t.aim;
        turret.selected = t.selected;
        turret.showCone = t.showCone;
        turret.burstFire = t.burstFire;
        turret.state = TurretState(t.state);
        turret.beamId = t.beamId;
        turret.fireTimeLeft = t.fireTimeLeft;
        turret.turnTimeLeft = t.turnTimeLeft;
        turret.burstTimeLeft = t.burstTimeLeft;
    }
    for (size_t i = 0; i < r.gunTurrets.size(); i++)
    {
        const GunTurretRecord& t = r.gunTurrets[i];
        GunTurret& turret = *ship->gunTurrets[i];
        turret.aim = t.aim;
        turret.selected = t.selected;
        turret.showCone = t.showCone;
        turret.burstFire = t.burstFire;
        turret.state = TurretState(t.state);
        turret.fireTimeLeft = t.fireTimeLeft;
        turret.turnTimeLeft = t.turnTimeLeft;
        turret.burstTimeLeft = t.burstTimeLeft;
        turret.shotCounter = t.shotCounter;
    }
    for (size_t i = 0; i < r.hangars.size(); i++)
    {
        Hangar& hangar = *ship->hangars[i];
        hangar.squadronsLeft = r.hangars[i].squadronsLeft;
        hangar.launchedThisTurn = r.hangars[i].launchedThisTurn;
        hangar.selected = r.hangars[i].selected;
    }
    for (size_t i = 0; i < r.lightBlinkTimes.size(); i++)
    {
        ship->lights[i]->blinkTime = r.lightBlinkTimes[i];
    }
    ShipPanel& panel = *ship->panel;
    panel.shownBeamTurret = r.shownBeamTurret >= 0 ? ship->beamTurrets[size_t(r.shownBeamTurret)] : nullptr;
    panel.shownGunTurret = r.shownGunTurret >= 0 ? ship->gunTurrets[size_t(r.shownGunTurret)] : nullptr;
    panel.shownHangar = r.shownHangar >= 0 ? ship->hangars[size_t(r.shownHangar)] : nullptr;
    return ship.release();
}

void RestorePlayerFields(const PlayerRecord& r, Player& player)
{
    player.seat = SeatKind(r.seat);
    player.cameraFocus = r.cameraFocus;
    player.cameraGoal = r.cameraGoal;
    player.cameraStep = r.cameraStep;
    player.heading = r.heading;
    player.viewDirection = r.viewDirection;
    player.zoom = r.zoom;
    player.cameraVelocity = r.cameraVelocity;
    player.headingRate = r.headingRate;
    player.selectionCentre = r.selectionCentre;
    player.cameraGliding = r.cameraGliding;
    player.isCurrent = r.isCurrent;
    for (int i = 0; i < 16; i++)
    {
        player.modelview[i] = r.modelview[i];
        player.projection[i] = r.projection[i];
    }
    player.glideTicks = r.glideTicks;
}

bool MapFileExists(const std::string& map)
{
    std::FILE* file = std::fopen(("Models/Maps/" + map + ".ase").c_str(), "rb");
    if (file == nullptr)
    {
        return false;
    }
    std::fclose(file);
    return true;
}

} // namespace

Snapshot CaptureSnapshot(const Game& game)
{
    const uint32_t randomState = RandomState();
    Snapshot s;
    s.map = game.mapName;
    s.randomState = randomState;
    s.animationTime = gAnimationTime;
    s.tickCounter = gTickClock.tickCounter;
    s.turnsEnded = game.turnsEnded;
    s.currentPlayer = uint32_t(game.currentPlayerPos);
    s.nextId = game.nextId;
    s.state = game.state;
    s.orderMode = game.orderMode;
    s.orderType = game.orderType;
    s.viewMode = game.viewMode;
    s.mouseX = game.mouseX;
    s.mouseY = game.mouseY;
    s.orderPoint = game.orderPoint;
    s.fps = game.fps;
    s.fpsSmoothed = game.fpsSmoothed;
    s.frameCount = game.frameCount;

    // Every ship once: the fleets' in player and fleet order, then the wrecks
    // not listed in a fleet.
    std::map<uint32_t, bool> listed;
    for (const Player* player : game.players)
    {
        s.players.push_back(CapturePlayer(*player));
        for (const Ship* ship : player->fleet)
        {
            if (listed.emplace(ship->id, true).second)
            {
                s.ships.push_back(CaptureShip(*ship));
            }
        }
    }
    for (const Ship* wreck : game.wrecks)
    {
        s.wrecks.push_back(wreck->id);
        if (listed.emplace(wreck->id, true).second)
        {
            s.ships.push_back(CaptureShip(*wreck));
        }
    }

    for (const Bullet* bullet : game.bullets->bullets)
    {
        s.bullets.push_back({bullet->position, bullet->velocity, bullet->orientation, bullet->colour,
                             bullet->size, bullet->age, IdOf(bullet->target)});
    }
    for (const Beam& beam : game.beams->beams)
    {
        s.beams.push_back({beam.id, beam.start, beam.vector, beam.colour, beam.width, beam.length});
    }
    s.lastBeamId = game.beams->lastId;

    for (const NebulaRegion* region : game.environment->regions)
    {
        RegionRecord r;
        r.min = region->min;
        r.max = region->max;
        r.densityParameter = region->densityParameter;
        r.colour = region->colour;
        r.active = region->active;
        r.clouds = CaptureClouds(region->clouds);
        s.regions.push_back(r);
    }
    for (const Explosion* explosion : game.environment->explosions)
    {
        ExplosionRecord e;
        e.centre = explosion->centre;
        e.colour = explosion->colour;
        e.age = explosion->age;
        e.count = explosion->count;
        e.scale = explosion->scale;
        e.shownInSensorView = explosion->shownInSensorView;
        e.clouds = CaptureClouds(explosion->clouds);
        s.explosions.push_back(e);
    }
    SeedRandom(randomState);
    return s;
}

namespace
{

// Gives a donated catalogue back unless the restored game is kept.
class CatalogueLoan
{
  public:
    CatalogueLoan(Game& borrower_, Game* donor_) : borrower(borrower_), donor(donor_) {}
    ~CatalogueLoan()
    {
        if (donor != nullptr)
        {
            borrower.GiveCatalogueTo(*donor);
        }
    }
    void Keep() { donor = nullptr; }

  private:
    Game& borrower;
    Game* donor;
};

} // namespace

Game* RestoreGame(const Snapshot& s, std::string& error, Game* catalogueDonor)
{
    std::string problem;
    if (!CheckSnapshot(s, problem))
    {
        error = "the file is damaged: " + problem;
        return nullptr;
    }
    if (!MapFileExists(s.map))
    {
        error = "the map " + s.map + " is missing (Models/Maps/" + s.map + ".ase)";
        return nullptr;
    }
    std::unique_ptr<Game> game(new Game(int(s.players.size()), s.map, false, catalogueDonor));
    CatalogueLoan loan(*game, catalogueDonor);
    if (!RestoreRegions(s, *game->environment, error))
    {
        return nullptr;
    }
    RestoreExplosions(s, *game->environment);

    // The ships, held here until every one is built: a game deleted half
    // way owns only what its lists hold.
    std::vector<std::unique_ptr<Ship>> built;
    std::map<uint32_t, Ship*> ships;
    for (const ShipRecord& record : s.ships)
    {
        Ship* ship = BuildShip(*game, record, error);
        if (ship == nullptr)
        {
            return nullptr;
        }
        built.emplace_back(ship);
        ships[record.id] = ship;
    }
    auto find = [&](uint32_t id) { return id == 0 ? nullptr : ships.at(id); };
    for (const ShipRecord& record : s.ships)
    {
        Ship& ship = *ships[record.id];
        ship.target = find(record.target);
        for (size_t i = 0; i < record.beamTurrets.size(); i++)
        {
            ship.beamTurrets[i]->target = find(record.beamTurrets[i].target);
        }
        for (size_t i = 0; i < record.gunTurrets.size(); i++)
        {
            ship.gunTurrets[i]->target = find(record.gunTurrets[i].target);
        }
    }

    // The players: their fields, their computer players, then the lists that
    // own the ships.
    for (size_t p = 0; p < s.players.size(); p++)
    {
        const PlayerRecord& record = s.players[p];
        Player& player = *game->players[p];
        RestorePlayerFields(record, player);
        player.computer = MakeComputerPlayer(player.seat, *game, player, 0);
        if (player.computer != nullptr && !player.computer->LoadMemory(record.memory, problem))
        {
            error = "the file is damaged: player " + std::to_string(p + 1) + "'s memory: " + problem;
            return nullptr;
        }
    }
    for (auto& ship : built)
    {
        ship.release();
    }
    for (size_t p = 0; p < s.players.size(); p++)
    {
        Player& player = *game->players[p];
        for (uint32_t id : s.players[p].fleet)
        {
            player.fleet.push_back(ships[id]);
        }
        for (uint32_t id : s.players[p].selection)
        {
            player.selection.push_back(ships[id]);
        }
    }
    for (uint32_t id : s.wrecks)
    {
        game->wrecks.push_back(ships[id]);
    }

    for (const BulletRecord& record : s.bullets)
    {
        game->bullets->bullets.push_back(new Bullet{record.position, record.velocity, record.orientation,
                                                    record.colour, record.size, record.age,
                                                    find(record.target)});
    }
    for (const BeamRecord& record : s.beams)
    {
        game->beams->beams.push_back(
            {record.id, record.start, record.vector, record.colour, record.width, record.length});
    }
    game->beams->lastId = s.lastBeamId;

    game->currentPlayerPos = s.currentPlayer;
    game->currentPlayer = game->players[s.currentPlayer];
    game->currentPlayer->isCurrent = true;
    game->turnsEnded = s.turnsEnded;
    game->nextId = s.nextId;
    game->state = s.state;
    game->orderMode = s.orderMode;
    game->orderType = s.orderType;
    game->viewMode = s.viewMode;
    game->mouseX = s.mouseX;
    game->mouseY = s.mouseY;
    game->orderPoint = s.orderPoint;
    game->fps = s.fps;
    game->fpsSmoothed = s.fpsSmoothed;
    game->frameCount = s.frameCount;

    gAnimationTime = s.animationTime;
    gTickClock.tickCounter = s.tickCounter;
    SeedRandom(s.randomState);
    loan.Keep();
    return game.release();
}

Game* RestoreCheckedGame(const Snapshot& snapshot, uint64_t expected, Game* catalogueDonor,
                         std::string& error, uint64_t& found)
{
    found = 0;
    Game* loaded = RestoreGame(snapshot, error, catalogueDonor);
    if (loaded == nullptr)
    {
        return nullptr;
    }
    found = SnapshotHash(CaptureSnapshot(*loaded));
    if (found != expected)
    {
        if (catalogueDonor != nullptr)
        {
            loaded->GiveCatalogueTo(*catalogueDonor);
        }
        delete loaded;
        return nullptr;
    }
    return loaded;
}
