#ifndef KORVANE_SHIPS_SHIP_H
#define KORVANE_SHIPS_SHIP_H

#include <GL/gl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "math/Vector.h"

class Game;
class Model;
class BeamTurret;
class GunTurret;
class Hangar;
class ShipPanel;
struct AseNode;

// The names capital ships take, by slot (ship id + 1) mod 10.
extern const char* const gShipNames[10];

// Hull faces, indexed by the outward local axis of the side they cover.
enum HullFace
{
    kFaceTop = 0,    // +Y
    kFaceBottom = 1, // -Y
    kFaceLeft = 2,   // -X
    kFaceRight = 3,  // +X
    kFaceFront = 4,  // -Z
    kFaceBack = 5    // +Z
};
constexpr int kHullFaces = 6;

// What one other player knows of a ship.
struct DetectionEntry
{
    int32_t state = 0;                  // 0 never seen, 1 seen before but not now, 2 visible now
    std::map<uint32_t, bool> observers; // id of a ship of that player -> it sees this ship now
    Vector lastPosition;                // where the ship was when the state last dropped from 2 to 1
    Orientation lastOrientation;
};

// A decorative part of a ship, drawn with the object model named after its marker.
class Subobject
{
  public:
    Subobject(const std::string& name, Model* mesh, const Vector& position, const Vector& rotation);

    // Draws the part inside the ship's transform, writing the ship's stencil value.
    void Draw(unsigned stencilValue, bool sensorView, bool lit) const;

    std::string name; // the marker's type, also the object model's name
    Model* mesh;      // the object model, not owned
    Vector position;  // ship coordinates
    Vector rotation;  // degrees about X, Y, Z
};

// A navigation light: a glow square in the owner's light texture, steady or blinking.
class ShipLight
{
  public:
    // Takes position, size and blink period from the marker and compiles the glow
    // square with the given texture. Needs a current OpenGL context.
    ShipLight(const AseNode& node, GLuint texture);

    Vector position;          // ship coordinates
    float size = 5.0f;        // half the edge of the glow square
    float blinkPeriod = 0.0f; // seconds; 0 is a steady light
    float blinkTime = 0.0f;   // seconds into the current period
    GLuint list = 0;          // display list of the glow square
};

// Draws one model with the current colour as tint and writes the stencil value
// where it is drawn; a wire frame in the sensor view.
void DrawModel(const Model* model, unsigned stencilValue, bool sensorView);

// The pulsing light-map pass over a model just drawn with DrawModel.
void DrawLightMapGlow(const Model* model, unsigned stencilValue);

// Turns the current matrix by an orientation as glRotatef calls: about Z by
// roll, then Y by yaw, then X by pitch (local to world, as RotateByAngles).
void RotateByOrientation(const Orientation& orientation);

// One unit of a player's fleet: a capital ship or a strike fighter.
class Ship
{
  public:
    enum MotionState : int32_t
    {
        Stopped = 0,  // no order in progress
        Moving = 1,   // flying straight towards destination
        Aligning = 2, // turning towards wantedOrientation before moving
        Rotating = 3, // turning towards wantedOrientation only
        Spawned = 153 // newly built; the first update refreshes its sensor data
    };

    // Sets every default, builds the command-panel object and allocates the
    // sensor envelope's display list. Needs a current OpenGL context.
    Ship(uint32_t id, int32_t owner, Game* game);
    // Announces and frees the panel, turrets, subobjects and lights. Hangars
    // are freed too (see docs/ships.md).
    ~Ship();

    Ship(const Ship&) = delete;
    Ship& operator=(const Ship&) = delete;

    // Builds parts and statistics from the class model's markers; owner picks
    // the light texture.
    void Assemble(Model* model, int32_t owner);

    void SetName(const std::string& newName) { name = newName; }
    void SetPosition(float x, float y, float z) { position = Vector(x, y, z); }
    void SetOrientation(float pitch, float yaw, float roll) { orientation = Vector(pitch, yaw, roll); }
    uint32_t GetId() const { return id; }
    int32_t GetOwner() const { return owner; }
    const Vector& GetPosition() const { return position; }
    const Orientation& GetOrientation() const { return orientation; }
    float GetSensorRange() const { return sensorRange; }
    float GetSignature() const { return signature; }
    bool IsAlive() const { return alive; }

    // Selects one part in the order beam turrets, gun turrets, hangars after
    // deselecting all; an index past the end selects nothing.
    void SelectPart(int index);

    // Orders.
    void OrderMove(float dx, float dy, float dz);   // move by this displacement
    void OrderRotate(float dx, float dy, float dz); // turn to face this direction
    void Stop();
    void SetTarget(Ship* newTarget); // by the game's order type
    void NewTurn();                  // refills turrets, hangars and movement time

    // One tick of motion, sensors, turrets and lights.
    void Update();

    // A hit of strength amount travelling along v; v is negated in place.
    // kind is not used by the ship.
    void Damage(float amount, int kind, Vector& v);

    // The given ship has been destroyed: drop it as target and as observer.
    void Forget(Ship* dead);

    // Selection.
    bool ToggleSelectIfId(uint32_t otherId);
    void Select();
    void Deselect();
    bool HasId(uint32_t otherId) const { return otherId == id; }
    void ToggleLights() { lightsOn = !lightsOn; }
    void ToggleTurretCones();

    // Detection.
    bool IsVisibleToCurrentPlayer();
    // The player's detection state of this ship (0 if that player never
    // looked), read without recording anything: 2 while the player's sensors
    // show it, which is when the scene draws it.
    int32_t DetectionStateOf(int32_t player) const;
    void MarkSeen(uint32_t observerId, int32_t playerIndex);
    void MarkUnseen(uint32_t observerId, int32_t playerIndex);

    // The (pitch, yaw, 0) an order by (dx, dy, dz) turns to.
    static Orientation OrderOrientation(float dx, float dy, float dz);
    // The face a hit comes in on, from the direction towards its source in ship coordinates.
    static int HitFace(const Vector& towardsSource);

    // Drawing (ShipDraw.cpp). Draw shows the ship itself, with the selection
    // markers and order paths only while the current player is the one
    // watching; DrawAsSeen shows it as the watching player (Game::GetViewer)
    // knows it: itself while detected, its ghost after that, else nothing.
    void Draw(bool sensorView);
    void DrawAsSeen(bool sensorView);
    // Takes the sensor envelope from where the ship is now, through the
    // nebula regions that exist now. Only a selected ship in the sensor view
    // shows it, so the sight distances are walked and sensorList compiled
    // when it is next drawn (DrawSensorEnvelope), from what was taken here:
    // a moving ship asks every tick, and hardly ever shows it.
    void BuildSensorEnvelope();
    // Calls sensorList, compiling it first if a newer envelope was taken.
    void DrawSensorEnvelope();
    void CompileSensorEnvelope();
    void DrawOrderPreview(float dx, float dy, float dz, bool rotateOnly);
    void DrawOrderPath(const Vector& to, const Orientation& wanted, bool rotateOnly);

    Game* game;
    uint32_t id;               // unique; also the stencil value the ship is drawn with
    std::string name;          // display name
    float hullMax[kHullFaces]; // full strength of each face
    float moveTimePerTurn;     // seconds granted at the start of each of the owner's turns
    float speed;               // distance per tick
    Vector turnRate;           // degrees per tick about X, Y, Z
    float sensorRange;         // the observer's term of the detection test
    float signature;           // the observed ship's term; radius of the sensor envelope
    float hull[kHullFaces];    // current strength of each face
    float moveTimeLeft;        // seconds left in the current turn
    bool selected;             // in its owner's selection
    bool targeted;             // the target of a selected ship
    bool lightsOn;
    int32_t motionState;                  // a MotionState
    std::vector<Subobject*> subobjects;   // owned
    std::vector<BeamTurret*> beamTurrets; // owned
    std::vector<GunTurret*> gunTurrets;   // owned; includes fixed guns
    std::vector<ShipLight*> lights;       // owned
    std::vector<Hangar*> hangars;         // owned
    Ship* target;                         // attack target, or none
    int32_t owner;                        // index of the owning player
    Vector position;
    Orientation orientation;                     // degrees; the front is local -Z
    Vector velocity;                             // distance per tick
    Vector spin;                                 // degrees per tick about X, Y, Z
    std::map<int32_t, DetectionEntry> detection; // player index -> what that player knows
    Vector destination;                          // end point of the current move order
    Orientation wantedOrientation;               // orientation the current order turns to
    Model* model;                                // the class model, not owned
    GLuint sensorList;                           // display list of the sensor envelope
    ShipPanel* panel;                            // owned
    float deathTime;                             // seconds since destruction
    bool alive;
    Vector envelopeOrigin;  // where the last envelope was taken
    size_t envelopeRegions; // how many of the environment's regions existed then
    bool envelopeStale;     // sensorList does not show that envelope yet
};

#endif
