// Reference frames of the 3D scene, drawn through DrawScene from fixed states of
// a real game: ships with their markers, lights and turret cones, ghosts, the
// sensor view with its envelope, boxes and rulers, the order grid, nebula
// clouds at every level of detail, explosions, beams and bullets.

#include <cmath>
#include <memory>

#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "combat/BeamTurret.h"
#include "combat/GunTurret.h"
#include "math/Random.h"
#include "ships/TestGame.h"
#include "support/GLTest.h"
#include "support/ReferenceFrame.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

const float kHeading = 30.0f;
const float kRadians = 3.14159f / 180.0f;
// The camera's axes at heading 30, looking down at 45 degrees.
const Vector kRight(std::cos(kHeading* kRadians), 0.0f, -std::sin(kHeading* kRadians));
const Vector kAhead(-std::sin(kHeading* kRadians), 0.0f, -std::cos(kHeading* kRadians));

// A point relative to the world origin: `right` across the screen, `ahead`
// away from the camera on the ground, `up`.
Vector At(float right, float ahead, float up)
{
    return kRight * right + kAhead * ahead + Vector(0.0f, up, 0.0f);
}

class SceneFrame : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        game.reset(NewEmptyGame(2));
        environment = game->GetEnvironment();
        for (NebulaRegion* region : environment->regions)
        {
            delete region;
        }
        environment->regions.clear();
        player = game->players[0];
        player->SetHeading(kHeading);
        LookAt(Vector(0, 0, 0), 141.42f, 1.0f);
        gAnimationTime = 2.5f;
        // The blend function every drawing of the game sets and leaves behind.
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }

    // Puts the current player's camera `distance` away from `target`, which it
    // then sees in the middle of the screen.
    void LookAt(const Vector& target, float distance, float zoom)
    {
        const Vector eye = target - player->GetViewDirection() * distance;
        player->SetFocus(eye.x, eye.y - 100.0f, eye.z);
        player->SetZoom(zoom);
    }

    Ship* Place(int owner, const char* shipClass, const Vector& p, const Orientation& o)
    {
        Ship* ship = PlaceShip(game.get(), owner, p - kTestOrigin, shipClass);
        ship->SetOrientation(o.x, o.y, o.z);
        ship->motionState = Ship::Stopped;
        ship->BuildSensorEnvelope();
        return ship;
    }

    // Player 0's battle frigate, selected and under way, targets player 1's
    // fusion frigate, which fires its beam back through a hail of bullets;
    // another enemy ship shows as a ghost and a third, never seen, not at all.
    void Fleet()
    {
        own = Place(0, "battlefrigate", At(-50, -10, 0), Orientation(-10, 300, 0));
        enemy = Place(1, "beamfrigateopen", At(55, 40, 15), Orientation(5, 120, 0));
        Ship* ghost = Place(1, "battlefrigate", At(-20, 130, -10), Orientation(0, 0, 0));
        Place(1, "escortcarrier2", At(0, 0, 0), Orientation(0, 0, 0));
        enemy->detection[0].state = 2;
        ghost->detection[0].state = 1;
        ghost->detection[0].lastPosition = At(10, 110, -20);
        ghost->detection[0].lastOrientation = Orientation(20, 60, 0);

        // Lights: steady ones, blinking ones in the lit half of their period and
        // one (light02) in the dark half.
        own->lights[1]->blinkTime = 0.2f;
        own->lights[2]->blinkTime = 0.7f;
        own->lights[3]->blinkTime = 1.5f;
        own->moveTimeLeft = 2.0f;
        player->SelectShip(own->id, false);
        game->SetOrderType(3);
        own->SetTarget(enemy);
        own->OrderMove(80, 20, -60);

        const Vector start =
            MountWorldPosition(enemy->position, enemy->orientation, enemy->beamTurrets[0]->mountPosition);
        game->GetBeams()->AddBeam(start, own->position - start, Vector(0.35f, 0.75f, 1.0f), 3.0f);
        Vector towards = enemy->position - own->position;
        Normalize(towards);
        for (float f : {0.25f, 0.45f, 0.65f})
        {
            game->GetBullets()->AddBullet(own->position + (enemy->position - own->position) * f,
                                          towards * 5.0f, Vector(1.0f, 0.9f, 0.4f), 4.0f, enemy);
        }
        SeedRandom(7);
        const Vector centre = enemy->position + Vector(0, 5, 0), colour(1.0f, 0.6f, 0.0f);
        environment->AddExplosion(2, 0.2f, &centre, &colour, false);
        for (int tick = 0; tick < 6; ++tick)
        {
            environment->Update(player->GetEyePosition(), player->GetViewDirection());
        }
    }

    // Draws the scene as the current player sees it, with the frame's random
    // flicker fixed, and compares it.
    ::testing::AssertionResult Frame(const char* name, bool sensorView)
    {
        game->SetViewMode(sensorView ? 1 : 0);
        SeedRandom(1);
        DrawScene(*game);
        return MatchesReference(name);
    }

    std::unique_ptr<Game> game;
    Environment* environment = nullptr;
    Player* player = nullptr;
    Ship* own = nullptr;
    Ship* enemy = nullptr;
};

TEST_F(SceneFrame, FleetInBothViews)
{
    Fleet();
    EXPECT_TRUE(Frame("scene-fleet", false));
    EXPECT_TRUE(Frame("scene-fleet-sensor", true));
}

// Two selected ships while the point of a move order is placed: the grid about
// their centre, the guide lines, the drop lines and each ship's preview; the
// turret cones in every state.
TEST_F(SceneFrame, OrderGridAndTurretCones)
{
    Fleet();
    Ship* second = Place(0, "beamfrigateopen", At(70, -30, -15), Orientation(0, 50, 0));
    second->NewTurn();
    player->SelectShip(second->id, true);
    own->Stop();
    game->SetOrderMode(3);
    game->SetOrderType(1);
    const Vector point = At(-10, 60, 30);
    game->SetOrderPoint(point.x, point.y, point.z);
    own->gunTurrets[0]->state = Firing;
    own->gunTurrets[3]->state = Aiming;
    second->beamTurrets[0]->state = Spent;
    second->beamTurrets[1]->state = OutOfArc;
    own->gunTurrets[0]->showCone = own->gunTurrets[3]->showCone = true;
    second->beamTurrets[0]->showCone = second->beamTurrets[1]->showCone = true;
    EXPECT_TRUE(Frame("scene-orders", false));
}

// Far out in the sensor view: a selected ship's envelope dented by two nebula
// boxes, seen across the axes and their rulers.
TEST_F(SceneFrame, SensorEnvelopeAmongNebulaBoxes)
{
    environment->AddRegion(Vector(100, -300, -300), Vector(400, 300, 300), 0.5f, 0.0f,
                           Vector(0.7f, 0.35f, 1.0f));
    environment->AddRegion(Vector(-300, -400, -300), Vector(300, -150, 300), 0.3f, 0.0f,
                           Vector(0.25f, 0.75f, 0.8f));
    Ship* ship = Place(0, "battlefrigate", Vector(0, 0, 0), Orientation(0, 60, 0));
    player->SelectShip(ship->id, false);
    LookAt(Vector(0, 0, 0), 1700.0f, 1.4f);
    EXPECT_TRUE(Frame("scene-envelope", true));
}

// Nebula clouds at each level of detail, fully and partly faded in, and
// explosions at three ages, seen by a camera turned by 30 degrees.
TEST_F(SceneFrame, CloudsAtEachLevelOfDetailAndExplosions)
{
    const Vector eye = player->GetEyePosition();
    const Vector view = player->GetViewDirection();
    Vector up;
    Cross(kRight, view, up);
    // On the screen at (x, y), as fractions of the distance `along` the view.
    auto screen = [&](float x, float y, float along) { return eye + (view + kRight * x + up * y) * along; };
    SeedRandom(5);
    environment->AddRegion(eye - Vector(1500, 1500, 1500), eye + Vector(1500, 1500, 1500), 0.01f, 0.0f,
                           Vector(0.1f, 0.05f, 0.3f));
    const float clouds[][4] = {
        // on the screen at (x, y) as fractions of the distance along the view, size
        {-0.45f, -0.25f, 17, 9}, {-0.55f, 0.3f, 9, 5},    // level 2, faded in to 0.3 and fully
        {0.35f, 0.1f, 33, 22},   {0.15f, -0.35f, 28, 14}, // level 1, faded in to 0.7 and fully
        {-0.2f, 0.25f, 90, 40},  {0.45f, 0.35f, 180, 70}, {-0.5f, -0.1f, 400, 120}, // level 0, fading out
    };
    NebulaRegion* region = environment->regions[0];
    for (size_t i = 0; i < 7; ++i)
    {
        region->clouds[i]->position = screen(clouds[i][0], clouds[i][1], clouds[i][2]);
        region->clouds[i]->size = clouds[i][3];
    }
    // A region of a map's make, far ahead, twenty ticks after it was built.
    const Vector far = screen(0.1f, 0.42f, 220) - Vector(50, 25, 50);
    environment->AddRegion(far, far + Vector(100, 50, 100), 0.2f, 1.0f, Vector(0.9f, 0.9f, 0.2f));
    for (int tick = 0; tick < 20; ++tick)
    {
        environment->regions[1]->Update(eye, view);
    }
    const float ages[] = {2, 8, 20};
    const Vector colours[] = {Vector(1, 0.8f, 0.2f), Vector(1, 0.4f, 0), Vector(1, 0, 0)};
    for (int i = 0; i < 3; ++i)
    {
        const Vector centre = screen(-0.35f + 0.35f * i, -0.3f, 120.0f);
        environment->AddExplosion(3, 1.0f, &centre, &colours[i], false);
        for (int age = 0; age < ages[i]; ++age)
        {
            environment->explosions.back()->Update();
        }
    }
    region->Update(eye, view);
    EXPECT_TRUE(Frame("scene-clouds", false));
}

} // namespace
