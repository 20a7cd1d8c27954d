// Turrets and hangars: the aiming rules as tables, then beam and gun turrets,
// a squadron launch, a wreck's life and a fight to a winner in a real game,
// tick by tick. How turrets and cones look is checked by the scene's frames.

#include <gtest/gtest.h>

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

const FiringArc kBeamArc{90.0f, -10.0f, 10.0f};
const FiringArc kGunArc{180.0f, -20.0f, 88.0f};

TEST(TurretRules, ArcsTurnsAimsAndDamage)
{
    const struct
    {
        float pitch, yaw;
        const FiringArc& arc;
        bool inside, strictly;
    } arcs[] = {
        {0, 0, kBeamArc, true, true},        {0, 270, kBeamArc, true, false},
        {0, 90, kBeamArc, true, false},      {10, 0, kBeamArc, true, false},
        {-10.5f, 0, kBeamArc, false, false}, {0, 91, kBeamArc, false, false},
        {0, 269, kBeamArc, false, false},    {0, 180, kBeamArc, false, false},
        {0, 180, kGunArc, true, false},      {0, 179, kGunArc, true, true},
        {88, 0, kGunArc, true, false},       {88.5f, 0, kGunArc, false, false},
        {-20.5f, 0, kGunArc, false, false},
    };
    for (const auto& a : arcs)
    {
        EXPECT_EQ(InsideArc(Orientation(a.pitch, a.yaw, 0), a.arc), a.inside) << a.pitch << " " << a.yaw;
        EXPECT_EQ(StrictlyInsideArc(Orientation(a.pitch, a.yaw, 0), a.arc), a.strictly)
            << a.pitch << " " << a.yaw;
    }

    // One axis (yaw) turned towards the wanted angle: a full step costs a tick
    // of turning time, a smaller rest its share, the short way across 0.
    const float turns[][5] = {
        // aim, wanted, step -> aim, time left of 5
        {0, 10, 1.5f, 1.5f, 4.95f}, {9, 9.75f, 1.5f, 9.75f, 4.975f}, {0, 1.5f, 1.5f, 1.5f, 4.95f},
        {350, 10, 5, 355, 4.95f},   {1, 359, 1.5f, -0.5f, 4.95f},    {355, -5, 1.5f, -5, 5},
    };
    for (const auto& t : turns)
    {
        Orientation aim(0, t[0], 0);
        float time = 5.0f;
        TurnAxis(aim, Orientation(0, t[1], 0), 1, t[2], time);
        EXPECT_FLOAT_EQ(aim.y, t[3]) << t[0] << " to " << t[1];
        EXPECT_FLOAT_EQ(time, t[4]) << t[0] << " to " << t[1];
    }
    Orientation wrapped(-1.5f, 361.0f, 360.0f);
    WrapAim(wrapped);
    EXPECT_EQ(wrapped, Orientation(358.5f, 1.0f, 360.0f));

    // The target taken into the ship's frame, made relative to the mount and
    // taken into the mount's frame.
    const struct
    {
        Vector target, shipPosition, shipOrientation, mount, mountRotation;
        float pitch, yaw;
    } aims[] = {
        {Vector(0, 0, -100), Vector(), Vector(), Vector(), Vector(), 0, 0},
        {Vector(100, 0, 0), Vector(), Vector(), Vector(), Vector(), 0, 270},
        {Vector(500, 0, -100), Vector(500, 0, 0), Vector(), Vector(), Vector(), 0, 0},
        {Vector(-100, 0, 0), Vector(), Vector(0, 90, 0), Vector(), Vector(), 0, 360},
        {Vector(0, 10, -100), Vector(), Vector(), Vector(0, 10, 0), Vector(), 0, 0},
        {Vector(0, -10, -100), Vector(), Vector(0, 0, 180), Vector(0, 10, 0), Vector(), 0, 0},
        {Vector(-100, 0, 0), Vector(), Vector(), Vector(), Vector(0, 90, 0), 0, 360},
        {Vector(0, 100, -100), Vector(), Vector(), Vector(), Vector(), 45, 0},
    };
    for (const auto& a : aims)
    {
        const Orientation w =
            WantedAim(a.target, a.shipPosition, a.shipOrientation, a.mount, a.mountRotation);
        EXPECT_NEAR(w.x, a.pitch, 1e-3) << a.target.x << " " << a.target.y << " " << a.target.z;
        EXPECT_NEAR(std::fabs(AngleDifference(w.y, a.yaw)), 0.0f, 1e-3) << a.target.x << " " << a.target.z;
    }
    EXPECT_EQ(BeamDamageAt(299.99f), 1.0f);
    EXPECT_FLOAT_EQ(BeamDamageAt(600.0f), 0.25f);
    EXPECT_FLOAT_EQ(BeamDamageAt(3000.0f), 0.01f);

    // The cone's loops add their step in single precision: the gun's pitch
    // loop loses its last line; odd steps from marker numbers still end.
    EXPECT_EQ(ConeSteps(-10, 10, 0.2f * 10).size(), 11u);
    EXPECT_EQ(ConeSteps(-20, 88, 0.1f * 108).size(), 10u);
    EXPECT_EQ(ConeSteps(0, 0, 0).size(), 1u);
    EXPECT_EQ(ConeSteps(-5, 5, -1).size(), 1u);
    EXPECT_LE(ConeSteps(-20, -19.999998f, 1e-9f).size(), 2u);
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
    Ship* Target(const Vector& position)
    {
        Ship* ship = PlaceShip(game, 1, position - kTestOrigin);
        ship->motionState = Ship::Stopped;
        return ship;
    }
    static float Hull(const Ship* ship)
    {
        float total = 0.0f;
        for (float h : ship->hull)
        {
            total += h;
        }
        return total;
    }
    static Game* game;
};

Game* Combat::game = nullptr;

TEST_F(Combat, MarkerNumbersOverrideTheTurretDefaults)
{
    BeamList& beams = *game->GetBeams();
    BulletList& bullets = *game->GetBullets();
    Model* beamModel = game->FindObjectModel("beamturret");
    const BeamTurret plain(Marker("beamturret", {}, Vector(4, 5, 6), Vector(10, 0, 30)), beamModel, &beams,
                           game);
    EXPECT_EQ(plain.mountPosition, Vector(4, 6, 5)); // file y and z exchanged
    EXPECT_EQ(plain.mountRotation, Vector(10, 30, 0));
    const FiringArc arc = plain.Arc();
    EXPECT_EQ(Vector(arc.halfWidth, arc.minPitch, arc.maxPitch), Vector(90, -10, 10));
    EXPECT_EQ(Vector(plain.turnStep, plain.beamWidth, plain.fireTimeLeft), Vector(1.5f, 5, 5));
    EXPECT_EQ(plain.beamColour, Vector(1, 0, 0));
    const std::vector<float> numbers = {45, 20, 60, 99, 3, 99, 0.1f, 0.2f, 0.3f};
    const BeamTurret full(Marker("beamturret", numbers), beamModel, &beams, game);
    EXPECT_EQ(Vector(full.arcHalfWidth, full.arcHalfHeight, full.turnStep), Vector(45, 20, 60 * 0.05f));
    EXPECT_EQ(full.beamWidth, 3.0f);
    EXPECT_EQ(full.beamColour, Vector(0.1f, 0.2f, 0.3f));
    AseNode two = Marker("beamturret", numbers);
    two.propertyCount = 2; // only the numbers the marker counts
    const BeamTurret counted(two, beamModel, &beams, game);
    EXPECT_EQ(Vector(counted.arcHalfWidth, counted.arcHalfHeight, counted.turnStep), Vector(45, 20, 1.5f));
    EXPECT_EQ(counted.beamColour, Vector(1, 0, 0));

    Model* base = game->FindObjectModel("gunturret_base");
    Model* guns = game->FindObjectModel("gunturret_guns");
    const GunTurret gun(Marker("gunturret", {}), base, guns, &bullets, game);
    EXPECT_EQ(Vector(gun.arcHalfWidth, gun.elevationMin, gun.elevationMax), Vector(180, -20, 88));
    EXPECT_EQ(Vector(gun.turnStep, gun.bulletSize, float(gun.fixed)), Vector(5, 2, 0));
    EXPECT_EQ(gun.bulletColour, Vector(1, 1, 0));
    const GunTurret set(Marker("gunturret", {120, 60, 80, 0, 1.5f, 0, 0.5f, 0.6f, 0.7f}), base, guns,
                        &bullets, game);
    EXPECT_EQ(Vector(set.arcHalfWidth, set.elevationMin, set.elevationMax), Vector(120, -20, 60));
    EXPECT_EQ(Vector(set.turnStep, set.bulletSize, 0), Vector(80 * 0.05f, 1.5f, 0));
    EXPECT_EQ(set.bulletColour, Vector(0.5f, 0.6f, 0.7f));
    EXPECT_TRUE(GunTurret(Marker("guns", {}), nullptr, nullptr, &bullets, game).fixed);
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
    EXPECT_EQ(turret.state, Aiming);
    const float hull = Hull(target);
    for (int tick = 1; tick <= 130; ++tick)
    {
        turret.Update(Vector(), Orientation());
        const TurretState expected = tick <= 20 ? Aiming : tick <= 120 ? Firing : Spent;
        ASSERT_EQ(turret.state, expected) << "tick " << tick;
        ASSERT_EQ(beams.Count(), expected == Firing ? 1 : 0) << "tick " << tick;
        if (tick <= 20)
        {
            ASSERT_FLOAT_EQ(turret.aim.y, 1.5f * tick);
            ASSERT_NEAR(turret.turnTimeLeft, 5.0f - 0.05f * tick, 1e-5);
        }
        ASSERT_NEAR(hull - Hull(target), std::min(std::max(tick - 21, 0), 100), 1e-3) << "tick " << tick;
    }
    EXPECT_EQ(turret.fireTimeLeft, 0.0f);
    EXPECT_EQ(turret.beamId, 0u);

    // Spent: a new target is only remembered, until the next turn.
    Ship* other = Target(Vector(0, 0, -100));
    turret.SetTarget(other);
    turret.Update(Vector(), Orientation());
    EXPECT_EQ(turret.state, Spent);
    EXPECT_EQ(turret.target, other);
    turret.NewTurn();
    EXPECT_EQ(Vector(turret.state, turret.fireTimeLeft, turret.turnTimeLeft), Vector(Idle, 5, 5));
    turret.Update(Vector(), Orientation());
    EXPECT_EQ(turret.state, Idle);
}

TEST_F(Combat, ABeamFollowsItsMountLeavesWithTheArcAndStopsAfterABurst)
{
    BeamList& beams = *game->GetBeams();
    // Mount 10 to the right on a ship at (100, 0, 0) facing -X: world (100, 0, -10).
    BeamTurret turret(Marker("beamturret", {}, Vector(10, 0, 0)), game->FindObjectModel("beamturret"), &beams,
                      game);
    Ship* target = Target(Vector(-100, 0, -10));
    turret.SetTarget(target);
    turret.Update(Vector(100, 0, 0), Orientation(0, 90, 0));
    ASSERT_EQ(turret.state, Firing);
    EXPECT_NEAR(Length(beams.beams[0].start - Vector(100, 0, -10)), 0.0f, 1e-3);
    EXPECT_NEAR(Length(beams.beams[0].vector - Vector(-200, 0, 0)), 0.0f, 1e-3);
    turret.Update(Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_NEAR(beams.beams[0].length, 150.0f, 1e-2);

    // Above the arc: out, the beam gone, no damage. Back at exactly the edge it
    // stays out; strictly inside it aims again, and turns on the tick after.
    const float hull = Hull(target);
    target->SetPosition(-100, 50, -10);
    turret.Update(Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_EQ(turret.state, OutOfArc);
    EXPECT_EQ(beams.Count(), 0);
    EXPECT_EQ(Hull(target), hull);
    turret.arcHalfHeight = WantedAim(target->position, Vector(50, 0, 0), Orientation(0, 90, 0),
                                     turret.mountPosition, turret.mountRotation)
                               .x;
    turret.Update(Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_EQ(turret.state, OutOfArc);
    target->SetPosition(-100, 0, -10);
    turret.Update(Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_EQ(turret.state, Aiming);

    // Burst fire: one second of fire, then Idle until given a target again.
    turret.burstFire = true;
    turret.SetTarget(target);
    int firing = 0;
    for (int tick = 0; tick < 60; ++tick)
    {
        turret.Update(Vector(50, 0, 0), Orientation(0, 90, 0));
        firing += turret.state == Firing ? 1 : 0;
    }
    EXPECT_EQ(turret.state, Idle);
    EXPECT_EQ(firing, 20);
    EXPECT_EQ(beams.Count(), 0);
}

TEST_F(Combat, GunsFireASalvoFromBothMuzzlesEveryFifthTick)
{
    BulletList& bullets = *game->GetBullets();
    GunTurret turret(Marker("gunturret", {}), game->FindObjectModel("gunturret_base"),
                     game->FindObjectModel("gunturret_guns"), &bullets, game);
    Ship* target = Target(Vector(0, 0, -200));
    turret.SetTarget(target);
    turret.Update(Vector(), Orientation());
    ASSERT_EQ(turret.state, Firing);
    const size_t before = bullets.bullets.size();
    std::vector<size_t> counts;
    for (int tick = 1; tick <= 15; ++tick)
    {
        turret.Update(Vector(), Orientation());
        counts.push_back(bullets.bullets.size() - before);
    }
    EXPECT_EQ(counts, std::vector<size_t>({0, 0, 0, 0, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6}));
    const Bullet* left = bullets.bullets[before];
    const Bullet* right = bullets.bullets[before + 1];
    EXPECT_NEAR(Length(left->position - Vector(-0.881f, 2.8f, 0)), 0.0f, 1e-4);
    EXPECT_NEAR(Length(right->position - Vector(0.881f, 2.8f, 0)), 0.0f, 1e-4);
    EXPECT_GT(left->velocity.x, 0.0f); // each muzzle aims at the target from where it stands
    EXPECT_LT(right->velocity.x, 0.0f);
    for (const Bullet* b : {left, right})
    {
        EXPECT_EQ(b->target, target);
        EXPECT_EQ(b->colour, Vector(1, 1, 0));
        EXPECT_EQ(b->size, 2.0f);
        EXPECT_LE(b->velocity.z, -5.0f * 0.999f); // 5 to 5.5 units a tick
        EXPECT_GE(b->velocity.z, -5.5f);
    }

    // 45 degrees below the mount: out of the arc, silent.
    turret.SetTarget(Target(Vector(0, -200, -200)));
    for (int tick = 0; tick < 20; ++tick)
    {
        turret.Update(Vector(), Orientation());
    }
    EXPECT_EQ(turret.state, OutOfArc);
    EXPECT_EQ(bullets.bullets.size(), before + 6);

    // Fixed guns fire from beside their mount.
    GunTurret fixed(Marker("guns", {}), nullptr, nullptr, &bullets, game);
    fixed.SetTarget(target);
    for (int tick = 0; tick < 6; ++tick)
    {
        fixed.Update(Vector(), Orientation());
    }
    ASSERT_EQ(bullets.bullets.size(), before + 8);
    EXPECT_NEAR(Length(bullets.bullets[before + 6]->position - Vector(-0.5f, 0, 0)), 0.0f, 1e-5);
    EXPECT_NEAR(Length(bullets.bullets[before + 7]->position - Vector(0.5f, 0, 0)), 0.0f, 1e-5);
    for (Bullet* b : bullets.bullets)
    {
        delete b;
    }
    bullets.bullets.clear();
}

// A carrier pitched up, yawed and rolled launches five fighters in a line from
// its hangar towards its front, each facing back along it, all flying off.
TEST_F(Combat, AHangarLaunchesOneSquadronATurnUntilItHasNoneLeft)
{
    Player* player = game->GetCurrentPlayer();
    const size_t fleet = player->fleet.size();
    Hangar hangar(Marker("hangar", {2.9f}, Vector(0, 0, 20)), game);
    EXPECT_EQ(hangar.squadronsLeft, 2);
    const uint32_t firstId = game->nextId;
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0));
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0)); // once a turn
    ASSERT_EQ(player->fleet.size(), fleet + 5);
    for (int i = 0; i < 5; ++i)
    {
        const Ship* f = player->fleet[fleet + size_t(i)];
        EXPECT_EQ(f->name, "Vuvorivud Uduvurov");
        EXPECT_EQ(f->id, firstId + uint32_t(i));
        EXPECT_EQ(f->owner, player->GetIndex());
        EXPECT_EQ(f->model, game->FindShipModel("smallfighter"));
        EXPECT_EQ(f->position, Vector(0, 20, -10.0f * i));
        EXPECT_EQ(f->destination, Vector(0, 40, 100.0f - 20.0f * i));
        EXPECT_EQ(f->orientation, Orientation(0, 180, 0));
        EXPECT_EQ(f->motionState, int32_t(Ship::Aligning));
        EXPECT_EQ(f->moveTimeLeft, f->moveTimePerTurn);
    }
    hangar.NewTurn();
    hangar.Launch(Vector(100, 0, 0), Orientation(10, 30, 5));
    ASSERT_EQ(player->fleet.size(), fleet + 10);
    const Ship* second = player->fleet[fleet + 6];
    EXPECT_EQ(second->orientation, Orientation(-10, 150, 5));
    Vector offset;
    RotateByAngles(Vector(0, 20, -10), offset, Orientation(10, 30, 5));
    EXPECT_NEAR(Length(second->position - Vector(100, 0, 0) - offset), 0.0f, 1e-4);
    hangar.NewTurn();
    hangar.Launch(Vector(0, 0, 0), Orientation(0, 0, 0)); // no squadrons left
    EXPECT_EQ(player->fleet.size(), fleet + 10);
    EXPECT_EQ(hangar.squadronsLeft, 0);
    while (player->fleet.size() > fleet)
    {
        delete player->fleet.back();
        player->fleet.pop_back();
    }
}

} // namespace
