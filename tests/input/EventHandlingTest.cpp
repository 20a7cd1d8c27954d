#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "game/Game.h"
#include "input/CameraControl.h"
#include "input/EventHandling.h"
#include "input/KeyCommands.h"
#include "input/OrderPoint.h"
#include "input/TickClock.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/GLTest.h"
#include "ui/CommandPanel.h"

namespace
{

// A real two-player game on the first map, with the input handled exactly as
// during a turn: events are pushed into SDL's queue and HandleEvents runs.
class EventHandlingTest : public GLTest
{
  protected:
    void SetUp() override
    {
        GLTest::SetUp();
        FlushEvents();
        game.reset(new Game(2, "map1"));
        gCameraDrag = CameraDrag();
    }

    void TearDown() override
    {
        FlushEvents();
        game.reset();
        GLTest::TearDown();
    }

    static void FlushEvents()
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
        {
        }
    }

    Player& Current() { return *game->GetCurrentPlayer(); }

    void Key(SDLKey key, bool down = true)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        SDL_PushEvent(&event);
        HandleEvents(*game);
    }

    // A button press at game position (x, y), y counted from the bottom.
    void Button(Uint8 button, int x, int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = button;
        event.button.state = SDL_PRESSED;
        event.button.x = Uint16(x);
        event.button.y = Uint16(600 - y);
        SDL_PushEvent(&event);
        HandleEvents(*game);
    }

    void Motion(int x, int y, Uint8 buttons = 0)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = Uint16(x);
        event.motion.y = Uint16(600 - y);
        event.motion.state = buttons;
        SDL_PushEvent(&event);
        HandleEvents(*game);
    }

    void Ticks(int count)
    {
        for (int i = 0; i < count; i++)
        {
            SDL_Event event{};
            event.type = SDL_USEREVENT;
            event.user.code = kTickCode;
            SDL_PushEvent(&event);
            HandleEvents(*game);
        }
    }

    // Draws the scene and the panel as a frame does, without the swap, so
    // that a click reads the stencil values of this frame.
    void Frame()
    {
        DrawScene(*game);
        game->GetPanel()->Draw();
        glFinish();
    }

    std::unique_ptr<Game> game;
};

TEST_F(EventHandlingTest, KeysThatNeedASelectionDoNothingWithoutOne)
{
    ASSERT_FALSE(Current().HasSelection());
    for (SDLKey key : {SDLK_a, SDLK_c, SDLK_l, SDLK_m, SDLK_r, SDLK_s, SDLK_t, SDLK_x})
    {
        Key(key);
        EXPECT_EQ(game->GetOrderMode(), 1) << key;
        EXPECT_EQ(game->GetOrderType(), 0) << key;
    }
    for (Ship* ship : Current().fleet)
    {
        EXPECT_TRUE(ship->lightsOn);
    }
    EXPECT_EQ(game->GetState(), 0);
}

TEST_F(EventHandlingTest, OrderKeysToggleAndReplaceEachOther)
{
    Key(SDLK_n);
    ASSERT_TRUE(Current().HasSelection());
    Frame();

    Key(SDLK_m);
    EXPECT_EQ(game->GetOrderMode(), 3);
    EXPECT_EQ(game->GetOrderType(), 1);
    Key(SDLK_m);
    EXPECT_EQ(game->GetOrderMode(), 1);
    EXPECT_EQ(game->GetOrderType(), 0);

    Key(SDLK_m);
    Key(SDLK_t); // switches from placing a point to picking a target
    EXPECT_EQ(game->GetOrderMode(), 5);
    EXPECT_EQ(game->GetOrderType(), 3);
    Key(SDLK_a);
    EXPECT_EQ(game->GetOrderType(), 4);
    Key(SDLK_x);
    EXPECT_EQ(game->GetOrderType(), 5);
    Key(SDLK_x);
    EXPECT_EQ(game->GetOrderMode(), 1);
    Key(SDLK_r);
    EXPECT_EQ(game->GetOrderMode(), 3);
    EXPECT_EQ(game->GetOrderType(), 2);
}

TEST_F(EventHandlingTest, CtrlAddsToTheSelectionAndRaisesThePoint)
{
    Key(SDLK_LCTRL);
    EXPECT_EQ(game->GetOrderMode(), 2);
    Key(SDLK_LCTRL, false);
    EXPECT_EQ(game->GetOrderMode(), 1);

    Key(SDLK_n);
    Frame();
    Key(SDLK_m);
    Key(SDLK_RCTRL);
    EXPECT_EQ(game->GetOrderMode(), 4);
    // A click while the height is set gives no order.
    Button(SDL_BUTTON_LEFT, 400, 300);
    EXPECT_EQ(game->GetOrderMode(), 4);
    Key(SDLK_RCTRL, false);
    EXPECT_EQ(game->GetOrderMode(), 3);
    EXPECT_EQ(game->GetOrderType(), 1);
}

TEST_F(EventHandlingTest, TabHoldsTheSensorViewAndEndKeysSetTheState)
{
    Key(SDLK_TAB);
    EXPECT_EQ(game->GetViewMode(), 1);
    Key(SDLK_TAB, false);
    EXPECT_EQ(game->GetViewMode(), 0);
    Key(SDLK_d);
    EXPECT_EQ(game->GetState(), 1);
    Key(SDLK_ESCAPE);
    EXPECT_EQ(game->GetState(), 2);
}

TEST_F(EventHandlingTest, MovePointStartsAtTheSelectionCentreAndFollowsThePointer)
{
    Key(SDLK_n);
    Ticks(12); // the camera glides to the ship
    Frame();
    const Vector centre = Current().GetSelectionCentre();
    game->SetMouse(400, 300);
    Key(SDLK_m);
    // The point lies on the plane at the selection's height, where the ray
    // through the middle of the screen meets it: the ship itself, which the
    // glide put at the centre of the view.
    Vector point = game->GetOrderPoint();
    EXPECT_FLOAT_EQ(point.y, centre.y);
    EXPECT_NEAR(point.x, centre.x, 1.0);
    EXPECT_NEAR(point.z, centre.z, 1.0);

    // Towards the top of the screen the point moves away along the view.
    Motion(400, 400);
    point = game->GetOrderPoint();
    const Vector view = Current().GetViewDirection();
    const double ahead = (point.x - centre.x) * view.x + (point.z - centre.z) * view.z;
    EXPECT_GT(ahead, 20.0);
    EXPECT_FLOAT_EQ(point.y, centre.y);

    // With Ctrl the pointer raises the point without moving it sideways.
    Key(SDLK_LCTRL);
    Motion(400, 500);
    const Vector raised = game->GetOrderPoint();
    EXPECT_FLOAT_EQ(raised.x, point.x);
    EXPECT_FLOAT_EQ(raised.z, point.z);
    EXPECT_GT(raised.y, point.y);
    Key(SDLK_LCTRL, false);

    // The click gives the move order to the point and ends the placing.
    Ship* ship = Current().FirstSelected();
    Button(SDL_BUTTON_LEFT, 400, 500);
    EXPECT_EQ(game->GetOrderMode(), 1);
    EXPECT_EQ(game->GetOrderType(), 0);
    EXPECT_EQ(ship->motionState, Ship::Aligning);
    EXPECT_NEAR(ship->destination.x, raised.x, 1e-3);
    EXPECT_NEAR(ship->destination.y, raised.y, 1e-3);
    EXPECT_NEAR(ship->destination.z, raised.z, 1e-3);
}

TEST_F(EventHandlingTest, ClickOnAShipSelectsItAndOnEmptySpaceDeselects)
{
    Key(SDLK_n);
    Ticks(12);
    Ship* ship = Current().FirstSelected();
    ASSERT_NE(ship, nullptr);
    Frame();
    // The glide leaves the selected ship in the middle of the view.
    EXPECT_EQ(ReadStencilValue(400, 300), ship->GetId());

    Frame();
    Button(SDL_BUTTON_LEFT, 400, 590); // far up, empty sky
    EXPECT_FALSE(Current().HasSelection());
    Frame();
    Button(SDL_BUTTON_LEFT, 400, 300);
    ASSERT_TRUE(Current().HasSelection());
    EXPECT_EQ(Current().FirstSelected(), ship);
}

TEST_F(EventHandlingTest, MiddleClickResetsTheZoomAndPicks)
{
    Key(SDLK_n);
    Ticks(12);
    Current().SetZoom(1.5f);
    Frame();
    Button(SDL_BUTTON_MIDDLE, 400, 590);
    EXPECT_FLOAT_EQ(Current().GetZoom(), 1.0f);
    EXPECT_FALSE(Current().HasSelection()) << "the middle click picks empty space too";
}

TEST_F(EventHandlingTest, WheelRaisesAndLowersTheCamera)
{
    const float y = Current().cameraFocus.y;
    Button(SDL_BUTTON_WHEELUP, 400, 300);
    EXPECT_FLOAT_EQ(Current().cameraFocus.y, y + 50.0f);
    Button(SDL_BUTTON_WHEELDOWN, 400, 300);
    EXPECT_FLOAT_EQ(Current().cameraFocus.y, y);
    Key(SDLK_TAB);
    Button(SDL_BUTTON_WHEELUP, 400, 300);
    EXPECT_FLOAT_EQ(Current().cameraFocus.y, y + 100.0f);
}

TEST_F(EventHandlingTest, ClickOnThePanelGoesToItsButtons)
{
    // The End Turn button of the control strip posts the end-of-turn key.
    Frame();
    ASSERT_EQ(ReadStencilValue(775, 35), 1u);
    Button(SDL_BUTTON_LEFT, 775, 35);
    HandleEvents(*game);
    EXPECT_EQ(game->GetState(), 1);

    // Between the buttons nothing happens.
    game->SetState(0);
    Frame();
    Button(SDL_BUTTON_LEFT, 775, 60);
    HandleEvents(*game);
    EXPECT_EQ(game->GetState(), 0);
    EXPECT_EQ(game->GetViewMode(), 0);
    EXPECT_FALSE(Current().HasSelection());
}

TEST_F(EventHandlingTest, PointerAtTheEdgeScrollsTheCamera)
{
    const Vector before = Current().cameraFocus;
    Current().SetHeading(0.0f);
    Motion(5, 300);
    Ticks(4);
    // 150 units per second to the left of the view: 7.5 per tick.
    EXPECT_NEAR(Current().cameraFocus.x, before.x - 30.0f, 1e-3);
    EXPECT_NEAR(Current().cameraFocus.z, before.z, 1e-3);
    // Back in the middle the camera stops.
    Motion(400, 300);
    const Vector stopped = Current().cameraFocus;
    Ticks(4);
    EXPECT_EQ(Current().cameraFocus, stopped);
}

TEST_F(EventHandlingTest, RightDragTurnsAndZoomsTheCamera)
{
    const Uint8 right = SDL_BUTTON(SDL_BUTTON_RIGHT);
    Motion(400, 300, right); // records where the drag began
    Motion(350, 300, right); // 40 pixels beyond the dead zone to the left
    EXPECT_FLOAT_EQ(Current().headingRate, 40.0f * 0.05f);
    const float zoom = Current().GetZoom();
    Motion(400, 10, right); // bottom band: the view widens
    EXPECT_FLOAT_EQ(Current().GetZoom(), zoom + 0.05f);
    EXPECT_FLOAT_EQ(Current().headingRate, 0.0f);
    Motion(400, 590, right); // top band: it narrows again
    EXPECT_FLOAT_EQ(Current().GetZoom(), zoom);
    Motion(400, 300); // released: no turning, no scrolling
    EXPECT_FALSE(gCameraDrag.turning);
    EXPECT_EQ(Current().cameraVelocity, Vector(0, 0, 0));
}

TEST_F(EventHandlingTest, TicksAdvanceTheClocksAndMeasureTheFrameRate)
{
    gAnimationTime = 9.99f;
    gTickClock = TickClock();
    game->frameCount = 40;
    Ticks(1);
    EXPECT_LT(gAnimationTime, 0.1f) << "the animation clock wraps at 10";
    Ticks(20);
    // The 21st tick measured: frames counted since then start again at 0.
    EXPECT_EQ(game->frameCount, 0);
    EXPECT_EQ(gTickClock.tickCounter, 1);
    // Other user events are no ticks.
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    event.user.code = 2;
    SDL_PushEvent(&event);
    HandleEvents(*game);
    EXPECT_EQ(gTickClock.tickCounter, 1);
}

TEST_F(EventHandlingTest, TheGameIsNotOverWhileTwoPlayersHaveShips)
{
    EXPECT_FALSE(GameOverReached(*game));
    HandleEvents(*game);
    EXPECT_EQ(game->GetState(), 0);
}

} // namespace
