#ifndef KORVANE_SAVE_SNAPSHOT_H
#define KORVANE_SAVE_SNAPSHOT_H

#include <cstdint>
#include <string>
#include <vector>

#include "ai/ComputerMemory.h"
#include "math/Vector.h"

// A whole game at a hand-over, as plain values: what the next turn reads,
// with every pointer turned into an id (a ship's id; 0 for none). The game
// is captured into one (GameSnapshot.h), a snapshot is encoded into bytes
// and decoded from them (SnapshotCodec.h), and a game is rebuilt from one.
//
// Each record lists its fields once, in Fields(visit), as for the computer
// players' memory (ai/ComputerMemory.h): visit("name", field) for a field
// every save version has, visit("name", field, v) for one added in save
// version v. Parts the game builds the same way every time (a ship's class
// statistics, its turrets' arcs and rates) are not kept: the ship's class
// model gives them again.

// The save version this game writes. It reads every version from 1 to this.
constexpr int32_t kSnapshotVersion = 2;

// One cloud of a nebula region or an explosion. Its puff tree is drawn again
// from puffSeed; the angles are kept only when they have turned since.
struct CloudRecord
{
    Vector position;
    Vector velocity;
    float size = 0.0f;
    float alpha = 0.0f;
    bool visible = false;
    int32_t lod = 0;
    float blend = 0.0f;
    uint32_t puffSeed = 0;
    std::vector<float> angles; // none, or kPuffAngleCount: the tree's angles in RandomizePuffs order
    std::vector<float> spins;  // the same for the spins (never seen changed)

    template <class Visit> void Fields(Visit& visit)
    {
        visit("position", position);
        visit("velocity", velocity);
        visit("size", size);
        visit("alpha", alpha);
        visit("visible", visible);
        visit("lod", lod);
        visit("blend", blend);
        visit("puffSeed", puffSeed);
        visit("angles", angles);
        visit("spins", spins);
    }
};

// The angles of a whole puff tree: six nodes of four (x, y, z).
constexpr size_t kPuffAngleCount = 72;

// A nebula region: a box of the map, or the dust a wreck leaves.
struct RegionRecord
{
    Vector min;
    Vector max;
    float densityParameter = 0.0f;
    Vector colour;
    bool active = false;
    std::vector<CloudRecord> clouds;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("min", min);
        visit("max", max);
        visit("densityParameter", densityParameter);
        visit("colour", colour);
        visit("active", active);
        visit("clouds", clouds);
    }
};

struct ExplosionRecord
{
    Vector centre;
    Vector colour;
    float age = 0.0f;
    float count = 0.0f;
    float scale = 0.0f;
    bool shownInSensorView = true;
    std::vector<CloudRecord> clouds;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("centre", centre);
        visit("colour", colour);
        visit("age", age);
        visit("count", count);
        visit("scale", scale);
        visit("shownInSensorView", shownInSensorView);
        visit("clouds", clouds);
    }
};

// What one other player knows of a ship.
struct DetectionRecord
{
    int32_t player = 0;
    int32_t state = 0;
    std::vector<uint32_t> observers; // ids of that player's ships, in id order
    std::vector<bool> observing;     // for each: it sees the ship now
    Vector lastPosition;
    Vector lastOrientation;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("player", player);
        visit("state", state);
        visit("observers", observers);
        visit("observing", observing);
        visit("lastPosition", lastPosition);
        visit("lastOrientation", lastOrientation);
    }
};

struct BeamTurretRecord
{
    Vector aim;
    bool selected = false;
    bool showCone = false;
    bool burstFire = false;
    int32_t state = 0;
    uint32_t beamId = 0;
    float fireTimeLeft = 0.0f;
    float turnTimeLeft = 0.0f;
    float burstTimeLeft = 0.0f;
    uint32_t target = 0;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("aim", aim);
        visit("selected", selected);
        visit("showCone", showCone);
        visit("burstFire", burstFire);
        visit("state", state);
        visit("beamId", beamId);
        visit("fireTimeLeft", fireTimeLeft);
        visit("turnTimeLeft", turnTimeLeft);
        visit("burstTimeLeft", burstTimeLeft);
        visit("target", target);
    }
};

struct GunTurretRecord
{
    Vector aim;
    bool selected = false;
    bool showCone = false;
    bool burstFire = false;
    int32_t state = 0;
    float fireTimeLeft = 0.0f;
    float turnTimeLeft = 0.0f;
    float burstTimeLeft = 0.0f;
    int32_t shotCounter = 0;
    uint32_t target = 0;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("aim", aim);
        visit("selected", selected);
        visit("showCone", showCone);
        visit("burstFire", burstFire);
        visit("state", state);
        visit("fireTimeLeft", fireTimeLeft);
        visit("turnTimeLeft", turnTimeLeft);
        visit("burstTimeLeft", burstTimeLeft);
        visit("shotCounter", shotCounter);
        visit("target", target);
    }
};

struct HangarRecord
{
    int32_t squadronsLeft = 0;
    bool launchedThisTurn = false;
    bool selected = false;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("squadronsLeft", squadronsLeft);
        visit("launchedThisTurn", launchedThisTurn);
        visit("selected", selected);
    }
};

// A capital ship or fighter, in a fleet or burning as a wreck.
struct ShipRecord
{
    uint32_t id = 0;
    int32_t owner = 0;
    std::string model; // the class model's file name
    std::string name;
    float hull[6] = {0, 0, 0, 0, 0, 0};
    float moveTimeLeft = 0.0f;
    bool selected = false;
    bool targeted = false;
    bool lightsOn = true;
    int32_t motionState = 0;
    uint32_t target = 0;
    Vector position;
    Vector orientation;
    Vector velocity;
    Vector spin;
    std::vector<DetectionRecord> detection; // by player index
    Vector destination;
    Vector wantedOrientation;
    float deathTime = 0.0f;
    bool alive = true;
    Vector envelopeOrigin;
    uint32_t envelopeRegions = 0;
    bool envelopeStale = false;
    std::vector<BeamTurretRecord> beamTurrets;
    std::vector<GunTurretRecord> gunTurrets;
    std::vector<HangarRecord> hangars;
    std::vector<float> lightBlinkTimes; // by light
    // The parts the ship's panel showed last, by index in their list; -1 none.
    int32_t shownBeamTurret = -1;
    int32_t shownGunTurret = -1;
    int32_t shownHangar = -1;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("id", id);
        visit("owner", owner);
        visit("model", model);
        visit("name", name);
        visit("hull", hull);
        visit("moveTimeLeft", moveTimeLeft);
        visit("selected", selected);
        visit("targeted", targeted);
        visit("lightsOn", lightsOn);
        visit("motionState", motionState);
        visit("target", target);
        visit("position", position);
        visit("orientation", orientation);
        visit("velocity", velocity);
        visit("spin", spin);
        visit("detection", detection);
        visit("destination", destination);
        visit("wantedOrientation", wantedOrientation);
        visit("deathTime", deathTime);
        visit("alive", alive);
        visit("envelopeOrigin", envelopeOrigin);
        visit("envelopeRegions", envelopeRegions);
        visit("envelopeStale", envelopeStale);
        visit("beamTurrets", beamTurrets);
        visit("gunTurrets", gunTurrets);
        visit("hangars", hangars);
        visit("lightBlinkTimes", lightBlinkTimes);
        visit("shownBeamTurret", shownBeamTurret);
        visit("shownGunTurret", shownGunTurret);
        visit("shownHangar", shownHangar);
    }
};

struct BulletRecord
{
    Vector position;
    Vector velocity;
    Vector orientation;
    Vector colour;
    float size = 0.0f;
    int32_t age = 0;
    uint32_t target = 0;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("position", position);
        visit("velocity", velocity);
        visit("orientation", orientation);
        visit("colour", colour);
        visit("size", size);
        visit("age", age);
        visit("target", target);
    }
};

struct BeamRecord
{
    uint32_t id = 0;
    Vector start;
    Vector vector;
    Vector colour;
    float width = 0.0f;
    float length = 0.0f;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("id", id);
        visit("start", start);
        visit("vector", vector);
        visit("colour", colour);
        visit("width", width);
        visit("length", length);
    }
};

struct PlayerRecord
{
    int32_t seat = 0;      // a SeatKind
    ComputerMemory memory; // a computer seat's; as constructed for a person's
    Vector cameraFocus;
    Vector cameraGoal;
    Vector cameraStep;
    float heading = 0.0f;
    Vector viewDirection;
    float zoom = 1.0f;
    Vector cameraVelocity;
    float headingRate = 0.0f;
    std::vector<uint32_t> fleet;     // ship ids, in fleet order
    std::vector<uint32_t> selection; // ship ids, in selection order
    Vector selectionCentre;
    int32_t cameraGliding = 0;
    bool isCurrent = false;
    double modelview[16] = {};
    double projection[16] = {};
    int32_t glideTicks = 0;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("seat", seat);
        visit("memory", memory);
        visit("cameraFocus", cameraFocus);
        visit("cameraGoal", cameraGoal);
        visit("cameraStep", cameraStep);
        visit("heading", heading);
        visit("viewDirection", viewDirection);
        visit("zoom", zoom);
        visit("cameraVelocity", cameraVelocity);
        visit("headingRate", headingRate);
        visit("fleet", fleet);
        visit("selection", selection);
        visit("selectionCentre", selectionCentre);
        visit("cameraGliding", cameraGliding);
        visit("isCurrent", isCurrent);
        visit("modelview", modelview);
        visit("projection", projection);
        visit("glideTicks", glideTicks);
    }
};

struct Snapshot
{
    std::string map; // also in the file's first line
    uint32_t randomState = 0;
    float animationTime = 0.0f;
    int32_t tickCounter = 0;
    uint32_t turnsEnded = 0;
    uint32_t currentPlayer = 0;
    uint32_t nextId = 0;
    int32_t state = 0;
    int32_t orderMode = 1;
    int32_t orderType = 0;
    int32_t viewMode = 0;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    Vector orderPoint;
    float fps = 0.0f;
    float fpsSmoothed = 0.0f;
    int32_t frameCount = 0;
    std::vector<PlayerRecord> players; // by index
    std::vector<ShipRecord> ships;     // every ship of the fleets and the wrecks, each once
    std::vector<uint32_t> wrecks;      // ship ids, in wreck order
    std::vector<BulletRecord> bullets;
    std::vector<BeamRecord> beams;
    uint32_t lastBeamId = 1;
    std::vector<RegionRecord> regions;
    std::vector<ExplosionRecord> explosions;

    template <class Visit> void Fields(Visit& visit)
    {
        visit("map", map);
        visit("randomState", randomState);
        visit("animationTime", animationTime);
        visit("tickCounter", tickCounter);
        visit("turnsEnded", turnsEnded);
        visit("currentPlayer", currentPlayer);
        visit("nextId", nextId);
        visit("state", state);
        visit("orderMode", orderMode);
        visit("orderType", orderType);
        visit("viewMode", viewMode);
        visit("mouseX", mouseX);
        visit("mouseY", mouseY);
        visit("orderPoint", orderPoint);
        visit("fps", fps);
        visit("fpsSmoothed", fpsSmoothed);
        visit("frameCount", frameCount);
        visit("players", players);
        visit("ships", ships);
        visit("wrecks", wrecks);
        visit("bullets", bullets);
        visit("beams", beams);
        visit("lastBeamId", lastBeamId);
        visit("regions", regions);
        visit("explosions", explosions);
    }

    // The round the next turn belongs to, from 1.
    uint32_t Round() const { return players.empty() ? 1 : turnsEnded / uint32_t(players.size()) + 1; }
};

// The checks a snapshot must pass before a game is built from it, none of
// which needs the game's files: counts, ranges and kinds that the game's code
// indexes or loops by, and ids that refer to ships of the snapshot. False with
// the first problem found in error.
bool CheckSnapshot(const Snapshot& snapshot, std::string& error);

#endif
