#include "input/CameraControl.h"

#include <cmath>

#include "game/Game.h"
#include "math/Vector.h"
#include "players/Player.h"

CameraDrag gCameraDrag;

void EdgeScrollVelocity(int x, int y, float heading, bool sensorView, float& velocityX, float& velocityZ)
{
    const float speed = sensorView ? 20.0f : 10.0f;
    const double h = heading * kDegToRad;
    const float sinH = float(std::sin(h));
    const float cosH = float(std::cos(h));
    velocityX = 0.0f;
    velocityZ = 0.0f;
    if (x < 20)
    {
        const float v = (20 - x) * speed;
        velocityX = -cosH * v;
        velocityZ = sinH * v;
    }
    else if (x > 780)
    {
        const float v = (x - 780) * speed;
        velocityX = cosH * v;
        velocityZ = -sinH * v;
    }
    if (y < 20)
    {
        const float v = (20 - y) * speed;
        velocityX += sinH * v;
        velocityZ += cosH * v;
    }
    else if (y > 580)
    {
        const float v = (y - 580) * speed;
        velocityX -= sinH * v;
        velocityZ -= cosH * v;
    }
}

float DragTurnRate(int startX, int x)
{
    if (startX - x > 10)
    {
        return float(startX - x - 10);
    }
    if (x - startX > 10)
    {
        return float(-(x - startX - 10));
    }
    return 0.0f;
}

float DragZoomStep(int y)
{
    if (y < 40)
    {
        return 0.05f;
    }
    if (y > 560)
    {
        return -0.05f;
    }
    return 0.0f;
}

void CameraControl(int x, int y, Uint8 buttons, Game& game)
{
    Player& player = *game.GetCurrentPlayer();
    float velocityX = 0.0f;
    float velocityZ = 0.0f;
    float turnRate = 0.0f;
    if (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT))
    {
        if (!gCameraDrag.turning)
        {
            gCameraDrag.turnStartX = x;
            gCameraDrag.turning = true;
        }
        else
        {
            turnRate = DragTurnRate(gCameraDrag.turnStartX, x);
            const float zoomStep = DragZoomStep(y);
            if (zoomStep != 0.0f)
            {
                player.ChangeZoom(zoomStep);
            }
        }
    }
    else
    {
        gCameraDrag.turning = false;
        EdgeScrollVelocity(x, y, player.GetHeading(), game.GetViewMode() == 1, velocityX, velocityZ);
    }
    player.SetCameraVelocity(velocityX, 0.0f, velocityZ);
    player.SetHeadingRate(turnRate);
}
