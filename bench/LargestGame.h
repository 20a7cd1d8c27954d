#ifndef KORVANE_BENCH_LARGESTGAME_H
#define KORVANE_BENCH_LARGESTGAME_H

#include <memory>

#include "combat/Hangar.h"
#include "game/Game.h"
#include "math/Random.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

// Four players on map4 (the most clouds): every squadron launched (20
// capital ships, 80 fighters), every ship's detection entries filled, four
// wrecks burning, ten dust clouds, eight wreck bursts at their fullest, 600
// bullets in flight and every cloud's puffs turned (so every cloud keeps its
// angles). More than a game ever holds at one hand-over.
inline std::unique_ptr<Game> LargestGame()
{
    SeedRandom(1);
    std::unique_ptr<Game> game(new Game(4, "map4"));
    for (Player* player : game->players)
    {
        game->currentPlayer = player;
        const std::vector<Ship*> capital = player->fleet;
        for (Ship* ship : capital)
        {
            for (Hangar* hangar : ship->hangars)
            {
                while (hangar->GetSquadronsLeft() > 0)
                {
                    hangar->NewTurn();
                    hangar->Launch(ship->position, ship->orientation);
                }
            }
        }
    }
    for (Player* player : game->players)
    {
        game->currentPlayer = player;
        for (Ship* ship : player->fleet)
        {
            game->SensorSweep(ship);
        }
    }
    game->currentPlayer = game->players[0];
    std::vector<Ship*> all;
    for (Player* player : game->players)
    {
        all.insert(all.end(), player->fleet.begin(), player->fleet.end());
    }
    for (int i = 0; i < 600; i++)
    {
        Ship* target = all[size_t(i * 7) % all.size()];
        game->bullets->AddBullet(Vector(float(i), 10.0f, float(-i)), Vector(1.0f, 0.5f, -2.0f),
                                 Vector(1.0f, 1.0f, 0.0f), 2.0f, target);
    }
    for (int i = 0; i < 4; i++)
    {
        Ship* ship = game->players[size_t(i)]->fleet[1];
        for (float& face : ship->hull)
        {
            face = 0.0f;
        }
        Vector hit(0.0f, 0.0f, -1.0f);
        ship->Damage(1.0f, 0, hit);
    }
    for (int i = 0; i < 10; i++)
    {
        const Vector centre(float(100 * i), 0.0f, 300.0f);
        const Vector half(50.0f, 50.0f, 50.0f);
        game->environment->AddRegion(centre - half, centre + half, 0.2f, 0.0f, Vector(0.5f, 0.0f, 0.0f));
    }
    for (int i = 0; i < 8; i++)
    {
        Vector centre(float(50 * i), 0.0f, 0.0f);
        Vector red(1.0f, 0.0f, 0.0f);
        game->environment->AddExplosion(10, 1.0f, &centre, &red, false);
        game->environment->AddExplosion(10, 1.0f, &centre, &red, false);
    }
    for (int tick = 0; tick < 12; tick++)
    {
        for (Explosion* explosion : game->environment->explosions)
        {
            explosion->Update();
        }
    }
    for (NebulaRegion* region : game->environment->regions)
    {
        for (Cloud* cloud : region->clouds)
        {
            SpinPuffs(cloud->puffs, 2);
        }
    }
    return game;
}

#endif
