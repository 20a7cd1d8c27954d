#include "ships/Ship.h"

#include <cmath>
#include <iostream>

#include "app/FatalError.h"
#include "assets/Ase.h"
#include "assets/Model.h"
#include "audio/GameSounds.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "combat/Hangar.h"
#include "game/Game.h"
#include "math/Random.h"
#include "players/Player.h"
#include "ui/CommandPanel.h"

const char* const gShipNames[10] = {"Druvel", "Pharlow", "Sennic",  "Torvash", "Imbrey",
                                    "Caldus", "Olvark",  "Vestrin", "Ardane",  "Quennel"};

namespace
{

// Rates in the model files are per second; the ship keeps them per tick.
constexpr double kPerTick = 0.05;

// Turning stops on an axis within this many degrees of the wanted angle.
constexpr float kAlignTolerance = 4.0f;
constexpr float kRotateTolerance = 2.0f;

// A move ends when the ship is this close to its destination on every axis.
constexpr float kArrivalTolerance = 10.0f;

// One tick of game time in seconds.
constexpr double kTick = 0.05;

// A destroyed ship keeps this much movement time so that its wreck drifts on.
constexpr float kWreckMoveTime = 1000.0f;

// Marker vectors are authored with z up; the game's axes have y up.
Vector SwapYZ(const Vector& v)
{
    return Vector(v.x, v.z, v.y);
}

} // namespace

Subobject::Subobject(const std::string& name_, Model* mesh_, const Vector& position_, const Vector& rotation_)
    : name(name_), mesh(mesh_), position(position_), rotation(rotation_)
{
}

ShipLight::ShipLight(const AseNode& node, GLuint texture)
{
    position = SwapYZ(node.position);
    if (node.propertyCount > 0)
    {
        size = node.properties[0];
    }
    if (node.propertyCount > 1)
    {
        blinkPeriod = node.properties[1];
    }

    static const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMaterialfv(GL_FRONT, GL_EMISSION, white);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_LIGHTING);
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(size, -size, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(size, size, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-size, size, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-size, -size, 0.0f);
    glEnd();
    glDisable(GL_LIGHTING);
    glMaterialfv(GL_FRONT, GL_EMISSION, black);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEndList();
}

Ship::Ship(uint32_t id_, int32_t owner_, Game* game_)
    : game(game_), id(id_), moveTimePerTurn(10.0f), speed(1.0f), turnRate(1.0f, 1.0f, 1.0f),
      sensorRange(1.0f), signature(1.0f), moveTimeLeft(0.0f), selected(false), targeted(false),
      lightsOn(true), motionState(Spawned), target(nullptr), owner(owner_), position(-50.0f, 0.0f, -50.0f),
      model(nullptr), sensorList(0), panel(nullptr), deathTime(0.0f), alive(true), envelopeRegions(0),
      envelopeStale(false)
{
    for (int face = 0; face < kHullFaces; face++)
    {
        hullMax[face] = 1000.0f;
        hull[face] = 1000.0f;
    }
    panel = new ShipPanel(this, game->GetPanel());
    sensorList = glGenLists(1);
}

Ship::~Ship()
{
    std::cerr << "    Removing UI panel" << std::endl;
    delete panel;
    std::cerr << "    Removing beam turrets" << std::endl;
    for (BeamTurret* turret : beamTurrets)
    {
        delete turret;
    }
    std::cerr << "    Removing gun turrets" << std::endl;
    for (GunTurret* turret : gunTurrets)
    {
        delete turret;
    }
    std::cerr << "    Removing subobjects" << std::endl;
    for (Subobject* part : subobjects)
    {
        delete part;
    }
    std::cerr << "    Removing lights" << std::endl;
    for (ShipLight* light : lights)
    {
        glDeleteLists(light->list, 1);
        delete light;
    }
    // Hangars have no other owner: they go with their ship, silently.
    for (Hangar* hangar : hangars)
    {
        delete hangar;
    }
    glDeleteLists(sensorList, 1);
}

void Ship::Assemble(Model* classModel, int32_t ownerIndex)
{
    model = classModel;
    // A ship is built once; parts of an earlier build would have no owner, so free them.
    for (Subobject* part : subobjects)
    {
        delete part;
    }
    for (BeamTurret* turret : beamTurrets)
    {
        delete turret;
    }
    for (GunTurret* turret : gunTurrets)
    {
        delete turret;
    }
    for (ShipLight* light : lights)
    {
        glDeleteLists(light->list, 1);
        delete light;
    }
    for (Hangar* hangar : hangars)
    {
        delete hangar;
    }
    subobjects.clear();
    beamTurrets.clear();
    gunTurrets.clear();
    lights.clear();
    hangars.clear();

    const std::vector<AseNode*>& nodes = model->scene->nodes;
    if (nodes.empty())
    {
        return;
    }
    for (AseNode* node : nodes)
    {
        const std::string& type = node->type;
        const float* p = node->properties;
        if (type == "beamturret")
        {
            Model* mesh = game->FindObjectModel("beamturret");
            if (mesh == nullptr)
            {
                FatalError("Cannot find subobject " + type);
            }
            beamTurrets.push_back(new BeamTurret(*node, mesh, game->GetBeams(), game));
        }
        else if (type == "gunturret")
        {
            Model* base = game->FindObjectModel("gunturret_base");
            if (base == nullptr)
            {
                FatalError("Cannot find subobject gunturret_base");
            }
            Model* guns = game->FindObjectModel("gunturret_guns");
            if (guns == nullptr)
            {
                FatalError("Cannot find subobject gunturret_guns");
            }
            gunTurrets.push_back(new GunTurret(*node, base, guns, game->GetBullets(), game));
        }
        else if (type == "guns")
        {
            gunTurrets.push_back(new GunTurret(*node, nullptr, nullptr, game->GetBullets(), game));
        }
        else if (type == "light")
        {
            lights.push_back(new ShipLight(*node, game->GetLightTexture(ownerIndex)));
        }
        else if (type == "hangar")
        {
            hangars.push_back(new Hangar(*node, game));
        }
        else if (type == "speed")
        {
            speed = float(p[0] * kPerTick);
            turnRate = Vector(float(p[1] * kPerTick), float(p[2] * kPerTick), float(p[3] * kPerTick));
        }
        else if (type == "sensor")
        {
            signature = p[0];
            sensorRange = p[1];
        }
        else if (type == "hull")
        {
            // The file lists front, back, left, right, top, bottom.
            static const int faceOfProperty[kHullFaces] = {kFaceFront, kFaceBack, kFaceLeft,
                                                           kFaceRight, kFaceTop,  kFaceBottom};
            for (int i = 0; i < kHullFaces; i++)
            {
                hull[faceOfProperty[i]] = p[i];
                hullMax[faceOfProperty[i]] = p[i];
            }
        }
        else
        {
            Model* mesh = game->FindObjectModel(type);
            if (mesh == nullptr)
            {
                FatalError("Cannot find subobject " + type);
            }
            subobjects.push_back(new Subobject(type, mesh, SwapYZ(node->position), SwapYZ(node->rotation)));
        }
    }
    SelectPart(0);
}

void Ship::SelectPart(int index)
{
    for (BeamTurret* turret : beamTurrets)
    {
        turret->Deselect();
    }
    for (GunTurret* turret : gunTurrets)
    {
        turret->Deselect();
    }
    for (Hangar* hangar : hangars)
    {
        hangar->Deselect();
    }
    if (index < 0)
    {
        return;
    }
    size_t i = size_t(index);
    if (i < beamTurrets.size())
    {
        beamTurrets[i]->Select();
        return;
    }
    i -= beamTurrets.size();
    if (i < gunTurrets.size())
    {
        gunTurrets[i]->Select();
        return;
    }
    i -= gunTurrets.size();
    if (i < hangars.size())
    {
        hangars[i]->Select();
    }
}

Orientation Ship::OrderOrientation(float dx, float dy, float dz)
{
    Vector u(dx, 0.0f, dz);
    Normalize(u);
    const double yawAngle = std::asin(-u.x) * kRadToDeg;
    const float yaw = dz < 0.0f ? float(yawAngle) : float(180.0 - yawAngle);
    Vector w(dx, dy, dz);
    Normalize(w);
    const float pitch = float(std::asin(w.y) * kRadToDeg);
    return Orientation(pitch, yaw, 0.0f);
}

static float SpinTowards(float difference, float rate)
{
    if (difference < 0.0f)
    {
        return -rate;
    }
    return difference > 0.0f ? rate : 0.0f;
}

// Sets the wanted orientation for an order by (dx, dy, dz) and, with movement
// time left, starts turning towards it; returns whether it did.
static bool StartTurn(Ship& ship, float dx, float dy, float dz)
{
    ship.wantedOrientation = Ship::OrderOrientation(dx, dy, dz);
    if (!(ship.moveTimeLeft > 0.0f))
    {
        return false;
    }
    for (int k = 0; k < 3; k++)
    {
        ship.spin[k] =
            SpinTowards(AngleDifference(ship.orientation[k], ship.wantedOrientation[k]), ship.turnRate[k]);
    }
    ship.velocity = Vector();
    return true;
}

void Ship::OrderMove(float dx, float dy, float dz)
{
    destination = position + Vector(dx, dy, dz);
    if (StartTurn(*this, dx, dy, dz))
    {
        motionState = Aligning;
    }
}

void Ship::OrderRotate(float dx, float dy, float dz)
{
    if (StartTurn(*this, dx, dy, dz))
    {
        motionState = Rotating;
    }
}

void Ship::Stop()
{
    velocity = Vector();
    spin = Vector();
    motionState = Stopped;
}

void Ship::SetTarget(Ship* newTarget)
{
    const int32_t orderType = game->GetOrderType();
    if (orderType == 3 || orderType == 4)
    {
        if (target != nullptr)
        {
            target->targeted = false;
        }
        target = newTarget;
        for (BeamTurret* turret : beamTurrets)
        {
            turret->SetTarget(newTarget);
        }
        for (GunTurret* turret : gunTurrets)
        {
            turret->SetTarget(newTarget);
        }
        if (newTarget != nullptr)
        {
            newTarget->targeted = true;
        }
    }
    else if (orderType == 5)
    {
        for (BeamTurret* turret : beamTurrets)
        {
            if (turret->IsSelected())
            {
                turret->SetTarget(newTarget);
            }
        }
        for (GunTurret* turret : gunTurrets)
        {
            if (turret->IsSelected())
            {
                turret->SetTarget(newTarget);
            }
        }
    }
}

void Ship::NewTurn()
{
    for (BeamTurret* turret : beamTurrets)
    {
        turret->NewTurn();
    }
    for (GunTurret* turret : gunTurrets)
    {
        turret->NewTurn();
    }
    for (Hangar* hangar : hangars)
    {
        hangar->NewTurn();
    }
    moveTimeLeft = moveTimePerTurn;
}

// Clears the spin of every axis within tolerance of its wanted angle; true
// when no axis turns any more.
static bool SettleAxes(Vector& spin, const Orientation& orientation, const Orientation& wanted,
                       float tolerance)
{
    for (int k = 0; k < 3; k++)
    {
        if (std::fabs(AngleDifference(orientation[k], wanted[k])) < tolerance)
        {
            spin[k] = 0.0f;
        }
    }
    return spin.x == 0.0f && spin.y == 0.0f && spin.z == 0.0f;
}

void Ship::Update()
{
    for (int k = 0; k < 3; k++)
    {
        position[k] += velocity[k];
        orientation[k] += spin[k];
        if (orientation[k] > 360.0f)
        {
            orientation[k] -= 360.0f;
        }
        if (orientation[k] < -360.0f)
        {
            orientation[k] += 360.0f;
        }
    }
    if (velocity != Vector())
    {
        game->SensorSweep(this);
        BuildSensorEnvelope();
    }

    switch (motionState)
    {
    case Moving:
        moveTimeLeft -= kTick;
        if (std::fabs(position.x - destination.x) < kArrivalTolerance &&
            std::fabs(position.y - destination.y) < kArrivalTolerance &&
            std::fabs(position.z - destination.z) < kArrivalTolerance)
        {
            position = destination;
            velocity = Vector();
            motionState = Stopped;
        }
        break;
    case Aligning:
        moveTimeLeft -= kTick;
        if (SettleAxes(spin, orientation, wantedOrientation, kAlignTolerance))
        {
            velocity = destination - position;
            Normalize(velocity);
            velocity *= speed;
            motionState = Moving;
        }
        break;
    case Rotating:
        moveTimeLeft -= kTick;
        if (SettleAxes(spin, orientation, wantedOrientation, kRotateTolerance))
        {
            motionState = Stopped;
        }
        break;
    case Spawned:
        game->SensorSweep(this);
        BuildSensorEnvelope();
        motionState = Stopped;
        break;
    default:
        break;
    }

    if (moveTimeLeft <= 0.0f)
    {
        moveTimeLeft = 0.0f;
        Stop();
    }

    for (BeamTurret* turret : beamTurrets)
    {
        turret->Update(position, orientation);
    }
    for (GunTurret* turret : gunTurrets)
    {
        turret->Update(position, orientation);
    }
    for (ShipLight* light : lights)
    {
        light->blinkTime += kTick;
        if (light->blinkTime > light->blinkPeriod)
        {
            light->blinkTime = 0.0f;
        }
    }
}

int Ship::HitFace(const Vector& l)
{
    const float ax = std::fabs(l.x);
    const float ay = std::fabs(l.y);
    const float az = std::fabs(l.z);
    if (az > ax && az > ay)
    {
        return l.z > 0.0f ? kFaceBack : kFaceFront;
    }
    if (ay > ax && ay > az)
    {
        return l.y > 0.0f ? kFaceTop : kFaceBottom;
    }
    return l.x > 0.0f ? kFaceRight : kFaceLeft;
}

void Ship::Damage(float amount, int /*kind*/, Vector& v)
{
    v = -v;
    Vector local;
    UnrotateByAngles(v, local, orientation);
    const int face = HitFace(local);
    hull[face] -= amount;
    if (!(hull[face] < 0.0f) || !alive)
    {
        return;
    }

    if (selected && target != nullptr)
    {
        target->targeted = false;
    }
    selected = false;
    targeted = false;
    moveTimeLeft = kWreckMoveTime;
    PostShipSound(Sound::HullBreak, *this);
    game->OnShipDestroyed(this);

    const bool fighter = model != nullptr && model->fileName == "smallfighter";
    for (int k = 0; k < 3; k++)
    {
        const double r = RandomFraction();
        velocity[k] = fighter ? float((40.0 * r - 20.0) * kPerTick) : float((4.0 * r - 2.0) * kPerTick);
        const double s = RandomFraction();
        spin[k] = fighter ? float((30.0 * s - 15.0) * kPerTick) : float((10.0 * s - 5.0) * kPerTick);
    }
    motionState = Stopped;
    for (BeamTurret* turret : beamTurrets)
    {
        turret->SetTarget(nullptr);
    }
    for (GunTurret* turret : gunTurrets)
    {
        turret->SetTarget(nullptr);
    }
    // The wreck aims at nothing; its old target may be deleted long before it.
    target = nullptr;
    alive = false;
}

void Ship::Forget(Ship* dead)
{
    if (dead == target)
    {
        target = nullptr;
        for (BeamTurret* turret : beamTurrets)
        {
            turret->SetTarget(nullptr);
        }
        for (GunTurret* turret : gunTurrets)
        {
            turret->SetTarget(nullptr);
        }
    }
    // A turret given its own target (order type 5) may aim at the dead ship
    // while the ship's target is another.
    for (BeamTurret* turret : beamTurrets)
    {
        if (turret->target == dead)
        {
            turret->SetTarget(nullptr);
        }
    }
    for (GunTurret* turret : gunTurrets)
    {
        if (turret->target == dead)
        {
            turret->SetTarget(nullptr);
        }
    }
    if (dead->owner != owner)
    {
        MarkUnseen(dead->id, dead->owner);
    }
}

bool Ship::ToggleSelectIfId(uint32_t otherId)
{
    if (otherId != id)
    {
        return false;
    }
    selected = !selected;
    if (target != nullptr)
    {
        target->targeted = selected;
    }
    return true;
}

void Ship::Select()
{
    selected = true;
    if (target != nullptr)
    {
        target->targeted = true;
    }
}

void Ship::Deselect()
{
    selected = false;
    if (target != nullptr)
    {
        target->targeted = false;
    }
}

void Ship::ToggleTurretCones()
{
    for (BeamTurret* turret : beamTurrets)
    {
        turret->ToggleCone();
    }
    for (GunTurret* turret : gunTurrets)
    {
        turret->ToggleCone();
    }
}

bool Ship::IsVisibleToCurrentPlayer()
{
    const int32_t viewer = game->GetCurrentPlayer()->GetIndex();
    if (viewer == owner)
    {
        return true;
    }
    return detection[viewer].state == 2;
}

int32_t Ship::DetectionStateOf(int32_t player) const
{
    const auto found = detection.find(player);
    return found == detection.end() ? 0 : found->second.state;
}

void Ship::MarkSeen(uint32_t observerId, int32_t playerIndex)
{
    DetectionEntry& entry = detection[playerIndex];
    entry.observers[observerId] = true;
    entry.state = 2;
}

void Ship::MarkUnseen(uint32_t observerId, int32_t playerIndex)
{
    DetectionEntry& entry = detection[playerIndex];
    entry.observers[observerId] = false;
    if (entry.state != 2)
    {
        return;
    }
    for (const auto& observer : entry.observers)
    {
        if (observer.second)
        {
            return;
        }
    }
    entry.state = 1;
    entry.lastPosition = position;
    entry.lastOrientation = orientation;
}
