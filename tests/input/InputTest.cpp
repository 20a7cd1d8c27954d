// The input of a turn through the real event handling: keys, clicks that pick
// through the stencil buffer of the frame drawn, the order point, the camera
// and the ticks.

#include <GL/glu.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "app/Startup.h"
#include "app/TurnPlay.h"
#include "game/Game.h"
#include "input/CameraControl.h"
#include "input/EventHandling.h"
#include "input/OrderPoint.h"
#include "input/TickClock.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "support/Events.h"
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
        FlushEvents();
        game.reset(new Game(2, "map1"));
        gCameraDrag = CameraDrag();
    }

    void Send(SDL_Event event)
    {
        SDL_PushEvent(&event);
        HandleEvents(*game);
    }
    void Key(SDLKey key, bool down = true)
    {
        PushEvent(down ? SDL_KEYDOWN : SDL_KEYUP, key);
        HandleEvents(*game);
    }
    // At (x, y), y counted from the bottom: a press of `button`, or a movement with `button` the buttons
    // held.
    void Mouse(Uint8 type, int x, int y, Uint8 button = 0)
    {
        SDL_Event event{};
        if (type == SDL_MOUSEMOTION)
            event.motion = SDL_MouseMotionEvent{type, 0, button, Uint16(x), Uint16(600 - y), 0, 0};
        else
            event.button = SDL_MouseButtonEvent{type, 0, button, SDL_PRESSED, Uint16(x), Uint16(600 - y)};
        Send(event);
    }
    void Ticks(int count, int code = kTickCode)
    {
        SDL_Event event{};
        event.user = SDL_UserEvent{SDL_USEREVENT, code, nullptr, nullptr};
        for (int i = 0; i < count; i++)
            Send(event);
    }
    // The scene and the panel as a frame draws them; a click reads this frame.
    void Frame()
    {
        DrawScene(*game);
        game->GetPanel()->Draw();
    }
    Player& Current() { return *game->GetCurrentPlayer(); }

    std::unique_ptr<Game> game;
};

} // namespace

TEST_F(InputTest, KeysSetTheOrderModeViewAndState)
{
    // Letters are their keys; + and - press and release left Ctrl, > and <
    // right Ctrl, [ and ] Tab, ! is Escape. Expected: mode, type, view, state.
    const struct
    {
        bool selection;
        std::string keys, expected;
    } rows[] = {
        {false, "acmrstx", "1000"}, {true, "m", "3100"},   {true, "mm", "1000"},  {true, "mt", "5300"},
        {true, "ta", "5400"},       {true, "txx", "1000"}, {true, "rm", "3100"},  {true, "mr", "3200"},
        {false, "+", "2000"},       {false, "+-", "1000"}, {true, "m>", "4100"},  {true, "m><", "3100"},
        {true, "t+", "5300"},       {false, "[", "1010"},  {false, "[]", "1000"}, {false, "d", "1001"},
        {false, "!", "1002"},
    };
    const SDLKey keys[] = {SDLK_LCTRL, SDLK_LCTRL, SDLK_RCTRL, SDLK_RCTRL, SDLK_TAB, SDLK_TAB, SDLK_ESCAPE};
    for (const auto& row : rows)
    {
        game->SetOrderMode(1);
        game->SetOrderType(0);
        game->SetViewMode(0);
        game->SetState(0);
        Current().SelectShip(row.selection ? Current().fleet[0]->GetId() : 0, false);
        for (const char c : row.keys)
        {
            const size_t special = std::string("+-><[]!").find(c);
            Key(special == std::string::npos ? SDLKey(c) : keys[special],
                std::string("-<]").find(c) == std::string::npos);
        }
        EXPECT_EQ(std::to_string(game->GetOrderMode()) + std::to_string(game->GetOrderType()) +
                      std::to_string(game->GetViewMode()) + std::to_string(game->GetState()),
                  row.expected)
            << row.keys;
    }
    Current().SelectShip(Current().fleet[0]->GetId(), false);
    Key(SDLK_l);
    EXPECT_FALSE(Current().fleet[0]->lightsOn);
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
    Frame();
    Mouse(SDL_MOUSEBUTTONDOWN, 775, 123, SDL_BUTTON_LEFT); // Next Ship twice before the next frame
    Mouse(SDL_MOUSEBUTTONDOWN, 775, 123, SDL_BUTTON_LEFT);
    HandleEvents(*game);
    EXPECT_EQ(Current().selection, std::vector<Ship*>({Current().fleet[2]}));

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

    // The End Turn button posts its key. A batch handles only the events
    // pending when it began, so that a frame is drawn between batches: the
    // key waits for the next.
    Frame();
    Mouse(SDL_MOUSEBUTTONDOWN, 775, 35, SDL_BUTTON_LEFT);
    EXPECT_EQ(game->GetState(), 0);
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
    // Where a point shows through the camera of the frame drawn.
    const auto onScreen = [this](const Vector& v)
    {
        const GLint viewport[4] = {0, 0, 800, 600};
        double x = 0, y = 0, z = 0;
        gluProject(v.x, v.y, v.z, Current().modelview, Current().projection, viewport, &x, &y, &z);
        return Vector(float(x), float(y), 0);
    };
    Mouse(SDL_MOUSEMOTION, 400, 300);
    Key(SDLK_m); // the point starts at the height of the selection's centre
    Mouse(SDL_MOUSEMOTION, 420, 400);
    const Vector point = game->GetOrderPoint();
    EXPECT_EQ(point.y, 40.0f);
    EXPECT_NEAR(onScreen(point).x, 420, 0.5); // under the pointer, within half a pixel
    EXPECT_NEAR(onScreen(point).y, 400, 0.5);

    Key(SDLK_LCTRL); // with Ctrl the point only rises, under the pointer
    Mouse(SDL_MOUSEMOTION, 420, 500);
    const Vector raised = game->GetOrderPoint();
    EXPECT_TRUE(raised.x == point.x && raised.z == point.z);
    EXPECT_NEAR(onScreen(raised).y, 500, 0.5);
    Mouse(SDL_MOUSEBUTTONDOWN, 420, 500, SDL_BUTTON_LEFT);
    EXPECT_EQ(ship->motionState, Ship::Stopped) << "no order while the height is set";
    Key(SDLK_LCTRL, false);
    Mouse(SDL_MOUSEBUTTONDOWN, 420, 500, SDL_BUTTON_LEFT);
    EXPECT_EQ(game->GetOrderMode() * 10 + game->GetOrderType(), 10);
    EXPECT_EQ(ship->motionState, Ship::Aligning);
    EXPECT_EQ(ship->destination, raised);
}

TEST(OrderPlane, TheLineThroughThePointerMeetsThePlaneAheadOrBehindTheEye)
{
    const float rows[][8] = {
        // pointer's near point, plane height -> met, point (eye at 0, 100, 0)
        {0, 99, -1, 0, 1, 0, 0, -100},    // looking down: ahead
        {0, 100.2f, -1, 0, 1, 0, 0, 500}, // rising from above the plane: behind the eye
        {0, 101, -1, 200, 1, 0, 200, -100},
        {5, 100, -1, 0, 0, 7, 8, 9}, // parallel: the point stays
    };
    for (const auto& r : rows)
    {
        Vector point(7, 8, 9);
        EXPECT_EQ(PointOnHorizontalPlane(Vector(0, 100, 0), Vector(r[0], r[1], r[2]), r[3], point),
                  r[4] != 0);
        EXPECT_LT(Length(point - Vector(r[5], r[6], r[7])), 0.01) << r[1] << " " << r[3];
    }
}

TEST_F(InputTest, ThePointerScrollsAndTurnsTheCameraAndTicksDriveTheClocks)
{
    // Resting at the left edge, the camera moves 7.5 units a tick to the left of the view until
    // the pointer moves.
    Current().SetHeading(0);
    const Vector start = Current().cameraFocus;
    Mouse(SDL_MOUSEMOTION, 5, 300);
    Ticks(4);
    EXPECT_EQ(Current().cameraFocus, start + Vector(-30, 0, 0));
    Mouse(SDL_MOUSEMOTION, 400, 300);
    Ticks(4);
    EXPECT_EQ(Current().cameraFocus, start + Vector(-30, 0, 0));
    Current().SetHeading(90); // the top edge moves forward along the view, here -x
    Mouse(SDL_MOUSEMOTION, 400, 599);
    Ticks(2);
    EXPECT_NEAR(Current().cameraFocus.x, start.x - 30 - 19, 1e-3);
    EXPECT_NEAR(Current().cameraFocus.z, start.z, 1e-3);

    const Uint8 right = SDL_BUTTON(SDL_BUTTON_RIGHT);
    Mouse(SDL_MOUSEMOTION, 400, 300, right); // where the drag begins
    Mouse(SDL_MOUSEMOTION, 390, 300, right);
    EXPECT_EQ(Current().headingRate, 0.0f) << "10 pixels either side turn nothing";
    Mouse(SDL_MOUSEMOTION, 350, 39, right); // 40 beyond, in the bottom band
    EXPECT_EQ(Current().headingRate, 40.0f * 0.05f);
    EXPECT_EQ(Current().GetZoom(), 1.05f);
    Mouse(SDL_MOUSEMOTION, 451, 561, right); // to the right, in the top band
    EXPECT_EQ(Current().headingRate, -41.0f * 0.05f);
    EXPECT_FLOAT_EQ(Current().GetZoom(), 1.0f);
    Mouse(SDL_MOUSEMOTION, 400, 300); // released
    EXPECT_FALSE(gCameraDrag.turning || Current().headingRate != 0.0f);

    // A pointer that leaves the window at an edge, or in a drag, leaves the camera still.
    SDL_Event left{};
    left.active = SDL_ActiveEvent{SDL_ACTIVEEVENT, 0, SDL_APPMOUSEFOCUS};
    SDL_Event keyboardOnly = left;
    keyboardOnly.active.state = SDL_APPINPUTFOCUS;
    for (const Uint8 buttons : {Uint8(0), right})
    {
        Mouse(SDL_MOUSEMOTION, 400, 300, buttons);
        Mouse(SDL_MOUSEMOTION, 2, 597, buttons);
        Send(keyboardOnly);
        EXPECT_TRUE(Current().cameraVelocity != Vector() || Current().headingRate != 0.0f)
            << "the keyboard's focus is not the pointer's";
        Send(left);
        EXPECT_EQ(Current().cameraVelocity, Vector());
        EXPECT_EQ(Current().headingRate, 0.0f);
        EXPECT_FALSE(gCameraDrag.turning);
    }

    gAnimationTime = 9.99f;
    gTickClock = TickClock();
    game->frameCount = 40;
    Ticks(1);
    EXPECT_LT(gAnimationTime, 0.1f) << "the animation clock wraps at 10";
    Ticks(19);
    EXPECT_EQ(game->frameCount, 40);
    Ticks(1);
    EXPECT_EQ(game->frameCount, 0) << "the first measurement comes on the 21st tick";
    Ticks(1, 2);
    EXPECT_EQ(gTickClock.tickCounter, 1) << "a user event with another code is no tick";
}
