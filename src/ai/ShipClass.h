#ifndef KORVANE_AI_SHIPCLASS_H
#define KORVANE_AI_SHIPCLASS_H

#include <cstdint>
#include <string>
#include <vector>

#include "math/Vector.h"

struct AseNode;
class Game;
class Ship;

// What a ship is for, as its parts show: every class of the game is one of these.
enum class ShipRole : int32_t
{
    Gunship = 0, // turning gun turrets: the battle frigate
    Beamship = 1,
    Carrier = 2, // has hangars
    Fighter = 3, // fixed guns only
};

// What anyone may know of a class of ship: the numbers its model carries
// (the class table of the game's documents). The computer player judges
// every ship it sees by its class, never by the ship's own state.
struct ClassProfile
{
    std::string model; // the class model's file name
    ShipRole role = ShipRole::Gunship;
    float speed = 1.0f;   // units per second
    float yawRate = 1.0f; // degrees per second
    float hull[6] = {};   // full strength by HullFace
    int gunTurrets = 0;   // turning gun turrets
    int fixedGuns = 0;
    int beamTurrets = 0;
    int hangars = 0;
    int squadrons = 0; // squadrons over all hangars
    float signature = 0.0f;
    float sensorRange = 0.0f;
};

// The classes of a game, read from its ship-class catalogue.
class ClassBook
{
  public:
    // Reads the markers of every ship model the game loaded.
    explicit ClassBook(const Game& game);
    // A book of the given classes (tests).
    explicit ClassBook(std::vector<ClassProfile> classes);

    // The profile of a class model, or a fallback for an unknown one.
    const ClassProfile& Find(const std::string& model) const;
    const ClassProfile& Of(const Ship& ship) const;
    // The first class of a role (the fighter, say), or the fallback.
    const ClassProfile& FirstOfRole(ShipRole role) const;

    const std::vector<ClassProfile>& Classes() const { return classes; }

  private:
    std::vector<ClassProfile> classes;
    ClassProfile fallback;
};

// The profile a class model's markers describe.
ClassProfile ProfileFromMarkers(const std::string& model, const std::vector<AseNode*>& nodes);

// The role of a ship built from its parts.
ShipRole RoleOfShip(const Ship& ship);

// Movement and fire of one turn, the same for every ship and turret.
constexpr float kTurnMoveSeconds = 10.0f;
constexpr float kTurnFireSeconds = 5.0f;

// Expected damage one turret does in one turn of firing at a still target at
// this range: a beam's full strength to 300 and less beyond; a gun's bullets
// hit less often the farther they fly and fall short beyond their life.
float BeamTurnDamageAt(float range);
float GunTurnDamageAt(float range);
// The chance that one bullet fired at a still target at this range hits it.
float BulletHitChance(float range);
// What a whole ship of the class does in a turn at this range (fixed guns
// counted only close in: they must point at the target).
float ShipTurnDamageAt(const ClassProfile& profile, float range);
// The range at which the class likes to fight.
float PreferredRange(ShipRole role);
// Beyond this the class does next to nothing.
float WeaponReach(ShipRole role);

#endif
