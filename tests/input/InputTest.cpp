// The input of a turn through the real event handling: keys, clicks that pick
// through the stencil buffer of the frame drawn, the order point, the camera
// and the ticks.

#include <GL/glu.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "game/FatalExitGuard.h"
#include "game/Game.h"
#include "input/CameraControl.h"
#include "input/EventHandling.h"
#include "input/TickClock.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "ui/CommandPanel.h"

namespace
{

class InputTest : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        SDL_Event event;
        while (SDL_PollEvent(&event))
        {
        }
        game = new Game(2, "map1");
        gCameraDrag = CameraDrag();
    }
    void TearDown() override
    {
        delete game;
        GLTest::TearDown();
    }

    void Send(SDL_Event event)
    {
        SDL_PushEvent(&event);
        HandleEvents(*game);
    }
    void Key(SDLKey key, bool down = true)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.sym = key;
        Send(event);
    }
    // A pointer event at (x, y), y counted from the bottom: a press of `button`,
    // or a movement with the buttons held.
    void Mouse(Uint8 type, int x, int y, Uint8 button = 0)
    {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_MOUSEMOTION)
        {
            event.motion = SDL_MouseMotionEvent{type, 0, button, Uint16(x), Uint16(600 - y), 0, 0};
        }
        else
        {
            event.button = SDL_MouseButtonEvent{type, 0, button, SDL_PRESSED, Uint16(x), Uint16(600 - y)};
        }
        Send(event);
    }
    void Ticks(int count)
    {
        SDL_Event event{};
        event.type = SDL_USEREVENT;
        event.user.code = kTickCode;
        for (int i = 0; i < count; i++)
        {
            Send(event);
        }
    }
    // The scene and the panel as a frame draws them; a click reads this frame.
    void Frame()
    {
        DrawScene(*game);
        game->GetPanel()->Draw();
    }
    Player& Current() { return *game->GetCurrentPlayer(); }

    Game* game = nullptr;
};

} // namespace

TEST_F(InputTest, KeysSetTheOrderModeViewAndState)
{
    // Letters are their keys; + and - press and release left Ctrl, > and < right
    // Ctrl, [ and ] Tab, ! is Escape.
    const struct
    {
        bool selection;
        const char* keys;
        int mode, type, view, state;
    } rows[] = {
        {false, "acmrstx", 1, 0, 0, 0}, {true, "m", 3, 1, 0, 0},  {true, "mm", 1, 0, 0, 0},
        {true, "mt", 5, 3, 0, 0},       {true, "ta", 5, 4, 0, 0}, {true, "txx", 1, 0, 0, 0},
        {true, "rm", 3, 1, 0, 0},       {true, "mr", 3, 2, 0, 0}, {false, "+", 2, 0, 0, 0},
        {false, "+-", 1, 0, 0, 0},      {true, "m>", 4, 1, 0, 0}, {true, "m><", 3, 1, 0, 0},
        {true, "t+", 5, 3, 0, 0},       {false, "[", 1, 0, 1, 0}, {false, "[]", 1, 0, 0, 0},
        {false, "d", 1, 0, 0, 1},       {false, "!", 1, 0, 0, 2},
    };
    const std::string releases = "-<]";
    const SDLKey keys[] = {SDLK_LCTRL, SDLK_LCTRL, SDLK_RCTRL, SDLK_RCTRL, SDLK_TAB, SDLK_TAB, SDLK_ESCAPE};
    for (const auto& row : rows)
    {
        game->SetOrderMode(1);
        game->SetOrderType(0);
        game->SetViewMode(0);
        game->SetState(0);
        Current().SelectShip(row.selection ? Current().fleet[0]->GetId() : 0, false);
        for (const char* c = row.keys; *c; c++)
        {
            const size_t special = std::string("+-><[]!").find(*c);
            Key(special == std::string::npos ? SDLKey(*c) : keys[special],
                releases.find(*c) == std::string::npos);
        }
        EXPECT_EQ(game->GetOrderMode(), row.mode) << row.keys;
        EXPECT_EQ(game->GetOrderType(), row.type) << row.keys;
        EXPECT_EQ(game->GetViewMode(), row.view) << row.keys;
        EXPECT_EQ(game->GetState(), row.state) << row.keys;
    }
    Current().SelectShip(Current().fleet[0]->GetId(), false);
    Key(SDLK_l);
    EXPECT_FALSE(Current().fleet[0]->lightsOn);
    EXPECT_TRUE(Current().fleet[1]->lightsOn);
}

TEST_F(InputTest, ClicksPickTheShipPanelOrNothingUnderThePointer)
{
    Key(SDLK_n);
    Ticks(12); // the camera glides until the ship is at the centre of the view
    Ship* ship = Current().fleet[0];
    Frame();
    EXPECT_EQ(ReadStencilValue(400, 300), ship->GetId());
    Mouse(SDL_MOUSEBUTTONDOWN, 400, 590, SDL_BUTTON_LEFT); // empty sky
    EXPECT_FALSE(Current().HasSelection());
    Frame();
    Mouse(SDL_MOUSEBUTTONDOWN, 400, 300, SDL_BUTTON_LEFT);
    EXPECT_EQ(Current().selection, std::vector<Ship*>({ship}));

    Current().SetZoom(1.5f);
    Frame();
    Mouse(SDL_MOUSEBUTTONDOWN, 400, 590, SDL_BUTTON_MIDDLE); // resets the zoom and picks too
    EXPECT_EQ(Current().GetZoom(), 1.0f);
    EXPECT_FALSE(Current().HasSelection());

    const float height = Current().cameraFocus.y;
    Mouse(SDL_MOUSEBUTTONDOWN, 400, 300, SDL_BUTTON_WHEELUP);
    Key(SDLK_TAB);
    Mouse(SDL_MOUSEBUTTONDOWN, 400, 300, SDL_BUTTON_WHEELDOWN);
    EXPECT_EQ(Current().cameraFocus.y, height - 50.0f) << "up 50, then down 100 in the sensor view";
    Key(SDLK_TAB, false);

    Frame(); // the End Turn button posts its key, handled with the next events
    EXPECT_EQ(ReadStencilValue(775, 35), 1u);
    Mouse(SDL_MOUSEBUTTONDOWN, 775, 35, SDL_BUTTON_LEFT);
    HandleEvents(*game);
    EXPECT_EQ(game->GetState(), 1);
}

TEST_F(InputTest, TheMovePointFollowsThePointerAndTheClickGivesTheOrder)
{
    Ship* ship = Current().fleet[0];
    ship->SetPosition(ship->GetPosition().x, 40, ship->GetPosition().z);
    Key(SDLK_n);
    Ticks(12);
    Frame();
    // Where the point shows through the camera the frame was drawn with.
    const auto onScreen = [this](const Vector& v)
    {
        const GLint viewport[4] = {0, 0, 800, 600};
        double x = 0, y = 0, z = 0;
        gluProject(v.x, v.y, v.z, Current().modelview, Current().projection, viewport, &x, &y, &z);
        return Vector(float(x), float(y), 0);
    };
    Mouse(SDL_MOUSEMOTION, 400, 300);
    Key(SDLK_m); // the point starts at the height of the selection's centre
    EXPECT_EQ(game->GetOrderPoint().y, 40.0f);
    Mouse(SDL_MOUSEMOTION, 420, 400);
    const Vector point = game->GetOrderPoint();
    EXPECT_EQ(point.y, 40.0f);
    EXPECT_NEAR(onScreen(point).x, 420, 0.5); // within half a pixel
    EXPECT_NEAR(onScreen(point).y, 400, 0.5);

    Key(SDLK_LCTRL); // with Ctrl the point only rises, under the pointer
    Mouse(SDL_MOUSEMOTION, 420, 500);
    const Vector raised = game->GetOrderPoint();
    EXPECT_EQ(raised.x, point.x);
    EXPECT_EQ(raised.z, point.z);
    EXPECT_NEAR(onScreen(raised).y, 500, 0.5);
    Mouse(SDL_MOUSEBUTTONDOWN, 420, 500, SDL_BUTTON_LEFT);
    EXPECT_EQ(ship->motionState, Ship::Stopped) << "no order while the height is set";
    Key(SDLK_LCTRL, false);
    Mouse(SDL_MOUSEBUTTONDOWN, 420, 500, SDL_BUTTON_LEFT);
    EXPECT_EQ(game->GetOrderMode() * 10 + game->GetOrderType(), 10);
    EXPECT_EQ(ship->motionState, Ship::Aligning);
    EXPECT_EQ(ship->destination, raised);
}

TEST_F(InputTest, ThePointerMovesAndTurnsTheCamera)
{
    const struct
    {
        int x, y;
        float heading;
        bool sensor;
        float vx, vz;
    } edges[] = {
        {400, 300, 45, false, 0, 0},  {20, 20, 0, false, 0, 0},       {780, 580, 0, true, 0, 0},
        {5, 300, 0, false, -150, 0},  {0, 300, 0, true, -400, 0},     {400, 0, 0, false, 0, 200},
        {799, 0, 0, false, 190, 200}, {400, 599, 90, false, -190, 0},
    };
    for (const auto& row : edges)
    {
        float vx = 1, vz = 1;
        EdgeScrollVelocity(row.x, row.y, row.heading, row.sensor, vx, vz);
        EXPECT_NEAR(vx, row.vx, 1e-3) << row.x << " " << row.y; // pi as 3.14159
        EXPECT_NEAR(vz, row.vz, 1e-3) << row.x << " " << row.y;
    }
    const int turns[][2] = {{400, 0}, {390, 0}, {410, 0}, {389, 1}, {300, 90}, {411, -1}, {600, -190}};
    for (const auto& row : turns)
    {
        EXPECT_EQ(DragTurnRate(400, row[0]), float(row[1])) << row[0];
    }
    const float zooms[][2] = {{0, 0.05f}, {39, 0.05f}, {40, 0}, {560, 0}, {561, -0.05f}};
    for (const auto& row : zooms)
    {
        EXPECT_EQ(DragZoomStep(int(row[0])), row[1]) << row[0];
    }

    // Resting at the left edge, the camera moves 7.5 units a tick until the pointer moves.
    Current().SetHeading(0);
    const Vector start = Current().cameraFocus;
    Mouse(SDL_MOUSEMOTION, 5, 300);
    Ticks(4);
    EXPECT_EQ(Current().cameraFocus, start + Vector(-30, 0, 0));
    Mouse(SDL_MOUSEMOTION, 400, 300);
    Ticks(4);
    EXPECT_EQ(Current().cameraFocus, start + Vector(-30, 0, 0));

    const Uint8 right = SDL_BUTTON(SDL_BUTTON_RIGHT);
    Mouse(SDL_MOUSEMOTION, 400, 300, right); // where the drag begins
    Mouse(SDL_MOUSEMOTION, 350, 10, right);  // 40 beyond the dead zone, in the bottom band
    EXPECT_EQ(Current().headingRate, 40.0f * 0.05f);
    EXPECT_EQ(Current().GetZoom(), 1.05f);
    Mouse(SDL_MOUSEMOTION, 400, 300); // released
    EXPECT_EQ(Current().headingRate, 0.0f);
    EXPECT_FALSE(gCameraDrag.turning);
}

TEST_F(InputTest, TicksDriveTheClocksAndTheFrameRate)
{
    gAnimationTime = 9.99f;
    gTickClock = TickClock();
    game->frameCount = 40;
    Ticks(1);
    EXPECT_LT(gAnimationTime, 0.1f) << "the animation clock wraps at 10";
    Ticks(19);
    EXPECT_EQ(game->frameCount, 40);
    Ticks(1);
    EXPECT_EQ(game->frameCount, 0) << "the first measurement comes on the 21st tick";
    SDL_Event other{};
    other.type = SDL_USEREVENT;
    other.user.code = 2;
    Send(other);
    EXPECT_EQ(gTickClock.tickCounter, 1) << "a user event with another code is no tick";

    const struct
    {
        Uint32 last, now;
        int frames;
        float fps, smoothed;
    } rows[] = {{1000, 2000, 60, 60, 51}, {2000, 2003, 10, 3333, 378.3f}, {500, 500, 7, 42, 49.2f}};
    for (const auto& row : rows)
    {
        TickClock clock;
        clock.lastMeasureTime = row.last;
        int frames = row.frames;
        float fps = 42, smoothed = 50;
        clock.Measure(row.now, frames, fps, smoothed);
        EXPECT_EQ(fps, row.fps);
        EXPECT_FLOAT_EQ(smoothed, row.smoothed);
        EXPECT_EQ(frames, 0);
    }
}
