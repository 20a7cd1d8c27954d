#include "combat/GunTurret.h"

#include "assets/Ase.h"
#include "assets/Model.h"
#include "audio/GameSounds.h"
#include "combat/TurretCone.h"
#include "combat/TurretProperties.h"
#include "math/Random.h"
#include "ships/Ship.h"
#include "weapons/BulletList.h"

// Defaults of a gun turret; the marker's properties override some of them.
static const float kGunArcHalfWidth = 180.0f;
static const float kGunElevationMax = 88.0f;
static const float kGunElevationMin = -20.0f;
static const float kGunTurnStep = 5.0f; // degrees per tick (100 per second)
static const float kGunTimePerTurn = 5.0f;
static const float kGunBurstLength = 1.0f;
static const float kGunBulletSize = 2.0f;
// A salvo leaves when the counter has seen this many ticks since the last one.
static const int32_t kSalvoTicks = 4;
// Muzzles beside the guns' pivot, and beside the mount for fixed guns.
static const float kMuzzleSide = 0.881f;
static const float kFixedMuzzleSide = 0.5f;
// Bullet speed: each velocity component gets its own factor from 5 to 5.5.
static const double kBulletSpeed = 5.0;
static const double kBulletSpeedSpread = 0.5;
static const double kSpreadScale = 0.000030518509;

GunTurret::GunTurret(const AseNode& node, Model* baseMesh_, Model* gunsMesh_, BulletList* bullets_,
                     Game* /*game*/)
    : name(node.name), baseMesh(baseMesh_), gunsMesh(gunsMesh_),
      mountPosition(node.position.x, node.position.z, node.position.y),
      mountRotation(node.rotation.x, node.rotation.z, node.rotation.y), aim(0.0f, 0.0f, 0.0f),
      selected(false), showCone(false), burstFire(false), fixed(baseMesh_ == nullptr && gunsMesh_ == nullptr),
      arcHalfWidth(kGunArcHalfWidth), elevationMax(kGunElevationMax), elevationMin(kGunElevationMin),
      turnStep(kGunTurnStep), fireTimePerTurn(kGunTimePerTurn), turnTimePerTurn(kGunTimePerTurn),
      burstLength(kGunBurstLength), bulletColour(1.0f, 1.0f, 0.0f), bulletSize(kGunBulletSize), state(Idle),
      fireTimeLeft(kGunTimePerTurn), turnTimeLeft(kGunTimePerTurn), burstTimeLeft(0.0f), shotCounter(0),
      target(nullptr), bullets(bullets_), coneLists{0, 0, 0, 0}
{
    OverrideFromProperty(node, 0, arcHalfWidth);
    OverrideFromProperty(node, 1, elevationMax);
    OverrideFromProperty(node, 2, turnStep, kTurretTick);
    OverrideFromProperty(node, 4, bulletSize);
    OverrideFromProperty(node, 6, bulletColour.x);
    OverrideFromProperty(node, 7, bulletColour.y);
    OverrideFromProperty(node, 8, bulletColour.z);

    ConeShape shape;
    shape.arc = Arc();
    shape.yawStep = 0.2f * arcHalfWidth;
    shape.pitchStep = 0.1f * (elevationMax - elevationMin);
    shape.maxRadius = 64.0f;
    shape.alphaStep = 0.2f;
    const GLuint first = AcquireConeLists(shape);
    for (GLuint i = 0; i < 4; ++i)
    {
        coneLists[i] = first + i;
    }
}

GunTurret::~GunTurret()
{
    // The cone lists are shared with the other turrets of the same shape.
    ReleaseConeLists(coneLists[0]);
}

FiringArc GunTurret::Arc() const
{
    return FiringArc{arcHalfWidth, elevationMin, elevationMax};
}

bool GunTurret::InsideArc(const Orientation& wanted) const
{
    return ::InsideArc(wanted, Arc());
}

bool GunTurret::StrictlyInsideArc(const Orientation& wanted) const
{
    return ::StrictlyInsideArc(wanted, Arc());
}

Vector GunTurret::MuzzleOffset(int muzzle) const
{
    const float side = muzzle == 0 ? -1.0f : 1.0f;
    if (fixed)
    {
        return Vector(side * kFixedMuzzleSide, 0.0f, 0.0f);
    }
    return Vector(side * kMuzzleSide, kGunPivotHeight, 0.0f);
}

// The muzzle's offset from the ship's position, in world axes: the offset
// turns with the mount and the turret's yaw, then with the ship.
static Vector MuzzleFromShip(const GunTurret& turret, int muzzle, const Orientation& shipOrientation)
{
    const Orientation turned(turret.mountRotation.x, turret.mountRotation.y + turret.aim.y,
                             turret.mountRotation.z);
    Vector inMount;
    RotateByAngles(turret.MuzzleOffset(muzzle), inMount, turned);
    Vector inWorld;
    RotateByAngles(turret.mountPosition + inMount, inWorld, shipOrientation);
    return inWorld;
}

Vector GunTurret::MuzzlePosition(int muzzle, const Vector& shipPosition,
                                 const Orientation& shipOrientation) const
{
    return shipPosition + MuzzleFromShip(*this, muzzle, shipOrientation);
}

void GunTurret::FireSalvo(const Vector& shipPosition, const Orientation& shipOrientation,
                          const Vector& targetPosition)
{
    const Vector toTarget = targetPosition - shipPosition;
    PostSound(Sound::GunFire, MuzzlePosition(0, shipPosition, shipOrientation));
    for (int muzzle = 0; muzzle < 2; ++muzzle)
    {
        const Vector offset = MuzzleFromShip(*this, muzzle, shipOrientation);
        Vector velocity = toTarget - offset;
        Normalize(velocity);
        for (int axis = 0; axis < 3; ++axis)
        {
            const double r = Random() * kSpreadScale;
            velocity[axis] = float(velocity[axis] * (kBulletSpeed + kBulletSpeedSpread * r));
        }
        bullets->AddBullet(shipPosition + offset, velocity, bulletColour, bulletSize, target);
    }
}

void GunTurret::Update(const Vector& shipPosition, const Orientation& shipOrientation)
{
    // A turret given its target by itself (selected turrets) is not told when
    // that ship is destroyed; it lets go of a wreck before the game deletes it.
    if (state != Idle && state != Spent && (target == nullptr || !target->IsAlive()))
    {
        SetTarget(nullptr);
    }

    Orientation wanted(0.0f, 0.0f, 0.0f);
    Vector targetPosition;
    if (state != Idle && state != Spent)
    {
        targetPosition = target->GetPosition();
        wanted = WantedAim(targetPosition, shipPosition, shipOrientation, mountPosition, mountRotation);
    }

    switch (state)
    {
    case OutOfArc:
        if (StrictlyInsideArc(wanted))
        {
            state = Aiming;
        }
        break;

    case Aiming:
        if (AimTick(state, aim, wanted, Arc(), turnStep, turnTimeLeft, fireTimeLeft))
        {
            state = Firing;
            shotCounter = 0;
        }
        break;

    case Firing:
        // The salvo leaves before the arc test: the guns were on target.
        if (shotCounter == kSalvoTicks)
        {
            shotCounter = 0;
            FireSalvo(shipPosition, shipOrientation, targetPosition);
        }
        else
        {
            ++shotCounter;
        }
        if (FiringTick(state, aim, wanted, Arc(), turnStep, turnTimeLeft, fireTimeLeft))
        {
            EndFiringTick(state, burstFire, burstTimeLeft, fireTimeLeft);
        }
        break;

    case Idle:
    case Spent:
    default:
        break;
    }

    WrapAim(aim);
}

void GunTurret::SetTarget(Ship* newTarget)
{
    target = newTarget;
    if (state == Spent)
    {
        return;
    }
    if (newTarget == nullptr)
    {
        state = Idle;
    }
    else
    {
        state = Aiming;
        burstTimeLeft = burstLength;
    }
}

void GunTurret::NewTurn()
{
    fireTimeLeft = fireTimePerTurn;
    turnTimeLeft = turnTimePerTurn;
    state = Idle;
}

bool GunTurret::ToggleCone()
{
    showCone = !showCone;
    return showCone;
}

void GunTurret::Draw(unsigned stencilValue, bool sensorView, bool shipSelected, bool lit) const
{
    // Fixed guns have nothing to show, not even a cone.
    if (fixed)
    {
        return;
    }
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);

    glPushMatrix();
    glTranslatef(mountPosition.x, mountPosition.y, mountPosition.z);
    RotateByOrientation(mountRotation);
    glRotatef(aim.z, 0.0f, 0.0f, 1.0f);
    glRotatef(aim.y, 0.0f, 1.0f, 0.0f);
    if (baseMesh != nullptr)
    {
        DrawModel(baseMesh, stencilValue, sensorView);
        if (lit && !sensorView)
        {
            DrawLightMapGlow(baseMesh, stencilValue);
        }
    }
    glPushMatrix();
    glTranslatef(0.0f, kGunPivotHeight, 0.0f);
    glRotatef(aim.x, 1.0f, 0.0f, 0.0f);
    if (gunsMesh != nullptr)
    {
        DrawModel(gunsMesh, stencilValue, sensorView);
        if (lit && !sensorView)
        {
            DrawLightMapGlow(gunsMesh, stencilValue);
        }
    }
    glPopMatrix();
    if (selected && shipSelected && baseMesh != nullptr)
    {
        glStencilMask(0);
        glColor4f(0.8f, 0.8f, 1.0f, 1.0f);
        glCallList(baseMesh->boxList);
        glStencilMask(255);
    }
    glPopMatrix();

    if (shipSelected && showCone)
    {
        glPushMatrix();
        glTranslatef(mountPosition.x, mountPosition.y, mountPosition.z);
        RotateByOrientation(mountRotation);
        glTranslatef(0.0f, kGunPivotHeight, 0.0f);
        glLineWidth(ConeLineWidthForState(state));
        glCallList(coneLists[ConeListForState(state)]);
        glLineWidth(1.0f);
        glPopMatrix();
    }

    glColor4fv(colour);
}
