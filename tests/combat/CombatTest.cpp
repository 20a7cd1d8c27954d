// Turrets and hangars: the aiming rules as tables, then beam and gun turrets,
// a squadron launch and a wreck's life in a real game, tick by tick. How
// turrets and cones look is checked by the scene's frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "combat/TurretCone.h"
#include "math/Random.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

// The arc tests at and across their edges, one axis turned by one tick, and
// the lines of a cone, whose loops add their step in single precision.
TEST(TurretRules, ArcsTurnsAndConeLines)
{
    const FiringArc beam{90, -10, 10}, gun{180, -20, 88};
    const float arcs[][5] = {
        // pitch, yaw, gun arc (else beam) -> inside, strictly inside
        {0, 0, 0, 1, 1},   {0, 270, 0, 1, 0}, {10, 0, 0, 1, 0}, {-10.5f, 0, 0, 0, 0}, {0, 91, 0, 0, 0},
        {0, 180, 1, 1, 0}, {0, 179, 1, 1, 1}, {88, 0, 1, 1, 0}, {88.5f, 0, 1, 0, 0},  {-20.5f, 0, 1, 0, 0},
    };
    for (const auto& a : arcs)
    {
        const Orientation wanted(a[0], a[1], 0);
        EXPECT_EQ(InsideArc(wanted, a[2] != 0 ? gun : beam), a[3] != 0) << a[0] << " " << a[1];
        EXPECT_EQ(StrictlyInsideArc(wanted, a[2] != 0 ? gun : beam), a[4] != 0) << a[0] << " " << a[1];
    }
    const float turns[][5] = {
        // aim, wanted, step -> aim, time left of 5: a full step costs a tick, a smaller rest its share
        {0, 10, 1.5f, 1.5f, 4.95f}, {9, 9.75f, 1.5f, 9.75f, 4.975f}, {0, 1.5f, 1.5f, 1.5f, 4.95f},
        {350, 10, 5, 355, 4.95f},   {1, 359, 1.5f, -0.5f, 4.95f},    {355, -5, 1.5f, -5, 5},
    };
    for (const auto& t : turns)
    {
        Orientation aim(0, t[0], 0);
        float time = 5.0f;
        TurnAxis(aim, Orientation(0, t[1], 0), 1, t[2], time);
        EXPECT_EQ(Vector(aim.y, time, 0), Vector(t[3], t[4], 0)) << t[0] << " to " << t[1];
    }
    EXPECT_TRUE(BeamDamageAt(299.99f) == 1.0f && BeamDamageAt(600.0f) == 0.25f); // 1 up to 300, then falling
    EXPECT_EQ(ConeSteps(-10, 10, 0.2f * 10).size(), 11u);
    EXPECT_EQ(ConeSteps(-20, 88, 0.1f * 108).size(), 10u); // the gun loses its last pitch line
    EXPECT_EQ(ConeSteps(-5, 5, -1).size(), 1u);            // odd marker numbers still end
    EXPECT_LE(ConeSteps(-20, -19.999998f, 1e-9f).size(), 2u);
}

// Updates a turret of a ship at p with orientation o, for some ticks.
template <typename Turret>
void Tick(Turret& turret, int ticks, const Vector& p = Vector(), const Orientation& o = {})
{
    for (int tick = 0; tick < ticks; ++tick)
    {
        turret.Update(p, o);
    }
}

// A real two-player game, built once, and ships placed by hand.
class Combat : public GLTest
{
  protected:
    static void SetUpTestSuite()
    {
        if (OpenGameDisplay())
        {
            game = NewEmptyGame(2);
        }
    }
    static void TearDownTestSuite() { delete game; }
    void TearDown() override
    {
        game->GetBeams()->Clear();
        GLTest::TearDown();
    }
    Ship* Target(const Vector& position) { return PlaceShip(game, 1, position - kTestOrigin); }
    static Game* game;
};

Game* Combat::game = nullptr;

// The numbers of a marker override the defaults by position, as far as the
// marker counts them. Turrets from markers without numbers, with their
// defaults, are those of the scenarios below.
TEST_F(Combat, MarkerNumbersOverrideTheTurretDefaults)
{
    AseNode two =
        Marker("beamturret", {45, 20, 60, 99, 3, 99, 0.1f, 0.2f, 0.3f}, Vector(), Vector(10, 0, 30));
    const BeamTurret full(two, game->FindObjectModel("beamturret"), game->GetBeams(), game);
    two.propertyCount = 2;
    const BeamTurret counted(two, game->FindObjectModel("beamturret"), game->GetBeams(), game);
    const GunTurret gun(Marker("gunturret", {120, 60, 80, 0, 1.5f, 0, 0.5f, 0.6f, 0.7f}),
                        game->FindObjectModel("gunturret_base"), game->FindObjectModel("gunturret_guns"),
                        game->GetBullets(), game);
    EXPECT_EQ(std::vector<float>({full.arcHalfWidth, full.arcHalfHeight, full.turnStep, full.beamWidth,
                                  counted.arcHalfWidth, counted.arcHalfHeight, counted.turnStep,
                                  counted.beamWidth}),
              std::vector<float>({45, 20, 3, 3, 45, 20, 1.5f, 5}));
    EXPECT_TRUE(full.beamColour == Vector(0.1f, 0.2f, 0.3f) && counted.beamColour == Vector(1, 0, 0));
    EXPECT_EQ(counted.mountRotation, Vector(10, 30, 0)); // file y and z exchanged
    EXPECT_EQ(
        std::vector<float>({gun.arcHalfWidth, gun.elevationMin, gun.elevationMax, gun.turnStep,
                            gun.bulletSize, gun.bulletColour.x, gun.bulletColour.y, gun.bulletColour.z}),
        std::vector<float>({120, -20, 60, 4, 1.5f, 0.5f, 0.6f, 0.7f}));
}

// Aimed at a ship 30 degrees to the left, the turret turns 1.5 degrees a tick
// for 20 ticks, snaps onto it on the 21st and fires at once; the beam does 1
// a tick within 300 until the five seconds of fire are spent at tick 121.
TEST_F(Combat, ABeamTurretTurnsFiresAndIsSpentTickByTick)
{
    BeamList& beams = *game->GetBeams();
    BeamTurret turret(Marker("beamturret", {}), game->FindObjectModel("beamturret"), &beams, game);
    Ship* target = Target(Vector(-100.0f, 0.0f, -173.205f));
    turret.SetTarget(target);
    const float hull = TotalHull(*target);
    for (int tick = 1; tick <= 130; ++tick)
    {
        turret.Update(Vector(), Orientation());
        const TurretState expected = tick <= 20 ? Aiming : tick <= 120 ? Firing : Spent;
        ASSERT_EQ(turret.state, expected) << "tick " << tick;
        ASSERT_EQ(beams.Count(), expected == Firing ? 1 : 0) << "tick " << tick;
        ASSERT_NEAR(hull - TotalHull(*target), std::min(std::max(tick - 21, 0), 100), 1e-3)
            << "tick " << tick;
    }
    EXPECT_EQ(std::vector<float>({turret.fireTimeLeft, float(turret.beamId)}), std::vector<float>({0, 0}));
    // Spent: a new target is only remembered, until the next turn.
    Ship* other = Target(Vector(0, 0, -100));
    turret.SetTarget(other);
    Tick(turret, 1);
    EXPECT_TRUE(turret.state == Spent && turret.target == other);
    turret.NewTurn();
    Tick(turret, 1);
    EXPECT_EQ(Vector(turret.state, turret.fireTimeLeft, turret.turnTimeLeft), Vector(Idle, 5, 5));
}

TEST_F(Combat, ABeamFollowsItsMountLeavesWithTheArcAndStopsAfterABurst)
{
    BeamList& beams = *game->GetBeams();
    // Mount 10 right and 4 up on a ship at (100, 0, 0) facing -X: world (100, 4, -10).
    BeamTurret turret(Marker("beamturret", {}, Vector(10, 0, 4)), game->FindObjectModel("beamturret"), &beams,
                      game);
    Ship* target = Target(Vector(-100, 4, -10));
    turret.SetTarget(target);
    Tick(turret, 1, Vector(100, 0, 0), Orientation(0, 90, 0));
    ASSERT_EQ(turret.state, Firing);
    EXPECT_LT(Length(beams.beams[0].start - Vector(100, 4, -10)) +
                  Length(beams.beams[0].vector - Vector(-200, 0, 0)),
              1e-3);
    Tick(turret, 1, Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_NEAR(beams.beams[0].length, 150.0f, 1e-2);

    // Above the arc: out, the beam gone, no damage. Back at exactly the edge it
    // stays out; strictly inside it aims again.
    const float hull = TotalHull(*target);
    target->SetPosition(-100, 54, -10);
    Tick(turret, 1, Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_TRUE(turret.state == OutOfArc && beams.Count() == 0 && TotalHull(*target) == hull);
    turret.arcHalfHeight = WantedAim(target->position, Vector(50, 0, 0), Orientation(0, 90, 0),
                                     turret.mountPosition, turret.mountRotation)
                               .x;
    Tick(turret, 1, Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_EQ(turret.state, OutOfArc);
    target->SetPosition(-100, 4, -10);
    Tick(turret, 1, Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_EQ(turret.state, Aiming);

    // Burst fire: one second of fire, then Idle until given a target again.
    turret.burstFire = true;
    turret.SetTarget(target);
    int firing = 0;
    for (int tick = 0; tick < 60; ++tick)
    {
        Tick(turret, 1, Vector(50, 0, 0), Orientation(0, 90, 0));
        firing += turret.state == Firing ? 1 : 0;
    }
    EXPECT_EQ(std::vector<int>({turret.state, firing, beams.Count()}), std::vector<int>({Idle, 20, 0}));
}

// The gun fires from the first tick; its first salvo leaves five ticks later,
// one bullet from each muzzle beside the guns' pivot, aimed from there, at 5
// to 5.5 units a tick. Fixed guns fire from beside their mount.
TEST_F(Combat, GunsFireASalvoFromBothMuzzlesEveryFifthTick)
{
    std::vector<Bullet*>& all = game->GetBullets()->bullets;
    const size_t before = all.size();
    auto bullet = [&](size_t i) { return all[before + i]; };
    GunTurret turret(Marker("gunturret", {}), game->FindObjectModel("gunturret_base"),
                     game->FindObjectModel("gunturret_guns"), game->GetBullets(), game);
    Ship* target = Target(Vector(0, 0, -200));
    turret.SetTarget(target);
    std::vector<size_t> counts;
    for (int tick = 0; tick <= 15; ++tick)
    {
        turret.Update(Vector(), Orientation());
        counts.push_back(all.size() - before);
    }
    EXPECT_EQ(counts, std::vector<size_t>({0, 0, 0, 0, 0, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6}));
    EXPECT_LT(Length(bullet(0)->position - Vector(-0.881f, 2.8f, 0)), 1e-4);
    EXPECT_LT(Length(bullet(1)->position - Vector(0.881f, 2.8f, 0)), 1e-4);
    EXPECT_TRUE(bullet(0)->velocity.x > 0.0f && bullet(1)->velocity.x < 0.0f);
    for (const Bullet* b : {bullet(0), bullet(1)})
    {
        EXPECT_TRUE(b->target == target && b->colour == Vector(1, 1, 0) && b->size == 2.0f);
        EXPECT_TRUE(b->velocity.z <= -4.995f && b->velocity.z >= -5.5f) << b->velocity.z;
    }
    turret.SetTarget(Target(Vector(0, -200, -200))); // 45 degrees below: out of the arc, silent
    Tick(turret, 20);
    EXPECT_EQ(turret.state, OutOfArc);
    GunTurret fixed(Marker("guns", {}), nullptr, nullptr, game->GetBullets(), game);
    fixed.SetTarget(target);
    Tick(fixed, 6);
    ASSERT_EQ(all.size(), before + 8);
    EXPECT_LT(Length(bullet(6)->position - Vector(-0.5f, 0, 0)), 1e-5);
    EXPECT_LT(Length(bullet(7)->position - Vector(0.5f, 0, 0)), 1e-5);
}

// Five fighters start in a line from the hangar towards the carrier's front,
// facing back along it, with a full turn and the order to fly off. A pitched,
// yawed and rolled carrier turns the line with it.
TEST_F(Combat, AHangarLaunchesOneSquadronATurnUntilItHasNoneLeft)
{
    std::vector<Ship*>& fleet = game->GetCurrentPlayer()->fleet;
    const size_t before = fleet.size();
    Hangar hangar(Marker("hangar", {2.9f}, Vector(0, 0, 20)), game);
    EXPECT_EQ(hangar.squadronsLeft, 2);
    const uint32_t firstId = game->nextId;
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0));
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0)); // once a turn
    ASSERT_EQ(fleet.size(), before + 5);
    for (uint32_t i = 0; i < 5; ++i)
    {
        const Ship* f = fleet[before + i];
        EXPECT_TRUE(f->name == "Vuvorivud Uduvurov" && f->id == firstId + i && f->owner == 0 &&
                    f->model == game->FindShipModel("smallfighter") && f->motionState == Ship::Aligning);
        EXPECT_TRUE(f->position == Vector(0, 20, -10.0f * i) &&
                    f->destination == Vector(0, 40, 100.0f - 20.0f * i));
        EXPECT_TRUE(f->orientation == Orientation(0, 180, 0) && f->moveTimeLeft == 10.0f) << i;
    }
    hangar.NewTurn();
    hangar.Launch(Vector(100, 0, 0), Orientation(10, 30, 5));
    ASSERT_EQ(fleet.size(), before + 10);
    EXPECT_EQ(fleet[before + 6]->orientation, Orientation(-10, 150, 5));
    Vector offset;
    RotateByAngles(Vector(0, 20, -10), offset, Orientation(10, 30, 5));
    EXPECT_LT(Length(fleet[before + 6]->position - Vector(100, 0, 0) - offset), 1e-4);
    hangar.NewTurn();
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0)); // none left
    EXPECT_TRUE(fleet.size() == before + 10 && hangar.squadronsLeft == 0);
    for (; fleet.size() > before; fleet.pop_back())
    {
        delete fleet.back();
    }
}

// A destroyed ship burns with small explosions for 60 ticks, bursts in a red and a yellow explosion at tick
// 61 and becomes a dark-red dust cloud at tick 91. The small explosions that this seed gives were recorded by
// tick with their colours and checked against the rules: one to three at the hit, then on about one tick in
// five, red from 0.5 to 1, green from 0 to 1, no blue, within 20 of the wreck on each axis.
TEST_F(Combat, AWrecksWholeLife)
{
    Game* game = NewEmptyGame(2);
    Environment& environment = *game->GetEnvironment();
    PlaceShip(game, 0, Vector(0, 0, 300));
    Ship* ship = PlaceShip(game, 1, Vector(0, 0, -300));
    std::fill(ship->hull, ship->hull + kHullFaces, 0.0f);
    SeedRandom(1234);
    Vector hit(0, 0, 1);
    ship->Damage(1.0f, 0, hit);
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
        hit = tick == 90 ? ship->position + ship->velocity : hit; // where it drifts to and turns to dust
    }
    EXPECT_TRUE(next == sizeof small / sizeof small[0] && flickers == 30) << next << " " << flickers;
    const NebulaRegion& dust = *environment.regions.back();
    EXPECT_TRUE(dust.min == hit - Vector(50, 50, 50) && dust.max == hit + Vector(50, 50, 50));
    EXPECT_EQ(dust.colour, Vector(0.5f, 0, 0));
    EXPECT_EQ(dust.density, 0.02f);
    delete game;
}

} // namespace
