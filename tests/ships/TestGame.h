#ifndef KORVANE_TESTS_SHIPS_TESTGAME_H
#define KORVANE_TESTS_SHIPS_TESTGAME_H

// Helpers for tests that run real ships in a real game: a game built from the
// generated data whose starting fleets are replaced by the ships a test places.

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "assets/Ase.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"

// Far below every map's nebulae: open space where tests place their ships.
const Vector kTestOrigin(0.0f, -3000.0f, 0.0f);

// A real game whose fleets have been emptied (their ships deleted).
inline Game* NewEmptyGame(int players, const std::string& map = "map1")
{
    Game* game = new Game(players, map);
    for (Player* player : game->players)
    {
        for (Ship* ship : player->fleet)
        {
            delete ship;
        }
        player->fleet.clear();
        player->selection.clear();
    }
    return game;
}

// A ship of the given class for a player, at kTestOrigin + offset, in its fleet.
inline Ship* PlaceShip(Game* game, int playerIndex, const Vector& offset,
                       const std::string& shipClass = "battlefrigate")
{
    Ship* ship = new Ship(game->TakeId(), playerIndex, game);
    ship->Assemble(game->FindShipModel(shipClass), playerIndex);
    const Vector p = kTestOrigin + offset;
    ship->SetPosition(p.x, p.y, p.z);
    game->players[playerIndex]->AddShip(ship);
    return ship;
}

// Runs the first (spawn) update of every ship of every fleet and gives each a
// full turn of movement time.
inline void SettleFleets(Game* game)
{
    for (Player* player : game->players)
    {
        for (Ship* ship : player->fleet)
        {
            ship->Update();
            ship->NewTurn();
        }
    }
}

// The hull left on all the ship's faces together.
inline float TotalHull(const Ship& ship)
{
    return std::accumulate(ship.hull, ship.hull + kHullFaces, 0.0f);
}

// Destroys a ship as the last hit on it would: every face at 0, then a hit.
inline void Destroy(Ship* ship)
{
    std::fill(ship->hull, ship->hull + kHullFaces, 0.0f);
    Vector hit(0.0f, 0.0f, -1.0f);
    ship->Damage(1.0f, 0, hit);
}

// A marker node as the scene reader makes it: type, numbers, and position and
// rotation in file axes.
inline AseNode Marker(const std::string& type, const std::vector<float>& properties,
                      const Vector& position = Vector(), const Vector& rotation = Vector())
{
    AseNode node{position, rotation, type + "01", type, int32_t(properties.size())};
    std::copy(properties.begin(), properties.end(), node.properties);
    return node;
}

#endif
