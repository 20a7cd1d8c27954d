#include "combat/BeamTurret.h"

#include "assets/Ase.h"
#include "assets/Model.h"
#include "audio/GameSounds.h"
#include "combat/TurretCone.h"
#include "combat/TurretProperties.h"
#include "ships/Ship.h"
#include "weapons/BeamList.h"

// Defaults of a beam turret; the marker's properties override some of them.
static const float kBeamArcHalfWidth = 90.0f;
static const float kBeamArcHalfHeight = 10.0f;
static const float kBeamTurnStep = 1.5f; // degrees per tick (30 per second)
static const float kBeamTimePerTurn = 5.0f;
static const float kBeamBurstLength = 1.0f;
static const float kBeamWidth = 5.0f;
// The hit kind the ship is told for a beam.
static const int kBeamHitKind = 0;

BeamTurret::BeamTurret(const AseNode& node, Model* mesh_, BeamList* beams_, Game* /*game*/)
    : name(node.name), mesh(mesh_), mountPosition(node.position.x, node.position.z, node.position.y),
      mountRotation(node.rotation.x, node.rotation.z, node.rotation.y), aim(0.0f, 0.0f, 0.0f),
      arcHalfWidth(kBeamArcHalfWidth), arcHalfHeight(kBeamArcHalfHeight), turnStep(kBeamTurnStep),
      fireTimePerTurn(kBeamTimePerTurn), turnTimePerTurn(kBeamTimePerTurn), burstLength(kBeamBurstLength),
      beamColour(1.0f, 0.0f, 0.0f), beamWidth(kBeamWidth), selected(false), showCone(false), burstFire(false),
      state(Idle), beamId(0), fireTimeLeft(kBeamTimePerTurn), turnTimeLeft(kBeamTimePerTurn),
      burstTimeLeft(0.0f), target(nullptr), beams(beams_), coneLists{0, 0, 0, 0}
{
    OverrideFromProperty(node, 0, arcHalfWidth);
    OverrideFromProperty(node, 1, arcHalfHeight);
    OverrideFromProperty(node, 2, turnStep, kTurretTick);
    OverrideFromProperty(node, 4, beamWidth);
    OverrideFromProperty(node, 6, beamColour.x);
    OverrideFromProperty(node, 7, beamColour.y);
    OverrideFromProperty(node, 8, beamColour.z);

    ConeShape shape;
    shape.arc = Arc();
    shape.yawStep = 0.2f * arcHalfWidth;
    shape.pitchStep = 0.2f * arcHalfHeight;
    shape.maxRadius = 128.0f;
    shape.alphaStep = 0.1f;
    const GLuint first = AcquireConeLists(shape);
    for (GLuint i = 0; i < 4; ++i)
    {
        coneLists[i] = first + i;
    }
}

BeamTurret::~BeamTurret()
{
    // The cone lists are shared with the other turrets of the same shape.
    ReleaseConeLists(coneLists[0]);
}

FiringArc BeamTurret::Arc() const
{
    return FiringArc{arcHalfWidth, -arcHalfHeight, arcHalfHeight};
}

bool BeamTurret::InsideArc(const Orientation& wanted) const
{
    return ::InsideArc(wanted, Arc());
}

bool BeamTurret::StrictlyInsideArc(const Orientation& wanted) const
{
    return ::StrictlyInsideArc(wanted, Arc());
}

void BeamTurret::RemoveBeam()
{
    if (beamId != 0)
    {
        beams->RemoveBeam(beamId);
    }
    beamId = 0;
}

void BeamTurret::Update(const Vector& shipPosition, const Orientation& shipOrientation)
{
    // A turret given its target by itself (selected turrets) is not told when
    // that ship is destroyed; it lets go of a wreck before the game deletes it.
    if (state != Idle && state != Spent && (target == nullptr || !target->IsAlive()))
    {
        SetTarget(nullptr);
    }

    Orientation wanted(0.0f, 0.0f, 0.0f);
    Vector beamStart;
    Vector beamVector;
    if (state != Idle && state != Spent)
    {
        const Vector targetPosition = target->GetPosition();
        wanted = WantedAim(targetPosition, shipPosition, shipOrientation, mountPosition, mountRotation);
        beamStart = MountWorldPosition(shipPosition, shipOrientation, mountPosition);
        beamVector = targetPosition - beamStart;
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
            beamId = beams->AddBeam(beamStart, beamVector, beamColour, beamWidth);
            PostSound(Sound::BeamFire, beamStart);
        }
        break;

    case Firing:
    {
        beams->MoveBeam(beamId, beamStart, beamVector);
        if (!FiringTick(state, aim, wanted, Arc(), turnStep, turnTimeLeft, fireTimeLeft))
        {
            RemoveBeam();
            break;
        }
        if (state == Aiming)
        {
            RemoveBeam(); // off target: the beam goes out, this tick's hit still lands
        }

        // The hit may destroy the target, and the game then clears this turret's target.
        Vector hit = beamVector;
        PostShipSound(Sound::BeamHit, *target);
        target->Damage(BeamDamageAt(float(Length(beamVector))), kBeamHitKind, hit);

        EndFiringTick(state, burstFire, burstTimeLeft, fireTimeLeft);
        if (state != Firing)
        {
            RemoveBeam();
        }
        break;
    }

    case Idle:
    case Spent:
    default:
        break;
    }

    WrapAim(aim);
}

void BeamTurret::SetTarget(Ship* newTarget)
{
    target = newTarget;
    if (state == Firing)
    {
        RemoveBeam();
    }
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

void BeamTurret::NewTurn()
{
    fireTimeLeft = fireTimePerTurn;
    turnTimeLeft = turnTimePerTurn;
    state = Idle;
    // The beam list was cleared at the change of player.
    beamId = 0;
}

bool BeamTurret::ToggleCone()
{
    showCone = !showCone;
    return showCone;
}

void BeamTurret::Draw(unsigned stencilValue, bool sensorView, bool shipSelected, bool lit) const
{
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);

    glPushMatrix();
    glTranslatef(mountPosition.x, mountPosition.y, mountPosition.z);
    RotateByOrientation(mountRotation);
    RotateByOrientation(aim);
    DrawModel(mesh, stencilValue, sensorView);
    if (lit && !sensorView)
    {
        DrawLightMapGlow(mesh, stencilValue);
    }
    if (selected && shipSelected)
    {
        glStencilMask(0);
        glColor4f(0.8f, 0.8f, 1.0f, 1.0f);
        glCallList(mesh->boxList);
        glStencilMask(255);
    }
    glPopMatrix();

    if (shipSelected && showCone)
    {
        glPushMatrix();
        glTranslatef(mountPosition.x, mountPosition.y, mountPosition.z);
        RotateByOrientation(mountRotation);
        glLineWidth(ConeLineWidthForState(state));
        glCallList(coneLists[ConeListForState(state)]);
        glLineWidth(1.0f);
        glPopMatrix();
    }

    // The outline and the cone set their own colours; the ship's parts drawn
    // after this turret are tinted with the ship's colour again.
    glColor4fv(colour);
}
