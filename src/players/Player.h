#ifndef KORVANE_PLAYERS_PLAYER_H
#define KORVANE_PLAYERS_PLAYER_H

#include <cstdint>
#include <memory>
#include <vector>

#include "math/Vector.h"
#include "players/Seat.h"

class ComputerPlayer;
class Game;
class Ship;

// The camera looks down at 45 degrees: the y of the view direction and the
// factor of its horizontal part.
constexpr float kViewSlope = -0.7071059942245483f;

// Zoom limits: the view angle is 60 x zoom degrees, kept between 5 and 120.
constexpr double kMinZoom = 0.08333333333333333;
constexpr double kMaxZoom = 2.0;

// A glide reaches its goal in ten ticks; a glide whose end test cannot fire
// (zero X step) is ended after that many ticks.
constexpr int kGlideTicks = 10;

// One of the people at the shared screen: their fleet, their selection and their camera.
class Player
{
  public:
    Player(Game* game, int32_t index);
    // Announces and deletes every ship of the fleet.
    ~Player();

    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Fleet and selection.
    void CreateFleet(uint32_t& idCounter); // the five starting ships at the focus and heading
    void AddShip(Ship* ship) { fleet.push_back(ship); }
    int32_t GetIndex() const { return index; }
    int FleetSize() const { return int(fleet.size()); }
    bool HasSelection() const { return !selection.empty(); }
    Ship* FirstSelected() const { return selection.empty() ? nullptr : selection.front(); }
    const Vector& GetSelectionCentre() const { return selectionCentre; }
    bool FindShip(uint32_t id, Ship*& out) const;
    bool SelectShip(uint32_t id, bool additive);
    void SelectNextShip();
    void DeselectAll();
    void ReselectAll();

    // Orders to every selected ship, in selection order.
    void MoveSelection(float x, float y, float z);
    void RotateSelection(float x, float y, float z);
    void StopSelection();
    void TargetWithSelection(Ship* target);
    void ToggleLightsOfSelection();
    void ToggleConesOfSelection();

    // The detection test of a ship of another player against this fleet.
    void SensorSweep(Ship* ship);

    void NewTurn();
    // One tick of the current player: its ships and its camera.
    void Update();
    // A ship somewhere has been destroyed.
    void RemoveShip(Ship* dead);
    // Takes every destroyed ship out of the fleet (they belong to the game's
    // wrecks): when the turn passes on and before the game frees its wrecks.
    void DropDeadShips();

    // Camera.
    void SetFocus(float x, float y, float z) { cameraFocus = Vector(x, y, z); }
    void MoveFocus(float dx, float dy, float dz) { cameraFocus += Vector(dx, dy, dz); }
    Vector GetEyePosition() const { return Vector(cameraFocus.x, cameraFocus.y + 100.0f, cameraFocus.z); }
    float GetHeading() const { return heading; }
    const Vector& GetViewDirection() const { return viewDirection; }
    bool IsCameraGliding() const { return cameraGliding != 0; }
    void SetCameraVelocity(float vx, float vy, float vz);
    void SetHeadingRate(float rate);
    void SetHeading(float h);
    void ChangeZoom(float delta);
    void SetZoom(float z);
    float GetZoom() const { return zoom; }

    // Drawing (ShipDraw.cpp).
    void DrawFleet(bool sensorView, bool asOther);
    void DrawSelectionAids(float planeHeight, const Vector& cursorPoint);

    // Helpers of the operations above, public for tests.
    void RefreshSelectionCentre();
    void UpdateCamera();
    static Vector ViewDirectionFor(float headingDegrees);
    static float ClampZoom(float z);

    int32_t index; // 0 to 3; owner index of its ships
    Game* game;
    Vector cameraFocus;           // point the camera looks at; also the fleet's starting point
    Vector cameraGoal;            // end point of a camera glide
    Vector cameraStep;            // per-tick step of a camera glide
    float heading;                // camera yaw in degrees; also the fleet's line-up direction
    Vector viewDirection;         // from the heading, looking down at 45 degrees
    float zoom;                   // the view angle is 60 x zoom degrees
    Vector cameraVelocity;        // distance per tick
    float headingRate;            // degrees per tick
    std::vector<Ship*> fleet;     // owned, in creation order
    std::vector<Ship*> selection; // not owned, in selection order
    Vector selectionCentre;       // mean position of the selected ships
    int32_t cameraGliding;        // a glide is in progress
    bool isCurrent;               // it is this player's turn
    double modelview[16];         // the matrices of the last camera set-up, for picking
    double projection[16];
    int32_t glideTicks;                       // ticks of the glide in progress
    SeatKind seat;                            // a person or the computer
    std::unique_ptr<ComputerPlayer> computer; // plays the seat when it is the computer's; null for a person
};

#endif
