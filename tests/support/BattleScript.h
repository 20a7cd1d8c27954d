#ifndef KORVANE_TESTS_BATTLESCRIPT_H
#define KORVANE_TESTS_BATTLESCRIPT_H

// A scripted four-player battle for the benchmarks and the tests: at the start of each turn
// every ship of the current player closes on the nearest enemy ship (or turns
// to face it once within reach), targets it with all its turrets, and every
// carrier launches whatever its hangars allow. The orders go through the
// game's own operations; the game's random generator is the only source of
// chance, so a given map always gives the same battle.

#include <cmath>
#include <vector>

#include "combat/Hangar.h"
#include "game/Game.h"
#include "players/Player.h"
#include "ships/Ship.h"

namespace battle
{

// A ship closes to this distance of its enemy and then only turns to face it.
constexpr float kEngageRange = 200.0f;

// One turn lasts as long as the ships' movement time: 10 seconds of ticks.
constexpr int kTicksPerTurn = 200;

inline Ship* NearestEnemy(const Game& game, const Ship& ship)
{
    Ship* nearest = nullptr;
    double best = 0.0;
    for (Player* player : game.GetPlayers())
    {
        if (player->GetIndex() == ship.owner)
        {
            continue;
        }
        for (Ship* other : player->fleet)
        {
            if (!other->IsAlive())
            {
                continue;
            }
            const double d = Length(other->position - ship.position);
            if (nearest == nullptr || d < best)
            {
                nearest = other;
                best = d;
            }
        }
    }
    return nearest;
}

// The current player's orders for its turn.
inline void OrderTurn(Game& game)
{
    Player& player = *game.GetCurrentPlayer();
    const std::vector<Ship*> fleet = player.fleet; // launches add to the fleet
    const int32_t savedType = game.GetOrderType();
    game.SetOrderType(3);
    for (Ship* ship : fleet)
    {
        if (!ship->IsAlive())
        {
            continue;
        }
        Ship* enemy = NearestEnemy(game, *ship);
        if (enemy == nullptr)
        {
            continue;
        }
        const Vector d = enemy->position - ship->position;
        const float distance = float(Length(d));
        if (distance > kEngageRange)
        {
            const float f = (distance - kEngageRange) / distance;
            ship->OrderMove(d.x * f, d.y * f, d.z * f);
        }
        else
        {
            ship->OrderRotate(d.x, d.y, d.z);
        }
        ship->SetTarget(enemy);
        for (Hangar* hangar : ship->hangars)
        {
            hangar->Launch(ship->position, ship->orientation);
        }
    }
    game.SetOrderType(savedType);
}

// Puts the current player's camera over the middle of its fleet, as a player
// watching the fight would keep it.
inline void FollowFleet(Game& game)
{
    Player& player = *game.GetCurrentPlayer();
    Vector sum;
    int count = 0;
    for (const Ship* ship : player.fleet)
    {
        if (ship->IsAlive())
        {
            sum += ship->position;
            count++;
        }
    }
    if (count > 0)
    {
        player.SetFocus(sum.x / count, sum.y / count, sum.z / count);
    }
}

// Ships and fighters still alive in all fleets.
inline int LiveShips(const Game& game)
{
    int count = 0;
    for (const Player* player : game.GetPlayers())
    {
        for (const Ship* ship : player->fleet)
        {
            count += ship->IsAlive() ? 1 : 0;
        }
    }
    return count;
}

} // namespace battle

#endif
