#include <gtest/gtest.h>

#include "combat/TurretAim.h"

namespace
{

const FiringArc kBeamArc{90.0f, -10.0f, 10.0f};
const FiringArc kGunArc{180.0f, -20.0f, 88.0f};

// --- Target direction through the ship and mount frames ---

TEST(WantedAimTest, TargetStraightAheadOfAnUnturnedShipNeedsNoTurn)
{
    const Orientation w =
        WantedAim(Vector(0, 0, -100), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0));
    EXPECT_FLOAT_EQ(w.x, 0.0f);
    EXPECT_FLOAT_EQ(w.y, 0.0f);
    EXPECT_FLOAT_EQ(w.z, 0.0f);
}

TEST(WantedAimTest, TargetToTheRightIsAtYaw270)
{
    const Orientation w =
        WantedAim(Vector(100, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0));
    EXPECT_NEAR(w.y, 270.0f, 0.001f);
    EXPECT_NEAR(w.x, 0.0f, 1e-4f);
}

TEST(WantedAimTest, ShipPositionIsSubtractedFirst)
{
    const Orientation w =
        WantedAim(Vector(500, 0, -100), Vector(500, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0));
    EXPECT_NEAR(w.y, 0.0f, 1e-4f);
}

TEST(WantedAimTest, ShipTurnIsTakenOutOfTheDirection)
{
    // A ship yawed 90 degrees faces -X: a target there is straight ahead of it.
    const Orientation w =
        WantedAim(Vector(-100, 0, 0), Vector(0, 0, 0), Vector(0, 90, 0), Vector(0, 0, 0), Vector(0, 0, 0));
    const float yaw = w.y > 180.0f ? w.y - 360.0f : w.y;
    EXPECT_NEAR(yaw, 0.0f, 0.001f);
    EXPECT_NEAR(w.x, 0.0f, 0.001f);
}

TEST(WantedAimTest, MountPositionIsSubtractedInShipCoordinates)
{
    // The mount sits 10 above the ship's centre, level with the target:
    // without the mount offset the turret would aim up.
    const Orientation w =
        WantedAim(Vector(0, 10, -100), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 10, 0), Vector(0, 0, 0));
    EXPECT_NEAR(w.x, 0.0f, 1e-4f);
    // With the ship rolled upside down the same mount hangs below it.
    const Orientation u = WantedAim(Vector(0, -10, -100), Vector(0, 0, 0), Vector(0, 0, 180),
                                    Vector(0, 10, 0), Vector(0, 0, 0));
    EXPECT_NEAR(u.x, 0.0f, 1e-3f);
}

TEST(WantedAimTest, MountRotationIsTakenOutLast)
{
    // A mount turned 90 degrees in yaw faces -X.
    const Orientation w =
        WantedAim(Vector(-100, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 90, 0));
    const float yaw = w.y > 180.0f ? w.y - 360.0f : w.y;
    EXPECT_NEAR(yaw, 0.0f, 0.001f);
}

TEST(WantedAimTest, TargetAboveGivesPositivePitch)
{
    const Orientation w =
        WantedAim(Vector(0, 100, -100), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0), Vector(0, 0, 0));
    EXPECT_NEAR(w.x, 45.0f, 0.001f);
}

TEST(MountWorldPositionTest, MountTurnsWithTheShip)
{
    const Vector p = MountWorldPosition(Vector(10, 0, 0), Vector(0, 90, 0), Vector(0, 0, -5));
    EXPECT_NEAR(p.x, 5.0f, 1e-4f);
    EXPECT_NEAR(p.z, 0.0f, 1e-4f);
}

// --- Arc tests ---

TEST(ArcTest, StraightAheadIsInsideEveryArc)
{
    const Orientation ahead(0, 0, 0);
    EXPECT_TRUE(InsideArc(ahead, kBeamArc));
    EXPECT_TRUE(StrictlyInsideArc(ahead, kBeamArc));
    EXPECT_TRUE(InsideArc(ahead, kGunArc));
    EXPECT_TRUE(StrictlyInsideArc(ahead, kGunArc));
}

TEST(ArcTest, EdgeOfTheArcIsInsideForAimingButNotForOutOfArc)
{
    const Orientation leftEdge(0, 360.0f - 90.0f, 0);
    EXPECT_TRUE(InsideArc(leftEdge, kBeamArc));
    EXPECT_FALSE(StrictlyInsideArc(leftEdge, kBeamArc));
    const Orientation rightEdge(0, 90.0f, 0);
    EXPECT_TRUE(InsideArc(rightEdge, kBeamArc));
    EXPECT_FALSE(StrictlyInsideArc(rightEdge, kBeamArc));
    const Orientation topEdge(10.0f, 0, 0);
    EXPECT_TRUE(InsideArc(topEdge, kBeamArc));
    EXPECT_FALSE(StrictlyInsideArc(topEdge, kBeamArc));
}

TEST(ArcTest, BehindIsOutsideANarrowArc)
{
    EXPECT_FALSE(InsideArc(Orientation(0, 180, 0), kBeamArc));
    EXPECT_FALSE(InsideArc(Orientation(0, 91, 0), kBeamArc));
    EXPECT_FALSE(InsideArc(Orientation(0, 269, 0), kBeamArc));
}

TEST(ArcTest, GunArcOf180PassesEveryYawButKeepsItsElevation)
{
    for (float yaw = 0.0f; yaw <= 360.0f; yaw += 15.0f)
    {
        EXPECT_TRUE(InsideArc(Orientation(0, yaw, 0), kGunArc)) << yaw;
    }
    EXPECT_TRUE(InsideArc(Orientation(88, 0, 0), kGunArc));
    EXPECT_FALSE(InsideArc(Orientation(88.5f, 0, 0), kGunArc));
    EXPECT_TRUE(InsideArc(Orientation(-20, 0, 0), kGunArc));
    EXPECT_FALSE(InsideArc(Orientation(-20.5f, 0, 0), kGunArc));
    EXPECT_FALSE(InsideArc(Orientation(-45, 0, 0), kGunArc));
}

TEST(ArcTest, BeamTurretDefaultElevationIsTenEitherWay)
{
    EXPECT_TRUE(InsideArc(Orientation(-10, 0, 0), kBeamArc));
    EXPECT_FALSE(InsideArc(Orientation(-10.5f, 0, 0), kBeamArc));
    EXPECT_FALSE(InsideArc(Orientation(11, 0, 0), kBeamArc));
}

// --- Turning ---

TEST(TurnAxisTest, FullStepCostsOneTick)
{
    Orientation aim(0, 0, 0);
    float time = 5.0f;
    TurnAxis(aim, Orientation(0, 10, 0), 1, 1.5f, time);
    EXPECT_FLOAT_EQ(aim.y, 1.5f);
    EXPECT_FLOAT_EQ(time, 4.95f);
}

TEST(TurnAxisTest, SmallRemainderSnapsAndCostsItsShare)
{
    Orientation aim(0, 9, 0);
    float time = 5.0f;
    TurnAxis(aim, Orientation(0, 9.75f, 0), 1, 1.5f, time);
    EXPECT_EQ(aim.y, 9.75f);
    EXPECT_NEAR(time, 5.0f - 0.025f, 1e-6f);
}

TEST(TurnAxisTest, ExactStepIsAFullStepNotASnap)
{
    Orientation aim(0, 0, 0);
    float time = 5.0f;
    TurnAxis(aim, Orientation(0, 1.5f, 0), 1, 1.5f, time);
    EXPECT_EQ(aim.y, 1.5f);
    EXPECT_FLOAT_EQ(time, 4.95f);
}

TEST(TurnAxisTest, TurnsTheShortWayAcrossZero)
{
    Orientation aim(0, 350, 0);
    float time = 5.0f;
    TurnAxis(aim, Orientation(0, 10, 0), 1, 5.0f, time);
    EXPECT_FLOAT_EQ(aim.y, 355.0f);

    Orientation down(0, 1, 0);
    TurnAxis(down, Orientation(0, 359, 0), 1, 1.5f, time);
    EXPECT_FLOAT_EQ(down.y, -0.5f);
    WrapAim(down);
    EXPECT_FLOAT_EQ(down.y, 359.5f);
}

TEST(TurnAxisTest, WrappedPitchStillReachesANegativeWantedPitch)
{
    // A pitch below zero is kept wrapped to 355 between ticks; the turn still
    // snaps onto -5 because the difference is taken across the wrap.
    Orientation aim(355, 0, 0);
    float time = 5.0f;
    TurnAxis(aim, Orientation(-5, 0, 0), 0, 1.5f, time);
    EXPECT_EQ(aim.x, -5.0f);
    EXPECT_FLOAT_EQ(time, 5.0f);
}

TEST(TurnAxisTest, AxisBeyondStepComparesTheRemainingError)
{
    EXPECT_TRUE(AxisBeyondStep(Orientation(0, 0, 0), Orientation(0, 2, 0), 1, 1.5f));
    EXPECT_FALSE(AxisBeyondStep(Orientation(0, 0, 0), Orientation(0, 1.5f, 0), 1, 1.5f));
    EXPECT_FALSE(AxisBeyondStep(Orientation(0, 359, 0), Orientation(0, 0.4f, 0), 1, 1.5f));
}

TEST(WrapAimTest, WrapsOnceIntoZeroTo360)
{
    Orientation aim(-1.5f, 361.0f, 360.0f);
    WrapAim(aim);
    EXPECT_FLOAT_EQ(aim.x, 358.5f);
    EXPECT_FLOAT_EQ(aim.y, 1.0f);
    EXPECT_FLOAT_EQ(aim.z, 360.0f);
}

// --- Beam damage ---

TEST(BeamDamageTest, FullUpTo300ThenFallsWithTheSquare)
{
    EXPECT_EQ(BeamDamageAt(0.0f), 1.0f);
    EXPECT_EQ(BeamDamageAt(150.0f), 1.0f);
    EXPECT_EQ(BeamDamageAt(299.99f), 1.0f);
    EXPECT_FLOAT_EQ(BeamDamageAt(300.0f), 1.0f);
    EXPECT_FLOAT_EQ(BeamDamageAt(600.0f), 0.25f);
    EXPECT_FLOAT_EQ(BeamDamageAt(3000.0f), 0.01f);
}

} // namespace
