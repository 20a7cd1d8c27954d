#include "players/Player.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "ai/ComputerPlayer.h"
#include "app/FatalError.h"
#include "game/Game.h"
#include "ships/Ship.h"
#include "world/Environment.h"

namespace
{

// The camera's free motion keeps the focus within this box.
constexpr float kFocusLimit = 5000.0f;

// The classes of the five starting ships, by slot: the carrier in the middle.
const char* const kFleetClasses[5] = {"battlefrigate", "beamfrigateopen", "escortcarrier2", "beamfrigateopen",
                                      "battlefrigate"};

// Per-second rates become per-tick rates.
constexpr double kPerTick = 0.05;

template <typename T> void EraseFirst(std::vector<T*>& list, T* item)
{
    auto found = std::find(list.begin(), list.end(), item);
    if (found != list.end())
    {
        list.erase(found);
    }
}

} // namespace

Player::Player(Game* game_, int32_t index_)
    : index(index_), game(game_), heading(45.0f), viewDirection(ViewDirectionFor(45.0f)), zoom(1.0f),
      headingRate(0.0f), cameraGliding(0), isCurrent(false), glideTicks(0), seat(SeatKind::Human)
{
    for (int i = 0; i < 16; i++)
    {
        modelview[i] = 0.0;
        projection[i] = 0.0;
    }
}

Player::~Player()
{
    std::cerr << "  Removing ships" << std::endl;
    for (Ship* ship : fleet)
    {
        delete ship;
    }
}

Vector Player::ViewDirectionFor(float headingDegrees)
{
    const double h = headingDegrees * kDegToRad;
    return Vector(float(std::sin(h) * kViewSlope), kViewSlope, float(std::cos(h) * kViewSlope));
}

void Player::CreateFleet(uint32_t& idCounter)
{
    const double a = (heading - 45.0f) * kDegToRad;
    const double ca = std::cos(a);
    const double sa = std::sin(a);
    for (int i = 0; i < 5; i++)
    {
        Ship* ship = new Ship(idCounter, index, game);
        idCounter++;
        Model* model = game->FindShipModel(kFleetClasses[i]);
        if (model == nullptr)
        {
            delete ship;
            FatalError(std::string("Cannot find ship model ") + kFleetClasses[i]);
        }
        ship->Assemble(model, index);
        ship->SetName(gShipNames[idCounter % 10]);
        const double d = (5 * i - 10) * 20;
        ship->SetPosition(float(cameraFocus.x + d * ca), cameraFocus.y, float(cameraFocus.z + d * sa));
        ship->SetOrientation(0.0f, heading - 45.0f, 0.0f);
        fleet.push_back(ship);
    }
}

bool Player::FindShip(uint32_t id, Ship*& out) const
{
    for (Ship* ship : fleet)
    {
        if (ship->HasId(id))
        {
            out = ship;
            return true;
        }
    }
    return false;
}

void Player::RefreshSelectionCentre()
{
    if (selection.empty())
    {
        return;
    }
    Vector sum;
    for (Ship* ship : selection)
    {
        sum += ship->GetPosition();
    }
    const float n = float(selection.size());
    selectionCentre = Vector(sum.x / n, sum.y / n, sum.z / n);
}

bool Player::SelectShip(uint32_t id, bool additive)
{
    if (!additive)
    {
        for (Ship* ship : selection)
        {
            ship->Deselect();
        }
        selection.clear();
    }
    else
    {
        for (size_t i = 0; i < selection.size(); i++)
        {
            if (selection[i]->ToggleSelectIfId(id))
            {
                selection.erase(selection.begin() + i);
                RefreshSelectionCentre();
                return true;
            }
        }
    }
    for (Ship* ship : fleet)
    {
        if (ship->ToggleSelectIfId(id))
        {
            selection.push_back(ship);
            RefreshSelectionCentre();
            return true;
        }
    }
    return false;
}

void Player::SelectNextShip()
{
    // An empty fleet has nothing to select: the command does nothing.
    if (fleet.empty())
    {
        return;
    }
    Ship* next = fleet.front();
    if (!selection.empty())
    {
        auto found = std::find(fleet.begin(), fleet.end(), selection.front());
        if (found != fleet.end() && found + 1 != fleet.end())
        {
            next = *(found + 1);
        }
    }
    DeselectAll();
    selection.assign(1, next);
    next->Select();
    RefreshSelectionCentre();

    const Vector& p = next->GetPosition();
    const Vector& view = viewDirection;
    cameraGoal = Vector(p.x - 200.0f * view.x, p.y - 200.0f * view.y - 100.0f, p.z - 200.0f * view.z);
    cameraStep = (cameraGoal - cameraFocus) * 0.1f;
    cameraGliding = 1;
    glideTicks = 0;
}

void Player::DeselectAll()
{
    for (Ship* ship : selection)
    {
        ship->Deselect();
    }
}

void Player::ReselectAll()
{
    for (Ship* ship : selection)
    {
        ship->Select();
    }
}

void Player::MoveSelection(float x, float y, float z)
{
    const Vector m = selectionCentre;
    for (Ship* ship : selection)
    {
        ship->OrderMove(x - m.x, y - m.y, z - m.z);
    }
}

void Player::RotateSelection(float x, float y, float z)
{
    for (Ship* ship : selection)
    {
        const Vector& p = ship->GetPosition();
        ship->OrderRotate(x - p.x, y - p.y, z - p.z);
    }
}

void Player::StopSelection()
{
    for (Ship* ship : selection)
    {
        ship->Stop();
    }
}

void Player::TargetWithSelection(Ship* target)
{
    const int32_t orderType = game->GetOrderType();
    if (orderType == 3 || orderType == 4)
    {
        for (Ship* ship : selection)
        {
            ship->SetTarget(target);
        }
    }
    else if (orderType == 5 && !selection.empty())
    {
        selection.front()->SetTarget(target);
    }
}

void Player::ToggleLightsOfSelection()
{
    for (Ship* ship : selection)
    {
        ship->ToggleLights();
    }
}

void Player::ToggleConesOfSelection()
{
    for (Ship* ship : selection)
    {
        ship->ToggleTurretCones();
    }
}

void Player::SensorSweep(Ship* s)
{
    Environment* environment = game->GetEnvironment();
    for (Ship* t : fleet)
    {
        // Nebula beyond the larger of the two sums hides the pair both ways,
        // however much more of it there is.
        const float limit = std::max(t->sensorRange + s->signature, s->sensorRange + t->signature);
        const float e = environment->Obscuration(s->GetPosition(), t->GetPosition(), limit);
        if (t->sensorRange + s->signature - e > 0.0f)
        {
            s->MarkSeen(t->id, index);
        }
        else
        {
            s->MarkUnseen(t->id, index);
        }
        if (s->sensorRange + t->signature - e > 0.0f)
        {
            t->MarkSeen(s->id, s->owner);
        }
        else
        {
            t->MarkUnseen(s->id, s->owner);
        }
    }
}

void Player::NewTurn()
{
    for (Ship* ship : fleet)
    {
        ship->NewTurn();
    }
}

void Player::Update()
{
    // A ship destroyed during its owner's turn leaves the fleet here; the game's
    // wreck list owns it now. The walk is by index: a ship's update may destroy
    // another ship of this fleet, which only clears its alive flag.
    for (size_t i = 0; i < fleet.size();)
    {
        Ship* ship = fleet[i];
        if (!ship->IsAlive())
        {
            fleet.erase(fleet.begin() + i);
            continue;
        }
        ship->Update();
        i++;
    }
    RefreshSelectionCentre();
    UpdateCamera();
}

void Player::DropDeadShips()
{
    fleet.erase(std::remove_if(fleet.begin(), fleet.end(), [](Ship* ship) { return !ship->IsAlive(); }),
                fleet.end());
}

void Player::UpdateCamera()
{
    if (cameraGliding)
    {
        cameraFocus += cameraStep;
        glideTicks++;
        // The glide ends when the X step overshoots what is left on X. A glide
        // straight along Z has no X step, so it also ends after its ten steps.
        if (std::fabs(cameraGoal.x - cameraFocus.x) < std::fabs(cameraStep.x) || glideTicks >= kGlideTicks)
        {
            cameraFocus = cameraGoal;
            cameraGliding = 0;
        }
    }
    else
    {
        cameraFocus += cameraVelocity;
        for (int k = 0; k < 3; k++)
        {
            cameraFocus[k] = std::min(kFocusLimit, std::max(-kFocusLimit, cameraFocus[k]));
        }
        heading += headingRate;
        if (heading > 360.0f)
        {
            heading -= 360.0f;
        }
        else if (heading < 0.0f)
        {
            heading += 360.0f;
        }
    }
    viewDirection = ViewDirectionFor(heading);
}

void Player::RemoveShip(Ship* dead)
{
    for (Ship* ship : fleet)
    {
        if (ship != dead)
        {
            ship->Forget(dead);
        }
    }
    if (!isCurrent)
    {
        EraseFirst(fleet, dead);
    }
    EraseFirst(selection, dead);
    RefreshSelectionCentre();
}

void Player::SetCameraVelocity(float vx, float vy, float vz)
{
    cameraVelocity = Vector(float(vx * kPerTick), float(vy * kPerTick), float(vz * kPerTick));
}

void Player::SetHeadingRate(float rate)
{
    headingRate = float(rate * kPerTick);
}

void Player::SetHeading(float h)
{
    if (!std::isfinite(h))
    {
        h = 0.0f;
    }
    // Far-off values are first brought near the range, so the loops stay short.
    if (std::fabs(h) > 36000.0f)
    {
        h = std::fmod(h, 360.0f) + 360.0f;
    }
    while (h > 360.0f)
    {
        h -= 360.0f;
    }
    while (h < 0.0f)
    {
        h += 360.0f;
    }
    heading = h;
    viewDirection = ViewDirectionFor(heading);
}

float Player::ClampZoom(float z)
{
    if (!(z >= kMinZoom)) // also a zoom that is not a number
    {
        return float(kMinZoom);
    }
    if (z > kMaxZoom)
    {
        return float(kMaxZoom);
    }
    return z;
}

void Player::ChangeZoom(float delta)
{
    zoom = ClampZoom(zoom + delta);
}

void Player::SetZoom(float z)
{
    zoom = ClampZoom(z);
}
