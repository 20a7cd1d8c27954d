#include "input/EventHandling.h"

#include <GL/gl.h>

#include "app/Startup.h"
#include "audio/GameSounds.h"
#include "game/Game.h"
#include "input/CameraControl.h"
#include "input/EventBatch.h"
#include "input/KeyCommands.h"
#include "input/OrderPoint.h"
#include "input/TickClock.h"
#include "players/Player.h"
#include "ui/CommandPanel.h"
#include "world/Environment.h"

namespace
{

void HandlePointerMove(Game& game, const SDL_MouseMotionEvent& motion)
{
    const int x = motion.x;
    const int y = ScreenY(motion.y);
    CameraControl(x, y, motion.state, game);
    game.SetMouse(x, y);
    if (game.GetOrderMode() == 3)
    {
        PlaceOrderPoint(game);
    }
    else if (game.GetOrderMode() == 4)
    {
        RaiseOrderPoint(game);
    }
}

void HandleButtonPress(Game& game, const SDL_MouseButtonEvent& button)
{
    const int x = button.x;
    const int y = ScreenY(button.y);
    game.SetMouse(x, y);
    Player& player = *game.GetCurrentPlayer();
    const float wheelStep = game.GetViewMode() == 1 ? 100.0f : 50.0f;
    switch (button.button)
    {
    case SDL_BUTTON_LEFT:
        Pick(game, x, y, ReadStencilValue(x, y));
        break;
    case SDL_BUTTON_MIDDLE:
        player.SetZoom(1.0f);
        Pick(game, x, y, ReadStencilValue(x, y));
        break;
    case SDL_BUTTON_WHEELUP:
        player.MoveFocus(0.0f, wheelStep, 0.0f);
        break;
    case SDL_BUTTON_WHEELDOWN:
        player.MoveFocus(0.0f, -wheelStep, 0.0f);
        break;
    default:
        break;
    }
}

} // namespace

int ScreenY(int sdlY)
{
    return kScreenHeight - sdlY;
}

unsigned ReadStencilValue(int x, int y)
{
    GLuint value = 0;
    glReadPixels(x, y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_INT, &value);
    return value;
}

bool GameOverReached(Game& game)
{
    return game.WinnerIndex() != -1 && game.WreckCount() == 0 && game.GetEnvironment()->ExplosionCount() == 0;
}

void Pick(Game& game, int x, int y, unsigned v)
{
    if (v == 1)
    {
        game.GetPanel()->HitTest(x, y);
        return;
    }
    switch (game.GetOrderMode())
    {
    case 1:
    case 2:
    case 5:
        game.ClickedId(v);
        break;
    case 3:
    {
        Player& player = *game.GetCurrentPlayer();
        const Vector point = game.GetOrderPoint();
        if (game.GetOrderType() == 1)
        {
            player.MoveSelection(point.x, point.y, point.z);
        }
        else
        {
            player.RotateSelection(point.x, point.y, point.z);
        }
        game.SetOrderMode(1);
        game.SetOrderType(0);
        PlayInterfaceSound(Sound::Order);
        break;
    }
    default:
        // Mode 4: the point's height is being set; releasing Ctrl returns to 3.
        break;
    }
}

void HandleTick(Game& game)
{
    gAnimationTime = AdvanceAnimationTime(gAnimationTime);
    if (gTickClock.EnvironmentStepDue())
    {
        // The clouds drift, and fade in and out, around the camera the screen shows.
        Player& player = *game.GetViewer();
        game.GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
    }
    if (gTickClock.MeasurementDue())
    {
        gTickClock.Measure(SDL_GetTicks(), game.frameCount, game.fps, game.fpsSmoothed);
    }
    gTickClock.Count();
    game.Tick();
    HearTick(game);
}

void HandleEvent(Game& game, const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_KEYDOWN:
        HandleKeyPress(game, event.key.keysym.sym);
        break;
    case SDL_KEYUP:
        HandleKeyRelease(game, event.key.keysym.sym);
        break;
    case SDL_MOUSEMOTION:
        HandlePointerMove(game, event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
        HandleButtonPress(game, event.button);
        break;
    case SDL_ACTIVEEVENT:
        // The pointer left the window: the camera no longer scrolls or turns
        // by where it was last seen.
        if ((event.active.state & SDL_APPMOUSEFOCUS) && !event.active.gain)
        {
            CameraControl(kScreenWidth / 2, kScreenHeight / 2, 0, game);
        }
        break;
    default:
        if (IsTickEvent(event))
        {
            HandleTick(game);
        }
        break;
    }
}

void HandleEvents(Game& game)
{
    if (GameOverReached(game))
    {
        game.SetState(2);
    }
    for (const SDL_Event& event : EventBatch())
    {
        HandleEvent(game, event);
    }
    HearSounds(game);
}
