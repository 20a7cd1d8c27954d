#ifndef KORVANE_AI_CONTROLS_H
#define KORVANE_AI_CONTROLS_H

#include <cstdint>
#include <string>
#include <vector>

#include "math/Vector.h"

class Game;
class Player;
class Ship;

// The hands of a computer seat: every order goes in as a person's keys and
// clicks would give it, through the game's key handling and its pick
// handling with the stencil value the click would read. Only placing an
// order point with the pointer is skipped: the point is set where a person
// would put it. Orders name ships by id; an order for a ship that is not
// this player's, or a target that is not in sight, is not given (false).
//
// Every order given is also written to a record (one line each), so that two
// games can be compared order by order.
class Controls
{
  public:
    Controls(Game& game, Player& player);

    bool MoveTo(uint32_t shipId, const Vector& point);   // m, the point, a click
    bool RotateTo(uint32_t shipId, const Vector& point); // r, the point, a click
    bool Attack(uint32_t shipId, uint32_t targetId);     // a and a click on the target
    bool Target(uint32_t shipId, uint32_t targetId);     // t and a click on the target
    // The turret's entry on the panel (beam turrets, then gun turrets), x and
    // a click on the target.
    bool TurretTarget(uint32_t shipId, int turret, uint32_t targetId);
    // The hangar's entry on the panel and "Launch fighters".
    bool Launch(uint32_t shipId, int hangar);
    bool Stop(uint32_t shipId); // s
    void EndTurn();             // d

    // The orders given so far, one line each.
    const std::vector<std::string>& Record() const { return record; }
    void ClearRecord() { record.clear(); }
    // Keep a record (off by default: a long game gives many orders).
    void KeepRecord(bool keep) { keeping = keep; }

  private:
    Ship* Own(uint32_t id) const;
    Ship* VisibleEnemy(uint32_t id) const;
    void Select(const Ship& ship);
    void Note(const char* format, ...);

    Game& game;
    Player& player;
    std::vector<std::string> record;
    bool keeping;
};

// True when KORVANE_AI_TRACE is set: the computer players then write their
// orders, and at the start of each turn what they know, on standard error.
bool AiTraceOn();

#endif
