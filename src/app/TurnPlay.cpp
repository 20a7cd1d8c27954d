#include "app/TurnPlay.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "app/Camera.h"
#include "app/FrameSwap.h"
#include "app/SceneAids.h"
#include "app/Startup.h"
#include "app/Transitions.h"
#include "game/Game.h"
#include "input/EventHandling.h"
#include "players/Player.h"
#include "ships/Ship.h"
#include "ui/CommandPanel.h"
#include "weapons/BeamList.h"
#include "weapons/BulletList.h"
#include "world/Environment.h"

namespace
{

void SetUpLight()
{
    // Given while the camera's modelview is current: fixed in the world.
    const GLfloat position[4] = {0.0f, 0.0f, -1.0f, 0.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
}

} // namespace

void SetupCamera(Player& player, bool sensorView)
{
    const Vector focus = player.cameraFocus;
    PlaceCamera(60.0 * player.GetZoom(), sensorView ? 14143.0 : 500.0, player.GetHeading(),
                Vector(focus.x, focus.y + 100.0f, focus.z));

    glEnable(GL_DEPTH_TEST);
    glGetDoublev(GL_MODELVIEW_MATRIX, player.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, player.projection);

    if (sensorView)
    {
        glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
    }
    else
    {
        glClearColor(0.5f, 0.5f, 1.0f, 1.0f);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void DrawScene(Game& game)
{
    const bool sensorView = game.GetViewMode() == 1;
    Player& current = *game.GetViewer();
    SetupCamera(current, sensorView);
    SetUpLight();

    if (sensorView)
    {
        glDisable(GL_FOG);
        glDisable(GL_CULL_FACE);
    }
    else
    {
        glEnable(GL_FOG);
        glEnable(GL_CULL_FACE);
    }

    for (Player* player : game.GetPlayers())
    {
        player->DrawFleet(sensorView, player != &current);
    }
    for (Ship* wreck : game.GetWrecks())
    {
        wreck->Draw(sensorView);
    }

    game.GetEnvironment()->Draw(current.GetEyePosition(), current.GetHeading(), current.GetViewDirection(),
                                sensorView);
    game.GetBeams()->Draw(sensorView);
    game.GetBullets()->Draw(sensorView);

    if (sensorView)
    {
        DrawSensorAxes();
    }
    if ((game.GetOrderMode() == 3 || game.GetOrderMode() == 4) && &current == game.GetCurrentPlayer())
    {
        DrawOrderGrid(game);
    }
}

void DrawFrame(Game& game)
{
    DrawScene(game);
    game.GetPanel()->Draw();
    SwapFrame();
    HandleEvents(game);
    game.frameCount++;
}

void StartTickTimer(Game& game)
{
    game.timer = SDL_AddTimer(kTickInterval, TimerTick, nullptr);
}

void StopTickTimer(Game& game)
{
    if (game.timer != nullptr)
    {
        SDL_RemoveTimer(game.timer);
        game.timer = nullptr;
    }
}

void PlayTurn(Game& game)
{
    Player& player = *game.GetCurrentPlayer();
    game.GetEnvironment()->Update(player.GetEyePosition(), player.GetViewDirection());
    OpenTransition(game);
    StartTickTimer(game);
    game.SetState(0);
    while (game.GetState() != 1 && game.GetState() != 2)
    {
        DrawFrame(game);
    }
    StopTickTimer(game);
    CloseTransition(game);
}
