// Whole games in small: a wreck's life from the hit that destroys it to its
// dust cloud, and two ships fighting until one player is left.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "math/Random.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

class Fight : public GLTest
{
};

// A destroyed ship burns with small explosions for 60 ticks, bursts in a red and a yellow explosion at tick
// 61 and becomes a dark-red dust cloud at tick 91. The small explosions that this seed gives were recorded by
// tick with their colours and checked against the rules: one to three at the hit, then on about one tick in
// five, red from 0.5 to 1, green from 0 to 1, no blue, within 20 of the wreck on each axis.
TEST_F(Fight, AWrecksWholeLife)
{
    Game* game = NewEmptyGame(2);
    Environment& environment = *game->GetEnvironment();
    PlaceShip(game, 0, Vector(0, 0, 300));
    Ship* ship = PlaceShip(game, 1, Vector(0, 0, -300));
    std::fill(ship->hull, ship->hull + kHullFaces, 0.0f);
    SeedRandom(1234);
    Vector hit(0, 0, 1);
    ship->Damage(1.0f, 0, hit);
    ASSERT_EQ(game->WreckCount(), 1);
    EXPECT_EQ(game->WinnerIndex(), 0);
    const size_t regions = environment.regions.size();
    const float small[][3] = {
        // tick, red, green
        {0, 0.851817f, 0.235511f},  {1, 0.975875f, 0.394116f},  {6, 0.653584f, 0.902493f},
        {8, 0.726249f, 0.612445f},  {16, 0.518448f, 0.777276f}, {22, 0.815622f, 0.591571f},
        {43, 0.997253f, 0.688253f}, {47, 0.679846f, 0.972533f}, {55, 0.759590f, 0.393200f},
        {56, 0.506165f, 0.605548f}, {57, 0.541658f, 0.511307f}, {58, 0.737739f, 0.998505f},
        {59, 0.944929f, 0.144749f}, {60, 0.649968f, 0.637471f},
    };
    size_t next = 0, seen = 0;
    int flickers = 0; // with a chance of 0.2 a tick: 30 times in 90 ticks for this seed
    for (int tick = 0; tick <= 91; ++tick)
    {
        const bool lights = ship->lightsOn;
        if (tick > 0)
        {
            game->Tick();
            flickers += tick < 91 && ship->lightsOn != lights ? 1 : 0;
        }
        if (tick > 60)
        {
            EXPECT_EQ(environment.explosions.size() - seen, tick == 61 ? 2u : 0u) << "tick " << tick;
        }
        for (; seen < environment.explosions.size(); ++seen)
        {
            const Explosion& e = *environment.explosions[seen];
            const Vector offset = e.centre - ship->position;
            if (tick == 61) // the burst: red, then yellow
            {
                EXPECT_TRUE(e.count == 10 && e.scale == 1.0f && offset == Vector());
                EXPECT_EQ(e.colour,
                          seen + 1 == environment.explosions.size() ? Vector(1, 1, 0) : Vector(1, 0, 0));
                continue;
            }
            EXPECT_TRUE(e.count == 2 && e.scale == 0.2f && e.colour.z == 0.0f && e.colour.x >= 0.5f &&
                        e.colour.x < 1.0f && e.colour.y < 1.0f && std::fabs(offset.x) <= 20 &&
                        std::fabs(offset.y) <= 20 && std::fabs(offset.z) <= 20)
                << "tick " << tick;
            ASSERT_LT(next, sizeof small / sizeof small[0]) << "tick " << tick;
            EXPECT_LT(Length(Vector(tick, e.colour.x, e.colour.y) -
                             Vector(small[next][0], small[next][1], small[next][2])),
                      1e-6)
                << "tick " << tick;
            ++next;
        }
        ASSERT_EQ(game->WreckCount(), tick < 91 ? 1 : 0) << "tick " << tick;
        ASSERT_EQ(environment.regions.size(), regions + (tick < 91 ? 0 : 1)) << "tick " << tick;
        if (tick == 90)
        {
            hit = ship->position + ship->velocity; // where it drifts to and turns to dust
        }
    }
    EXPECT_EQ(next, sizeof small / sizeof small[0]);
    EXPECT_EQ(flickers, 30);
    const NebulaRegion& dust = *environment.regions.back();
    EXPECT_TRUE(dust.min == hit - Vector(50, 50, 50) && dust.max == hit + Vector(50, 50, 50));
    EXPECT_EQ(Vector(dust.density, dust.clouds[0]->velocity.x, dust.clouds[0]->velocity.z),
              Vector(0.02f, 0, 0));
    EXPECT_EQ(dust.colour, Vector(0.5f, 0, 0));
    EXPECT_EQ(game->WinnerIndex(), 0);
    delete game;
}

// A battle frigate's guns against a fusion frigate's beams, bow to bow 200
// apart, each player targeting the other in its turn, until one is left.
TEST_F(Fight, TwoShipsFightUntilOnePlayerIsLeft)
{
    Game* game = NewEmptyGame(2);
    Ship* gunShip = PlaceShip(game, 1, Vector(0, 0, 100));
    Ship* beamShip = PlaceShip(game, 0, Vector(0, 0, -100), "beamfrigateopen");
    beamShip->SetOrientation(0, 180, 0);
    for (Ship* ship : {gunShip, beamShip})
    {
        std::fill(ship->hull, ship->hull + kHullFaces, 400.0f);
        ship->Update();
        ship->NewTurn();
    }
    int turns = 0, bullets = 0, beams = 0;
    for (; game->WinnerIndex() == -1 && turns < 40; ++turns)
    {
        Ship* own = game->GetCurrentPlayer()->GetIndex() == 0 ? beamShip : gunShip;
        game->SetOrderType(3);
        own->SetTarget(own == gunShip ? beamShip : gunShip);
        for (int tick = 0; tick < 200 && game->WinnerIndex() == -1; ++tick)
        {
            game->Tick();
            bullets = std::max(bullets, game->GetBullets()->Count());
            beams = std::max(beams, game->GetBeams()->Count());
        }
        if (game->WinnerIndex() == -1)
        {
            game->NextPlayer();
        }
    }
    EXPECT_GT(bullets, 0);
    EXPECT_GT(beams, 0);
    const int winner = game->WinnerIndex();
    ASSERT_NE(winner, -1) << "nobody won in " << turns << " turns";
    EXPECT_FALSE((winner == 0 ? gunShip : beamShip)->IsAlive());
    EXPECT_EQ(game->WreckCount(), 1);
    for (int tick = 0; tick < 91; ++tick) // the wreck burns out; the winner stays
    {
        game->Tick();
    }
    EXPECT_EQ(game->WreckCount(), 0);
    EXPECT_EQ(game->WinnerIndex(), winner);
    delete game;
}

} // namespace
