#ifndef KORVANE_PLAYERS_AUTOPLAYER_H
#define KORVANE_PLAYERS_AUTOPLAYER_H

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "ai/ComputerPlayer.h"
#include "math/Vector.h"

class Game;
class Player;
class Ship;

// A scripted player. It plays its turns only through what a person's keys and
// clicks reach (select a ship, place a move or rotate point, target and
// attack, launch fighters from the panel, stop, end the turn) and knows only
// what that person could see: its own fleet, the enemy ships its sensors show
// now, the ghosts of those it saw before, and the map's nebulae. Its few
// choices by chance come from its own generator, so a seed fixes its play.
//
// The plan, ship by ship: close to weapon range of the nearest enemy in sight
// (fighters closer, the carrier a little farther), then attack it, which
// turns the ship's bow and front armour to it and gives every turret the
// target; a destroyed target is replaced by the next one. Without an enemy in
// sight the fleet heads for the nearest ghost or sweeps the nebulae. Carriers
// launch a squadron per hangar once an enemy is known; fighters with nothing
// to do return to the fleet. The turn ends when nothing is moving, aiming or
// firing and every bullet has landed.
class AutoPlayer : public ComputerPlayer
{
  public:
    AutoPlayer(Game& game, Player& player, uint32_t seed = 1);

    // Plays this player's turn, which must be the current one, until the
    // player ends it or the game is over (the game's state is then 1 or 2).
    // Between decisions game time advances one tick at a time through
    // advanceTick; the plain form uses AdvanceGameTick.
    void PlayTurn();
    void PlayTurn(const std::function<void()>& advanceTick) override;

    void SaveMemory(ComputerMemory& memory) const override;
    bool LoadMemory(const ComputerMemory& memory, std::string& error) override;

    // A turn that lasts this many ticks is ended whatever is still going on.
    static constexpr int kMaxTurnTicks = 1200;

  private:
    // What this player knows of one enemy ship.
    struct Contact
    {
        Ship* ship;
        Vector position; // where it is, or for a ghost where it was last seen
        bool visible;    // in sight now: it can be clicked
        bool fighter;
    };

    // What the player is doing with one of its ships this turn.
    struct ShipTurn
    {
        int moves = 0;          // move orders given this turn
        bool searching = false; // its move goes to a ghost or a search point
        bool engaged = false;   // given a target this turn
        bool holding = false;   // advanced with the fleet; stays there this turn
    };

    void StartTurn();
    void Act();
    void ActForShip(Ship& ship, const std::vector<Contact>& contacts);

    std::vector<Contact> Contacts();
    const Contact* ChooseTarget(const Ship& ship, const std::vector<Contact>& contacts) const;
    bool SearchGoal(const Ship& ship, const std::vector<Contact>& contacts, Vector& goal);
    void LaunchFighters(const std::vector<Contact>& contacts);
    void AimCamera(const std::vector<Contact>& contacts);
    Vector FleetCentre(bool capitalOnly) const;
    bool HasCapitalShips() const;

    // The orders, as the keys and clicks give them.
    void Select(const Ship& ship);
    void MoveTo(Ship& ship, const Vector& point);
    void Engage(Ship& ship, const Ship& target);
    void StopShip(Ship& ship);
    void EndTurn();

    double NextChance(); // from the player's own generator, 0 to 1

    Game& game;
    Player& player;
    uint32_t chanceState;                   // the player's own generator
    std::map<uint32_t, ShipTurn> turns;     // by ship id, this turn only
    std::map<uint32_t, Vector> staleGhosts; // ghosts found empty, by ship id and last position
    std::vector<Vector> searchPoints;       // nebula centres and the middle of the map
    size_t searchIndex;
    float approachStep; // how far the fleet advances this turn while out of reach
    float rivalry[4];   // by player index: added to the distance of that player's ships
    int ticks;          // ticks of the turn so far
};

// One tick as the frame loop hands it to the game: the game-over test, then
// the tick's handling (animation clock, clouds, the game's tick).
void AdvanceGameTick(Game& game);

#endif
