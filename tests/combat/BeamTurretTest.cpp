#include <gtest/gtest.h>

#include <cmath>

#include "combat/BeamTurret.h"
#include "combat/ScenarioSupport.h"
#include "weapons/BeamList.h"

namespace
{

class BeamTurretTest : public GameTest
{
  protected:
    BeamTurret* MakeTurret(const AseNode& node)
    {
        turret = new BeamTurret(node, game->FindObjectModel("beamturret"), &beams(), game);
        return turret;
    }
    void TearDown() override
    {
        delete turret;
        turret = nullptr;
        delete beamList;
        beamList = nullptr;
        GameTest::TearDown();
    }
    BeamList& beams()
    {
        if (beamList == nullptr)
        {
            beamList = new BeamList;
        }
        return *beamList;
    }
    // Ticks the turret of a ship at the origin facing -Z.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
        {
            turret->Update(Vector(0, 0, 0), Orientation(0, 0, 0));
        }
    }

    BeamTurret* turret = nullptr;
    BeamList* beamList = nullptr;
};

// --- Construction ---

TEST_F(BeamTurretTest, DefaultsAndMountInGameAxes)
{
    MakeTurret(Marker("beamturret", Vector(1, 2, 3), {}, Vector(0, 0, 90)));
    EXPECT_EQ(turret->name, "beamturret01");
    EXPECT_EQ(turret->mountPosition, Vector(1, 3, 2));
    EXPECT_EQ(turret->mountRotation, Vector(0, 90, 0));
    EXPECT_EQ(turret->arcHalfWidth, 90.0f);
    EXPECT_EQ(turret->arcHalfHeight, 10.0f);
    EXPECT_EQ(turret->turnStep, 1.5f);
    EXPECT_EQ(turret->beamColour, Vector(1, 0, 0));
    EXPECT_EQ(turret->beamWidth, 5.0f);
    EXPECT_EQ(turret->state, Idle);
    EXPECT_EQ(turret->fireTimeLeft, 5.0f);
    EXPECT_EQ(turret->turnTimeLeft, 5.0f);
    EXPECT_EQ(turret->beamId, 0u);
    EXPECT_EQ(turret->target, nullptr);
    EXPECT_FALSE(turret->selected || turret->showCone || turret->burstFire);
}

TEST_F(BeamTurretTest, PropertiesOverrideByPosition)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0), {45, 20, 60, 99, 3, 99, 0.1f, 0.2f, 0.3f}));
    EXPECT_EQ(turret->arcHalfWidth, 45.0f);
    EXPECT_EQ(turret->arcHalfHeight, 20.0f);
    EXPECT_FLOAT_EQ(turret->turnStep, 3.0f);
    EXPECT_EQ(turret->beamWidth, 3.0f);
    EXPECT_EQ(turret->beamColour, Vector(0.1f, 0.2f, 0.3f));
}

TEST_F(BeamTurretTest, OnlyCountedPropertiesAreRead)
{
    AseNode node = Marker("beamturret", Vector(0, 0, 0), {45, 20, 60, 0, 3, 0, 0.1f, 0.2f, 0.3f});
    node.propertyCount = 2;
    MakeTurret(node);
    EXPECT_EQ(turret->arcHalfWidth, 45.0f);
    EXPECT_EQ(turret->arcHalfHeight, 20.0f);
    EXPECT_EQ(turret->turnStep, 1.5f);
    EXPECT_EQ(turret->beamWidth, 5.0f);
    EXPECT_EQ(turret->beamColour, Vector(1, 0, 0));
}

TEST_F(BeamTurretTest, ConeListsAreReleasedWithTheTurret)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    const GLuint first = turret->coneLists[0];
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(turret->coneLists[i], first + GLuint(i));
        EXPECT_TRUE(glIsList(turret->coneLists[i]));
    }
    delete turret;
    turret = nullptr;
    for (GLuint i = 0; i < 4; ++i)
    {
        EXPECT_FALSE(glIsList(first + i));
    }
}

// --- Turning, firing, damage ---

TEST_F(BeamTurretTest, TurnsOntoATargetAndFiresTheTickItsAimMatches)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    // 30 degrees to the left of the bow, 200 away.
    Ship* target = MakeShip("battlefrigate", 1, Vector(-100.0f, 0.0f, -173.205f));
    turret->SetTarget(target);
    EXPECT_EQ(turret->state, Aiming);
    const float hullBefore = HullTotal(target);

    const Orientation wanted = WantedAim(target->position, Vector(0, 0, 0), Orientation(0, 0, 0),
                                         turret->mountPosition, turret->mountRotation);
    int ticks = 0;
    Orientation aimBefore;
    while (turret->state == Aiming && ticks < 100)
    {
        aimBefore = turret->aim;
        Tick();
        ++ticks;
        if (turret->state == Aiming)
        {
            // Still turning: one full step per tick, and no beam yet.
            EXPECT_FLOAT_EQ(AngleDifference(aimBefore.y, turret->aim.y), 1.5f);
            EXPECT_EQ(beams().Count(), 0);
        }
    }
    // About 30 degrees at 1.5 per tick: twenty full steps and, as the wanted
    // yaw lies a hair above 30, a snap on the 21st tick, which also fires.
    EXPECT_GE(ticks, 20);
    EXPECT_LE(ticks, 21);
    ASSERT_EQ(turret->state, Firing);
    EXPECT_NE(aimBefore, wanted);
    EXPECT_EQ(turret->aim, wanted);
    ASSERT_EQ(beams().Count(), 1);
    EXPECT_EQ(turret->beamId, beams().beams[0].id);
    // The tick it starts firing does no damage yet; each full step cost a tick.
    EXPECT_EQ(HullTotal(target), hullBefore);
    EXPECT_LE(turret->turnTimeLeft, 5.0f - 20 * 0.05f + 1e-4f);
    EXPECT_GT(turret->turnTimeLeft, 5.0f - 21 * 0.05f);

    const Beam& beam = beams().beams[0];
    EXPECT_NEAR(beam.length, 200.0f, 0.01f);
    EXPECT_EQ(beam.colour, Vector(1, 0, 0));
}

TEST_F(BeamTurretTest, DamagesOnePerTickUpTo300AndStaysSpentUntilNewTurn)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -250));
    turret->SetTarget(target);
    Tick();
    ASSERT_EQ(turret->state, Firing);
    // The shooter lies on the target's +Z side: the back face takes the beam.
    const float backBefore = target->hull[kFaceBack];
    const float totalBefore = HullTotal(target);

    int firingTicks = 0;
    while (turret->state == Firing && firingTicks < 200)
    {
        Tick();
        ++firingTicks;
    }
    EXPECT_GE(firingTicks, 100);
    EXPECT_LE(firingTicks, 101);
    EXPECT_EQ(turret->state, Spent);
    EXPECT_EQ(turret->fireTimeLeft, 0.0f);
    EXPECT_EQ(turret->beamId, 0u);
    EXPECT_EQ(beams().Count(), 0);
    EXPECT_NEAR(backBefore - target->hull[kFaceBack], float(firingTicks), 1e-3f);
    EXPECT_NEAR(totalBefore - HullTotal(target), float(firingTicks), 1e-3f);

    // Spent ignores new targets and stays spent, however long it is ticked.
    Ship* other = MakeShip("battlefrigate", 1, Vector(0, 0, -100));
    turret->SetTarget(other);
    EXPECT_EQ(turret->state, Spent);
    EXPECT_EQ(turret->target, other);
    Tick(40);
    EXPECT_EQ(turret->state, Spent);
    EXPECT_EQ(beams().Count(), 0);

    turret->NewTurn();
    EXPECT_EQ(turret->state, Idle);
    EXPECT_EQ(turret->fireTimeLeft, 5.0f);
    EXPECT_EQ(turret->turnTimeLeft, 5.0f);
    // The target is remembered but not engaged until it is given again.
    Tick(5);
    EXPECT_EQ(turret->state, Idle);
    turret->SetTarget(other);
    Tick();
    EXPECT_EQ(turret->state, Firing);
}

TEST_F(BeamTurretTest, DamageFallsToAQuarterAt600)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -600));
    turret->SetTarget(target);
    Tick();
    ASSERT_EQ(turret->state, Firing);
    const float before = HullTotal(target);
    Tick();
    EXPECT_NEAR(before - HullTotal(target), 0.25f, 1e-4f);
    Tick(3);
    EXPECT_NEAR(before - HullTotal(target), 1.0f, 1e-4f);
}

TEST_F(BeamTurretTest, BeamFollowsTheShipAndItsMount)
{
    // Mount 10 to the right of the ship's centre (file x), on a ship at
    // (100, 0, 0) yawed 90 degrees (facing -X): the mount is at world (100, 0, -10).
    MakeTurret(Marker("beamturret", Vector(10, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(-100, 0, -10));
    turret->SetTarget(target);
    turret->Update(Vector(100, 0, 0), Orientation(0, 90, 0));
    ASSERT_EQ(turret->state, Firing);
    const Beam& beam = beams().beams[0];
    EXPECT_NEAR(beam.start.x, 100.0f, 1e-3f);
    EXPECT_NEAR(beam.start.z, -10.0f, 1e-3f);
    EXPECT_NEAR(beam.vector.x, -200.0f, 1e-3f);
    EXPECT_NEAR(beam.vector.z, 0.0f, 1e-3f);

    // The ship moves; the beam moves with it on the next tick.
    turret->Update(Vector(50, 0, 0), Orientation(0, 90, 0));
    EXPECT_NEAR(beams().beams[0].start.x, 50.0f, 1e-3f);
    EXPECT_NEAR(beams().beams[0].length, 150.0f, 1e-2f);
}

// --- Arcs ---

TEST_F(BeamTurretTest, EdgeOfTheArcIsInsideForAimingButNotForOutOfArc)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(100, 0, -30));
    const Orientation w = WantedAim(target->position, Vector(0, 0, 0), Orientation(0, 0, 0),
                                    turret->mountPosition, turret->mountRotation);
    // Make the target's yaw exactly 360 - arcHalfWidth.
    turret->arcHalfWidth = 360.0f - w.y;
    ASSERT_EQ(360.0f - turret->arcHalfWidth, w.y);

    turret->SetTarget(target);
    Tick();
    EXPECT_EQ(turret->state, Aiming) << "the inclusive test keeps an aiming turret at the edge";

    // Out of the arc, then back to the exact edge: it stays out.
    target->SetPosition(100, 0, 30);
    Tick();
    EXPECT_EQ(turret->state, OutOfArc);
    target->SetPosition(100, 0, -30);
    Tick(3);
    EXPECT_EQ(turret->state, OutOfArc) << "the strict test does not let the turret resume at the edge";
    // Strictly inside: it resumes aiming on the next tick and turns the tick after.
    target->SetPosition(100, 0, -40);
    const Orientation aimBefore = turret->aim;
    Tick();
    EXPECT_EQ(turret->state, Aiming);
    EXPECT_EQ(turret->aim, aimBefore);
    Tick();
    EXPECT_NE(turret->aim, aimBefore);
}

TEST_F(BeamTurretTest, LeavingTheArcWhileFiringRemovesTheBeam)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick();
    ASSERT_EQ(turret->state, Firing);
    ASSERT_EQ(beams().Count(), 1);
    const float before = HullTotal(target);
    // Above the 10 degree elevation limit.
    target->SetPosition(0, 100, -200);
    Tick();
    EXPECT_EQ(turret->state, OutOfArc);
    EXPECT_EQ(beams().Count(), 0);
    EXPECT_EQ(turret->beamId, 0u);
    EXPECT_EQ(HullTotal(target), before);
}

TEST_F(BeamTurretTest, TargetJumpingMoreThanAStepWhileFiringGoesBackToAiming)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick();
    ASSERT_EQ(turret->state, Firing);
    target->SetPosition(-100.0f, 0.0f, -173.205f); // 30 degrees off
    Tick();
    EXPECT_EQ(turret->state, Aiming);
    EXPECT_EQ(beams().Count(), 0);
    EXPECT_NEAR(turret->aim.y, 1.5f, 1e-4f);
}

TEST_F(BeamTurretTest, WithoutTurningTimeItStillFiresWhenAlreadyOnTarget)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    turret->turnTimeLeft = 0.0f;
    Ship* off = MakeShip("battlefrigate", 1, Vector(-100.0f, 0.0f, -173.205f));
    turret->SetTarget(off);
    Tick(10);
    EXPECT_EQ(turret->state, Aiming);
    EXPECT_EQ(turret->aim, Orientation(0, 0, 0));

    Ship* ahead = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(ahead);
    Tick();
    EXPECT_EQ(turret->state, Firing);
}

TEST_F(BeamTurretTest, BurstFireStopsAfterBurstLengthKeepingTheRestOfTheFireTime)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    turret->burstFire = true;
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    EXPECT_EQ(turret->burstTimeLeft, 1.0f);
    Tick();
    ASSERT_EQ(turret->state, Firing);
    int firing = 0;
    while (turret->state == Firing && firing < 100)
    {
        Tick();
        ++firing;
    }
    EXPECT_GE(firing, 20);
    EXPECT_LE(firing, 21);
    EXPECT_EQ(turret->state, Idle);
    EXPECT_EQ(beams().Count(), 0);
    EXPECT_NEAR(turret->fireTimeLeft, 5.0f - firing * 0.05f, 1e-3f);
    Tick(10);
    EXPECT_EQ(turret->state, Idle);
    turret->SetTarget(target);
    EXPECT_EQ(turret->burstTimeLeft, 1.0f);
    Tick();
    EXPECT_EQ(turret->state, Firing);
}

TEST_F(BeamTurretTest, NewTargetWhileFiringRemovesTheBeamAndAimsAgain)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    Ship* a = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(a);
    Tick();
    ASSERT_EQ(beams().Count(), 1);
    turret->SetTarget(nullptr);
    EXPECT_EQ(turret->state, Idle);
    EXPECT_EQ(beams().Count(), 0);
    turret->SetTarget(a);
    Tick();
    ASSERT_EQ(beams().Count(), 1);
    Ship* b = MakeShip("battlefrigate", 1, Vector(0, 0, -300));
    turret->SetTarget(b);
    EXPECT_EQ(turret->state, Aiming);
    EXPECT_EQ(beams().Count(), 0);
}

TEST_F(BeamTurretTest, NewTurnForgetsTheBeamTheListHasCleared)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    turret->SetTarget(target);
    Tick();
    ASSERT_NE(turret->beamId, 0u);
    beams().Clear();
    turret->NewTurn();
    EXPECT_EQ(turret->beamId, 0u);
    EXPECT_EQ(turret->state, Idle);
}

TEST_F(BeamTurretTest, ADestroyedTargetIsLetGo)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    Ship* target = MakeShip("battlefrigate", 1, Vector(0, 0, -200));
    for (int face = 0; face < kHullFaces; ++face)
    {
        target->hull[face] = 2.5f;
    }
    turret->SetTarget(target);
    Tick(10);
    EXPECT_FALSE(target->IsAlive());
    EXPECT_EQ(turret->state, Idle);
    EXPECT_EQ(beams().Count(), 0);
}

TEST_F(BeamTurretTest, SelectionOutlineShowsOnlyOnASelectedShipAndIsNotPickable)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    turret->Select();
    auto drawAndCount = [this](bool shipSelected, int& stencilled, int& outline)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, 0, -30);
        glStencilFunc(GL_ALWAYS, 9, 255);
        glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        turret->Draw(9, false, shipSelected, false);
        stencilled = CountStencil(0, 0, 800, 600, 9);
        std::vector<unsigned char> pixels(800 * 600 * 4);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        outline = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
        {
            // The outline's pale blue (0.8, 0.8, 1).
            outline += pixels[i + 2] > 200 && pixels[i] > 150 && pixels[i] < 230 ? 1 : 0;
        }
    };
    int plainStencil = 0, plainOutline = 0, selectedStencil = 0, selectedOutline = 0;
    drawAndCount(false, plainStencil, plainOutline);
    drawAndCount(true, selectedStencil, selectedOutline);
    EXPECT_GT(selectedOutline, plainOutline + 50);
    // The outline writes no stencil: picking sees the turret alone.
    EXPECT_EQ(selectedStencil, plainStencil);
    GLint mask = 0;
    glGetIntegerv(GL_STENCIL_WRITEMASK, &mask);
    EXPECT_EQ(mask, 255);
}

TEST_F(BeamTurretTest, ToggleConeReturnsTheNewValue)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    EXPECT_TRUE(turret->ToggleCone());
    EXPECT_TRUE(turret->showCone);
    EXPECT_FALSE(turret->ToggleCone());
    turret->Select();
    EXPECT_TRUE(turret->IsSelected());
    turret->Deselect();
    EXPECT_FALSE(turret->IsSelected());
}

// --- Drawing ---

TEST_F(BeamTurretTest, DrawWritesTheStencilValueAndTheConeOnlyForASelectedShip)
{
    MakeTurret(Marker("beamturret", Vector(0, 0, 0)));
    glLoadIdentity();
    glTranslatef(0, 0, -30);
    glStencilFunc(GL_ALWAYS, 9, 255);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    turret->Draw(9, false, false, true);
    EXPECT_GT(CountStencil(0, 0, 800, 600, 9), 50);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // The cone shows only with the switch on and the ship selected.
    turret->showCone = true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, -20, -150);
    turret->Draw(9, false, false, false);
    const int withoutCone = CountStencil(0, 0, 800, 600, 0);
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int redWithout = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
    {
        redWithout += pixels[i] > 60 && pixels[i + 1] < 30 ? 1 : 0;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glColor4f(0.2f, 0.2f, 0.2f, 1.0f);
    turret->Draw(9, false, true, false);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int redWith = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
    {
        redWith += pixels[i] > 60 && pixels[i + 1] < 30 ? 1 : 0;
    }
    EXPECT_GT(redWith, redWithout + 200) << "the Idle cone is red";
    EXPECT_GT(withoutCone, 0);
    // The ship's colour is current again after the turret.
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.2f);
}

} // namespace
