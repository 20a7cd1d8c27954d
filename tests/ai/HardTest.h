#ifndef KORVANE_TESTS_AI_HARDTEST_H
#define KORVANE_TESTS_AI_HARDTEST_H

// Helpers for tests of the Hard player: knowledge written by hand for its
// plan, and whole games on a real map in which it plays player 1, turn by
// turn, with a record of what its player detected and the orders it gave.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ai/HardPlayer.h"
#include "ai/Tactics.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "input/TickClock.h"
#include "math/Random.h"
#include "players/AutoPlayer.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "world/Environment.h"

const Vector kStarts[4] = {Vector(0, 0, 800), Vector(0, 0, -800), Vector(-800, 0, 0), Vector(800, 0, 0)};

// No class profiles: every ship plans with what its role alone tells.
const ClassBook kNoClasses{std::vector<ClassProfile>()};

// What seat `self` of `players` knows before it has seen anything.
inline Knowledge Seat(int32_t self, int32_t players)
{
    Knowledge knowledge;
    knowledge.self = self;
    knowledge.players = players;
    std::copy(kStarts, kStarts + 4, knowledge.starts);
    return knowledge;
}

// An own ship ready to move a whole turn, with the sensors and signature of
// a capital ship or a fighter.
inline OwnShip Own(uint32_t id, ShipRole role, const Vector& position)
{
    OwnShip ship;
    ship.id = id;
    ship.role = role;
    ship.position = position;
    ship.speed = 20.0f;
    ship.yawRate = 30.0f;
    ship.moveTimeLeft = kTurnMoveSeconds;
    ship.sensorRange = 0.35f;
    ship.signature = role == ShipRole::Fighter ? 0.05f : 0.2f;
    return ship;
}

inline const ShipOrders& OrdersOf(const TurnPlan& plan, uint32_t id)
{
    const auto found = std::find_if(plan.ships.begin(), plan.ships.end(),
                                    [id](const ShipOrders& order) { return order.id == id; });
    if (found == plan.ships.end())
    {
        ADD_FAILURE() << "no orders for ship " << id;
        return plan.ships.front();
    }
    return *found;
}

// What the observer's player has detected of every other fleet, written out
// from the ships' detection entries: each ship's state, where it was last
// seen, and where it is and how it stands while in sight. Nothing of a ship
// never detected.
inline std::string DetectionRecord(const Game& game, int observer)
{
    std::string text;
    char line[200];
    for (const Player* other : game.GetPlayers())
    {
        if (other->GetIndex() == observer)
        {
            continue;
        }
        for (const Ship* ship : other->fleet)
        {
            const auto entry = ship->detection.find(observer);
            if (!ship->IsAlive() || entry == ship->detection.end() || entry->second.state == 0)
            {
                continue;
            }
            const DetectionEntry& known = entry->second;
            const Vector& where = known.state == 2 ? ship->position : known.lastPosition;
            const Vector& facing = known.state == 2 ? ship->orientation : known.lastOrientation;
            std::snprintf(line, sizeof line, "%u:%d %.9g %.9g %.9g %.9g %.9g %.9g;", ship->GetId(),
                          known.state, where.x, where.y, where.z, facing.x, facing.y, facing.z);
            text += line;
        }
    }
    return text;
}

// The Hard player's turns in one game: at the start of each of its turns and
// after every tick, what its player had detected and how many orders it had
// given.
struct TurnsLog
{
    std::vector<std::string> detection;
    std::vector<size_t> ordersBefore;
    std::vector<std::string> orders;
    std::vector<size_t> turnStarts; // where each of its turns begins in `detection`
    size_t changedAtOrder = 0;      // orders given before the change was made
    bool changed = false;
};

// A change to a game: given the game and the round (0 before anyone has
// looked, then every round from 1 in player 2's turn), true once it changed
// something.
using Change = std::function<bool(Game&, int round)>;

// A two-player game on the map in which player 1 is the Hard player and
// player 2 stands still and ends its turns at once, with `change` offered the
// game before the first tick and in every turn of player 2.
inline TurnsLog PlayHardTurns(const std::string& map, uint32_t seed, int rounds, const Change& change)
{
    gAnimationTime = 0.0f;
    gTickClock.tickCounter = 0;
    std::unique_ptr<Game> game(new Game(2, map));
    SeedRandom(seed);
    TurnsLog log;
    log.changed = change(*game, 0);
    Player& hardSeat = *game->players[0];
    HardPlayer hard(*game, hardSeat, seed);
    hard.GetControls().KeepRecord(true);

    auto note = [&]()
    {
        log.detection.push_back(DetectionRecord(*game, 0));
        log.ordersBefore.push_back(hard.GetControls().Record().size());
    };
    for (int round = 0; round < rounds && game->GetState() != 2; round++)
    {
        for (size_t seat = 0; seat < game->players.size(); seat++)
        {
            Player& current = *game->GetCurrentPlayer();
            game->GetEnvironment()->Update(current.GetEyePosition(), current.GetViewDirection());
            game->SetState(0);
            if (&current == &hardSeat)
            {
                log.turnStarts.push_back(log.detection.size());
                note();
                hard.PlayTurn(
                    [&]()
                    {
                        AdvanceGameTick(*game);
                        note();
                    });
            }
            else if (!log.changed && change(*game, round + 1))
            {
                log.changed = true;
                log.changedAtOrder = hard.GetControls().Record().size();
            }
            game->NextPlayer();
        }
    }
    log.orders = hard.GetControls().Record();
    return log;
}

#endif
